#!/usr/bin/env bash
# Fuzzes the RTF reader for a bounded time: tests/fuzz/run-fuzzer.sh [seconds] (default 90).
# Configures a separate clang build (build-fuzz/ beside build/, or $FUZZ_BUILD_DIR), builds
# only the fuzzer, seeds it with the RTF corpus ($QUILLORY_CORPUS, default
# ../shared/corpus) and fails on any crash, leak, timeout or memory blow-up. Inputs that fail
# are written to build-fuzz/artifacts/.
set -euo pipefail
seconds=${1:-90}
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}
corpus=${QUILLORY_CORPUS:-$root/../shared/corpus}
if [ ! -d "$corpus/rtf" ]; then
    echo "run-fuzzer.sh: no RTF corpus at $corpus/rtf" >&2
    exit 1
fi
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLORY_SOURCE_DIR="$root" > /dev/null
ninja -C "$build" -j2 rtf_reader_fuzzer
mkdir -p "$build/work" "$build/artifacts"
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$build}
# New inputs go to work/; the shared corpus is only read.
"$build/rtf_reader_fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len=100000 -dict="$here/rtf.dict" -artifact_prefix="$build/artifacts/" \
    -print_final_stats=1 "$build/work" "$corpus/rtf"
