#!/bin/bash
# The names zsh and fish complete upload and remove to, each shell run for
# real on the installed-style script: fish through 'complete -C', zsh in a
# pseudo-terminal (zpty), where every match the script adds is printed.
# Usage: ShellNamesTest.sh zsh|fish SHELL-PROGRAM COMPLETION-DIR PROGRAM MAKE-SAMPLE-PROGRAMS
set -u
shell=$1
shell_program=$2
completion=$3
program=$4
make_samples=$5
failures=0

work=$(mktemp -d /tmp/oskel-completion.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/programs" "$work/bin" "$work/config" "$work/cache/oskel-uploader"
"$make_samples" "$work/programs" > /dev/null || exit 1
cp "$work/programs/CLOCK.FNC" "$work/programs/SP ACE.FNC"
ln -s "$program" "$work/bin/oskel-uploader-cli"
printf '%s\n' CLOCK.FNC 'SP ACE.FNC' > "$work/cache/oskel-uploader/camera-programs"
export PATH="$work/bin:$PATH" HOME=$work XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/config \
  XDG_CACHE_HOME=$work/cache

# The matches for a command line ending in a blank or a word begun, one a line.
matches()
{
    if [[ $shell == fish ]]; then
        "$shell_program" --no-config -c "source '$completion/oskel-uploader-cli.fish'; complete -C '$1'" | cut -f1
        return
    fi
    # compadd is wrapped to print what it adds; the output is read until
    # the matches have come (at most ten seconds).
    "$shell_program" -f -c '
        zmodload zsh/zpty
        zpty z '"$shell_program"' -f -i
        zpty -w z "PS1=; fpath=('"$completion"' \$fpath); autoload -Uz compinit; compinit -u -D"
        zpty -w z "compadd() { local -a m; builtin compadd -O m \"\$@\"; print -rl -- \"\" \${m/#/MATCH:} >/dev/tty; builtin compadd \"\$@\" }"
        zpty -n -w z "$1"$'"'\t'"'
        out=
        for i in {1..100}; do
            while zpty -rt z chunk 2>/dev/null; do out+=$chunk; done
            [[ $out == *MATCH:* ]] && ((++seen > 3)) && break
            sleep 0.1
        done
        zpty -d z
        print -r -- "${out//$'"'\r'"'/}" | sed -n "s/^MATCH://p"' zsh "$1"
}

expect()
{
    local got
    got=$(matches "oskel-uploader-cli $1" | LC_ALL=C sort -u | tr '\n' '|')
    if [[ $got != "$2" ]]; then
        echo "FAIL ($shell): oskel-uploader-cli $1"
        echo "  expected: $2"
        echo "  got:      $got"
        failures=$((failures + 1))
    fi
}

expect "--folder $work/programs upload SP" "SP ACE.FNC|"
expect "remove " "CLOCK.FNC|SP ACE.FNC|"

[[ $failures == 0 ]] && echo "$shell completes the names as expected"
exit $((failures > 0))
