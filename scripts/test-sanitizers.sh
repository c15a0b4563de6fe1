#!/usr/bin/env bash
# Fuzzes the RIFF/WAVE chunk walk of the sound clips for a bounded time under
# the address and undefined-behaviour sanitizers, in a clang build of its own
# (build/fuzz). Skipped where clang is missing. The ThreadSanitizer run of the
# playback tests is part of the native ctest run.
#   FUZZ_SECONDS  how long to fuzz (default 20)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

if ! command -v clang++ >/dev/null 2>&1; then
  echo "test-sanitizers: no clang++, fuzzing skipped"
  exit 0
fi

build="$root/build/fuzz"
cmake -S "$root" -B "$build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target wavechunks_fuzz -j"$(nproc)"

# Seeds: the start of each clip, header included.
corpus="$build/wavechunks-corpus"
mkdir -p "$corpus"
for clip in StartClip ClickClip; do
  head -c 2048 "$root/resources/$clip.wav" >"$corpus/$clip-head.wav"
done

log="$build/wavechunks-fuzz.log"
if "$build/wavechunks_fuzz" -max_total_time="${FUZZ_SECONDS:-20}" -max_len=4096 \
    -artifact_prefix="$build/" "$corpus" >"$log" 2>&1; then
  echo "test-sanitizers: chunk walk fuzzed: $(grep -m1 -o 'Done [0-9]* runs[^$]*' "$log")"
else
  tail -n 40 "$log" >&2
  echo "test-sanitizers: the chunk walk failed under the fuzzer; see $log" >&2
  exit 1
fi
