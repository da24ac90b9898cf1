#!/usr/bin/env bash
# The README and the documents in docs/ hold true when tried: the replay example runs and goes
# somewhere (the runner is still running after its 1000 steps, far to the right), the simulator's
# options are the documented ones, every option given to a script exists, the ctest commands name
# the build directory, the packages they say the scripts install are the ones they install, every
# link reaches its file and heading, and the README stays a front page. Needs no display.
# Usage: readme.sh path/to/taldrift (the simulator sits beside it)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/scratch.bash"
sim="$(dirname "$(realpath "$1")")/taldrift-sim"
repository=$PWD
documents=("$repository/README.md" "$repository"/docs/*.md)

# The shell blocks of every document, one file each.
awk -v dir="$work" '/^```sh$/ { n++; inside = 1; next } /^```$/ { inside = 0 }
    inside { print > (dir "/block" n ".sh") }' "${documents[@]}"

# The replay example, run as written with the simulator of this build.
example=$(grep -l 'taldrift-sim --seed' "$work"/block*.sh | head -n 1)
[ -n "$example" ] || fail "no replay example in the documents"
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

# The simulator's options, as its usage gives them, are those its document explains, and no more.
usage_options=$("$sim" --no-such-option 2>&1 | grep -o -- '--[a-z-]*' | sort -u || true)
[ -n "$usage_options" ] || fail "the simulator prints no usage"
documented=$(grep -o -- '`--[a-z-]*' "$repository/docs/simulator.md" | cut -c2- | sort -u)
[ "$usage_options" = "$documented" ] ||
    fail "the simulator's options and docs/simulator.md differ: $(diff <(echo "$usage_options") \
        <(echo "$documented") | grep '^[<>]' | tr '\n' ' ')"

# Every option the documents give one of the project's scripts is one the script knows.
while read -r script option; do
    [ -f "$repository/$script" ] || fail "the documents name $script, which does not exist"
    grep -q -- "$option\b" "$repository/$script" || fail "the documents give $script $option, which it does not know"
done < <(grep -h -o 'scripts/[a-z_]* --[a-z-]*' "${documents[@]}" | sort -u)

# Every ctest command says which build directory it means.
while read -r line; do
    [[ $line == *"--test-dir "* ]] || fail "a ctest command without --test-dir: $line"
done < <(grep -h -o 'ctest[^`]*' "${documents[@]}")

# The packages the documents list are those the scripts install.
source "$repository/scripts/deps.sh"
flat=$(cat "${documents[@]}" | tr '\n' ' ' | tr -s ' ')
check_listed() { # check_listed 'WHO installs' PACKAGES...: wherever the documents say so
    local rest=$flat said found=
    while [[ $rest == *"$1 \`"* ]]; do
        rest=${rest#*"$1 \`"}
        said=${rest%%\`*}
        found=yes
        [ "$said" = "${*:2}" ] || fail "the documents say $1 '$said', not '${*:2}'"
    done
    [ -n "$found" ] || fail "the documents never say $1"
}
check_listed '`scripts/play` installs' "${PLAY_PACKAGES[@]}"
check_listed '`scripts/test` adds' "${TEST_PACKAGES[@]}"
check_listed '`scripts/web` installs' "${WEB_PACKAGES[@]}"
check_listed '`scripts/bench` installs' "${BENCH_PACKAGES[@]}"
check_listed '`scripts/windows` installs' "${WINDOWS_PACKAGES[@]}"
check_listed 'the Windows tests add' "${WINDOWS_TEST_PACKAGES[@]}"

# Every link to a file of the repository reaches it, and a heading it names exists there (as
# its anchor: lower case, punctuation dropped, spaces as hyphens).
anchors() {
    sed -n 's/^#\{1,6\} //p' "$1" | tr '[:upper:]' '[:lower:]' | sed 's/[^a-z0-9 _-]//g; s/ /-/g'
}
for document in "${documents[@]}"; do
    folder=$(dirname "$document")
    while read -r target; do
        case $target in http://* | https://* | mailto:*) continue ;; esac
        file=${target%%#*}
        heading=
        [[ $target == *"#"* ]] && heading=${target#*#}
        path=$document
        [ -n "$file" ] && path=$folder/$file
        [ -e "$path" ] || fail "${document#"$repository"/} links to $target, which does not exist"
        if [ -n "$heading" ]; then
            anchors "$path" | grep -qx -- "$heading" ||
                fail "${document#"$repository"/} links to $target, which has no such heading"
        fi
    done < <(grep -o '\](\([^)]*\))' "$document" | sed 's/^](//; s/)$//')
done

# The README is a front page: it fits on two screens, and it links every document.
lines=$(wc -l <"$repository/README.md")
[ "$lines" -le 120 ] || fail "the README has $lines lines; its depth belongs in docs/"
for document in "$repository"/docs/*.md; do
    grep -q "](docs/$(basename "$document"))" "$repository/README.md" ||
        fail "the README does not link docs/$(basename "$document")"
done

echo "readme: all checks passed"
