#include "update/win32/update_check.h"

#include "update/core/update_flow.h"
#include "update/win32/update_dlg.h"

namespace pv::update::win32 {

UpdateCheckResult RunUpdateCheck(HWND owner, bool chineseUi, const settings::WorkFolder& workFolder,
                                 std::function<bool()> stopRequested) {
  UpdateDlg dialog(owner, chineseUi, workFolder);
  const int answer = dialog.CheckForUpdate(chineseUi, stopRequested);
  if (stopRequested && stopRequested()) return UpdateCheckResult::kStay;
  switch (answer) {
    case kAnswerUpdate:
      return dialog.DoModal() == UpdateDlg::kHandedOver ? UpdateCheckResult::kHandedOver
                                                        : UpdateCheckResult::kStay;
    case kAnswerBrowser:
      dialog.OpenDownloadPage();
      return UpdateCheckResult::kStay;
    default:
      return UpdateCheckResult::kStay;
  }
}

}  // namespace pv::update::win32
