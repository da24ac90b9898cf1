#!/usr/bin/env bash
# The browser build and its tests, as scripts/test runs them: scripts/web --zip builds the page and
# the zip (the libraries from the cache when they are there, which a second run must use), the
# WebAssembly simulator reproduces the golden traces and the native simulator's output, and
# Debian's Chromium plays the page (tests/web/browser.mjs, with puppeteer-core at the version
# package-lock.json pins). Needs no display: Chromium runs headless.
# Usage: tests/web/web.sh path/to/native/taldrift-sim
set -euo pipefail
native_sim=$(realpath "$1")
cd "$(dirname "$0")/../.."
source scripts/deps.sh
source tests/e2e/scratch.bash

install_missing "${WEB_TEST_PACKAGES[@]}"
install_npm

echo "-- scripts/web --zip"
scripts/web --zip
# Once built, the libraries come from the cache: a second run builds only what changed in the game.
scripts/web --zip >"$work/again.log" 2>&1 || { cat "$work/again.log"; fail "scripts/web failed the second time"; }
if grep -E '^Building (SDL2|Dear ImGui|stb_image)' "$work/again.log"; then
    fail "the second run of scripts/web built a library again"
fi

version=$(sed -n 's/^project(taldrift VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
zip=build-web/taldrift-$version-web.zip
[ -f "$zip" ] || fail "scripts/web --zip wrote no $zip"
listed=$(python3 -c 'import sys, zipfile; print(" ".join(sorted(zipfile.ZipFile(sys.argv[1]).namelist())))' "$zip")
wanted=$(printf '%s\n' "${WEB_PAGE_FILES[@]}" | sort | tr '\n' ' ' | sed 's/ $//')
[ "$listed" = "$wanted" ] || fail "$zip holds '$listed', not '$wanted'"
for file in "${WEB_PAGE_FILES[@]}"; do
    cmp -s <(python3 -c 'import sys, zipfile; sys.stdout.buffer.write(zipfile.ZipFile(sys.argv[1]).read(sys.argv[2]))' "$zip" "$file") \
        "build-web/$file" || fail "$file in $zip is not the one built"
done

echo "-- golden traces in WebAssembly"
bash tests/golden/golden_traces.sh build-web/taldrift-sim.js
echo "-- the simulator in WebAssembly against the native one"
bash tests/web/simulator.sh "$native_sim" build-web/taldrift-sim.js

echo "-- the page in Chromium"
# puppeteer-core downloads no browser; the variable keeps any other package from trying.
export PUPPETEER_SKIP_DOWNLOAD=1
if ! npm ci --prefix tests/web --no-audit --no-fund >"$work/npm.log" 2>&1; then
    cat "$work/npm.log"
    fail "npm could not install the browser tests' packages"
fi
node tests/web/browser.mjs build-web --figures
