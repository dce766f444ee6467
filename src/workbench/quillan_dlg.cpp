#include "workbench/quillan_dlg.h"

#include <algorithm>
#include <fstream>

#include "codec/code_table.h"
#include "core/file_io.h"
#include "core/recovery_journal.h"
#include "kanji/code_book.h"
#include "kanji/kanji_match.h"
#include "view/pane_renderer.h"
#include "workbench/team_tools.h"

namespace quillan {

namespace {

constexpr const char *kAskBeforeReplacing = "\nThe file will not be written back unless you agree when saving.";

} // namespace

CQuillanDlg::CQuillanDlg(CPlatform &platform) : m_platform(platform), m_team(std::make_unique<CTeamTools>(*this)) {
  for (int i = 0; i < kNameCount; ++i)
    m_nameLabels[size_t(i)] = "Name " + std::to_string(i + 1);
}

CQuillanDlg::~CQuillanDlg() {
  // A reply that comes later has no dialog to go to.
  if (m_translation) m_platform.CancelHttpGet();
}

void CQuillanDlg::LoadNameLabels() {
  std::ifstream in(m_baseDir / "data" / "names.txt");
  std::string line;
  for (int i = 0; i < kNameCount && std::getline(in, line); ++i) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) m_nameLabels[size_t(i)] = line;
  }
}

bool CQuillanDlg::OnInitDialog(const std::filesystem::path &baseDir) {
  m_baseDir = baseDir;
  m_japaneseEntry.fill(0);
  LoadNameLabels();

  // The drawing: font sheets and the empty pane. Without them the window
  // cannot work.
  class CPlatformPictures : public CPictureSource {
  public:
    explicit CPlatformPictures(CPlatform &platform) : m_platform(platform) {}
    CResult<CPixelCanvas> LoadPicture(int resourceId) override { return m_platform.LoadBitmap(resourceId); }
    CPlatform &m_platform;
  } pictures(m_platform);
  m_renderer = std::make_unique<CPaneRenderer>();
  CStatus drawing = m_renderer->LoadFontSheets(pictures);
  if (drawing.Ok()) drawing = m_renderer->LoadPaneBackground(pictures);
  if (!drawing.Ok()) {
    m_platform.MessageBox(drawing.Error().Message());
    m_renderer.reset();
    return false;
  }
  m_codeStrings = BuildCodeStrings();

  m_keyboard = std::make_unique<CKeyboardInput>(&m_platform, 1);
  if (!m_keyboard->Create()) return false;
  m_platform.StartTimer(kTimerEdit, 10);
  m_platform.StartTimer(kTimerBlink, 600);

  m_platform.SetScrollRange(0, 10239);
  m_currentLine = 0;
  m_lastKey = 0;
  m_linesOnPage = 0;
  m_textColor = 8;
  m_japaneseText.clear();
  for (auto &text : LoadedStrings())
    text.clear();
  for (int id : {kIdSaveEnglishText, kIdCompress, kIdCompressAll, kIdChangeFont})
    m_platform.EnableMenuItem(id, false);

  // The kanji database, or a new one from the raw font on the first start.
  auto databasePath = KanjiStorePath(m_baseDir);
  auto loaded = LoadKanjiStore(databasePath);
  if (loaded.Ok()) {
    m_kanjiStore = std::move(loaded->m_store);
    if (loaded->Damaged()) {
      m_kanjiStoreDamage = loaded->m_warning;
      m_platform.MessageBox(loaded->m_warning + kAskBeforeReplacing, "Kanji database", CMessageButtons::Ok,
                            CMessageIcon::Warning);
    }
  } else {
    std::error_code error;
    if (std::filesystem::exists(databasePath, error)) {
      // A database that exists but cannot be read is never replaced unasked.
      m_kanjiStoreDamage = loaded.Error().Message();
      m_platform.MessageBox(loaded.Error().Message() + kAskBeforeReplacing, "Kanji database", CMessageButtons::Ok,
                            CMessageIcon::Error);
    } else {
      m_platform.MessageBox("Creating Database, This may take a while. Press OK to continue.", "No Database found");
      auto created = CreateKanjiStore(KanjiFontPath(m_baseDir), databasePath);
      m_kanjiStore = std::move(created.m_store);
      std::string problems = created.m_warning;
      if (!created.m_saved.Ok()) problems += (problems.empty() ? "" : "\n") + created.m_saved.Error().Message();
      if (!problems.empty())
        m_platform.MessageBox(problems, "Kanji database", CMessageButtons::Ok, CMessageIcon::Warning);
    }
  }
  m_readStamps[databasePath] = StampOfFile(databasePath);
  UpdateTitle();
  return true;
}

