// The program's own message box, checked on the real windows it creates:
// sizes, positions, controls, styles, texts, icons, the topmost flag,
// ownership, and which input closes it.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "message_box.h"
#include "in_process.h"

using namespace win32test;

namespace {

struct ExpectedButton {
    int id;
    const char* text;
    int x;
    int width;
};

struct ExpectedSet {
    std::vector<ExpectedButton> buttons;
    int defaultId;
    int focusId;  // 0: the box does not place the focus on a button
};

// Written out from the box's description, independently of the code.
ExpectedSet expectedSet(int style) {
    switch (style % 16) {
    case 3:
        return {{{9991, "&Yes", 10, 60}, {9992, "&No", 75, 60}, {9993, "Cancel", 140, 60}}, 9991, 9991};
    case 4:
        return {{{9991, "&Yes", 10, 60}, {9992, "&No", 75, 60}}, 9991, 0};
    case 1:
        return {{{9991, "&Ok", 10, 60}, {9992, "&Cancel", 75, 60}}, 9991, 0};
    default:
        return {{{9994, "&Ok", 30, 80}}, 9994, 0};
    }
}

// The platform's standard icon for the kind, or nullptr.
HICON expectedIcon(int style) {
    switch (style - style % 16) {
    case 16: return LoadIconA(nullptr, IDI_HAND);
    case 32: return LoadIconA(nullptr, IDI_QUESTION);
    case 48: return LoadIconA(nullptr, IDI_EXCLAMATION);
    case 64: return LoadIconA(nullptr, IDI_ASTERISK);
    default: return nullptr;
    }
}

// An icon drawn at 32 x 32 on white, as pixels.
std::vector<uint32_t> iconPixels(HICON icon) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 32;
    info.bmiHeader.biHeight = -32;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    RECT all = {0, 0, 32, 32};
    FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DrawIconEx(memory, 0, 0, icon, 32, 32, 0, nullptr, DI_NORMAL);
    GdiFlush();
    std::vector<uint32_t> pixels(static_cast<uint32_t*>(bits), static_cast<uint32_t*>(bits) + 32 * 32);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) return lines;
        start = end + 2;
    }
}

// Width of the widest line in a device context's default font.
int defaultFontWidth(const std::string& text) {
    HDC dc = GetDC(nullptr);
    int widest = 0;
    for (const std::string& line : splitLines(text)) {
        SIZE size{};
        GetTextExtentPoint32A(dc, line.c_str(), static_cast<int>(line.size()), &size);
        widest = std::max(widest, static_cast<int>(size.cx));
    }
    ReleaseDC(nullptr, dc);
    return widest;
}

// Round-half-even of a / 2 for the centring checks, spelled out per case.
int centred(int referenceStart, int referenceSize, int size) {
    const int twice = 2 * referenceStart + referenceSize - size;
    int whole = twice >= 0 ? twice / 2 : -((-twice + 1) / 2);
    if (twice - 2 * whole == 1 && whole % 2 != 0) ++whole;
    return whole;
}

