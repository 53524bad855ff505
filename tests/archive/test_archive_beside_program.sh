#!/usr/bin/env bash
# The program running on an archive, under Xvfb, and two others beside it: velimor-calc reads a
# task of the archive and prints the same report as when the program is not running; a second
# copy of the program, started on a display of its own so that its start-up check does not
# see the first, cannot take the tables for writing: it shows its message, creates no main
# window, ends with code 1, and no archive file changes. Needs an X display; without one
# (DISPLAY unset) it exits 77, which ctest counts as skipped.
# Usage: test_archive_beside_program.sh VELIMOR VELIMOR_CALC ARCHIVE_WRITER
set -u
program=$1
calc=$2
writer=$3
if [ -z "${DISPLAY:-}" ]; then
    echo "no X display: skipped"
    exit 77
fi
work=$(mktemp -d)
first=""
second=""
other=""
trap 'kill $first $second $other 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=xcb
task="Группа крови АВ0"
fail() {
    echo "FAIL: $*"
    exit 1
}

wait_for() { # display pid name
    for _ in $(seq 1 100); do
        ids=$(DISPLAY=$1 xdotool search --all --onlyvisible --pid "$2" --name "$3" 2>/dev/null) &&
            [ -n "$ids" ] && {
            echo "$ids"
            return 0
        }
        sleep 0.1
    done
    return 1
}

"$writer" "$work" || fail "no archive written"
alone=$("$calc" --archive "$work" --task "$task") || fail "velimor-calc cannot read the archive alone"

cd "$work"
"$program" &
first=$!
wait_for "$DISPLAY" $first '^Тарвенис\. Велимор\.$' >/dev/null || fail "the program shows no main window"
files() { md5sum "$work"/*.DBF "$work"/*.CDX; }
before=$(files)

beside=$("$calc" --archive "$work" --task "$task") ||
    fail "velimor-calc cannot read the archive the program has open"
[ "$beside" = "$alone" ] || fail "velimor-calc reads another report beside the program"

# A display of its own for the second copy.
exec 3< <(Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp 2>/dev/null)
other=$!
read -r -t 10 number <&3 || fail "no second display"
DISPLAY=:$number "$program" 2>/dev/null &
second=$!
box=$(DISPLAY=:$number wait_for ":$number" $second '^Велимор$' | head -n 1) ||
    fail "the second copy shows no message"
if DISPLAY=:$number xdotool search --all --onlyvisible --pid $second --name 'Тарвенис' >/dev/null 2>&1; then
    fail "the second copy created its main window"
fi
for _ in $(seq 1 50); do
    kill -0 $second 2>/dev/null || break
    DISPLAY=:$number xdotool windowfocus "$box" 2>/dev/null
    DISPLAY=:$number xdotool key --window "$box" Return 2>/dev/null
    sleep 0.2
done
DISPLAY=:$number xdotool keyup Return 2>/dev/null
wait $second
code=$?
second=""
[ $code -eq 1 ] || fail "the second copy ended with code $code, not 1"
[ "$(files)" = "$before" ] || fail "an archive file changed"
kill -0 $first 2>/dev/null || fail "the first copy ended"
echo "1 passed, 0 failed"
