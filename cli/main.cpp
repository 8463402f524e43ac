// quillark-calc: the research pipeline on the command line.
//   single mode: the five field texts of one request, answered as the window
//   answers them; records: several requests about one person; batch mode:
//   one request per CSV row, streamed; audit: a GEDCOM family tree's ages
//   and dates set against the births it records.
// Everything worth knowing about an answer is worked out in the genealogy
// layer; this file reads the options, picks the mode and prints.
#include <array>
#include <cerrno>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "audit_report.h"
#include "batch.h"
#include "command_line.h"
#include "date_text.h"
#include "people.h"
#include "render.h"
#include "research.h"
#include "tree_audit.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

using namespace quillark;

constexpr const char* ProgramName = "quillark-calc";

// What the exit status tells a script.
enum class Exit : int {
    Ok = 0,
    SomeFailed = 1,     // a CSV row or a --record reports an error, or an audited tree disagrees
    IllegalDate = 2,    // a date is no date, or the event date is not the census day
    Unreadable = 2,     // the input cannot be read
    Calculation = 3,    // one of the calculation's errors
    Usage = 64,         // the options do not make a request
    WriteFailed = 74,   // the output could not be written
};

int code(Exit exit) { return static_cast<int>(exit); }

// Everything the command line said.
struct Options {
    std::array<std::string, FieldCount> fields;  // --event, --years, --months, --days, --birth
    bool abbreviated = false;
    bool weekDay = false;
    bool json = false;
    bool window = false;
    std::optional<GedcomVersion> gedcom;
    std::string census;
    bool censusGiven = false;
    std::vector<std::string> records;
    std::string csv;
    bool csvGiven = false;
    std::string output;
    std::string personColumn;
    std::string people;
    std::optional<Date> gregorianFrom;  // dates before it whose calendar is not named are Julian
    std::string audit;      // a GEDCOM file to check
    bool auditGiven = false;
    bool all = false;       // --audit: a row for every individual
    bool noTextAges = false;  // --audit: ages only from AGE lines
};

void usageError(const std::string& message) {
    std::fprintf(stderr, "%s: %s; see %s --help\n", ProgramName, message.c_str(), ProgramName);
}

// A file this program opened, closed when it goes out of scope; standard
// streams are borrowed, never closed.
class File {
public:
    File() = default;
    File(std::FILE* file, bool owned) : file_(file), owned_(owned) {}
    File(File&& other) noexcept : file_(other.file_), owned_(other.owned_) { other.file_ = nullptr; }
    File& operator=(File&& other) noexcept {
        if (this != &other) {
            close();
            file_ = other.file_;
            owned_ = other.owned_;
            other.file_ = nullptr;
        }
        return *this;
    }
    ~File() { close(); }
    std::FILE* get() const { return file_; }
    explicit operator bool() const { return file_ != nullptr; }
    // Closes an owned file (flushes a standard one); false when what was
    // written did not all reach it.
    bool close() {
        if (file_ == nullptr) return true;
        const bool ok = owned_ ? std::fclose(file_) == 0 : std::fflush(file_) == 0 && std::ferror(file_) == 0;
        file_ = nullptr;
        return ok;
    }

private:
    std::FILE* file_ = nullptr;
    bool owned_ = false;
};

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

// Writes what a mode printed to standard output; a failed write is said.
Exit printed(const std::string& text, Exit exit) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
        std::fprintf(stderr, "%s: cannot write standard output\n", ProgramName);
        return Exit::WriteFailed;
    }
    return exit;
}

// A request of the single mode or of one record: the five fields and a
// census, with the display and citation the options ask for.
ResearchRequest citedRequest(const Options& options, const std::array<std::string, FieldCount>& fields,
                             std::string_view census) {
    ResearchRequest request;
    for (size_t i = 0; i < FieldCount; ++i) request.fields[i] = fields[i];
    request.census = census;
    request.abbreviated = options.abbreviated;
    request.weekDay = options.weekDay;
    request.cite = true;
    request.gedcom = options.gedcom;
    request.gregorianFrom = options.gregorianFrom;
    return request;
}

