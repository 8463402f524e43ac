#include "csv.h"

#include <algorithm>
#include <cstring>

namespace quillark {

namespace {
constexpr size_t ChunkBytes = size_t{64} << 10;
}

// The bytes that end an unquoted field.
struct FieldEndBytes {
    bool table[256] = {};
    constexpr FieldEndBytes() {
        for (unsigned char c : {',', '\r', '\n'}) table[c] = true;
    }
};
constexpr FieldEndBytes FieldEnd;

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
    : source_(source), maxRecordBytes_(maxRecordBytes), buffer_(ChunkBytes) {}

std::string_view CsvReader::field(size_t index) const {
    const size_t begin = index == 0 ? 0 : ends_[index - 1];
    return std::string_view(data_).substr(begin, ends_[index] - begin);
}

bool CsvReader::fill() {
    while (!eof_) {
        pos_ = 0;
        end_ = 0;
        // At the very start keep reading until the three bytes of a byte-order
        // mark are in, however the source splits them.
        const size_t want = atStart_ ? 3 : 1;
        while (end_ < want) {
            const size_t n = source_.read(buffer_.data() + end_, buffer_.size() - end_);
            if (n == 0) {
                eof_ = true;
                break;
            }
            end_ += n;
        }
        if (atStart_) {
            atStart_ = false;
            if (end_ >= 3 && std::memcmp(buffer_.data(), "\xEF\xBB\xBF", 3) == 0) pos_ = 3;
        }
        if (pos_ < end_) return true;
    }
    return false;
}

void CsvReader::endField() { ends_.push_back(static_cast<uint32_t>(data_.size())); }

// Field bytes and commas, whatever pieces the input came in: the checks on
// the way only see the part of the record read so far.
CsvReader::Status CsvReader::finish() const {
    return data_.size() + ends_.size() - 1 > maxRecordBytes_ ? Status::RecordTooLong : Status::Record;
}

CsvReader::Status CsvReader::next() {
    data_.clear();
    ends_.clear();
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
            return finish();
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
                return finish();
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

CsvWriter::CsvWriter(ByteSink& sink, std::string_view lineEnd)
    : sink_(sink), lineEnd_(lineEnd), buffer_(ChunkBytes + 1024) {}

CsvWriter::~CsvWriter() { flush(); }

void CsvWriter::grow(size_t n) { buffer_.resize(std::max(buffer_.size() * 2, used_ + n)); }

namespace {

// The bytes that make a field need quotes.
struct SpecialBytes {
    bool table[256] = {};
    constexpr SpecialBytes() {
        for (unsigned char c : {',', '"', '\r', '\n'}) table[c] = true;
    }
};
constexpr SpecialBytes Special;

}  // namespace

void CsvWriter::field(std::string_view text) {
    // The worst case: a separator, two quotes and every byte a doubled quote.
    char* const start = room(text.size() * 2 + 3);
    char* out = start;
    if (!firstInRecord_) *out++ = ',';
    ++fieldsInRecord_;
    firstInRecord_ = false;
    // One pass copies the bytes and notes whether any needs quotes; the
    // rare field that does is then written again, quoted.
    char* const body = out;
    bool special = false;
    for (const char c : text) {
        special |= Special.table[static_cast<unsigned char>(c)];
        *out++ = c;
    }
    if (atStart_) {
        atStart_ = false;
        special |= text.substr(0, 3) == "\xEF\xBB\xBF";
    }
    if (special) {
        out = body;
        *out++ = '"';
        for (const char c : text) {
            if (c == '"') *out++ = '"';
            *out++ = c;
        }
        *out++ = '"';
    }
    used_ += static_cast<size_t>(out - start);
}

void CsvWriter::emptyFields(size_t count) {
    if (count == 0) return;
    // The first field of a record has no comma in front of it.
    const size_t separators = firstInRecord_ ? count - 1 : count;
    commas(room(separators + 8), separators);
    used_ += separators;
    fieldsInRecord_ += count;
    firstInRecord_ = false;
}

void CsvWriter::endRecord() {
    // A record of one empty field would read back as a blank line.
    const bool lone = fieldsInRecord_ == 1 && used_ == recordStart_;
    char* out = room(lineEnd_.size() + 2);
    if (lone) {
        *out++ = '"';
        *out++ = '"';
    }
    for (const char c : lineEnd_) *out++ = c;
    used_ = static_cast<size_t>(out - buffer_.data());
    firstInRecord_ = true;
    fieldsInRecord_ = 0;
    if (used_ >= ChunkBytes) flush();
    recordStart_ = used_;
}

bool CsvWriter::flush() {
    if (used_ > 0) {
        if (!failed_ && !sink_.write(buffer_.data(), used_)) failed_ = true;
        // A record left part written is no longer one empty field, however
        // little of it remains here.
        recordStart_ = used_ == recordStart_ ? 0 : PartWritten;
        used_ = 0;
    }
    return !failed_;
}

}  // namespace quillark
