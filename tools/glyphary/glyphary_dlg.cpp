#include "glyphary_dlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <system_error>

#include "app/qt_paths.h"
#include "core/file_io.h"
#include "insert_kanji_char_dlg.h"
#include "kanji/kanji_glyph.h"

using namespace quillan;

namespace {

// The cell grid: paints the dialog's picture and passes mouse releases on.
class CGlyphGrid : public QWidget {
public:
  explicit CGlyphGrid(CGlypharyDlg *owner) : QWidget(owner), m_owner(owner) {
    setFixedSize(CGlypharyDlg::kGridSize, CGlypharyDlg::kGridSize);
  }

protected:
  void paintEvent(QPaintEvent *) override {
    QPainter painter(this);
    painter.drawImage(0, 0, m_owner->GridPicture());
  }
  void mouseReleaseEvent(QMouseEvent *event) override {
    const QPoint point = event->position().toPoint();
    if (!rect().contains(point)) return;
    if (event->button() == Qt::LeftButton) m_owner->LeftClickAt(point);
    if (event->button() == Qt::RightButton) m_owner->RightClickAt(point);
  }

private:
  CGlypharyDlg *m_owner;
};

// The tile under every cell: a slate square with a lighter rim, 16 x 12
// pixels enlarged like a glyph.
QImage MakeTile() {
  QImage tile(kKanjiGlyphWidth, kKanjiGlyphHeight, QImage::Format_RGB32);
  tile.fill(QColor(52, 72, 112));
  for (int x = 0; x < kKanjiGlyphWidth; ++x) {
    tile.setPixel(x, 0, qRgb(96, 120, 168));
    tile.setPixel(x, kKanjiGlyphHeight - 1, qRgb(96, 120, 168));
  }
  for (int y = 0; y < kKanjiGlyphHeight; ++y) {
    tile.setPixel(0, y, qRgb(96, 120, 168));
    tile.setPixel(kKanjiGlyphWidth - 1, y, qRgb(96, 120, 168));
  }
  return tile;
}

} // namespace

CGlypharyDlg::CGlypharyDlg(const QString &baseDir, QWidget *parent) : QDialog(parent), m_tile(MakeTile()) {
  setWindowTitle("Glyphary");

  m_grid = new CGlyphGrid(this);
  auto *previous = new QPushButton("<<", this);
  auto *next = new QPushButton(">>", this);
  m_pageEdit = new QLineEdit("0", this);
  m_pageEdit->setReadOnly(true);
  m_pageEdit->setFixedWidth(60);
  m_pageEdit->setAlignment(Qt::AlignCenter);
  m_characterEdit = new QLineEdit(this);
  m_characterEdit->setReadOnly(true);
  m_characterEdit->setMaxLength(1);
  QFont large("Courier");
  large.setStyleHint(QFont::TypeWriter);
  large.setPixelSize(96);
  m_characterEdit->setFont(large);
  m_characterEdit->setFixedSize(150, 140);
  m_characterEdit->setAlignment(Qt::AlignCenter);
  auto *ok = new QPushButton("OK", this);
  auto *cancel = new QPushButton("Cancel", this);
  auto *about = new QPushButton("About Glyphary...", this);
  for (QPushButton *button : {previous, next, ok, cancel, about})
    button->setAutoDefault(false);
  ok->setDefault(true); // Enter presses OK
  m_status = new QLabel(this);
  m_status->setWordWrap(true);

  connect(previous, &QPushButton::clicked, this, &CGlypharyDlg::PreviousPage);
  connect(next, &QPushButton::clicked, this, &CGlypharyDlg::NextPage);
  connect(ok, &QPushButton::clicked, this, &CGlypharyDlg::accept);
  connect(cancel, &QPushButton::clicked, this, &CGlypharyDlg::reject);
  connect(about, &QPushButton::clicked, this, [this] {
    QMessageBox::about(this, "About Glyphary",
                       "Glyphary\n\nBrowse the kanji database page by page and correct the character of any glyph.");
  });

  auto *paging = new QHBoxLayout;
  paging->addWidget(previous);
  paging->addWidget(m_pageEdit);
  paging->addWidget(next);
  auto *side = new QVBoxLayout;
  side->addLayout(paging);
  side->addWidget(m_characterEdit, 0, Qt::AlignHCenter);
  side->addStretch(1);
  side->addWidget(about);
  side->addWidget(ok);
  side->addWidget(cancel);
  auto *top = new QHBoxLayout;
  top->setContentsMargins(0, 0, 8, 0);
  top->addWidget(m_grid, 0, Qt::AlignTop | Qt::AlignLeft);
  top->addLayout(side);
  auto *layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 8);
  layout->addLayout(top);
  layout->addWidget(m_status);

  Load(std::filesystem::path(baseDir.toStdU16String()));
  for (const KanjiRecord &record : m_store)
    m_savedCodes.push_back(record.code);
  m_status->setText(m_loadNote.isEmpty() ? PathToQString(m_databasePath) : m_loadNote);
}

