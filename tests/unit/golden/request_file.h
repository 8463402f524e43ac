// Requests and answers of the calculator as lines of text, and a seeded
// generator of requests: what the recorded answers of the engine are kept in
// and compared with. One line per request, fifteen tab-separated columns:
//   event years months days birth options | event years months days birth
//   missing entry-error caption text
// where options is "a0w1r2" (abbreviated, week day, remembered missing fact)
// and every text is escaped so that any byte survives a line: "\\" for a
// backslash, "\xHH" for a control byte, a tab or any byte from 0x7F.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace golden {

struct RequestLine {
    std::array<std::string, 5> fields;
    bool abbreviated = false;
    bool weekDay = false;
    int remembered = 0;  // 0..3 as MissingFact
};

struct AnswerLine {
    std::array<std::string, 5> fields;
    int missing = 0;     // 0..3 as MissingFact
    int entryError = 0;  // 0..4
    std::string caption;
    std::string text;
};

inline void appendEscaped(std::string& out, std::string_view text) {
    static const char Hex[] = "0123456789ABCDEF";
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\') {
            out += "\\\\";
        } else if (byte < 0x20 || byte >= 0x7F) {
            out += "\\x";
            out += Hex[byte >> 4];
            out += Hex[byte & 15];
        } else {
            out += c;
        }
    }
}

// False for a malformed escape.
inline bool unescape(std::string_view text, std::string& out) {
    out.clear();
    auto hex = [](char c) {
        return c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
    };
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == '\\') {
            out += '\\';
            ++i;
        } else if (i + 3 < text.size() && text[i + 1] == 'x' && hex(text[i + 2]) >= 0 && hex(text[i + 3]) >= 0) {
            out += static_cast<char>(hex(text[i + 2]) * 16 + hex(text[i + 3]));
            i += 3;
        } else {
            return false;
        }
    }
    return true;
}

inline std::string formatLine(const RequestLine& request, const AnswerLine& answer) {
    std::string line;
    for (const std::string& field : request.fields) {
        appendEscaped(line, field);
        line += '\t';
    }
    line += 'a';
    line += request.abbreviated ? '1' : '0';
    line += 'w';
    line += request.weekDay ? '1' : '0';
    line += 'r';
    line += static_cast<char>('0' + request.remembered);
    for (const std::string& field : answer.fields) {
        line += '\t';
        appendEscaped(line, field);
    }
    line += '\t';
    line += std::to_string(answer.missing);
    line += '\t';
    line += std::to_string(answer.entryError);
    line += '\t';
    appendEscaped(line, answer.caption);
    line += '\t';
    appendEscaped(line, answer.text);
    return line;
}

// False when the line does not have the fifteen columns of formatLine.
inline bool parseLine(std::string_view line, RequestLine& request, AnswerLine& answer) {
    std::array<std::string_view, 15> columns;
    size_t count = 0;
    while (count < columns.size()) {
        const size_t tab = line.find('\t');
        columns[count++] = line.substr(0, tab);
        if (tab == std::string_view::npos) break;
        line.remove_prefix(tab + 1);
    }
    if (count != columns.size() || line.find('\t') != std::string_view::npos) return false;
    for (size_t i = 0; i < 5; ++i) {
        if (!unescape(columns[i], request.fields[i]) || !unescape(columns[6 + i], answer.fields[i])) return false;
    }
    const std::string_view options = columns[5];
    if (options.size() != 6 || options[0] != 'a' || options[2] != 'w' || options[4] != 'r') return false;
    request.abbreviated = options[1] == '1';
    request.weekDay = options[3] == '1';
    request.remembered = options[5] - '0';
    if (request.remembered < 0 || request.remembered > 3) return false;
    if (columns[11].size() != 1 || columns[12].size() != 1) return false;
    answer.missing = columns[11][0] - '0';
    answer.entryError = columns[12][0] - '0';
    return unescape(columns[13], answer.caption) && unescape(columns[14], answer.text);
}

