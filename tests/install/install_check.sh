#!/usr/bin/env bash
# Installs the build into a temporary prefix, then builds and runs a separate host project that
# finds the module with find_package(GpsDialogs) and runs its own automation tests:
#   - headless, with Qt made unfindable: the package itself must not need Qt, and nothing the
#     host runs may load a Qt library;
#   - with COMPONENTS Qt (when the build has its Qt view): the dialogs in Qt widgets;
#   - COMPONENTS Qt while Qt cannot be found: refused at configure time, naming Qt6.
# usage: install_check.sh <build-dir> <consumer-source-dir> <work-dir-prefix> [compiler flags]
# The flags are the module build's own (a sanitizer build needs its consumer built alike).
set -euo pipefail
build=$1 consumer=$2 flags=${4:-}
mkdir -p "$(dirname "$3")"
work=$(mktemp -d "$3.XXXXXX") # one folder per run: two runs at once do not collide
trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/prefix" >/dev/null
export QT_QPA_PLATFORM=offscreen

configure() { # <build folder> [cmake options...]
    local dir=$1
    shift
    cmake -S "$consumer" -B "$work/$dir" -DCMAKE_PREFIX_PATH="$work/prefix" \
          -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS="$flags" "$@"
}

configure headless -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON >"$work/headless.log" 2>&1 \
    || { cat "$work/headless.log"; exit 1; }
cmake --build "$work/headless" >/dev/null
"$work/headless/host_tests"
if ldd "$work/headless/host_tests" | grep -i 'libQt'; then
    echo "install check: the headless host loads Qt" >&2
    exit 1
fi

# A package built without its Qt view has no component Qt to check.
[ -n "$(find "$work/prefix" -name GpsDialogsQtTargets.cmake)" ] || exit 0

if configure no-qt -DWITH_QT=ON -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON >"$work/no-qt.log" 2>&1; then
    echo "install check: COMPONENTS Qt was found although Qt6 cannot be" >&2
    exit 1
fi
grep -q Qt6 "$work/no-qt.log" || { cat "$work/no-qt.log"; exit 1; }

configure qt -DWITH_QT=ON >"$work/qt.log" 2>&1 || { cat "$work/qt.log"; exit 1; }
cmake --build "$work/qt" --target host_qt_tests >/dev/null
"$work/qt/host_qt_tests"
