// The file commands of the main dialog: saving the English text with the
// code book and the kanji database.

#include "cdimage/disc_collect.h"
#include "cdimage/make_cd.h"
#include "core/file_io.h"
#include "core/quillan_dlg.h"

namespace quillan {

bool CQuillanDlg::SaveEnglishText() {
  m_platform.MessageBox("Saving is not available in this build.", "Save English Text", CMessageButtons::Ok,
                        CMessageIcon::Error);
  return false;
}

void CQuillanDlg::MakeCdCommand() {
  auto disc = m_platform.AskDisc();
  if (!disc) return;
  CMakeCdOptions options;
  options.m_workDir = m_baseDir;
  options.m_discDir = *disc;
  std::optional<CResult<CMakeCdReport>> result;
  m_platform.RunWithProgress("Make CD", [&](const std::function<bool(double, const std::string &)> &report) {
    result = MakeCd(options, [&](const CProgress &progress) {
      double fraction = progress.m_total ? double(progress.m_done) / double(progress.m_total) : 0.0;
      return report(fraction, DescribeMakeCdProgress(progress));
    });
  });
  if (!result) return;
  if (!result->Ok() && IsCancelledError(result->Error())) {
    m_platform.MessageBox("Make CD was cancelled; nothing was made.", "Make CD");
    return;
  }
  if (!result->Ok()) {
    m_platform.MessageBox("CD IMAGE NOT CREATED\n" + result->Error().Message(), "Make CD", CMessageButtons::Ok,
                          CMessageIcon::Error);
    return;
  }
  std::string text = "Made " + PathText((*result)->m_image.filename()) + ", " +
                     PathText((*result)->m_silentTrack.filename()) + " and " +
                     PathText((*result)->m_cueSheet.filename()) + " from " + std::to_string((*result)->m_fileCount) +
                     " files.";
  for (const auto &note : (*result)->m_notes) text += "\n" + note;
  m_platform.MessageBox(text, "Make CD", CMessageButtons::Ok, CMessageIcon::Information);
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
    MakeCdCommand();
    return true;
  case kIdChangeFont:
    m_platform.MessageBox("This command is not available in this build.");
    return true;
  default:
    return false;
  }
}

} // namespace quillan
