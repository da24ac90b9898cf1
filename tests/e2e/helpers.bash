# What the end-to-end scripts share: an X server of their own, a scratch directory, failing with a
# message, waiting for windows and processes with a deadline, and polling a check until it passes.
# Nothing waits a fixed time for something to happen. Sourced by the scripts, not a test itself.

source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/x_server.sh"
source "$(dirname "${BASH_SOURCE[0]}")/scratch.bash"

# How long anything may take to happen before a script gives up on it: generous, since a loaded
# machine can make a sanitized program take many seconds to start; waiting ends as soon as the
# thing happens.
patience=60
# Processes the script started; whatever still runs at the end is killed.
started=()

# Removes the scratch directory (kept when KEEP_SHOTS is set), ends what the script started and
# stops its X server. Runs at exit.
finish() {
    local pid
    for pid in "${started[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    stop_x_server
    if [ -n "${KEEP_SHOTS:-}" ]; then
        echo "screenshots kept in $work"
    else
        rm -rf "$work"
    fi
}
trap finish EXIT

# The ids of the top-level windows named exactly so, shown or not. xdotool reads names of the
# classic kind and, unlike a walk of the window tree with xwininfo, does not give up when some
# window vanishes while it looks; SDL's message box names its window in UTF-8 only, which only
# xwininfo reads.
windows_named() {
    xdotool search --maxdepth 1 --name "^$1\$" 2>/dev/null || true
    xwininfo -root -children 2>/dev/null | awk -v name="\"$1\":" 'index($0, name) { print $1 }' ||
        true
}

# Prints the id of a shown window named exactly so, waiting up to $patience seconds for one;
# prints nothing if none appears. Shown means mapped: its events are selected and keys reach it.
wait_for_window() {
    local name=$1
    local deadline=$((SECONDS + patience))
    local id
    while [ "$SECONDS" -lt "$deadline" ]; do
        for id in $(windows_named "$name"); do
            if xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable'; then
                echo "$id"
                return 0
            fi
        done
        sleep 0.05
    done
    # What there is instead, for the failure message the caller gives.
    if kill -0 "$X_SERVER_PID" 2>/dev/null; then
        echo "the X server $X_SERVER_PID of $DISPLAY runs" >&2
    else
        echo "the X server $X_SERVER_PID of $DISPLAY has ended: $(tail -n 5 "$X_SERVER_LOG")" >&2
    fi
    echo "no shown window \"$name\" on $DISPLAY; the windows there are:" >&2
    xwininfo -root -children 2>&1 | tail -n +5 >&2
    xdotool search --maxdepth 1 --name '.' 2>&1 | while read -r id; do
        echo "  $id \"$(xdotool getwindowname "$id" 2>&1)\"" >&2
    done
}

# Waits up to $patience seconds until no window of this name is there; fails otherwise.
wait_for_no_window() {
    local deadline=$((SECONDS + patience))
    while [ -n "$(windows_named "$1")" ]; do
        [ "$SECONDS" -lt "$deadline" ] || fail "a window \"$1\" is still there"
        sleep 0.05
    done
}

# Presses and releases a key in a window, as a keyboard would: the window gets the input focus
# and the key goes through the X server's test extension. The release is the server's, addressed
# to no window, so it cannot fail when the key press makes the program close its window (as a
# release sent to the window itself would); and no key is left held down on the server, where
# autorepeat would keep pressing it into the next program that starts.
press_key() {
    xdotool mousemove --window "$1" 10 10 windowfocus --sync "$1"
    xdotool key "$2"
}

# "running" or "ended", for failure messages about a process the script started.
state_of() {
    if kill -0 "$1" 2>/dev/null; then echo running; else echo ended; fi
}

# Waits up to $patience seconds for a process the script started to end and sets exit_status to
# its exit code; fails when it does not end in time.
wait_for_exit() {
    local pid=$1
    local deadline=$((SECONDS + patience))
    while kill -0 "$pid" 2>/dev/null; do
        [ "$SECONDS" -lt "$deadline" ] || fail "process $pid still runs after $patience seconds"
        sleep 0.05
    done
    exit_status=0
    wait "$pid" || exit_status=$?
}

# Runs a check (a command that calls fail when what it looks for is not there) until it passes,
# for up to $patience seconds; after that once more, letting its failure end the script.
poll_until() {
    local deadline=$((SECONDS + patience))
    while [ "$SECONDS" -lt "$deadline" ]; do
        if ("$@") 2>/dev/null; then
            return 0
        fi
        sleep 0.1
    done
    "$@"
}
