// Reading GEDCOM files as their makers wrote them: a stream of lines (level,
// cross-reference, tag, value), each value already joined with its CONC and
// CONT lines and decoded to UTF-8.
//
// The encoding is taken from a byte-order mark (UTF-8, UTF-16 LE or BE),
// else from the header's CHAR line (UTF-8, ANSEL, ASCII, ANSI and its
// Windows-1252 spellings), else UTF-8; a line of a UTF-8 file with bytes
// that are not UTF-8 is read as Windows-1252, with a warning the first time. ANSEL writes
// a combining mark before its letter; it is turned around and composed, so
// "e" with an acute accent is the one character U+00E9.
//
// Lines may end in CR, LF or CR LF and may be indented. A malformed line (no
// level, no tag, a level that jumps, a CONC with nothing to continue) is
// reported with its line number and skipped or mended; it never stops the
// reading. Only a file that does not start with a header (0 HEAD) is no
// GEDCOM. Memory stays bounded by the longest line, which is capped.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quillark {

// Where the reader's bytes come from.
class GedcomSource {
public:
    // Fills up to size bytes; 0 at the end of the input or on an error.
    virtual size_t read(char* buffer, size_t size) = 0;
    virtual bool failed() const = 0;

protected:
    ~GedcomSource() = default;
};

class GedcomFileSource final : public GedcomSource {
public:
    explicit GedcomFileSource(std::FILE* file) : file_(file) {}
    size_t read(char* buffer, size_t size) override;
    bool failed() const override;

private:
    std::FILE* file_;
};

class GedcomTextSource final : public GedcomSource {
public:
    // chunk > 0 hands the text out in pieces of that size, as a pipe might.
    explicit GedcomTextSource(std::string_view text, size_t chunk = 0) : text_(text), chunk_(chunk) {}
    size_t read(char* buffer, size_t size) override;
    bool failed() const override { return false; }

private:
    std::string_view text_;
    size_t chunk_;
};

enum class GedcomEncoding { Utf8, Utf16Le, Utf16Be, Ansel, Ascii, Windows1252 };

// "UTF-8", "UTF-16 LE", "ANSEL", ...
std::string_view encodingName(GedcomEncoding encoding);

// One line, CONC and CONT joined into its value. The views stay valid until
// the next call of GedcomReader::next.
struct GedcomLine {
    uint64_t number = 0;     // the file's line number, from 1
    int32_t level = 0;
    std::string_view xref;   // "@I1@", or empty
    std::string_view tag;    // as written
    std::string_view value;  // UTF-8; a CONT is a line feed
};

// A reading problem worth a researcher's attention, and its line.
using GedcomWarning = std::function<void(uint64_t line, std::string_view message)>;

class GedcomReader {
public:
    enum class Status {
        Line,       // a line is in the argument
        End,        // no more lines
        NotGedcom,  // the input does not start with a header; see error()
        ReadError,  // the source failed
    };

    // The longest line kept; a longer one is cut, with a warning.
    static constexpr size_t MaxLineBytes = size_t{1} << 20;

    GedcomReader(GedcomSource& source, GedcomWarning warning);
    GedcomReader(const GedcomReader&) = delete;
    GedcomReader& operator=(const GedcomReader&) = delete;

    Status next(GedcomLine& line);

    GedcomEncoding encoding() const { return encoding_; }
    // NotGedcom: why, and the line.
    const std::string& error() const { return error_; }
    uint64_t errorLine() const { return errorLine_; }
    // The bytes taken from the source so far.
    uint64_t bytesRead() const { return bytesRead_; }

private:
    struct Slot {
        uint64_t number = 0;
        int32_t level = 0;
        std::string xref, tag, value;
    };

    bool fill();
    void start();
    bool physicalLine(std::string_view& text);
    bool parse(std::string_view text, uint64_t number, int32_t& level, std::string_view& xref,
               std::string_view& tag, std::string_view& value);
    void decodeInto(std::string& out, std::string_view bytes, bool append);
    void warn(uint64_t line, std::string_view message);

    GedcomSource& source_;
    GedcomWarning warning_;
    GedcomEncoding encoding_ = GedcomEncoding::Utf8;
    bool started_ = false;
    bool eof_ = false;
    bool readFailed_ = false;
    bool fallbackWarned_ = false;  // bytes that are not UTF-8 were said once
    std::vector<char> raw_;        // UTF-16 input before it is made UTF-8
    size_t rawSize_ = 0;
    std::vector<char> buffer_;     // bytes of the file's 8-bit encoding, or UTF-8
    size_t begin_ = 0, end_ = 0, scanned_ = 0;
    bool skipLf_ = false;          // the last line ended in CR: a LF next belongs to it
    bool cutting_ = false;         // inside a line too long to keep
    uint64_t physical_ = 0;        // the number of the last line taken
    uint64_t bytesRead_ = 0;
    int32_t lastLevel_ = -1;
    bool headerSeen_ = false;
    Slot slots_[2];
    int pending_ = -1;  // the slot holding a line that CONC/CONT may still extend
    std::string error_;
    uint64_t errorLine_ = 0;
};

}  // namespace quillark
