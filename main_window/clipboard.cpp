// Plain-text copy. The block is filled before the clipboard is opened, so the
// clipboard is held only for the three calls that replace its contents.
#include "clipboard.h"

#include <windows.h>

#include <cstring>

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

    // When another program holds the clipboard, its contents stay as they
    // are: emptying is only done once the clipboard is ours.
    if (!OpenClipboard(nullptr)) {
        GlobalFree(block);
        return;
    }
    EmptyClipboard();
    // On success the block belongs to the system and is not touched again;
    // a block the clipboard refused is still ours to free.
    if (SetClipboardData(CF_TEXT, block) == nullptr) GlobalFree(block);
    CloseClipboard();
}
