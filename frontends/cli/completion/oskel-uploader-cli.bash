# bash completion for oskel-uploader-cli: commands, options and their values,
# and for upload the program files of the folder (--folder, else the current
# folder). Reads no settings and never touches the camera.

# The program files (.fnc, .atc, any case) in folder $1 whose names start
# with $2, one per line.
_oskel_uploader_cli_programs()
{
    local file base
    for file in "${1:-.}"/*; do
        base=${file##*/}
        [[ -f $file && ( ${base,,} == *.fnc || ${base,,} == *.atc ) && ${base,,} == "${2,,}"* ]] &&
            printf '%s\n' "$base"
    done
}

# The values of option $1 that start with $2; false for an option without
# completed values.
_oskel_uploader_cli_values()
{
    local IFS=$' \t\n'
    case $1 in
    --port) compgen -W "COM1 COM2 COM3 COM4 COM5 COM6 COM7 COM8 COM9 COM10 auto" -- "$2" ;;
    --speed) compgen -W "9600 19200 38400 57600 115200 230400 auto" -- "$2" ;;
    --folder) compgen -d -- "$2" ;;
    --device)
        if [[ -z $2 ]]; then
            compgen -G '/dev/serial/by-id/*'
            compgen -G '/dev/ttyUSB*'
            compgen -G '/dev/ttyACM*'
        fi
        compgen -f -- "$2" ;;
    --wait) ;;
    *) return 1 ;;
    esac
    return 0
}

_oskel_uploader_cli()
{
    local cur=${COMP_WORDS[COMP_CWORD]} prev= pre=
    ((COMP_CWORD > 0)) && prev=${COMP_WORDS[COMP_CWORD - 1]}
    # "--port=CO" comes as "--port" "=" "CO", or as one word when "=" is not
    # in COMP_WORDBREAKS.
    if [[ $cur == = ]]; then
        cur=
    elif [[ $prev == = ]] && ((COMP_CWORD > 1)); then
        prev=${COMP_WORDS[COMP_CWORD - 2]}
    elif [[ $cur == --*=* ]]; then
        prev=${cur%%=*} pre=${cur%%=*}= cur=${cur#*=}
    elif [[ $prev == --wait ]]; then
        prev= # its value is only ever given after "="
    fi

    local IFS=$'\n'
    COMPREPLY=()
    if [[ $prev == --* ]] && COMPREPLY=($(_oskel_uploader_cli_values "$prev" "$cur")); then
        COMPREPLY=("${COMPREPLY[@]/#/$pre}")
        return
    fi

    # The command and the folder given so far; option values are skipped.
    local i word command= folder=.
    for ((i = 1; i < COMP_CWORD; i++)); do
        word=${COMP_WORDS[i]}
        case $word in
        --folder=?*) folder=${word#--folder=} ;;
        --device | --port | --speed | --folder | --wait)
            [[ ${COMP_WORDS[i + 1]} == = ]] && ((i++))
            [[ $word == --wait && ${COMP_WORDS[i]} != = ]] && continue
            [[ $word == --folder ]] && ((i + 1 < COMP_CWORD)) && folder=${COMP_WORDS[i + 1]}
            ((i++)) ;;
        -*) ;;
        *) [[ -z $command ]] && command=$word ;;
        esac
    done
    folder=${folder/#\~/$HOME}

    local options="--device --port --speed --folder --wait --yes --no --cancel --accept-older-models
--accept-unknown-models --json --quiet --help --version"
    if [[ $cur == -* ]]; then
        COMPREPLY=($(IFS=$' \t\n' compgen -W "$options" -- "$cur"))
    elif [[ -z $command ]]; then
        COMPREPLY=($(IFS=$' \t\n' compgen -W "probe about list ports upload remove" -- "$cur"))
    elif [[ $command == upload ]]; then
        COMPREPLY=($(_oskel_uploader_cli_programs "$folder" "$cur"))
    fi
}

complete -F _oskel_uploader_cli oskel-uploader-cli
