# bash completion for k4xtrace: commands, options, property names, and CPU
# names from the settings files in the trace settings directory.

_k4xtrace_cpus()
{
    local settings=${ZR_TRACE_SETTINGS_DIR:-${USERPROFILE:-$HOME}/.ZR-trace/settings}
    local file
    for file in "$settings"/*-TCfg.txt; do
        [ -e "$file" ] || continue
        file=${file##*/}
        printf '%s\n' "${file%-TCfg.txt}"
    done
}

_k4xtrace()
{
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
    local commands="show get set save load diff live info check"
    local options="--library --profile --log-level --live --help --version --json --to --answer"
    local properties=("Trace Mode" "Encoding Mode" "Sync Frequency" "Number of AEG" "Memory Mode"
                      "CEMU Status" "Event Bit0" "Event Bit1" "Event Bit2" "Event Bit3"
                      "TWP_Protocol" "CycleModeDelta")
    case $prev in
        --library|--to) COMPREPLY=($(compgen -f -- "$cur")); return ;;
        --profile|--live) COMPREPLY=($(compgen -d -- "$cur")); return ;;
        --log-level) COMPREPLY=($(compgen -W "0 1 2 3 4 5 6" -- "$cur")); return ;;
    esac
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
        return
    fi
    # The command and how many words follow it.
    local i command="" position=0
    for ((i = 1; i < COMP_CWORD; i++)); do
        case ${COMP_WORDS[i]} in
            --library|--profile|--log-level|--live|--to|--answer) ((i++)) ;;
            -*) ;;
            *) if [ -z "$command" ]; then command=${COMP_WORDS[i]}; else ((position++)); fi ;;
        esac
    done
    if [ -z "$command" ]; then
        COMPREPLY=($(compgen -W "$commands" -- "$cur"))
    elif [ "$command" = check ]; then
        COMPREPLY=($(compgen -f -- "$cur"))
    elif [ $position -eq 0 ] || [ "$command" = live ]; then
        COMPREPLY=($(compgen -W "$(_k4xtrace_cpus)" -- "$cur"))
    elif [ "$command" = get ] || [ "$command" = set ]; then
        local IFS=$'\n' suffix=""
        [ "$command" = set ] && suffix="="
        COMPREPLY=($(compgen -W "$(printf "%s$suffix\n" "${properties[@]}")" -- "$cur"))
        [ "$command" = set ] && compopt -o nospace
    else
        COMPREPLY=($(compgen -f -W "settings text: dcm: tdf:" -- "$cur"))
    fi
}
complete -F _k4xtrace k4xtrace
