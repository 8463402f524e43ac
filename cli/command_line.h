// A command line of long options read against a table: "--name value",
// "--name=value", flags, options that may be repeated, options that need or
// exclude others, --help and --version. The program states its options once
// in the table; the help text and every usage check come from it.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quillark {

struct OptionEntry {
    std::string_view name;       // "--event"
    std::string_view valueName;  // "TEXT" in the help; empty for a flag
    std::string_view help;       // one or more lines
    bool repeatable = false;     // given several times, it keeps every value
    std::vector<std::string_view> needs = {};     // options that must be given with it
    std::vector<std::string_view> excludes = {};  // options that must not be
};

class CommandLine {
public:
    enum class Outcome { Parsed, Help, Version, UsageError };

    // Reads argv[1..argc) against the table of options, which must outlive
    // the result.
    CommandLine(std::span<const OptionEntry> entries, int argc, const char* const* argv);

    Outcome outcome() const { return outcome_; }
    // What is wrong, in one line (UsageError only).
    const std::string& error() const { return error_; }

    // How many times the option was given.
    size_t count(std::string_view name) const;
    // Its values, in the order given (for a flag, "true" or "false").
    const std::vector<std::string>& values(std::string_view name) const;
    // Its value: the only one given, or nothing.
    std::optional<std::string> value(std::string_view name) const;
    // A flag: given, and not given as false.
    bool flag(std::string_view name) const;

private:
    size_t indexOf(std::string_view name) const;
    void fail(std::string message);

    std::span<const OptionEntry> entries_;
    std::vector<std::vector<std::string>> values_;
    Outcome outcome_ = Outcome::Parsed;
    std::string error_;
};

// The help: the description, a usage line, every option (--help and
// --version first) with what it needs and excludes and its help text
// from column 30, and the footer.
std::string commandLineHelp(std::string_view description, std::string_view program,
                            std::span<const OptionEntry> entries, std::string_view footer);

}  // namespace quillark
