// The calendar window's state and procedures, for the window itself and for
// the tests that open it, draw its sheet into a bitmap or replace the calls
// through which it gets its device context and fonts.
#pragma once

#include <windows.h>

#include <cstdint>

#include "drawing.h"
#include "month_model.h"

// Control ids of the calendar window.
enum CalendarControlId : int32_t {
    CenturyBoxId = 101,
    YearBoxId = 102,
    CenturyLabelId = 201,
    YearLabelId = 202,
};

// One record for the whole run. Fonts and the DC belong to the open window
// and are released (and their handles cleared) when it is destroyed; the
// year and pick fields live on from one opening to the next.
struct CalendarState {
    HWND calendarHandle = nullptr;
    HDC calendarDC = nullptr;      // GetDC of the window, for all sheet drawing
    HFONT gridFont = nullptr;      // "Courier New" 9 pt
    HFONT headingFont = nullptr;   // "MS Sans Serif" 10 pt bold
    HFONT savedFont = nullptr;     // what calendarDC held before gridFont
    int32_t cellWidth = 0;         // pixels of three spaces in gridFont
    int32_t shownYear = 0;
    int32_t givenMonth = 0;        // 0 when absent
    int32_t givenDay = 0;          // 0 when absent
    int32_t selectedCentury = 0;   // first year the year box offers; 0 = none
    int32_t highlightX = 0;        // where the given day was last highlighted
    int32_t highlightY = 0;
    DateNumber pickedDate = 0;     // the day under the last press; 0 = none

    // The modal run.
    bool windowAlive = false;      // from creation until WM_DESTROY
    DateNumber result = 0;         // what the calendar ended with
    int32_t paintCount = 0;        // completed WM_PAINTs of this opening
};

extern CalendarState Calendar;

// The platform calls through which the window gets the resources it must
// give back. Tests replace them to make them fail or to count them; the
// `painted` observer, when set, is called after every completed paint.
struct CalendarCalls {
    HDC(WINAPI* getDC)(HWND) = GetDC;
    int(WINAPI* releaseDC)(HWND, HDC) = ReleaseDC;
    HFONT(WINAPI* createFont)(int, int, int, int, int, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD,
                              DWORD, DWORD, LPCSTR) = CreateFontA;
    void (*painted)(HWND) = nullptr;
};

extern CalendarCalls CalendarPlatform;

INT_PTR CALLBACK calendarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Draws the whole sheet of `year` through Calendar.calendarDC (drawSheet of
// drawing.h), marking `day` of `month` white on blue when both are given and
// the day exists, and remembers where it was marked.
void drawCalendar(int32_t year, int32_t month, int32_t day);
