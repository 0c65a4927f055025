#!/bin/sh
# Redraws the built-in images into resources/images with the artwork tool.
# Usage: resources/artwork/regenerate.sh [build folder]   (default: build/artwork)
set -e
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${1:-$root/build/artwork}
cmake -S "$root" -B "$build" -G Ninja -DLUGATIM_TESTS=OFF >/dev/null
ninja -C "$build" -j2 lugatim_artwork
QT_QPA_PLATFORM=offscreen "$build/bin/lugatim_artwork" "$here/../images"
