# bash completion for velmora-cut: its options, and the words --png-level takes,
# as its own --help lists them; file names where a file is asked for, installed
# font families (every name fontconfig knows them by, Japanese ones too) for --font.
_velmora_cut() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
    COMPREPLY=()
    case $prev in
        -o|--output)
            # Folders, and files of the kinds it writes: .bmp .jpg .jpeg .png .svg .pdf.
            local name
            while IFS= read -r name; do
                if [[ -d $name ]]; then
                    COMPREPLY+=("$name")
                else
                    case ${name,,} in
                        *.bmp|*.jpg|*.jpeg|*.png|*.svg|*.pdf) COMPREPLY+=("$name") ;;
                    esac
                fi
            done < <(compgen -f -- "$cur")
            compopt -o filenames 2>/dev/null
            return ;;
        --pattern|--settings|--batch)
            local IFS=$'\n'
            COMPREPLY=($(compgen -f -- "$cur"))
            compopt -o filenames 2>/dev/null
            return ;;
        --font)
            # The word as the shell will read it: an opening quote or backslashes off.
            local family word=$cur
            case $word in
                \'*) word=${word#\'} ;;
                \"*) word=${word#\"} ;;
                *) word=${word//\\/} ;;
            esac
            while IFS= read -r family; do
                [[ $family == "$word"* ]] && COMPREPLY+=("$family")
            done < <(fc-list : family 2>/dev/null | tr ',' '\n' | sort -u)
            # Readline quotes each name the way the word began: 'IPA P<Tab>, DejaVu\ S<Tab>.
            compopt -o filenames 2>/dev/null
            return ;;
        --png-level)
            # The words its help line lists, each before its number: "fastest (1)".
            local words
            words=$(LC_ALL=C "${COMP_WORDS[0]}" --help 2>/dev/null | grep -E -- '^ *--png-level ' |
                grep -oE '[a-z]+ \([0-9]+\)' | cut -d' ' -f1)
            COMPREPLY=($(compgen -W "$words" -- "$cur"))
            return ;;
        --size|--color|--jpeg-rate)
            return ;;
    esac
    if [[ $cur == -* ]]; then
        local options
        options=$(LC_ALL=C "${COMP_WORDS[0]}" --help 2>/dev/null | grep -oE -- '(^| )--?[a-z][a-z-]*' | tr -d ' ' | sort -u)
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
    fi
}
complete -F _velmora_cut velmora-cut
