# Debian's source packages for the builds of other platforms (scripts/web, scripts/windows), and
# the cache that they and the libraries built from them live in. Sourced, not run.
#
# The sources are fetched through an apt configuration of the project's own (its own sources list
# and lists folder, in the cache): the machine's apt configuration is never changed. What is
# unpacked is the upstream tarball the source package ships, checked against the archive's hash.
# The cache lies outside every build folder and is keyed by version, so removing a build folder
# or building again never fetches or rebuilds a library that is already there.

# What fetching and unpacking needs on a bare system (apt and tar are always there).
DEBIAN_SOURCE_PACKAGES=(xz-utils)

TALDRIFT_CACHE=${TALDRIFT_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/taldrift}

# The archive the machine's own packages come from, with its source lists.
DEBIAN_SOURCE_LISTS=(
    "http://deb.debian.org/debian bookworm main"
    "http://deb.debian.org/debian bookworm-updates main"
    "http://deb.debian.org/debian-security bookworm-security main"
)

# Runs apt-get with the project's own configuration: apt_get_private ARGS...
apt_get_private() {
    local dir=$TALDRIFT_CACHE/apt
    apt-get -o Dir::Etc::SourceList="$dir/sources.list" -o Dir::Etc::SourceParts=/dev/null \
        -o Dir::State::Lists="$dir/lists" -o Dir::Cache="$dir/cache" -o Debug::NoLocking=1 "$@"
}

# Reads the archive's list of source packages into the private configuration, once a day at most.
update_source_lists() {
    local dir=$TALDRIFT_CACHE/apt
    mkdir -p "$dir/lists/partial" "$dir/cache/archives/partial"
    local line
    : >"$dir/sources.list.new"
    for line in "${DEBIAN_SOURCE_LISTS[@]}"; do
        echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $line" \
            >>"$dir/sources.list.new"
    done
    mv "$dir/sources.list.new" "$dir/sources.list"
    if [ -n "$(find "$dir/lists" -maxdepth 1 -name '*Sources*' -mtime -1 2>/dev/null)" ]; then
        return 0
    fi
    if ! apt_get_private -qq update >"$dir/update.log" 2>&1; then
        cat "$dir/update.log" >&2
        echo "Could not read the list of Debian's source packages." >&2
        return 1
    fi
}

# Prints the version of Debian's source package PACKAGE, as the archive lists it:
# debian_source_version PACKAGE.
debian_source_version() {
    update_source_lists || return 1
    local version
    version=$(apt_get_private -qq --print-uris source "$1" 2>/dev/null |
        sed -n "s/^'[^']*' $1_\(.*\)\.dsc .*/\1/p" | head -n 1)
    if [ -z "$version" ]; then
        echo "Debian's archive has no source package named $1." >&2
        return 1
    fi
    echo "$version"
}

# Prints the folder holding the unpacked upstream source of Debian's source package PACKAGE,
# fetching and unpacking it first when the cache does not have it: debian_source PACKAGE.
debian_source() {
    local package=$1
    local version
    version=$(debian_source_version "$package") || return 1
    local dir=$TALDRIFT_CACHE/src/${package}_$version
    if [ -f "$dir/.unpacked" ]; then
        echo "$dir"
        return 0
    fi
    local download=$TALDRIFT_CACHE/apt/downloads
    mkdir -p "$download"
    # The upstream tarball, named *.orig.tar.*, with the hash the archive gives for it.
    local uri file size hash
    read -r uri file size hash < <(apt_get_private -qq --print-uris source "$package" 2>/dev/null |
        grep -E "^'[^']*' ${package}_[^ ]*\.orig\.tar\.[a-z0-9]+ " | head -n 1)
    uri=${uri//\'/}
    if [ -z "$uri" ]; then
        echo "Debian's source package $package has no upstream tarball." >&2
        return 1
    fi
    echo "Fetching Debian's source of $package $version" >&2
    if ! /usr/lib/apt/apt-helper -qq download-file "$uri" "$download/$file" "$hash" \
        >"$download/$file.log" 2>&1; then
        cat "$download/$file.log" >&2
        echo "Could not fetch $uri (or it did not match its hash $hash)." >&2
        return 1
    fi
    rm -rf "$dir"
    mkdir -p "$dir"
    if ! tar -xf "$download/$file" -C "$dir" --strip-components=1; then
        echo "Could not unpack $download/$file." >&2
        return 1
    fi
    touch "$dir/.unpacked"
    echo "$dir"
}
