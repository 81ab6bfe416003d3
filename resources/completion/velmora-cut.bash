# bash completion for velmora-cut: its options as its own --help lists them,
# file names where a file is asked for, installed font families (every name
# fontconfig knows them by, Japanese ones too) for --font.
_velmora_cut() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
    COMPREPLY=()
    case $prev in
        -o|--pattern|--settings|--batch)
            local IFS=$'\n'
            COMPREPLY=($(compgen -f -- "$cur"))
            compopt -o filenames 2>/dev/null
            return ;;
        --font)
            local family
            while IFS= read -r family; do
                [[ $family == "$cur"* ]] && COMPREPLY+=("$(printf '%q' "$family")")
            done < <(fc-list : family 2>/dev/null | tr ',' '\n' | sort -u)
            return ;;
        --size|--color|--jpeg-rate|--png-level)
            return ;;
    esac
    if [[ $cur == -* ]]; then
        local options
        options=$(LC_ALL=C "${COMP_WORDS[0]}" --help 2>/dev/null | grep -oE -- '(^| )--?[a-z][a-z-]*' | tr -d ' ' | sort -u)
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
    fi
}
complete -F _velmora_cut velmora-cut
