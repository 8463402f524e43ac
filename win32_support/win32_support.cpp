#include "win32_support.h"

namespace {

void appendText(std::vector<WORD>& out, const wchar_t* text) {
    do {
        out.push_back(static_cast<WORD>(*text));
    } while (*text++ != 0);
}

}  // namespace

std::vector<WORD> emptyDialogTemplate(DWORD style, short widthUnits, short heightUnits) {
    std::vector<WORD> t;
    auto dword = [&t](DWORD value) {
        t.push_back(LOWORD(value));
        t.push_back(HIWORD(value));
    };
    t.push_back(1);       // dlgVer
    t.push_back(0xFFFF);  // signature: extended template
    dword(0);             // help id
    dword(0);             // extended style
    dword(style);
    t.push_back(0);  // no items
    t.push_back(0);  // x, y: placed afterwards or centred by DS_CENTER
    t.push_back(0);
    t.push_back(static_cast<WORD>(widthUnits));
    t.push_back(static_cast<WORD>(heightUnits));
    t.push_back(0);  // no menu
    t.push_back(0);  // the standard dialog class
    t.push_back(0);  // empty title; the caller sets it with SetWindowTextA
    t.push_back(8);  // point size
    t.push_back(FW_NORMAL);
    t.push_back(0);  // italic = 0, character set = 0 (two bytes in one word)
    appendText(t, L"MS Sans Serif");
    return t;
}

std::string readWindowText(HWND window) {
    if (window == nullptr) return {};
    const int length = GetWindowTextLengthA(window);
    if (length <= 0) return {};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const int copied = GetWindowTextA(window, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

RECT workArea(SystemParametersQuery query) {
    RECT work{};
    if (!query(SPI_GETWORKAREA, 0, &work, 0) || work.right <= work.left ||
        work.bottom <= work.top) {
        work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    return work;
}
