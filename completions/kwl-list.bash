# bash completion for kwl-list and kwl                             -*- shell-script -*-
# Installed as share/bash-completion/completions/kwl-list (and kwl, a link to it).

_kwl_list() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=""
    ((COMP_CWORD > 0)) && prev=${COMP_WORDS[COMP_CWORD - 1]}
    local options="-r --recursive -f --format -e --export -s --separator --bom --raw-fields -l --language
        -o --output -j --threads --hash --compare --exclude --exclude-from --ignore-case
        --no-hidden -x --one-file-system --max-depth --progress -h --help --version"
    COMPREPLY=()
    case $prev in
        -e | --export)
            mapfile -t COMPREPLY < <(compgen -W "listing text html json html-app" -- "$cur")
            return ;;
        -l | --language)
            mapfile -t COMPREPLY < <(compgen -W "en de" -- "$cur")
            return ;;
        --hash)
            mapfile -t COMPREPLY < <(compgen -W "sha256 xxh128" -- "$cur")
            return ;;
        -o | --output | --compare | --exclude-from)
            compopt -o filenames 2>/dev/null
            mapfile -t COMPREPLY < <(compgen -f -- "$cur")
            return ;;
        -f | --format | -s | --separator | --exclude | -j | --threads | --max-depth)
            return ;; # a value of the user's own
    esac
    if [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
        return
    fi
    compopt -o filenames 2>/dev/null
    # With --compare the other side may be a second snapshot file.
    if [[ " ${COMP_WORDS[*]} " == *" --compare "* ]]; then
        mapfile -t COMPREPLY < <(compgen -f -- "$cur")
    else
        mapfile -t COMPREPLY < <(compgen -d -- "$cur")
    fi
}
complete -F _kwl_list kwl-list

_kwl() {
    mapfile -t COMPREPLY < <(compgen -W "-h --help --version" -- "${COMP_WORDS[COMP_CWORD]}")
}
complete -F _kwl kwl
