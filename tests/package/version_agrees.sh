#!/usr/bin/env bash
# The version is kept in CMakeLists.txt alone; the README (its version line and the package's file
# name), the Windows downloads' names in docs/windows.md and the changelog's last entry must give
# the same one. Usage: version_agrees.sh VERSION (CMake passes its project version).
set -euo pipefail
cd "$(dirname "$0")/../.."
version=$1
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
readme=$(sed -n 's/.*Taldrift version \([0-9][0-9.]*[0-9]\).*/\1/p' README.md)
[ -n "$readme" ] || fail "README gives no \"Taldrift version x.y.z\""
[ "$readme" = "$version" ] || fail "README says version $readme, CMake $version"
# The package's file name, wherever the README gives it.
for name in $(grep -o 'taldrift_[^_ ]*_amd64\.deb' README.md | sort -u); do
    [ "$name" = "taldrift_${version}_amd64.deb" ] || fail "README names $name, CMake's version is $version"
done
# The Windows downloads' names in docs/windows.md.
for name in $(grep -o -E 'taldrift-[0-9][0-9.]*[0-9](-windows-x64\.zip|-setup\.exe)?' docs/windows.md |
    sort -u); do
    case $name in
    "taldrift-$version" | "taldrift-$version-windows-x64.zip" | "taldrift-$version-setup.exe") ;;
    *) fail "docs/windows.md names $name, CMake's version is $version" ;;
    esac
done
changelog=$(sed -n '1s/^taldrift (\([^)]*\)) .*/\1/p' packaging/changelog)
[ "$changelog" = "$version" ] || fail "the changelog's last entry is '$changelog', CMake $version"
echo "version $version: README and changelog agree"