// A top-level owner made the active window of this thread.
class OwnerWindow {
public:
    OwnerWindow(int x, int y, int width, int height) {
        window_ = CreateWindowExA(0, "STATIC", "Owner", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, x, y, width,
                                  height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ShowWindow(window_, SW_SHOW);
        SetForegroundWindow(window_);
        SetActiveWindow(window_);
        ui::waitFor([this] { return GetActiveWindow() == window_; });
    }
    ~OwnerWindow() {
        if (IsWindow(window_)) DestroyWindow(window_);
    }
    OwnerWindow(const OwnerWindow&) = delete;
    OwnerWindow& operator=(const OwnerWindow&) = delete;
    HWND get() const { return window_; }

private:
    HWND window_ = nullptr;
};

// Opens a box and returns it (the one new top-level window of this thread).
HWND openBox(const char* text, int style, const char* caption, int x = 0, int y = 0) {
    const std::vector<HWND> before = threadWindows();
    EXPECT_EQ(showMessageBox(text, style, caption, 0, x, y), 0) << "showMessageBox returns 0";
    // Only dialog windows count: Wine may add helper windows of its own
    // (the input-method window) to the thread when it first needs them.
    std::vector<HWND> added;
    for (HWND w : newWindows(before)) {
        if (ui::className(w) == "#32770") added.push_back(w);
    }
    EXPECT_EQ(added.size(), 1u) << "expected one new window, got " << added.size();
    return added.empty() ? nullptr : added.front();
}

std::string captionFor(int style) {
    std::string caption = "Caption ";
    caption.append(std::to_string(style));
    return caption;
}

struct TextCase {
    const char* name;
    const char* text;
    int lines;
};

const TextCase TextCases[] = {
    {"empty text", "", 1},
    {"one line", "Check on months", 1},
    {"three lines", "The date of the event.\r\nEnter it as mm/dd/yyyy, mm/yyyy or yyyy,\r\nor with a month word.", 3},
    {"four lines", "a\r\nbb\r\nccc\r\ndddd", 4},
    {"trailing CR LF adds an empty line", "one line and a break\r\n", 2},
    {"line wider than the minimum",
     "A line long enough that the box must grow beyond its smallest width of 220 pixels to hold it", 1},
};

const int Styles[] = {0, 1, 3, 4, 16, 64, 19, 36, 48, 5, 7};

void checkBoxLayout(HWND box, HWND owner, const TextCase& t, int style, const std::string& label) {
    ASSERT_NE(box, nullptr) << label;
    EXPECT_EQ(ui::className(box), "#32770") << label << ": expected a dialog box, got " << ui::className(box);
    EXPECT_EQ(ui::text(box), captionFor(style)) << label;
    EXPECT_EQ(GetWindow(box, GW_OWNER), owner) << label << ": expected the active window as owner";
    EXPECT_TRUE(IsWindowVisible(box)) << label;

    const LONG boxStyle = GetWindowLongA(box, GWL_STYLE);
    const LONG wanted = WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_3DLOOK;
    EXPECT_EQ(boxStyle & wanted, wanted) << label << ": expected popup, caption, modal frame; got style 0x"
                                         << std::hex << boxStyle;
    EXPECT_EQ(boxStyle & (WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0)
        << label << ": expected no system menu (no close box) and a fixed frame, got style 0x" << std::hex
        << boxStyle;
    EXPECT_NE(GetWindowLongA(box, GWL_EXSTYLE) & WS_EX_TOPMOST, 0) << label << ": expected topmost";

    // Outer size from the text measured in the default font.
    const int textWidth = defaultFontWidth(t.text);
    const int margin = style > 6 ? 50 : 10;
    const int width = std::max(220, margin + textWidth + 10);
    const int height = std::max(120, 20 * t.lines + 55);
    RECT outer{};
    GetWindowRect(box, &outer);
    EXPECT_EQ(outer.right - outer.left, width) << label << ": expected width " << width << ", got "
                                               << outer.right - outer.left;
    EXPECT_EQ(outer.bottom - outer.top, height) << label << ": expected height " << height << ", got "
                                                << outer.bottom - outer.top;
    RECT ref{};
    GetWindowRect(owner, &ref);
    const int x = centred(ref.left, ref.right - ref.left, width);
    const int y = centred(ref.top, ref.bottom - ref.top, height);
    EXPECT_EQ(outer.left, x) << label << ": expected x " << x << ", got " << outer.left;
    EXPECT_EQ(outer.top, y) << label << ": expected y " << y << ", got " << outer.top;

    // The dialog font on the box and every control.
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(box, WM_GETFONT, 0, 0));
    LOGFONTA lf{};
    ASSERT_NE(GetObjectA(font, sizeof lf, &lf), 0) << label;
    EXPECT_STREQ(lf.lfFaceName, "MS Sans Serif") << label;
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(lf.lfHeight, -MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72)) << label << ": expected 8 points";
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(lf.lfWeight, FW_NORMAL) << label;
    EXPECT_EQ(lf.lfItalic, 0) << label;

