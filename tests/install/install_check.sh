#!/usr/bin/env bash
# Installs the build into a temporary prefix, then builds and runs a separate host project
# that finds the module with find_package(GpsDialogs).
# usage: install_check.sh <build-dir> <consumer-source-dir> <work-dir-prefix> [compiler flags]
# The flags are the module build's own (a sanitizer build needs its consumer built alike).
set -euo pipefail
build=$1 consumer=$2 flags=${4:-}
mkdir -p "$(dirname "$3")"
work=$(mktemp -d "$3.XXXXXX") # one folder per run: two runs at once do not collide
trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/prefix" >/dev/null
cmake -S "$consumer" -B "$work/build" -DCMAKE_PREFIX_PATH="$work/prefix" -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_CXX_FLAGS="$flags" >/dev/null
cmake --build "$work/build" >/dev/null
"$work/build/consumer"
