// Benchmarks of the calculation and of the date formatting. Run with
//   build/host/tests/bench/engine_bench --benchmark_repetitions=10
//       --benchmark_report_aggregates_only=true
// The "allocs" counter is heap allocations per call, counted by the
// replacement operator new below.
#include <benchmark/benchmark.h>

#include <array>
#include <atomic>
#include <cstdlib>
#include <new>

#include "calculation.h"
#include "date_text.h"
#include "entry.h"

namespace {
std::atomic<long> Allocations{0};
}

void* operator new(std::size_t size) {
    Allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

// "&Calc" on fields the window has already validated and shown, as the
// window asks the engine: the calculation and the display of its result.
void runCalculate(benchmark::State& state, std::array<std::string_view, 5> fields) {
    EntryRequest request;
    request.fields = fields;
    request.datesShown = true;
    EntryAnswer answer;
    long before = Allocations.load();
    for (auto _ : state) {
        answerRequest(request, answer);
        benchmark::DoNotOptimize(answer.fields[0].data());
    }
    state.counters["allocs"] = benchmark::Counter(static_cast<double>(Allocations.load() - before),
                                                  benchmark::Counter::kAvgIterations);
}

void BM_CalculateBirth(benchmark::State& state) {
    runCalculate(state, {"12/07/1941", "20-30", "", "", ""});
}
void BM_CalculateBirthDate(benchmark::State& state) {
    runCalculate(state, {"05/10/1900", "", "18", "", ""});
}
void BM_CalculateEvent(benchmark::State& state) {
    runCalculate(state, {"", "30", "2", "", "06/15/1850"});
}
void BM_CalculateAge(benchmark::State& state) {
    runCalculate(state, {"03/10/1900", "", "", "", "01/15/1850"});
}

void BM_FormatDateText(benchmark::State& state) {
    const char* inputs[] = {"Dec 7, 1941", "12/07/1941  [Su]", "5/1941", "1850 or 1849"};
    long before = Allocations.load();
    size_t i = 0;
    for (auto _ : state) {
        FormattedDate f = formatDateText(inputs[i++ & 3], state.range(0) & 1, state.range(0) & 2);
        benchmark::DoNotOptimize(f.text.data());
    }
    state.counters["allocs"] = benchmark::Counter(static_cast<double>(Allocations.load() - before),
                                                  benchmark::Counter::kAvgIterations);
}

// Pasted junk of 100,000 characters: each call must stay well inside a
// millisecond.
void BM_LongJunk(benchmark::State& state) {
    std::string jan;
    while (jan.size() < 50000) jan += "Jan";
    const std::string inputs[] = {std::string(100000, '9'), jan + "to/" + jan, std::string(100000, ' ') + "1941",
                                  "e" + std::string(99999, 'e')};
    const std::string& input = inputs[state.range(0)];
    for (auto _ : state) {
        FormattedDate f = formatDateText(input, false, true);
        benchmark::DoNotOptimize(f.code);
        AgeSpec a = parseAge(input, input, input);
        benchmark::DoNotOptimize(a.years);
    }
}

// The engine's entry, one request as typed per missing fact (plus the
// calculation's commonest error), with one answer reused as a batch reuses
// it: the steady state allocates nothing.
void runEntry(benchmark::State& state, std::array<std::string_view, 5> fields, bool abbreviated, bool weekDay) {
    EntryRequest request;
    request.fields = fields;
    request.abbreviated = abbreviated;
    request.weekDay = weekDay;
    EntryAnswer answer;
    answerRequest(request, answer);  // the buffers grow once
    long before = Allocations.load();
    for (auto _ : state) {
        answerRequest(request, answer);
        benchmark::DoNotOptimize(answer.fields[0].data());
    }
    state.counters["allocs"] = benchmark::Counter(static_cast<double>(Allocations.load() - before),
                                                  benchmark::Counter::kAvgIterations);
}

void BM_EntryBirthYears(benchmark::State& state) { runEntry(state, {"12/07/1941", "40", "", "", ""}, false, false); }
void BM_EntryBirthDate(benchmark::State& state) {
    runEntry(state, {"Dec 7, 1941", "40", "6", "", ""}, true, true);
}
void BM_EntryEventRange(benchmark::State& state) { runEntry(state, {"", "20-30", "", "", "06/15/1850"}, false, false); }
void BM_EntryEventDate(benchmark::State& state) {
    runEntry(state, {"", "30", "2", "11", "06/15/1850"}, false, true);
}
void BM_EntryAge(benchmark::State& state) { runEntry(state, {"03/10/1900", "", "", "", "01/15/1850"}, false, false); }
void BM_EntryAgeAbbreviated(benchmark::State& state) {
    runEntry(state, {"Mar 10, 1900", "", "", "", "1/15/1850"}, true, true);
}
void BM_EntryTwoOfThree(benchmark::State& state) { runEntry(state, {"12/07/1941", "", "", "", ""}, false, false); }

}  // namespace

BENCHMARK(BM_EntryBirthYears);
BENCHMARK(BM_EntryBirthDate);
BENCHMARK(BM_EntryEventRange);
BENCHMARK(BM_EntryEventDate);
BENCHMARK(BM_EntryAge);
BENCHMARK(BM_EntryAgeAbbreviated);
BENCHMARK(BM_EntryTwoOfThree);
BENCHMARK(BM_LongJunk)->DenseRange(0, 3);
BENCHMARK(BM_CalculateBirth);
BENCHMARK(BM_CalculateBirthDate);
BENCHMARK(BM_CalculateEvent);
BENCHMARK(BM_CalculateAge);
BENCHMARK(BM_FormatDateText)->Arg(0)->Arg(3);
BENCHMARK_MAIN();
