#!/usr/bin/env bash
# The real program on a virtual screen: the title screen shows its six lines where they belong and
# nothing else, scales with the window and stays centred, C leaves it, and Escape then ends the game
# with exit code 0. Screens are checked by pixel analysis of screenshots; the expected text is
# composed from the font strip itself, so the glyphs on screen must be the right ones.
# Usage: title_screen.sh path/to/taldrift
set -euo pipefail

binary=$(realpath "$1")
source "$(dirname "$0")/helpers.bash"
start_x_server -screen 0 2400x1800x24
export SDL_AUDIODRIVER=dummy

# ---- The title text: world position of the first glyph's centre, and the text --------------------

glyphSize=24
lineX=-260
lineYs=(160 120 80 40 -40 -120)
lineTexts=("Controls:" "X to jump" "C to slide/jump down" "Esc to quit" "Get as far as you can!"
           "Press C to start")

# ---- Helpers -------------------------------------------------------------------------------------

# Screenshot of the window's client area alone.
shoot() {
    eval "$(xdotool getwindowgeometry --shell "$window")"
    import -window root "$work/root.png"
    convert "$work/root.png" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$1"
}

# Pixel rectangle "x0 y0 x1 y1" (inclusive) of line i in a window of width w and height h, whose
# camera shows the 640x480 world extent stretched over the window.
lineRect() {
    local i=$1 w=$2 h=$3
    local scale=$((w / 640))
    local count=${#lineTexts[$i]}
    local left=$((w / 2 + scale * (lineX - glyphSize / 2)))
    local top=$((h / 2 - scale * (lineYs[$i] + glyphSize / 2)))
    echo "$left $top $((left + scale * glyphSize * count - 1)) $((top + scale * glyphSize - 1))"
}

# Largest channel value (0..1) in an image.
brightest() {
    convert "$1" -colorspace gray -format '%[fx:maxima]' info:
}

# The expected window: black, with each line's glyphs cut from the font strip, laid over black as
# the renderer blends them (colour times alpha), scaled to the glyph size with nearest sampling.
composeExpected() {
    local w=$1 h=$2 out=$3
    local font=resources/gfx/font.png
    local cell
    cell=$(identify -format '%w' "$font")
    [ "$(identify -format '%h' "$font")" -eq $((cell * 128)) ] || fail "font strip is not 128 cells"
    local scale=$((w / 640))
    local size=$((glyphSize * scale))
    local args=(-size "${w}x${h}" xc:black)
    for i in "${!lineTexts[@]}"; do
        local text=${lineTexts[$i]}
        read -r left top _ _ <<<"$(lineRect "$i" "$w" "$h")"
        for ((c = 0; c < ${#text}; c++)); do
            local code
            code=$(printf '%d' "'${text:c:1}")
            local tile="$work/glyph_${code}_${size}.png"
            if [ ! -f "$tile" ]; then
                convert "$font" -crop "${cell}x${cell}+0+$(((code - 32) * cell))" +repage \
                    -background black -alpha remove -alpha off -filter point \
                    -resize "${size}x${size}!" "$tile"
            fi
            args+=("$tile" -geometry "+$((left + c * size))+$top" -composite)
        done
    done
    convert "${args[@]}" "$out"
}

# Lit pixels of the first image that lie more than one pixel away from every lit pixel of the
# second.
strayPixels() {
    convert "$1" -colorspace gray -threshold 50% \
        \( "$2" -colorspace gray -threshold 50% -morphology Dilate Square:1 \) \
        -compose Minus_Src -composite -format '%[fx:round(mean*w*h)]' info:
}

# Checks a title screenshot taken with the window at w x h.
checkTitle() {
    local shot=$1 w=$2 h=$3
    local scale=$((w / 640))
    [ "$(identify -format '%wx%h' "$shot")" = "${w}x${h}" ] || fail "window is not ${w}x${h}"

    # Nothing outside the six lines: blank them out and the window must be black.
    local blank=()
    for i in "${!lineTexts[@]}"; do
        blank+=(-draw "rectangle $(lineRect "$i" "$w" "$h" | tr ' ' ',' | sed 's/,/ /2')")
    done
    local rest
    rest=$(convert "$shot" -fill black "${blank[@]}" -colorspace gray -format '%[fx:maxima]' info:)
    [ "$rest" = "0" ] || fail "${w}x${h}: something drawn outside the title lines (max $rest)"

    # Each line holds white text that starts in its first glyph cell and ends in its last one.
    for i in "${!lineTexts[@]}"; do
        read -r x0 y0 x1 y1 <<<"$(lineRect "$i" "$w" "$h")"
        local bbox
        bbox=$(convert "$shot" -crop "$((x1 - x0 + 1))x$((y1 - y0 + 1))+$x0+$y0" +repage \
            -colorspace gray -threshold 50% -format '%@' info:)
        # %@ gives WxH+X+Y of the lit pixels inside the line's rectangle.
        local bw=${bbox%%x*} rest2=${bbox#*x}
        local bx=${rest2#*+}
        bx=${bx%%+*}
        local cellPixels=$((glyphSize * scale))
        [ "$bx" -lt "$cellPixels" ] || fail "${w}x${h} line $i: no ink in the first glyph ($bbox)"
        [ $((bx + bw)) -gt $((x1 - x0 + 1 - cellPixels)) ] ||
            fail "${w}x${h} line $i: no ink in the last glyph ($bbox)"
        local peak
        peak=$(brightest "$shot[$((x1 - x0 + 1))x$((y1 - y0 + 1))+$x0+$y0]")
        [ "$peak" = "1" ] || fail "${w}x${h} line $i: text is not white ($peak)"
    done

    # And the glyphs are the right ones: the window matches the text composed from the font. Nearest
    # sampling at 3/4 or 3/2 of the cell size may round a texel boundary either way, which moves an
    # edge by one pixel; a wrong glyph differs by far more.
    composeExpected "$w" "$h" "$work/expected_${w}.png"
    local stray
    stray=$(strayPixels "$shot" "$work/expected_${w}.png")
    [ "$stray" = "0" ] || fail "${w}x${h}: $stray lit pixels where the expected text has none"
    stray=$(strayPixels "$work/expected_${w}.png" "$shot")
    [ "$stray" = "0" ] || fail "${w}x${h}: $stray pixels of the expected text missing"
}

# The title as shot now, at the given window size.
titleShows() {
    shoot "$work/title_$1.png"
    checkTitle "$work/title_$1.png" "$1" "$2"
}

# The play screen as shot now: its background paints over the whole window, so the title's black
# is gone.
playShows() {
    shoot "$work/play.png"
    local corner
    corner=$(convert "$work/play.png" -crop 1x1+2+2 -colorspace gray -format '%[fx:maxima]' info:)
    [ "$corner" != "0" ] || fail "the title screen is still shown after C"
}

# ---- The run -------------------------------------------------------------------------------------

# In the sanitized build, leak checking is off for the whole program: the level and the template
# table deliberately live until the process ends, and Mesa's driver is unloaded by SDL_Quit before
# the check, so its allocations belong to no module. Memory errors still halt the program.
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0"

"$binary" >"$work/stdout" 2>"$work/stderr" &
pid=$!
started+=("$pid")
window=$(wait_for_window Taldrift)
[ -n "$window" ] || fail "no window appeared: $(cat "$work/stderr")"

poll_until titleShows 640 480

xdotool windowsize --sync "$window" 1280 960
poll_until titleShows 1280 960

# Keys reach the window that has the input focus; with no window manager, give it the focus.
xdotool mousemove --window "$window" 10 10 windowfocus --sync "$window"
xdotool key c
poll_until playShows
kill -0 "$pid" 2>/dev/null || fail "the game ended on C"

# Through the test extension, so the release cannot miss the window the press closes.
xdotool key Escape
wait_for_exit "$pid"
[ "$exit_status" -eq 0 ] || fail "exit code $exit_status after Escape: $(tail -n 20 "$work/stderr")"
echo "title screen: ok"
