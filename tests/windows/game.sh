#!/usr/bin/env bash
# The game built for Windows, under Wine on a virtual screen, from a folder laid out as the player
# gets it (the zip's): the title screen is pixel for pixel the native build's, C starts a run and
# "Score:" shows, Escape ends the game with exit code 0 and its window goes; without an audio
# device the "Initialization Error" box shows, and dismissing it ends the game with exit code 1.
# Usage: game.sh GAME_FOLDER path/to/native/taldrift
set -euo pipefail
folder=$(realpath "$1")
native=$(realpath "$2")
repository=$(realpath "$(dirname "$0")/../..")
source "$repository/tests/e2e/helpers.bash"
source "$repository/tests/windows/wine.bash"
[ -f "$folder/taldrift.exe" ] || fail "no taldrift.exe in $folder"
start_x_server -screen 0 1024x768x24
start_wine
export SDL_AUDIODRIVER=dummy

# The native game's title screen, as the Linux end-to-end tests see it.
(cd "$repository" && exec "$native") >/dev/null 2>"$work/native_err" &
pid=$!
started+=("$pid")
window=$(wait_for_window Taldrift)
[ -n "$window" ] || fail "the native game showed no window: $(cat "$work/native_err")"
# Its first frames may still be on the way: the title is what stays.
native_title() {
    shoot "$window" "$work/native.png"
    shoot "$window" "$work/native_again.png"
    [ "$(differing_pixels "$work/native.png" "$work/native_again.png")" = 0 ] || fail "changing"
    [ "$(convert "$work/native.png" -format '%[fx:maxima]' info:)" != 0 ] || fail "black"
}
poll_until native_title
press_key "$window" Escape
wait_for_exit "$pid"
wait_for_no_window Taldrift

# The Windows game's title screen: the same pixels.
(cd "$folder" && exec wine taldrift.exe) >/dev/null 2>"$work/err" &
pid=$!
started+=("$pid")
window=$(wait_for_window Taldrift)
[ -n "$window" ] || fail "taldrift.exe showed no window (Wine $(state_of "$pid")): $(cat "$work/err")"
title_matches() {
    shoot "$window" "$work/title.png"
    local differing
    differing=$(differing_pixels "$work/title.png" "$work/native.png")
    [ "$differing" = 0 ] || fail "the title screen differs from the native one in $differing pixels"
}
poll_until title_matches

# C starts a run: the background over the whole window and "Score:" at the top left, white ink in
# each of its first five 32-unit glyph cells.
run_shows() {
    shoot "$window" "$work/run.png"
    local corner cell ink
    corner=$(convert "$work/run.png" -crop 1x1+639+479 -colorspace gray -format '%[fx:maxima]' info:)
    [ "$corner" != 0 ] || fail "the title screen is still shown after C"
    for cell in 0 1 2 3 4; do
        ink=$(convert "$work/run.png" -crop "32x32+$((4 + 32 * cell))+4" -colorspace gray \
            -threshold 90% -format '%[fx:round(mean*w*h)]' info:)
        [ "$ink" -gt 10 ] || fail "no white text in glyph cell $cell of \"Score:\""
    done
}
xdotool mousemove --window "$window" 10 10 windowfocus --sync "$window"
xdotool key c
poll_until run_shows
kill -0 "$pid" 2>/dev/null || fail "the game ended during the run"
xdotool key Escape
wait_for_exit "$pid"
[ "$exit_status" -eq 0 ] || fail "exit code $exit_status after Escape: $(cat "$work/err")"
wait_for_no_window Taldrift
grep -q 'OpenGL error: GL_NO_ERROR' "$work/err" ||
    fail "no start-up report on standard error: $(cat "$work/err")"

# No audio device: SDL's disk driver with a file it cannot write stands in for one that is missing.
(cd "$folder" && exec env SDL_AUDIODRIVER=disk 'SDL_DISKAUDIOFILE=Z:\nonexistent\x' \
    wine taldrift.exe) >/dev/null 2>"$work/box_err" &
pid=$!
started+=("$pid")
box=$(wait_for_window "Initialization Error")
[ -n "$box" ] || fail "no Initialization Error box (Wine $(state_of "$pid")): $(cat "$work/box_err")"
grep -q "^Initialization Error: Unable to initialize audio!" "$work/box_err" ||
    fail "the reason is not on standard error: $(cat "$work/box_err")"
press_key "$box" Return
wait_for_exit "$pid"
[ "$exit_status" -eq 1 ] || fail "exit code $exit_status after the box, not 1"
wait_for_no_window "Initialization Error"
echo "Windows game: ok"
