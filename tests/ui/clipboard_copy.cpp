// Test helper: puts one of the shared clipboard texts on the clipboard with
// the program's own copy routine and ends, so that other programs (a Win32
// one, and xclip on the X side) can read what it left there.
//   clipboard_copy <case number>   copy that case, exit 0
//   clipboard_copy acp             print the ANSI code page
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>

#include "clipboard.h"
#include "clipboard_cases.h"

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    if (std::strcmp(argv[1], "acp") == 0) {
        std::printf("%u\n", GetACP());
        return 0;
    }
    const int index = std::atoi(argv[1]);
    if (index < 0 || index >= static_cast<int>(std::size(ClipboardCases))) return 3;
    copyTextToClipboard(ClipboardCases[index].text);
    return 0;
}
