#!/usr/bin/env bash
# The README holds true when tried: its replay example runs and goes somewhere (the runner is still
# running after the example's 1000 steps, far to the right), its ctest commands name the build
# directory, and the packages it and docs/windows.md say the scripts install are the ones they
# install. Needs no display. Usage: readme.sh path/to/taldrift (the simulator sits beside it)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/scratch.bash"
sim="$(dirname "$(realpath "$1")")/taldrift-sim"
repository=$PWD
readme="$repository/README.md"

# The shell blocks of the README, one file each.
awk -v dir="$work" '/^```sh$/ { n++; inside = 1; next } /^```$/ { inside = 0 }
    inside { print > (dir "/block" n ".sh") }' "$readme"

# The replay example, run as written with the simulator of this build.
example=$(grep -l 'taldrift-sim --seed' "$work"/block*.sh | head -n 1)
[ -n "$example" ] || fail "no replay example in the README"
(cd "$work" && sed "s|build/taldrift-sim|$sim|" "$example" | bash) || fail "the replay example fails"
[ -s "$work/replay.tsv" ] || fail "the replay example wrote no replay.tsv"
last=$(grep '^step' "$work/replay.tsv" | tail -n 1)
read -r _ step x _ _ _ _ alive _ _ <<<"$last"
[ "$step" = 1000 ] || fail "the example ran $step steps, not 1000"
[ "$alive" = 1 ] || fail "the example's run is over by step 1000"
awk -v x="$x" 'BEGIN { exit !(x > 3800 && x < 4000) }' || fail "the example ends at x $x, not near 3900"
moved=$(grep '^step' "$work/replay.tsv" | tail -n 30 | cut -f3 | sort -u | wc -l)
[ "$moved" -gt 1 ] || fail "the example's runner stands still at the end"
chunks=$(grep -c '^chunk' "$work/replay.tsv")
[ "$chunks" = 16 ] || fail "the example generates $chunks chunks, not 16"

# Every ctest command in the README says which build directory it means.
while read -r line; do
    [[ $line == *"--test-dir "* ]] || fail "a ctest command without --test-dir: $line"
done < <(grep -h -o 'ctest[^`]*' "$readme")

# The packages the README lists are those the scripts install.
source "$repository/scripts/deps.sh"
flat=$(tr '\n' ' ' <"$readme" | tr -s ' ')
listed() {
    sed -n "s|.*$1 \`\([^\`]*\)\`.*|\1|p" <<<"$flat"
}
[ "$(listed '`scripts/play` installs')" = "${PLAY_PACKAGES[*]}" ] ||
    fail "README's play packages '$(listed '`scripts/play` installs')' are not ${PLAY_PACKAGES[*]}"
[ "$(listed '`scripts/test` adds')" = "${TEST_PACKAGES[*]}" ] ||
    fail "README's test packages '$(listed '`scripts/test` adds')' are not ${TEST_PACKAGES[*]}"

[ "$(listed '`scripts/web` installs')" = "${WEB_PACKAGES[*]}" ] ||
    fail "README's web packages '$(listed '`scripts/web` installs')' are not ${WEB_PACKAGES[*]}"

# And so are those docs/windows.md lists for the Windows build and its tests.
flat=$(tr '\n' ' ' <"$repository/docs/windows.md" | tr -s ' ')
[ "$(listed '`scripts/windows` installs')" = "${WINDOWS_PACKAGES[*]}" ] ||
    fail "docs/windows.md's packages '$(listed '`scripts/windows` installs')' are not ${WINDOWS_PACKAGES[*]}"
[ "$(listed 'the Windows tests add')" = "${WINDOWS_TEST_PACKAGES[*]}" ] ||
    fail "docs/windows.md's test packages '$(listed 'the Windows tests add')' are not ${WINDOWS_TEST_PACKAGES[*]}"

echo "readme: all checks passed"
