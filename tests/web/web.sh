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
if ! scripts/web --zip >"$work/again.log" 2>&1; then
    cat "$work/again.log"
    fail "scripts/web failed the second time"
fi
if grep -E '^Building (SDL2|Dear ImGui|stb_image)' "$work/again.log"; then
    fail "the second run of scripts/web built a library again"
fi

version=$(sed -n 's/^project(taldrift VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
zip=build-web/taldrift-$version-web.zip
[ -f "$zip" ] || fail "scripts/web --zip wrote no $zip"
# The zip holds the page's files, each as built, and nothing else, index.html at its root.
python3 - "$zip" "${WEB_PAGE_FILES[@]}" <<'PYTHON' || fail "$zip is not the page as built"
import sys, zipfile
archive = zipfile.ZipFile(sys.argv[1])
wanted = sys.argv[2:]
names = sorted(archive.namelist())
if names != sorted(wanted):
    sys.exit(f"it holds {names}, not {sorted(wanted)}")
for name in wanted:
    if archive.read(name) != open(f"build-web/{name}", "rb").read():
        sys.exit(f"its {name} is not the one built")
PYTHON

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
