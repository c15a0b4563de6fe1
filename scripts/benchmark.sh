#!/usr/bin/env bash
# Sets up what is missing, builds, and prints performance figures: the drag
# detector's cost per hook call (Google Benchmark over the recording fake, in a
# Release build of its own, build/bench, since the native preset is a Debug
# build), then the timings of the real tool under 64-bit Wine. Figures only:
# nothing here fails on a slow result, and the test command does not run it.
#   BENCH_DRAGS   drags per wait under Wine (default 20)
#   BENCH_STARTS  start-ups under Wine (default 5)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

bash scripts/setup.sh
for preset in native win64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j"$(nproc)"
done
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/bench --target drag_detector_bench -j"$(nproc)"

echo "benchmark: $(nproc) cores, $(/usr/lib/wine/wine64 --version)"
echo
build/bench/tests/bench/drag_detector_bench --benchmark_repetitions=5 \
  --benchmark_report_aggregates_only=true
echo
python3 tests/e2e/bench_timings.py --drags "${BENCH_DRAGS:-20}" --starts "${BENCH_STARTS:-5}"
