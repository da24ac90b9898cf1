#!/usr/bin/env bash
# The Windows build and its tests, as scripts/test runs them: scripts/windows --tests builds the
# programs, the zip, the installer and the tests (the libraries from the cache when they are there,
# which a second run must use); the programs hold their runtimes, icon and version; the unit tests,
# the fuzz corpora and the GL tests pass under Wine, in a scratch prefix on a virtual screen; the
# Windows simulator reproduces every golden trace; then the game from the zip (game.sh) and the
# installer (installer.sh).
# Usage: tests/windows/windows.sh path/to/native/taldrift
set -euo pipefail
native=$(realpath "$1")
cd "$(dirname "$0")/../.."
source scripts/deps.sh
source tests/e2e/helpers.bash
source tests/windows/wine.bash

install_missing "${WINDOWS_PACKAGES[@]}" "${WINDOWS_TEST_PACKAGES[@]}"

echo "-- scripts/windows --tests"
scripts/windows --tests
if ! scripts/windows --tests >"$work/again.log" 2>&1; then
    cat "$work/again.log"
    fail "scripts/windows failed the second time"
fi
if grep -E '^(Building (SDL2|libepoxy|Dear ImGui|stb_image|GoogleTest)|Drawing)' "$work/again.log"; then
    fail "the second run of scripts/windows built a library or drew the icon again"
fi

echo "-- the programs and the zip"
version=$(sed -n 's/^project(taldrift VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
objdump=x86_64-w64-mingw32-objdump
# Only Windows' own DLLs and the two that stand beside the programs: the runtimes are inside.
for program in taldrift taldrift-sim; do
    imports=$($objdump -p "build-windows/$program.exe" | awk '/DLL Name:/ { print $3 }' | sort)
    for dll in $imports; do
        case ${dll,,} in
        sdl2.dll | libepoxy-0.dll | kernel32.dll | msvcrt.dll | shell32.dll | user32.dll) ;;
        *) fail "$program.exe needs $dll" ;;
        esac
    done
done
# (Whole outputs into variables: grep -q stopping early would fail the pipe.)
game_headers=$($objdump -p build-windows/taldrift.exe)
grep -q 'Subsystem.*(Windows GUI)' <<<"$game_headers" || fail "taldrift.exe is not a windowed program"
sim_headers=$($objdump -p build-windows/taldrift-sim.exe)
grep -q 'Subsystem.*(Windows CUI)' <<<"$sim_headers" || fail "taldrift-sim.exe is not a console program"
# The icon group (resource type 14) and the version (16), with the project's version in it.
resource_types=$(sed -n '/The .rsrc Resource Directory/,$p' <<<"$game_headers" |
    awk '/^[0-9a-f]+   Entry: ID:/ { sub(/,/, "", $4); print $4 }')
grep -qx '0x00000e' <<<"$resource_types" || fail "taldrift.exe has no icon"
grep -qx '0x000010' <<<"$resource_types" || fail "taldrift.exe has no version"
game_strings=$(strings -el build-windows/taldrift.exe)
grep -qx "$version" <<<"$game_strings" || fail "taldrift.exe does not carry the version $version"

zip=build-windows/taldrift-$version-windows-x64.zip
[ -f "$zip" ] || fail "scripts/windows wrote no $zip"
[ -f "build-windows/taldrift-$version-setup.exe" ] || fail "scripts/windows wrote no installer"
unzip -q "$zip" -d "$work/zip"
folder=$work/zip/taldrift-$version
[ "$(ls "$work/zip")" = "taldrift-$version" ] || fail "$zip does not hold one folder taldrift-$version"
(cd "$folder" && find . -type f | sed 's|^\./||' | LC_ALL=C sort) >"$work/zip_files"
{
    printf '%s\n' taldrift.exe SDL2.dll libepoxy-0.dll README.txt licences/Taldrift.txt \
        licences/SDL2.txt licences/libepoxy.txt "licences/Dear ImGui.txt"
    find resources -type f
} | LC_ALL=C sort >"$work/zip_wanted"
diff "$work/zip_wanted" "$work/zip_files" >&2 || fail "$zip does not hold what a player needs"
diff -r resources "$folder/resources" >&2 || fail "the zip's resources are not the repository's"

echo "-- the tests under Wine"
start_x_server -screen 0 2400x1800x24
start_wine
export SDL_AUDIODRIVER=dummy
tests=build-windows-tests/tests
# Runs one GoogleTest program under Wine in the working directory given, each case twice as ctest
# runs them, and adds its count of passed cases to passed: gtest DIR PROGRAM
passed=0
gtest() {
    local output status=0
    # Into a file: a Wine service it starts must not hold a pipe of this script's open.
    (cd "$1" && exec wine "$2" --gtest_repeat=2) >"$work/gtest.log" 2>&1 </dev/null || status=$?
    output=$(cat "$work/gtest.log")
    local count
    count=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\?\.\r\?$/\1/p' <<<"$output" | tail -n 1)
    if [ "$status" -ne 0 ] || [ -z "$count" ] || grep -q '^\[  FAILED  \]' <<<"$output"; then
        echo "$output" | tail -n 40 >&2
        fail "$(basename "$2") failed under Wine (exit code $status)"
    fi
    passed=$((passed + count))
}
programs=0
for program in "$tests"/*_test.exe; do
    case $(basename "$program") in
    gl_*) gtest . "$program" ;;
    *) gtest "$tests" "$(basename "$program")" ;;
    esac
    programs=$((programs + 1))
done
[ "$programs" -gt 20 ] || fail "only $programs test programs in $tests"
echo "unit and GL tests under Wine: $passed cases passed (each twice) in $programs programs"

# Every input kept in the fuzz corpora, through the fuzz targets built for Windows.
for replay in "$tests"/fuzz/replay_*.exe; do
    name=$(basename "$replay" .exe)
    name=${name#replay_}
    inputs=$(find "tests/corpus/$name" -maxdepth 1 -type f | wc -l)
    wine "$replay" "tests/corpus/$name" >"$work/replay.log" 2>&1 </dev/null ||
        fail "$name's corpus failed: $(cat "$work/replay.log")"
    output=$(cat "$work/replay.log")
    grep -q "^replayed $inputs inputs" <<<"$output" || fail "$name's corpus: $output"
done
echo "fuzz corpora under Wine: replayed"

bash tests/golden/golden_traces.sh build-windows/taldrift-sim.exe
stop_x_server
wineserver --kill

echo "-- the game from the zip"
(unset WINEPREFIX && bash tests/windows/game.sh "$folder" "$native")
echo "-- the installer"
(unset WINEPREFIX && bash tests/windows/installer.sh "build-windows/taldrift-$version-setup.exe" \
    "$folder")
