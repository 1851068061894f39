#!/usr/bin/env bash
# Installs the build into temporary prefixes and checks what lands there: the
# file list (DESTDIR honoured too), every validator on the desktop files, the
# manual pages and the completion, and the installed programs, Help included.
# Usage: check-install.sh BUILD_DIR SHORT_VERSION
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$1
short_version=$2
# shellcheck source=lib.sh
. "$here/lib.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
check_files "$prefix"
DESTDIR=$work/dest cmake --install "$build" --prefix /opt/scrivane >/dev/null
check_files "$work/dest/opt/scrivane"

share=$prefix/share
id=org.scrivane.Scrivane
desktop-file-validate "$share/applications/$id.desktop" || fail "desktop-file-validate"
grep -qx "Exec=scrivane %f" "$share/applications/$id.desktop" || fail "the launcher does not pass the file"
appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml" >"$work/appstream.log" ||
    fail "appstreamcli validate: $(cat "$work/appstream.log")"
for page in scrivane scrivane-clean; do
    mandoc -T lint -W warning "$share/man/man1/$page.1.gz" || fail "mandoc -T lint $page.1"
    zgrep -q "Scrivane $short_version" "$share/man/man1/$page.1.gz" || fail "$page.1 names another version"
done

# The file types: well-formed, accepted by update-mime-database, and what it made
# of them. The cache goes to a copy, never to the system's.
xmllint --noout "$share/mime/packages/$id.xml" || fail "xmllint on the MIME types"
mkdir -p "$work/mime"
cp -r "$share/mime/packages" "$work/mime/"
XDG_DATA_DIRS=$work update-mime-database "$work/mime" 2>"$work/mime.log" || fail "update-mime-database: $(cat "$work/mime.log")"
[ ! -s "$work/mime.log" ] || fail "update-mime-database complained: $(cat "$work/mime.log")"
for glob in "application/x-ofx:\*.ofx" "application/vnd.intu.qfx:\*.qfx" "application/vnd.intu.qbo:\*.qbo"; do
    grep -q ":$glob$" "$work/mime/globs2" || fail "no glob $glob"
done
grep -q "OFXHEADER:" "$work/mime/magic" && grep -q "<?OFX" "$work/mime/magic" || fail "the OFX magic is missing"
grep -qx "application/vnd.intu.qfx application/x-ofx" "$work/mime/subclasses" || fail "QFX is not a kind of OFX"
# Content alone, as a GNOME file manager sees a download without extension.
printf 'OFXHEADER:100\r\nDATA:OFXSGML\r\n\r\n<OFX>\r\n' >"$work/ofx1"
printf '<?xml version="1.0" encoding="UTF-8"?>\n<?OFX OFXHEADER="200" VERSION="220"?>\n<OFX>\n' >"$work/ofx2"
for probe in ofx1 ofx2; do
    type=$(XDG_DATA_DIRS=$work:/usr/share gio info -a standard::content-type "$work/$probe" | sed -n 's/.*content-type: //p')
    [ "$type" = application/x-ofx ] || fail "$probe is taken for '$type'"
done

# Completion: the values of --target, the options, and only statements among files.
bash -n "$share/bash-completion/completions/scrivane-clean"
mkdir -p "$work/files/folder"
touch "$work/files/a.ofx" "$work/files/b.QFX" "$work/files/c.qbo" "$work/files/notes.txt" "$work/files/r.csv"
complete_line() {
    (cd "$work/files" && bash -c '
        . /usr/share/bash-completion/bash_completion
        . "$1"
        shift
        COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
        COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
        _scrivane_clean scrivane-clean "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
        printf "%s\n" "${COMPREPLY[@]}" | LC_ALL=C sort | paste -sd" "
    ' complete "$share/bash-completion/completions/scrivane-clean" "$@")
}
[ "$(complete_line scrivane-clean --target q)" = "quickbooks quicken" ] || fail "completion of --target"
[ "$(complete_line scrivane-clean --list "")" = "clean raw rules" ] || fail "completion of --list"
[ "$(complete_line scrivane-clean --rules "")" = "folder r.csv" ] || fail "completion of --rules"
[ "$(complete_line scrivane-clean --no-remove-r)" = "--no-remove-repeat" ] || fail "completion of options"
[ "$(complete_line scrivane-clean --check --j)" = "--json" ] || fail "completion of --json"
[ "$(complete_line scrivane-clean "")" = "a.ofx b.QFX c.qbo folder r.csv" ] ||
    fail "completion of files: $(complete_line scrivane-clean "")"

run_programs "$prefix" "$work"
opened=$(press_help "$prefix/bin/scrivane" "$work/help" | guide_opened)
[ "$opened" = "$prefix/lib/scrivane/Scrivane User Guide.doc" ] ||
    fail "Help opened '$opened'; $(cat "$work/help/help.log")"
# Where nothing takes the .doc, the browser gets the same guide as a web page.
opened=$(press_help "$prefix/bin/scrivane" "$work/help-html" text/html | guide_opened)
[ "$opened" = "$prefix/lib/scrivane/Scrivane User Guide.html" ] ||
    fail "Help without a word processor opened '$opened'; $(cat "$work/help-html/help.log")"
echo "install check passed"
