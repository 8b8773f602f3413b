#!/usr/bin/env bash
# Configures and builds into build/ (binaries in build/bin, libraries in build/lib).
# Extra arguments go to CMake's configure step, e.g. -DPERIKON_SANITIZE=ON.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${PERIKON_BUILD_DIR:-$root/build}"

cmake -S "$root" -B "$build" -G Ninja "$@" >/dev/null
cmake --build "$build" --parallel "$(nproc)"
