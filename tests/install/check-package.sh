#!/usr/bin/env bash
# Builds the Debian package from the build, checks its control data and that
# lintian finds neither errors nor warnings, unpacks it into a temporary root and runs the programs from there.
# Usage: check-package.sh BUILD_DIR VERSION SHORT_VERSION
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$1
version=$2
short_version=$3
# shellcheck source=lib.sh
. "$here/lib.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1) ||
    fail "cpack: $(cat "$work/cpack.log")"
deb=$work/out/scrivane_${version}_amd64.deb
[ -f "$deb" ] || fail "no $(basename "$deb"); cpack made: $(ls "$work/out")"

# Dependencies come from dpkg-shlibdeps, so the Qt libraries are named with versions.
depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6; do
    [[ $depends == *"$library ("* ]] || fail "Depends lacks $library: $depends"
done
dpkg-deb --ctrl-tarfile "$deb" | tar -t | grep -qx "./triggers" || fail "the package has no triggers"

lintian --fail-on error,warning --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1 ||
    fail "lintian: $(cat "$work/lintian.log")"

root=$work/root
dpkg-deb -x "$deb" "$root"
check_files "$root/usr"
run_programs "$root/usr" "$work"
opened=$(press_help "$root/usr/bin/scrivane" "$work/help" | guide_opened)
[ "$opened" = "$root/usr/lib/scrivane/Scrivane User Guide.doc" ] ||
    fail "Help opened '$opened'; $(cat "$work/help/help.log")"
echo "package check passed"
