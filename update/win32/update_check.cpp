#include "update/win32/update_check.h"

#include "update/core/update_flow.h"
#include "update/win32/update_dlg.h"

namespace pv::update::win32 {

UpdateCheckResult RunUpdateCheck(HWND owner, bool chineseUi, const settings::WorkFolder& workFolder) {
  UpdateDlg dialog(owner, chineseUi, workFolder);
  switch (dialog.CheckForUpdate(chineseUi)) {
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
