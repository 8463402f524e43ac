// What the main dialog offers researchers beyond its fields, without
// changing the dialog itself: the answer's window of dates, GEDCOM values
// and warnings in a tooltip over the computed field, the same values in the
// entry fields' context menu (with the edit control's own items), census
// days for the event field, and the system menu's "Person's records…" and
// "About Quillark…".
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "calculation.h"
#include "research.h"

// The census whose day the event field holds, chosen from its menu; null
// when the event date was typed. Its age rule applies to "&Calc" until
// another date is typed or the dialog is reset.
extern const quillark::Census* EventCensus;

// Commands of the system menu; Ctrl+R sends the first as a WM_COMMAND too.
// System-menu ids are multiples of 16 below 0xF000.
enum ResearcherCommandId : int32_t {
    RecordsCommandId = 0x0110,
    AboutCommandId = 0x0120,
};

// Items of an entry field's context menu, as TrackPopupMenu returns them.
enum FieldMenuItem : UINT {
    MenuUndo = 1,
    MenuCut,
    MenuCopy,
    MenuPaste,
    MenuDelete,
    MenuSelectAll,
    MenuCopyGedcom7 = 10,
    MenuCopyGedcom551,
    MenuCopyIsoWindow,
    MenuCopyWindowLine,
    MenuCopyWarning = 20,  // + the warning's index
    MenuCensus = 100,      // + the census's index in the census table
};

// The last calculation's notes, kept for the tooltip and the menu, and the
// fact it computed; forgotten on "&Reset" and when a field is typed into.
void noteAnswer(const quillark::AnswerNotes& notes, MissingFact fact);
void forgetAnswer();
// The tooltip's text: the window line, "GEDCOM 7: …", then each warning,
// lines joined by CR LF; empty while there is no answer.
std::string answerTipText();
// Hands an entry field's mouse messages to the tooltip (it needs them to
// know when the pointer rests on its field).
void relayToAnswerTip(HWND field, UINT message, WPARAM wParam, LPARAM lParam);
// Destroys the tooltip; the dialog's WM_DESTROY calls it.
void destroyAnswerTip();

// The context menu of an entry field, built as it stands now: the edit
// items, a separator, the answer's items, and on the event field the
// "Census day" submenu. The caller destroys it.
HMENU buildFieldMenu(HWND field);
// Carries out an item of that menu on field.
void runFieldMenuItem(HWND field, UINT item);
// WM_CONTEXTMENU of an entry field: where is the screen point of the click,
// or -1 when the menu was asked for by the keyboard.
void showFieldMenu(HWND field, LPARAM where);
// Fills the event field with a census's day and makes its age rule apply.
void chooseEventCensus(const quillark::Census* census);

// Adds "Person's records…" and "About Quillark…" to the dialog's system menu.
void addResearcherSystemItems(HWND dialog);
// The About box: version, licence and what the program is for.
std::string aboutText();
void showAbout();
// The accelerators of the main dialog (Ctrl+R); the caller destroys them.
HACCEL createMainAccelerators();
