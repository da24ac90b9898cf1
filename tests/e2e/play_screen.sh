#!/usr/bin/env bash
# The real program on a virtual screen: C on the title starts a run, which shows the background
# colour over the whole window, the black level, the player where the camera puts it and the score
# at the top left; Escape then ends the game with exit code 0.
# Usage: play_screen.sh path/to/taldrift
set -euo pipefail

binary=$(realpath "$1")
source "$(dirname "$0")/helpers.bash"
start_x_server -screen 0 2400x1800x24
export SDL_AUDIODRIVER=dummy
# Whole-program runs check memory errors but not leaks (see title_screen.sh).
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0"

# The colour of one pixel of a screenshot as "r g b" in 0..255, x and y counted from the top left.
pixel() {
    convert "$1" -crop "1x1+$2+$3" -depth 8 -format '%[fx:round(255*r)] %[fx:round(255*g)] %[fx:round(255*b)]' info:
}

# The run as shot now: everything below must be on screen.
runShows() {
    import -window "$window" "$work/run.png"
    # The background: one opaque colour, neither black nor white, in the window's corners.
    local r g b black cell x ink
    read -r r g b <<<"$(pixel "$work/run.png" 639 479)"
    [ $((r + g + b)) -gt 60 ] && [ $((r + g + b)) -lt 700 ] || fail "no background colour ($r $g $b)"
    [ "$(pixel "$work/run.png" 0 479)" = "$r $g $b" ] || fail "the background is not one colour"

    # The level is black and the start of a run always has floor near the player.
    black=$(convert "$work/run.png" -fill white +opaque black -fill black -opaque black -negate \
        -format '%[fx:round(mean*w*h)]' info:)
    [ "$black" -gt 2000 ] || fail "hardly any black level on screen ($black pixels)"

    # The camera looks 64 right of and 32 above the player: its feet are at pixel (256, 272), its
    # grey body centred 29 units higher, with white eyes 8 to either side and 4 above the body's
    # centre (looked at left of their centres, away from the pupils, which look right as the player
    # runs).
    [ "$(pixel "$work/run.png" 244 250)" = "178 178 178" ] ||
        fail "no grey body at the player's place ($(pixel "$work/run.png" 244 250))"
    [ "$(pixel "$work/run.png" 244 237)" = "255 255 255" ] ||
        fail "no white eye left of the body centre"
    [ "$(pixel "$work/run.png" 260 237)" = "255 255 255" ] ||
        fail "no white eye right of the body centre"

    # "Score:" at the top left: white ink in each of its first five 32-unit glyph cells, centred
    # from (20, 20) down and right, and nothing but background left of them.
    for cell in 0 1 2 3 4; do
        x=$((4 + 32 * cell))
        ink=$(convert "$work/run.png" -crop "32x32+$x+4" -colorspace gray -threshold 90% \
            -format '%[fx:round(mean*w*h)]' info:)
        [ "$ink" -gt 10 ] || fail "no white text in glyph cell $cell of the score"
    done
    [ "$(pixel "$work/run.png" 1 20)" = "$r $g $b" ] || fail "something left of the score"
}

"$binary" >/dev/null 2>"$work/stderr" &
pid=$!
started+=("$pid")
window=$(wait_for_window Taldrift)
[ -n "$window" ] || fail "no window appeared: $(cat "$work/stderr")"
xdotool mousemove --window "$window" 10 10 windowfocus --sync "$window"
xdotool key c
poll_until runShows

kill -0 "$pid" || fail "the game ended during the run"
# Through the test extension, so the release cannot miss the window the press closes.
xdotool key Escape
wait_for_exit "$pid"
[ "$exit_status" -eq 0 ] || fail "exit code $exit_status after Escape"
echo "play screen: ok"