    // Text control.
    HWND text = GetDlgItem(box, BoxTextId);
    ASSERT_NE(text, nullptr) << label << ": text control 9990";
    EXPECT_EQ(ui::className(text), "Static") << label;
    EXPECT_EQ(GetWindowLongA(text, GWL_STYLE), static_cast<LONG>(WS_CHILD | WS_VISIBLE | SS_LEFT)) << label;
    EXPECT_EQ(ui::text(text), t.text) << label;
    const RECT textRect = ui::rectInParent(text);
    const RECT wantText = {margin, 5, margin + textWidth, 5 + 15 * t.lines};
    EXPECT_TRUE(EqualRect(&textRect, &wantText))
        << label << ": text control expected " << ui::describe(wantText) << ", got " << ui::describe(textRect);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(text, WM_GETFONT, 0, 0)), font) << label;

    // Icon control.
    HWND icon = GetDlgItem(box, BoxIconId);
    ASSERT_NE(icon, nullptr) << label << ": icon control 9995";
    EXPECT_EQ(ui::className(icon), "Static") << label;
    EXPECT_EQ(GetWindowLongA(icon, GWL_STYLE) & SS_TYPEMASK, SS_ICON) << label;
    const RECT iconRect = ui::rectInParent(icon);
    HICON wantIcon = expectedIcon(style);
    HICON shown = reinterpret_cast<HICON>(SendMessageA(icon, STM_GETICON, 0, 0));
    if (wantIcon != nullptr) {
        const RECT wantRect = {10, 5, 42, 37};
        EXPECT_TRUE(EqualRect(&iconRect, &wantRect))
            << label << ": icon expected " << ui::describe(wantRect) << ", got " << ui::describe(iconRect);
        ASSERT_NE(shown, nullptr) << label << ": expected an icon";
        EXPECT_TRUE(iconPixels(shown) == iconPixels(wantIcon))
            << label << ": expected the system's standard icon of the kind";
    } else {
        EXPECT_EQ(shown, nullptr) << label << ": expected no icon";
        EXPECT_EQ(iconRect.left, 10) << label;
        EXPECT_EQ(iconRect.top, 5) << label;
    }

    // Buttons.
    const ExpectedSet set = expectedSet(style);
    const int top = height - 70;
    for (const ExpectedButton& b : set.buttons) {
        const std::string what = label + ", button " + std::to_string(b.id);
        HWND button = GetDlgItem(box, b.id);
        ASSERT_NE(button, nullptr) << what << ": missing";
        EXPECT_EQ(ui::className(button), "Button") << what;
        EXPECT_EQ(ui::text(button), b.text) << what;
        const RECT r = ui::rectInParent(button);
        const RECT want = {b.x, top, b.x + b.width, top + 30};
        EXPECT_TRUE(EqualRect(&r, &want)) << what << ": expected " << ui::describe(want) << ", got " << ui::describe(r);
        const LONG s = GetWindowLongA(button, GWL_STYLE);
        if (b.id == set.defaultId) {
            EXPECT_EQ(s & BS_TYPEMASK, BS_DEFPUSHBUTTON) << what << ": expected the default-button style";
            EXPECT_EQ(s & WS_TABSTOP, 0) << what << ": expected no tab stop";
        } else {
            EXPECT_EQ(s & BS_TYPEMASK, BS_PUSHBUTTON) << what;
            EXPECT_NE(s & WS_TABSTOP, 0) << what << ": expected a tab stop";
        }
        EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(button, WM_GETFONT, 0, 0)), font) << what;
    }
    const LRESULT def = SendMessageA(box, DM_GETDEFID, 0, 0);
    EXPECT_EQ(HIWORD(def), DC_HASDEFID) << label;
    EXPECT_EQ(LOWORD(def), set.defaultId) << label << ": expected default id " << set.defaultId;
    if (set.focusId != 0) {
        EXPECT_EQ(GetFocus(), GetDlgItem(box, set.focusId)) << label << ": expected the focus on "
                                                            << set.focusId;
    }
    for (int id : {9991, 9992, 9993, 9994}) {
        bool expected = false;
        for (const ExpectedButton& b : set.buttons) expected = expected || b.id == id;
        if (!expected) {
            EXPECT_EQ(GetDlgItem(box, id), nullptr) << label << ": unexpected button " << id;
        }
    }
    int children = 0;
    for (HWND c = GetWindow(box, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) ++children;
    EXPECT_EQ(children, static_cast<int>(set.buttons.size()) + 2) << label << ": expected text, icon and buttons";

    // White background: a point to the right of the text, above the buttons.
    RECT client{};
    GetClientRect(box, &client);
    HDC dc = GetDC(box);
    const COLORREF background = GetPixel(dc, client.right - 3, 2);
    ReleaseDC(box, dc);
    EXPECT_EQ(background, RGB(255, 255, 255)) << label << ": expected a white background, got 0x" << std::hex
                                              << background;
}

