# Debian packages the project needs, and the installer both scripts share. Sourced, not run.

# What building and playing needs.
PLAY_PACKAGES=(cmake g++ make pkg-config libsdl2-dev libepoxy-dev libimgui-dev libstb-dev libgl1-mesa-dri)
# What the tests need on top: GoogleTest, a virtual X server and the tools that drive it.
TEST_PACKAGES=(googletest libgtest-dev xvfb xauth xdotool x11-utils imagemagick)

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

# Configures (once) and builds the tree in the given directory with the given extra CMake options.
# The compiler's output is shown only when the build fails or warns.
build_tree() {
    local dir=$1
    shift
    if [ ! -f "$dir/CMakeCache.txt" ]; then
        cmake -S . -B "$dir" "$@" >/dev/null
    fi
    echo "Building in $dir/"
    if ! cmake --build "$dir" --parallel "$(nproc)" >"$dir/build.log" 2>&1; then
        cat "$dir/build.log"
        echo "The build in $dir failed." >&2
        return 1
    fi
    grep -i -A3 'warning:' "$dir/build.log" || true
}

# What the fuzzers need on top (scripts/fuzz): clang with libFuzzer and the sanitizer runtimes,
# and llvm's symbolizer for readable crash reports.
FUZZ_PACKAGES=(clang-14 libclang-rt-14-dev llvm-14)
TEST_PACKAGES+=("${FUZZ_PACKAGES[@]}")

# ---- The Debian package and the pictures ---------------------------------------------------------
# What scripts/package needs on top of building: CPack's DEB generator runs dpkg-shlibdeps (from
# dpkg-dev) on what `file` says is a program, and make_icon draws on a virtual screen.
PACKAGE_PACKAGES=(dpkg-dev file xvfb xauth)
# What checking the package and the simulator's pictures needs (tests/package/check.sh and the
# level map test): lintian, the desktop entry validator and an XML parser.
PACKAGE_TEST_PACKAGES=(lintian desktop-file-utils libxml2-utils)
# What scripts/pictures needs to turn the SVG pictures into PNG for the README.
PICTURE_PACKAGES=(librsvg2-bin)
