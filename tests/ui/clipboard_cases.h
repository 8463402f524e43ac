// Texts the clipboard tests copy, shared by the copying helper and the
// reading tests. Bytes above 127 are in the Windows-1252 code page.
#pragma once

struct ClipboardCase {
    const char* name;
    const char* text;
};

inline constexpr ClipboardCase ClipboardCases[] = {
    {"numeric date", "12/07/1941"},
    {"date with week-day tag", "12/07/1941  [Su]"},
    {"abbreviated date with tag", "Dec 7, 1941  [Su]"},
    {"year span", "1869 to 1880"},
    {"bytes above 127", "D\xe9" "c 7, 1941 \xa3\xfc"},
};
