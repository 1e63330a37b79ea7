#!/usr/bin/env bash
# Compiles the module's resource script with the Windows resource compiler, so that the
# script stays genuine resource-script syntax, and checks what came out: the fifteen dialog
# templates (all DIALOGEX), the initial list items (DLGINIT) of the base station editor and
# the 62 strings of the string table.
#
# Usage: windres_check.sh <repo-root> <out-dir>
# Exit status: 0 passed, 1 failed, 2 bad usage, 77 resource compiler not installed.
set -euo pipefail

if [[ $# -ne 2 ]]; then
    echo "usage: $0 <repo-root> <out-dir>" >&2
    exit 2
fi
ROOT=$1
mkdir -p "$2"
OUT=$(cd "$2" && pwd)
WINDRES=x86_64-w64-mingw32-windres

if ! command -v "$WINDRES" >/dev/null 2>&1; then
    echo "SKIP: $WINDRES not found (Debian package binutils-mingw-w64-x86-64)" >&2
    exit 77
fi

cd "$ROOT"
fail=0
check() { # check <description> <expected> <actual>
    if [[ "$2" != "$3" ]]; then
        echo "FAIL: $1: expected $2, got $3" >&2
        fail=1
    fi
}

# The script must be UTF-8 without a byte order mark: the resource compiler would read the
# mark as text, and "#pragma code_page(65001)" already says the encoding.
if [[ "$(head -c 3 resources/gpsdialogs.rc | od -An -tx1 | tr -d ' ')" == "efbbbf" ]]; then
    echo "FAIL: resources/gpsdialogs.rc starts with a byte order mark" >&2
    fail=1
fi

rm -f "$OUT/gpsdialogs.res" "$OUT/gpsdialogs.decompiled.rc"
# Warnings count as failures too: windres accepts some constructs (such as \" inside a string)
# with a warning that other readers of the script do not accept at all.
if ! x86_64-w64-mingw32-windres --preprocessor=cpp --preprocessor-arg=-DRC_INVOKED --preprocessor-arg=-D_WIN32 --preprocessor-arg=-D_WIN64 -I/usr/x86_64-w64-mingw32/include -Iresources resources/gpsdialogs.rc -O res -o "$OUT/gpsdialogs.res" 2>"$OUT/windres.log"; then
    cat "$OUT/windres.log" >&2
    echo "FAIL: $WINDRES refused resources/gpsdialogs.rc" >&2
    exit 1
fi
if [[ -s "$OUT/windres.log" ]]; then
    cat "$OUT/windres.log" >&2
    echo "FAIL: $WINDRES warned about resources/gpsdialogs.rc" >&2
    fail=1
fi

# Back to a readable script: one "<id> DIALOGEX" line per template, one "<id>, "text"" line
# per string inside the STRINGTABLE blocks, "<id> 240" for DLGINIT.
DECOMPILED="$OUT/gpsdialogs.decompiled.rc"
if ! "$WINDRES" -i "$OUT/gpsdialogs.res" -O rc -o "$DECOMPILED"; then
    echo "FAIL: $WINDRES could not read back $OUT/gpsdialogs.res" >&2
    exit 1
fi

dialogs=$(grep -oE '^[0-9]+ DIALOGEX' "$DECOMPILED" | cut -d' ' -f1 | sort -n | tr '\n' ' ')
check "dialog templates" \
    "15039 15040 15041 15042 15043 15044 15045 15046 15047 15048 15050 15053 15149 15150 15151 " \
    "$dialogs"
check "plain DIALOG templates" 0 "$(grep -cE '^[0-9]+ DIALOG ' "$DECOMPILED" || true)"

strings=$(awk '/^STRINGTABLE/ { inside = 1; next }
               inside && /^END/ { inside = 0 }
               inside && /^[ \t]*[0-9]+, *L?"/ { n++ }
               END { print n + 0 }' "$DECOMPILED")
check "strings" 62 "$strings"
first=$(awk '/^STRINGTABLE/ { inside = 1; next } inside && /^END/ { inside = 0 }
             inside && /^[ \t]*[0-9]+,/ { sub(",", "", $1); print $1 }' "$DECOMPILED" | sort -n | head -1)
last=$(awk '/^STRINGTABLE/ { inside = 1; next } inside && /^END/ { inside = 0 }
            inside && /^[ \t]*[0-9]+,/ { sub(",", "", $1); print $1 }' "$DECOMPILED" | sort -n | tail -1)
check "first string id" 15071 "$first"
check "last string id" 15194 "$last"

# The seconds sign of the first angle format is a double quote inside the string.
if ! grep -qF "15154, L\"Sessagesimali   ( gg\\260pp'ss.ddddd\"\" )\"" "$DECOMPILED"; then
    echo "FAIL: string 15154 does not hold the expected text with its double quote" >&2
    fail=1
fi

check "DLGINIT resources" "15151" "$(grep -oE '^[0-9]+ 240' "$DECOMPILED" | cut -d' ' -f1 | tr '\n' ' ' | sed 's/ $//')"

if [[ $fail -ne 0 ]]; then
    exit 1
fi
echo "windres accepted resources/gpsdialogs.rc: 15 DIALOGEX templates, 62 strings, DLGINIT 15151"
