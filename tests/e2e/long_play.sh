#!/usr/bin/env bash
# A minute of play in the real program, for memory errors: the window resized on the title screen,
# C to play, then jumps of every length, slides, window resizes every ten seconds and, after every
# game over, C to start again, until a minute has passed and at least two runs have been restarted;
# then Escape. The program must never stop on its own, must say nothing of a memory error or
# undefined behaviour (the sanitized build halts on the first), and must end with exit code 0.
# The keys are paced in time as a player's would be; what the screen shows is polled for.
# Usage: long_play.sh path/to/taldrift   (LONG_PLAY_SEED=N repeats a run's choice of keys)
set -euo pipefail

binary=$(realpath "$1")
source "$(dirname "$0")/helpers.bash"
start_x_server -screen 0 2400x1800x24
export SDL_AUDIODRIVER=dummy
# Whole-program runs check memory errors but not leaks (see title_screen.sh).
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0"

seed=${LONG_PLAY_SEED:-$(($(date +%s) % 32768))}
RANDOM=$seed
play_seconds=60
# Restarts wanted; the runner falls a few times a minute when jumping at random (in the simulator
# once in four minutes at the least), so the minute is extended up to this long to see them.
restarts_wanted=2
longest=330
sizes=("1280 960" "800 600" "1000 500" "640 480")

# Near-white pixels in a part of the last screenshot: x, y, width and height as fractions of it.
white_in() {
    convert "$work/shot.png" -crop "$(awk -v w="$width" -v h="$height" -v a="$1" -v b="$2" \
        -v c="$3" -v d="$4" 'BEGIN { printf "%dx%d+%d+%d", c * w, d * h, a * w, b * h }')" \
        +repage -fill black +opaque white -fill white -opaque white -format '%[fx:round(mean*w*h)]' \
        info:
}

# What the window shows: "play" (the score at the top left), "over" (no score, the game-over texts
# in the middle) or "other" (anything else: the title, or a frame being redrawn after a resize).
screen_state() {
    import -window "$window" "$work/shot.png" 2>/dev/null || { echo other; return; }
    read -r width height <<<"$(identify -format '%w %h' "$work/shot.png")"
    local area=$((width * height)) score middle
    score=$(white_in 0 0 0.35 0.09)
    middle=$(white_in 0.1 0.35 0.8 0.4)
    # "Score: 0" in 32-unit glyphs is some 1,000 white pixels at 640x480; the four game-over lines
    # in 28-unit ones several times that.
    if [ $((score * 307200)) -gt $((300 * area)) ]; then
        echo play
    elif [ "$score" -eq 0 ] && [ $((middle * 307200)) -gt $((2000 * area)) ]; then
        echo over
    else
        echo other
    fi
}

# A check for poll_until: the window shows what is named.
shows() {
    local state
    state=$(screen_state)
    [ "$state" = "$1" ] || fail "the window shows $state, not $1"
}

alive() {
    kill -0 "$pid" 2>/dev/null || fail "the game ended by itself (seed $seed): $(tail -n 30 "$work/stderr")"
}

resize() {
    local w h
    read -r w h <<<"${sizes[$1]}"
    xdotool windowsize --sync "$window" "$w" "$h"
    eval "$(xdotool getwindowgeometry --shell "$window")"
    [ "$WIDTH" -eq "$w" ] && [ "$HEIGHT" -eq "$h" ] || fail "the window is ${WIDTH}x$HEIGHT, not ${w}x$h"
}

# A random whole number of milliseconds in [low, high), as seconds for sleep.
pause() {
    awk -v ms=$(($1 + RANDOM % ($2 - $1))) 'BEGIN { printf "%.3f", ms / 1000 }'
}

"$binary" >"$work/stdout" 2>"$work/stderr" &
pid=$!
started+=("$pid")
window=$(wait_for_window Taldrift)
[ -n "$window" ] || fail "no window appeared: $(cat "$work/stderr")"
xdotool mousemove --window "$window" 10 10 windowfocus --sync "$window"

# The title, resized to every size and back.
began=$SECONDS
for i in "${!sizes[@]}"; do
    resize "$i"
    sleep "$(pause 300 800)"
    alive
done

xdotool key c
poll_until shows play
play_began=$SECONDS
restarts=0
game_overs=0
resizes=${#sizes[@]}
next_resize=$((SECONDS + 10))
while [ $((SECONDS - play_began)) -lt $play_seconds ] || [ $restarts -lt $restarts_wanted ]; do
    [ $((SECONDS - play_began)) -lt $longest ] ||
        fail "only $restarts restarts in $longest s of play (seed $seed)"
    alive
    if [ $SECONDS -ge $next_resize ]; then
        resize $((resizes % ${#sizes[@]}))
        resizes=$((resizes + 1))
        next_resize=$((SECONDS + 10))
    fi
    state=$(screen_state)
    if [ "$state" = over ]; then
        game_overs=$((game_overs + 1))
        xdotool key c
        poll_until shows play
        restarts=$((restarts + 1))
        continue
    fi
    # Now and then a slide, sent just after the screen showed a live run so that it seldom lands
    # on a game over unseen; then a jump held from a moment to half a second, and a breath.
    if [ $((RANDOM % 4)) -eq 0 ]; then
        xdotool key c
    fi
    xdotool keydown x
    sleep "$(pause 20 500)"
    xdotool keyup x
    sleep "$(pause 50 400)"
done

alive
xdotool key Escape
wait_for_exit "$pid"
if grep -q -E 'Sanitizer|runtime error' "$work/stderr"; then
    fail "a memory error or undefined behaviour (seed $seed): $(head -n 40 "$work/stderr")"
fi
[ "$exit_status" -eq 0 ] || fail "exit code $exit_status after Escape (seed $seed): $(tail -n 20 "$work/stderr")"
echo "long play: ok, $((SECONDS - began)) s, $restarts restarts, $resizes resizes, seed $seed"
