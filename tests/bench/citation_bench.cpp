// What citing an answer costs per batch row: the engine's answer alone, and
// then with the window of possible dates (and its GEDCOM form) worked out
// and written.
// Rows are transcription-like (full event dates, ages in whole years) and
// varied, so that branches see what a real file gives them. Run with
//   build/host/tests/bench/citation_bench --benchmark_repetitions=10
//       --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "citation.h"
#include "entry.h"

namespace {

struct Row {
    std::string event, years;
};

const std::vector<Row>& rows() {
    static const std::vector<Row> Rows = [] {
        std::vector<Row> rows(4096);
        std::mt19937 random(1841);
        for (Row& row : rows) {
            // Any day of 1700 to 2099.
            using namespace std::chrono;
            const year_month_day day{sys_days{1700y / January / 1} + days{random() % 146097}};
            char date[16];
            std::snprintf(date, sizeof date, "%02u/%02u/%04d", static_cast<unsigned>(day.month()),
                          static_cast<unsigned>(day.day()), static_cast<int>(day.year()));
            row.event = date;
            row.years = std::to_string(random() % 100);
        }
        return rows;
    }();
    return Rows;
}

void run(benchmark::State& state, bool cite, std::optional<quillark::GedcomVersion> gedcom) {
    EntryRequest request;
    EntryAnswer answer;
    quillark::Citation citation;
    char text[3 * quillark::CitationTextBytes];
    size_t i = 0;
    for (auto _ : state) {
        const Row& row = rows()[i++ % rows().size()];
        request.fields = {row.event, row.years, {}, {}, {}};
        answerRequest(request, answer);
        if (cite) {
            citation.clear();
            quillark::citeAnswer(answer.fields, answer.missing, answer.box == EntryBox::None, answer.inputs,
                                 gedcom, citation);
            char* out = text;
            for (auto which : {quillark::CitationText::Earliest, quillark::CitationText::Latest,
                               quillark::CitationText::Gedcom})
                out = quillark::writeCitationText(out, citation, which);
            benchmark::DoNotOptimize(out);
        }
        benchmark::DoNotOptimize(answer.fields[4].data());
    }
}

void BM_Answer(benchmark::State& state) { run(state, false, std::nullopt); }
void BM_AnswerWindow(benchmark::State& state) { run(state, true, std::nullopt); }
void BM_AnswerWindowGedcom(benchmark::State& state) { run(state, true, quillark::GedcomVersion::V7); }

}  // namespace

BENCHMARK(BM_Answer);
BENCHMARK(BM_AnswerWindow);
BENCHMARK(BM_AnswerWindowGedcom);
BENCHMARK_MAIN();
