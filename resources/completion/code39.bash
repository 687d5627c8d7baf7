# bash completion for code39
_code39()
{
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
    case $prev in
        --png) COMPREPLY=($(compgen -f -X '!*.png' -- "$cur") $(compgen -d -- "$cur")); return ;;
        --svg) COMPREPLY=($(compgen -f -X '!*.svg' -- "$cur") $(compgen -d -- "$cur")); return ;;
        --pdf) COMPREPLY=($(compgen -f -X '!*.pdf' -- "$cur") $(compgen -d -- "$cur")); return ;;
        --zpl) COMPREPLY=($(compgen -f -X '!*.zpl' -- "$cur") $(compgen -d -- "$cur")); return ;;
        --list) COMPREPLY=($(compgen -f -- "$cur")); return ;;
        --rotate) COMPREPLY=($(compgen -W 'auto 0 90' -- "$cur")); return ;;
        --size | --dpi | --height | --labels | --start | --copies | --offset | --column | --paper) return ;;
    esac
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W '-c --checksum -f --full-ascii -h --help --version --png --svg --pdf
            --size --dpi --text-above --no-antialias --force --labels --start --copies --height --rotate --offset --outlines
            --verify --zpl --list --column --header --list-stocks --paper --roll' -- "$cur"))
    fi
}
complete -F _code39 code39
