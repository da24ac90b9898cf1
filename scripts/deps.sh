# Debian packages the project needs, the installer and the build step the scripts share. Sourced,
# not run.

# What building and playing needs: nothing for the tests.
PLAY_PACKAGES=(cmake g++ make pkg-config libsdl2-dev libepoxy-dev libimgui-dev libstb-dev libgl1-mesa-dri)

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

# What the fuzzers need (scripts/fuzz): clang with libFuzzer and the sanitizer runtimes, and
# llvm's symbolizer for readable crash reports.
FUZZ_PACKAGES=(clang-14 libclang-rt-14-dev llvm-14)

# What scripts/package needs on top of building: CPack's DEB generator runs dpkg-shlibdeps (from
# dpkg-dev) on what `file` says is a program, and make_icon draws on a virtual screen.
PACKAGE_PACKAGES=(dpkg-dev file xvfb xauth)
# What checking the package and the simulator's pictures needs (tests/package/check.sh and the
# level map test): lintian, the desktop entry validator and an XML parser.
PACKAGE_TEST_PACKAGES=(lintian desktop-file-utils libxml2-utils)
# What scripts/pictures needs to turn the SVG pictures into PNG for the documents.
PICTURE_PACKAGES=(librsvg2-bin)
# What scripts/deaths needs on top of building: the plotter.
DEATHS_PACKAGES=(gnuplot-nox)
# What scripts/bench needs on top of building: the plotter, the time command's peak memory and a
# virtual X server (started by x_server.sh, which needs no xauth).
BENCH_PACKAGES=(gnuplot-nox time xvfb)

# What scripts/web needs: emscripten (which brings clang, binaryen and node), CMake, pkg-config to
# find the libraries built for it, libstb-dev's header for stb_image, and zip for --zip.
WEB_PACKAGES=(emscripten cmake make pkg-config libstb-dev zip)
# What the browser tests need on top: Debian's Chromium, which puppeteer-core drives, and the
# certificates npm checks the registry's with (Debian's node uses the system's).
WEB_TEST_PACKAGES=(chromium ca-certificates)
# The files of the page, as build-web/ holds them and the zip carries them.
WEB_PAGE_FILES=(index.html taldrift.js taldrift.wasm taldrift.data)

# Makes sure npm is there for the browser tests' packages: Debian's, when the machine has no npm
# (a node from elsewhere brings its own, and Debian's npm would conflict with it).
install_npm() {
    if ! command -v npm >/dev/null; then
        install_missing npm
    fi
}

# What scripts/test needs on top of playing: GoogleTest, the core fonts that SDL's message boxes
# draw their text with on the virtual X server (xvfb, which the package's list brings), the tools
# that drive and inspect the windows, and what the fuzzers and the package check need.
TEST_PACKAGES=(googletest libgtest-dev xfonts-base xdotool x11-utils imagemagick
               "${FUZZ_PACKAGES[@]}" "${PACKAGE_PACKAGES[@]}" "${PACKAGE_TEST_PACKAGES[@]}")

# What scripts/windows needs on top of building for Linux (whose packages draw the icon, with the
# native make_icon on a virtual screen): Debian's mingw-w64 compilers for 64-bit Windows (the
# posix-threads ones), meson and ninja for libepoxy, GoogleTest's source for the tests built for
# Windows, ImageMagick to pack the icon, NSIS for the installer and zip for the portable folder.
WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix meson ninja-build googletest imagemagick nsis zip
                  xvfb xauth "${PLAY_PACKAGES[@]}")
# What the Windows tests need on top: Wine (64-bit), the tools that drive and inspect its windows
# and the unzipper for the portable zip.
WINDOWS_TEST_PACKAGES=(wine wine64 xdotool x11-utils unzip)
