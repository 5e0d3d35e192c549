# bash completion for kivoautofill-cli: operation codes, parameter control names and the values of
# --answer and --encoding.

_kivoautofill_cli() {
    local cur=${COMP_WORDS[COMP_CWORD]} option= words
    # Readline breaks words at "=": NAME=VALUE arrives as NAME, "=", VALUE.
    if [[ $cur == = ]]; then
        option=${COMP_WORDS[COMP_CWORD - 1]}
        cur=
    elif ((COMP_CWORD > 1)) && [[ ${COMP_WORDS[COMP_CWORD - 1]} == = ]]; then
        option=${COMP_WORDS[COMP_CWORD - 2]}
    fi
    case $option in
        --answer) words=(yes no cancel) ;;
        --encoding) words=(utf-8 cp932) ;;
        ?*) words=() ;; # a control takes any text
        *)
            if ((COMP_CWORD == 1)); then
                words=({0..41} --help --version)
            else
                words=(--answer= --encoding= 'Check1('{0..16}')=' Check{2..4}= 'Check5('{0..4}')=' Combo{1..65}=
                    'ComboFm('{0..16}')=' 'ComboId('{0..16}')=' 'ComboStep('{0..16}')='
                    DTPicker{1..3}= Text{3..30}= Text{34..41}= chkYoubi=)
            fi
            ;;
    esac
    # What was typed, without the quote or backslashes that bash puts around a name's parentheses.
    cur=${cur#[\"\']}
    COMPREPLY=($(compgen -W "${words[*]}" -- "${cur//\\/}"))
    # A NAME= goes on with its value, without a space. Bash quotes the parentheses of the names it
    # inserts as it quotes file names (and "=" with them, which only the values of --answer and
    # --encoding, names without parentheses, need unquoted).
    if [[ ${COMPREPLY[0]-} == *= ]]; then
        compopt -o nospace
        if [[ ${COMPREPLY[*]} == *'('* ]]; then
            compopt -o filenames
        fi
    fi
    return 0
}

complete -F _kivoautofill_cli kivoautofill-cli