// --- single mode -------------------------------------------------------------

Exit runSingle(const Options& options) {
    const ResearchAnswer answer = answerResearch(citedRequest(options, options.fields, options.census));

    if (answer.outcome == ResearchOutcome::CensusError) {
        std::fprintf(stderr, "%s: census: %s\n", ProgramName, censusFailureText(answer.censusFailure).c_str());
        return answer.censusFailure.problem == CensusProblem::UnknownName ? Exit::Usage : Exit::IllegalDate;
    }
    if (!options.json) {
        for (const std::string& warning : answer.warnings)
            std::fprintf(stderr, "%s: warning: %s\n", ProgramName, warning.c_str());
    }
    if (answer.outcome != ResearchOutcome::Ok) {
        const Exit exit = answer.outcome == ResearchOutcome::IllegalDate ? Exit::IllegalDate : Exit::Calculation;
        if (!options.json) {
            std::fprintf(stderr, "%s\n", failureText(answer).c_str());
            return exit;
        }
        return printed(failureJsonText(answer), exit);
    }
    if (options.json) return printed(answerJsonText(answer, options.gedcom), Exit::Ok);
    std::string lines;
    appendAnswerLines(lines, answer, options.abbreviated, options.weekDay, "");
    if (answer.citation.gedcom)
        lines.append("GEDCOM: ").append(citationText(answer.citation, CitationText::Gedcom)).push_back('\n');
    return printed(lines, Exit::Ok);
}

// --- records of one person ---------------------------------------------------

// One --record option: "event=...;years=...;census=..." with any of the
// parts event, years, months, days, birth and census.
struct RecordRequest {
    std::array<std::string, FieldCount> fields;
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
        (k < FieldCount ? record.fields[k] : record.census).assign(value);
    }
    return true;
}

// Several records of one person: each answered as the single mode answers
// it, then the birth window they all allow, as the people file gives it
// with record numbers for line numbers.
Exit runRecords(const Options& options) {
    std::vector<RecordRequest> records(options.records.size());
    for (size_t i = 0; i < records.size(); ++i)
        if (!parseRecord(options.records[i], i + 1, records[i])) return Exit::Usage;

    PeopleTable people;
    constexpr std::string_view Person = "person";
    RecordsJson answers;
    std::string lines;
    bool anyFailed = false;
    ResearchPipeline pipeline;
    for (size_t i = 0; i < records.size(); ++i) {
        const RecordRequest& record = records[i];
        ResearchRequest request = citedRequest(options, record.fields, record.census);
        request.birthWindow = true;
        const ResearchAnswer& answer = pipeline.answer(request);

        if (!options.json) {
            lines.append("Record ").append(std::to_string(i + 1)).append(":\n");
            for (const std::string& warning : answer.warnings) lines.append("  Warning: ").append(warning).append("\n");
        }
        if (answer.outcome != ResearchOutcome::Ok) {
            const std::string error = failureText(answer);
            anyFailed = true;
            people.addUnusable(Person);
            answers.addFailure(i + 1, error, answer.warnings);
            if (!options.json) lines.append("  ").append(error).append("\n");
            continue;
        }
        answers.addAnswer(i + 1, answer, options.gedcom, record.census);
        if (!options.json) appendAnswerLines(lines, answer, options.abbreviated, options.weekDay, "  ");
        if (answer.birthWindow) {
            people.add(Person, i + 1, *answer.birthWindow);
        } else {
            people.addUnusable(Person);
        }
    }

    const PersonSummary summary = people.summary(0);
    const Exit exit = anyFailed ? Exit::SomeFailed : Exit::Ok;
    if (options.json) return printed(answers.text(summary, options.gedcom), exit);
    return printed(lines + personLine(summary, options.gedcom), exit);
}

// --- batch ---------------------------------------------------------------------

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

// The same file under two names (or one name twice).
bool sameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    return a == b || std::filesystem::equivalent(a, b, ec);
}

