#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
tools/build.sh ci
export QT_QPA_PLATFORM=offscreen
ctest --preset ci -j"$(nproc)"