TEST(MessageBoxDialog, LayoutOfEveryButtonSetIconAndTextShape) {
    OwnerWindow owner(120, 90, 500, 420);
    ASSERT_EQ(GetActiveWindow(), owner.get()) << "expected the owner to be active";
    for (int style : Styles) {
        for (const TextCase& t : TextCases) {
            const std::string label = "style " + std::to_string(style) + ", " + t.name;
            // The box takes the activation; give it back so each box has the
            // same owner.
            SetActiveWindow(owner.get());
            HWND box = openBox(t.text, style, captionFor(style).c_str());
            ui::waitFor([box] { return IsWindowVisible(box) != FALSE; }, 2000ms);
            checkBoxLayout(box, owner.get(), t, style, label);
            if (box != nullptr) DestroyWindow(box);
        }
    }
}

struct PlaceCase {
    const char* name;
    int ownerLeft;
    int ownerTop;
    int ownerWidth;
    int ownerHeight;
    int wantX;  // box 220 x 120
    int wantY;
};

// Free space of 75 (or 25) pixels gives a half; it goes to the even side.
const PlaceCase PlaceCases[] = {
    {"free width 75 at left 100", 100, 80, 295, 200, 138, 120},
    {"free width 75 at left 101", 101, 80, 295, 200, 138, 120},
    {"free height 25 at top 81", 102, 81, 296, 145, 140, 94},
    {"free height 25 at top 82", 102, 82, 296, 145, 140, 94},
    {"owner narrower than the box", 300, 200, 151, 100, 266, 190},
};

TEST(MessageBoxDialog, CentresOverTheOwnerWithHalvesToEven) {
    for (const PlaceCase& c : PlaceCases) {
        OwnerWindow owner(c.ownerLeft, c.ownerTop, c.ownerWidth, c.ownerHeight);
        RECT o{};
        GetWindowRect(owner.get(), &o);
        ASSERT_EQ(o.left, c.ownerLeft) << c.name;
        ASSERT_EQ(o.right - o.left, c.ownerWidth) << c.name;
        HWND box = openBox("short", MB_OK, "Place");
        ASSERT_NE(box, nullptr) << c.name;
        RECT r{};
        GetWindowRect(box, &r);
        EXPECT_EQ(r.left, c.wantX) << c.name << ": expected x " << c.wantX << ", got " << r.left;
        EXPECT_EQ(r.top, c.wantY) << c.name << ": expected y " << c.wantY << ", got " << r.top;
        DestroyWindow(box);
    }
}

TEST(MessageBoxDialog, WithoutOwnerCentresOnTheWorkAreaSizeFromTheScreenCorner) {
    RECT saved{};
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &saved, 0));
    // A work area that does not start at the corner: its offset must not be used.
    RECT shifted = {100, 50, 900, 651};
    ASSERT_TRUE(SystemParametersInfoA(SPI_SETWORKAREA, 0, &shifted, 0));
    ASSERT_EQ(GetActiveWindow(), nullptr) << "expected no active window in this thread";
    HWND box = openBox("no owner", MB_OK, "Alone");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr) << "expected no owner";
    RECT r{};
    GetWindowRect(box, &r);
    // (800 - 220) / 2 = 290; (601 - 120) / 2 = 240.5 -> 240.
    EXPECT_EQ(r.left, 290) << "expected x 290, got " << r.left;
    EXPECT_EQ(r.top, 240) << "expected y 240, got " << r.top;
    DestroyWindow(box);
    SystemParametersInfoA(SPI_SETWORKAREA, 0, &saved, 0);
}

TEST(MessageBoxDialog, GivenPositionIsUsedAndClampedAtZero) {
    OwnerWindow owner(200, 200, 400, 300);
    struct {
        const char* name;
        int x, y, wantX, wantY;
    } cases[] = {
        {"both given", 30, 40, 30, 40},
        {"negative x", -25, 60, 0, 60},
        {"only y", 0, 70, 0, 70},
        {"only x, y negative", 90, -3, 90, 0},
    };
    for (const auto& c : cases) {
        SetActiveWindow(owner.get());
        HWND box = openBox("at a place", MB_OK, "Here", c.x, c.y);
        ASSERT_NE(box, nullptr) << c.name;
        RECT r{};
        GetWindowRect(box, &r);
        EXPECT_EQ(r.left, c.wantX) << c.name << ": expected x " << c.wantX << ", got " << r.left;
        EXPECT_EQ(r.top, c.wantY) << c.name << ": expected y " << c.wantY << ", got " << r.top;
        DestroyWindow(box);
    }
}

