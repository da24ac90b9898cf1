#!/usr/bin/env bash
# scripts/deaths on a few seeds, written to a scratch folder: its table adds up what the seeds'
# own runs report (visits, falls and give-ups per template) with the rates worked out from them,
# the chart is a PNG, a run with --until-fall ends at its first fall, and wrong options or a
# missing simulator are refused. Needs no display.
# Usage: deaths.sh path/to/taldrift (the simulator sits beside it).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/scratch.bash"
sim="$(dirname "$(realpath "$1")")/taldrift-sim"
cd "$(dirname "$0")/../.."


# Seed 117's first run falls after 1748 updates; seeds 116 and 118 run on past 2000.
steps=2000
summary_field() { sed -E "s/^(.* )?$1=([0-9,.]+).*/\2/" "$2"; }

# --until-fall: the simulation ends with the first fall, and runs on without it.
"$sim" --autopilot --seed 117 --steps $steps --quiet --until-fall 2>"$work/117.txt"
[ "$(summary_field deaths "$work/117.txt")" = 1 ] ||
    fail "seed 117 did not fall once: $(cat "$work/117.txt")"
[ "$(summary_field steps "$work/117.txt")" -lt $steps ] || fail "--until-fall ran on past the fall"
"$sim" --autopilot --seed 117 --steps $steps --quiet 2>"$work/on.txt"
[ "$(summary_field steps "$work/on.txt")" = $steps ] || fail "without --until-fall the run stopped"

# Each seed alone, summed by template.
for seed in 116 118; do
    "$sim" --autopilot --seed $seed --steps $steps --quiet --until-fall 2>"$work/$seed.txt"
done
expected=$(for seed in 116 117 118; do
    for name in visits deaths give_ups; do
        echo "$name $(summary_field ${name}_by_template "$work/$seed.txt")"
    done
done | awk '{ n = split($2, c, ","); for (t = 1; t <= n; t++) sum[$1, t - 1] += c[t] }
    END { for (t = 0; t < 10; t++)
              printf "%d\t%d\t%d\t%d\n", t, sum["visits", t], sum["deaths", t], sum["give_ups", t] }')

scripts/deaths --seeds 116-118 --steps $steps --sim "$sim" --out "$work/out" >"$work/log" 2>&1 ||
    fail "scripts/deaths failed: $(cat "$work/log")"
table="$work/out/deaths.tsv"
[ "$(tail -n +3 "$table" | cut -f1-4)" = "$expected" ] ||
    fail "the table's counts differ from the seeds' own: $(diff <(echo "$expected") <(tail -n +3 "$table" | cut -f1-4))"
# The rates are per 1,000 visits of the row's template.
tail -n +3 "$table" | awk -F'\t' '{
    f = $2 > 0 ? 1000 * $3 / $2 : 0; g = $2 > 0 ? 1000 * $4 / $2 : 0; l = $2 > 0 ? 1000 * $7 / $2 : 0
    if (sprintf("%.3f", f) != $5 || sprintf("%.3f", g) != $6 || sprintf("%.3f", l) != $8) {
        print "bad rates: " $0; exit 1 } }' ||
    fail "wrong rates in $table"
[ "$(tail -n +3 "$table" | awk -F'\t' '{ n += $3 } END { print n }')" = 1 ] ||
    fail "not the one fall of seed 117 in the table"
grep -q "1 falls and" "$work/log" || fail "the script's last line does not count the fall: $(cat "$work/log")"
[ "$(identify -format '%m %wx%h' "$work/out/deaths.png")" = "PNG 900x450" ] ||
    fail "the chart is not a 900x450 PNG"

# Refusals.
status=0
scripts/deaths --seeds 5-x --sim "$sim" --out "$work/bad" >/dev/null 2>"$work/err" || status=$?
[ $status -eq 2 ] && grep -q "not a count" "$work/err" || fail "a bad seed range gave $status: $(cat "$work/err")"
status=0
scripts/deaths --seeds 9-3 --sim "$sim" --out "$work/bad" >/dev/null 2>"$work/err" || status=$?
[ $status -eq 2 ] && grep -q "no seeds" "$work/err" || fail "an empty seed range gave $status: $(cat "$work/err")"
status=0
scripts/deaths --seeds 1 --sim "$work/missing" --out "$work/bad" >/dev/null 2>"$work/err" || status=$?
[ $status -eq 1 ] && grep -q "no simulator" "$work/err" || fail "a missing simulator gave $status: $(cat "$work/err")"
[ ! -e "$work/bad" ] || fail "a refused run wrote output"

echo "deaths: all checks passed"
