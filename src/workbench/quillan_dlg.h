#pragma once
// Quillan's main dialog: the translation document, the keyboard reader, the
// drawing and every handler of the window (menu commands, buttons, timer
// ticks, mouse clicks, focus, close). It talks to the world only through
// CPlatform, so each handler runs in a plain unit test with a fake platform.
//
// The handlers live in this folder, above the subsystems whose plain
// operations they call, grouped by what they do: the shell (quillan_dlg.cpp),
// the keyboard editor (editor.cpp), navigation (navigation.cpp), the
// control-code commands (control_codes.cpp), the file commands
// (file_commands.cpp) and the text exchange (clipboard_commands.cpp).

#include <array>
#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/document.h"
#include "core/keyboard_input.h"
#include "kanji/kanji_store.h"
#include "platform/platform.h"

namespace quillan {

class CPaneRenderer;
class CTeamTools;

// Menu and control ids of the main window.
enum : int {
  kIdOpenJapaneseText = 32771,
  kIdSaveEnglishText = 32772,
  kIdTextCharacters = 32775,
  kIdTilt = 32779,
  kIdZoom = 32780,
  kIdTab = 32822,
  kIdNewLine = 32818,
  kIdEndBubbleArrow = 32819,
  kIdEndBubbleNoArrow = 32820,
  kIdPause = 32821,
  kIdGoto = 32858,
  kIdFillFromScriptFile = 32860,
  kIdFillWithNameAndNumber = 32859,
  kIdFillWithNumbers = 32861,
  kIdFillFromText = 32862,
  kIdSearchForText = 32863,
  kIdSearchKanjiDatabase = 32910,
  kIdCompress = 32911,
  kIdChangeFont = 32912,
  kIdSaveKanjiDatabase = 32913,
  kIdFillFromVdrText = 32914,
  kIdMakeCd = 32915,
  kIdCompressAll = 32916,
  kIdAbout = 0x0010,
  kIdCopyJapToClipboard = 1004,
  kIdLineScrollBar = 1003,
  kIdPasteEngToBoard = 1005,
  kIdJapaneseSpin = 1009,
  kIdEnglishSpin = 1011,
  kIdStatus = 1012,
  kIdFirstPage = 1014,
  kIdPrevPage = 1015,
  kIdNextPage = 1016,
  kIdLastPage = 1017,
  kIdGoogleTranslate = 1018,
  kIdUndo = 32950,
  kIdRedo = 32951,
};

// Requests of the line scroll bar.
enum class CScrollRequest { LineUp, LineDown, PageUp, PageDown, ThumbPosition, ThumbTrack, Top, Bottom, EndScroll };

inline constexpr int kTimerEdit = 1;
inline constexpr int kTimerBlink = 2;

class CQuillanDlg : public CTranslationDocument {
public:
  explicit CQuillanDlg(CPlatform &platform);
  ~CQuillanDlg() override;

  // Start-up: sheets, code strings, keyboard, timers, the kanji database.
  // Returns false when the window cannot work (the caller then ends).
  bool OnInitDialog(const std::filesystem::path &baseDir);
  // A menu command or button by id; returns whether the id is known.
  bool OnCommand(int id);
  // The close request; returns whether the window may close.
  bool OnClose();
  void OnKillFocus();
  void OnSetFocus();
  void OnSysCommand(int id);

  // Timers.
  void EditTick();
  void BlinkTick();

  // Mouse: left button released (cursor), right button released (kanji).
  void OnLButtonUp(int x, int y);
  void OnRButtonUp(int x, int y);
  // Line scroll bar and the two spins (control id, step -1 up / +1 down).
  void OnVScroll(CScrollRequest request, int position);
  void OnSpin(int control, int step);

  // Drawing.
  void PaintPanes();
  void XorCursorGlyph(int x, int y, uint16_t element);

  // The document's file commands.
  bool OpenJapaneseText();
  bool OpenScriptPath(const std::filesystem::path &path); // the open after the file dialog
  bool SaveEnglishText();

  // Keyboard editing.
  void AdvanceCursor();
  void ClampCursorToText();
  void DrainKeyboard();
  void RefreshCursorChar();
  // The number (1-40) of the name the cursor stands on, 0 when none.
  int NameUnderCursor();

