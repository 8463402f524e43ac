#include "audit_report.h"

#include <nlohmann/json.hpp>

#include "render.h"

namespace quillark {

namespace {

constexpr std::string_view Columns[] = {
    "xref",           "name",    "records", "birth_earliest", "birth_latest", "suggested_birth",
    "recorded_birth", "verdict", "detail",  "evidence_lines"};

std::string linesText(const std::vector<uint64_t>& lines) {
    std::string text;
    for (uint64_t line : lines) {
        if (!text.empty()) text.push_back(' ');
        text += std::to_string(line);
    }
    return text;
}

}  // namespace

bool writeAuditReport(const TreeAudit& audit, const AuditReportOptions& options, ByteSink& out,
                      AuditReportCounts& counts) {
    counts = AuditReportCounts{};
    const auto include = [&](size_t i) { return options.all || audit.hasRecords(i); };
    if (options.json) {
        Json head;
        head["file"] = std::string(options.file);
        head["individuals"] = audit.individuals();
        std::string text = jsonText(head);
        text.resize(text.size() - 2);  // the closing brace and the line end
        text += ",\"people\":[";
        bool first = true;
        for (size_t i = 0; i < audit.individuals(); ++i) {
            if (!include(i)) continue;
            const AuditRow row = audit.row(i);
            ++counts.rows;
            ++counts.verdicts[static_cast<size_t>(row.verdict)];
            Json person;
            person["xref"] = std::string(row.xref);
            person["name"] = std::string(row.name);
            person["records"] = row.records;
            person["birth_earliest"] = textOrNull(isoText(row.earliest));
            person["birth_latest"] = textOrNull(isoText(row.latest));
            person["suggested_birth"] = textOrNull(row.suggested);
            person["recorded_birth"] = textOrNull(row.recordedBirth);
            person["verdict"] = std::string(verdictName(row.verdict));
            person["detail"] = row.detail;
            person["evidence_lines"] = row.evidenceLines;
            if (!first) text.push_back(',');
            first = false;
            text += jsonText(person);
            text.pop_back();  // its line end
            if (text.size() > (size_t{1} << 16)) {
                if (!out.write(text.data(), text.size())) return false;
                text.clear();
            }
        }
        text += "]}\n";
        return out.write(text.data(), text.size());
    }
    CsvWriter writer(out);
    for (std::string_view column : Columns) writer.field(column);
    writer.endRecord();
    for (size_t i = 0; i < audit.individuals() && !writer.failed(); ++i) {
        if (!include(i)) continue;
        const AuditRow row = audit.row(i);
        ++counts.rows;
        ++counts.verdicts[static_cast<size_t>(row.verdict)];
        writer.field(row.xref);
        writer.field(row.name);
        writer.field(std::to_string(row.records));
        writer.field(isoText(row.earliest));
        writer.field(isoText(row.latest));
        writer.field(row.suggested);
        writer.field(row.recordedBirth);
        writer.field(verdictName(row.verdict));
        writer.field(row.detail);
        writer.field(linesText(row.evidenceLines));
        writer.endRecord();
    }
    return writer.flush();
}

}  // namespace quillark
