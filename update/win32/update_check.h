// The main window's "Update" entry: the version check, then the update
// dialog or the browser download, as the user answers.
#pragma once

#include <windows.h>

#include "settings/core/work_folder.h"

namespace pv::update::win32 {

enum class UpdateCheckResult {
  kStay,        // nothing more to do (no update, Esc, browser, failure, Cancel)
  kHandedOver,  // the updater runs: end the program as on Quit
};

// owner: the main window, which the boxes and the dialog belong to.
UpdateCheckResult RunUpdateCheck(HWND owner, bool chineseUi, const settings::WorkFolder& workFolder);

}  // namespace pv::update::win32
