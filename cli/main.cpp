// quillark-calc: the date calculator's engine on the command line.
//   single mode: the five field texts of one request, answered as the window
//   answers them; batch mode: one request per CSV row, streamed.
#include <array>
#include <chrono>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <vector>
#include <string>
#include <system_error>

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "batch.h"
#include "census.h"
#include "citation.h"
#include "date_text.h"
#include "people.h"
#include "researcher_forms.h"
#include "session.h"
#include "shown_texts.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

using namespace quillark;

constexpr const char* ProgramName = "quillark-calc";

// Exit codes.
constexpr int ExitOk = 0;
constexpr int ExitRowErrors = 1;      // batch: some row reports an error; --record: some record
constexpr int ExitEntryError = 2;     // single: "Illegal Date"; batch: input unreadable
constexpr int ExitInputError = 2;
constexpr int ExitCalculation = 3;    // single: one of the calculation's errors
constexpr int ExitUsage = 64;

bool isTerminal(std::FILE* file) {
#ifdef _WIN32
    return _isatty(_fileno(file)) != 0;
#else
    return isatty(fileno(file)) != 0;
#endif
}

// CSV goes through byte for byte; the Windows C runtime would otherwise turn
// LF into CR LF on the way out and drop CRs on the way in.
void setBinary(std::FILE* file) {
#ifdef _WIN32
    _setmode(_fileno(file), _O_BINARY);
#else
    (void)file;
#endif
}

void writeOut(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }

