// The drawing helpers and the sheet, drawn into a memory bitmap: fonts as
// requested and as created, where the highlight lands, and what stays black
// on white.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "calendar_driver.h"
#include "calendar_state.h"
#include "drawing.h"
#include "month_model.h"

namespace {

struct FontRequest {
    int height = 0, width = -1, escapement = -1, orientation = -1, weight = 0;
    DWORD italic = 9, underline = 9, strikeOut = 9, charSet = 9, outPrecision = 9, clipPrecision = 9,
          quality = 9, pitchAndFamily = 9;
    std::string face;
};
FontRequest LastRequest;

HFONT WINAPI recordingCreateFont(int h, int w, int e, int o, int weight, DWORD i, DWORD u, DWORD s,
                                 DWORD cs, DWORD op, DWORD cp, DWORD q, DWORD pf, LPCSTR face) {
    LastRequest = {h, w, e, o, weight, i, u, s, cs, op, cp, q, pf, face ? face : ""};
    return CreateFontA(h, w, e, o, weight, i, u, s, cs, op, cp, q, pf, face);
}

HFONT WINAPI failingCreateFont(int, int, int, int, int, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD,
                               DWORD, DWORD, LPCSTR) {
    return nullptr;
}

// Puts the platform calls back however a test ends.
struct PlatformGuard {
    CalendarCalls saved = CalendarPlatform;
    ~PlatformGuard() { CalendarPlatform = saved; }
};

TEST(MakeFont, RequestsAndCreatedFonts) {
    PlatformGuard guard;
    CalendarPlatform.createFont = recordingCreateFont;
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ASSERT_EQ(dpi, 96) << "expected the test screen at 96 dpi, got " << dpi;
    struct Case {
        const char* name;
        const char* face;
        int32_t points;
        const char* style;
        int height, weight;
        bool italic, underline;
    } const cases[] = {
        {"grid font", "Courier New", 9, "", -12, 400, false, false},
        {"heading font", "MS Sans Serif", 10, "b", -13, 701, false, false},
        {"italic and underline without bold", "Courier New", 10, "iu", -13, 700, true, true},
        {"bold in second place", "Courier New", 10, "ub", -13, 702, false, true},
        {"italic alone", "Courier New", 12, "i", -16, 700, true, false},
        {"capital letters are no style", "Courier New", 9, "BIU", -12, 700, false, false},
        {"eight points truncate", "Courier New", 8, "", -10, 400, false, false},
    };
    for (const auto& c : cases) {
        const HFONT font = makeFont(screen, c.face, c.points, c.style);
        ASSERT_NE(font, nullptr) << c.name;
        EXPECT_EQ(LastRequest.height, c.height)
            << c.name << ": expected height " << c.height << ", got " << LastRequest.height;
        EXPECT_EQ(LastRequest.weight, c.weight)
            << c.name << ": expected weight " << c.weight << ", got " << LastRequest.weight;
        EXPECT_EQ(LastRequest.outPrecision, static_cast<DWORD>(OUT_TT_PRECIS)) << c.name;
        EXPECT_EQ(LastRequest.charSet, static_cast<DWORD>(ANSI_CHARSET)) << c.name;
        EXPECT_EQ(LastRequest.width, 0) << c.name;
        EXPECT_EQ(LastRequest.strikeOut, 0u) << c.name;
        EXPECT_EQ(LastRequest.face, c.face) << c.name;

        LOGFONTA created = {};
        ASSERT_EQ(GetObjectA(font, sizeof created, &created), static_cast<int>(sizeof created))
            << c.name;
        EXPECT_EQ(created.lfHeight, c.height)
            << c.name << ": expected created height " << c.height << ", got " << created.lfHeight;
        EXPECT_EQ(created.lfWeight, c.weight)
            << c.name << ": expected created weight " << c.weight << ", got " << created.lfWeight;
        EXPECT_EQ(created.lfItalic != 0, c.italic)
            << c.name << ": expected italic " << c.italic << ", got " << int(created.lfItalic);
        EXPECT_EQ(created.lfUnderline != 0, c.underline)
            << c.name << ": expected underline " << c.underline << ", got "
            << int(created.lfUnderline);
        EXPECT_STREQ(created.lfFaceName, c.face) << c.name;
        DeleteObject(font);
    }
    ReleaseDC(nullptr, screen);
}

TEST(MakeFont, FailureGivesNoFont) {
    PlatformGuard guard;
    CalendarPlatform.createFont = failingCreateFont;
    const HDC screen = GetDC(nullptr);
    EXPECT_EQ(makeFont(screen, "Courier New", 9, ""), nullptr);
    ReleaseDC(nullptr, screen);
}

// A white memory bitmap the size of the sheet, with the calendar's fonts,
// wired into a state of its own.
class Sheet {
public:
    static constexpr int Width = 760, Height = 620;