TEST(MessageBoxDialog, TwoBoxesLieOnTopOfEachOtherAndCloseIndependently) {
    OwnerWindow owner(150, 100, 400, 400);
    HWND first = openBox("Help text\r\nsecond line", MB_ICONINFORMATION, "Help");
    SetActiveWindow(owner.get());
    HWND second = openBox("Help text\r\nsecond line", MB_ICONINFORMATION, "Help");
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    ASSERT_NE(first, second);
    RECT a{}, b{};
    GetWindowRect(first, &a);
    GetWindowRect(second, &b);
    EXPECT_TRUE(EqualRect(&a, &b)) << "expected the same rectangle, got " << ui::describe(a) << " and " << ui::describe(b);

    // The upper box closes with its button; the lower one stays.
    SendMessageA(GetDlgItem(second, BoxOkButtonId), BM_CLICK, 0, 0);
    EXPECT_TRUE(ui::waitFor([&] { return !IsWindow(second); })) << "expected the clicked box to close";
    EXPECT_TRUE(IsWindow(first) && IsWindowVisible(first)) << "expected the other box to stay";
    SendMessageA(GetDlgItem(first, BoxOkButtonId), BM_CLICK, 0, 0);
    EXPECT_TRUE(ui::waitFor([&] { return !IsWindow(first); })) << "expected the second box to close too";
    EXPECT_TRUE(IsWindow(owner.get())) << "expected the owner to stay";
}

TEST(MessageBoxDialog, DestroyingTheOwnerDestroysItsBoxes) {
    HWND box1 = nullptr;
    HWND box2 = nullptr;
    HWND other = nullptr;
    OwnerWindow unrelated(600, 100, 200, 200);
    other = openBox("owned by another", MB_OK, "Other");
    {
        OwnerWindow owner(100, 100, 400, 300);
        box1 = openBox("one", MB_OK, "One");
        SetActiveWindow(owner.get());
        box2 = openBox("two", MB_YESNO, "Two");
        ASSERT_EQ(GetWindow(box1, GW_OWNER), owner.get());
        ASSERT_EQ(GetWindow(box2, GW_OWNER), owner.get());
    }
    ui::waitFor([&] { return !IsWindow(box1) && !IsWindow(box2); }, 2000ms);
    EXPECT_FALSE(IsWindow(box1)) << "expected the first box gone with its owner";
    EXPECT_FALSE(IsWindow(box2)) << "expected the second box gone with its owner";
    EXPECT_TRUE(IsWindow(other)) << "expected a box of another owner to stay";
    DestroyWindow(other);
}

struct KeyCase {
    const char* name;
    int style;
};

const KeyCase KeyCases[] = {
    {"single Ok", MB_OK},
    {"Ok and Cancel", MB_OKCANCEL},
    {"Yes, No, Cancel with focus on Yes", MB_YESNOCANCEL},
    {"Yes and No", MB_YESNO},
    {"help box", MB_ICONINFORMATION},
};

TEST(MessageBoxDialog, EnterAndEscapeDoNotCloseButAClickDoes) {
    // The owner is a dialog whose messages pass through IsDialogMessageA, as
    // the main dialog's do in the program's loop.
    const std::vector<WORD> tmpl =
        emptyDialogTemplate(WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_3DLOOK);
    for (const KeyCase& c : KeyCases) {
        HWND owner = CreateDialogIndirectParamA(GetModuleHandleA(nullptr),
                                                reinterpret_cast<LPCDLGTEMPLATEA>(tmpl.data()), nullptr,
                                                nullptr, 0);
        ASSERT_NE(owner, nullptr) << c.name;
        MoveWindow(owner, 100, 100, 500, 400, TRUE);
        ShowWindow(owner, SW_SHOW);
        SetForegroundWindow(owner);
        ui::waitFor([&] { return GetActiveWindow() == owner; });
        HWND box = openBox("Press a key", c.style, "Keys");
        ASSERT_NE(box, nullptr) << c.name;
        ASSERT_TRUE(ui::waitFor([&] { return GetForegroundWindow() == box; }, 5000ms, owner))
            << c.name << ": expected the box in the foreground";

        for (WORD key : {VK_RETURN, VK_ESCAPE, VK_RETURN}) {
            ui::pressKey(key);
            pumpFor(300ms, owner);
            EXPECT_TRUE(IsWindow(box)) << c.name << ": expected the box to survive key " << key;
        }
        // Space on the focused button is a click of that button.
        const ExpectedSet set = expectedSet(c.style);
        HWND button = GetDlgItem(box, set.buttons.back().id);
        ui::click(button);
        EXPECT_TRUE(ui::waitFor([&] { return !IsWindow(box); }, 5000ms, owner))
            << c.name << ": expected a click on " << set.buttons.back().text << " to close the box";
        EXPECT_TRUE(IsWindow(owner)) << c.name;
        DestroyWindow(owner);
    }
}

