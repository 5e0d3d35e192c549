# bash completion for kivoautofill-cli: the program itself tells what may follow (its
# "complete" command reads the operations' declarations): subcommands, operation names and
# codes, options and their values, the window's control names; anything else is a file.

_kivoautofill_cli() {
    # Readline breaks words at "=": NAME=VALUE arrives as NAME, "=", VALUE. They are joined again.
    local words=() i token
    for ((i = 1; i <= COMP_CWORD; i++)); do
        token=${COMP_WORDS[i]}
        if ((${#words[@]} > 0)) && [[ $token == = || ${COMP_WORDS[i - 1]} == = ]] && ((i > 1)); then
            words[-1]+=$token
        else
            words+=("$token")
        fi
    done
    ((${#words[@]} > 0)) || words=("")
    local current=${words[-1]}
    # What was typed, without the quote or backslashes that bash puts around a name's parentheses.
    current=${current#[\"\']}
    current=${current//\\/}
    words[-1]=$current
    local candidates
    candidates=$(kivoautofill-cli complete $((${#words[@]} - 1)) "${words[@]}" 2>/dev/null)
    if [[ -z $candidates ]]; then
        COMPREPLY=($(compgen -f -- "$current"))
        compopt -o filenames
        return 0
    fi
    # Readline replaces only what follows the last "=" of the word being completed.
    local typed=${COMP_WORDS[COMP_CWORD]} cut=''
    [[ $typed == = ]] && typed=''
    if [[ $current == *=* ]]; then cut=${current%=*}=; fi
    COMPREPLY=()
    while IFS= read -r token; do
        COMPREPLY+=("${token#"$cut"}")
    done <<<"$candidates"
    # An option or name that ends with "=" goes on with its value, without a space. Bash quotes
    # the parentheses of the control names it inserts as it quotes file names.
    if [[ ${COMPREPLY[0]-} == *= ]]; then
        compopt -o nospace
        if [[ ${COMPREPLY[*]} == *'('* ]]; then
            compopt -o filenames
        fi
    fi
    return 0
}

complete -F _kivoautofill_cli kivoautofill-cli
