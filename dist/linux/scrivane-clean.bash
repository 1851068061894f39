# bash completion for scrivane-clean                       -*- shell-script -*-

_scrivane_clean()
{
    local cur prev words cword split
    _init_completion -s || return

    case $prev in
        --target)
            COMPREPLY=($(compgen -W 'quickbooks quicken other' -- "$cur"))
            return
            ;;
        --list)
            COMPREPLY=($(compgen -W 'raw clean rules' -- "$cur"))
            return
            ;;
        --rules)
            _filedir csv
            return
            ;;
        --date-order)
            COMPREPLY=($(compgen -W 'mdy dmy ymd' -- "$cur"))
            return
            ;;
        --account-type)
            COMPREPLY=($(compgen -W 'checking savings moneymrkt creditcard' -- "$cur"))
            return
            ;;
        --sign)
            COMPREPLY=($(compgen -W 'normal reversed' -- "$cur"))
            return
            ;;
        --omit-words | --map | --account | --currency)
            return
            ;;
        -h | --help | --version)
            return
            ;;
    esac
    $split && return

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W '--target= --keep --stdout --keep-form --list= --check --json --rules=
            --no-rules --omit-words= --proper-case --no-proper-case --remove-dates --no-remove-dates
            --remove-numbers --no-remove-numbers --remove-repeat
            --no-remove-repeat --map= --date-order= --account= --account-type=
            --currency= --sign= --help --version --' -- "$cur"))
        [[ ${COMPREPLY-} == *= ]] && compopt -o nospace
        return
    fi

    _filedir '@(ofx|qfx|qbo|csv|qif)'
} &&
    complete -F _scrivane_clean scrivane-clean

# ex: filetype=sh