// The JSON holds the texts as bytes from the user's code page; a byte that
// is not UTF-8 is replaced rather than failing the whole answer.
std::string dumpJson(const nlohmann::ordered_json& value) {
    return value.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

// An open end, or no window at all, is null.
nlohmann::ordered_json textOrNull(std::string_view text) {
    return text.empty() ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(std::string(text));
}

// "Years: 40", the label alone for an empty field.
void appendFieldLine(std::string& lines, size_t field, std::string_view value) {
    lines.append(FieldLabels[field]);
    value = trimBlanks(value);
    if (!value.empty()) lines.append(" ").append(value);
    lines.push_back('\n');
}

// shownYears: the years as written, where a census rule read them otherwise.
int runSingle(const SessionInput& input, bool json, std::optional<GedcomVersion> gedcom,
              Citation& citation, const std::string* shownYears = nullptr) {
    SessionResult result = runSession(input);
    citeAnswer(result, gedcom, citation);
    if (shownYears != nullptr && result.outcome == SessionOutcome::Ok) result.fields[1] = *shownYears;
    if (!json) {
        for (const std::string& warning : citation.warnings)
            std::fprintf(stderr, "%s: warning: %s\n", ProgramName, warning.c_str());
    }
    if (result.outcome != SessionOutcome::Ok) {
        if (json) {
            nlohmann::ordered_json error;
            error["error"]["caption"] = result.caption;
            error["error"]["text"] = result.text;
            error["warnings"] = citation.warnings;
            writeOut(dumpJson(error));
        } else {
            std::fprintf(stderr, "%s: %s\n", result.caption.c_str(), result.text.c_str());
        }
        return result.outcome == SessionOutcome::IllegalDate ? ExitEntryError : ExitCalculation;
    }
    if (json) {
        nlohmann::ordered_json answer;
        for (size_t i = 0; i < result.fields.size(); ++i) answer[std::string(FieldKeys[i])] = result.fields[i];
        answer["missing"] = std::string(missingFactName(result.missing));
        answer["earliest"] = textOrNull(citationText(citation, CitationText::Earliest));
        answer["latest"] = textOrNull(citationText(citation, CitationText::Latest));
        if (gedcom) answer["gedcom"] = textOrNull(citationText(citation, CitationText::Gedcom));
        answer["warnings"] = citation.warnings;
        writeOut(dumpJson(answer));
    } else {
        std::string lines;
        for (size_t i = 0; i < result.fields.size(); ++i) appendFieldLine(lines, i, result.fields[i]);
        const std::string window = windowLine(citation, input.abbreviated, input.weekDay);
        if (!window.empty()) lines.append(window).push_back('\n');
        if (citation.gedcom)
            lines.append("GEDCOM: ").append(citationText(citation, CitationText::Gedcom)).push_back('\n');
        writeOut(lines);
    }
    return ExitOk;
}

// One --record option: "event=...;years=...;census=..." with any of the
// parts event, years, months, days, birth and census.
struct RecordRequest {
    std::array<std::string, 5> fields;
    std::string census;
};

bool parseRecord(std::string_view text, size_t number, RecordRequest& record) {
    static constexpr std::string_view Parts[] = {"event", "years", "months", "days", "birth", "census"};
    while (!text.empty()) {
        const size_t end = std::min(text.find(';'), text.size());
        const std::string_view part = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (trimBlanks(part).empty()) continue;
        const size_t equals = part.find('=');
        const std::string_view key = trimBlanks(part.substr(0, std::min(equals, part.size())));
        size_t k = 0;
        while (k < std::size(Parts) && !equalsIgnoringCase(key, Parts[k])) ++k;
        if (equals == std::string_view::npos || k == std::size(Parts)) {
            std::fprintf(stderr,
                         "%s: --record %zu: '%.*s' is not one of event=, years=, months=, days=, birth=, "
                         "census=; see %s --help\n",
                         ProgramName, number, static_cast<int>(part.size()), part.data(), ProgramName);
            return false;
        }
        const std::string_view value = trimBlanks(part.substr(equals + 1));
        (k < 5 ? record.fields[k] : record.census).assign(value);
    }
    return true;
}

// Several records of one person: each answered as the single mode answers
// it, then the birth window they all allow, as the people file gives it
// with record numbers for line numbers.
int runRecords(const std::vector<std::string>& texts, bool abbreviated, bool weekDay, bool json,
               std::optional<GedcomVersion> gedcom) {
    std::vector<RecordRequest> records(texts.size());
    for (size_t i = 0; i < texts.size(); ++i)
        if (!parseRecord(texts[i], i + 1, records[i])) return ExitUsage;

    PeopleTable people;
    constexpr std::string_view Person = "person";
    nlohmann::ordered_json answers = nlohmann::ordered_json::array();
    std::string lines;
    bool anyFailed = false;
    Session session;
    Citation citation;
    for (size_t i = 0; i < records.size(); ++i) {
        RecordRequest& record = records[i];
        citation.clear();
        translateResearcherForms(record.fields, citation.warnings);
        SessionInput input;
        input.abbreviated = abbreviated;
        input.weekDay = weekDay;
        for (size_t k = 0; k < 5; ++k) input.fields[k] = record.fields[k];
        CensusRequest census;
        if (!record.census.empty()) applyCensus(record.census, record.fields, census, input.fields, citation.warnings);
        nlohmann::ordered_json answer;
        answer["record"] = i + 1;
        if (!json) lines.append("Record ").append(std::to_string(i + 1)).append(":\n");
        const SessionResult* result = census.error.empty() ? &session.run(input) : nullptr;
        if (result != nullptr) citeAnswer(*result, gedcom, citation);
        for (const std::string& warning : citation.warnings) {
            if (!json) lines.append("  Warning: ").append(warning).append("\n");
        }
        if (result == nullptr || result->outcome != SessionOutcome::Ok) {
            const std::string error = result == nullptr ? "Census error: " + census.error
                                                        : result->caption + ": " + result->text;
            anyFailed = true;
            people.addUnusable(Person);
            answer["error"] = error;
            answer["warnings"] = citation.warnings;
            if (!json) lines.append("  ").append(error).append("\n");
            answers.push_back(std::move(answer));
            continue;
        }
        for (size_t k = 0; k < FieldKeys.size(); ++k) {
            // The years as written, not as a census rule reads them.
            const std::string& value = k == 1 && !record.census.empty() ? record.fields[1] : result->fields[k];
            answer[std::string(FieldKeys[k])] = value;
            if (!json) appendFieldLine(lines.append("  "), k, value);
        }
        answer["missing"] = std::string(missingFactName(result->missing));
        if (!record.census.empty()) answer["census"] = record.census;
        answer["earliest"] = textOrNull(citationText(citation, CitationText::Earliest));
        answer["latest"] = textOrNull(citationText(citation, CitationText::Latest));
        if (gedcom) answer["gedcom"] = textOrNull(citationText(citation, CitationText::Gedcom));
        answer["warnings"] = citation.warnings;
        if (!json) {
            const std::string window = windowLine(citation, abbreviated, weekDay);
            if (!window.empty()) lines.append("  ").append(window).push_back('\n');
        }
        if (const std::optional<DateWindow> window =
                recordBirthWindow(result->fields, result->missing, result->inputs)) {
            people.add(Person, i + 1, *window);
        } else {
            people.addUnusable(Person);
        }
        answers.push_back(std::move(answer));
    }

    const PersonSummary s = people.summary(0);
    const auto isoOrNull = [](const std::optional<std::chrono::year_month_day>& date) {
        return textOrNull(isoDateText(date));
    };
    const std::optional<std::string> personGedcom =
        gedcom && s.status == PersonStatus::Ok ? gedcomDateValue(s.birth, *gedcom) : std::nullopt;
    if (json) {
        nlohmann::ordered_json person;
        person["records"] = s.records;
        person["birth_earliest"] = isoOrNull(s.birth.earliest);
        person["birth_latest"] = isoOrNull(s.birth.latest);
        if (gedcom) person["birth_gedcom"] = textOrNull(personGedcom.value_or(std::string()));
        person["status"] = std::string(personStatusName(s.status));
        if (s.status == PersonStatus::Conflict) {
            person["conflict_records"] = {s.conflictLines[0], s.conflictLines[1]};
            if (s.outlierLine) {
                person["outlier_record"] = *s.outlierLine;
                person["without_outlier_earliest"] = isoOrNull(s.withoutOutlier.earliest);
                person["without_outlier_latest"] = isoOrNull(s.withoutOutlier.latest);
            }
        }
        nlohmann::ordered_json whole;
        whole["records"] = std::move(answers);
        whole["person"] = std::move(person);
        writeOut(dumpJson(whole));
    } else {
        const auto between = [](const DateWindow& w) {
            return (w.earliest ? isoDateText(w.earliest) : std::string("any day")) + " and " +
                   (w.latest ? isoDateText(w.latest) : std::string("any day"));
        };
        lines.append("Person: ");
        if (s.status == PersonStatus::Ok) {
            lines.append("born between ").append(between(s.birth));
            if (personGedcom) lines.append(" (GEDCOM: ").append(*personGedcom).append(")");
        } else if (s.status == PersonStatus::NoWindow) {
            lines.append("no record gives a birth window");
        } else {
            lines.append("records ").append(std::to_string(s.conflictLines[0])).append(" and ")
                .append(std::to_string(s.conflictLines[1])).append(" have no birth date in common");
            if (s.outlierLine) {
                lines.append("; without record ").append(std::to_string(*s.outlierLine))
                    .append(": born between ").append(between(s.withoutOutlier));
            }
        }
        lines.push_back('\n');
        writeOut(lines);
    }
    return anyFailed ? ExitRowErrors : ExitOk;
}

// A progress line on a terminal, redrawn at most four times a second.
class ProgressLine {
public:
    explicit ProgressLine(bool enabled) : enabled_(enabled), start_(Clock::now()), last_(start_) {}

    void update(uint64_t rows) {
        if (!enabled_) return;
        const Clock::time_point now = Clock::now();
        if (now - last_ < std::chrono::milliseconds(250)) return;
        last_ = now;
        print(rows, now);
    }
    void finish(uint64_t rows) {
        if (!enabled_) return;
        print(rows, Clock::now());
        std::fputc('\n', stderr);
    }

private:
    using Clock = std::chrono::steady_clock;
    void print(uint64_t rows, Clock::time_point now) {
        const double seconds = std::chrono::duration<double>(now - start_).count();
        const double rate = seconds > 0 ? static_cast<double>(rows) / seconds : 0.0;
        std::fprintf(stderr, "\r%s: %" PRIu64 " rows, %.0f rows/s   ", ProgramName, rows, rate);
        std::fflush(stderr);
    }

    bool enabled_;
    Clock::time_point start_;
    Clock::time_point last_;
};

int runProgram(int argc, char** argv);

int runCsv(const std::string& inputPath, const std::string& outputPath, bool abbreviated,
           bool weekDay, bool window, std::optional<GedcomVersion> gedcom, const std::string& personColumn,
           const std::string& peoplePath) {
    const bool fromStdin = inputPath == "-";
    const std::string inputName = fromStdin ? std::string("standard input") : "'" + inputPath + "'";
    for (const std::string* written : {&outputPath, &peoplePath}) {
        if (fromStdin || written->empty()) continue;
        std::error_code ec;
        if (std::filesystem::equivalent(inputPath, *written, ec)) {
            std::fprintf(stderr, "%s: the output file is the input file '%s'; see %s --help\n",
                         ProgramName, inputPath.c_str(), ProgramName);
            return ExitUsage;
        }
    }
    if (peoplePath == "-") {
        // Standard output already carries the rows; the people need a file.
        std::fprintf(stderr, "%s: --people needs a file name, not -; see %s --help\n", ProgramName, ProgramName);
        return ExitUsage;
    }
    if (!peoplePath.empty() && !outputPath.empty()) {
        std::error_code ec;
        if (peoplePath == outputPath || std::filesystem::equivalent(peoplePath, outputPath, ec)) {
            std::fprintf(stderr, "%s: --people and --output name the same file '%s'; see %s --help\n",
                         ProgramName, peoplePath.c_str(), ProgramName);
            return ExitUsage;
        }
    }

    std::FILE* in = stdin;
    if (fromStdin) {
        setBinary(stdin);
    } else {
        std::error_code ec;
        if (std::filesystem::is_directory(inputPath, ec)) {
            std::fprintf(stderr, "%s: cannot read %s: it is a directory\n", ProgramName,
                         inputName.c_str());
            return ExitInputError;
        }
        in = std::fopen(inputPath.c_str(), "rb");
        if (in == nullptr) {
            std::fprintf(stderr, "%s: cannot read %s: %s\n", ProgramName, inputName.c_str(),
                         std::strerror(errno));
            return ExitInputError;
        }
    }

    std::FILE* out = stdout;
    if (outputPath.empty() || outputPath == "-") {
        setBinary(stdout);
    } else {
        out = std::fopen(outputPath.c_str(), "wb");
        if (out == nullptr) {
            std::fprintf(stderr, "%s: cannot write '%s': %s\n", ProgramName, outputPath.c_str(),
                         std::strerror(errno));
            if (in != stdin) std::fclose(in);
            return ExitInputError;
        }
    }

    ProgressLine progress(isTerminal(stderr));
    BatchOptions options;
    options.abbreviated = abbreviated;
    options.weekDay = weekDay;
    options.window = window;
    options.gedcom = gedcom;
    PeopleTable people;
    options.personColumn = personColumn;
    options.people = &people;
    options.progress = [&progress](uint64_t rows) { progress.update(rows); };

    FileSource source(in);
    FileSink sink(out);
    BatchResult result = runBatch(source, sink, options);
    progress.finish(result.rows);

    // The people file is written once the whole input is read; a run that
    // could not read its input writes none rather than a partial one.
    bool peopleFailed = false;
    if (!peoplePath.empty() && result.status != BatchStatus::InputError) {
        std::FILE* peopleFile = std::fopen(peoplePath.c_str(), "wb");
        if (peopleFile == nullptr) {
            std::fprintf(stderr, "%s: cannot write '%s': %s\n", ProgramName, peoplePath.c_str(),
                         std::strerror(errno));
            peopleFailed = true;
        } else {
            FileSink peopleSink(peopleFile);
            const bool written = writePeople(people, peopleSink, trimBlanks(personColumn), gedcom);
            if (std::fclose(peopleFile) != 0 || !written) {
                std::fprintf(stderr, "%s: cannot write '%s'\n", ProgramName, peoplePath.c_str());
                peopleFailed = true;
            }
        }
    }

    if (in != stdin) std::fclose(in);
    bool outputFailed = result.status == BatchStatus::OutputError;
    if (out != stdout) {
        if (std::fclose(out) != 0) outputFailed = true;
    } else if (std::fflush(stdout) != 0) {
        outputFailed = true;
    }

    if (result.status == BatchStatus::InputError) {
        std::fprintf(stderr, "%s: cannot read %s: %s\n", ProgramName, inputName.c_str(),
                     result.message.c_str());
        return ExitInputError;
    }
    if (outputFailed) {
        const std::string outputName =
            out == stdout ? std::string("standard output") : "'" + outputPath + "'";
        std::fprintf(stderr, "%s: cannot write %s\n", ProgramName, outputName.c_str());
        return ExitInputError;
    }
    if (peopleFailed) return ExitInputError;
    if (result.failedRows > 0) {
        std::fprintf(stderr, "%s: %" PRIu64 " of %" PRIu64 " rows have errors (see their status)\n",
                     ProgramName, result.failedRows, result.rows);
        return ExitRowErrors;
    }
    return ExitOk;
}

}  // namespace

