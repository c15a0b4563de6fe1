// The cost of one call of the mouse hook, over the recording fake. The figures
// are the detector's own work plus the fake's bookkeeping; the system calls that
// the fake stands in for (reading the cursor, the next hook, creating a thread)
// cost far more on Windows and are not measured here.
#include <benchmark/benchmark.h>

#include "engine/Engine.h"
#include "tests/fake/FakeWin32.h"
#include "tests/fake/HookDriver.h"

namespace {

constexpr WPARAM kMouseMove = 0x0200;
// Drags between two clearings of the fake's thread log: the log stays small and
// its clearing, done with the clock stopped, happens rarely enough that
// stopping the clock does not blur the figure.
constexpr long kDragsPerBatch = 1024;

HookDriver hook;

LRESULT Event(WPARAM message, LONG x, LONG y) { return hook.Event(message, x, y); }

// Each iteration of the click and the drag is two hook calls.
void CountCalls(benchmark::State& state, int callsPerIteration) {
  state.counters["per_call"] = benchmark::Counter(
      static_cast<double>(callsPerIteration),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void HookMove(benchmark::State& state) {
  hook.Start();
  LONG x = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(Event(kMouseMove, x++ & 1023, 300));
  }
  CountCalls(state, 1);
}
BENCHMARK(HookMove);

void HookClick(benchmark::State& state) {
  hook.Start();
  for (auto _ : state) {
    benchmark::DoNotOptimize(Event(WM_LBUTTONDOWN, 100, 200));
    benchmark::DoNotOptimize(Event(WM_LBUTTONUP, 100, 200));
  }
  if (!Fake().threadEntries.empty()) state.SkipWithError("a click started a worker");
  CountCalls(state, 2);
}
BENCHMARK(HookClick);

void ClearThreadLog() {
  FakeWin32& fake = Fake();
  fake.threadEntries.clear();
  fake.threadParameters.clear();
  fake.threadHandles.clear();
  fake.closedHandles.clear();
}

void HookDrag(benchmark::State& state) {
  hook.Start();
  // Room for a whole batch up front, so no timed call grows a vector.
  FakeWin32& fake = Fake();
  fake.threadEntries.reserve(kDragsPerBatch);
  fake.threadParameters.reserve(kDragsPerBatch);
  fake.threadHandles.reserve(kDragsPerBatch);
  fake.closedHandles.reserve(kDragsPerBatch);
  long drags = 0;
  long workers = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(Event(WM_LBUTTONDOWN, 100, 200));
    benchmark::DoNotOptimize(Event(WM_LBUTTONUP, 300, 200));
    if (++drags == kDragsPerBatch) {
      state.PauseTiming();
      workers += static_cast<long>(fake.threadEntries.size());
      ClearThreadLog();
      drags = 0;
      state.ResumeTiming();
    }
  }
  workers += static_cast<long>(fake.threadEntries.size());
  if (workers != static_cast<long>(state.iterations())) {
    state.SkipWithError("not every drag started one worker");
  }
  CountCalls(state, 2);
}
BENCHMARK(HookDrag);

}  // namespace
