#!/usr/bin/env bash
# The simulator built for WebAssembly against the native one, option for option: the same output,
# the same files written (key records, maps, the template sheet, the timing file less its clock and
# memory columns), the same summary less its speeds, the same messages and exit codes for bad
# input. The golden traces cover plain runs from key scripts; this covers the autopilot's own
# search, the pictures and the command line, which they do not. Drawing is the one option the
# WebAssembly build does not have, and it must say so.
# Usage: simulator.sh path/to/taldrift-sim path/to/taldrift-sim.js
set -euo pipefail
native=$(realpath "$1")
wasm=$(realpath "$2")
source "$(dirname "$0")/../e2e/scratch.bash"
cd "$(dirname "$0")/../golden"

# Runs one build in its own folder of $work with the given options: stdout, stderr and exit code
# land in that folder, and so do the files the options write.
run() {
    local kind=$1
    shift
    local dir=$work/$kind
    rm -rf "$dir" && mkdir -p "$dir"
    local status=0
    if [ "$kind" = wasm ]; then
        (cd "$dir" && node --no-experimental-fetch "$wasm" "$@" >out 2>err) || status=$?
    else
        (cd "$dir" && "$native" "$@" >out 2>err) || status=$?
    fi
    echo "$status" >"$dir/status"
}

# The speeds and the seconds spent thinking differ from run to run; the rest must not.
steady() {
    sed -E 's/ (updates_per_s|autopilot_s)=[0-9.]+//g' "$1"
}

# Runs both builds with the options and compares everything they left.
same() {
    local what=$1
    shift
    run native "$@"
    run wasm "$@"
    local file
    for file in $(cd "$work/native" && ls); do
        [ -f "$work/wasm/$file" ] || fail "$what: the WebAssembly build wrote no $file"
        case $file in
        err)
            diff <(steady "$work/native/err") <(steady "$work/wasm/err") >"$work/diff" ||
                fail "$what: standard error differs: $(head -n 4 "$work/diff")"
            ;;
        timing.tsv)
            # minute, cost in ns, platforms, ledge markers, draw calls, resident KiB, runs
            cmp -s <(cut -f 1,3,4,5,7 "$work/native/$file") <(cut -f 1,3,4,5,7 "$work/wasm/$file") ||
                fail "$what: the timing files differ beyond their clock and memory columns"
            ;;
        *)
            cmp -s "$work/native/$file" "$work/wasm/$file" || fail "$what: $file differs"
            ;;
        esac
    done
}

same "autopilot with a record and a map" --seed 7 --steps 20000 --autopilot --record record.txt \
    --map map.svg --quiet
same "restarts with the timing file" --seed 2 --steps 8000 --autopilot --fall-after 64 \
    --timing timing.tsv --until-fall
same "a key script far out" --seed 5 --steps 3000 --input taps.txt --start-x -300000
same "the template sheet" --templates sheet.svg
same "a malformed option" --steps many
same "a missing key script" --input no-such-file.txt
printf '5 x down\n7 q up\n' >"$work/bad.txt"
same "a malformed key script" --input "$work/bad.txt"
status=$(cat "$work/wasm/status")
[ "$status" = 2 ] || fail "a malformed key script ended with $status, not 2"

# Drawing: refused with a reason and exit code 1, before any step is run.
run wasm --steps 10 --draw-every 1
status=$(cat "$work/wasm/status")
[ "$status" = 1 ] || fail "drawing under node ended with $status, not 1"
grep -q 'drawing needs a display' "$work/wasm/err" ||
    fail "drawing under node says: $(cat "$work/wasm/err")"
[ ! -s "$work/wasm/out" ] || fail "drawing under node ran steps all the same"

echo "simulator in WebAssembly: the same as the native one"
