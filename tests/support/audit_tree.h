// A small family tree written for the audit's tests, with one planted fact
// for each verdict, and the same tree in the other encodings a GEDCOM file
// may come in. Shared by the genealogy and the command-line tests.
#pragma once

#include <string>
#include <string_view>

namespace audit_tree {

// The planted facts, person by person:
//  I1 Ann Ward      no birth: 1841 census (30 is 30 to 34), 1851 census and
//                   burial ages leave 31 Mar 1811 to 6 Jun 1811
//  I2 John Ward     conflict: born 1805, but 47 at the 1851 census
//  I3 Mary Ward     narrower: born 1836, 14 at the 1851 census (a year-only
//                   census date is the census day)
//  I4 William Ward  consistent: an infant buried aged 21 days
//  I5 Thomas Hill   records disagree: the burial's age stands out
//  I6 Sarah Hüll    narrower: her age at the marriage, given under WIFE
//  I7 Robert Combe  no birth: buried 14 Feb 1720/21 aged 40 (Julian)
//  I8 Elizabeth Ray consistent: a baptism without an age bounds the birth
//  I9 George Ray    conflict: born after his christening
//  I10 Henry Ward   narrower: the age only in the census event's text
//  I11 Jane Doe     no records: her one age has a date that is no date
inline const std::string Tree =
    "0 HEAD\n"
    "1 GEDC\n"
    "2 VERS 5.5.1\n"
    "1 CHAR UTF-8\n"
    "0 @I1@ INDI\n"                                   // 5
    "1 NAME Ann /Ward/\n"
    "1 CENS\n"
    "2 DATE 6 JUN 1841\n"
    "2 AGE 30\n"
    "1 CENS\n"                                        // 10
    "2 DATE 30 MAR 1851\n"
    "2 AGE 39\n"
    "1 BURI\n"
    "2 DATE 14 MAR 1870\n"
    "2 AGE 58\n"                                      // 15
    "0 @I2@ INDI\n"
    "1 NAME John /Ward/\n"
    "1 BIRT\n"
    "2 DATE 1805\n"
    "1 CENS\n"                                        // 20
    "2 DATE 30 MAR 1851\n"
    "2 AGE 47\n"
    "0 @I3@ INDI\n"
    "1 NAME Mary /Ward/\n"
    "1 BIRT\n"                                        // 25
    "2 DATE 1836\n"
    "1 CENS\n"
    "2 DATE 1851\n"
    "2 AGE 14\n"
    "0 @I4@ INDI\n"                                   // 30
    "1 NAME William /Ward/\n"
    "1 BIRT\n"
    "2 DATE 21 FEB 1862\n"
    "1 BURI\n"
    "2 DATE 14 MAR 1862\n"                            // 35
    "2 AGE 21d\n"
    "0 @I5@ INDI\n"
    "1 NAME Thomas /Hill/\n"
    "1 BIRT\n"
    "2 DATE ABT 1830\n"                               // 40
    "1 CENS\n"
    "2 DATE 30 MAR 1851\n"
    "2 AGE 20\n"
    "1 CENS\n"
    "2 DATE 7 APR 1861\n"                             // 45
    "2 AGE 30\n"
    "1 BURI\n"
    "2 DATE 1880\n"
    "2 AGE 70\n"
    "1 FAMS @F1@\n"                                   // 50
    "0 @I6@ INDI\n"
    "1 NAME Sarah /Hüll/\n"
    "1 BIRT\n"
    "2 DATE 1830\n"
    "1 FAMS @F1@\n"                                   // 55
    "0 @I7@ INDI\n"
    "1 NAME Robert /Combe/\n"
    "1 BURI\n"
    "2 DATE 14 FEB 1720/21\n"
    "2 AGE 40\n"                                      // 60
    "0 @I8@ INDI\n"
    "1 NAME Elizabeth /Ray/\n"
    "1 BIRT\n"
    "2 DATE 3 MAR 1840\n"
    "1 BAPM\n"                                        // 65
    "2 DATE 20 MAR 1840\n"
    "0 @I9@ INDI\n"
    "1 NAME George /Ray/\n"
    "1 BIRT\n"
    "2 DATE 1845\n"                                   // 70
    "1 CHR\n"
    "2 DATE 12 JUN 1843\n"
    "0 @I10@ INDI\n"
    "1 NAME Henry /Ward/\n"
    "1 BIRT\n"                                        // 75
    "2 DATE 1870\n"
    "1 EVEN was age 11 and the son of the head of the household\n"
    "2 TYPE Census UK 1881\n"
    "2 DATE 3 Apr 1881\n"
    "0 @I11@ INDI\n"                                  // 80
    "1 NAME Jane /Doe/\n"
    "1 DEAT\n"
    "2 DATE (No idea of the date)\n"
    "2 AGE 40\n"
    "0 @F1@ FAM\n"                                    // 85
    "1 HUSB @I5@\n"
    "1 WIFE @I6@\n"
    "1 MARR\n"
    "2 DATE 12 MAY 1850\n"
    "2 HUSB\n"                                        // 90
    "3 AGE 20\n"
    "2 WIFE\n"
    "3 AGE 19\n"
    "0 TRLR\n";

// The tree in ANSEL with CR line ends, as older programs wrote it: the
// diaeresis (0xE8) comes before its letter.
inline std::string ansel() {
    std::string text;
    for (size_t i = 0; i < Tree.size(); ++i) {
        if (Tree.compare(i, 2, "\xC3\xBC") == 0) {  // ü
            text += "\xE8u";
            ++i;
        } else if (Tree[i] == '\n') {
            text += '\r';
        } else {
            text += Tree[i];
        }
    }
    const size_t charLine = text.find("1 CHAR UTF-8");
    return text.replace(charLine, 12, "1 CHAR ANSEL");
}

// The tree in UTF-16 with a byte-order mark and CR LF line ends.
inline std::string utf16(bool littleEndian) {
    std::string text = littleEndian ? "\xFF\xFE" : "\xFE\xFF";
    const auto unit = [&](unsigned u) {
        const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
        text += littleEndian ? lo : hi;
        text += littleEndian ? hi : lo;
    };
    for (size_t i = 0; i < Tree.size(); ++i) {
        const auto c = static_cast<unsigned char>(Tree[i]);
        if (c == 0xC3) {  // the one two-byte character, ü
            unit((c & 0x1Fu) << 6 | (static_cast<unsigned char>(Tree[++i]) & 0x3Fu));
            continue;
        }
        if (c == '\n') unit('\r');
        unit(c);
    }
    return text;
}

}  // namespace audit_tree
