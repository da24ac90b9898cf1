# A virtual X server (Xvfb) of the caller's own, on a display number the server picks for itself,
# so that servers started side by side (parallel tests, other users of the machine, a chroot that
# shares /tmp/.X11-unix) never race for a number as `xvfb-run -a` can. Sourced, not run.

# Starts Xvfb with the given options (for example -screen 0 2400x1800x24), waits until it accepts
# clients and exports DISPLAY; X_SERVER_PID holds its process id and X_SERVER_LOG names the file
# its messages go to. Stop it with stop_x_server.
start_x_server() {
    local number_file
    number_file=$(mktemp)
    X_SERVER_LOG=$(mktemp)
    local log=$X_SERVER_LOG
    # The server writes its display number to descriptor 3 once it is ready for clients. Without
    # -noreset it resets whenever its last client leaves and drops whoever connects meanwhile: a
    # program started just as a window-polling tool disconnects would find no display.
    Xvfb -displayfd 3 -nolisten tcp -noreset "$@" 3>"$number_file" 2>"$log" &
    X_SERVER_PID=$!
    local number=""
    local deadline=$((SECONDS + 30))
    while [ "$SECONDS" -lt "$deadline" ]; do
        # A whole line, newline included, or the number may still be half written.
        if IFS= read -r number <"$number_file"; then
            break
        fi
        number=""
        kill -0 "$X_SERVER_PID" 2>/dev/null || break
        sleep 0.05
    done
    if [ -z "$number" ]; then
        echo "Xvfb did not start: $(cat "$log")" >&2
        rm -f "$number_file"
        stop_x_server
        return 1
    fi
    rm -f "$number_file"
    export DISPLAY=":$number"
}

# Stops the server start_x_server started, if it runs.
stop_x_server() {
    if [ -n "${X_SERVER_PID:-}" ]; then
        kill "$X_SERVER_PID" 2>/dev/null || true
        wait "$X_SERVER_PID" 2>/dev/null || true
        X_SERVER_PID=""
    fi
    if [ -n "${X_SERVER_LOG:-}" ]; then
        rm -f "$X_SERVER_LOG"
        X_SERVER_LOG=""
    fi
}
