#!/usr/bin/env bash
# Checks the Debian package that scripts/package builds: exactly the expected files with the
# expected modes, the control fields (runtime libraries, never -dev packages, Mesa's driver),
# icons of the sizes their folders say, a valid desktop entry, no lintian errors, one version
# everywhere, and the installed launcher started from another working directory showing the title
# screen. The package is unpacked into a scratch root; a copy of the launcher is pointed there by
# rewriting its two paths, so the package itself carries nothing for the test.
# Usage: tests/package/check.sh [package.deb]   (without one, scripts/package builds it)
set -euo pipefail
cd "$(dirname "$0")/../.."

source scripts/x_server.sh

if [ $# -ge 1 ]; then
    deb=$(realpath "$1")
else
    deb=$(scripts/package | tail -n 1)
    deb=$(realpath "$deb")
fi

work=$(mktemp -d)
pid=""
cleanup() {
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
        kill "$pid" 2>/dev/null || true
    fi
    stop_x_server
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

version=$(sed -n 's/^project(taldrift VERSION \([0-9][0-9.]*\) .*/\1/p' CMakeLists.txt)
[ -n "$version" ] || fail "no version in CMakeLists.txt's project()"
[ "$(basename "$deb")" = "taldrift_${version}_amd64.deb" ] ||
    fail "the package is named $(basename "$deb"), not taldrift_${version}_amd64.deb"

# ---- Contents ------------------------------------------------------------------------------------

# Every file (not folder) with its mode and owner, and nothing else: no developer tool, no test.
expected="-rwxr-xr-x root/root ./usr/games/taldrift
-rw-r--r-- root/root ./usr/share/applications/taldrift.desktop
-rw-r--r-- root/root ./usr/share/doc/taldrift/changelog.gz
-rw-r--r-- root/root ./usr/share/doc/taldrift/copyright
-rw-r--r-- root/root ./usr/share/games/taldrift/resources/gfx/font.png
-rw-r--r-- root/root ./usr/share/games/taldrift/resources/shaders/flatColor.fsh
-rw-r--r-- root/root ./usr/share/games/taldrift/resources/shaders/flatColor.vsh
-rw-r--r-- root/root ./usr/share/games/taldrift/resources/shaders/line.fsh
-rw-r--r-- root/root ./usr/share/games/taldrift/resources/shaders/line.vsh
-rw-r--r-- root/root ./usr/share/games/taldrift/resources/shaders/sprite.fsh
-rw-r--r-- root/root ./usr/share/games/taldrift/resources/shaders/sprite.vsh
-rw-r--r-- root/root ./usr/share/games/taldrift/resources/shaders/text.vsh
-rw-r--r-- root/root ./usr/share/icons/hicolor/128x128/apps/taldrift.png
-rw-r--r-- root/root ./usr/share/icons/hicolor/256x256/apps/taldrift.png
-rw-r--r-- root/root ./usr/share/icons/hicolor/64x64/apps/taldrift.png
-rw-r--r-- root/root ./usr/share/man/man6/taldrift.6.gz
-rwxr-xr-x root/root ./usr/lib/games/taldrift/taldrift"
actual=$(dpkg -c "$deb" | awk '$1 !~ /^d/ { print $1, $2, $6 }' | sort)
if [ "$actual" != "$(sort <<<"$expected")" ]; then
    diff <(sort <<<"$expected") <(echo "$actual") >&2 || true
    fail "the package's files differ from the expected ones (< expected, > packaged)"
fi
# Folders are rwxr-xr-x and root's, whatever the umask of whoever built it.
strays=$(dpkg -c "$deb" | awk '$1 ~ /^d/ && ($1 != "drwxr-xr-x" || $2 != "root/root")')
[ -z "$strays" ] || fail "folders with other modes or owners: $strays"

# ---- Control fields ------------------------------------------------------------------------------

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = taldrift ] || fail "Package is $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version is $(field Version), CMake says $version"
[ "$(field Architecture)" = amd64 ] || fail "Architecture is $(field Architecture)"
[ "$(field Section)" = games ] || fail "Section is $(field Section)"
depends=$(field Depends)
# The package names alone, one a line, without versions or alternatives' bars.
names=$(tr ',|' '\n\n' <<<"$depends" | awk 'NF { print $1 }')
for package in libsdl2-2.0-0 libepoxy0 libgl1 libgl1-mesa-dri libc6 libstdc++6; do
    grep -qxF "$package" <<<"$names" || fail "Depends lacks $package: $depends"
done
! grep -q -- '-dev$' <<<"$names" || fail "Depends names a -dev package: $depends"

# ---- Unpacked files ------------------------------------------------------------------------------

root="$work/root"
dpkg -x "$deb" "$root"

for size in 64 128 256; do
    icon="$root/usr/share/icons/hicolor/${size}x${size}/apps/taldrift.png"
    [ "$(identify -format '%wx%h' "$icon")" = "${size}x${size}" ] || fail "$icon is not ${size}x${size}"
    # Transparent around the figure, and the figure itself opaque.
    corner=$(convert "$icon" -format '%[fx:p{0,0}.a]' info:)
    [ "$corner" = 0 ] || fail "the ${size}-pixel icon's corner is not transparent ($corner)"
    opaque=$(convert "$icon" -alpha extract -threshold 99% -format '%[fx:mean]' info:)
    awk -v o="$opaque" 'BEGIN { exit !(o > 0.25 && o < 0.75) }' ||
        fail "the ${size}-pixel icon is opaque over a fraction $opaque of it, not a figure"
done

desktop-file-validate "$root/usr/share/applications/taldrift.desktop" ||
    fail "the desktop entry does not validate"
grep -qx 'Categories=Game;.*' "$root/usr/share/applications/taldrift.desktop" ||
    fail "the desktop entry is not in the Games section"

# One version everywhere: README and changelog, the changelog packed as it is, and the manual page.
bash tests/package/version_agrees.sh "$version" >/dev/null
zcat "$root/usr/share/doc/taldrift/changelog.gz" | cmp -s - packaging/changelog ||
    fail "the packed changelog is not packaging/changelog"
zcat "$root/usr/share/man/man6/taldrift.6.gz" | grep -q "^\.TH TALDRIFT 6 .*\"Taldrift $version\"" ||
    fail "the manual page does not carry version $version"

# ---- Lintian -------------------------------------------------------------------------------------

# lintian warns when run as root, which the test machines are; that line is not about the package.
lintian --fail-on error --pedantic "$deb" >"$work/lintian" 2>&1 || {
    cat "$work/lintian" >&2
    fail "lintian reports errors"
}
grep -v 'running with root privileges' "$work/lintian" || true

# ---- The installed launcher ----------------------------------------------------------------------

data="$root/usr/share/games/taldrift"
program="$root/usr/lib/games/taldrift/taldrift"
launcher="$work/taldrift"
sed -e "s|^data_dir='/usr/share/games/taldrift'$|data_dir='$data'|" \
    -e "s|^program='/usr/lib/games/taldrift/taldrift'$|program='$program'|" \
    "$root/usr/games/taldrift" >"$launcher"
chmod +x "$launcher"
[ "$(grep -c -F "$root" "$launcher")" -eq 2 ] || fail "the launcher's paths are not the expected two"
sh -n "$launcher" || fail "the launcher is not a valid shell script"

# The game's screen: a virtual X server of the check's own.
start_x_server -screen 0 1600x1200x24

# Started from elsewhere, with no audio driver chosen (the launcher picks one when there is no
# sound device), the game must come up with its title screen.
elsewhere="$work/home"
mkdir -p "$elsewhere"
started=$SECONDS
(cd "$elsewhere" && exec env -u SDL_AUDIODRIVER "$launcher" >"$work/out" 2>"$work/err") &
pid=$!
# A loaded machine compiling the software driver's shaders can take a while; most starts take a
# second.
window=""
for _ in $(seq 600); do
    window=$(xdotool search --onlyvisible --name '^Taldrift$' 2>/dev/null | head -n 1) || true
    [ -n "$window" ] && break
    kill -0 "$pid" 2>/dev/null || fail "the game ended at start-up: $(cat "$work/err")"
    sleep 0.1
done
[ -n "$window" ] || fail "no window titled Taldrift within 60 seconds: $(cat "$work/err")"

# The title screen is white text on black; its first line, "Controls:", sits 48..263 x 68..91 in
# the 640x480 window. Poll until it is drawn.
shown=""
for _ in $(seq 100); do
    import -window "$window" "$work/title.png" 2>/dev/null || true
    if [ -f "$work/title.png" ]; then
        line=$(convert "$work/title.png" -crop 216x24+48+68 +repage -colorspace gray \
            -format '%[fx:maxima]' info: 2>/dev/null || echo 0)
        corner=$(convert "$work/title.png" -crop 40x40+0+0 +repage -colorspace gray \
            -format '%[fx:maxima]' info: 2>/dev/null || echo 1)
        if [ "$line" = 1 ] && [ "$corner" = 0 ]; then
            shown=yes
            break
        fi
    fi
    sleep 0.1
done
[ -n "$shown" ] || fail "the title screen did not appear (text $line, corner $corner)"
titleAfter=$((SECONDS - started))

# Through the X server's test extension to the focused window, as a keyboard would: a key sent to
# the window itself fails with BadWindow when the press has already closed it before the release.
xdotool mousemove --window "$window" 10 10 windowfocus --sync "$window"
xdotool key Escape
status=0
for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "Escape did not end the game"
wait "$pid" || status=$?
pid=""
[ "$status" -eq 0 ] || fail "the game ended with $status after Escape: $(cat "$work/err")"
# The packaged program says what the game says at start-up, and nothing else.
grep -qx '(tyx/src/tyx_main.cpp:[0-9]*) OpenGL error: GL_NO_ERROR' "$work/err" &&
    [ "$(wc -l <"$work/err")" -eq 1 ] ||
    fail "the start-up report on standard error is not the game's one line: $(cat "$work/err")"
[ ! -s "$work/out" ] || fail "unexpected standard output: $(cat "$work/out")"

# Without its data folder the launcher stops at once and says why.
rm -rf "$data"
status=0
(cd "$elsewhere" && "$launcher") 2>"$work/err" || status=$?
[ "$status" -eq 1 ] || fail "the launcher without its data folder ended with $status, not 1"
grep -q "cannot enter $data" "$work/err" || fail "no clear message without the data folder: $(cat "$work/err")"

echo "package: all checks passed ($(basename "$deb"); the title screen showed after ${titleAfter} s)"
