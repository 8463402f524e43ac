#include "gedcom_reader.h"

#include <algorithm>
#include <cstring>

#include "text_helpers.h"

namespace quillark {

namespace {

// How much is asked of the source at a time, and the buffer's first size;
// it grows only for a line longer than that.
constexpr size_t BlockBytes = size_t{64} << 10;

bool equalsAscii(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
        if (x != y) return false;
    }
    return true;
}

void putUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | cp >> 6));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | cp >> 12));
        out.push_back(static_cast<char>(0x80 | (cp >> 6 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | cp >> 18));
        out.push_back(static_cast<char>(0x80 | (cp >> 12 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp >> 6 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

char* putUtf8(char* out, uint32_t cp) {
    if (cp < 0x80) {
        *out++ = static_cast<char>(cp);
    } else if (cp < 0x800) {
        *out++ = static_cast<char>(0xC0 | cp >> 6);
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        *out++ = static_cast<char>(0xE0 | cp >> 12);
        *out++ = static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        *out++ = static_cast<char>(0xF0 | cp >> 18);
        *out++ = static_cast<char>(0x80 | (cp >> 12 & 0x3F));
        *out++ = static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

constexpr uint32_t Replacement = 0xFFFD;

// Windows-1252 from 0x80 to 0x9F; the rest of the upper half is Latin-1.
constexpr uint16_t Windows1252High[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178,
};

uint32_t windows1252(unsigned char c) { return c < 0x80 ? c : c < 0xA0 ? Windows1252High[c - 0x80] : c; }

// ANSEL's spacing characters from 0xA0 to 0xCF, with GEDCOM's additions
// (the boxes, the midline e and o, and the eszett at 0xCF as well as
// MARC-8's 0xC7).
constexpr uint16_t AnselSpacing[48] = {
    0xFFFD, 0x0141, 0x00D8, 0x0110, 0x00DE, 0x00C6, 0x0152, 0x02B9, 0x00B7, 0x266D, 0x00AE, 0x00B1,
    0x01A0, 0x01AF, 0x02BC, 0xFFFD, 0x02BB, 0x0142, 0x00F8, 0x0111, 0x00FE, 0x00E6, 0x0153, 0x02BA,
    0x0131, 0x00A3, 0x00F0, 0xFFFD, 0x01A1, 0x01B0, 0x25A1, 0x25A0, 0x00B0, 0x2113, 0x2117, 0x00A9,
    0x266F, 0x00BF, 0x00A1, 0x00DF, 0x20AC, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, 0x0065, 0x006F, 0x00DF,
};

// ANSEL's combining marks from 0xE0 to 0xFE (0 where none is defined).
constexpr uint16_t AnselMarks[31] = {
    0x0309, 0x0300, 0x0301, 0x0302, 0x0303, 0x0304, 0x0306, 0x0307, 0x0308, 0x030C, 0x030A,
    0xFE20, 0xFE21, 0x0315, 0x030B, 0x0310, 0x0327, 0x0328, 0x0323, 0x0324, 0x0325, 0x0333,
    0x0332, 0x0326, 0x031C, 0x032E, 0xFE22, 0xFE23, 0,      0,      0x0313,
};

// A letter with an ANSEL mark as the one precomposed character Unicode has
// for it (the canonical composition of the pair).
struct Composed {
    uint8_t mark;
    char base;
    uint16_t cp;
};
constexpr Composed Compositions[] = {
    {0xE0, 'A', 0x1EA2}, {0xE0, 'E', 0x1EBA}, {0xE0, 'I', 0x1EC8}, {0xE0, 'O', 0x1ECE}, {0xE0, 'U', 0x1EE6},
    {0xE0, 'Y', 0x1EF6}, {0xE0, 'a', 0x1EA3}, {0xE0, 'e', 0x1EBB}, {0xE0, 'i', 0x1EC9}, {0xE0, 'o', 0x1ECF},
    {0xE0, 'u', 0x1EE7}, {0xE0, 'y', 0x1EF7}, {0xE1, 'A', 0x00C0}, {0xE1, 'E', 0x00C8}, {0xE1, 'I', 0x00CC},
    {0xE1, 'N', 0x01F8}, {0xE1, 'O', 0x00D2}, {0xE1, 'U', 0x00D9}, {0xE1, 'W', 0x1E80}, {0xE1, 'Y', 0x1EF2},
    {0xE1, 'a', 0x00E0}, {0xE1, 'e', 0x00E8}, {0xE1, 'i', 0x00EC}, {0xE1, 'n', 0x01F9}, {0xE1, 'o', 0x00F2},
    {0xE1, 'u', 0x00F9}, {0xE1, 'w', 0x1E81}, {0xE1, 'y', 0x1EF3}, {0xE2, 'A', 0x00C1}, {0xE2, 'C', 0x0106},
    {0xE2, 'E', 0x00C9}, {0xE2, 'G', 0x01F4}, {0xE2, 'I', 0x00CD}, {0xE2, 'K', 0x1E30}, {0xE2, 'L', 0x0139},
    {0xE2, 'M', 0x1E3E}, {0xE2, 'N', 0x0143}, {0xE2, 'O', 0x00D3}, {0xE2, 'P', 0x1E54}, {0xE2, 'R', 0x0154},
    {0xE2, 'S', 0x015A}, {0xE2, 'U', 0x00DA}, {0xE2, 'W', 0x1E82}, {0xE2, 'Y', 0x00DD}, {0xE2, 'Z', 0x0179},
    {0xE2, 'a', 0x00E1}, {0xE2, 'c', 0x0107}, {0xE2, 'e', 0x00E9}, {0xE2, 'g', 0x01F5}, {0xE2, 'i', 0x00ED},
    {0xE2, 'k', 0x1E31}, {0xE2, 'l', 0x013A}, {0xE2, 'm', 0x1E3F}, {0xE2, 'n', 0x0144}, {0xE2, 'o', 0x00F3},
    {0xE2, 'p', 0x1E55}, {0xE2, 'r', 0x0155}, {0xE2, 's', 0x015B}, {0xE2, 'u', 0x00FA}, {0xE2, 'w', 0x1E83},
    {0xE2, 'y', 0x00FD}, {0xE2, 'z', 0x017A}, {0xE3, 'A', 0x00C2}, {0xE3, 'C', 0x0108}, {0xE3, 'E', 0x00CA},
    {0xE3, 'G', 0x011C}, {0xE3, 'H', 0x0124}, {0xE3, 'I', 0x00CE}, {0xE3, 'J', 0x0134}, {0xE3, 'O', 0x00D4},
    {0xE3, 'S', 0x015C}, {0xE3, 'U', 0x00DB}, {0xE3, 'W', 0x0174}, {0xE3, 'Y', 0x0176}, {0xE3, 'Z', 0x1E90},
    {0xE3, 'a', 0x00E2}, {0xE3, 'c', 0x0109}, {0xE3, 'e', 0x00EA}, {0xE3, 'g', 0x011D}, {0xE3, 'h', 0x0125},
    {0xE3, 'i', 0x00EE}, {0xE3, 'j', 0x0135}, {0xE3, 'o', 0x00F4}, {0xE3, 's', 0x015D}, {0xE3, 'u', 0x00FB},
    {0xE3, 'w', 0x0175}, {0xE3, 'y', 0x0177}, {0xE3, 'z', 0x1E91}, {0xE4, 'A', 0x00C3}, {0xE4, 'E', 0x1EBC},
    {0xE4, 'I', 0x0128}, {0xE4, 'N', 0x00D1}, {0xE4, 'O', 0x00D5}, {0xE4, 'U', 0x0168}, {0xE4, 'V', 0x1E7C},
    {0xE4, 'Y', 0x1EF8}, {0xE4, 'a', 0x00E3}, {0xE4, 'e', 0x1EBD}, {0xE4, 'i', 0x0129}, {0xE4, 'n', 0x00F1},
    {0xE4, 'o', 0x00F5}, {0xE4, 'u', 0x0169}, {0xE4, 'v', 0x1E7D}, {0xE4, 'y', 0x1EF9}, {0xE5, 'A', 0x0100},
    {0xE5, 'E', 0x0112}, {0xE5, 'G', 0x1E20}, {0xE5, 'I', 0x012A}, {0xE5, 'O', 0x014C}, {0xE5, 'U', 0x016A},
    {0xE5, 'Y', 0x0232}, {0xE5, 'a', 0x0101}, {0xE5, 'e', 0x0113}, {0xE5, 'g', 0x1E21}, {0xE5, 'i', 0x012B},
    {0xE5, 'o', 0x014D}, {0xE5, 'u', 0x016B}, {0xE5, 'y', 0x0233}, {0xE6, 'A', 0x0102}, {0xE6, 'E', 0x0114},
    {0xE6, 'G', 0x011E}, {0xE6, 'I', 0x012C}, {0xE6, 'O', 0x014E}, {0xE6, 'U', 0x016C}, {0xE6, 'a', 0x0103},
    {0xE6, 'e', 0x0115}, {0xE6, 'g', 0x011F}, {0xE6, 'i', 0x012D}, {0xE6, 'o', 0x014F}, {0xE6, 'u', 0x016D},
    {0xE7, 'A', 0x0226}, {0xE7, 'B', 0x1E02}, {0xE7, 'C', 0x010A}, {0xE7, 'D', 0x1E0A}, {0xE7, 'E', 0x0116},
    {0xE7, 'F', 0x1E1E}, {0xE7, 'G', 0x0120}, {0xE7, 'H', 0x1E22}, {0xE7, 'I', 0x0130}, {0xE7, 'M', 0x1E40},
    {0xE7, 'N', 0x1E44}, {0xE7, 'O', 0x022E}, {0xE7, 'P', 0x1E56}, {0xE7, 'R', 0x1E58}, {0xE7, 'S', 0x1E60},
    {0xE7, 'T', 0x1E6A}, {0xE7, 'W', 0x1E86}, {0xE7, 'X', 0x1E8A}, {0xE7, 'Y', 0x1E8E}, {0xE7, 'Z', 0x017B},
    {0xE7, 'a', 0x0227}, {0xE7, 'b', 0x1E03}, {0xE7, 'c', 0x010B}, {0xE7, 'd', 0x1E0B}, {0xE7, 'e', 0x0117},
    {0xE7, 'f', 0x1E1F}, {0xE7, 'g', 0x0121}, {0xE7, 'h', 0x1E23}, {0xE7, 'm', 0x1E41}, {0xE7, 'n', 0x1E45},
    {0xE7, 'o', 0x022F}, {0xE7, 'p', 0x1E57}, {0xE7, 'r', 0x1E59}, {0xE7, 's', 0x1E61}, {0xE7, 't', 0x1E6B},
    {0xE7, 'w', 0x1E87}, {0xE7, 'x', 0x1E8B}, {0xE7, 'y', 0x1E8F}, {0xE7, 'z', 0x017C}, {0xE8, 'A', 0x00C4},
    {0xE8, 'E', 0x00CB}, {0xE8, 'H', 0x1E26}, {0xE8, 'I', 0x00CF}, {0xE8, 'O', 0x00D6}, {0xE8, 'U', 0x00DC},
    {0xE8, 'W', 0x1E84}, {0xE8, 'X', 0x1E8C}, {0xE8, 'Y', 0x0178}, {0xE8, 'a', 0x00E4}, {0xE8, 'e', 0x00EB},
    {0xE8, 'h', 0x1E27}, {0xE8, 'i', 0x00EF}, {0xE8, 'o', 0x00F6}, {0xE8, 't', 0x1E97}, {0xE8, 'u', 0x00FC},
    {0xE8, 'w', 0x1E85}, {0xE8, 'x', 0x1E8D}, {0xE8, 'y', 0x00FF}, {0xE9, 'A', 0x01CD}, {0xE9, 'C', 0x010C},
    {0xE9, 'D', 0x010E}, {0xE9, 'E', 0x011A}, {0xE9, 'G', 0x01E6}, {0xE9, 'H', 0x021E}, {0xE9, 'I', 0x01CF},
    {0xE9, 'K', 0x01E8}, {0xE9, 'L', 0x013D}, {0xE9, 'N', 0x0147}, {0xE9, 'O', 0x01D1}, {0xE9, 'R', 0x0158},
    {0xE9, 'S', 0x0160}, {0xE9, 'T', 0x0164}, {0xE9, 'U', 0x01D3}, {0xE9, 'Z', 0x017D}, {0xE9, 'a', 0x01CE},
    {0xE9, 'c', 0x010D}, {0xE9, 'd', 0x010F}, {0xE9, 'e', 0x011B}, {0xE9, 'g', 0x01E7}, {0xE9, 'h', 0x021F},
    {0xE9, 'i', 0x01D0}, {0xE9, 'j', 0x01F0}, {0xE9, 'k', 0x01E9}, {0xE9, 'l', 0x013E}, {0xE9, 'n', 0x0148},
    {0xE9, 'o', 0x01D2}, {0xE9, 'r', 0x0159}, {0xE9, 's', 0x0161}, {0xE9, 't', 0x0165}, {0xE9, 'u', 0x01D4},
    {0xE9, 'z', 0x017E}, {0xEA, 'A', 0x00C5}, {0xEA, 'U', 0x016E}, {0xEA, 'a', 0x00E5}, {0xEA, 'u', 0x016F},
    {0xEA, 'w', 0x1E98}, {0xEA, 'y', 0x1E99}, {0xEE, 'O', 0x0150}, {0xEE, 'U', 0x0170}, {0xEE, 'o', 0x0151},
    {0xEE, 'u', 0x0171}, {0xF0, 'C', 0x00C7}, {0xF0, 'D', 0x1E10}, {0xF0, 'E', 0x0228}, {0xF0, 'G', 0x0122},
    {0xF0, 'H', 0x1E28}, {0xF0, 'K', 0x0136}, {0xF0, 'L', 0x013B}, {0xF0, 'N', 0x0145}, {0xF0, 'R', 0x0156},
    {0xF0, 'S', 0x015E}, {0xF0, 'T', 0x0162}, {0xF0, 'c', 0x00E7}, {0xF0, 'd', 0x1E11}, {0xF0, 'e', 0x0229},
    {0xF0, 'g', 0x0123}, {0xF0, 'h', 0x1E29}, {0xF0, 'k', 0x0137}, {0xF0, 'l', 0x013C}, {0xF0, 'n', 0x0146},
    {0xF0, 'r', 0x0157}, {0xF0, 's', 0x015F}, {0xF0, 't', 0x0163}, {0xF1, 'A', 0x0104}, {0xF1, 'E', 0x0118},
    {0xF1, 'I', 0x012E}, {0xF1, 'O', 0x01EA}, {0xF1, 'U', 0x0172}, {0xF1, 'a', 0x0105}, {0xF1, 'e', 0x0119},
    {0xF1, 'i', 0x012F}, {0xF1, 'o', 0x01EB}, {0xF1, 'u', 0x0173}, {0xF2, 'A', 0x1EA0}, {0xF2, 'B', 0x1E04},
    {0xF2, 'D', 0x1E0C}, {0xF2, 'E', 0x1EB8}, {0xF2, 'H', 0x1E24}, {0xF2, 'I', 0x1ECA}, {0xF2, 'K', 0x1E32},
    {0xF2, 'L', 0x1E36}, {0xF2, 'M', 0x1E42}, {0xF2, 'N', 0x1E46}, {0xF2, 'O', 0x1ECC}, {0xF2, 'R', 0x1E5A},
    {0xF2, 'S', 0x1E62}, {0xF2, 'T', 0x1E6C}, {0xF2, 'U', 0x1EE4}, {0xF2, 'V', 0x1E7E}, {0xF2, 'W', 0x1E88},
    {0xF2, 'Y', 0x1EF4}, {0xF2, 'Z', 0x1E92}, {0xF2, 'a', 0x1EA1}, {0xF2, 'b', 0x1E05}, {0xF2, 'd', 0x1E0D},
    {0xF2, 'e', 0x1EB9}, {0xF2, 'h', 0x1E25}, {0xF2, 'i', 0x1ECB}, {0xF2, 'k', 0x1E33}, {0xF2, 'l', 0x1E37},
    {0xF2, 'm', 0x1E43}, {0xF2, 'n', 0x1E47}, {0xF2, 'o', 0x1ECD}, {0xF2, 'r', 0x1E5B}, {0xF2, 's', 0x1E63},
    {0xF2, 't', 0x1E6D}, {0xF2, 'u', 0x1EE5}, {0xF2, 'v', 0x1E7F}, {0xF2, 'w', 0x1E89}, {0xF2, 'y', 0x1EF5},
    {0xF2, 'z', 0x1E93}, {0xF3, 'U', 0x1E72}, {0xF3, 'u', 0x1E73}, {0xF4, 'A', 0x1E00}, {0xF4, 'a', 0x1E01},
    {0xF7, 'S', 0x0218}, {0xF7, 'T', 0x021A}, {0xF7, 's', 0x0219}, {0xF7, 't', 0x021B}, {0xF9, 'H', 0x1E2A},
    {0xF9, 'h', 0x1E2B},
};

uint32_t composed(uint8_t mark, char base) {
    for (const Composed& c : Compositions)
        if (c.mark == mark && c.base == base) return c.cp;
    return 0;
}

// Whether bytes are well-formed UTF-8 (no overlong forms, no surrogates).
bool validUtf8(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    while (p < end) {
        const unsigned c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        size_t n;
        uint32_t cp;
        if (c >= 0xC2 && c <= 0xDF) {
            n = 1;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            n = 2;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            n = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (static_cast<size_t>(end - p) <= n) return false;
        for (size_t k = 1; k <= n; ++k) {
            if ((p[k] & 0xC0) != 0x80) return false;
            cp = cp << 6 | (p[k] & 0x3F);
        }
        if ((n == 2 && cp < 0x800) || (n == 3 && (cp < 0x10000 || cp > 0x10FFFF)) || (cp >= 0xD800 && cp < 0xE000))
            return false;
        p += n + 1;
    }
    return true;
}

bool asciiOnly(std::string_view bytes) {
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

// The encoding a header's CHAR value names; false for one not known.
bool encodingOfCharValue(std::string_view value, GedcomEncoding& encoding) {
    value = trimmed(value);
    static constexpr struct {
        std::string_view name;
        GedcomEncoding encoding;
    } Names[] = {
        {"UTF-8", GedcomEncoding::Utf8},
        {"UTF8", GedcomEncoding::Utf8},
        {"UNICODE", GedcomEncoding::Utf8},
        {"ANSEL", GedcomEncoding::Ansel},
        {"ASCII", GedcomEncoding::Ascii},
        {"ANSI", GedcomEncoding::Windows1252},
        {"IBMPC", GedcomEncoding::Windows1252},
        {"IBM WINDOWS", GedcomEncoding::Windows1252},
        {"WINDOWS", GedcomEncoding::Windows1252},
        {"WINDOWS-1252", GedcomEncoding::Windows1252},
        {"CP1252", GedcomEncoding::Windows1252},
        {"LATIN1", GedcomEncoding::Windows1252},
        {"ISO-8859-1", GedcomEncoding::Windows1252},
        {"ISO8859-1", GedcomEncoding::Windows1252},
    };
    for (const auto& n : Names) {
        if (equalsAscii(value, n.name)) {
            encoding = n.encoding;
            return true;
        }
    }
    return false;
}

}  // namespace

size_t GedcomFileSource::read(char* buffer, size_t size) { return std::fread(buffer, 1, size, file_); }
bool GedcomFileSource::failed() const { return std::ferror(file_) != 0; }

size_t GedcomTextSource::read(char* buffer, size_t size) {
    size_t n = std::min(size, text_.size());
    if (chunk_ > 0) n = std::min(n, chunk_);
    if (n > 0) std::memcpy(buffer, text_.data(), n);
    text_.remove_prefix(n);
    return n;
}

std::string_view encodingName(GedcomEncoding encoding) {
    switch (encoding) {
    case GedcomEncoding::Utf8: return "UTF-8";
    case GedcomEncoding::Utf16Le: return "UTF-16 LE";
    case GedcomEncoding::Utf16Be: return "UTF-16 BE";
    case GedcomEncoding::Ansel: return "ANSEL";
    case GedcomEncoding::Ascii: return "ASCII";
    case GedcomEncoding::Windows1252: break;
    }
    return "Windows-1252";
}

GedcomReader::GedcomReader(GedcomSource& source, GedcomWarning warning)
    : source_(source), warning_(std::move(warning)) {}

void GedcomReader::warn(uint64_t line, std::string_view message) {
    if (warning_) warning_(line, message);
}

bool GedcomReader::fill() {
    if (begin_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        scanned_ -= std::min(scanned_, begin_);
        begin_ = 0;
    }
    if (buffer_.size() - end_ < 16 && buffer_.size() < MaxLineBytes + BlockBytes)
        buffer_.resize(std::min(buffer_.size() * 2, MaxLineBytes + BlockBytes));
    const bool utf16 = encoding_ == GedcomEncoding::Utf16Le || encoding_ == GedcomEncoding::Utf16Be;
    const size_t room = buffer_.size() - end_;
    if (!utf16) {
        if (eof_ || room == 0) return false;
        const size_t n = source_.read(buffer_.data() + end_, room);
        bytesRead_ += n;
        if (n == 0) {
            eof_ = true;
            readFailed_ = source_.failed();
            return false;
        }
        end_ += n;
        return true;
    }
    // Two bytes become at most three of UTF-8, and a pair of surrogates
    // (four bytes) four: a third of the room in units never overflows it.
    const size_t rawWanted = std::min(raw_.size(), room / 3 * 2);
    if (!eof_ && rawSize_ < rawWanted) {
        const size_t n = source_.read(raw_.data() + rawSize_, rawWanted - rawSize_);
        bytesRead_ += n;
        rawSize_ += n;
        if (n == 0) {
            eof_ = true;
            readFailed_ = source_.failed();
        }
    }
    const bool little = encoding_ == GedcomEncoding::Utf16Le;
    const auto* raw = reinterpret_cast<const unsigned char*>(raw_.data());
    const auto unit = [&](size_t i) -> uint32_t {
        return little ? raw[i] | uint32_t{raw[i + 1]} << 8 : uint32_t{raw[i]} << 8 | raw[i + 1];
    };
    char* out = buffer_.data() + end_;
    char* const limit = buffer_.data() + buffer_.size();
    size_t i = 0;
    while (rawSize_ - i >= 2 && limit - out >= 4) {
        const uint32_t u = unit(i);
        uint32_t cp = u;
        size_t used = 2;
        if (u >= 0xD800 && u < 0xDC00) {
            if (rawSize_ - i < 4) {
                if (!eof_) break;  // its second half is still to come
                cp = Replacement;
            } else if (const uint32_t v = unit(i + 2); v >= 0xDC00 && v < 0xE000) {
                cp = 0x10000 + ((u - 0xD800) << 10) + (v - 0xDC00);
                used = 4;
            } else {
                cp = Replacement;
            }
        } else if (u >= 0xDC00 && u < 0xE000) {
            cp = Replacement;
        }
        out = putUtf8(out, cp);
        i += used;
    }
    std::memmove(raw_.data(), raw_.data() + i, rawSize_ - i);
    rawSize_ -= i;
    if (eof_ && rawSize_ == 1 && limit - out >= 4) {  // half a unit at the very end
        out = putUtf8(out, Replacement);
        rawSize_ = 0;
    }
    const size_t produced = static_cast<size_t>(out - (buffer_.data() + end_));
    end_ += produced;
    return produced > 0 || !eof_;
}

void GedcomReader::start() {
    started_ = true;
    buffer_.resize(BlockBytes);
    raw_.resize(BlockBytes);
    // The first block tells the encoding: a byte-order mark, or the zero
    // bytes of UTF-16 around the header's "0".
    size_t n = 0;
    while (n < 4 && !eof_) {
        const size_t got = source_.read(raw_.data() + n, raw_.size() - n);
        bytesRead_ += got;
        if (got == 0) {
            eof_ = true;
            readFailed_ = source_.failed();
        }
        n += got;
    }
    const auto* b = reinterpret_cast<const unsigned char*>(raw_.data());
    size_t skip = 0;
    bool bom = false;
    if (n >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) {
        skip = 3;
        bom = true;
    } else if (n >= 2 && b[0] == 0xFF && b[1] == 0xFE) {
        encoding_ = GedcomEncoding::Utf16Le;
        skip = 2;
    } else if (n >= 2 && b[0] == 0xFE && b[1] == 0xFF) {
        encoding_ = GedcomEncoding::Utf16Be;
        skip = 2;
    } else if (n >= 2 && b[0] != 0 && b[1] == 0) {
        encoding_ = GedcomEncoding::Utf16Le;
    } else if (n >= 2 && b[0] == 0 && b[1] != 0) {
        encoding_ = GedcomEncoding::Utf16Be;
    }
    if (encoding_ == GedcomEncoding::Utf16Le || encoding_ == GedcomEncoding::Utf16Be) {
        std::memmove(raw_.data(), raw_.data() + skip, n - skip);
        rawSize_ = n - skip;
        return;
    }
    std::memcpy(buffer_.data(), raw_.data() + skip, n - skip);
    end_ = n - skip;
    raw_.clear();
    raw_.shrink_to_fit();
    if (bom) return;  // UTF-8 whatever the header says
    // Without a mark the header's CHAR line names the encoding. It comes
    // before any byte it matters for -- apart from a few in the header
    // itself (a copyright sign), so it is looked for before anything is read.
    while (fill()) {
        if (end_ >= BlockBytes) break;
    }
    std::string_view text(buffer_.data() + begin_, end_ - begin_);
    uint64_t number = 0;
    while (!text.empty()) {
        size_t stop = text.find_first_of("\r\n");
        if (stop == std::string_view::npos) stop = text.size();
        const std::string_view line = trimmed(text.substr(0, stop));
        const bool crLf = stop + 1 < text.size() && text[stop] == '\r' && text[stop + 1] == '\n';
        text.remove_prefix(std::min(stop + (crLf ? 2 : 1), text.size()));
        ++number;
        if (line.empty()) continue;
        if (number > 1 && line.size() >= 2 && line[0] == '0' && line[1] == ' ') break;  // the header ended
        if (line.size() > 7 && line.substr(0, 7) == "1 CHAR ") {
            GedcomEncoding named;
            if (encodingOfCharValue(line.substr(7), named)) {
                encoding_ = named;
                if (named == GedcomEncoding::Utf8 && equalsAscii(trimmed(line.substr(7)), "UNICODE"))
                    warn(number,
                         "the header names UNICODE but the file has no UTF-16 byte-order mark; it is read as UTF-8");
            } else {
                warn(number, "the header names the character set '" + std::string(trimmed(line.substr(7))) +
                                 "', which Quillark does not know; the file is read as UTF-8");
            }
            break;
        }
    }
}

bool GedcomReader::physicalLine(std::string_view& text) {
    for (;;) {
        if (skipLf_ && begin_ < end_) {
            if (buffer_[begin_] == '\n') ++begin_;
            skipLf_ = false;
        }
        size_t i = std::max(scanned_, begin_);
        const char* const data = buffer_.data();
        while (i < end_ && data[i] != '\n' && data[i] != '\r') ++i;
        if (i < end_) {
            const std::string_view line(data + begin_, i - begin_);
            skipLf_ = data[i] == '\r';
            begin_ = scanned_ = i + 1;
            if (cutting_) {  // the end of a line already cut and counted
                cutting_ = false;
                continue;
            }
            ++physical_;
            text = line;
            if (line.size() > MaxLineBytes) {
                text = line.substr(0, MaxLineBytes);
                warn(physical_, "the line is longer than 1 MiB; the rest of it is left out");
            }
            return true;
        }
        scanned_ = i;
        if (cutting_) {
            begin_ = scanned_ = end_;
        } else if (end_ - begin_ >= MaxLineBytes) {
            ++physical_;
            text = std::string_view(data + begin_, MaxLineBytes);
            warn(physical_, "the line is longer than 1 MiB; the rest of it is left out");
            cutting_ = true;
            begin_ = scanned_ = end_;
            return true;
        }
        if (fill()) continue;
        // The end of the input: what is left is its last line, without a
        // line end.
        if (begin_ < end_ && !cutting_) {
            ++physical_;
            text = std::string_view(buffer_.data() + begin_, end_ - begin_);
            begin_ = scanned_ = end_;
            return true;
        }
        cutting_ = false;
        return false;
    }
}

// A line's parts; false with why when it has none. Blanks before the level
// and between the parts are allowed; the value starts after one blank.
bool GedcomReader::parse(std::string_view text, uint64_t, int32_t& level, std::string_view& xref, std::string_view& tag,
                         std::string_view& value) {
    size_t i = 0;
    const size_t n = text.size();
    const auto blank = [&](size_t k) { return k < n && (text[k] == ' ' || text[k] == '\t'); };
    while (blank(i)) ++i;
    const size_t levelStart = i;
    int64_t number = 0;
    while (i < n && text[i] >= '0' && text[i] <= '9' && i - levelStart < 3) number = number * 10 + (text[i++] - '0');
    if (i == levelStart || (i < n && text[i] >= '0' && text[i] <= '9')) {
        error_ = i == levelStart ? "the line does not start with a level number" : "the level number is too large";
        return false;
    }
    if (!blank(i)) {
        error_ = "the level number is not followed by a blank";
        return false;
    }
    while (blank(i)) ++i;
    xref = {};
    if (i < n && text[i] == '@') {
        const size_t close = text.find('@', i + 1);
        if (close == std::string_view::npos || !blank(close + 1)) {
            error_ = "a cross-reference (@...@) is not closed";
            return false;
        }
        xref = text.substr(i, close + 1 - i);
        i = close + 1;
        while (blank(i)) ++i;
    }
    const size_t tagStart = i;
    while (i < n && !blank(i)) ++i;
    tag = text.substr(tagStart, i - tagStart);
    if (tag.empty()) {
        error_ = "the line has no tag";
        return false;
    }
    value = i < n ? text.substr(i + 1) : std::string_view();
    level = static_cast<int32_t>(number);
    return true;
}

void GedcomReader::decodeInto(std::string& out, std::string_view bytes, bool append) {
    if (!append) out.clear();
    if (asciiOnly(bytes)) {
        out.append(bytes);
        return;
    }
    switch (encoding_) {
    case GedcomEncoding::Utf8:
    case GedcomEncoding::Utf16Le:
    case GedcomEncoding::Utf16Be:
        if (validUtf8(bytes)) {
            out.append(bytes);
            return;
        }
        if (!fallbackWarned_) {
            fallbackWarned_ = true;
            warn(physical_, "bytes that are not UTF-8; such lines are read as Windows-1252");
        }
        [[fallthrough]];
    case GedcomEncoding::Ascii:
    case GedcomEncoding::Windows1252:
        for (char c : bytes) putUtf8(out, windows1252(static_cast<unsigned char>(c)));
        return;
    case GedcomEncoding::Ansel: break;
    }
    // ANSEL: marks come before their letter; Unicode's follow it.
    uint8_t marks[8];
    size_t markCount = 0;
    const auto flushMarks = [&] {
        for (size_t k = 0; k < markCount; ++k) putUtf8(out, AnselMarks[marks[k] - 0xE0]);
        markCount = 0;
    };
    for (char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 0xE0 && c <= 0xFE && AnselMarks[c - 0xE0] != 0) {
            if (markCount == std::size(marks)) flushMarks();
            marks[markCount++] = c;
            continue;
        }
        uint32_t cp;
        if (c < 0x80) {
            cp = c;
        } else if (c == 0x88 || c == 0x89 || c == 0x8D || c == 0x8E) {
            continue;  // non-sorting marks and joiners: nothing to show
        } else if (c >= 0xA0 && c <= 0xCF) {
            cp = AnselSpacing[c - 0xA0];
        } else {
            cp = Replacement;
        }
        if (markCount > 0) {
            const uint32_t one = cp < 0x80 ? composed(marks[0], static_cast<char>(cp)) : 0;
            if (one != 0) {
                putUtf8(out, one);
                for (size_t k = 1; k < markCount; ++k) putUtf8(out, AnselMarks[marks[k] - 0xE0]);
            } else {
                putUtf8(out, cp);
                flushMarks();
            }
            markCount = 0;
            continue;
        }
        putUtf8(out, cp);
    }
    flushMarks();  // marks with no letter after them
}

GedcomReader::Status GedcomReader::next(GedcomLine& line) {
    if (!started_) start();
    std::string_view text;
    for (;;) {
        if (!physicalLine(text)) {
            if (readFailed_) return Status::ReadError;
            if (!headerSeen_) {
                error_ = physical_ == 0 ? "the file is empty" : "the file holds no GEDCOM lines";
                errorLine_ = physical_;
                return Status::NotGedcom;
            }
            if (pending_ < 0) return Status::End;
            Slot& s = slots_[pending_];
            pending_ = -1;
            line = {s.number, s.level, s.xref, s.tag, s.value};
            return Status::Line;
        }
        if (trimmed(text).empty()) continue;
        int32_t level = 0;
        std::string_view xref, tag, value;
        if (!parse(text, physical_, level, xref, tag, value)) {
            if (!headerSeen_) {
                errorLine_ = physical_;
                error_ = "it is no GEDCOM file: " + error_;
                return Status::NotGedcom;
            }
            warn(physical_, error_ + "; it is left out");
            continue;
        }
        if (!headerSeen_) {
            if (level != 0 || tag != "HEAD" || !xref.empty()) {
                errorLine_ = physical_;
                error_ = "it is no GEDCOM file: it does not begin with a header (0 HEAD)";
                return Status::NotGedcom;
            }
            headerSeen_ = true;
        }
        const bool conc = tag == "CONC";
        if (conc || tag == "CONT") {
            if (pending_ >= 0 && level == slots_[pending_].level + 1) {
                Slot& s = slots_[pending_];
                if (!conc) s.value.push_back('\n');
                decodeInto(s.value, value, true);
                continue;
            }
            warn(physical_, std::string(tag) + " with no line to continue; it is left out");
            continue;
        }
        if (level > lastLevel_ + 1) {
            warn(physical_, "level " + std::to_string(level) + " follows level " + std::to_string(lastLevel_) +
                                "; it is read as level " + std::to_string(lastLevel_ + 1));
            level = lastLevel_ + 1;
        }
        lastLevel_ = level;
        const int free = pending_ == 0 ? 1 : 0;
        Slot& s = slots_[free];
        s.number = physical_;
        s.level = level;
        s.xref.assign(xref);
        s.tag.assign(tag);
        decodeInto(s.value, value, false);
        if (pending_ < 0) {
            pending_ = free;
            continue;
        }
        Slot& out = slots_[pending_];
        pending_ = free;
        line = {out.number, out.level, out.xref, out.tag, out.value};
        return Status::Line;
    }
}

}  // namespace quillark
