#!/usr/bin/env bash
# Sets up what is missing, builds every preset and runs every test: the native
# unit tests through ctest, plain and under the sanitizers, a bounded fuzzing
# run, then the end-to-end tests under Wine and Xvfb.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

bash scripts/setup.sh
for preset in native native-asan native-tsan win32 win64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j"$(nproc)"
done
for preset in native native-asan native-tsan; do
  ctest --preset "$preset"
done
bash scripts/fuzz.sh
python3 tests/e2e/run.py
