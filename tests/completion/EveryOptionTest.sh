#!/bin/bash
# Every option --help names (and every command) has its completion in bash,
# zsh and fish, and is described in the manual page and in the command
# line's page of the manual.
# Usage: EveryOptionTest.sh PROGRAM COMPLETION-DIR MANUAL-PAGE COMMAND-LINE-DOC
set -u
program=$1
dir=$2
manpage=$3
doc=$4
failures=0

help=$("$program" --help) || { echo "FAIL: --help"; exit 1; }
mapfile -t longs < <(grep -o -- '--[a-z][a-z-]*' <<< "$help" | LC_ALL=C sort -u)
mapfile -t shorts < <(grep -oE -- '^  -[A-Za-z],' <<< "$help" | tr -d ' ,' | LC_ALL=C sort -u)
mapfile -t commands < <(grep -oE '^(usage:)? +oskel-uploader-cli (\[options\] )?[a-z|]+' <<< "$help" |
    sed 's/.*oskel-uploader-cli \(\[options\] \)\{0,1\}//' | tr '|' '\n' | LC_ALL=C sort -u)
((${#longs[@]} > 10 && ${#shorts[@]} >= 4 && ${#commands[@]} >= 7)) ||
    { echo "FAIL: too few options or commands read from --help: ${longs[*]} ${shorts[*]} ${commands[*]}"; exit 1; }

fail()
{
    echo "FAIL: $1"
    failures=$((failures + 1))
}

bash_words=$(grep -o 'compgen -W "[^"]*"' "$dir/oskel-uploader-cli.bash" | tr -d '"' | tr ' ' '\n')
for o in "${longs[@]}" "${shorts[@]}"; do
    grep -qxF -- "$o" <<< "$bash_words" || fail "bash does not complete $o"
done
for o in "${longs[@]}"; do
    grep -qE -- "(['{,]|\))$o([=[,}]|\[)" "$dir/_oskel-uploader-cli" || fail "zsh does not complete $o"
    grep -qE -- " -l ${o#--}( |$)" "$dir/oskel-uploader-cli.fish" || fail "fish does not complete $o"
    grep -qF -- "${o//-/\\-}" "$manpage" || fail "the manual page does not describe $o"
    grep -qF -- "$o" "$doc" || fail "$(basename "$doc") does not describe $o"
done
for o in "${shorts[@]}"; do
    grep -qE -- "\{$o," "$dir/_oskel-uploader-cli" || fail "zsh does not complete $o"
    grep -qE -- " -s ${o#-} " "$dir/oskel-uploader-cli.fish" || fail "fish does not complete $o"
    grep -qF -- "${o//-/\\-}" "$manpage" || fail "the manual page does not describe $o"
done
for c in "${commands[@]}"; do
    grep -qxF -- "$c" <<< "$bash_words" || fail "bash does not complete the command $c"
    grep -qF -- "$c\\:" "$dir/_oskel-uploader-cli" || fail "zsh does not complete the command $c"
    grep -qF -- " -a $c " "$dir/oskel-uploader-cli.fish" || fail "fish does not complete the command $c"
    grep -qE -- "^\.B $c|^\.TP.*$c|^\\\\fB$c" "$manpage" || grep -qF -- "$c" "$manpage" || fail "the manual page does not describe $c"
    grep -qF -- "\`$c" "$doc" || fail "$(basename "$doc") does not describe the command $c"
done
[[ $failures == 0 ]] && echo "every option and command of --help is completed and documented"
exit $((failures > 0))
