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

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
    // The fields point into the reader's own buffer.
    CsvReader(const CsvReader&) = delete;
    CsvReader& operator=(const CsvReader&) = delete;

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
    // The write position points into the writer's own buffer.
    CsvWriter(const CsvWriter&) = delete;
    CsvWriter& operator=(const CsvWriter&) = delete;

    void setLineEnd(std::string_view lineEnd);
    void field(std::string_view text) {
        // Most fields are short and need no quotes: copied with a few word
        // moves, the bytes looked over on the way, and kept as they are.
        // Anything else is written again the long way.
        const size_t size = text.size();
        if (size <= ShortField && out_ < shortEnd_) {
            *out_ = ',';
            char* const out = out_ + separator_;
            if (!copyShort(out, text.data(), size)) {
                separator_ = 1;
                out_ = out + size;
                return;
            }
        }
        fieldChecked(text);
    }
    // count fields the caller writes in place: write(out) puts them there,
    // their texts of at most textBytes in all with a comma between each two
    // (commas() may write those), and returns their end. None of the fields
    // may need quotes: no comma, quote or line break, nor a byte-order mark
    // to start the output (ISO dates, say).
    template <class Write>
    void writtenFields(size_t count, size_t textBytes, Write&& write) {
        if (count == 0) return;
        // The separator in front, the commas between, and the eight that
        // commas() may write beyond the last.
        char* out = room(textBytes + count + 8);
        *out = ',';
        out += separator_;
        separator_ = 1;
        if (atStart_) started();
        out_ = write(out);
    }
    // n commas at out, written eight at a time: out needs room for n
    // rounded up to a multiple of eight. Returns their end.
    static char* commas(char* out, size_t n) {
        for (size_t i = 0; i < n; i += 8) std::memcpy(out + i, ",,,,,,,,", 8);
        return out + n;
    }
    // count empty fields at once, as field("") count times would write them.
    void emptyFields(size_t count);
    void endRecord() {
        // The line end is written as one word; a record of one empty field,
        // a long line end or a full buffer take the long way.
        if ((separator_ != 0 && out_ == recordStart_) || static_cast<size_t>(limit_ - out_) < lineEndRoom_) {
            endRecordChecked();
            return;
        }
        std::memcpy(out_, lineEndWord_, sizeof lineEndWord_);
        out_ += lineEnd_.size();
        separator_ = 0;
        if (out_ >= flushAt_) flush();
        recordStart_ = out_;
    }
    // Hands everything written so far to the sink; false once any write failed.
    bool flush();
    bool failed() const { return failed_; }

private:
    // The longest field field() copies without a loop.
    static constexpr size_t ShortField = 16;

    // Copies size bytes (at most ShortField) from in to out, a load and a
    // store from each end that overlap in the middle, and says whether any
    // of them needs quotes: exactly, or else false only when none does.
    template <bool Exact = false>
    static bool copyShort(char* out, const char* in, size_t size) {
        // (QUILLARK_CSV_NO_SSE2 builds what other processors get, to test it.)
#if defined(__SSE2__) && !defined(QUILLARK_CSV_NO_SSE2)
        // All sixteen bytes compared at once, those a short field leaves
        // empty being zeros.
        __m128i bytes;
        if (size >= 8) {
            const __m128i head = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(in));
            const __m128i tail = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(in + size - 8));
            _mm_storel_epi64(reinterpret_cast<__m128i*>(out), head);
            _mm_storel_epi64(reinterpret_cast<__m128i*>(out + size - 8), tail);
            bytes = _mm_unpacklo_epi64(head, tail);
        } else if (size >= 4) {
            uint32_t first, last;
            std::memcpy(&first, in, 4);
            std::memcpy(&last, in + size - 4, 4);
            std::memcpy(out, &first, 4);
            std::memcpy(out + size - 4, &last, 4);
            bytes = _mm_cvtsi64_si128(static_cast<long long>(first | uint64_t{last} << 32));
        } else if (size > 0) {
            const unsigned first = static_cast<unsigned char>(in[0]);
            const unsigned middle = static_cast<unsigned char>(in[size / 2]);
            const unsigned last = static_cast<unsigned char>(in[size - 1]);
            out[0] = static_cast<char>(first);
            out[size / 2] = static_cast<char>(middle);
            out[size - 1] = static_cast<char>(last);
            bytes = _mm_cvtsi32_si128(static_cast<int>(first | middle << 8 | last << 16));
        } else {
            return false;
        }
        // A comma, a quote, and CR and LF, which when not Exact are taken
        // in with one comparison as bytes from 8 to 15 (a tab, say, too).
        const auto is = [](__m128i in, char c) { return _mm_cmpeq_epi8(in, _mm_set1_epi8(c)); };
        const __m128i lineBreaks = Exact ? _mm_or_si128(is(bytes, '\r'), is(bytes, '\n'))
                                         : is(_mm_or_si128(bytes, _mm_set1_epi8(7)), 15);
        return _mm_movemask_epi8(_mm_or_si128(_mm_or_si128(is(bytes, ','), is(bytes, '"')), lineBreaks)) != 0;
