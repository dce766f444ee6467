// The file commands of the main dialog: saving the English text with the
// code book and the kanji database.

#include "cdimage/disc_collect.h"
#include "cdimage/make_cd.h"
#include "codec/batch_compress.h"
#include "codec/english_text.h"
#include "codec/fill_commands.h"
#include "codec/text_encoder.h"
#include "core/file_io.h"
#include "extras/font_viewer.h"
#include "workbench/quillan_dlg.h"

namespace quillan {

bool CQuillanDlg::SaveEnglishText() {
  // A code book or database that did not load cleanly is replaced only with
  // the user's word; No keeps that file and saves the rest.
  bool writeBook = m_codeBookDamage.empty() || ConfirmReplace(m_codeBookDamage, CodeBookPath(), "code book");
  bool writeStore =
      m_kanjiStoreDamage.empty() || ConfirmReplace(m_kanjiStoreDamage, KanjiStorePath(m_baseDir), "kanji database");
  CSaveOptions options;
  options.m_store = writeStore ? &m_kanjiStore : nullptr;
  options.m_writeCodeBook = writeBook;
  options.m_confirmReplace = [&](const std::vector<std::filesystem::path> &changed) {
    std::string names;
    for (const auto &file : changed)
      names += PathText(file) + "\n";
    auto answer = m_platform.MessageBox(
        (changed.size() == 1 ? "This file has" : "These files have") +
            std::string(" changed on disk since Quillan read it (another program may have saved it):\n\n") + names +
            "\nReplace with Quillan's text? The other changes would be lost, but for the copy in the backup folder "
            "when backups are on.",
        "Save English Text", CMessageButtons::YesNo, CMessageIcon::Warning);
    return answer == CMessageAnswer::Yes;
  };
  m_platform.BeginWaitCursor();
  CStatus saved = quillan::SaveEnglishText(*this, options);
  m_platform.EndWaitCursor();
  if (!saved.Ok() && saved.Error().Message() == kSaveCancelled) return false;
  if (saved.Ok()) {
    if (writeBook) m_codeBookDamage.clear();
    if (writeStore) m_kanjiStoreDamage.clear();
  }
  if (!saved.Ok()) {
    m_platform.MessageBox(saved.Error().Message(), "Save English Text", CMessageButtons::Ok, CMessageIcon::Error);
    return false;
  }
  RemoveJournal();
  return true;
}

void CQuillanDlg::CompressCommand() {
  m_platform.BeginWaitCursor();
  auto outcome = quillan::CompressEnglishText(*this);
  m_platform.EndWaitCursor();
  if (!outcome.Ok()) {
    m_platform.MessageBox(outcome.Error().Message(), "Compress", CMessageButtons::Ok, CMessageIcon::Error);
    return;
  }
  std::string text = "Wrote " + PathText(outcome->m_output) + " (" + std::to_string(outcome->m_bytes) + " bytes, " +
                     std::to_string(outcome->m_pages) + " pages).";
  for (const auto &note : outcome->m_notes)
    text += "\nNote: " + note + ".";
  m_platform.MessageBox(text, "Compress", CMessageButtons::Ok, CMessageIcon::Information);
}

void CQuillanDlg::CompressAllCommand() {
  std::optional<CResult<CBatchReport>> report;
  m_platform.RunWithProgress("Compress All", [&](const std::function<bool(double, const std::string &)> &progress) {
    report = quillan::CompressAll(*this, [&](int done, int total, const CBatchItem &item) {
      return progress(total ? double(done) / double(total) : 0.0, item.m_name);
    });
  });
  if (!report) return;
  if (!report->Ok()) {
    m_platform.MessageBox(report->Error().Message(), "Compress All", CMessageButtons::Ok, CMessageIcon::Error);
    return;
  }
  m_platform.MessageBox((*report)->Summary(), "Compress All", CMessageButtons::Ok,
                        (*report)->Failures() ? CMessageIcon::Warning : CMessageIcon::Information);
}

void CQuillanDlg::FillCommand(int id) {
  CResult<CFillOutcome> outcome = MakeError("");
  auto choose = [&](const char *extension, const char *filter) { return m_platform.ChooseOpenFile(extension, filter); };
  switch (id) {
  case kIdFillWithNumbers:
    outcome = FillWithNumbers(*this);
    break;
  case kIdFillWithNameAndNumber:
    outcome = FillWithNameAndNumber(*this);
    break;
  case kIdFillFromScriptFile: {
    auto path = choose("dat", "TK7 Script File (*.dat)|*.dat|All Files (*.*)|*.*||");
    if (!path) return;
    outcome = FillFromScriptFile(*this, *path);
    break;
  }
  case kIdFillFromText: {
    auto path = choose("txt", "TK7 Script File (*.txt)|*.txt|All Files (*.*)|*.*||");
    if (!path) return;
    outcome = FillFromText(*this, *path);
    break;
  }
  default: {
    auto path = choose("txn", "TK7 Script File (*.txn)|*.txn|All Files (*.*)|*.*||");
    if (!path) return;
    outcome = FillFromVdrText(*this, *path);
    break;
  }
  }
  if (!outcome.Ok()) {
    m_platform.MessageBox(outcome.Error().Message(), "Fill", CMessageButtons::Ok, CMessageIcon::Error);
  } else if (!outcome->m_message.empty()) {
    m_platform.MessageBox(outcome->m_message, "Fill", CMessageButtons::Ok,
                          outcome->m_stopped ? CMessageIcon::Warning : CMessageIcon::Information);
  }
  PlaceCursorAtEnd();
  m_repaintJapanese = 1;
  PaintPanes();
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
  for (const auto &note : (*result)->m_notes)
    text += "\n" + note;
  m_platform.MessageBox(text, "Make CD", CMessageButtons::Ok, CMessageIcon::Information);
}

void CQuillanDlg::OnChangeFont() {
  if (!CFontViewerDlg::HasFont(int(m_headerLength))) return;
  CFontViewerDlg viewer(m_platform, m_baseDir, int(m_headerLength));
  if (CStatus opened = viewer.Open(); !opened) {
    m_platform.MessageBox("The font cannot be edited.\n" + opened.Error().Message(), "Change Font", CMessageButtons::Ok,
                          CMessageIcon::Error);
    return;
  }
  m_platform.RunFontViewer(viewer);
}

bool CQuillanDlg::OnFileCommand(int id) {
  switch (id) {
  case kIdCompress:
    CompressCommand();
    return true;
  case kIdCompressAll:
    CompressAllCommand();
    return true;
  case kIdFillFromScriptFile:
  case kIdFillWithNameAndNumber:
  case kIdFillWithNumbers:
  case kIdFillFromText:
  case kIdFillFromVdrText:
    FillCommand(id);
    return true;
  case kIdMakeCd:
    MakeCdCommand();
    return true;
  case kIdChangeFont:
    OnChangeFont();
    return true;
  default:
    return false;
  }
}

} // namespace quillan
