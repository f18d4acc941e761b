#!/bin/bash
# Runs the bash completion of oskel-uploader-cli on command lines, as bash
# would: COMP_WORDS split at blanks and "=", COMP_CWORD the word completed.
# Usage: BashCompletionTest.sh COMPLETION-SCRIPT PROGRAM MAKE-SAMPLE-PROGRAMS
set -u
script=$1
program=$2
make_samples=$3
failures=0

# The command lines below are split at blanks: the folder has none, whatever
# TMPDIR says.
work=$(mktemp -d /tmp/oskel-completion.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/programs/SUB.FNC" "$work/bin" "$work/here" "$work/config"
"$make_samples" "$work/programs" > /dev/null || exit 1
cp "$work/programs/CLOCK.FNC" "$work/programs/SP ACE.FNC"
cp "$work/programs/TIMER.FNC" "$work/programs/-DASH.fnc"
cp "$work/programs/SLIDES.FNC" "$work/here/SLIDES.FNC"
touch "$work/programs/Notes.txt"
ln -s "$program" "$work/bin/oskel-uploader-cli"
PATH="$work/bin:$PATH"
# The completion reads no camera; the settings it may read and the camera's
# names kept by the last run that read it are the test's.
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/config XDG_CACHE_HOME=$work/cache

source "$script"

# expect "WORDS..." "EXPECTED REPLIES, blank-separated, in byte order"
# The last word is the one completed ("" for a new word). The replies are
# sorted in the C locale here, whatever the caller's, as bash shows them
# sorted by its own.
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

p=$work/programs
expect '""' "about completion list ports probe remove upload"
expect 'pr' "probe"
expect '--wait ""' "about completion list ports probe remove upload"
expect '--wait = 30 l' "list"
expect '--sp' "--speed"
expect '-' "$(printf '%s\n' -V -h -q -v -y $("$program" --help | grep -o -- '--[a-z][a-z-]*' | sort -u) | LC_ALL=C sort | tr '\n' ' ' | sed 's/ *$//')"
expect '--speed 11' "115200"
expect '--speed = ""' "115200 19200 230400 38400 57600 9600 auto"
expect '--port = CO' "COM1 COM10 COM2 COM3 COM4 COM5 COM6 COM7 COM8 COM9"
expect 'list --port a' "auto"
expect '--port=COM1' "--port=COM1 --port=COM10"
expect 'upload --progress ""' "json"
expect "--folder $work/pro" "$work/programs"
# Only what upload takes: no host, no file that is no program; names quoted.
expect "--folder $p upload \"\"" 'CLOCK.FNC FRAMEA.ATC FRAMEB.ATC LEGACY.FNC OLDFRAME.ATC SLIDES.FNC SP\ ACE.FNC STAMPA.ATC TIMER.FNC'
expect "upload --folder = $p F" "FRAMEA.ATC FRAMEB.ATC"
expect "upload --folder = $p SLIDES.FNC s" "SLIDES.FNC SP\\ ACE.FNC STAMPA.ATC"
expect "upload --folder $p -- -" "-DASH.fnc"
# An option's value is never taken for the command.
expect "--trace x.txt --folder $p upload C" "CLOCK.FNC"
expect "--device /dev/null --speed 9600 upload --folder $p T" "TIMER.FNC"
expect 'remove ""' ""
# remove: the names the last run that read the camera kept, quoted.
mkdir -p "$work/cache/oskel-uploader"
printf '%s\n' CLOCK.FNC 'SP ACE.FNC' -DASH.FNC > "$work/cache/oskel-uploader/camera-programs"
expect 'remove ""' 'CLOCK.FNC SP\ ACE.FNC'
expect '--port auto remove s' 'SP\ ACE.FNC'
expect 'remove -- -' "-DASH.FNC"
expect 'completion ""' "bash fish zsh"
(cd "$work/here" && expect 'upload ""' "SLIDES.FNC") || failures=$((failures + 1))

if [[ -e $work/config/oskel ]] || compgen -G "$work/config/*.lock" > /dev/null; then
    echo "FAIL: completion left settings or took the camera lock"
    failures=$((failures + 1))
fi
[[ $failures == 0 ]] && echo "all completions as expected"
exit $((failures > 0))