// Checks the file names of a batch before anything is opened.
bool batchFilesMakeSense(const Options& o) {
    const bool fromStdin = o.csv == "-";
    for (const std::string* written : {&o.output, &o.people}) {
        if (fromStdin || written->empty()) continue;
        if (sameFile(o.csv, *written)) {
            usageError("the output file is the input file '" + o.csv + "'");
            return false;
        }
    }
    if (o.people == "-") {
        // Standard output already carries the rows; the people need a file.
        usageError("--people needs a file name, not -");
        return false;
    }
    if (!o.people.empty() && !o.output.empty() && sameFile(o.people, o.output)) {
        usageError("--people and --output name the same file '" + o.people + "'");
        return false;
    }
    return true;
}

// Opens a file named on the command line for reading, "-" for standard
// input; its name as messages give it in shownName. False, the reason said,
// when it cannot be read.
bool openInput(const std::string& name, File& in, std::string& shownName) {
    if (name == "-") {
        shownName = "standard input";
        setBinary(stdin);
        in = File(stdin, false);
        return true;
    }
    shownName = "'" + name + "'";
    std::error_code ec;
    if (std::filesystem::is_directory(name, ec)) {
        std::fprintf(stderr, "%s: cannot read %s: it is a directory\n", ProgramName, shownName.c_str());
        return false;
    }
    in = File(std::fopen(name.c_str(), "rb"), true);
    if (!in) {
        std::fprintf(stderr, "%s: cannot read %s: %s\n", ProgramName, shownName.c_str(), std::strerror(errno));
        return false;
    }
    return true;
}

// Opens --output for writing, standard output when it is empty or "-"; the
// same for its name and failure.
bool openOutput(const std::string& name, File& out, std::string& shownName) {
    if (name.empty() || name == "-") {
        shownName = "standard output";
        setBinary(stdout);
        out = File(stdout, false);
        return true;
    }
    shownName = "'" + name + "'";
    out = File(std::fopen(name.c_str(), "wb"), true);
    if (!out) {
        std::fprintf(stderr, "%s: cannot write %s: %s\n", ProgramName, shownName.c_str(), std::strerror(errno));
        return false;
    }
    return true;
}

Exit runCsv(const Options& o) {
    if (o.csv.empty()) {
        usageError("--csv needs a file name or -");
        return Exit::Usage;
    }
    if (!batchFilesMakeSense(o)) return Exit::Usage;
    File in, out;
    std::string inputName, outputName;
    if (!openInput(o.csv, in, inputName)) return Exit::Unreadable;
    if (!openOutput(o.output, out, outputName)) return Exit::WriteFailed;

    ProgressLine progress(isTerminal(stderr));
    BatchOptions options;
    options.abbreviated = o.abbreviated;
    options.weekDay = o.weekDay;
    options.window = o.window;
    options.gedcom = o.gedcom;
    options.gregorianFrom = o.gregorianFrom;
    PeopleTable people;
    options.personColumn = o.personColumn;
    options.people = &people;
    options.progress = [&progress](uint64_t rows) { progress.update(rows); };

    FileSource source(in.get());
    FileSink sink(out.get());
    const BatchResult result = runBatch(source, sink, options);
    progress.finish(result.rows);

    // The people file is written once the whole input is read; a run that
    // could not read its input writes none rather than a partial one.
    bool peopleFailed = false;
    if (!o.people.empty() && result.status != BatchStatus::InputError) {
        File file(std::fopen(o.people.c_str(), "wb"), true);
        if (!file) {
            std::fprintf(stderr, "%s: cannot write '%s': %s\n", ProgramName, o.people.c_str(), std::strerror(errno));
            peopleFailed = true;
        } else {
            FileSink peopleSink(file.get());
            const bool written = writePeople(people, peopleSink, trimBlanks(o.personColumn), o.gedcom);
            if (!file.close() || !written) {
                std::fprintf(stderr, "%s: cannot write '%s'\n", ProgramName, o.people.c_str());
                peopleFailed = true;
            }
        }
    }

    in.close();
    const bool outputFailed = !out.close() || result.status == BatchStatus::OutputError;
    if (result.status == BatchStatus::InputError) {
        std::fprintf(stderr, "%s: cannot read %s: %s\n", ProgramName, inputName.c_str(), result.message.c_str());
        return Exit::Unreadable;
    }
    if (outputFailed) {
        std::fprintf(stderr, "%s: cannot write %s\n", ProgramName, outputName.c_str());
        return Exit::WriteFailed;
    }
    if (peopleFailed) return Exit::WriteFailed;
    if (result.failedRows > 0) {
        std::fprintf(stderr, "%s: %" PRIu64 " of %" PRIu64 " rows have errors (see their status)\n", ProgramName,
                     result.failedRows, result.rows);
        return Exit::SomeFailed;
    }
    return Exit::Ok;
}

