// Closing the dialogs a window has open over it, so that the window's own
// end is not left waiting behind their modal loops.
#pragma once

#include <windows.h>

// Asks every dialog box (#32770) of this thread owned by `owner`, directly
// or through another of its dialogs, to close with the answer that changes
// nothing: "No" (IDNO) where the dialog has that button, else Cancel. The
// requests are posted; each dialog closes when its loop next runs.
void CloseOwnedDialogs(HWND owner);
