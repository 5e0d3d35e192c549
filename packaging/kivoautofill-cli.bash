# bash completion for kivoautofill-cli: the program itself tells what may follow (its
# "complete" command reads the operations' declarations): subcommands, operation names and
# codes, options and their values, the window's control names and their values; anything else,
# and the value of -o, --output and --output-dir, is a file.

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
        # A file: a word of its own, or the path after --output= or --output-dir=, which readline
        # has split off at the "=".
        case $current in --output=* | --output-dir=*) current=${current#*=} ;; esac
        mapfile -t COMPREPLY < <(compgen -f -- "$current")
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
    # An option or name that ends with "=" goes on with its value, without a space.
    [[ ${COMPREPLY[0]-} == *= ]] && compopt -o nospace
    # Bash quotes what it inserts as it quotes file names: the parentheses of control names
    # (Check5(3)=) and of list entries (改行(CrLf)), and any blank.
    for token in "${COMPREPLY[@]}"; do
        if [[ $token == *[[:space:]\(\)\<\>\&\;\|\$\`\\\'\"]* ]]; then
            compopt -o filenames
            break
        fi
    done
    return 0
}

complete -F _kivoautofill_cli kivoautofill-cli