    Sheet() {
        const HDC screen = GetDC(nullptr);
        dc_ = CreateCompatibleDC(screen);
        bitmap_ = CreateCompatibleBitmap(screen, Width, Height);
        ReleaseDC(nullptr, screen);
        oldBitmap_ = SelectObject(dc_, bitmap_);
        const RECT all = {0, 0, Width, Height};
        FillRect(dc_, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        state.calendarDC = dc_;
        state.gridFont = makeFont(dc_, "Courier New", 9, "");
        state.headingFont = makeFont(dc_, "MS Sans Serif", 10, "b");
        oldFont_ = SelectObject(dc_, state.gridFont);
        SIZE spaces = {};
        GetTextExtentPoint32A(dc_, "   ", 3, &spaces);
        state.cellWidth = spaces.cx;
        GetTextExtentPoint32A(dc_, "0", 1, &spaces);
        lineHeight = spaces.cy;
    }
    ~Sheet() {
        SelectObject(dc_, oldFont_);
        SelectObject(dc_, oldBitmap_);
        DeleteObject(state.gridFont);
        DeleteObject(state.headingFont);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Sheet(const Sheet&) = delete;
    Sheet& operator=(const Sheet&) = delete;

    caltest::Pixels pixels() const { return caltest::Pixels::ofDC(dc_, Width, Height); }

    CalendarState state;
    int lineHeight = 0;

private:
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr;
    HGDIOBJ oldFont_ = nullptr;
};

TEST(Sheet, GridFontIsMonospacedAndFitsTheBlock) {
    Sheet sheet;
    const int32_t width = sheet.state.cellWidth;
    // Without a Courier New (or a metric twin such as Liberation Mono put in
    // its place) Wine falls back to a proportional face and the day numbers
    // no longer stand under their weekday names.
    EXPECT_EQ(width % 3, 0) << "expected three equal characters, got cell width " << width;
    char face[LF_FACESIZE] = {};
    GetTextFaceA(sheet.state.calendarDC, sizeof face, face);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(sheet.state.calendarDC, &metrics);
    EXPECT_EQ(metrics.tmPitchAndFamily & TMPF_FIXED_PITCH, 0)
        << "expected a fixed-pitch grid font, got the proportional face " << face;
    EXPECT_GE(width, 15) << "expected a cell of 15..27 pixels, got " << width;
    EXPECT_LE(width, 27) << "expected a cell of 15..27 pixels, got " << width;
}

TEST(Sheet, GivenDayWhiteOnBlueAndNothingElse) {
    struct Case {
        const char* name;
        int32_t year, month, day;
    } const cases[] = {
        {"5 March 1850", 1850, 3, 5},
        {"31 March 1850, last line of its month", 1850, 3, 31},
        {"29 February 2000", 2000, 2, 29},
        {"7 December 1941", 1941, 12, 7},
        {"31 December 2100, bottom right", 2100, 12, 31},
    };
    for (const auto& c : cases) {
        Sheet sheet;
        const PixelPoint marked = drawSheet(sheet.state, c.year, c.month, c.day).value_or(PixelPoint{});
        const caltest::Pixels px = sheet.pixels();
        const int32_t w = sheet.state.cellWidth;
        const PixelPoint at = dayFieldPosition(c.month, c.year, c.day, w);
        EXPECT_EQ(marked.x, at.x) << c.name;
        EXPECT_EQ(marked.y, at.y) << c.name;
        EXPECT_EQ(sheet.state.highlightX, 0) << c.name << ": drawing must leave the window state alone";
        const int x1 = at.x + 2 * w / 3;
        const int y1 = at.y + sheet.lineHeight;
        const int inside = px.blueIn(at.x, at.y, x1, y1);
        const int total = px.blueTotal();
        EXPECT_GT(inside, (x1 - at.x) * (y1 - at.y) / 3)
            << c.name << ": expected the number's box mostly blue, got " << inside << " pixels";
        EXPECT_EQ(total, inside) << c.name << ": expected no blue outside the day, got "
                                 << total - inside << " pixels";
        const int white = px.colourIn(RGB(255, 255, 255), at.x, at.y, x1, y1);
        EXPECT_GT(white, 0) << c.name << ": expected white digits on the blue";
    }
}

TEST(Sheet, NamesHeadersRulesAndSeparators) {
    Sheet sheet;
    // The given day sits in the last line of March: April must still be
    // drawn black on white.
    drawSheet(sheet.state, 1850, 3, 31);
    const caltest::Pixels px = sheet.pixels();
    for (int32_t m = 1; m <= 12; ++m) {
        const BlockOrigin o = monthOrigin(m);
        const int top = 50 + o.rowY;
        EXPECT_GT(px.darkIn(o.colX + 20, top + 10, o.colX + 130, top + 28), 20)
            << MonthNames[m] << ": expected the name in black";
        EXPECT_GT(px.darkIn(o.colX + 7, top + 30, o.colX + 150, top + 44), 40)
            << MonthNames[m] << ": expected the weekday header in black";
        EXPECT_EQ(px.colourIn(RGB(0, 0, 0), o.colX + 7, top + 45, o.colX + 150, top + 46), 143)
            << MonthNames[m] << ": expected the rule from x+7 to x+149";
        const int separator = px.colourIn(RGB(0, 0, 0), o.colX + 170, top + 20, o.colX + 171, top + 180);
        const int expected = (m - 1) % 4 == 3 ? 0 : 160;
        EXPECT_EQ(separator, expected)
            << MonthNames[m] << ": expected " << expected << " separator pixels, got " << separator;
    }
}

TEST(Sheet, NumberOfEveryDayStandsWhereTheModelSaysIt) {
    Sheet sheet;
    drawSheet(sheet.state, 2000, 0, 0);
    const caltest::Pixels px = sheet.pixels();
    EXPECT_EQ(px.blueTotal(), 0) << "no given day, expected no blue";
    // Two-digit numbers have ink in both halves of their box; a one-digit
    // number only in its right half.
    const int32_t w = sheet.state.cellWidth;
    const int c = w / 3;
    for (int32_t m = 1; m <= 12; ++m) {
        for (int32_t d = 1; d <= 31; ++d) {
            const auto lines = buildWeekLines(m, 2000);
            if (d > static_cast<int32_t>(lines.size() * 7)) {
                break;
            }
            const PixelPoint at = dayFieldPosition(m, 2000, d, w);
            if (!dayAtPoint(at.x, at.y, 2000, w)) {
                continue;  // past the end of the month
            }
            const int left = px.darkIn(at.x, at.y, at.x + c, at.y + sheet.lineHeight);
            const int right = px.darkIn(at.x + c, at.y, at.x + 2 * c, at.y + sheet.lineHeight);
            EXPECT_GT(right, 0) << MonthNames[m] << " " << d << ": expected ink at ("
                                << at.x + c << ", " << at.y << ")";
            if (d < 10) {
                EXPECT_EQ(left, 0) << MonthNames[m] << " " << d << ": expected a blank before";
            } else {
                EXPECT_GT(left, 0) << MonthNames[m] << " " << d << ": expected two digits";
            }
        }
    }
}

TEST(MarkDay, SnapsToTheNumberAndKeepsColoursOnAMiss) {
    Sheet sheet;
    const int32_t w = sheet.state.cellWidth;
    const PixelPoint five = dayFieldPosition(3, 1850, 5, w);

    SetTextColor(sheet.state.calendarDC, RGB(1, 2, 3));
    SetBkColor(sheet.state.calendarDC, RGB(4, 5, 6));
    EXPECT_EQ(markDayOn(sheet.state, 1850, 60, 65, MarkMode::Highlighted), 0)
        << "month name: expected no day";
    EXPECT_EQ(GetTextColor(sheet.state.calendarDC), RGB(1, 2, 3)) << "text colour changed on a miss";
    EXPECT_EQ(GetBkColor(sheet.state.calendarDC), RGB(4, 5, 6)) << "background changed on a miss";
    EXPECT_EQ(sheet.pixels().blueTotal(), 0) << "a miss drew something";

    // A point in the space in front of the number draws at the number.
    const DateNumber hit =
        markDayOn(sheet.state, 1850, five.x - w / 3, five.y + 10, MarkMode::Highlighted);
    EXPECT_EQ(hit, 18500305) << "expected 18500305, got " << hit;
    const caltest::Pixels px = sheet.pixels();
    EXPECT_EQ(px.blueIn(five.x - w / 3, five.y, five.x, five.y + 20), 0)
        << "expected nothing drawn left of the number";
    EXPECT_GT(px.blueIn(five.x, five.y, five.x + 2 * w / 3, five.y + sheet.lineHeight), 0)
        << "expected the number white on blue";
    EXPECT_EQ(px.at(five.x, five.y), RGB(0, 0, 255)) << "the blank of \" 5\" is blue";
    EXPECT_EQ(GetTextColor(sheet.state.calendarDC), RGB(255, 255, 255));
    EXPECT_EQ(GetBkColor(sheet.state.calendarDC), RGB(0, 0, 255));

    // Plain mode draws it back black on white.
    EXPECT_EQ(markDayOn(sheet.state, 1850, five.x, five.y, MarkMode::Plain), 18500305);
    EXPECT_EQ(sheet.pixels().blueTotal(), 0) << "expected the highlight gone";
    EXPECT_EQ(GetTextColor(sheet.state.calendarDC), RGB(0, 0, 0));
    EXPECT_EQ(GetBkColor(sheet.state.calendarDC), RGB(255, 255, 255));
}

TEST(MarkDay, WithoutAMeasuredGridNothingIsHit) {
    Sheet sheet;
    sheet.state.cellWidth = 0;
    EXPECT_EQ(markDayOn(sheet.state, 1850, 409, 120, MarkMode::Highlighted), 0);
    drawSheet(sheet.state, 1850, 3, 5);
    EXPECT_EQ(sheet.pixels().blueTotal(), 0) << "expected no highlight without a grid";
}

TEST(MarkDay, NullDeviceContextDrawsNothingAndDoesNotCrash) {
    CalendarState state;
    state.cellWidth = 21;
    EXPECT_EQ(markDayOn(state, 1850, 409, 120, MarkMode::Highlighted), 18500305);
    EXPECT_EQ(drawSheet(state, 1850, 3, 5).value_or(PixelPoint{}).x, 409);
}

}  // namespace