// --- tree audit ----------------------------------------------------------------

Exit runAudit(const Options& o) {
    if (o.audit.empty()) {
        usageError("--audit needs a GEDCOM file");
        return Exit::Usage;
    }
    const bool toStdout = o.output.empty() || o.output == "-";
    if (!toStdout && o.audit != "-" && sameFile(o.audit, o.output)) {
        usageError("the output file is the GEDCOM file '" + o.audit + "'");
        return Exit::Usage;
    }
    // Read only: the tree is never changed.
    File in;
    std::string inputName;
    if (!openInput(o.audit, in, inputName)) return Exit::Unreadable;
    // A big tree gives a warning for nearly every census: they are written
    // in blocks, not a system call each.
    static char warningBuffer[1 << 16];
    std::setvbuf(stderr, warningBuffer, _IOFBF, sizeof warningBuffer);
    AuditOptions options;
    options.gedcom = o.gedcom.value_or(GedcomVersion::V7);
    options.textAges = !o.noTextAges;
    TreeAudit audit(options);
    GedcomFileSource source(in.get());
    const auto status = audit.read(source, [](uint64_t line, std::string_view message) {
        std::fprintf(stderr, "%s: warning: line %" PRIu64 ": %.*s\n", ProgramName, line,
                     static_cast<int>(message.size()), message.data());
    });
    in.close();
    if (status != GedcomReader::Status::End) {
        if (audit.errorLine() > 0) {
            std::fprintf(stderr, "%s: cannot read %s: line %" PRIu64 ": %s\n", ProgramName, inputName.c_str(),
                         audit.errorLine(), audit.error().c_str());
        } else {
            std::fprintf(stderr, "%s: cannot read %s: %s\n", ProgramName, inputName.c_str(), audit.error().c_str());
        }
        return Exit::Unreadable;
    }

    File out;
    std::string outputName;
    if (!openOutput(o.output, out, outputName)) return Exit::WriteFailed;
    AuditReportOptions report;
    report.all = o.all;
    report.json = o.json;
    report.file = o.audit;
    AuditReportCounts counts;
    FileSink sink(out.get());
    const bool written = writeAuditReport(audit, report, sink, counts);
    if (!out.close() || !written) {
        std::fprintf(stderr, "%s: cannot write %s\n", ProgramName, outputName.c_str());
        return Exit::WriteFailed;
    }
    std::string summary;
    for (size_t v = 0; v < VerdictCount; ++v) {
        if (counts.verdicts[v] == 0) continue;
        summary.append(summary.empty() ? ": " : ", ").append(std::to_string(counts.verdicts[v])).append(" ");
        summary.append(verdictName(static_cast<Verdict>(v)));
    }
    std::fprintf(stderr, "%s: %zu individuals, %" PRIu64 " AGE lines, %s; %" PRIu64 " rows%s\n", ProgramName,
                 audit.individuals(), audit.ageLines(), std::string(encodingName(audit.encoding())).c_str(),
                 counts.rows, summary.c_str());
    const uint64_t disagree = counts.verdicts[static_cast<size_t>(Verdict::Conflict)] +
                              counts.verdicts[static_cast<size_t>(Verdict::RecordsDisagree)];
    return disagree > 0 ? Exit::SomeFailed : Exit::Ok;
}

