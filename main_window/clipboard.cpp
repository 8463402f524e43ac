// Plain-text copy. The block is filled before the clipboard is opened, so the
// clipboard is held only for the three calls that replace its contents.
#include "clipboard.h"

#include <windows.h>

#include <cstring>

namespace {

// How long a copy waits for a clipboard another program holds: 25 x 10 ms.
constexpr int ClipboardAttempts = 25;
constexpr DWORD ClipboardRetryMs = 10;

}  // namespace

void copyTextToClipboard(const char* text) {
    if (text == nullptr) text = "";
    const size_t length = std::strlen(text);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, length + 1);
    if (block == nullptr) return;  // nothing to write into
    char* bytes = static_cast<char*>(GlobalLock(block));
    if (bytes == nullptr) {
        GlobalFree(block);
        return;
    }
    std::memcpy(bytes, text, length);
    bytes[length] = '\0';
    GlobalUnlock(block);

    // Another program may hold the clipboard for a moment (a clipboard
    // manager or viewer reading what changed), so it is asked for a while.
    // When it stays held, its contents stay as they are: emptying is only
    // done once the clipboard is ours.
    bool opened = OpenClipboard(nullptr) != FALSE;
    for (int attempt = 0; !opened && attempt < ClipboardAttempts; ++attempt) {
        Sleep(ClipboardRetryMs);
        opened = OpenClipboard(nullptr) != FALSE;
    }
    if (!opened) {
        GlobalFree(block);
        return;
    }
    EmptyClipboard();
    // On success the block belongs to the system and is not touched again;
    // a block the clipboard refused is still ours to free.
    if (SetClipboardData(CF_TEXT, block) == nullptr) GlobalFree(block);
    CloseClipboard();
}
