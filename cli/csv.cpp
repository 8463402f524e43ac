#include "csv.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quillark {

namespace {

constexpr size_t ChunkBytes = size_t{64} << 10;

// The bytes that end an unquoted field.
struct FieldEndBytes {
    bool table[256] = {};
    constexpr FieldEndBytes() {
        for (unsigned char c : {',', '\r', '\n'}) table[c] = true;
    }
};
constexpr FieldEndBytes FieldEnd;

// Where in a block of input bytes the commas, quotes and line ends are, one
// set of bits each, the first byte's lowest: the reader finds a record's
// separators a block at a time instead of byte by byte. (QUILLARK_CSV_NO_SSE2
// builds what other processors get, to test it.)
#if defined(__SSE2__) && !defined(QUILLARK_CSV_NO_SSE2)

// Sixteen bytes compared at once: every x86-64 processor has SSE2.
using BlockBits = uint32_t;
constexpr size_t BlockBytes = 16;
constexpr unsigned BitsPerByte = 1;

struct Block {
    BlockBits commas, quotes, lineEnds, lineFeeds;

    explicit Block(const char* p) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const auto where = [&](char c) { return _mm_cmpeq_epi8(bytes, _mm_set1_epi8(c)); };
        const auto bits = [](__m128i found) { return static_cast<BlockBits>(_mm_movemask_epi8(found)); };
        commas = bits(where(','));
        quotes = bits(where('"'));
        lineFeeds = bits(where('\n'));
        lineEnds = bits(_mm_or_si128(where('\r'), where('\n')));
    }
};

#else

// Eight bytes in a word elsewhere: the high bit of each byte says whether it
// is the one looked for. Adding 0x7F to the low seven bits of a byte sets
// its high bit unless they are all zero, i.e. unless the byte equals the one
// they were xored with; no carry runs into the next byte, so each bit is
// exact, and a byte above 127 is never one looked for.
using BlockBits = uint64_t;
constexpr size_t BlockBytes = 8;
constexpr unsigned BitsPerByte = 8;

constexpr uint64_t EachByte(unsigned char c) { return 0x0101010101010101u * c; }

struct Block {
    BlockBits commas, quotes, lineEnds, lineFeeds;

    explicit Block(const char* p) {
        uint64_t word;
        std::memcpy(&word, p, sizeof word);
        if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
        constexpr uint64_t Low7 = EachByte(0x7F);
        const uint64_t low = word & Low7;
        const auto differs = [&](char c) { return (low ^ EachByte(static_cast<unsigned char>(c))) + Low7; };
        const auto bits = [&](uint64_t differ) { return ~(differ | word | Low7); };
        commas = bits(differs(','));
        quotes = bits(differs('"'));
        lineFeeds = bits(differs('\n'));
        lineEnds = bits(differs('\r') & differs('\n'));
    }
};

#endif

// Zeros after the bytes read: a block read at any byte up to their end stays
// inside the buffer and finds nothing past it.
constexpr size_t Padding = BlockBytes;

// The byte of a block that the lowest of bits stands for.
size_t byteOf(BlockBits bits) { return static_cast<unsigned>(std::countr_zero(bits)) / BitsPerByte; }

}  // namespace

size_t FileSource::read(char* buffer, size_t size) { return std::fread(buffer, 1, size, file_); }

bool FileSource::failed() const { return std::ferror(file_) != 0; }

size_t StringSource::read(char* buffer, size_t size) {
    size_t n = std::min(size, text_.size());
    if (chunk_ > 0) n = std::min(n, chunk_);
    std::memcpy(buffer, text_.data(), n);
    text_.remove_prefix(n);
    return n;
}

CsvReader::CsvReader(ByteSource& source, size_t maxRecordBytes)
    : source_(source), maxRecordBytes_(maxRecordBytes), buffer_(ChunkBytes + Padding), fields_(4 * BlockBytes) {}

bool CsvReader::fill() {
    while (!eof_) {
        pos_ = 0;
        end_ = 0;
        // At the very start keep reading until the three bytes of a byte-order
        // mark are in, however the source splits them.
        const size_t want = atStart_ ? 3 : 1;
        while (end_ < want) {
            const size_t n = source_.read(buffer_.data() + end_, ChunkBytes - end_);
            if (n == 0) {
                eof_ = true;
                break;
            }
            end_ += n;
        }
        std::memset(buffer_.data() + end_, 0, Padding);
        if (atStart_) {
            atStart_ = false;
            if (end_ >= 3 && std::memcmp(buffer_.data(), "\xEF\xBB\xBF", 3) == 0) pos_ = 3;
        }
        if (pos_ < end_) return true;
    }
    return false;
}