void CGlypharyDlg::Load(const std::filesystem::path &baseDir) {
  m_databasePath = KanjiStorePath(baseDir);
  std::error_code error;
  const bool exists = std::filesystem::exists(m_databasePath, error);
  if (!exists) {
    m_loadNote = "No kanji database at " + PathToQString(m_databasePath) +
                 ": Glyphary shows an empty store and will not write one. Quillan creates the database from "
                 "data/fontfile.fon when it first starts.";
    return;
  }
  auto bytes = ReadFileBytes(m_databasePath);
  if (!bytes) {
    m_loadNote = QString::fromStdString(bytes.Error().Message()) +
                 ": Glyphary shows an empty store and will not write over the file.";
    return;
  }
  CKanjiStoreLoad load = ParseKanjiStore(*bytes, PathText(m_databasePath));
  m_store = std::move(load.m_store);
  m_loadNote = QString::fromStdString(load.m_warning);
  m_loadedBytes = std::move(*bytes);
  m_hasDatabase = true;
}

int CGlypharyDlg::RecordOfCell(int cell) const {
  if (m_page == 0 || cell < 0 || cell >= kCellsPerPage) return -1;
  const int record = (m_page - 1) * kCellsPerPage + cell;
  return record < kKanjiRecords ? record : -1;
}

int CGlypharyDlg::CellAt(QPoint point) const { return (point.y() / kCellSize) * kCellsPerRow + point.x() / kCellSize; }

void CGlypharyDlg::ShowPage() {
  m_pageEdit->setText(QString::number(m_page));
  m_grid->update();
}

void CGlypharyDlg::NextPage() {
  ++m_page;
  if (m_page > kPages) m_page = 1;
  ShowPage();
}

void CGlypharyDlg::PreviousPage() {
  m_page = m_page <= 1 ? kPages : m_page - 1;
  ShowPage();
}

QString CGlypharyDlg::CharacterText() const { return m_characterEdit->text(); }

void CGlypharyDlg::ShowCharacter(int record) {
  const uint16_t code = m_store[size_t(record)].code;
  m_characterEdit->setText(code == 0 ? QString() : QString(QChar(code)));
}

void CGlypharyDlg::LeftClickAt(QPoint point) {
  if (point.x() < 0 || point.y() < 0 || point.x() >= kGridSize || point.y() >= kGridSize) return;
  m_selectedCell = CellAt(point);
  const int record = RecordOfCell(m_selectedCell);
  if (record >= 0) ShowCharacter(record);
}

void CGlypharyDlg::RightClickAt(QPoint point) {
  if (point.x() < 0 || point.y() < 0 || point.x() >= kGridSize || point.y() >= kGridSize) return;
  m_selectedCell = CellAt(point);
  const int record = RecordOfCell(m_selectedCell);
  if (record >= 0) {
    std::optional<QString> text;
    if (m_charPrompt) {
      text = m_charPrompt();
    } else {
      CInsertKanjiCharDlg prompt(this);
      if (prompt.exec() == QDialog::Accepted) text = prompt.Text();
    }
    if (text) {
      m_store[size_t(record)].code = text->isEmpty() ? 0 : text->at(0).unicode();
      ShowCharacter(record);
    }
  }
  m_grid->update();
}

