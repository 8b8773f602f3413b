#!/usr/bin/env bash
# Installs what is missing, builds, starts a throwaway PostgreSQL cluster and runs every test.
# PERIKON_SANITIZE=1 builds and tests with the address/undefined sanitizers in build-asan/.
# Then runs each fuzz target for PERIKON_FUZZ_SECONDS (30) seconds when clang is there.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

"$root/scripts/setup-deps.sh"

# The tree stays formatted: a file that clang-format would change fails the run before the build.
(cd "$root" && git ls-files -z -- '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror)

if [[ "${PERIKON_SANITIZE:-0}" == 1 ]]; then
    export PERIKON_BUILD_DIR="$root/build-asan"
    "$root/scripts/build.sh" -DPERIKON_SANITIZE=ON
else
    "$root/scripts/build.sh"
fi
build="${PERIKON_BUILD_DIR:-$root/build}"

# shellcheck source=scripts/pg-throwaway.sh
source "$root/scripts/pg-throwaway.sh"
if [[ -z "${PERIKON_TEST_PG:-}" ]]; then
    # Stopped on every way out, failed tests and interrupts included.
    trap pg_throwaway_stop EXIT
    trap 'exit 130' INT TERM
    pg_throwaway_start
fi

# Every PostgreSQL test creates a database of its own on the server, so they run in parallel like
# the rest; only the server-fault test (RUN_SERIAL) runs alone.
cd "$build"
ctest --output-on-failure --parallel "$(nproc)" --timeout 900

# Each fuzz target for a while on top of its seed corpus, in a build of its own.
if command -v clang++ >/dev/null 2>&1; then
    "$root/scripts/fuzz.sh" "${PERIKON_FUZZ_SECONDS:-30}"
else
    echo "test: clang++ not found, fuzz targets not run (scripts/setup-deps.sh installs clang)"
fi