// Most records lie whole in the buffer with nothing to unquote: their fields
// are handed out as views of it, the separators found a block at a time.
// Anything else (a record cut by the buffer's end, a doubled quote, text
// after a closing quote, a CR that is the buffer's last byte, more fields
// than there is room for) is left as it was found and read again by
// copying, which also makes the room.
CsvReader::Status CsvReader::next() {
    if (pos_ == end_ && !fill()) {
        fieldCount_ = 0;
        blankLine_ = false;
        unterminatedQuote_ = false;
        endedWithCrLf_ = false;
        return source_.failed() ? Status::ReadError : Status::End;
    }
    return viewRecord();
}

CsvReader::Status CsvReader::viewRecord() {
    const char* const base = buffer_.data();
    const char* const start = base + pos_;
    const char* const stop = base + end_;
    std::string_view* const first = fields_.data();
    std::string_view* const last = first + fields_.size();
    std::string_view* field = first;
    const auto add = [&field](const char* begin, const char* end) {
        *field++ = std::string_view(begin, static_cast<size_t>(end - begin));
    };
    uint64_t breaks = 0;   // line breaks inside quoted fields
    const char* fieldBegin = start;

    // The block being looked at: its commas not yet taken, and its quotes
    // and line ends (marks), which stop the plain run of fields. The bytes
    // past stop are zeros, so no bit stands for one of them. There must be
    // room for every field the block can end.
    const char* block = start;
    BlockBits commas = 0, marks = 0;
    const auto look = [&](const char* at) {
        block = at;
        const Block found(at);
        commas = found.commas;
        marks = found.quotes | found.lineEnds;
        return static_cast<size_t>(last - field) > BlockBytes;
    };
    const auto endFields = [&](BlockBits ending) {
        for (; ending != 0; ending &= ending - 1) {
            const char* const at = block + byteOf(ending);
            add(fieldBegin, at);
            fieldBegin = at + 1;
        }
    };
    if (!look(start)) return copyRecord();

    for (;;) {
        if (marks == 0) {
            endFields(commas);
            if (block + BlockBytes >= stop || !look(block + BlockBytes)) return copyRecord();
            continue;
        }
        // The commas before the first mark end fields.
        const BlockBits mark = marks & (BlockBits{0} - marks);
        endFields(commas & (mark - 1));
        commas &= BlockBits{0} - mark;
        marks &= marks - 1;
        const char* at = block + byteOf(mark);
        char c = *at;
        if (c == '"') {
            // Only a quote that opens a field quotes it; elsewhere it is text.
            if (at != fieldBegin) continue;
            const char* close = at + 1;
            for (;;) {
                const Block found(close);
                // Line feeds before the closing quote, if it is here, are
                // line breaks inside the field.
                BlockBits lineFeeds = found.lineFeeds;
                if (found.quotes != 0) lineFeeds &= (found.quotes & (BlockBits{0} - found.quotes)) - 1;
                for (; lineFeeds != 0; lineFeeds &= lineFeeds - 1) ++breaks;
                if (found.quotes != 0) {
                    close += byteOf(found.quotes);
                    break;
                }
                close += BlockBytes;
                if (close >= stop) return copyRecord();
            }
            // The closing quote needs a separator after it: a quote there is
            // a doubled one, other text is kept after the quoted part, and
            // past the buffer's end the padding says neither. Those records
            // are copied.
            c = close[1];
            add(at + 1, close);
            at = close + 1;
            if (c == ',') {
                fieldBegin = at + 1;
                if (!look(fieldBegin)) return copyRecord();
                continue;
            }
            if (c != '\n' && c != '\r') return copyRecord();
        } else {
            add(fieldBegin, at);
        }

        // A line end: the record ends.
        const char* after = at + 1;
        bool crLf = false;
        if (c == '\r') {
            if (after == stop) return copyRecord();   // its LF may be in the next chunk
            if (*after == '\n') {
                ++after;
                crLf = true;
            }
        }
        // Quotes make the bytes more than the cap counts; only a record that
        // may be over it is measured exactly, by copying.
        if (static_cast<size_t>(at - start) > maxRecordBytes_) return copyRecord();
        fieldCount_ = static_cast<size_t>(field - first);
        blankLine_ = at == start;
        unterminatedQuote_ = false;
        endedWithCrLf_ = crLf;
        recordLine_ = line_;
        line_ += 1 + breaks;
        pos_ = static_cast<size_t>(after - base);
        return Status::Record;
    }
}

