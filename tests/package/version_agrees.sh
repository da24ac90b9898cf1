#!/usr/bin/env bash
# The version is kept in CMakeLists.txt alone; the README (its version line), the file names the
# documents give and the changelog's last entry must give the same one. Usage: version_agrees.sh VERSION (CMake passes its project version).
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
# The file names that carry the version (the package, the page's zip, the Windows zip and
# installer), wherever the README and the documents give them.
for name in $(grep -h -o 'taldrift[-_][0-9][^_ `]*[-_]\(amd64\.deb\|web\.zip\|windows-x64\.zip\|setup\.exe\)' \
    README.md docs/*.md | sort -u); do
    case $name in
    "taldrift_${version}_amd64.deb" | "taldrift-${version}-"*) ;;
    *) fail "the documents name $name, CMake's version is $version" ;;
    esac
done
changelog=$(sed -n '1s/^taldrift (\([^)]*\)) .*/\1/p' packaging/changelog)
[ "$changelog" = "$version" ] || fail "the changelog's last entry is '$changelog', CMake $version"
echo "version $version: README and changelog agree"
