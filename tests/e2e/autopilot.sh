#!/usr/bin/env bash
# The simulator's autopilot and window: an autopilot run is the same every time and its recording
# replays to the same bytes; the summary carries the autopilot's and the drawing's figures;
# drawing leaves the run as it is; without a display, or with options that do not go together,
# the simulator refuses with a message. Starts its own X server for the drawing.
# Usage: autopilot.sh path/to/taldrift (the simulator sits beside it).
set -euo pipefail
sim="$(dirname "$(realpath "$1")")/taldrift-sim"

source "$(dirname "$0")/../../scripts/x_server.sh"
source "$(dirname "$0")/scratch.bash"
# The OpenGL driver's allocations outlive the window; leak checking would blame them on us.
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0"
export SDL_AUDIODRIVER=dummy

trap 'stop_x_server; rm -rf "$work"' EXIT
start_x_server -screen 0 1024x768x24

# Record and replay: the same bytes on standard output.
steps=1500
"$sim" --autopilot --seed 11 --steps $steps --record "$work/keys" >"$work/auto"
"$sim" --seed 11 --steps $steps --input "$work/keys" >"$work/replay"
cmp -s "$work/auto" "$work/replay" || fail "the replay of the recorded keys differs from the run"
[ "$(grep -c '^step' "$work/auto")" -eq $steps ] || fail "not one step line per update"
grep -q ' x down$' "$work/keys" || fail "the autopilot never jumped"
"$sim" --autopilot --seed 11 --steps $steps >"$work/again"
cmp -s "$work/auto" "$work/again" || fail "two autopilot runs of one seed differ"

# The summary: the usual fields, then the autopilot's.
"$sim" --autopilot --quiet --seed 11 --steps $steps 2>"$work/err" >"$work/out"
[ ! -s "$work/out" ] || fail "--quiet still printed lines"
pattern='^steps=1500 updates_per_s=[0-9]+ runs=[0-9]+ chunks=[0-9]+ platforms=[0-9]+ ledge_markers=[0-9]+'
pattern+=' fill_polygons=[0-9]+ deaths=[0-9]+ deaths_by_template=([0-9]+,){9}[0-9]+ stuck_s=[0-9]+\.[0-9]'
pattern+=' farthest_x=[0-9]+\.[0-9] '
grep -q -E "$pattern" "$work/err" || fail "unexpected summary: $(cat "$work/err")"
farthest=$(sed -E 's/.* farthest_x=([0-9]+).*/\1/' "$work/err")
[ "$farthest" -gt 2000 ] || fail "the autopilot got only to x $farthest in $steps updates"
# Every chunk entered is one generated, and the run entered more than a few.
grep -q -E ' visits_by_template=([0-9]+,){9}[0-9]+ give_ups_by_template=([0-9]+,){9}[0-9]+$' "$work/err" ||
    fail "no per-template visits and give-ups: $(cat "$work/err")"
visits=$(sed -E 's/.* visits_by_template=([0-9,]+).*/\1/' "$work/err" | tr ',' '\n' | awk '{ n += $1 } END { print n }')
chunks=$(sed -E 's/.* chunks=([0-9]+).*/\1/' "$work/err")
[ "$visits" -ge 10 ] && [ "$visits" -le "$chunks" ] || fail "$visits visits of $chunks chunks"

# Drawing the replay in a window: the run is unchanged, and the frames' draw calls are counted.
"$sim" --seed 11 --steps $steps --input "$work/keys" --draw-every 10 >"$work/drawn" 2>"$work/err"
cmp -s "$work/replay" "$work/drawn" || fail "drawing changed the run"
"$sim" --quiet --seed 11 --steps $steps --input "$work/keys" --draw-every 10 2>"$work/err"
grep -q -E ' draw_calls_max=[0-9]+ draw_calls_mean=[0-9]+\.[0-9]$' "$work/err" ||
    fail "no draw-call figures: $(cat "$work/err")"
max=$(sed -E 's/.* draw_calls_max=([0-9]+).*/\1/' "$work/err")
mean=$(sed -E 's/.* draw_calls_mean=([0-9]+).*/\1/' "$work/err")
[ "$max" -ge "$mean" ] && [ "$mean" -ge 20 ] || fail "draw calls max $max, mean $mean"
# --draw-from: no frame before that update, every one from it.
"$sim" --quiet --seed 11 --steps $steps --input "$work/keys" --draw-every 1 \
    --draw-from $((steps + 1)) 2>"$work/err"
grep -q ' draw_calls_max=0 draw_calls_mean=0.0$' "$work/err" ||
    fail "--draw-from past the last update still drew: $(cat "$work/err")"
"$sim" --quiet --seed 11 --steps $steps --input "$work/keys" --draw-every 1 \
    --draw-from $((steps - 10)) 2>"$work/err"
grep -q -E ' draw_calls_max=[1-9][0-9]* ' "$work/err" ||
    fail "--draw-from before the last update drew nothing: $(cat "$work/err")"

# Refusals: exit code and message.
expect_refusal() {
    local code=$1 pattern=$2
    shift 2
    local status=0
    "$@" >/dev/null 2>"$work/err" || status=$?
    [ $status -eq "$code" ] || fail "'$*' exited with $status, not $code"
    grep -q -- "$pattern" "$work/err" || fail "'$*' said: $(cat "$work/err")"
}
expect_refusal 1 "needs a display" env -u DISPLAY -u WAYLAND_DISPLAY "$sim" --steps 5 --draw-every 1
printf '1 x down\n' >"$work/script"
expect_refusal 2 usage "$sim" --autopilot --input "$work/script"
expect_refusal 2 usage "$sim" --real-time
expect_refusal 2 usage "$sim" --draw-every 0
expect_refusal 2 usage "$sim" --draw-from 5
expect_refusal 2 "cannot write" "$sim" --autopilot --record "$work/missing/keys"

echo "autopilot: all checks passed"
