// The tree audit's report: one CSV row or JSON object per individual, as
// quillark-calc --audit writes it.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "csv.h"
#include "tree_audit.h"

namespace quillark {

struct AuditReportOptions {
    bool all = false;   // every individual, not only those with a record
    bool json = false;
    std::string_view file;  // the file's name, for the JSON
};

struct AuditReportCounts {
    uint64_t rows = 0;
    std::array<uint64_t, VerdictCount> verdicts{};  // by Verdict
};

// Writes the report; false when the sink failed.
bool writeAuditReport(const TreeAudit& audit, const AuditReportOptions& options, ByteSink& out,
                      AuditReportCounts& counts);

}  // namespace quillark
