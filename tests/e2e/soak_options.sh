#!/usr/bin/env bash
# The simulator's options for soaks and the distance study: --start-x moves the whole level and
# the player's start by that much and nothing else; --fall-after makes the autopilot end every run
# on purpose and start again with C; the timing file carries the resident memory and the runs
# started; bad values are refused. Needs no display.
# Usage: soak_options.sh path/to/taldrift (the simulator sits beside it).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/scratch.bash"
sim="$(dirname "$(realpath "$1")")/taldrift-sim"

# A start offset of 2^16: the level and the player moved by it, x rounded to its spacing there
# (2^-7), so that the run's x stays within a fraction of a unit of the plain one's plus the offset
# and everything but x and the score (which sums squared moves) is the same, step for step.
printf '30 x down\n50 x up\n' >"$work/keys"
"$sim" --seed 3 --steps 600 --input "$work/keys" >"$work/plain"
"$sim" --seed 3 --steps 600 --input "$work/keys" --start-x 65536 >"$work/shifted"
"$sim" --seed 3 --steps 600 --input "$work/keys" --start-x 0 >"$work/zero"
cmp -s "$work/plain" "$work/zero" || fail "--start-x 0 changed the run"
head -n 1 "$work/shifted" | grep -q -P '^chunk\t1\t0\t65472\t0$' ||
    fail "the first chunk does not start 64 behind the offset: $(head -n 1 "$work/shifted")"
awk -F'\t' 'NR == FNR { line[FNR] = $0; next }
    {
        split(line[FNR], p, "\t")
        x = $1 == "chunk" ? 4 : 3
        for (i = 1; i <= NF; i++) {
            apart = i == x ? $i - 65536 - p[i] : 0
            if ((i == x && (apart > 0.125 || apart < -0.125)) ||
                (i != x && !($1 == "step" && i == 9) && $i != p[i])) {
                print FNR ": " $0
                exit 1
            }
        }
    }
    END { if (FNR != 608) { print FNR " lines"; exit 1 } }' "$work/plain" "$work/shifted" >"$work/diff" ||
    fail "the shifted run is not the plain one moved: $(cat "$work/diff")"

# Falling on purpose: every run ends within seconds and the autopilot starts the next with C.
"$sim" --autopilot --fall-after 64 --seed 11 --steps 3840 --quiet --record "$work/falls" \
    --timing "$work/timing" 2>"$work/summary"
runs=$(grep -o -E 'runs=[0-9]+' "$work/summary" | cut -d= -f2)
[ "$runs" -ge 8 ] || fail "only $runs runs when falling on purpose: $(cat "$work/summary")"
[ "$(grep -c ' c down$' "$work/falls")" -ge $((runs - 1)) ] || fail "runs restarted without C"
grep -q -E ' give_ups=[1-9]' "$work/summary" || fail "the falls are not counted as give-ups"
# Without the option the same seed plays on.
"$sim" --autopilot --seed 11 --steps 3840 --quiet 2>"$work/plain_summary"
grep -q ' runs=1 ' "$work/plain_summary" || fail "the autopilot fell without --fall-after"

# The timing file: minute, cost, platforms, markers, draw calls, resident KiB (a few MiB at least)
# and runs, which only grow.
[ "$(wc -l <"$work/timing")" -eq 1 ] || fail "not one timing line per simulated minute"
awk -F'\t' -v runs="$runs" 'NF != 7 || $6 < 1024 || $7 < 2 || $7 > runs { exit 1 }' "$work/timing" ||
    fail "unexpected timing line: $(cat "$work/timing")"

# Refused: a start offset that is no whole number or too far out, falling without the autopilot.
for options in "--start-x 1.5" "--start-x x" "--start-x 2000000000" "--start-x -" \
    "--fall-after 0" "--fall-after 64"; do
    status=0
    # shellcheck disable=SC2086
    "$sim" $options --steps 10 >/dev/null 2>"$work/err" || status=$?
    [ $status -eq 2 ] || fail "$options: exit code $status, not 2"
    grep -q usage "$work/err" || fail "$options: no usage message"
done
"$sim" --start-x -65536 --steps 10 >"$work/left" || fail "a negative offset was refused"
head -n 1 "$work/left" | grep -q -P '^chunk\t1\t0\t-65600\t0$' || fail "a negative offset went wrong"
echo "soak options: ok"
