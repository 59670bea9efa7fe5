// The main window's "Update" entry: the version check, then the update
// dialog or the browser download, as the user answers.
#pragma once

#include <windows.h>

#include <functional>

#include "settings/core/work_folder.h"

namespace pv::update::win32 {

enum class UpdateCheckResult {
  kStay,        // nothing more to do (no update, Esc, browser, failure, Cancel)
  kHandedOver,  // the updater runs: end the program as on Quit
};

// owner: the main window, which the boxes and the dialog belong to. The
// window keeps answering its messages during the check; stopRequested
// becomes true when the program is ending (Quit, the end of the session),
// which ends the check at once, without a box.
UpdateCheckResult RunUpdateCheck(HWND owner, bool chineseUi, const settings::WorkFolder& workFolder,
                                 std::function<bool()> stopRequested);

}  // namespace pv::update::win32
