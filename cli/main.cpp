// quillark-calc: the date calculator's engine on the command line.
//   single mode: the five field texts of one request, answered as the window
//   answers them; batch mode: one request per CSV row, streamed.
#include <chrono>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "batch.h"
#include "date_text.h"
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
constexpr int ExitRowErrors = 1;      // batch: some row reports an error
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

int runSingle(const SessionInput& input, bool json) {
    const SessionResult result = runSession(input);
    if (result.outcome != SessionOutcome::Ok) {
        if (json) {
            nlohmann::ordered_json error;
            error["error"]["caption"] = result.caption;
            error["error"]["text"] = result.text;
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
        writeOut(dumpJson(answer));
    } else {
        std::string lines;
        for (size_t i = 0; i < result.fields.size(); ++i) {
            lines.append(FieldLabels[i]);
            const std::string_view value = trimBlanks(result.fields[i]);
            if (!value.empty()) lines.append(" ").append(value);
            lines.push_back('\n');
        }
        writeOut(lines);
    }
    return ExitOk;
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
           bool weekDay) {
    const bool fromStdin = inputPath == "-";
    const std::string inputName = fromStdin ? std::string("standard input") : "'" + inputPath + "'";
    if (!fromStdin && !outputPath.empty()) {
        std::error_code ec;
        if (std::filesystem::equivalent(inputPath, outputPath, ec)) {
            std::fprintf(stderr, "%s: the output file is the input file '%s'; see %s --help\n",
                         ProgramName, inputPath.c_str(), ProgramName);
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
    options.progress = [&progress](uint64_t rows) { progress.update(rows); };

    FileSource source(in);
    FileSink sink(out);
    BatchResult result = runBatch(source, sink, options);
    progress.finish(result.rows);

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

    std::string event, years, months, days, birth, csvPath, outputPath;
    bool abbreviated = false, weekDay = false, json = false;

    CLI::Option* eventOpt = app.add_option("--event", event, "Date of event (mm/dd/yyyy, mm/yyyy, yyyy, Dec 7, 1941)");
    CLI::Option* yearsOpt = app.add_option("--years", years, "Age in years (30, 20-30, -5, 60+)");
    CLI::Option* monthsOpt = app.add_option("--months", months, "Age: months");
    CLI::Option* daysOpt = app.add_option("--days", days, "Age: days");
    CLI::Option* birthOpt = app.add_option("--birth", birth, "Date of birth");
    app.add_flag("--abbreviated", abbreviated, "Show month abbreviated (Dec 7, 1941)");
    app.add_flag("--weekday", weekDay, "Show week day ([Su]) after a full date");
    CLI::Option* jsonOpt = app.add_flag("--json", json, "Answer as one JSON object");
    CLI::Option* csvOpt = app.add_option("--csv", csvPath,
                                         "Batch: read rows from a CSV file (- for standard input)")
                                ->type_name("FILE");
    CLI::Option* outputOpt =
        app.add_option("--output", outputPath, "Batch: write to this file instead of standard output")
            ->type_name("FILE");
    csvOpt->excludes(eventOpt)->excludes(yearsOpt)->excludes(monthsOpt)->excludes(daysOpt)
        ->excludes(birthOpt)->excludes(jsonOpt);
    outputOpt->needs(csvOpt);
    app.footer(
        "Exit codes: 0 done; 1 some CSV row has an error; 2 \"Illegal Date\" or an unreadable\n"
        "input; 3 a calculation error; 64 a usage error.");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        if (error.get_exit_code() == 0) return app.exit(error);  // --help, --version
        std::fprintf(stderr, "%s: %s; see %s --help\n", ProgramName, error.what(), ProgramName);
        return ExitUsage;
    }

    if (!csvPath.empty() || csvOpt->count() > 0) {
        if (csvPath.empty()) {
            std::fprintf(stderr, "%s: --csv needs a file name or -; see %s --help\n", ProgramName,
                         ProgramName);
            return ExitUsage;
        }
        return runCsv(csvPath, outputPath, abbreviated, weekDay);
    }

    SessionInput input;
    input.fields = {event, years, months, days, birth};
    input.abbreviated = abbreviated;
    input.weekDay = weekDay;
    return runSingle(input, json);
}

}  // namespace