Exit runCensusList(const Options&) { return printed(censusListText(), Exit::Ok); }

// The modes, tried in order: the first whose condition holds runs.
struct Mode {
    bool (*applies)(const Options&);
    Exit (*run)(const Options&);
};
const Mode Modes[] = {
    {[](const Options& o) { return o.auditGiven; }, runAudit},
    {[](const Options& o) { return o.csvGiven; }, runCsv},
    {[](const Options& o) { return !o.records.empty(); }, runRecords},
    {[](const Options& o) { return o.censusGiven && equalsIgnoringCase(trimBlanks(o.census), "list"); },
     runCensusList},
    {[](const Options&) { return true; }, runSingle},
};

// A day written yyyy-mm-dd; empty when it is none of the years 1 to 9999.
std::optional<Date> isoDate(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
    int32_t value[3] = {};
    const size_t starts[3] = {0, 5, 8}, lengths[3] = {4, 2, 2};
    for (size_t k = 0; k < 3; ++k) {
        for (size_t i = starts[k]; i < starts[k] + lengths[k]; ++i) {
            if (text[i] < '0' || text[i] > '9') return std::nullopt;
            value[k] = value[k] * 10 + (text[i] - '0');
        }
    }
    const DateParts day{DateForm::FullDate, value[1], value[2], value[0]};
    if (!validDate(day)) return std::nullopt;
    return firstDay(day);
}

// The options, in the order of the help. What an option excludes is listed
// on both sides.
const std::vector<OptionEntry>& optionTable() {
    using Names = std::vector<std::string_view>;
    const Names field = {"--csv", "--record", "--audit"};
    static const std::vector<OptionEntry> entries = {
        {"--event", "TEXT", "Date of event (mm/dd/yyyy, mm/yyyy, yyyy, Dec 7, 1941)", false, {}, field},
        {"--years", "TEXT", "Age in years (30, 20-30, -5, 60+)", false, {}, field},
        {"--months", "TEXT", "Age: months", false, {}, field},
        {"--days", "TEXT", "Age: days", false, {}, field},
        {"--birth", "TEXT", "Date of birth", false, {}, field},
        {"--abbreviated", "", "Show month abbreviated (Dec 7, 1941)"},
        {"--weekday", "", "Show week day ([Su]) after a full date"},
        {"--json", "", "Answer as one JSON object", false, {}, {"--csv"}},
        {"--gedcom", "VERSION", "Add the answer as a GEDCOM date or age (5.5.1 or 7)"},
        {"--csv", "FILE", "Batch: read rows from a CSV file (- for standard input)", false, {},
         {"--event", "--years", "--months", "--days", "--birth", "--json", "--census", "--record", "--audit"}},
        {"--output", "FILE", "Batch, audit: write to this file instead of standard output"},
        {"--window", "", "Batch: add the earliest and latest possible date (or age) of each answer", false,
         {"--csv"}, {"--audit"}},
        {"--census", "NAME",
         "Census preset (EW1841 ... EW1921, US1790 ... US1950): its day is the\n"
         "event date and its age rule applies; 'list' prints the table",
         false, {}, field},
        {"--record", "TEXT",
         "One record of a person, \"event=...;years=...;census=...\" (also months=, days=,\n"
         "birth=); repeat for each record: the birth window they all allow",
         true, {}, {"--event", "--years", "--months", "--days", "--birth", "--csv", "--census", "--audit"}},
        {"--person", "COLUMN", "Batch: the column naming the person each row is about", false,
         {"--csv", "--people"}},
        {"--people", "FILE", "Batch: write one row per person (with --person) to this file", false, {"--person"}},
        // A tree names a date's calendar itself (a dual year, JULIAN).
        {"--gregorian-from", "DATE",
         "Dates before this day (yyyy-mm-dd) whose calendar is not named are Julian:\n"
         "1752-09-14 for England and its colonies, 1582-10-15 for the first countries",
         false, {}, {"--audit"}},
        {"--audit", "TREE.ged",
         "Check a family tree: every age in a GEDCOM file (- for standard input) as a\n"
         "birth window, set against the birth the tree records; one CSV row (or --json)\n"
         "per individual",
         false, {},
         {"--event", "--years", "--months", "--days", "--birth", "--csv", "--window", "--census", "--record",
          "--gregorian-from"}},
        {"--all", "", "Audit: a row for every individual, with records or not", false, {"--audit"}},
        {"--no-text-ages", "", "Audit: leave out ages written only in an event's text (\"was age 11\")", false,
         {"--audit"}},
    };
    return entries;
}

