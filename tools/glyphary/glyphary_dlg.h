#pragma once
// Glyphary's window: the kanji database as pages of 16 x 16 enlarged glyphs.
// Page 0 shows nothing; page p (1-40) shows records (p - 1) * 256 onward, so
// page 40 holds only records 9984-9999 in its first row. A left click shows
// a record's character, a right click replaces it, OK writes the database
// and ends, Cancel ends without writing.

#include <QDialog>
#include <QImage>
#include <QString>
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

#include "kanji/kanji_store.h"

class QLabel;
class QLineEdit;

class CGlypharyDlg : public QDialog {
  Q_OBJECT

public:
  static constexpr int kPages = 40;
  static constexpr int kCellsPerRow = 16;
  static constexpr int kCellsPerPage = 256;
  static constexpr int kCellSize = 32;
  static constexpr int kGridSize = kCellsPerRow * kCellSize; // 512 pixels square

  // Loads baseDir/data/glyphary.db.
  explicit CGlypharyDlg(const QString &baseDir, QWidget *parent = nullptr);

  // The user's answers, replaceable for tests. The character prompt returns
  // the entered text, or nothing when cancelled; the question returns true
  // for yes; the notice shows a message.
  using CCharPrompt = std::function<std::optional<QString>()>;
  using CQuestion = std::function<bool(const QString &)>;
  using CNotice = std::function<void(const QString &)>;
  void SetCharPrompt(CCharPrompt prompt) { m_charPrompt = std::move(prompt); }
  void SetQuestion(CQuestion question) { m_question = std::move(question); }
  void SetNotice(CNotice notice) { m_notice = std::move(notice); }
  // The question before changes are thrown away: Yes saves, No discards,
  // Cancel stays.
  enum class CSaveAnswer { Yes, No, Cancel };
  using CSaveQuestion = std::function<CSaveAnswer(const QString &)>;
  void SetSaveQuestion(CSaveQuestion question) { m_saveQuestion = std::move(question); }
  // Whether a record's character differs from the file as loaded or saved.
  bool Changed() const;

  int Page() const { return m_page; }
  int SelectedCell() const { return m_selectedCell; }
  const quillan::CKanjiStore &Store() const { return m_store; }
  // The character field (the selected record's character).
  QString CharacterText() const;
  // What the load found wrong or missing; empty when the file was sound.
  const QString &LoadNote() const { return m_loadNote; }
  // False when there was no database file to edit: OK then writes nothing.
  bool HasDatabase() const { return m_hasDatabase; }
  const std::filesystem::path &DatabasePath() const { return m_databasePath; }
  QWidget *Grid() const { return m_grid; }

  void NextPage();
  void PreviousPage();
  // Clicks at a point of the grid.
  void LeftClickAt(QPoint point);
  void RightClickAt(QPoint point);
  // The grid as it is drawn: page 0 empty, otherwise tiles and glyphs.
  QImage GridPicture() const;

public slots:
  // OK: writes the database (after asking, when the file changed on disk
  // since it was loaded) and closes. The dialog stays open when the write
  // fails or the user declines.
  void accept() override;
  // Cancel, Escape and closing the window: when records were changed, asks
  // "Save the changes to glyphary.db?" first.
  void reject() override;

private:
  void Load(const std::filesystem::path &baseDir);
  // Record index of a cell of the current page, or -1 when it names none.
  int RecordOfCell(int cell) const;
  int CellAt(QPoint point) const;
  void ShowPage();
  void ShowCharacter(int record);
  bool AskQuestion(const QString &question);
  void Notify(const QString &message);

  quillan::CKanjiStore m_store;
  std::filesystem::path m_databasePath;
  std::vector<uint8_t> m_loadedBytes; // the file as loaded, to notice changes by others
  bool m_hasDatabase = false;
  QString m_loadNote;
  int m_page = 0;
  int m_selectedCell = 0;
  QImage m_tile; // 16 x 12, enlarged like a glyph

  CCharPrompt m_charPrompt;
  CQuestion m_question;
  CNotice m_notice;
  CSaveQuestion m_saveQuestion;
  std::vector<uint16_t> m_savedCodes; // the characters as last loaded or saved

  QWidget *m_grid = nullptr;
  QLineEdit *m_pageEdit = nullptr;
  QLineEdit *m_characterEdit = nullptr;
  QLabel *m_status = nullptr;
};
