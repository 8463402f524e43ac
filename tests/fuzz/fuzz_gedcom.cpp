// The GEDCOM reader and the tree audit on arbitrary bytes: lines come out
// numbered in order, with levels that never jump, in well-formed UTF-8,
// the same whether the input arrives at once or in pieces; the audit's
// rows keep their windows in order and name only lines the file has.
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "gedcom_reader.h"
#include "tree_audit.h"

namespace {

struct Read {
    quillark::GedcomReader::Status status;
    std::vector<std::string> lines;
    uint64_t lastNumber = 0;
};

bool wellFormedUtf8(std::string_view text) {
    size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        const size_t n = c >= 0xC2 && c <= 0xDF ? 1 : c >= 0xE0 && c <= 0xEF ? 2 : c >= 0xF0 && c <= 0xF4 ? 3 : 0;
        if (n == 0 || i + n >= text.size()) return false;
        for (size_t k = 1; k <= n; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        i += n + 1;
    }
    return true;
}

Read readAll(std::string_view input, size_t chunk) {
    quillark::GedcomTextSource source(input, chunk);
    quillark::GedcomReader reader(source, nullptr);
    Read read;
    quillark::GedcomLine line;
    int32_t level = -1;
    while ((read.status = reader.next(line)) == quillark::GedcomReader::Status::Line) {
        FUZZ_CHECK(line.number > read.lastNumber, "line %llu after %llu", (unsigned long long)line.number,
                   (unsigned long long)read.lastNumber);
        FUZZ_CHECK(line.level >= 0 && line.level <= level + 1, "level %d after %d", line.level, level);
        FUZZ_CHECK(!line.tag.empty(), "a line with no tag");
        FUZZ_CHECK(wellFormedUtf8(line.value), "a value that is not UTF-8 at line %llu",
                   (unsigned long long)line.number);
        level = line.level;
        read.lastNumber = line.number;
        read.lines.push_back(std::to_string(line.number) + " " + std::to_string(line.level) + " " +
                             std::string(line.xref) + " " + std::string(line.tag) + " " + std::string(line.value));
    }
    return read;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const size_t chunk = data[0] >> 2;  // 0: all at once
    const std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);

    const Read whole = readAll(input, 0);
    const Read pieces = readAll(input, chunk);
    FUZZ_CHECK(whole.status == pieces.status && whole.lines == pieces.lines, "%zu lines at once, %zu in pieces of %zu",
               whole.lines.size(), pieces.lines.size(), chunk);

    quillark::AuditOptions options;
    options.textAges = data[0] & 1;
    options.gedcom = data[0] & 2 ? quillark::GedcomVersion::V551 : quillark::GedcomVersion::V7;
    quillark::TreeAudit audit(options);
    quillark::GedcomTextSource source(input, chunk);
    uint64_t warnings = 0;
    const auto status = audit.read(source, [&](uint64_t, std::string_view message) {
        FUZZ_CHECK(!message.empty(), "an empty warning");
        ++warnings;
    });
    FUZZ_CHECK(status == whole.status, "the audit read differently");
    if (status != quillark::GedcomReader::Status::End) {
        FUZZ_CHECK(!audit.error().empty(), "no reason given");
        return 0;
    }
    for (size_t i = 0; i < audit.individuals(); ++i) {
        const quillark::AuditRow row = audit.row(i);
        FUZZ_CHECK(row.records == 0 || audit.hasRecords(i), "records without hasRecords");
        FUZZ_CHECK(!row.detail.empty(), "no detail");
        FUZZ_CHECK(row.evidenceLines.size() <= row.records, "more lines than records");
        for (size_t k = 0; k < row.evidenceLines.size(); ++k) {
            FUZZ_CHECK(row.evidenceLines[k] <= whole.lastNumber, "evidence beyond the last line");
            FUZZ_CHECK(k == 0 || row.evidenceLines[k - 1] < row.evidenceLines[k], "evidence out of order");
        }
        if (row.earliest && row.latest) FUZZ_CHECK(*row.earliest <= *row.latest, "a window that ends before it starts");
        if (row.verdict == quillark::Verdict::RecordsDisagree)
            FUZZ_CHECK(!row.earliest && !row.latest, "a window for records that disagree");
        FUZZ_CHECK((row.verdict == quillark::Verdict::NoRecords) == (row.records == 0), "verdict and records");
    }
    return 0;
}
