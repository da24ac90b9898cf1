# Debian packages the project needs, the installer and the build step the scripts share. Sourced,
# not run.

# What building and playing needs: nothing for the tests.
PLAY_PACKAGES=(cmake g++ make pkg-config libsdl2-dev libepoxy-dev libimgui-dev libstb-dev libgl1-mesa-dri)
# What the tests need on top: GoogleTest, a virtual X server with the core fonts that SDL's message
# boxes draw their text with, and the tools that drive and inspect the windows.
TEST_PACKAGES=(googletest libgtest-dev xvfb xfonts-base xdotool x11-utils imagemagick)

# The build the game is played from: optimised, without the tests, so that no test tool is needed.
PLAY_CMAKE_OPTIONS=(-DCMAKE_BUILD_TYPE=Release -DTALDRIFT_TESTS=OFF)

# Installs whichever of the given packages are missing, saying which; quiet when all are there.
install_missing() {
    local missing=()
    local package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$package")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing Debian packages: ${missing[*]}"
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        sudo=(sudo)
    fi
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null
}

# Configures the tree in DIR (from the repository in the working directory) with the given CMake
# options and builds it: build_tree DIR [cmake options...]. It configures again whenever DIR has no
# build system (a configure that failed leaves a cache and nothing to build with) or was last
# configured with other options, so a broken or differently made build/ never sticks. The
# compiler's output is shown only when the build fails or warns.
build_tree() {
    local dir=$1
    shift
    local stamp="$dir/taldrift-options"
    local wanted
    wanted=$(printf '%s\n' "$@")
    if { [ ! -f "$dir/Makefile" ] && [ ! -f "$dir/build.ninja" ]; } ||
        [ ! -f "$stamp" ] || [ "$(cat "$stamp")" != "$wanted" ]; then
        mkdir -p "$dir"
        # Until the configure succeeds, the tree counts as not configured.
        rm -f "$stamp"
        if ! cmake -S . -B "$dir" "$@" >"$dir/configure.log" 2>&1; then
            cat "$dir/configure.log" >&2
            echo "Configuring $dir/ failed." >&2
            return 1
        fi
        printf '%s\n' "$wanted" >"$stamp"
    fi
    echo "Building in $dir/"
    if ! cmake --build "$dir" --parallel "$(nproc)" >"$dir/build.log" 2>&1; then
        cat "$dir/build.log"
        echo "The build in $dir failed." >&2
        return 1
    fi
    grep -i -A3 'warning:' "$dir/build.log" || true
}
