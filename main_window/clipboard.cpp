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
    // A clipboard opened with no window can also be opened by another thread
    // in the meantime (Wine allows it), and then emptying or setting fails
    // here: that is tried again the same way. When it stays held, its
    // contents stay as they are: emptying is only done once it is ours.
    for (int attempt = 0; attempt <= ClipboardAttempts; ++attempt) {
        if (attempt > 0) Sleep(ClipboardRetryMs);
        if (!OpenClipboard(nullptr)) continue;
        // On success the block belongs to the system and is not touched
        // again; a block the clipboard refused is still ours.
        const bool copied = EmptyClipboard() && SetClipboardData(CF_TEXT, block) != nullptr;
        CloseClipboard();
        if (copied) return;
    }
    GlobalFree(block);
}
