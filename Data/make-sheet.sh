#!/usr/bin/env bash
# Builds the installation data and draws docs/data-sheet.png from the program
# folder: every strip, the emoticon tabs, gift pages, seals, badges and the skins.
# Usage: Data/make-sheet.sh [build dir]   (default build/dev)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/dev}"
[ -f "$build/CMakeCache.txt" ] || cmake --preset dev -B "$build" >/dev/null
cmake --build "$build" --target ChatRoomData datasheet -j2
QT_QPA_PLATFORM=offscreen "$build/Data/datasheet" "$build/app" docs/data-sheet.png
echo "wrote docs/data-sheet.png"
