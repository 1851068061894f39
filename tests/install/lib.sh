# Shared by the install and package checks: a failure message, the file list of
# an installed tree, the programs run from it, and Help pressed in the desktop
# program on a virtual screen.

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Every file and link under ROOT, relative to it, sorted.
file_list() {
    (cd "$1" && find . \( -type f -o -type l \) -printf '%P\n' | LC_ALL=C sort)
}

# check_files ROOT: ROOT holds exactly the files of installed-files.txt.
check_files() {
    local expected
    expected=$(LC_ALL=C sort "$here/installed-files.txt")
    diff -u <(echo "$expected") <(file_list "$1") || fail "the installed files differ from installed-files.txt"
    [ -L "$1/bin/scrivane" ] || fail "bin/scrivane is not a link"
    [ "$(readlink -f "$1/bin/scrivane")" = "$(readlink -f "$1/lib/scrivane/scrivane")" ] ||
        fail "bin/scrivane does not lead to lib/scrivane/scrivane"
}

# run_programs PREFIX WORK: both programs name their version and licence, and
# the installed scrivane-clean cleans a statement.
run_programs() {
    local prefix=$1 work=$2
    for program in scrivane scrivane-clean; do
        "$prefix/bin/$program" --version >"$work/version" || fail "$program --version failed"
        grep -qx "$program $short_version" "$work/version" || fail "$program --version: $(cat "$work/version")"
        grep -q "MIT License" "$work/version" || fail "$program --version does not name the licence"
    done
    mkdir -p "$work/clean"
    printf 'OFXHEADER:100\n<OFX><SIGNONMSGSRSV1><SONRS><STATUS><CODE>0</STATUS></SONRS></SIGNONMSGSRSV1>%s\n' \
        '<STMTTRN><NAME>POS PURCHASE 1234 ACME</STMTTRN></OFX>' >"$work/clean/s.ofx"
    # A home of its own, so the original goes to a trash of its own.
    mkdir -p "$work/trashhome/data"
    HOME=$work/trashhome XDG_DATA_HOME=$work/trashhome/data XDG_CONFIG_HOME=$work/config \
        "$prefix/bin/scrivane-clean" --target quicken "$work/clean/s.ofx" ||
        fail "scrivane-clean could not clean a statement"
    [ ! -e "$work/clean/s.ofx" ] || fail "the cleaned statement was left under its old name"
    [ -s "$work/trashhome/data/Trash/files/s.ofx" ] || fail "the original is not in the trash"
    grep -q '<INTU.BID>3000</SONRS>' "$work/clean/s.QFX" || fail "the cleaned statement lacks its bank identifier"
}

# press_help PROGRAM WORK [TYPES]: starts PROGRAM on a virtual screen with a
# stand-in xdg-open on the PATH, and a stand-in xdg-mime that names an
# application for the MIME types TYPES only (by default the .doc's and the
# .html's), clicks Help and prints what the stand-in xdg-open was given.
press_help() {
    local program=$1 work=$2 types=${3:-application/msword text/html}
    mkdir -p "$work/stub" "$work/home"
    : >"$work/opened"
    printf '#!/bin/sh\nprintf "%%s\\n" "$@" >>"%s"\n' "$work/opened" >"$work/stub/xdg-open"
    printf '#!/bin/sh\ncase " %s " in *" $3 "*) echo stand-in.desktop ;; esac\n' "$types" >"$work/stub/xdg-mime"
    chmod +x "$work/stub/xdg-open" "$work/stub/xdg-mime"
    # Help sits at 7260,1860 twips in the window, 15 twips to the pixel; without a
    # window manager the window has no frame, so these are window coordinates.
    env -u QT_QPA_PLATFORM PATH="$work/stub:$PATH" HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" \
        xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
        "$1" &
        pid=$!
        xdotool search --sync --onlyvisible --name "^Scrivane - " mousemove --window %1 530 135 click 1
        for _ in $(seq 100); do [ -s "$2" ] && break; sleep 0.1; done
        kill "$pid"
        wait "$pid" 2>/dev/null || true
    ' help "$program" "$work/opened" >"$work/help.log" 2>&1 || true
    cat "$work/opened"
}

# The guide named by what press_help printed: a file:// address or a path.
guide_opened() {
    python3 -c 'import sys, urllib.parse
for line in sys.stdin:
    line = line.strip()
    print(urllib.parse.unquote(urllib.parse.urlparse(line).path) if line.startswith("file:") else line)'
}
