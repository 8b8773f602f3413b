#!/usr/bin/env bash
# Builds the fuzz targets of fuzz/ with clang (libFuzzer, ASan, UBSan) into build-fuzz/, or
# $PERIKON_FUZZ_BUILD_DIR, and runs each for SECONDS seconds from its seed corpus. Any finding
# (a crash, a sanitizer report, a broken property, a leak, a timeout) fails the run; the input that
# caused it is kept in <build>/artifacts/<target>/. What the fuzzers learn is kept in
# <build>/corpus/<target>/ for the next run; the seed corpora in the tree are only read.
# Usage: scripts/fuzz.sh SECONDS [extra CMake configure arguments, e.g. for ccache]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${PERIKON_FUZZ_BUILD_DIR:-$root/build-fuzz}"

seconds="${1:-}"
if [[ ! "$seconds" =~ ^[1-9][0-9]*$ ]]; then
    echo "usage: scripts/fuzz.sh SECONDS [cmake arguments...]" >&2
    exit 2
fi
shift

for tool in clang clang++; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "fuzz: $tool not found (scripts/setup-deps.sh installs it)" >&2
        exit 1
    fi
done

cmake -S "$root" -B "$build" -G Ninja -DPERIKON_FUZZ=ON -DCMAKE_C_COMPILER=clang \
    -DCMAKE_CXX_COMPILER=clang++ "$@" >/dev/null
cmake --build "$build" --target fuzzers --parallel "$(nproc)"

failed=()
for fuzzer in "$build"/fuzz/fuzz_*; do
    [[ -f "$fuzzer" && -x "$fuzzer" ]] || continue
    target="${fuzzer##*/fuzz_}"
    work="$build/corpus/$target"
    artifacts="$build/artifacts/$target"
    log="$build/fuzz-$target.log"
    mkdir -p "$work" "$artifacts"
    args=(-max_total_time="$seconds" -timeout=25 -artifact_prefix="$artifacts/")
    if [[ -f "$root/fuzz/dict/$target.dict" ]]; then
        args+=(-dict="$root/fuzz/dict/$target.dict")
    fi
    if "$fuzzer" "${args[@]}" "$work" "$root/fuzz/corpus/$target" >"$log" 2>&1; then
        echo "fuzz: $target: $(grep -E '^Done [0-9]+ runs' "$log" || echo 'done')"
    else
        failed+=("$target")
        echo "fuzz: $target FAILED (full log: $log)"
        tail -n 60 "$log"
    fi
done

if ((${#failed[@]} > 0)); then
    echo "fuzz: findings in ${failed[*]}; inputs kept in $build/artifacts/"
    exit 1
fi