// splitmix64: the same numbers from every compiler and library, unlike the
// standard distributions.
class Random {
public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint64_t next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // 0..n-1
    uint32_t below(uint32_t n) { return static_cast<uint32_t>(next() % n); }
    int64_t between(int64_t low, int64_t high) {
        return low + static_cast<int64_t>(next() % static_cast<uint64_t>(high - low + 1));
    }
    bool chance(uint32_t percent) { return below(100) < percent; }
    template <size_t N>
    std::string_view pick(const std::array<std::string_view, N>& items) {
        return items[below(static_cast<uint32_t>(N))];
    }

private:
    uint64_t state_;
};

// The generator's flavours: the first mixes every kind of entry evenly; the
// second is what a transcription mostly holds (full dates and whole years)
// with partial dates, ranges and junk mixed in.
enum class Mix { Everything, Transcription };

namespace detail {

inline std::string twoDigits(int64_t value) {
    std::string text = std::to_string(value);
    return text.size() < 2 ? "0" + text : text;
}

inline std::string yearText(Random& rnd) {
    switch (rnd.below(24)) {
    case 0: return std::to_string(rnd.between(0, 99));              // two digits
    case 1: return std::to_string(rnd.between(10000, 99999));       // five digits
    case 2: return std::to_string(rnd.between(1, 1599));            // before the calendar's years
    case 3: return std::to_string(rnd.between(2101, 9999));
    case 4: return "0" + std::to_string(rnd.between(100, 999));     // 0800
    default: return std::to_string(rnd.between(1600, 2100));
    }
}

inline std::string monthText(Random& rnd, bool padded) {
    const int64_t month = rnd.chance(95) ? rnd.between(1, 12) : rnd.between(0, 99);
    return padded ? twoDigits(month) : std::to_string(month);
}

inline std::string dayText(Random& rnd, bool padded) {
    const int64_t day = rnd.chance(95) ? rnd.between(1, 28) : rnd.between(0, 99);
    return padded ? twoDigits(day) : std::to_string(day);
}

inline std::string junk(Random& rnd) {
    static constexpr std::string_view Pieces =
        "0123456789/ -,.[]+toorOctDecmayJANsepxE\t";
    std::string text;
    const uint32_t length = rnd.chance(1) ? rnd.below(200) : rnd.below(16);
    for (uint32_t i = 0; i < length; ++i) {
        if (rnd.chance(8))
            text += static_cast<char>(rnd.below(256));
        else
            text += Pieces[rnd.below(static_cast<uint32_t>(Pieces.size()))];
    }
    return text;
}

inline std::string monthWord(Random& rnd) {
    static constexpr std::array<std::string_view, 24> Words = {
        "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec",
        "dec", "DEC", "Ma", "J", "December", "October", "Sept", "ju", "n", "Mayor", "", "Oc"};
    return std::string(rnd.pick(Words));
}

inline std::string dateText(Random& rnd, Mix mix) {
    const uint32_t kind = mix == Mix::Transcription ? (rnd.chance(75) ? 0 : rnd.below(18)) : rnd.below(18);
    std::string text;
    switch (kind) {
    case 0:
    case 1:
        text = monthText(rnd, true) + "/" + dayText(rnd, true) + "/" + yearText(rnd);
        break;
    case 2: text = monthText(rnd, true) + "/" + yearText(rnd); break;
    case 3: text = yearText(rnd); break;
    case 4: text = monthText(rnd, false) + "/" + dayText(rnd, false) + "/" + yearText(rnd); break;
    case 5: text = monthText(rnd, false) + "-" + dayText(rnd, false) + "-" + yearText(rnd); break;
    case 6: text = monthWord(rnd) + " " + dayText(rnd, false) + ", " + yearText(rnd); break;
    case 7: text = monthWord(rnd) + " " + yearText(rnd); break;
    case 8: text = monthWord(rnd) + (rnd.chance(50) ? "," : "") + " " + dayText(rnd, false) + " " + yearText(rnd); break;
    case 9: {
        const int64_t year = rnd.between(1500, 2200);
        static constexpr std::array<std::string_view, 4> Joins = {" or ", " to ", " or", " to"};
        text = std::to_string(year) + std::string(rnd.pick(Joins)) + std::to_string(year + rnd.between(-3, 12));
        break;
    }
    case 10: text = "/" + yearText(rnd); break;
    case 11: text = monthText(rnd, false) + "//" + yearText(rnd); break;
    case 12:
        text = monthText(rnd, true) + "/" + dayText(rnd, true) + "/" + yearText(rnd) + "/" + dayText(rnd, false);
        break;
    default: text = junk(rnd); break;
    }
    if (rnd.chance(6)) {
        static constexpr std::array<std::string_view, 5> Tags = {"  [Su]", "  [Xy]", " [", "[Mo]", "  [Tu"};
        text += rnd.pick(Tags);
    }
    if (rnd.chance(3)) text = " " + text;
    if (rnd.chance(3)) text += " ";
    if (rnd.chance(1)) text = junk(rnd) + text;
    return text;
}

inline std::string numberPiece(Random& rnd) {
    switch (rnd.below(12)) {
    case 0: return std::to_string(rnd.between(-100, -1));
    case 1: return std::to_string(rnd.between(0, 99999999999LL));
    case 2: return std::to_string(rnd.between(100, 9999));
    case 3: return std::to_string(rnd.between(0, 40)) + "." + std::to_string(rnd.between(0, 99));
    case 4: return std::to_string(rnd.between(1, 9)) + "e" + std::to_string(rnd.between(0, 12));
    case 5: return " " + std::to_string(rnd.between(0, 99));
    case 6: return "2.5";
    default: return std::to_string(rnd.between(0, 99));
    }
}

inline std::string yearsText(Random& rnd, Mix mix) {
    const uint32_t kind = mix == Mix::Transcription ? (rnd.chance(80) ? 0 : rnd.below(8)) : rnd.below(8);
    switch (kind) {
    case 0: return std::to_string(rnd.between(0, 99));
    case 1: return numberPiece(rnd);
    case 2: return std::to_string(rnd.between(0, 99)) + "-" + std::to_string(rnd.between(0, 99));
    case 3: return "-" + std::to_string(rnd.between(0, 20));
    case 4: return std::to_string(rnd.between(0, 99)) + "+";
    case 5: return std::to_string(rnd.between(0, 99)) + "-";
    case 6: return rnd.chance(30) ? junk(rnd) : numberPiece(rnd) + (rnd.chance(50) ? "-" : "+") + numberPiece(rnd);
    default: return std::to_string(rnd.between(0, 99));
    }
}

inline std::string smallAgeText(Random& rnd) {
    switch (rnd.below(12)) {
    case 0: return numberPiece(rnd);
    case 1: return junk(rnd);
    case 2: return std::to_string(rnd.between(-40, 400));
    default: return std::to_string(rnd.between(0, 40));
    }
}

}  // namespace detail

