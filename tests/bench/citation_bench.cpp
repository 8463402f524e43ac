// What citing an answer costs per batch row, beside what the engine's answer
// itself costs: the window of possible dates (and its GEDCOM form) worked
// out from an answer and written.
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

// A power of two, so that stepping through the rows costs no division.
constexpr size_t RowCount = 4096;

struct Row {
    std::string event, years;
};

const std::vector<Row>& rows() {
    static const std::vector<Row> Rows = [] {
        std::vector<Row> rows(RowCount);
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

// The engine's answers to the rows, worked out once.
const std::vector<EntryAnswer>& answers() {
    static const std::vector<EntryAnswer> Answers = [] {
        std::vector<EntryAnswer> answers(rows().size());
        EntryRequest request;
        for (size_t i = 0; i < answers.size(); ++i) {
            request.fields = {rows()[i].event, rows()[i].years, {}, {}, {}};
            answerRequest(request, answers[i]);
        }
        return answers;
    }();
    return Answers;
}

void BM_Answer(benchmark::State& state) {
    EntryRequest request;
    EntryAnswer answer;
    size_t i = 0;
    for (auto _ : state) {
        const Row& row = rows()[i++ % RowCount];
        request.fields = {row.event, row.years, {}, {}, {}};
        answerRequest(request, answer);
        benchmark::DoNotOptimize(answer.fields[4].data());
    }
}

// The citation of an answer already worked out, and its texts written as the
// batch writes them.
void cite(benchmark::State& state, std::optional<quillark::GedcomVersion> gedcom) {
    const std::vector<EntryAnswer>& list = answers();
    quillark::Citation citation;
    std::vector<std::string> warnings;
    char text[3 * quillark::CitationTextBytes];
    size_t i = 0;
    for (auto _ : state) {
        const EntryAnswer& answer = list[i++ % RowCount];
        citation.clear();
        warnings.clear();
        quillark::citeAnswer(answer, gedcom, citation, warnings);
        char* out = text;
        for (auto which : {quillark::CitationText::Earliest, quillark::CitationText::Latest,
                           quillark::CitationText::Gedcom})
            out = quillark::writeCitationText(out, citation, which);
        benchmark::DoNotOptimize(out);
    }
}

void BM_CiteWindow(benchmark::State& state) { cite(state, std::nullopt); }
void BM_CiteWindowGedcom(benchmark::State& state) { cite(state, quillark::GedcomVersion::V7); }

}  // namespace

BENCHMARK(BM_Answer);
BENCHMARK(BM_CiteWindow);
BENCHMARK(BM_CiteWindowGedcom);
BENCHMARK_MAIN();
