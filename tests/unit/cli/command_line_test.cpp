// The command-line reader: every way of giving an option, and the usage
// errors in the order a user meets them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "command_line.h"

namespace {

using quillark::CommandLine;
using quillark::OptionEntry;
using Outcome = CommandLine::Outcome;

const std::vector<OptionEntry> Entries = {
    {"--event", "TEXT", "Date of event"},
    {"--csv", "FILE", "Batch", false, {}, {"--event"}},
    {"--json", "", "JSON"},
    {"--window", "", "Window", false, {"--csv"}},
    {"--record", "TEXT", "One record,\nrepeated", true},
};

struct LineCase {
    std::vector<const char*> args;
    Outcome outcome;
    std::string result;  // the error, or "--event|--csv|--json|records" as read
};

TEST(CommandLine, ReadsOptionsAndTellsTheFirstUsageError) {
    const LineCase cases[] = {
        {{"--event", "1900"}, Outcome::Parsed, "1900|-|0|0"},
        {{"--event=1900", "--json"}, Outcome::Parsed, "1900|-|1|0"},
        {{"--event", "-5"}, Outcome::Parsed, "-5|-|0|0"},
        {{"--csv", "-", "--window"}, Outcome::Parsed, "-|-|0|0"},
        {{"--json=false", "--event="}, Outcome::UsageError, "--event: 1 required TEXT missing"},
        {{"--json=OFF", "--event", ""}, Outcome::Parsed, "|-|0|0"},
        {{"--json=maybe"}, Outcome::UsageError, "--json: 'maybe' is not true or false"},
        {{"--record", "a", "--record=b", "--record", "c"}, Outcome::Parsed, "-|-|0|3"},
        {{"--event", "--json"}, Outcome::UsageError, "--event: 1 required TEXT missing"},
        {{"--event"}, Outcome::UsageError, "--event: 1 required TEXT missing"},
        {{"--event", "1", "--event", "2"}, Outcome::UsageError, "--event: At Most 1 required but received 2"},
        {{"1900"}, Outcome::UsageError, "The following argument was not expected: 1900"},
        {{"--Event", "1900"}, Outcome::UsageError, "The following arguments were not expected: --Event 1900"},
        {{"--event", "1", "--", "--json"}, Outcome::UsageError, "The following argument was not expected: --json"},
        {{"--window"}, Outcome::UsageError, "--window requires --csv"},
        {{"--event", "1", "--csv", "f"}, Outcome::UsageError, "--csv excludes --event"},
        {{"--bogus", "--help"}, Outcome::Help, ""},
        {{"-h", "--event"}, Outcome::Help, ""},
        {{"--help", "--version"}, Outcome::Version, ""},
    };
    for (const LineCase& c : cases) {
        std::vector<const char*> argv = {"program"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        const CommandLine line(Entries, static_cast<int>(argv.size()), argv.data());
        const std::string shown = c.args.empty() ? "" : c.args.front();
        ASSERT_EQ(line.outcome(), c.outcome) << shown << ": " << line.error();
        if (c.outcome == Outcome::UsageError) {
            EXPECT_EQ(line.error(), c.result) << shown;
        }
        if (c.outcome != Outcome::Parsed) continue;
        const std::string read = line.value("--event").value_or("-") + "|" + line.value("--csv").value_or("-") + "|" +
                                 (line.flag("--json") ? "1" : "0") + "|" + std::to_string(line.count("--record"));
        EXPECT_EQ(read, c.result) << shown;
    }
}

TEST(CommandLine, HelpPutsEachTextAtColumnThirtyOrOnTheNextLine) {
    const std::string help = quillark::commandLineHelp("Does it.", "program", Entries, "Exit codes: 0.");
    EXPECT_EQ(help,
              "Does it.\nUsage: program [OPTIONS]\n\nOptions:\n"
              "  -h,--help                   Print this help message and exit\n"
              "  --version                   Display program version information and exit\n"
              "  --event TEXT                Date of event\n"
              "  --csv FILE Excludes: --event\n"
              "                              Batch\n"
              "  --json                      JSON\n"
              "  --window Needs: --csv       Window\n"
              "  --record TEXT ...           One record,\n"
              "                              repeated\n"
              "\nExit codes: 0.\n");
}

}  // namespace