int main(int argc, char** argv) {
    // Nothing below is expected to throw once the options are parsed; should
    // the C++ library still do so (out of memory, a file name the system
    // cannot convert), say so in one line instead of aborting.
    try {
        return runProgram(argc, argv);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", ProgramName, error.what());
        return ExitInputError;
    }
}

namespace {

int runProgram(int argc, char** argv) {
    CLI::App app{"Works out the missing one of three facts: the date of an event, the age at\n"
                 "that event, and the date of birth, as the Quillark window does.",
                 ProgramName};
    app.set_version_flag("--version", std::string(ProgramName) + " " QUILLARK_VERSION);

    std::string event, years, months, days, birth, csvPath, outputPath, gedcomName, census, personColumn,
        peoplePath;
    std::vector<std::string> records;
    bool abbreviated = false, weekDay = false, json = false, window = false;

    CLI::Option* eventOpt = app.add_option("--event", event, "Date of event (mm/dd/yyyy, mm/yyyy, yyyy, Dec 7, 1941)");
    CLI::Option* yearsOpt = app.add_option("--years", years, "Age in years (30, 20-30, -5, 60+)");
    CLI::Option* monthsOpt = app.add_option("--months", months, "Age: months");
    CLI::Option* daysOpt = app.add_option("--days", days, "Age: days");
    CLI::Option* birthOpt = app.add_option("--birth", birth, "Date of birth");
    app.add_flag("--abbreviated", abbreviated, "Show month abbreviated (Dec 7, 1941)");
    app.add_flag("--weekday", weekDay, "Show week day ([Su]) after a full date");
    CLI::Option* jsonOpt = app.add_flag("--json", json, "Answer as one JSON object");
    app.add_option("--gedcom", gedcomName, "Add the answer as a GEDCOM date or age (5.5.1 or 7)")
        ->type_name("VERSION");
    CLI::Option* csvOpt = app.add_option("--csv", csvPath,
                                         "Batch: read rows from a CSV file (- for standard input)")
                                ->type_name("FILE");
    CLI::Option* outputOpt =
        app.add_option("--output", outputPath, "Batch: write to this file instead of standard output")
            ->type_name("FILE");
    // The five fields of a single request, which a batch or records replace.
    const std::array<CLI::Option*, 5> fieldOpts = {eventOpt, yearsOpt, monthsOpt, daysOpt, birthOpt};
    for (CLI::Option* field : fieldOpts) csvOpt->excludes(field);
    csvOpt->excludes(jsonOpt);
    CLI::Option* windowOpt = app.add_flag(
        "--window", window, "Batch: add the earliest and latest possible date (or age) of each answer");
    outputOpt->needs(csvOpt);
    windowOpt->needs(csvOpt);
    CLI::Option* censusOpt = app.add_option("--census", census,
                                            "Census preset (EW1841 ... EW1921, US1790 ... US1950): its day is the\n"
                                            "event date and its age rule applies; 'list' prints the table")
                                 ->type_name("NAME");
    CLI::Option* recordOpt =
        app.add_option("--record", records,
                       "One record of a person, \"event=...;years=...;census=...\" (also months=, days=,\n"
                       "birth=); repeat for each record: the birth window they all allow")
            ->type_name("TEXT");
    CLI::Option* personOpt =
        app.add_option("--person", personColumn, "Batch: the column naming the person each row is about")
            ->type_name("COLUMN");
    CLI::Option* peopleOpt =
        app.add_option("--people", peoplePath, "Batch: write one row per person (with --person) to this file")
            ->type_name("FILE");
    csvOpt->excludes(censusOpt)->excludes(recordOpt);
    for (CLI::Option* field : fieldOpts) recordOpt->excludes(field);
    recordOpt->excludes(censusOpt);
    personOpt->needs(csvOpt);
    peopleOpt->needs(personOpt);
    personOpt->needs(peopleOpt);
    app.footer(
        "Exit codes: 0 done; 1 some CSV row or --record has an error; 2 \"Illegal Date\", an\n"
        "event date that is not the census day, or an unreadable input; 3 a calculation error;\n"
        "64 a usage error.");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        if (error.get_exit_code() == 0) return app.exit(error);  // --help, --version
        std::fprintf(stderr, "%s: %s; see %s --help\n", ProgramName, error.what(), ProgramName);
        return ExitUsage;
    }

