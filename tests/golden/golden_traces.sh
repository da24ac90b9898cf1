#!/usr/bin/env bash
# Golden traces: the simulator's full output for fixed seeds and key scripts must hash to the
# values recorded in traces.sha256. Any change to what a run does, however small, moves a hash; a
# faster update must leave every one of them as it is. The simulator built for WebAssembly
# (taldrift-sim.js, run by node) and the one built for Windows (taldrift-sim.exe, run by Wine, in
# the WINEPREFIX of the caller's choosing) must give the very same bytes as the native one.
# Usage: golden_traces.sh path/to/taldrift-sim   (or taldrift-sim.js, or taldrift-sim.exe)
set -euo pipefail
sim=$(realpath "$1")
cd "$(dirname "$0")"
# Runs the simulator, native, under node (emscripten's output wants node's own fetch off) or under
# Wine.
run_sim() {
    if [[ $sim == *.js ]]; then
        node --no-experimental-fetch "$sim" "$@"
    elif [[ $sim == *.exe ]]; then
        wine "$sim" "$@"
    else
        "$sim" "$@"
    fi
}

failed=0
while read -r hash seed steps script; do
    [ -z "$hash" ] || [ "${hash:0:1}" = "#" ] && continue
    input=()
    [ "$script" != "-" ] && input=(--input "$script")
    actual=$(run_sim --seed "$seed" --steps "$steps" "${input[@]}" | sha256sum | cut -d' ' -f1)
    if [ "$actual" != "$hash" ]; then
        echo "FAIL: seed $seed, $steps steps, input $script: output hashes to $actual, not $hash" >&2
        failed=1
    fi
done <traces.sha256
[ $failed -eq 0 ] && echo "golden traces: all identical"
exit $failed
