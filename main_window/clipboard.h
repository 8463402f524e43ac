// Plain-text copy to the system clipboard.
#pragma once

// Replaces everything on the clipboard with text as CF_TEXT (the bytes as
// they are, ANSI code page). When the clipboard is held by another program
// nothing changes and nothing is reported.
void copyTextToClipboard(const char* text);