std::string CQuillanDlg::WindowTitle() const {
  std::string title = "Quillan";
  if (m_fileOpen) title = m_scriptFileName + (m_modified ? " *" : "") + " - Quillan";
  return title;
}

void CQuillanDlg::UpdateTitle() {
  UpdateEditMenu();
  std::string title = WindowTitle();
  if (title == m_lastTitle) return;
  m_lastTitle = title;
  m_platform.SetTitle(title);
}

bool CQuillanDlg::AskToSave() {
  if (!m_modified) return true;
  auto answer = m_platform.MessageBox("File not saved.  Save it now?", "File Not Saved", CMessageButtons::YesNoCancel,
                                      CMessageIcon::Warning);
  if (answer == CMessageAnswer::Cancel) return false;
  // A save that fails keeps the question open: nothing is thrown away.
  if (answer == CMessageAnswer::Yes) return SaveEnglishText();
  return true;
}

bool CQuillanDlg::OnClose() {
  if (m_closing) return true;
  m_closing = 1;
  if (!AskToSave()) {
    m_closing = 0;
    return false;
  }
  RemoveJournal(); // saved, or the changes discarded
  m_keyboard.reset();
  return true;
}

void CQuillanDlg::OnKillFocus() { m_focusLost = 1; }

void CQuillanDlg::OnSetFocus() {
  m_repaintJapanese = 1;
  PaintPanes();
  m_focusLost = 0;
}

void CQuillanDlg::OnSysCommand(int id) {
  if ((id & 0xFFF0) == kIdAbout)
    m_platform.ShowAbout();
  else if ((id & 0xFFF0) == 0xF060 && OnClose())
    m_platform.EndDialog();
}

bool CQuillanDlg::OpenJapaneseText() {
  if (!AskToSave()) return false;
  auto path = m_platform.ChooseOpenFile("bin", "Moravel text file (x5*.bin)|x5*.bin|All Files (*.*)|*.*||");
  if (!path) return false;
  return OpenScriptPath(*path);
}

bool CQuillanDlg::OpenScriptPath(const std::filesystem::path &path) {
  // The open follows the save question: changes the user chose not to save
  // leave no journal behind.
  std::optional<std::filesystem::path> oldJournal;
  if (m_fileOpen) oldJournal = JournalPath(*this);
  auto status = LoadScript(path);
  if (!status.Ok()) {
    m_platform.MessageBox("Error opening file\n" + status.Error().Message(), "", CMessageButtons::Ok,
                          CMessageIcon::Error);
    return false;
  }
  if (oldJournal) {
    std::error_code error;
    std::filesystem::remove(*oldJournal, error);
  }
  m_modified = 0;
  m_platform.SetScrollPos(0);

  // The script's code book: a script without one starts from spaces, never
  // from the previous script's identifications.
  auto book = LoadCodeBook(CodeBookPath()); // creates a missing one
  m_readStamps[CodeBookPath()] = StampOfFile(CodeBookPath());
  m_codeBookDamage.clear();
  if (book.Ok()) {
    LoadedCodeBook() = book->m_book;
    if (book->m_damaged) m_codeBookDamage = book->m_warning;
    if (!book->m_warning.empty())
      m_platform.MessageBox(book->m_warning + (book->m_damaged ? kAskBeforeReplacing : ""), "Code book",
                            CMessageButtons::Ok, CMessageIcon::Warning);
  } else {
    // A book that exists but cannot be read.
    LoadedCodeBook() = BlankCodeBook();
    m_codeBookDamage = book.Error().Message();
    m_platform.MessageBox(book.Error().Message() + kAskBeforeReplacing, "Code book", CMessageButtons::Ok,
                          CMessageIcon::Warning);
  }

  for (int id : {kIdSaveEnglishText, kIdCompress, kIdCompressAll, kIdChangeFont})
    m_platform.EnableMenuItem(id, true);
  m_menuEnabled = true;
  m_platform.SetScrollRange(0, std::max(m_linesOnPage - 1, 0));
  MatchKanjiStoreCommand();
  // What the open's own match learnt is saved with the next save; it is part
  // of the opened state, not a step to undo.
  ResetHistory();
  m_modified = 0;
  OfferRecovery();
  UpdateTitle();
  m_platform.FocusDialog();
  return true;
}