QImage CGlypharyDlg::GridPicture() const {
  QImage picture(kGridSize, kGridSize, QImage::Format_RGB32);
  picture.fill(palette().color(QPalette::Window));
  if (m_page == 0) return picture;
  const QRgb white = qRgb(255, 255, 255), black = qRgb(0, 0, 0);
  for (int cell = 0; cell < kCellsPerPage; ++cell) {
    const int left = (cell % kCellsPerRow) * kCellSize + 1, top = (cell / kCellsPerRow) * kCellSize + 1;
    const int record = RecordOfCell(cell);
    for (int y = 0; y < kEnlargedGlyphSize; ++y) {
      QRgb *row = reinterpret_cast<QRgb *>(picture.scanLine(top + y));
      for (int x = 0; x < kEnlargedGlyphSize; ++x) {
        QRgb pixel = m_tile.pixel(EnlargedToSourceX(x), EnlargedToSourceY(y));
        if (record >= 0) {
          const KanjiRecord &entry = m_store[size_t(record)];
          const bool set = EnlargedGlyphPixel(entry.glyph, x, y);
          // An identified record is ORed onto the tile, the others copied over it.
          if (set) {
            pixel = white;
          } else if (entry.code < kFirstIdentifiedCode) {
            pixel = black;
          }
        }
        row[left + x] = pixel;
      }
    }
  }
  return picture;
}

bool CGlypharyDlg::AskQuestion(const QString &question) {
  if (m_question) return m_question(question);
  return QMessageBox::question(this, "Glyphary", question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
         QMessageBox::Yes;
}

void CGlypharyDlg::Notify(const QString &message) {
  if (m_notice) {
    m_notice(message);
  } else {
    QMessageBox::warning(this, "Glyphary", message);
  }
}

void CGlypharyDlg::accept() {
  if (!m_hasDatabase) {
    Notify("Nothing was saved: Glyphary found no database to edit at " + PathToQString(m_databasePath) + ".");
    QDialog::accept();
    return;
  }
  auto current = ReadFileBytes(m_databasePath);
  if (!current || *current != m_loadedBytes) {
    const QString question = PathToQString(m_databasePath) +
                             " has changed on disk since Glyphary loaded it (Quillan may have saved it).\n\n"
                             "Overwrite it with Glyphary's records? The other changes would be lost.";
    if (!AskQuestion(question)) return;
  }
  std::vector<uint8_t> bytes = SerializeKanjiStore(m_store);
  CStatus saved = SaveKanjiStore(m_store, m_databasePath);
  if (!saved) {
    Notify("The database was not saved: " + QString::fromStdString(saved.Error().Message()));
    return;
  }
  m_loadedBytes = std::move(bytes);
  m_savedCodes.clear();
  for (const KanjiRecord &record : m_store)
    m_savedCodes.push_back(record.code);
  m_grid->update();
  QDialog::accept();
}

bool CGlypharyDlg::Changed() const {
  for (size_t i = 0; i < m_savedCodes.size() && i < m_store.size(); ++i)
    if (m_store[i].code != m_savedCodes[i]) return true;
  return false;
}

void CGlypharyDlg::reject() {
  if (!m_hasDatabase || !Changed()) return QDialog::reject();
  const QString question = QStringLiteral("Save the changes to glyphary.db?");
  CSaveAnswer answer;
  if (m_saveQuestion) {
    answer = m_saveQuestion(question);
  } else {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Glyphary"), question,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, this);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    const int pressed = box.exec();
    answer = pressed == QMessageBox::Yes  ? CSaveAnswer::Yes
             : pressed == QMessageBox::No ? CSaveAnswer::No
                                          : CSaveAnswer::Cancel;
  }
  switch (answer) {
  case CSaveAnswer::Yes:
    accept(); // stays open when the save fails
    return;
  case CSaveAnswer::No:
    QDialog::reject();
    return;
  case CSaveAnswer::Cancel:
    return;
  }
}
