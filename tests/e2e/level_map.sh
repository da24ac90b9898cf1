#!/usr/bin/env bash
# The simulator's pictures. The level map is well-formed XML with one outline and one template
# number per chunk the run generated, in the order they were generated, a path for every motion
# state the player was in, a cross for every fall and a caption for every run; drawing it changes
# nothing in the run's output; a run of thousands of chunks stays compact. The template sheet
# draws the ten templates. A file that cannot be written, or --templates mixed with a run's
# options, ends with a message and a non-zero exit code. Needs no display.
# Usage: level_map.sh path/to/taldrift (the simulator sits beside it).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/scratch.bash"
sim="$(dirname "$(realpath "$1")")/taldrift-sim"
cd "$(dirname "$0")/../.."
command -v xmllint >/dev/null || fail "xmllint is missing (Debian package libxml2-utils)"

# Evaluates an XPath expression on an SVG file; SVG's namespace is matched by local names.
xpath() {
    xmllint --xpath "$1" "$2"
}
rowText() {
    xpath "/*/*[local-name()='g' and @class='row']/*[local-name()='text' and @class='$1']/text()" "$2"
}

# ---- A known seed and key script -----------------------------------------------------------------

run=(--seed 11 --steps 6000 --input tests/golden/busy.txt)
"$sim" "${run[@]}" >"$work/plain"
"$sim" "${run[@]}" --map "$work/map.svg" >"$work/mapped"
cmp -s "$work/plain" "$work/mapped" || fail "drawing the map changed the run's output"
xmllint --noout "$work/map.svg" || fail "the map is not well-formed XML"

chunks=$(grep -c '^chunk' "$work/plain")
[ "$chunks" -eq 97 ] || fail "the known run generated $chunks chunks, not 97"
labels=$(rowText t "$work/map.svg")
[ "$labels" = "$(grep '^chunk' "$work/plain" | cut -f3)" ] ||
    fail "the chunks' template numbers are not the generated templates in order"
outlines=$(xpath "/*/*[@class='row']/*[local-name()='path' and @class='o']/@d" "$work/map.svg" |
    grep -o M | wc -l)
[ "$outlines" -eq "$chunks" ] || fail "$outlines chunk outlines for $chunks chunks"

# Runs: one caption each (a long run's further rows say "continued"), and a cross per fall.
captions=$(xpath "/*/*[local-name()='text' and @class='c']/text()" "$work/map.svg")
runs=$(grep -c '^run [0-9]*:' <<<"$captions" || true)
falls=$(awk '$1 == "step" { if (alive == 1 && $8 == 0) n++; alive = $8 } END { print n + 0 }' \
    "$work/plain")
[ "$runs" -eq 14 ] || fail "$runs run captions, not the 14 runs of the known run"
crosses=$(xpath "/*/*[@class='row']/*[local-name()='path' and @class='x']/@d" "$work/map.svg" |
    grep -o M | wc -l)
[ "$crosses" -eq $((2 * falls)) ] || fail "$((crosses / 2)) fall marks for $falls falls"

# Every motion state the living player was in has its coloured path.
for state in $(awk '$1 == "step" && $8 == 1 { print $7 }' "$work/plain" | sort -u); do
    count=$(xpath "count(/*/*[@class='row']/*[local-name()='path' and @class='r s$state'])" \
        "$work/map.svg")
    [ "$count" -gt 0 ] || fail "no path for motion state $state"
done

# ---- A long run ----------------------------------------------------------------------------------

# The busy script five times over: 200000 steps, thousands of chunks over hundreds of runs.
awk '/^[0-9]/ { for (k = 0; k < 5; k++) print $1 + 40000 * k, $2, $3 }' tests/golden/busy.txt \
    >"$work/long.txt"
"$sim" --seed 11 --steps 200000 --input "$work/long.txt" --quiet --map "$work/long.svg" \
    2>"$work/summary"
xmllint --noout "$work/long.svg" || fail "the long run's map is not well-formed XML"
longChunks=$(sed -n 's/.* chunks=\([0-9]*\) .*/\1/p' "$work/summary")
bytes=$(stat -c %s "$work/long.svg")
[ "$longChunks" -ge 2000 ] || fail "the long run generated only $longChunks chunks"
# About 250 bytes a chunk, path and captions included; far more means something grew per point.
[ "$bytes" -le $((longChunks * 350)) ] ||
    fail "the long run's map takes $bytes bytes for $longChunks chunks"

# ---- The template sheet --------------------------------------------------------------------------

"$sim" --templates "$work/templates.svg" >"$work/out"
[ ! -s "$work/out" ] || fail "--templates printed a run"
xmllint --noout "$work/templates.svg" || fail "the template sheet is not well-formed XML"
panels=$(xpath "count(/*/*[local-name()='g' and @class='template'])" "$work/templates.svg")
[ "$panels" -eq 10 ] || fail "the sheet has $panels template panels, not 10"

# ---- Failures ------------------------------------------------------------------------------------

status=0
"$sim" --steps 10 --map "$work/missing/map.svg" >/dev/null 2>"$work/err" || status=$?
[ "$status" -eq 1 ] || fail "an unwritable map ended with $status, not 1"
grep -q "cannot write $work/missing/map.svg" "$work/err" || fail "no message: $(cat "$work/err")"
status=0
"$sim" --templates "$work/t.svg" --seed 3 >/dev/null 2>"$work/err" || status=$?
[ "$status" -eq 2 ] || fail "--templates with --seed ended with $status, not 2"
status=0
"$sim" --map >/dev/null 2>&1 || status=$?
[ "$status" -eq 2 ] || fail "--map without a file ended with $status, not 2"

echo "level map: all checks passed ($bytes bytes for $longChunks chunks)"
