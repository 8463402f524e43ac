// Readable names for parameterised tests. GoogleTest names each instance of
// a TEST_P by its index unless told otherwise, and CTest (through
// gtest_discover_tests) shows a struct parameter as its bytes
// ("/32-byte object <80-D3 ...>"), so a failure cannot be told from its
// neighbours. Every case table already names its rows for the failure
// messages; these helpers turn those names into the instance names:
//
//   INSTANTIATE_TEST_SUITE_P(Cases, Normalise, ::testing::ValuesIn(NormaliseCases),
//                            casenames::caseNames(NormaliseCases));
//
// shows as Cases/Normalise.CanonicalTextAndCode/month_word_with_comma.
// Header only: the native tests and the Windows tests (mingw-w64) share it.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace casenames {

// A case's name as GoogleTest accepts it: letters and digits kept, every run
// of anything else (blanks, punctuation, bytes above 127) one '_', none at
// either end. A name with nothing left is "case".
inline std::string identifierFrom(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    bool gap = false;
    for (char ch : name) {
        const unsigned char c = static_cast<unsigned char>(ch);
        const bool kept = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        if (!kept) {
            gap = true;
            continue;
        }
        if (gap && !out.empty()) out += '_';
        gap = false;
        out += ch;
    }
    return out.empty() ? std::string("case") : out;
}

// identifierFrom of each name, in order, made unique: a name met again gets
// "_2", "_3", ... (the first free one), so two rows that differ only in
// punctuation ("12/7/1941" and "12-7-1941") both run and both show.
inline std::vector<std::string> uniqueIdentifiers(const std::vector<std::string>& names) {
    std::vector<std::string> ids;
    ids.reserve(names.size());
    std::set<std::string> taken;
    // Names that are already unique keep their plain form even when an
    // earlier duplicate's suffix would have produced the same text.
    for (const std::string& name : names) taken.insert(identifierFrom(name));
    std::set<std::string> used;
    for (const std::string& name : names) {
        const std::string base = identifierFrom(name);
        std::string id = base;
        if (used.count(id) != 0) {
            for (size_t n = 2;; ++n) {
                id = base + "_" + std::to_string(n);
                if (used.count(id) == 0 && taken.count(id) == 0) break;
            }
        }
        used.insert(id);
        ids.push_back(id);
    }
    return ids;
}

// The name generator for a case table: nameOf(row) is the row's name. The
// names are worked out once, for the whole table, because making them unique
// needs all of them; GoogleTest then asks by index.
template <typename Case, size_t N, typename NameOf>
auto caseNames(const Case (&cases)[N], NameOf nameOf) {
    std::vector<std::string> names;
    names.reserve(N);
    for (const Case& c : cases) names.emplace_back(nameOf(c));
    return [ids = uniqueIdentifiers(names)](const ::testing::TestParamInfo<Case>& info) {
        return ids.at(info.index);
    };
}

// The same for the usual table whose rows have a `name` field.
template <typename Case, size_t N>
auto caseNames(const Case (&cases)[N]) {
    return caseNames(cases, [](const Case& c) { return std::string(c.name); });
}

}  // namespace casenames
