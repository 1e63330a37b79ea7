#!/usr/bin/env bash
# PROJ and sqlite for mingw-w64, built from Debian's own source packages (Debian ships no
# Windows builds of either). Static libraries with PROJ's data, installed into PREFIX and
# cached there: a second run finds the stamp and does nothing.
#   cmake/windows/build-deps.sh PREFIX
set -euo pipefail
prefix=$(realpath -m "$1")
here=$(cd "$(dirname "$0")" && pwd)
stamp="$prefix/.built-proj-sqlite"
[ -f "$stamp" ] && exit 0

work="$prefix/src"
mkdir -p "$work"
cd "$work"

# apt-get source needs the source lists; add Debian's own where the machine has none.
if ! apt-get indextargets --format '$(CREATED_BY)' 2>/dev/null | grep -q '^Sources$'; then
    if [ "$(id -u)" -ne 0 ]; then
        echo "build-deps: no deb-src entries and not root: cannot fetch source packages" >&2
        exit 1
    fi
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
        sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
            > /etc/apt/sources.list.d/debian-src.sources
    else
        grep -h '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' \
            > /etc/apt/sources.list.d/debian-src.list
    fi
    apt-get update -qq
fi

for pkg in sqlite3 proj; do
    if ! ls -d "$work/$pkg"-*/ >/dev/null 2>&1; then
        apt-get source -qq --download-only "$pkg"
        dpkg-source -x --skip-patches "$(ls "$pkg"_*.dsc | head -n1)" >/dev/null
    fi
done
sqlite_src=$(ls -d "$work"/sqlite3-*/ | head -n1)
proj_src=$(ls -d "$work"/proj-*/ | head -n1)
cc=x86_64-w64-mingw32-gcc-posix
jobs=${GPS_JOBS:-2}

# sqlite: the amalgamation (one C file, made by the source tree's own tool), built static.
sqlite_build="$work/sqlite-build"
if [ ! -f "$sqlite_build/sqlite3.c" ]; then
    mkdir -p "$sqlite_build"
    (cd "$sqlite_build" && "$sqlite_src/configure" --disable-tcl >/dev/null && make -s sqlite3.c >/dev/null)
fi
mkdir -p "$prefix/include" "$prefix/lib"
$cc -O2 -DSQLITE_THREADSAFE=1 -DSQLITE_OMIT_LOAD_EXTENSION -c "$sqlite_build/sqlite3.c" \
    -o "$sqlite_build/sqlite3.o"
rm -f "$prefix/lib/libsqlite3.a"
x86_64-w64-mingw32-ar rcs "$prefix/lib/libsqlite3.a" "$sqlite_build/sqlite3.o"
cp "$sqlite_build/sqlite3.h" "$sqlite_build/sqlite3ext.h" "$prefix/include/"

# PROJ: static, without TIFF grids and network access; its database is built by the native
# sqlite3 program (the build runs it on this machine).
cmake -S "$proj_src" -B "$work/proj-build" -G "Unix Makefiles" \
    -DCMAKE_TOOLCHAIN_FILE="$here/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_FIND_ROOT_PATH="$prefix;/usr/x86_64-w64-mingw32" \
    -DBUILD_SHARED_LIBS=OFF -DBUILD_APPS=OFF -DBUILD_TESTING=OFF -DENABLE_TIFF=OFF \
    -DENABLE_CURL=OFF -DBUILD_PROJSYNC=OFF \
    -DSQLITE3_INCLUDE_DIR="$prefix/include" -DSQLITE3_LIBRARY="$prefix/lib/libsqlite3.a" \
    -DEXE_SQLITE3="$(command -v sqlite3)" >/dev/null
cmake --build "$work/proj-build" -j "$jobs" >/dev/null
cmake --install "$work/proj-build" >/dev/null
touch "$stamp"
echo "build-deps: PROJ and sqlite for mingw-w64 in $prefix"