void CsvReader::endField() { ends_.push_back(static_cast<uint32_t>(data_.size())); }

// The record as copied: the views point into data_, which no longer moves.
CsvReader::Status CsvReader::finishCopy() {
    // Field bytes and commas, whatever pieces the input came in: the checks
    // on the way only see part of the record.
    if (data_.size() + ends_.size() - 1 > maxRecordBytes_) return Status::RecordTooLong;
    // Room for the views of a record like this one, found a block at a time.
    if (fields_.size() < ends_.size() + BlockBytes + 1) fields_.resize(ends_.size() + BlockBytes + 1);
    size_t begin = 0;
    for (size_t i = 0; i < ends_.size(); ++i) {
        fields_[i] = std::string_view(data_).substr(begin, ends_[i] - begin);
        begin = ends_[i];
    }
    fieldCount_ = ends_.size();
    return Status::Record;
}

CsvReader::Status CsvReader::copyRecord() {
    data_.clear();
    ends_.clear();
    fieldCount_ = 0;
    blankLine_ = false;
    unterminatedQuote_ = false;
    endedWithCrLf_ = false;

    State state = State::FieldStart;
    bool started = false;  // any byte of this record consumed

    for (;;) {
        if (pos_ == end_ && !fill()) {
            if (source_.failed()) return Status::ReadError;
            if (!started) return Status::End;
            if (state == State::Quoted) unterminatedQuote_ = true;
            endField();
            return finishCopy();
        }
        if (!started) {
            started = true;
            recordLine_ = line_;
        }

        const char* const base = buffer_.data();
        switch (state) {
        case State::FieldStart:
        case State::Unquoted: {
            // Plain fields one after another without leaving this loop: most
            // records are nothing else.
            for (;;) {
                if (state == State::FieldStart && base[pos_] == '"') {
                    ++pos_;
                    state = State::Quoted;
                    break;
                }
                // Copy the plain run up to the next separator in one go.
                size_t stop = pos_;
                while (stop < end_ && !FieldEnd.table[static_cast<unsigned char>(base[stop])]) ++stop;
                const bool empty = state == State::FieldStart && stop == pos_;
                data_.append(base + pos_, stop - pos_);
                pos_ = stop;
                if (pos_ == end_) {
                    if (!empty) state = State::Unquoted;
                    break;
                }
                const char c = base[pos_++];
                if (c == ',') {
                    endField();
                    state = State::FieldStart;
                    if (pos_ == end_ || data_.size() + ends_.size() > maxRecordBytes_) break;
                    continue;
                }
                // A line end closes the record.
                blankLine_ = ends_.empty() && data_.empty() && empty;
                endField();
                ++line_;
                // After a CR, a LF belongs to the same line end; it may only
                // arrive with the next chunk. (The record's bytes are already
                // copied out, so the buffer can be refilled here.)
                if (c == '\r' && (pos_ < end_ || fill()) && buffer_[pos_] == '\n') {
                    ++pos_;
                    endedWithCrLf_ = true;
                }
                return finishCopy();
            }
            break;
        }
        case State::Quoted: {
            size_t stop = pos_;
            while (stop < end_ && base[stop] != '"') {
                if (base[stop] == '\n') ++line_;
                ++stop;
            }
            data_.append(base + pos_, stop - pos_);
            pos_ = stop;
            if (pos_ < end_) {
                ++pos_;
                state = State::QuoteInQuoted;
            }
            break;
        }
        case State::QuoteInQuoted: {
            const char c = base[pos_];
            if (c == '"') {
                // A doubled quote stands for one quote.
                data_.push_back('"');
                ++pos_;
                state = State::Quoted;
            } else {
                // The closing quote. A separator or line end is then taken as
                // after any field; other text after it is kept as it stands,
                // as most readers do, rather than losing the row.
                state = State::Unquoted;
            }
            break;
        }
        }

        if (data_.size() + ends_.size() > maxRecordBytes_) return Status::RecordTooLong;
    }
}

bool FileSink::write(const char* data, size_t size) {
    return std::fwrite(data, 1, size, file_) == size;
}

CsvWriter::CsvWriter(ByteSink& sink, std::string_view lineEnd) : sink_(sink), buffer_(ChunkBytes + 1024) {
    setLineEnd(lineEnd);
    out_ = recordStart_ = buffer_.data();
    limit_ = buffer_.data() + buffer_.size();
    flushAt_ = buffer_.data() + ChunkBytes;
    setShortEnd();
}