TEST(MessageBoxDialog, EveryButtonClosesItsBox) {
    for (int style : {MB_OK, MB_OKCANCEL, MB_YESNOCANCEL, MB_YESNO}) {
        for (const ExpectedButton& b : expectedSet(style).buttons) {
            const std::string label = "style " + std::to_string(style) + ", " + b.text;
            HWND box = openBox("close me", style, "Close");
            ASSERT_NE(box, nullptr) << label;
            SendMessageA(GetDlgItem(box, b.id), BM_CLICK, 0, 0);
            EXPECT_TRUE(ui::waitFor([&] { return !IsWindow(box); })) << label << ": expected the box closed";
        }
    }
}

TEST(MessageBoxDialog, OtherCommandsLeaveTheBoxOpen) {
    HWND box = openBox("stay", MB_YESNO, "Stay");
    ASSERT_NE(box, nullptr);
    for (int id : {0, 3, 9990, 9995, 9996, 100}) {
        SendMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
        EXPECT_TRUE(IsWindow(box)) << "command " << id << ": expected the box to stay";
    }
    for (int id : {IDOK, IDCANCEL}) {
        HWND b = openBox("dialog command", MB_OK, "Cmd");
        SendMessageA(b, WM_COMMAND, MAKEWPARAM(id, 0), 0);
        EXPECT_FALSE(IsWindow(b)) << "command " << id << ": expected the box closed";
    }
    DestroyWindow(box);
}

HDC WINAPI noDeviceContext(HWND) { return nullptr; }

TEST(MessageBoxDialog, WithoutADeviceContextTheWholeTextIsStillShown) {
    const MessageBoxCalls saved = MessageBoxPlatform;
    MessageBoxPlatform.getDC = noDeviceContext;
    const std::string text = "Check on days\r\nsecond line, longer";
    HWND box = openBox(text.c_str(), MB_ICONHAND, "Illegal Date");
    MessageBoxPlatform = saved;
    ASSERT_NE(box, nullptr);
    HWND label = GetDlgItem(box, BoxTextId);
    EXPECT_EQ(ui::text(label), text);
    RECT r{};
    GetWindowRect(label, &r);
    // Measured by the system font's average character width: 19 characters.
    const int expected = 19 * LOWORD(GetDialogBaseUnits());
    EXPECT_EQ(r.right - r.left, expected) << "expected the text " << expected << " wide, got " << r.right - r.left;
    EXPECT_EQ(r.bottom - r.top, 30) << "expected two lines";
    DestroyWindow(box);
}

BOOL WINAPI failingQuery(UINT, UINT, PVOID, UINT) { return FALSE; }
BOOL WINAPI emptyAreaQuery(UINT, UINT, PVOID value, UINT) {
    *static_cast<RECT*>(value) = RECT{};
    return TRUE;
}

TEST(WorkArea, IsTheScreenWhenTheSystemGivesNone) {
    const RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    RECT real{};
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &real, 0));
    const struct {
        const char* name;
        SystemParametersQuery query;
        RECT expected;
    } cases[] = {{"query fails", failingQuery, screen}, {"empty area", emptyAreaQuery, screen}, {"system", SystemParametersInfoA, real}};
    for (const auto& c : cases) {
        const RECT got = workArea(c.query);
        EXPECT_TRUE(EqualRect(&got, &c.expected))
            << c.name << ": expected " << c.expected.right << " x " << c.expected.bottom << ", got " << got.left << ","
            << got.top << " " << got.right << " x " << got.bottom;
    }
}

TEST(MessageBoxDialog, HalfToEvenRounding) {
    struct {
        long long twice;
        int want;
    } cases[] = {{275, 138}, {277, 138}, {276, 138}, {1, 0}, {3, 2}, {5, 2}, {0, 0}, {-1, 0}, {-3, -2}, {-5, -2}, {-4, -2}};
    for (const auto& c : cases) {
        EXPECT_EQ(halfToEven(c.twice), c.want) << "twice " << c.twice << ": expected " << c.want << ", got "
                                               << halfToEven(c.twice);
    }
}

}  // namespace