// The request number `index` of the run seeded with `seed`, independent of
// the others so that any one can be made again on its own.
inline RequestLine generateRequest(uint64_t seed, uint64_t index, Mix mix) {
    Random rnd(seed * 0x100000001B3ULL + index);
    RequestLine request;
    // Which facts are given: mostly two of the three, sometimes all three
    // (a recalculation with a remembered fact) or fewer.
    const uint32_t shape = rnd.below(10);
    bool event = true, age = true, birth = true;
    if (shape < 3) birth = false;
    else if (shape < 5) event = false;
    else if (shape < 7) age = false;
    else if (shape == 8) event = rnd.chance(50), age = rnd.chance(50), birth = rnd.chance(50);
    if (mix == Mix::Transcription && shape != 9 && rnd.chance(60)) event = age = true, birth = false;

    if (event) request.fields[0] = detail::dateText(rnd, mix);
    if (birth) request.fields[4] = detail::dateText(rnd, mix);
    if (age) {
        if (mix == Mix::Everything || rnd.chance(90)) request.fields[1] = detail::yearsText(rnd, mix);
        if (rnd.chance(mix == Mix::Transcription ? 10 : 30)) request.fields[2] = detail::smallAgeText(rnd);
        if (rnd.chance(mix == Mix::Transcription ? 10 : 30)) request.fields[3] = detail::smallAgeText(rnd);
    }
    // A blank-only field counts as empty for the dates but not for the age.
    if (rnd.chance(3)) request.fields[rnd.below(5)] = " ";
    request.abbreviated = rnd.chance(mix == Mix::Transcription ? 10 : 50);
    request.weekDay = rnd.chance(mix == Mix::Transcription ? 10 : 50);
    request.remembered = rnd.chance(mix == Mix::Transcription ? 5 : 40) ? static_cast<int>(rnd.below(4)) : 0;
    return request;
}

}  // namespace golden
