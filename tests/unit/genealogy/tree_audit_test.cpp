// The tree audit on the planted tree (in every encoding it may come in), on
// the shared real and reference files, and the reader on malformed input.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "audit_tree.h"
#include "gedcom_reader.h"
#include "gedcom_values.h"
#include "tree_audit.h"

namespace {

using quillark::AuditOptions;
using quillark::GedcomReader;
using quillark::GedcomTextSource;
using quillark::TreeAudit;

struct Warning {
    uint64_t line;
    std::string text;
};

struct Audited {
    GedcomReader::Status status;
    std::vector<quillark::AuditRow> rows;  // every individual
    std::vector<Warning> warnings;
};

// The rows point into the audit, which lives as long as the test program.
Audited audit(std::string_view text, AuditOptions options = {}, size_t chunk = 0) {
    static std::vector<std::unique_ptr<TreeAudit>> kept;
    kept.push_back(std::make_unique<TreeAudit>(options));
    TreeAudit& a = *kept.back();
    GedcomTextSource source(text, chunk);
    Audited out;
    out.status = a.read(source, [&](uint64_t line, std::string_view message) {
        out.warnings.push_back({line, std::string(message)});
    });
    for (size_t i = 0; i < a.individuals(); ++i) out.rows.push_back(a.row(i));
    return out;
}

std::string linesText(const std::vector<uint64_t>& lines) {
    std::string text;
    for (uint64_t l : lines) text += (text.empty() ? "" : " ") + std::to_string(l);
    return text;
}

// A row in one line, so one comparison shows every difference.
std::string rowText(const quillark::AuditRow& r) {
    return std::string(r.xref) + " | " + std::string(r.name) + " | " + std::to_string(r.records) + " | " +
           quillark::isoText(r.earliest) + " | " + quillark::isoText(r.latest) + " | " + r.suggested + " | " +
           std::string(r.recordedBirth) + " | " + std::string(quillark::verdictName(r.verdict)) + " | " +
           linesText(r.evidenceLines);
}

bool anyWarning(const Audited& a, uint64_t line, std::string_view part) {
    for (const Warning& w : a.warnings)
        if (w.line == line && w.text.find(part) != std::string::npos) return true;
    return false;
}

const char* const PlantedRows[] = {
    "@I1@ | Ann Ward | 3 | 1811-03-31 | 1811-06-06 | BET 31 MAR 1811 AND 6 JUN 1811 |  | no birth | 7 10 13",
    "@I2@ | John Ward | 1 | 1803-03-31 | 1804-03-30 | BET 31 MAR 1803 AND 30 MAR 1804 | 1805 | conflict | 20",
    "@I3@ | Mary Ward | 1 | 1836-03-31 | 1837-03-30 | BET 31 MAR 1836 AND 31 DEC 1836 | 1836 | narrower | 27",
    "@I4@ | William Ward | 1 | 1862-02-21 | 1862-02-21 |  | 21 FEB 1862 | consistent | 34",
    "@I5@ | Thomas Hill | 4 |  |  | BET 8 APR 1830 AND 12 MAY 1830 | ABT 1830 | records disagree | 41 44 47 88",
    "@I6@ | Sarah Hüll | 1 | 1830-05-13 | 1831-05-12 | BET 13 MAY 1830 AND 31 DEC 1830 | 1830 | narrower | 88",
    ("@I7@ | Robert Combe | 1 | 1680-02-25 | 1681-02-24 | BET JULIAN 15 FEB 1680 AND JULIAN 14 FEB 1681 |  | "
     "no birth | 58"),
    "@I8@ | Elizabeth Ray | 1 |  | 1840-03-20 |  | 3 MAR 1840 | consistent | 65",
    "@I9@ | George Ray | 1 |  | 1843-06-12 | BEF 12 JUN 1843 | 1845 | conflict | 71",
    "@I10@ | Henry Ward | 1 | 1869-04-04 | 1870-04-03 | BET 1 JAN 1870 AND 3 APR 1870 | 1870 | narrower | 77",
    "@I11@ | Jane Doe | 0 |  |  |  |  | no records | ",
};

TEST(TreeAudit, PlantedTreeInEveryEncoding) {
    const struct {
        const char* name;
        std::string text;
        quillark::GedcomEncoding encoding;
    } copies[] = {
        {"UTF-8, LF", audit_tree::Tree, quillark::GedcomEncoding::Utf8},
        {"UTF-8 with BOM", "\xEF\xBB\xBF" + audit_tree::Tree, quillark::GedcomEncoding::Utf8},
        {"ANSEL, CR", audit_tree::ansel(), quillark::GedcomEncoding::Ansel},
        {"UTF-16 LE, CR LF", audit_tree::utf16(true), quillark::GedcomEncoding::Utf16Le},
        {"UTF-16 BE, CR LF", audit_tree::utf16(false), quillark::GedcomEncoding::Utf16Be},
    };
    for (const auto& copy : copies) {
        // Whole, and in pieces that split lines, CR LF pairs and UTF-16 units.
        for (size_t chunk : {size_t{0}, size_t{1}, size_t{7}}) {
            TreeAudit a;
            GedcomTextSource source(copy.text, chunk);
            ASSERT_EQ(a.read(source, nullptr), GedcomReader::Status::End) << copy.name;
            EXPECT_EQ(a.encoding(), copy.encoding) << copy.name;
            EXPECT_EQ(a.individuals(), std::size(PlantedRows)) << copy.name;
            EXPECT_EQ(a.ageLines(), 13u) << copy.name;
            for (size_t i = 0; i < a.individuals() && i < std::size(PlantedRows); ++i)
                EXPECT_EQ(rowText(a.row(i)), PlantedRows[i]) << copy.name << ", chunk " << chunk;
        }
    }
}

TEST(TreeAudit, DetailsSayWhatToDo) {
    const Audited a = audit(audit_tree::Tree);
    ASSERT_EQ(a.rows.size(), std::size(PlantedRows));
    const struct {
        size_t row;
        const char* detail;
    } cases[] = {
        {0, "No birth date is recorded; the 3 records put the birth between 31 Mar 1811 and 6 Jun 1811."},
        {1, "The recorded birth is 9 months 2 days after the latest day the census of 30 Mar 1851 (line 20) allows "
            "(30 Mar 1804)."},
        {2, "The recorded birth is wider than the records allow: the record puts the birth between 31 Mar 1836 and "
            "30 Mar 1837, within the recorded date between 31 Mar 1836 and 31 Dec 1836."},
        {5, "The recorded birth is wider than the records allow: the record puts the birth between 13 May 1830 and "
            "12 May 1831, within the recorded date between 13 May 1830 and 31 Dec 1830."},
        {6, "No birth date is recorded; the record puts the birth between 15 Feb 1680 (Julian) and 14 Feb 1681 "
            "(Julian)."},
        {3, "The recorded birth fits: the record puts the birth on 21 Feb 1862."},
        {4, "No birth date fits all records: the census of 7 Apr 1861 (line 44) and the burial of 1880 (line 47) "
            "cannot both be right, one putting the birth between 8 Apr 1830 and 7 Apr 1831 and the other between "
            "2 Jan 1809 and 31 Dec 1810; the burial of 1880 (line 47) stands out: without it the birth lies between "
            "8 Apr 1830 and 12 May 1830."},
        {8, "The recorded birth is 1 year 6 months 19 days after the latest day the christening of 12 Jun 1843 "
            "(line 71) allows (12 Jun 1843)."},
    };
    for (const auto& c : cases) EXPECT_EQ(a.rows[c.row].detail, c.detail) << rowText(a.rows[c.row]);
}

// A window inside the recorded year is the suggestion as it is; a
// baptism without an age bounds it from above.
TEST(TreeAudit, NarrowerWithinTheRecordedDate) {
    const Audited a = audit("0 HEAD\n0 @I1@ INDI\n1 BIRT\n2 DATE 1836\n1 BAPM\n2 DATE 12 JUN 1836\n1 CENS\n"
                            "2 DATE 30 MAR 1851\n2 AGE 14\n0 TRLR\n");
    ASSERT_EQ(a.rows.size(), 1u);
    EXPECT_EQ(rowText(a.rows[0]), "@I1@ |  | 2 | 1836-03-31 | 1836-06-12 | BET 31 MAR 1836 AND 12 JUN 1836 | 1836 | "
                                  "narrower | 5 7");
    EXPECT_EQ(a.rows[0].detail, "The recorded birth is wider than the records allow: the 2 records put the birth "
                                "between 31 Mar 1836 and 12 Jun 1836.");
}

TEST(TreeAudit, WarningsNameTheirLines) {
    const Audited a = audit(audit_tree::Tree);
    const struct {
        uint64_t line;
        const char* part;
    } expected[] = {
        {7, "England and Wales on 6 Jun 1841 (EW1841): its ages of 15 and over stand for that age to four more; "
            "30 is read as 30 to 34"},
        {27, "census of England and Wales on 30 Mar 1851 (EW1851)"},
        {59, "of the Julian calendar"},
        {77, "the age 11 is read from the event's text 'was age 11 and the son of the head of the household'"},
        {83, "'(No idea of the date)' is a phrase, no date; the record is left out"},
    };
    for (const auto& e : expected) EXPECT_TRUE(anyWarning(a, e.line, e.part)) << e.line << ": " << e.part;
}

TEST(TreeAudit, TextAgesCanBeLeftOut) {
    AuditOptions options;
    options.textAges = false;
    const Audited a = audit(audit_tree::Tree, options);
    ASSERT_EQ(a.rows.size(), std::size(PlantedRows));
    EXPECT_EQ(rowText(a.rows[9]), "@I10@ | Henry Ward | 1 |  | 1881-04-03 |  | 1870 | consistent | 77");
    EXPECT_FALSE(anyWarning(a, 77, "event's text"));
}

TEST(TreeAudit, SuggestionsInGedcom551) {
    AuditOptions options;
    options.gedcom = quillark::GedcomVersion::V551;
    const Audited a = audit(audit_tree::Tree, options);
    ASSERT_EQ(a.rows.size(), std::size(PlantedRows));
    EXPECT_EQ(a.rows[6].suggested, "BET @#DJULIAN@ 15 FEB 1680 AND @#DJULIAN@ 14 FEB 1681");
    EXPECT_EQ(a.rows[8].suggested, "BEF 13 JUN 1843");  // 5.5.1's BEF leaves its day out
}

// Each family event's ages go to the spouse the family names; ages of a
// family with no such spouse are said and left out.
TEST(TreeAudit, FamilyEventAges) {
    const std::string tree =
        "0 HEAD\n0 @F1@ FAM\n1 MARR\n2 DATE 1 JUN 1850\n2 HUSB\n3 AGE 25y\n2 WIFE\n3 AGE 21\n1 HUSB @I2@\n"
        "1 DIV\n2 DATE 1860\n0 @I2@ INDI\n1 NAME Adam /Bell/\n0 @F2@ FAM\n1 ENGA\n2 DATE 1849\n2 WIFE\n3 AGE 20\n"
        "0 TRLR\n";
    const Audited a = audit(tree);
    ASSERT_EQ(a.status, GedcomReader::Status::End);
    ASSERT_EQ(a.rows.size(), 1u);
    // A family may name its members before their own records, and its
    // pointers after its events.
    EXPECT_EQ(rowText(a.rows[0]), "@I2@ | Adam Bell | 2 | 1824-06-02 | 1825-06-01 | BET 2 JUN 1824 AND 1 JUN 1825 |  | "
                                  "no birth | 3 10");
    EXPECT_TRUE(anyWarning(a, 8, "an age of the wife in a family that names none"));
    EXPECT_TRUE(anyWarning(a, 18, "an age of the wife in a family that names none"));

    // What the date of an event of both spouses says is said once.
    const Audited both = audit("0 HEAD\n0 @I1@ INDI\n0 @I2@ INDI\n0 @F1@ FAM\n1 HUSB @I1@\n1 WIFE @I2@\n1 MARR\n"
                               "2 DATE ABT 1850\n2 HUSB\n3 AGE 25\n2 WIFE\n3 AGE 21\n0 TRLR\n");
    ASSERT_EQ(both.rows.size(), 2u);
    EXPECT_EQ(quillark::isoText(both.rows[0].earliest) + " " + quillark::isoText(both.rows[1].earliest),
              "1824-01-02 1828-01-02");
    size_t dateWarnings = 0;
    for (const Warning& w : both.warnings) dateWarnings += w.line == 8;
    EXPECT_EQ(dateWarnings, 1u);
}

TEST(TreeAudit, DatesAndAgesAsRealFilesWriteThem) {
    // One individual per record; the window it gives.
    const struct {
        const char* name;
        const char* date;
        const char* age;
        const char* window;  // "earliest latest"
    } cases[] = {
        {"exact date", "6 JUN 1841", "40", "1800-06-07 1801-06-06"},
        {"mixed case month", "3 Apr 1881", "1", "1879-04-04 1880-04-03"},
        {"month", "JUN 1841", "40", "1800-06-02 1801-06-30"},
        {"year", "1841", "40", "1800-01-02 1801-12-31"},
        {"ABT", "ABT 1841", "40", "1800-01-02 1801-12-31"},
        {"CAL", "CAL 6 JUN 1841", "40", "1800-06-07 1801-06-06"},
        {"EST", "EST JUN 1841", "40", "1800-06-02 1801-06-30"},
        {"BEF", "BEF 6 JUN 1841", "40", " 1801-06-06"},
        {"AFT", "AFT 6 JUN 1841", "40", "1800-06-07 "},
        {"BET AND", "BET 1 JAN 1841 AND 6 JUN 1841", "40", "1800-01-02 1801-06-06"},
        {"FROM TO", "FROM 1840 TO 1841", "40", "1799-01-02 1801-12-31"},
        {"INT with phrase", "INT 6 JUN 1841 (from the register)", "40", "1800-06-07 1801-06-06"},
        {"dual year", "14 FEB 1720/21", "40", "1680-02-25 1681-02-24"},
        {"Julian, 5.5.1", "@#DJULIAN@ 14 FEB 1721", "40", "1680-02-25 1681-02-24"},
        {"Julian, 7", "JULIAN 14 FEB 1721", "40", "1680-02-25 1681-02-24"},
        {"years and months", "6 JUN 1841", "42y 6m", "1798-11-07 1798-12-06"},
        {"years, months, days", "6 JUN 1841", "42y 6m 9d", "1798-11-27 1798-11-27"},
        {"weeks", "6 JUN 1841", "3w", "1841-05-16 1841-05-16"},
        {"under five", "6 JUN 1841", "<5y", "1836-06-07 1841-06-06"},
        {"over sixty", "6 JUN 1841", ">60y", " 1781-06-06"},
        {"over months", "6 JUN 1841", "> 11m", " 1840-07-06"},
        {"over years and months", "6 JUN 1841", "> 1y 2m 3w", " 1840-04-06"},
        {"over nothing", "6 JUN 1841", "> 0y", " 1841-06-06"},
        {"INFANT", "6 JUN 1841", "INFANT", "1840-06-07 1841-06-06"},
        {"CHILD", "6 JUN 1841", "CHILD", "1833-06-07 1841-06-06"},
        {"STILLBORN", "6 JUN 1841", "STILLBORN", "1841-06-06 1841-06-06"},
        {"bare number", "6 JUN 1841", "76", "1764-06-07 1765-06-06"},
        {"months in words", "6 JUN 1841", "3 months", "1841-02-07 1841-03-06"},
        {"years in words", "6 JUN 1841", "42 yrs", "1798-06-07 1799-06-06"},
        {"census fraction", "6 JUN 1841", "3/12", "1841-02-07 1841-03-06"},
        {"date only", "6 JUN 1841", "", " 1841-06-06"},
        {"age no age", "6 JUN 1841", "old", " 1841-06-06"},
    };
    for (const auto& c : cases) {
        std::string tree = "0 HEAD\n0 @I1@ INDI\n1 DEAT\n2 DATE " + std::string(c.date) + "\n";
        if (*c.age != '\0') tree += "2 AGE " + std::string(c.age) + "\n";
        const Audited a = audit(tree + "0 TRLR\n");
        ASSERT_EQ(a.rows.size(), 1u) << c.name;
        EXPECT_EQ(quillark::isoText(a.rows[0].earliest) + " " + quillark::isoText(a.rows[0].latest), c.window)
            << c.name;
        EXPECT_EQ(a.rows[0].records, 1u) << c.name;
    }
}

TEST(TreeAudit, UnreadableDatesAreSkippedWithTheirLine) {
    const char* const dates[] = {"(No idea of the date)", "2 TVT 5758", "@#DHEBREW@ 2 TVT 5758",
                                 "5 AUG 1100 B.C.",       "1 JAN 1900 BCE", "BET 1850",
                                 "30 FEB 1850",           "14 JUN 1720/23", "FRENCH_R 5 VEND 0010",
                                 "",                      "ABT"};
    for (const char* date : dates) {
        const std::string tree = "0 HEAD\n0 @I1@ INDI\n1 NAME A /B/\n1 DEAT\n2 DATE " + std::string(date) +
                                 "\n2 AGE 40\n1 BURI\n2 DATE 1900\n0 TRLR\n";
        const Audited a = audit(tree);
        ASSERT_EQ(a.status, GedcomReader::Status::End) << date;
        ASSERT_EQ(a.rows.size(), 1u) << date;
        EXPECT_EQ(a.rows[0].records, 1u) << date << ": only the burial is left";
        EXPECT_TRUE(anyWarning(a, 5, "the record is left out")) << date;
    }
}

// The reader: malformed lines are said and mended or left out, never fatal
// once the header is read; only a file that does not start with one is no
// GEDCOM.
TEST(GedcomReader, MalformedLines) {
    const std::string text =
        "0 HEAD\n"
        "1 CHAR UTF-8\n"
        "  0 @I1@ INDI\n"          // leading blanks
        "1 NAME Ann /Ward/\n"
        "3 NOTE jumped\n"          // level 3 after 1
        "NAME no level\n"          // no level
        "1\n"                      // no tag
        "3 CONC nothing\n"         // continues the NOTE read as level 2
        "0 @I2 INDI\n"             // xref not closed
        "1 CONT orphan\n"          // after a line that was left out: continues nothing
        "1 NOTE first\r\n"
        "2 CONC  part\r\n"
        "2 CONT second\r"
        "0 TRLR";                  // no line end at the end
    quillark::GedcomTextSource source(text);
    std::vector<Warning> warnings;
    GedcomReader reader(source, [&](uint64_t line, std::string_view m) { warnings.push_back({line, std::string(m)}); });
    std::vector<std::string> lines;
    quillark::GedcomLine line;
    while (reader.next(line) == GedcomReader::Status::Line)
        lines.push_back(std::to_string(line.number) + ":" + std::to_string(line.level) + ":" + std::string(line.xref) +
                        ":" + std::string(line.tag) + ":" + std::string(line.value));
    const std::vector<std::string> expected = {
        "1:0::HEAD:",        "2:1::CHAR:UTF-8", "3:0:@I1@:INDI:",        "4:1::NAME:Ann /Ward/",
        "5:2::NOTE:jumpednothing", "11:1::NOTE:first part\nsecond", "14:0::TRLR:",
    };
    EXPECT_EQ(lines, expected);
    const std::map<uint64_t, std::string> said = {
        {5, "level 3 follows level 1; it is read as level 2"},
        {6, "the line does not start with a level number; it is left out"},
        {7, "the level number is not followed by a blank; it is left out"},
        {9, "a cross-reference (@...@) is not closed; it is left out"},
        {10, "CONT with no line to continue; it is left out"},
    };
    std::map<uint64_t, std::string> got;
    for (const Warning& w : warnings) got[w.line] = w.text;
    EXPECT_EQ(got, said);
}

TEST(GedcomReader, NotGedcom) {
    const struct {
        const char* name;
        std::string text;
        uint64_t line;
        const char* reason;
    } cases[] = {
        {"empty", "", 0, "the file is empty"},
        {"blank lines only", "\n\n  \n", 3, "the file holds no GEDCOM lines"},
        {"CSV", "name,event\nAnn,1841\n", 1, "it is no GEDCOM file: the line does not start with a level number"},
        {"another record first", "0 @I1@ INDI\n0 HEAD\n", 1, "it does not begin with a header (0 HEAD)"},
        {"binary", std::string("\x89PNG\r\n\x1a\n\0\0", 10), 1, "it is no GEDCOM file"},
    };
    for (const auto& c : cases) {
        const Audited a = audit(c.text);
        EXPECT_EQ(a.status, GedcomReader::Status::NotGedcom) << c.name;
        TreeAudit t;
        GedcomTextSource source(c.text);
        t.read(source, nullptr);
        EXPECT_EQ(t.errorLine(), c.line) << c.name;
        EXPECT_NE(t.error().find(c.reason), std::string::npos) << c.name << ": " << t.error();
    }
}

TEST(GedcomReader, EncodingsByHeader) {
    // Windows-1252 by CHAR (with the header's own copyright sign before it),
    // ANSEL's spacing letters and stacked marks, bytes that are no UTF-8 in
    // a UTF-8 file, and a character set no one knows.
    const struct {
        const char* name;
        std::string text;
        const char* value;
        const char* warning;
    } cases[] = {
        {"ANSI", "0 HEAD\n1 COPR \xA9\n1 CHAR ANSI\n0 @I1@ INDI\n1 NAME Ren\xE9 \x80\n", "René €", ""},
        {"ANSEL letters", "0 HEAD\n1 CHAR ANSEL\n0 @I1@ INDI\n1 NAME \xA1\xB2\xC3\xE2" "E\xF0" "c\n", "Łø©Éç", ""},
        {"ANSEL two marks", "0 HEAD\n1 CHAR ANSEL\n0 @I1@ INDI\n1 NAME \xE2\xE8u\xE2\n", "\xC3\xBA\xCC\x88\xCC\x81",
         ""},
        {"ASCII", "0 HEAD\n1 CHAR ASCII\n0 @I1@ INDI\n1 NAME Ann\n", "Ann", ""},
        {"UTF-8 with a stray byte", "0 HEAD\n1 CHAR UTF-8\n0 @I1@ INDI\n1 NAME Zo\xEB\n", "Zoë", "not UTF-8"},
        {"unknown set", "0 HEAD\n1 CHAR MACINTOSH\n0 @I1@ INDI\n1 NAME Ann\n", "Ann", "MACINTOSH"},
    };
    for (const auto& c : cases) {
        const Audited a = audit(c.text);
        ASSERT_EQ(a.rows.size(), 1u) << c.name;
        EXPECT_EQ(a.rows[0].name, c.value) << c.name;
        bool warned = false;
        for (const Warning& w : a.warnings) warned |= *c.warning != '\0' && w.text.find(c.warning) != std::string::npos;
        EXPECT_EQ(warned, *c.warning != '\0') << c.name;
    }
}

TEST(GedcomReader, LongLinesAreCut) {
    const std::string text = "0 HEAD\n0 @I1@ INDI\n1 NOTE " + std::string(GedcomReader::MaxLineBytes + 100, 'x') +
                             "\n1 NAME After /Long/\n0 TRLR\n";
    const Audited a = audit(text, {}, 65536);
    ASSERT_EQ(a.rows.size(), 1u);
    EXPECT_EQ(a.rows[0].name, "After Long");
    EXPECT_TRUE(anyWarning(a, 3, "longer than 1 MiB"));
}

TEST(GedcomValues, AgeInText) {
    const struct {
        const char* text;
        const char* age;
    } cases[] = {
        {"was age 11 and the son of the head of the household", "11"},
        {"was age 1 and the daughter", "1"},
        {"Aged 3 months, daughter", "3 months"},
        {"age 72 yrs", "72 yrs"},
        {"page 42", ""},
        {"stage 3 of the works", ""},
        {"of full age", ""},
        {"age unknown", ""},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(quillark::ageInText(c.text), c.age) << c.text;
}

// The files in ../shared/gedcom are third-party: read from there, never
// copied. Each is read without error, with the counts its SOURCES.md gives.
TEST(TreeAudit, SharedFiles) {
    const std::filesystem::path folder = QUILLARK_SHARED_GEDCOM;
    if (!std::filesystem::exists(folder / "SOURCES.md"))
        GTEST_SKIP() << folder << " is absent; the shared files are not checked";
    const struct {
        const char* file;
        size_t individuals;
        uint64_t ages;
        quillark::GedcomEncoding encoding;
    } files[] = {
        {"TGC55C.ged", 15, 26, quillark::GedcomEncoding::Ansel},
        {"allged.ged", 8, 22, quillark::GedcomEncoding::Ascii},
        {"assess.ged", 262, 15, quillark::GedcomEncoding::Utf8},
        {"g7-age.ged", 1, 98, quillark::GedcomEncoding::Utf8},
        {"g7-date.ged", 8, 0, quillark::GedcomEncoding::Utf8},
        {"g7-maximal70.ged", 4, 9, quillark::GedcomEncoding::Utf8},
        {"findmypast-alex-clark-deceased-only.ged", 521, 0, quillark::GedcomEncoding::Utf8},
        {"ftm-willis.ged", 761, 0, quillark::GedcomEncoding::Utf8},
    };
    for (const auto& f : files) {
        std::FILE* file = std::fopen((folder / f.file).c_str(), "rb");
        ASSERT_NE(file, nullptr) << f.file;
        quillark::GedcomFileSource source(file);
        TreeAudit a;
        const auto status = a.read(source, nullptr);
        std::fclose(file);
        EXPECT_EQ(status, GedcomReader::Status::End) << f.file << ": " << a.error();
        EXPECT_EQ(a.individuals(), f.individuals) << f.file;
        EXPECT_EQ(a.ageLines(), f.ages) << f.file;
        EXPECT_EQ(a.encoding(), f.encoding) << f.file;
        for (size_t i = 0; i < a.individuals(); ++i) {
            const quillark::AuditRow row = a.row(i);
            EXPECT_FALSE(row.detail.empty()) << f.file << " " << row.xref;
        }
    }
}

}  // namespace

namespace {

// Every age shape of the GEDCOM 7 reference file is read, but those that
// allow no age at all (under nothing) and the empty one.
TEST(GedcomValues, EveryGedcom7AgeShape) {
    const std::filesystem::path file = std::filesystem::path(QUILLARK_SHARED_GEDCOM) / "g7-age.ged";
    if (!std::filesystem::exists(file)) GTEST_SKIP() << file << " is absent; its ages are not checked";
    std::FILE* in = std::fopen(file.c_str(), "rb");
    ASSERT_NE(in, nullptr);
    quillark::GedcomFileSource source(in);
    GedcomReader reader(source, nullptr);
    quillark::GedcomLine line;
    std::vector<std::string> unread;
    size_t ages = 0;
    while (reader.next(line) == GedcomReader::Status::Line) {
        if (line.tag != "AGE") continue;
        ++ages;
        quillark::GedcomAge age;
        std::string problem;
        std::vector<std::string> warnings;
        if (!quillark::readGedcomAge(line.value, age, problem, warnings)) unread.emplace_back(line.value);
    }
    std::fclose(in);
    EXPECT_EQ(ages, 98u);
    // (And the ANSEL torture test's header says its copyright sign, which
    // comes before the header names ANSEL, in ANSEL.)
    std::FILE* ansel = std::fopen((file.parent_path() / "TGC55C.ged").c_str(), "rb");
    ASSERT_NE(ansel, nullptr);
    quillark::GedcomFileSource anselSource(ansel);
    GedcomReader anselReader(anselSource, nullptr);
    std::string copyright;
    while (anselReader.next(line) == GedcomReader::Status::Line)
        if (line.number == 28) copyright = line.value;
    std::fclose(ansel);
    EXPECT_EQ(copyright, "\u00A9 1997 by H. Eichmann, parts \u00A9 1999-2000 by J. A. Nairn.");
    std::string text;
    for (const std::string& u : unread) text += "[" + u + "]";
    EXPECT_EQ(text, "[< 0y][< 0m][< 0w][< 0d][< 0y 0m][< 0y 0w][< 0y 0d][< 0m 0w][< 0m 0d][< 0w 0d][< 0y 0m 0w]"
                    "[< 0y 0m 0d][< 0y 0w 0d][< 0m 0w 0d][< 0y 0m 0w 0d][]");
}

}  // namespace
