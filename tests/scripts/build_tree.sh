#!/usr/bin/env bash
# The scripts' shared build step and the play build: a configure that failed does not leave a build
# directory that breaks every later run, changed options configure again, and the game configures
# with the play options on a machine without GoogleTest, even in a directory that once asked for
# the tests. Usage: build_tree.sh path/to/repository
set -euo pipefail
repository=$(realpath "$1")
source "$repository/scripts/deps.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# A scratch project whose configure fails without GREETING and whose build writes GREETING out.
mkdir "$work/project"
cat >"$work/project/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.25)
project(scratch LANGUAGES NONE)
if(NOT GREETING)
    message(FATAL_ERROR "no GREETING given")
endif()
add_custom_target(greeting ALL COMMAND ${CMAKE_COMMAND} -E echo "${GREETING}" > greeting.txt)
CMAKE
cd "$work/project"

if build_tree out >"$work/out" 2>"$work/err"; then
    fail "a failed configure was reported as success"
fi
grep -q "no GREETING given" "$work/err" ||
    fail "the configure's error was not shown: $(cat "$work/err")"
[ -f out/CMakeCache.txt ] || fail "the failed configure left no cache (the case under test)"

build_tree out -DGREETING=hello >"$work/out" 2>&1 ||
    fail "the directory a failed configure left broke the next run: $(cat "$work/out")"
[ "$(cat out/greeting.txt)" = hello ] || fail "built with '$(cat out/greeting.txt)', not hello"

build_tree out -DGREETING=again >"$work/out" 2>&1 || fail "second build failed: $(cat "$work/out")"
[ "$(cat out/greeting.txt)" = again ] || fail "changed options were not configured again"

# The same options again: built, not configured again.
touch -d '1 hour ago' out/configure.log
build_tree out -DGREETING=again >"$work/out" 2>&1 || fail "third build failed: $(cat "$work/out")"
[ out/configure.log -nt "$work/project/CMakeLists.txt" ] &&
    fail "unchanged options configured again"

# A build directory whose configure stopped half-way (a cache, no build system) is configured
# again even when the options are the ones last used.
rm out/Makefile
build_tree out -DGREETING=again >"$work/out" 2>&1 ||
    fail "a build directory without a build system broke the run: $(cat "$work/out")"

# The game itself with GoogleTest out of sight: asking for the tests fails, as it must, and leaves
# the cache saying so; the play options then configure the same directory.
cd "$repository"
hide=(-DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON)
if cmake -S . -B "$work/game" -DTALDRIFT_TESTS=ON "${hide[@]}" >"$work/out" 2>&1; then
    fail "GoogleTest could not be hidden from the configure"
fi
cmake -S . -B "$work/game" "${PLAY_CMAKE_OPTIONS[@]}" "${hide[@]}" >"$work/out" 2>&1 ||
    fail "the play options need GoogleTest: $(tail -n 20 "$work/out")"
# And a plain configure builds no tests.
cmake -S . -B "$work/plain" "${hide[@]}" >"$work/out" 2>&1 ||
    fail "the default configure needs GoogleTest: $(tail -n 20 "$work/out")"

echo "build_tree: all checks passed"
