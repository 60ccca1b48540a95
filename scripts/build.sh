#!/usr/bin/env bash
# Configures and builds into $BUILD_DIR (default build/). SANITIZE=1 builds with ASan+UBSan.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build}
args=(-G Ninja -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo})
[ "${CI:-}" = "true" ] && args+=(-DQUONK_WERROR=ON)
[ "${SANITIZE:-0}" = "1" ] && args+=(-DQUONK_SANITIZE=ON -DQUONK_BENCH=OFF)
cmake -S . -B "$build_dir" "${args[@]}" >/dev/null
cmake --build "$build_dir" -j "$(nproc)"