void CsvWriter::setLineEnd(std::string_view lineEnd) {
    lineEnd_.assign(lineEnd);
    const bool fits = lineEnd.size() <= sizeof lineEndWord_;
    if (fits) std::memcpy(lineEndWord_, lineEnd.data(), lineEnd.size());
    lineEndRoom_ = fits ? sizeof lineEndWord_ : SIZE_MAX;
}

CsvWriter::~CsvWriter() { flush(); }

void CsvWriter::setShortEnd() {
    // At the very start every field goes the long way, which looks for a
    // byte-order mark.
    shortEnd_ = atStart_ ? buffer_.data() : limit_ - (ShortField + 1);
}

void CsvWriter::started() {
    atStart_ = false;
    setShortEnd();
}

void CsvWriter::grow(size_t n) {
    const size_t used = static_cast<size_t>(out_ - buffer_.data());
    const size_t recordStart = recordStart_ ? static_cast<size_t>(recordStart_ - buffer_.data()) : 0;
    buffer_.resize(std::max(buffer_.size() * 2, used + n));
    out_ = buffer_.data() + used;
    if (recordStart_) recordStart_ = buffer_.data() + recordStart;
    limit_ = buffer_.data() + buffer_.size();
    flushAt_ = buffer_.data() + ChunkBytes;
    setShortEnd();
}

// Eight bytes at a time, the last eight overlapping those before.
bool CsvWriter::needsQuotes(std::string_view text) {
    const size_t size = text.size();
    if (size < 8) {
        for (const char c : text)
            if (c == ',' || c == '"' || c == '\r' || c == '\n') return true;
        return false;
    }
    uint64_t found = 0, word;
    for (size_t i = 0; i + 8 < size; i += 8) {
        std::memcpy(&word, text.data() + i, 8);
        found |= specialBytes(word);
    }
    std::memcpy(&word, text.data() + size - 8, 8);
    return (found | specialBytes(word)) != 0;
}

// A field that is long, may need quotes or may start the output.
void CsvWriter::fieldChecked(std::string_view text) {
    const size_t size = text.size();
    // The worst case: a separator, two quotes and every byte a doubled quote.
    char* out = room(size * 2 + 3);
    *out = ',';
    out += separator_;
    separator_ = 1;
    // Copied as it stands, which is what most fields need, and looked over.
    bool special;
    if (size <= ShortField) {
        special = copyShort<true>(out, text.data(), size);
    } else {
        std::memcpy(out, text.data(), size);
        special = needsQuotes(text);
    }
    if (atStart_) {
        started();
        special |= text.substr(0, 3) == "\xEF\xBB\xBF";
    }
    if (!special) {
        out_ = out + size;
        return;
    }
    // Quoted, each quote doubled: the runs between quotes copied whole.
    *out++ = '"';
    const char* from = text.data();
    const char* const end = from + size;
    while (const void* quote = std::memchr(from, '"', static_cast<size_t>(end - from))) {
        const size_t run = static_cast<size_t>(static_cast<const char*>(quote) - from) + 1;
        std::memcpy(out, from, run);
        out += run;
        *out++ = '"';
        from += run;
    }
    std::memcpy(out, from, static_cast<size_t>(end - from));
    out += end - from;
    *out++ = '"';
    out_ = out;
}

void CsvWriter::emptyFields(size_t count) {
    if (count == 0) return;
    // The first field of a record has no comma in front of it.
    const size_t separators = count - 1 + separator_;
    out_ = commas(room(separators + 8), separators);
    separator_ = 1;
}

void CsvWriter::endRecordChecked() {
    // A record of one empty field would read back as a blank line.
    const bool lone = separator_ != 0 && out_ == recordStart_;
    char* out = room(lineEnd_.size() + 2);
    if (lone) {
        *out++ = '"';
        *out++ = '"';
    }
    for (const char c : lineEnd_) *out++ = c;
    out_ = out;
    separator_ = 0;
    if (out_ >= flushAt_) flush();
    recordStart_ = out_;
}

bool CsvWriter::flush() {
    if (out_ != buffer_.data()) {
        if (!failed_ && !sink_.write(buffer_.data(), static_cast<size_t>(out_ - buffer_.data()))) failed_ = true;
        // A record left part written is no longer one empty field, however
        // little of it remains here.
        recordStart_ = out_ == recordStart_ ? buffer_.data() : nullptr;
        out_ = buffer_.data();
    }
    return !failed_;
}

}  // namespace quillark
