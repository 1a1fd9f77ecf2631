#!/usr/bin/env bash
# Installs a build into temporary folders and checks the installed tree as a
# user's desktop and the program would find it:
#   check_install.sh BUILD_DIR SOURCE_DIR
# 1. `cmake --install --prefix P`: programs, prompts, books whose volume files
#    name the installed folders and existing pictures and sounds, the system
#    settings file naming the installed prompts and instructions, the desktop
#    files and icons (validated when desktop-file-validate, appstreamcli and
#    update-mime-database are installed).
# 2. DESTDIR=S with the prefix /usr, as a package is made: the settings file
#    lands in S/etc/xdg and nothing names the staging folder S.
set -euo pipefail

BUILD=$1
SOURCE=$2
ID=org.quorvex.Tintaroo
MIME_ICON=application-x-tintaroo-volume

T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
need_file() { [ -f "$1" ] || fail "missing file $1"; }
have() { command -v "$1" >/dev/null; }

# The value of KEY in [GROUP] of an ini file, without Qt's quotes and escapes.
ini_value() {
    awk -v group="$2" -v key="$3" '
        /^\[/ { ours = (tolower($0) == tolower("[" group "]")); next }
        ours && index(tolower($0), tolower(key) "=") == 1 {
            v = substr($0, length(key) + 2)
            if (v ~ /^".*"$/) { v = substr(v, 2, length(v) - 2); gsub(/\\\\/, "\\", v); gsub(/\\"/, "\"", v) }
            print v; exit
        }' "$1"
}

# Every page entry of a volume names a file in its OrgPath folder.
check_volume() {
    local vol=$1 book=$2 org
    need_file "$vol"
    # No write bit at all: the program then keeps every user's colouring
    # (root's too) in the user's data folder, never beside the book.
    [ -z "$(find "$vol" -perm /222)" ] || fail "$vol is writable"
    org=$(ini_value "$vol" Volume OrgPath)
    [ "$org" = "$book" ] || fail "$vol: OrgPath is '$org', not '$book'"
    local entries=0 f
    while IFS= read -r f; do
        entries=$((entries + 1))
        [ -f "$org/$f" ] || fail "$vol names $f, which is not in $org"
    done < <(awk '/^\[/ { ours = ($0 == "[Picture Files]" || $0 == "[Sound Files]"); next }
                  ours && /^Page[0-9]+=/ { sub(/^[^=]*=/, ""); print }' "$vol")
    [ "$entries" -gt 0 ] || fail "$vol names no pages"
}

# --- 1. an installation under a prefix of the user's choice ------------------
P=$T/prefix
cmake --install "$BUILD" --prefix "$P" >"$T/install.log" || {
    cat "$T/install.log" >&2
    exit 1
}
DATA=$P/share/tintaroo

for prog in tintaroo tintaroo-book; do
    [ -x "$P/bin/$prog" ] || fail "$P/bin/$prog is not an installed program"
done

prompts=$(find "$SOURCE/data/sounds" -type f | wc -l)
installed=$(find "$DATA/sounds" -type f | wc -l)
[ "$prompts" -gt 0 ] && [ "$installed" -eq "$prompts" ] ||
    fail "$installed of $prompts spoken prompts installed"

check_volume "$DATA/books/sample.vol" "$DATA/books/sample"
check_volume "$DATA/books/instructions.vol" "$DATA/books/instructions"
[ "$(ini_value "$DATA/books/sample.vol" Volume CopyDir)" = "$DATA/books/sample/copies" ] ||
    fail "sample.vol: CopyDir is not $DATA/books/sample/copies"

SETTINGS="$P/etc/xdg/Quorvex/Tintaroo!.conf"
need_file "$SETTINGS"
if [ -f "$SETTINGS" ]; then
    sounds=$(ini_value "$SETTINGS" 'Tintaroo%21' SoundsPath)
    [ "$sounds" = "$DATA/sounds/" ] || fail "SoundsPath is '$sounds', not '$DATA/sounds/'"
    [ -f "${sounds}RED.WAV" ] || fail "no prompt RED.WAV in SoundsPath '$sounds'"
    instructions=$(ini_value "$SETTINGS" 'Tintaroo%21' ColoringInstructions)
    [ "$instructions" = "$DATA/books/instructions.vol" ] ||
        fail "ColoringInstructions is '$instructions'"
fi

# The book tool finds nothing wrong with the installed books but their
# CopyDir: an installed book is read-only, its coloured copies go elsewhere.
for vol in "$DATA"/books/*.vol; do
    rc=0
    report=$(XDG_CONFIG_HOME=$T/config XDG_CONFIG_DIRS=$P/etc/xdg \
        "$P/bin/tintaroo-book" check "$vol" 2>&1) || rc=$?
    report=$(grep -v '^CopyDir ' <<<"$report" || true)
    [ "$rc" -le 1 ] && [ -z "$report" ] || fail "tintaroo-book check $vol (exit $rc): $report"
done

need_file "$P/share/applications/$ID.desktop"
need_file "$P/share/mime/packages/$ID.xml"
need_file "$P/share/metainfo/$ID.metainfo.xml"
for n in 16 24 32 48 64 128 256; do
    need_file "$P/share/icons/hicolor/${n}x$n/apps/$ID.png"
    need_file "$P/share/icons/hicolor/${n}x$n/mimetypes/$MIME_ICON.png"
done
if have desktop-file-validate; then
    desktop-file-validate --no-hints "$P/share/applications/$ID.desktop" || fail "desktop entry"
fi
if have appstreamcli; then
    appstreamcli validate --no-net "$P/share/metainfo/$ID.metainfo.xml" >"$T/as.log" ||
        { cat "$T/as.log" >&2; fail "metainfo"; }
fi
if have update-mime-database; then
    if update-mime-database "$P/share/mime" 2>"$T/mime.log"; then
        grep -q "^[0-9]*:application/x-tintaroo-volume:\*\.vol$" "$P/share/mime/globs2" ||
            fail "the MIME database has no *.vol glob"
    else
        cat "$T/mime.log" >&2
        fail "update-mime-database"
    fi
fi

# --- 2. a staged installation under /usr, as the package is made -------------
S=$T/stage
DESTDIR=$S cmake --install "$BUILD" --prefix /usr >"$T/stage.log" || {
    cat "$T/stage.log" >&2
    exit 1
}
need_file "$S/etc/xdg/Quorvex/Tintaroo!.conf"
[ ! -e "$S/usr/etc" ] || fail "a /usr installation put settings in /usr/etc"
[ "$(ini_value "$S/usr/share/tintaroo/books/sample.vol" Volume OrgPath)" = \
    /usr/share/tintaroo/books/sample ] || fail "staged sample.vol does not name /usr"
if grep -rl --fixed-strings "$T" "$S/etc" "$S/usr/share/tintaroo/books"/*.vol; then
    fail "installed files name the staging folder"
fi

[ "$failures" -eq 0 ] || exit 1
echo "installation checked: $P"