    std::optional<GedcomVersion> gedcom;
    if (!gedcomName.empty()) {
        gedcom = gedcomVersion(gedcomName);
        if (!gedcom) {
            std::fprintf(stderr, "%s: --gedcom takes 5.5.1 or 7, not '%s'; see %s --help\n", ProgramName,
                         gedcomName.c_str(), ProgramName);
            return ExitUsage;
        }
    }

    if (!csvPath.empty() || csvOpt->count() > 0) {
        if (csvPath.empty()) {
            std::fprintf(stderr, "%s: --csv needs a file name or -; see %s --help\n", ProgramName,
                         ProgramName);
            return ExitUsage;
        }
        return runCsv(csvPath, outputPath, abbreviated, weekDay, window, gedcom, personColumn, peoplePath);
    }
    if (!records.empty()) return runRecords(records, abbreviated, weekDay, json, gedcom);
    if (censusOpt->count() > 0 && equalsIgnoringCase(trimBlanks(census), "list")) {
        writeOut(censusListText());
        return ExitOk;
    }

    // The forms researchers copy from their sources become the window's own.
    std::array<std::string, 5> fields = {event, years, months, days, birth};
    Citation citation;
    translateResearcherForms(fields, citation.warnings);
    SessionInput input;
    for (size_t i = 0; i < fields.size(); ++i) input.fields[i] = fields[i];
    input.abbreviated = abbreviated;
    input.weekDay = weekDay;
    if (censusOpt->count() == 0) return runSingle(input, json, gedcom, citation);

    CensusRequest request;
    if (!applyCensus(census, fields, request, input.fields, citation.warnings)) {
        std::fprintf(stderr, "%s: census: %s\n", ProgramName, request.error.c_str());
        return findCensus(census) == nullptr ? ExitUsage : ExitEntryError;
    }
    return runSingle(input, json, gedcom, citation, &fields[1]);
}

}  // namespace