#else
        uint64_t head, tail;   // all the bytes, some of them twice
        if (size >= 8) {
            std::memcpy(&head, in, 8);
            std::memcpy(&tail, in + size - 8, 8);
            std::memcpy(out, &head, 8);
            std::memcpy(out + size - 8, &tail, 8);
        } else if (size >= 4) {
            uint32_t first, last;
            std::memcpy(&first, in, 4);
            std::memcpy(&last, in + size - 4, 4);
            std::memcpy(out, &first, 4);
            std::memcpy(out + size - 4, &last, 4);
            head = tail = first | uint64_t{last} << 32;
        } else if (size > 0) {
            const uint64_t first = static_cast<unsigned char>(in[0]);
            const uint64_t middle = static_cast<unsigned char>(in[size / 2]);
            const uint64_t last = static_cast<unsigned char>(in[size - 1]);
            out[0] = static_cast<char>(first);
            out[size / 2] = static_cast<char>(middle);
            out[size - 1] = static_cast<char>(last);
            head = tail = first | middle << 8 | last << 16;
        } else {
            return false;
        }
        return (specialBytes(head) | specialBytes(tail)) != 0;
#endif
    }

    static constexpr uint64_t EachByte = 0x0101010101010101u;
    // The high bit set in each byte of word that needs quotes, exact per
    // byte: adding 0x7F to the low seven bits of a byte sets its high bit
    // unless they equal those of the byte they were xored with, no carry
    // leaves the byte, and a byte above 127 needs none.
    static uint64_t specialBytes(uint64_t word) {
        constexpr uint64_t Low7 = EachByte * 0x7F;
        const uint64_t low = word & Low7;
        const auto differs = [low](char c) { return (low ^ (EachByte * static_cast<unsigned char>(c))) + Low7; };
        return ~((differs(',') & differs('"') & differs('\r') & differs('\n')) | word | Low7);
    }

    // Whether any byte of text needs quotes, exactly.
    static bool needsQuotes(std::string_view text);
    void fieldChecked(std::string_view text);
    void endRecordChecked();
    // Room for n more bytes at the end of what is written; returns where.
    char* room(size_t n) {
        if (static_cast<size_t>(limit_ - out_) < n) grow(n);
        return out_;
    }
    void grow(size_t n);
    void started();
    void setShortEnd();

    ByteSink& sink_;
    std::string lineEnd_;
    char lineEndWord_[8] = {};      // the line end, when it fits
    size_t lineEndRoom_ = 0;        // the room endRecord() writes it in: 8, or more than can be
    std::vector<char> buffer_;      // its whole size is room
    char* flushAt_ = nullptr;       // a record that ends past here is handed on
    char* out_ = nullptr;           // the end of what is written
    char* limit_ = nullptr;         // the end of buffer_
    // field() copies a short field straight to out_ while out_ is before
    // this: room for the longest, and nothing written yet is more to check.
    char* shortEnd_ = nullptr;
    // Where the current record begins; null once part of it was flushed.
    char* recordStart_ = nullptr;
    size_t separator_ = 0;          // the bytes before the next field: 1 (a comma) once the record has one
    bool atStart_ = true;           // no field written yet
    bool failed_ = false;
};

}  // namespace quillark