void CQuillanDlg::MatchKanjiStoreCommand() {
  if (!m_fileOpen || !m_scriptFile) return;
  m_platform.BeginWaitCursor();
  KanjiCodeBook book = CodeBook();
  auto result = MatchKanjiStore(m_scriptFile->Bytes(), book, m_kanjiStore);
  m_platform.EndWaitCursor();
  // The code book entries the match identified are one step.
  CTextEdit edit(*this, "Search Kanji Database");
  for (size_t i = 0; i < book.size(); ++i)
    if (book[i] != CodeBook()[i]) edit.SetCodeBookEntry(i, book[i]);
  edit.Commit();
  // An identification learnt by the command is a change to save.
  if (result.m_bookEntriesChanged || result.m_recordsChanged) m_modified = 1;
  m_repaintJapanese = 1;
  PaintPanes();
}

bool CQuillanDlg::OnCommand(int id) {
  bool handled = true;
  switch (id) {
  case kIdOpenJapaneseText:
    OpenJapaneseText();
    break;
  case kIdSaveEnglishText:
    SaveEnglishText();
    break;
  case kIdUndo:
    UndoCommand();
    break;
  case kIdRedo:
    RedoCommand();
    break;
  case kIdGoto:
    GotoLine();
    break;
  case kIdSearchForText:
    SearchForText();
    break;
  case kIdSearchKanjiDatabase:
    MatchKanjiStoreCommand();
    break;
  case kIdSaveKanjiDatabase:
    SaveKanjiDatabaseCommand();
    break;
  case kIdCopyJapToClipboard:
    OnCopyJapToClipboard();
    break;
  case kIdPasteEngToBoard:
    OnPasteEngToBoard();
    break;
  case kIdGoogleTranslate:
    OnGoogleTranslate();
    break;
  case kIdFirstPage:
    ChangePage(0);
    break;
  case kIdPrevPage:
    ChangePage(std::max(m_currentPage - 1, 0));
    break;
  case kIdNextPage:
    ChangePage(std::min(m_currentPage + 1, std::max(m_pageCount - 1, 0)));
    break;
  case kIdLastPage:
    ChangePage(std::max(m_pageCount - 1, 0));
    break;
  default:
    handled = OnControlCodeCommand(id) || OnFileCommand(id) || m_team->OnCommand(id);
    break;
  }
  UpdateTitle();
  return handled;
}

bool CQuillanDlg::ConfirmReplace(const std::string &damage, const std::filesystem::path &path, const char *what) {
  std::string text = std::string("The ") + what + " " + PathText(path) + " did not load cleanly:\n" + damage +
                     "\n\nReplace the file with the " + what +
                     " as it is now? No keeps the file untouched; the rest of the save goes on.";
  return m_platform.MessageBox(text, "Replace file?", CMessageButtons::YesNo, CMessageIcon::Warning) ==
         CMessageAnswer::Yes;
}

void CQuillanDlg::SaveKanjiDatabaseCommand() {
  // The match, then the database written, so that nothing learnt is lost at exit.
  MatchKanjiStoreCommand();
  if (!m_kanjiStoreDamage.empty() && !ConfirmReplace(m_kanjiStoreDamage, KanjiStorePath(m_baseDir), "kanji database"))
    return;
  m_kanjiStoreDamage.clear();
  CStatus saved = SaveKanjiStore(m_kanjiStore, KanjiStorePath(m_baseDir));
  if (saved.Ok()) m_readStamps[KanjiStorePath(m_baseDir)] = StampOfFile(KanjiStorePath(m_baseDir));
  if (!saved.Ok())
    m_platform.MessageBox(saved.Error().Message(), "Save Kanji Database", CMessageButtons::Ok, CMessageIcon::Error);
}

} // namespace quillan
