#!/usr/bin/env bash
# Configures and builds one preset (default: dev) with both cores.
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-dev}"
# Let a fresh clone in another folder reuse the compiler cache.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
[ -f "build/$preset/CMakeCache.txt" ] || cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j"$(nproc)"
