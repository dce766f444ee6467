// The file commands of the main dialog: saving the English text with the
// code book and the kanji database.

#include "core/quillan_dlg.h"

namespace quillan {

bool CQuillanDlg::SaveEnglishText() {
  m_platform.MessageBox("Saving is not available in this build.", "Save English Text", CMessageButtons::Ok,
                        CMessageIcon::Error);
  return false;
}

bool CQuillanDlg::OnFileCommand(int id) {
  switch (id) {
  case kIdCompress:
  case kIdCompressAll:
  case kIdFillFromScriptFile:
  case kIdFillWithNameAndNumber:
  case kIdFillWithNumbers:
  case kIdFillFromText:
  case kIdFillFromVdrText:
  case kIdMakeCd:
  case kIdChangeFont:
    m_platform.MessageBox("This command is not available in this build.");
    return true;
  default:
    return false;
  }
}

} // namespace quillan
