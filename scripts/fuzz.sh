#!/usr/bin/env bash
# Fuzzes the parsers of outside input for a bounded time each under the address
# and undefined-behaviour sanitizers, in a clang build of its own (build/fuzz):
# the sound clips' chunk walk, the web-link command builder and the banner
# decoder. Skipped where clang is missing.
#   FUZZ_SECONDS  how long to fuzz each of them (default 18)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

if ! command -v clang++ >/dev/null 2>&1; then
  echo "fuzz: no clang++, fuzzing skipped"
  exit 0
fi

build="$root/build/fuzz"
cmake -S "$root" -B "$build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target wavechunks_fuzz linkcommand_fuzz bannerdecoder_fuzz -j"$(nproc)"

# Seeds: the start of each clip, a registered command with the target, and
# the banner itself.
seed() {
  local corpus="$build/$1-corpus"
  mkdir -p "$corpus"
  echo "$corpus"
}
corpus="$(seed wavechunks)"
for clip in StartClip ClickClip; do
  head -c 2048 "$root/resources/$clip.wav" >"$corpus/$clip-head.wav"
done
corpus="$(seed linkcommand)"
printf '\x00\x02"C:\\Program Files\\Browser\\browser.exe" -osint -url "%%1"\x00http://www.example.com/' \
  >"$corpus/quoted"
printf '\x00\x02browser.exe %%1\x00http://www.example.com/' >"$corpus/bare"
corpus="$(seed bannerdecoder)"
cp "$root/resources/banner.jpg" "$corpus/"

for fuzzer in wavechunks linkcommand bannerdecoder; do
  log="$build/$fuzzer-fuzz.log"
  if "$build/${fuzzer}_fuzz" -max_total_time="${FUZZ_SECONDS:-18}" -max_len=65536 \
      -artifact_prefix="$build/$fuzzer-" "$build/$fuzzer-corpus" >"$log" 2>&1; then
    echo "fuzz: $fuzzer: $(grep -m1 -o 'Done [0-9]* runs[^$]*' "$log")"
  else
    tail -n 40 "$log" >&2
    echo "fuzz: $fuzzer failed; see $log and the artifact beside it" >&2
    exit 1
  fi
done
