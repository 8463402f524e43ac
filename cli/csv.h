// A streaming reader and writer for comma-separated values as RFC 4180 has
// them: quoted fields with embedded commas, doubled quotes and line breaks,
// records ended by CR LF, LF or a lone CR, and a UTF-8 byte-order mark at
// the start ignored. Memory stays bounded by the longest record, which is
// capped, so a stray quote cannot swallow a whole file into memory.
//
// Written here rather than taken from a package: Debian's CSV readers are a
// compiled C library with no mingw build, and a header-only parser that reads
// line by line (no line breaks inside quotes), needs the column count at
// compile time and allocates 48 MiB of buffers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace quillark {

// Where the reader's bytes come from.
class ByteSource {
public:
    // Fills up to size bytes; 0 at the end of the input or on an error.
    virtual size_t read(char* buffer, size_t size) = 0;
    virtual bool failed() const = 0;

protected:
    ~ByteSource() = default;
};

class FileSource final : public ByteSource {
public:
    explicit FileSource(std::FILE* file) : file_(file) {}
    size_t read(char* buffer, size_t size) override;
    bool failed() const override;

private:
    std::FILE* file_;
};

class StringSource final : public ByteSource {
public:
    // chunk > 0 hands the text out in pieces of that size, as a pipe might.
    explicit StringSource(std::string_view text, size_t chunk = 0) : text_(text), chunk_(chunk) {}
    size_t read(char* buffer, size_t size) override;
    bool failed() const override { return false; }

private:
    std::string_view text_;
    size_t chunk_;
};

class CsvReader {
public:
    enum class Status {
        Record,          // a record is available through fieldCount()/field()
        End,             // no more records
        ReadError,       // the source failed
        RecordTooLong,   // a record grew beyond the cap
    };

    // The cap counts a record's field bytes (quotes that only quote not
    // included) and its commas, however the input arrives in pieces.
    static constexpr size_t DefaultMaxRecordBytes = size_t{1} << 20;

    explicit CsvReader(ByteSource& source, size_t maxRecordBytes = DefaultMaxRecordBytes);

    Status next();

    size_t fieldCount() const { return fieldCount_; }
    // A field of the current record. The view stays valid until the next
    // call of next(), no longer: it points into the read buffer, or, for a
    // record that had to be unquoted or was cut by a refill, into a copy.
    std::string_view field(size_t index) const { return fields_[index]; }
    // The record was an empty line: no characters at all before its end.
    bool blankLine() const { return blankLine_; }
    // The input ended inside a quoted field of this record.
    bool unterminatedQuote() const { return unterminatedQuote_; }
    // The record ended in CR LF (false for LF, a lone CR or the end of input).
    bool endedWithCrLf() const { return endedWithCrLf_; }
    // Line number (from 1) where the current record starts.
    uint64_t line() const { return recordLine_; }

private:
    enum class State { FieldStart, Unquoted, Quoted, QuoteInQuoted };

    bool fill();
    Status viewRecord();
    Status copyRecord();
    void endField();
    Status finishCopy();

    ByteSource& source_;
    size_t maxRecordBytes_;
    std::vector<char> buffer_;   // the bytes read, then a block of zeros to read past their end
    size_t pos_ = 0;
    size_t end_ = 0;
    bool atStart_ = true;   // the byte-order mark is only looked for here
    bool eof_ = false;
    uint64_t line_ = 1;
    uint64_t recordLine_ = 1;

    std::vector<std::string_view> fields_;   // all of it room; the first fieldCount_ are the record's
    size_t fieldCount_ = 0;
    // A record read by copying: its field bytes unquoted, and where each ends.
    std::string data_;
    std::vector<uint32_t> ends_;
    bool blankLine_ = false;
    bool unterminatedQuote_ = false;
    bool endedWithCrLf_ = false;
};

// Where the writer's bytes go.
class ByteSink {
public:
    virtual bool write(const char* data, size_t size) = 0;

protected:
    ~ByteSink() = default;
};

class FileSink final : public ByteSink {
public:
    explicit FileSink(std::FILE* file) : file_(file) {}
    bool write(const char* data, size_t size) override;

private:
    std::FILE* file_;
};

class StringSink final : public ByteSink {
public:
    bool write(const char* data, size_t size) override {
        text.append(data, size);
        return true;
    }
    std::string text;
};

// Writes records with the fewest quotes that keep them readable: a field is
// quoted only when it holds a comma, a quote, a CR or a LF, or when it is the
// very first and starts with the bytes of a byte-order mark, which a reader
// would otherwise drop.
class CsvWriter {
public:
    CsvWriter(ByteSink& sink, std::string_view lineEnd = "\n");
    ~CsvWriter();

    void setLineEnd(std::string_view lineEnd) { lineEnd_.assign(lineEnd); }
    void field(std::string_view text);
    // count fields the caller writes in place: write(out) puts at most
    // maxBytes there, the fields with a comma between each two, and returns
    // their end. None of the fields may need quotes: no comma, quote or line
    // break, nor a byte-order mark to start the output (ISO dates, say).
    template <class Write>
    void writtenFields(size_t count, size_t maxBytes, Write&& write) {
        if (count == 0) return;
        char* const start = room(maxBytes + 1);
        char* out = start;
        if (!firstInRecord_) *out++ = ',';
        fieldsInRecord_ += count;
        firstInRecord_ = false;
        atStart_ = false;
        used_ += static_cast<size_t>(write(out) - start);
    }
    // n commas at out, written eight at a time: out needs room for n
    // rounded up to a multiple of eight. Returns their end.
    static char* commas(char* out, size_t n) {
        for (size_t i = 0; i < n; i += 8) std::memcpy(out + i, ",,,,,,,,", 8);
        return out + n;
    }
    // count empty fields at once, as field("") count times would write them.
    void emptyFields(size_t count);
    void endRecord();
    // Hands everything written so far to the sink; false once any write failed.
    bool flush();
    bool failed() const { return failed_; }

private:
    // Room for n more bytes at the end of what is written; returns where.
    char* room(size_t n) {
        if (buffer_.size() - used_ < n) grow(n);
        return buffer_.data() + used_;
    }
    void grow(size_t n);

    ByteSink& sink_;
    std::string lineEnd_;
    std::vector<char> buffer_;   // its whole size is room; used_ bytes are written
    size_t used_ = 0;
    // Where the current record begins in buffer_, or PartWritten once part
    // of it was flushed.
    static constexpr size_t PartWritten = SIZE_MAX;
    size_t recordStart_ = 0;
    size_t fieldsInRecord_ = 0;
    bool firstInRecord_ = true;
    bool atStart_ = true;        // nothing written yet
    bool failed_ = false;
};

}  // namespace quillark