  // The project panels: another script opened after the save question (false
  // when cancelled or when it cannot be opened), and entry (page, line) of a
  // script shown, its script opened first when another one is open.
  bool OpenProjectScript(const std::filesystem::path &path);
  bool GoToEntry(const std::filesystem::path &script, int page, int line);

  // Navigation.
  void GotoLine();
  void SearchForText();
  void ChangePage(int page);

  // Control codes.
  void InsertCode(uint16_t code);
  void InsertCodeWithArgs(uint16_t code, uint16_t first, uint16_t second);
  void InsertName(int number);
  void InsertKanjiChar(int x, int y);
  // The menu commands that insert codes, names and amounts; false for other ids.
  bool OnControlCodeCommand(int id);
  // Compress, Compress All, the fills, Make CD and Change Font; false for other ids.
  bool OnFileCommand(int id);
  // Make CD: the disc chosen, then the image built behind a progress dialog.
  void MakeCdCommand();
  void CompressCommand();
  void CompressAllCommand();
  void FillCommand(int id);
  // Change Font: the editor of the open script's English font; nothing
  // without a script.
  void OnChangeFont();

  // Text exchange: the clipboard and the translation service.
  void OnCopyJapToClipboard();
  void OnPasteEngToBoard();
  void OnGoogleTranslate();
  void AppendAndAdvance(CTextEdit &edit, uint16_t element);

  // The Edit menu: undo and redo of the last change, the captions naming it
  // ("Undo Typing"), and the window taken to the change's page and line.
  void UndoCommand();
  void RedoCommand();
  std::string UndoCaption() const;
  std::string RedoCaption() const;

  // Crash recovery: the journal of unsaved changes, written a moment after
  // the last change (from the edit timer, never inside a key press), removed
  // by a save and by a close that discards the changes; on open, the offer
  // to take back a journal newer than the chunk files.
  void JournalTick();
  void WriteJournal();
  void RemoveJournal();
  void OfferRecovery();
  std::chrono::milliseconds m_journalDelay{2000};
  // A translation request on its way: the entry it was made for.
  struct CTranslationRequest {
    uint64_t m_serial = 0;
    std::string m_script;
    int m_page = 0, m_line = 0;
    std::string m_host;
  };
  // The reply of a request; only the latest request's reply counts, and only
  // while its entry is shown.
  void OnTranslateReply(const CTranslationRequest &request, const CHttpReply &reply);
  std::optional<CTranslationRequest> m_translation;
  uint64_t m_translateSerial = 0;

  // Kanji database.
  void MatchKanjiStoreCommand();
  void SaveKanjiDatabaseCommand();

  // The window title: the script's name and a mark while there are unsaved
  // changes.
  std::string WindowTitle() const;
  // Labels of the 40 name items: data/names.txt below the working folder,
  // one per line, else "Name 1" ... "Name 40".
  const std::array<std::string, kNameCount> &NameLabels() const { return m_nameLabels; }

  CPlatform &m_platform;
  std::string m_statusText;
  std::unique_ptr<CKeyboardInput> m_keyboard;
  std::unique_ptr<CPaneRenderer> m_renderer;
  std::unique_ptr<CTeamTools> m_team; // PO files, suggestions, glossary
  CKanjiStore m_kanjiStore;
  std::vector<std::string> m_codeStrings;
  std::array<std::string, kNameCount> m_nameLabels;
  bool m_menuEnabled = false; // the items a successful open enables
  int m_paintCount = 0;       // paints run, for tests
  // Why the kanji database or the open script's code book did not load
  // cleanly; empty when it did. Such a file is replaced only when the user
  // agrees at a save.
  std::string m_kanjiStoreDamage;
  std::string m_codeBookDamage;
  std::string m_lastTitle;
  std::string m_editName; // the step name of the menu command running, if any

private:
  void HandleKey(int key);
  void Backspace();
  void TypeCharacter(uint16_t c);
  void UpdateTitle();
  void UpdateEditMenu();
  void ShowHistoryMove();
  std::string m_lastUndoCaption, m_lastRedoCaption;
  uint64_t m_journalGeneration = 0; // the history generation the journal holds
  bool m_journalPending = false;
  std::chrono::steady_clock::time_point m_changeSeen;
  void LoadNameLabels();
  bool AskToSave(); // the "File not saved" question; false when cancelled
  // Asks before a file that did not load cleanly is replaced; true for Yes.
  bool ConfirmReplace(const std::string &damage, const std::filesystem::path &path, const char *what);
};

} // namespace quillan
