#!/usr/bin/env bash
# The Windows installer under Wine: /S installs silently into Program Files the folder the zip
# holds, with the uninstaller, the Start-menu shortcut and the entry in the list of installed
# programs; the game started through the shortcut (so in the folder it names) shows the title
# screen and Escape ends it; the uninstaller, silent too, removes every file, the shortcut and the
# entry.
# Usage: installer.sh path/to/taldrift-<version>-setup.exe ZIP_FOLDER
set -euo pipefail
setup=$(realpath "$1")
folder=$(realpath "$2")
repository=$(realpath "$(dirname "$0")/../..")
source "$repository/tests/e2e/helpers.bash"
source "$repository/tests/windows/wine.bash"
start_x_server -screen 0 1024x768x24
start_wine
export SDL_AUDIODRIVER=dummy

installed="$WINEPREFIX/drive_c/Program Files/Taldrift"
shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Taldrift.lnk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Taldrift'
[ ! -e "$installed" ] || fail "$installed is there before installing"

# The files under a folder, one relative path a line, sorted.
files_in() {
    (cd "$1" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
}
# One value of the uninstall entry, as the registry holds it.
entry_value() {
    wine reg query "$key" /v "$1" 2>/dev/null | tr -d '\r' | awk -v name="$1" '$1 == name {
        $1 = ""; $2 = ""; sub(/^  */, ""); print }'
}

timeout "$patience" wine "$setup" /S >"$work/setup.log" 2>&1 || fail "the installer failed: $(cat "$work/setup.log")"
{ files_in "$folder"; echo uninstall.exe; } | LC_ALL=C sort >"$work/wanted"
[ -d "$installed" ] || fail "nothing installed in $installed"
files_in "$installed" >"$work/got"
diff "$work/wanted" "$work/got" >&2 || fail "the installed files are not the zip's and the uninstaller"
(cd "$folder" && find . -type f -exec cmp {} "$installed/{}" \;) || fail "an installed file differs"
[ -f "$shortcut" ] || fail "no Start-menu shortcut $shortcut"
[ "$(entry_value DisplayName)" = Taldrift ] || fail "no entry in the installed programs"
[ "$(entry_value UninstallString)" = '"C:\Program Files\Taldrift\uninstall.exe"' ] ||
    fail "the entry's uninstaller is $(entry_value UninstallString)"
version=$(sed -n 's/^project(taldrift VERSION \([0-9.]*\) .*/\1/p' "$repository/CMakeLists.txt")
[ "$(entry_value DisplayVersion)" = "$version" ] || fail "the entry's version is not $version"

# Started through the shortcut, from a folder with no resources: only the shortcut's working
# folder lets the game find them and show its title.
(cd "$work" && exec wine start /wait \
    'C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Taldrift.lnk') >/dev/null 2>&1 &
pid=$!
started+=("$pid")
window=$(wait_for_window Taldrift)
[ -n "$window" ] || fail "the shortcut started no game window"
title_shows() {
    shoot "$window" "$work/title.png"
    local lit
    lit=$(convert "$work/title.png" -colorspace gray -threshold 50% -format '%[fx:round(mean*w*h)]' info:)
    [ "$lit" -gt 2000 ] || fail "no title text on screen ($lit lit pixels)"
    [ -z "$(windows_named "Initialization Error")" ] || fail "a start-up failure box shows"
}
poll_until title_shows
press_key "$window" Escape
wait_for_exit "$pid"
wait_for_no_window Taldrift
# Windows will not delete a program or DLL still in use, so the game must be gone before the
# uninstaller runs, as it is for a player who has closed it; start may return while it ends.
game_ended() {
    local process
    for process in $(pgrep -f 'Taldrift.taldrift\.exe' || true); do
        if grep -qxF "WINEPREFIX=$WINEPREFIX" < <(tr '\0' '\n' <"/proc/$process/environ" 2>/dev/null); then
            fail "the installed game still runs as process $process"
        fi
    done
}
poll_until game_ended

# The uninstaller copies itself elsewhere and returns at once; what it removes goes meanwhile.
timeout "$patience" wine "C:\\Program Files\\Taldrift\\uninstall.exe" /S >"$work/uninstall.log" 2>&1 ||
    fail "the uninstaller failed: $(cat "$work/uninstall.log")"
all_gone() {
    [ ! -e "$installed" ] || fail "still installed: $(files_in "$installed" | head -n 5)"
    [ ! -e "$shortcut" ] || fail "the shortcut is still there"
    [ -z "$(entry_value DisplayName)" ] || fail "the entry is still in the installed programs"
}
poll_until all_gone
echo "Windows installer: ok"
