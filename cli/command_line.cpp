#include "command_line.h"

namespace quillark {

namespace {

constexpr size_t HelpColumn = 30;

// "true" or "false" for a flag's "=value"; nothing when it is neither.
std::optional<std::string> flagValue(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    for (std::string_view yes : {"true", "1", "yes", "on"})
        if (lower == yes) return "true";
    for (std::string_view no : {"false", "0", "no", "off"})
        if (lower == no) return "false";
    return std::nullopt;
}

// The next argument is an option, not this one's value: "--years 5" after
// "--event" means the event date was left out, but "-5" is an age.
bool isOption(std::string_view arg) { return arg == "-h" || arg.starts_with("--"); }

std::string joined(const std::vector<std::string_view>& names) {
    std::string out;
    for (std::string_view name : names) out.append(" ").append(name);
    return out;
}

void appendEntry(std::string& out, std::string_view left, std::string_view help) {
    out.append("  ").append(left);
    if (2 + left.size() >= HelpColumn) {
        out.append("\n").append(HelpColumn, ' ');
    } else {
        out.append(HelpColumn - 2 - left.size(), ' ');
    }
    for (size_t from = 0;;) {
        const size_t end = help.find('\n', from);
        out.append(help.substr(from, end - from)).append("\n");
        if (end == std::string_view::npos) break;
        from = end + 1;
        out.append(HelpColumn, ' ');
    }
}

}  // namespace

CommandLine::CommandLine(std::span<const OptionEntry> entries, int argc, const char* const* argv)
    : entries_(entries), values_(entries.size()) {
    bool help = false, version = false, positional = false;
    std::vector<std::string_view> unexpected;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (positional || !arg.starts_with("--") || arg == "--") {
            if (!positional && arg == "--") {
                positional = true;  // everything after it is an argument
            } else if (!positional && arg == "-h") {
                help = true;
            } else {
                unexpected.push_back(arg);
            }
            continue;
        }
        const size_t equals = arg.find('=');
        const std::string_view name = arg.substr(0, equals);
        // "--name=value"; "--name=" gives an empty one.
        const bool hasInlineValue = equals != std::string_view::npos;
        const std::string_view inlineValue = hasInlineValue ? arg.substr(equals + 1) : std::string_view();
        if (name == "--help") {
            help = true;
            continue;
        }
        if (name == "--version") {
            version = true;
            continue;
        }
        const size_t index = indexOf(name);
        if (index == entries.size()) {
            unexpected.push_back(arg);
            continue;
        }
        const OptionEntry& entry = entries[index];
        if (entry.valueName.empty()) {
            const std::optional<std::string> value = hasInlineValue ? flagValue(inlineValue) : "true";
            if (!value) {
                fail(std::string(name) + ": '" + std::string(inlineValue) + "' is not true or false");
                continue;
            }
            values_[index].push_back(*value);
        } else if (hasInlineValue && !inlineValue.empty()) {
            values_[index].emplace_back(inlineValue);
        } else if (!hasInlineValue && i + 1 < argc && !isOption(argv[i + 1])) {
            values_[index].emplace_back(argv[++i]);
        } else {
            fail(std::string(name) + ": 1 required " + std::string(entry.valueName) + " missing");
        }
    }
    if (version) {
        outcome_ = Outcome::Version;
        return;
    }
    if (help) {
        outcome_ = Outcome::Help;
        return;
    }
    if (outcome_ == Outcome::UsageError) return;
    if (!unexpected.empty()) {
        fail(std::string(unexpected.size() == 1 ? "The following argument was not expected:"
                                                : "The following arguments were not expected:") +
             joined(unexpected));
        return;
    }
    for (size_t k = 0; k < entries.size(); ++k) {
        const OptionEntry& entry = entries[k];
        if (!entry.repeatable && !entry.valueName.empty() && values_[k].size() > 1)
            fail(std::string(entry.name) + ": At Most 1 required but received " + std::to_string(values_[k].size()));
    }
    for (size_t k = 0; k < entries.size(); ++k) {
        const OptionEntry& entry = entries[k];
        if (values_[k].empty()) continue;
        for (std::string_view needed : entry.needs)
            if (count(needed) == 0) fail(std::string(entry.name) + " requires " + std::string(needed));
        for (std::string_view excluded : entry.excludes)
            if (count(excluded) > 0) fail(std::string(entry.name) + " excludes " + std::string(excluded));
    }
}

void CommandLine::fail(std::string message) {
    if (outcome_ == Outcome::UsageError) return;  // the first error is the one told
    outcome_ = Outcome::UsageError;
    error_ = std::move(message);
}

size_t CommandLine::indexOf(std::string_view name) const {
    size_t k = 0;
    while (k < entries_.size() && entries_[k].name != name) ++k;
    return k;
}

size_t CommandLine::count(std::string_view name) const { return values(name).size(); }

const std::vector<std::string>& CommandLine::values(std::string_view name) const {
    static const std::vector<std::string> none;
    const size_t index = indexOf(name);
    return index < values_.size() ? values_[index] : none;
}

std::optional<std::string> CommandLine::value(std::string_view name) const {
    const std::vector<std::string>& given = values(name);
    if (given.size() != 1) return std::nullopt;
    return given.front();
}

bool CommandLine::flag(std::string_view name) const {
    const std::vector<std::string>& given = values(name);
    return !given.empty() && given.back() == "true";
}

std::string commandLineHelp(std::string_view description, std::string_view program,
                            std::span<const OptionEntry> entries, std::string_view footer) {
    std::string out(description);
    out.append("\nUsage: ").append(program).append(" [OPTIONS]\n\nOptions:\n");
    appendEntry(out, "-h,--help", "Print this help message and exit");
    appendEntry(out, "--version", "Display program version information and exit");
    for (const OptionEntry& entry : entries) {
        std::string left(entry.name);
        if (!entry.valueName.empty()) left.append(" ").append(entry.valueName);
        if (entry.repeatable) left.append(" ...");
        if (!entry.needs.empty()) left.append(" Needs:").append(joined(entry.needs));
        if (!entry.excludes.empty()) left.append(" Excludes:").append(joined(entry.excludes));
        appendEntry(out, left, entry.help);
    }
    out.append("\n").append(footer).append("\n");
    return out;
}

}  // namespace quillark
