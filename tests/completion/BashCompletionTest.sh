#!/bin/bash
# Runs the bash completion of oskel-uploader-cli on command lines, as bash
# would: COMP_WORDS split at blanks and "=", COMP_CWORD the word completed.
# Usage: BashCompletionTest.sh PATH-TO-oskel-uploader-cli.bash
set -u
script=$1
failures=0

# The command lines below are split at blanks: the folder has none, whatever
# TMPDIR says.
work=$(mktemp -d /tmp/oskel-completion.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/programs/SUB.FNC" "$work/bin" "$work/here"
touch "$work/programs/SLIDES.FNC" "$work/programs/frameb.atc" "$work/programs/Notes.txt" "$work/here/CLOCK.FNC"
# Completion must never run the program (it would reach for the camera).
printf '#!/bin/sh\ntouch "%s/ran"\n' "$work" > "$work/bin/oskel-uploader-cli"
chmod +x "$work/bin/oskel-uploader-cli"
PATH="$work/bin:$PATH"

source "$script"

# expect "WORDS..." "EXPECTED REPLIES, sorted byte by byte, blank-separated"
# The last word is the one completed ("" for a new word).
expect()
{
    COMP_WORDS=(oskel-uploader-cli)
    eval "COMP_WORDS+=($1)"
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _oskel_uploader_cli
    local got
    got=$(printf '%s\n' "${COMPREPLY[@]}" | LC_ALL=C sort | tr '\n' ' ' | sed 's/ *$//')
    if [[ $got != "$2" ]]; then
        echo "FAIL: oskel-uploader-cli $1"
        echo "  expected: $2"
        echo "  got:      $got"
        failures=$((failures + 1))
        return 1
    fi
}

expect '""' "about list ports probe remove upload"
expect 'pr' "probe"
expect '--wait ""' "about list ports probe remove upload"
expect '--wait = 30 l' "list"
expect '--sp' "--speed"
expect '--speed 11' "115200"
expect '--speed = ""' "115200 19200 230400 38400 57600 9600 auto"
expect '--port = CO' "COM1 COM10 COM2 COM3 COM4 COM5 COM6 COM7 COM8 COM9"
expect 'list --port a' "auto"
expect '--port=COM1' "--port=COM1 --port=COM10"
expect "--folder $work/pro" "$work/programs"
expect "--folder $work/programs upload \"\"" "SLIDES.FNC frameb.atc"
expect "upload --folder = $work/programs F" "frameb.atc"
expect "upload --folder = $work/programs SLIDES.FNC s" "SLIDES.FNC"
expect 'remove ""' ""
(cd "$work/here" && expect 'upload ""' "CLOCK.FNC") || failures=$((failures + 1))

if [[ -e $work/ran ]]; then
    echo "FAIL: completion ran the program"
    failures=$((failures + 1))
fi
[[ $failures == 0 ]] && echo "all completions as expected"
exit $((failures > 0))