constexpr const char* FieldOptions[FieldCount] = {"--event", "--years", "--months", "--days", "--birth"};

// Reads the command line into options; an exit status when there is
// nothing more to do (help, version, a usage error).
std::optional<int> parseOptions(int argc, char** argv, Options& o) {
    const CommandLine line(optionTable(), argc, argv);
    switch (line.outcome()) {
    case CommandLine::Outcome::Help:
        std::fputs(commandLineHelp("Works out the missing one of three facts: the date of an event, the age at\n"
                                   "that event, and the date of birth, as the Quillark window does.",
                                   ProgramName, optionTable(),
                                   "Exit codes: 0 done; 1 some CSV row or --record has an error, or an audited tree has a\n"
                                   "conflict or records that disagree; 2 \"Illegal Date\", an event date that is not the\n"
                                   "census day, or an unreadable input (or no GEDCOM file); 3 a calculation error;\n"
                                   "64 a usage error; 74 the output could not be written.")
                       .c_str(),
                   stdout);
        return code(Exit::Ok);
    case CommandLine::Outcome::Version:
        std::printf("%s %s\n", ProgramName, QUILLARK_VERSION);
        return code(Exit::Ok);
    case CommandLine::Outcome::UsageError:
        usageError(line.error());
        return code(Exit::Usage);
    case CommandLine::Outcome::Parsed:
        break;
    }
    for (size_t k = 0; k < FieldCount; ++k) o.fields[k] = line.value(FieldOptions[k]).value_or("");
    o.abbreviated = line.flag("--abbreviated");
    o.weekDay = line.flag("--weekday");
    o.json = line.flag("--json");
    o.window = line.flag("--window");
    o.all = line.flag("--all");
    o.noTextAges = line.flag("--no-text-ages");
    o.census = line.value("--census").value_or("");
    o.records = line.values("--record");
    o.csv = line.value("--csv").value_or("");
    o.output = line.value("--output").value_or("");
    o.personColumn = line.value("--person").value_or("");
    o.people = line.value("--people").value_or("");
    o.audit = line.value("--audit").value_or("");
    const std::string gedcomName = line.value("--gedcom").value_or("");
    const std::string gregorianFrom = line.value("--gregorian-from").value_or("");
    o.csvGiven = line.count("--csv") > 0;
    o.censusGiven = line.count("--census") > 0;
    o.auditGiven = line.count("--audit") > 0;
    if (line.count("--output") > 0 && !o.csvGiven && !o.auditGiven) {
        usageError("--output needs --csv or --audit");
        return code(Exit::Usage);
    }
    if (!gedcomName.empty()) {
        o.gedcom = gedcomVersion(gedcomName);
        if (!o.gedcom) {
            usageError("--gedcom takes 5.5.1 or 7, not '" + gedcomName + "'");
            return code(Exit::Usage);
        }
    }
    if (!gregorianFrom.empty()) {
        o.gregorianFrom = isoDate(gregorianFrom);
        if (!o.gregorianFrom) {
            usageError("--gregorian-from takes a day as yyyy-mm-dd of the years 1 to 9999, not '" + gregorianFrom + "'");
            return code(Exit::Usage);
        }
    }
    return std::nullopt;
}

int runProgram(int argc, char** argv) {
    Options options;
    if (const std::optional<int> done = parseOptions(argc, argv, options)) return *done;
    for (const Mode& mode : Modes)
        if (mode.applies(options)) return code(mode.run(options));
    return code(Exit::Usage);
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
        return code(Exit::Unreadable);
    }
}
