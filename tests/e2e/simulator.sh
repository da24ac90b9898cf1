#!/usr/bin/env bash
# The headless simulator: the same seed and input give byte-identical output, a jump from the
# first step produces the expected first steps, and bad input or options exit with code 2 and say
# why. Needs no display. Usage: simulator.sh path/to/taldrift (the simulator sits beside it).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/scratch.bash"
sim="$(dirname "$(realpath "$1")")/taldrift-sim"

# A run with every kind of input line, comments and blank lines included.
cat >"$work/input" <<'INPUT'
# jump at once and hold it for eight steps
1 x down

9 x up
200 c down   # slide
230 c up
400 x down
401 x up
INPUT
"$sim" --seed 5 --steps 2000 --input "$work/input" >"$work/first"
"$sim" --seed 5 --steps 2000 --input "$work/input" >"$work/second"
cmp -s "$work/first" "$work/second" || fail "two runs with the same seed and input differ"
[ "$(grep -c '^step' "$work/first")" -eq 2000 ] || fail "not one step line per update"
"$sim" --seed 6 --steps 2000 --input "$work/input" >"$work/other"
cmp -s "$work/first" "$work/other" && fail "another seed gave the same level"

# Lines may come in any order: events are sent by step, those of one step in file order.
printf '400 x down\n200 c down\n1 x down\n230 c up\n9 x up\n401 x up\n' >"$work/shuffled"
"$sim" --seed 5 --steps 2000 --input "$work/shuffled" >"$work/reordered"
cmp -s "$work/first" "$work/reordered" || fail "input lines out of step order were not replayed"

# The jump: airborne at once with velocity y held at 300 (less one step of gravity) for the
# jump step and six more, then falling back under gravity.
"$sim" --steps 9 --input "$work/input" | grep '^step' | cut -f2-8 >"$work/jump"
printf '%s\n' \
    "1	1	4.6875	64	294.0625	4	1" \
    "2	2	9.375	64	294.0625	4	1" \
    "3	3	14.0625	64	294.0625	4	1" \
    "4	4	18.75	64	294.0625	4	1" \
    "5	5	23.4375	64	294.0625	4	1" \
    "6	6	28.125	64	294.0625	4	1" \
    "7	7	32.8125	64	294.0625	4	1" \
    "8	8	37.4072266	64	288.125	4	1" \
    "9	9	41.9091797	64	282.1875	4	1" >"$work/expected"
diff "$work/expected" "$work/jump" >&2 || fail "the first steps of a jump are not as expected"

# The first chunk of the process is the flat run at (-64, 0), and chunks are numbered from 1.
first_chunk=$("$sim" --steps 1 | head -1)
[ "$first_chunk" = "chunk	1	0	-64	0" ] || fail "first chunk line is '$first_chunk'"

# Escape ends the run at its step with exit code 0.
printf '3 escape down\n' >"$work/escape"
last=$("$sim" --input "$work/escape" | tail -1 | cut -f1-2)
[ "$last" = "step	3" ] || fail "escape did not end the run at step 3 (last line '$last')"

# Quiet: no lines on standard output, one summary on standard error.
"$sim" --quiet --steps 50 >"$work/out" 2>"$work/err"
[ ! -s "$work/out" ] || fail "--quiet still printed lines"
grep -q -E '^steps=50 updates_per_s=[0-9]+ runs=1 chunks=[0-9]+ platforms=[0-9]+ ledge_markers=[0-9]+ fill_polygons=[0-9]+$' \
    "$work/err" || fail "unexpected summary: $(cat "$work/err")"

# Bad input and bad options: exit code 2 and a message naming the problem.
expect_refusal() {
    local pattern=$1
    shift
    local status=0
    "$sim" "$@" >/dev/null 2>"$work/err" || status=$?
    [ $status -eq 2 ] || fail "'$*' exited with $status, not 2"
    grep -q -- "$pattern" "$work/err" || fail "'$*' said: $(cat "$work/err")"
}
printf '1 x down\n\n# fine so far\n2 jump up\n' >"$work/bad"
expect_refusal "bad:4:" --input "$work/bad"
printf '0 x down\n' >"$work/zero"
expect_refusal "zero:1:" --input "$work/zero"
printf '1 x sideways\n' >"$work/direction"
expect_refusal "direction:1:" --input "$work/direction"
expect_refusal "cannot read" --input "$work/missing"
expect_refusal "cannot read" --input "$work"
expect_refusal "usage" --bogus
expect_refusal "usage" --steps
expect_refusal "usage" --seed -4

echo "simulator: all checks passed"
