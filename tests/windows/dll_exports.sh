#!/usr/bin/env bash
# The Windows DLLs export their interface and nothing else: gpsdialogs.dll the thirteen
# functions and what a host class derived from CGestGps needs; gpsdialogs_c.dll exactly the
# functions its header declares.
# Usage: dll_exports.sh BIN_DIR SOURCE_DIR
set -euo pipefail
bin=$1 src=$2

exports() {
    x86_64-w64-mingw32-objdump -p "$1" |
        sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | sed -n 's/^\s*\[ *[0-9]*\] //p'
}

status=0
compare() { # NAME EXPECTED ACTUAL
    local missing extra
    missing=$(comm -23 <(sort -u <<<"$2") <(sort -u <<<"$3"))
    extra=$(comm -13 <(sort -u <<<"$2") <(sort -u <<<"$3"))
    [ -n "$missing" ] && { echo "$1: missing exports:"; echo "$missing"; status=1; }
    [ -n "$extra" ] && { echo "$1: unexpected exports:"; echo "$extra"; status=1; }
    return 0
}

S='std::__cxx11::basic_string<char, std::char_traits<char>, std::allocator<char> >'
G='std::vector<CGrpGps*, std::allocator<CGrpGps*> >'
expected=$(cat <<END
FDlgModPunGps(CCts*, CPunGps*, CLibGps*, gis::CLibGis*, bool, CGestGps*, bool)
FDlgFindPunGps($S&, bool&, bool&)
FDatiFindPunGps($S&, bool&, bool&)
FMostraPunGps(CPunGps*)
FMostraGrpGps(CGrpGps*)
FDlgSelGrpLibGps($G*, $G*)
FDlgModStazBase(CGrpGps*, CGestGps*, bool)
FDlgOpzSpostaBaseGps(CLibGps*, CDrawEng*, int&, double&)
FDlgOpzCreazGps(CGrpGps*, CLibGps*, int&, $S&, $S&, double&, double&, double&, double&)
FDlgOpzTrasfPtGps(CLibGps*, int, int&, double&)
FSelDatiFile()
FInpNomeFileAsciiLibGps($S&)
FInpNomeFileConvGpsVari($S&, int&)
CGestGps::CGestGps()
CGestGps::CGestGps(CGestGps const&)
CGestGps::operator=(CGestGps const&)
vtable for CGestGps
typeinfo for CGestGps
END
)
compare gpsdialogs.dll "$expected" "$(exports "$bin/gpsdialogs.dll" | x86_64-w64-mingw32-c++filt)"

declared=$(grep -oE '\bgpsd_[a-z_]+\s*\(' "$src/capi/include/gpsdialogs/gpsdialogs_c.h" |
           sed 's/\s*($//')
compare gpsdialogs_c.dll "$declared" "$(exports "$bin/gpsdialogs_c.dll")"
exit "$status"
