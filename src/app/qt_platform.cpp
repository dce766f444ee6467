#include "app/qt_platform.h"

#include <algorithm>

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTimer>

#include "app/amount_dialogs.h"
#include "app/canvas_image.h"
#include "app/drive_select_dlg.h"
#include "app/font_viewer_window.h"
#include "app/http_get.h"
#include "app/pane_widget.h"
#include "app/progress_runner.h"
#include "app/qt_paths.h"
#include "app/quillan_window.h"
#include "app/small_dialogs.h"

namespace quillan {

namespace {

QString ToQString(const std::string &text) { return QString::fromStdString(text); }

} // namespace

QString FileDialogFilter(const std::string &filter) {
  QStringList parts = ToQString(filter).split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString name = parts[i].trimmed();
    if (name.isEmpty()) break;
    // The name's own "(pattern)" is replaced by the patterns actually used.
    if (name.endsWith(QLatin1Char(')')) && name.contains(QLatin1Char('(')))
      name = name.left(name.lastIndexOf(QLatin1Char('('))).trimmed();
    QStringList patterns;
    for (QString pattern : parts[i + 1].split(QRegularExpression(QStringLiteral("[; ]")), Qt::SkipEmptyParts)) {
      if (pattern == QLatin1String("*.*")) pattern = QStringLiteral("*");
      for (const QString &variant : {pattern, pattern.toLower(), pattern.toUpper()})
        if (!patterns.contains(variant)) patterns.append(variant);
    }
    if (patterns.isEmpty()) patterns.append(QStringLiteral("*"));
    filters.append(QStringLiteral("%1 (%2)").arg(name, patterns.join(QLatin1Char(' '))));
  }
  return filters.join(QStringLiteral(";;"));
}

CMessageAnswer CQtPlatform::MessageBox(const std::string &text, const std::string &caption, CMessageButtons buttons,
                                       CMessageIcon icon) {
  QMessageBox::Icon boxIcon = QMessageBox::NoIcon;
  switch (icon) {
  case CMessageIcon::None:
    break;
  case CMessageIcon::Information:
    boxIcon = QMessageBox::Information;
    break;
  case CMessageIcon::Warning:
    boxIcon = QMessageBox::Warning;
    break;
  case CMessageIcon::Error:
    boxIcon = QMessageBox::Critical;
    break;
  case CMessageIcon::Question:
    boxIcon = QMessageBox::Question;
    break;
  }
  QMessageBox::StandardButtons set = QMessageBox::Ok;
  QMessageBox::StandardButton escape = QMessageBox::Ok;
  switch (buttons) {
  case CMessageButtons::Ok:
    break;
  case CMessageButtons::YesNoCancel:
    set = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    escape = QMessageBox::Cancel;
    break;
  case CMessageButtons::YesNo:
    set = QMessageBox::Yes | QMessageBox::No;
    escape = QMessageBox::No;
    break;
  case CMessageButtons::OkCancel:
    set = QMessageBox::Ok | QMessageBox::Cancel;
    escape = QMessageBox::Cancel;
    break;
  }
  QMessageBox box(boxIcon, caption.empty() ? QStringLiteral("Quillan") : ToQString(caption), ToQString(text), set,
                  Parent());
  box.setEscapeButton(escape);
  switch (box.exec()) {
  case QMessageBox::Yes:
    return CMessageAnswer::Yes;
  case QMessageBox::No:
    return CMessageAnswer::No;
  case QMessageBox::Cancel:
    return CMessageAnswer::Cancel;
  default:
    return CMessageAnswer::Ok;
  }
}

std::optional<std::filesystem::path> CQtPlatform::ChooseOpenFile(const std::string &, const std::string &filter) {
  QString path = QFileDialog::getOpenFileName(Parent(), QStringLiteral("Open"), QString(), FileDialogFilter(filter));
  if (path.isEmpty()) return std::nullopt;
  return QStringToPath(path);
}

std::optional<std::filesystem::path> CQtPlatform::ChooseSaveFile(const std::string &, const std::string &filter,
                                                                 const std::filesystem::path &suggested) {
  QString path = QFileDialog::getSaveFileName(Parent(), QStringLiteral("Save As"), PathToQString(suggested),
                                              FileDialogFilter(filter));
  if (path.isEmpty()) return std::nullopt;
  return QStringToPath(path);
}

std::optional<std::filesystem::path> CQtPlatform::ChooseFolder(const std::string &caption) {
  QString path = QFileDialog::getExistingDirectory(&m_window, ToQString(caption));
  if (path.isEmpty()) return std::nullopt;
  return QStringToPath(path);
}

std::optional<uint32_t> CQtPlatform::AskGotoLine(uint32_t current) {
  CGotoLineDlg dialog(current, &m_window);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Value();
}

std::optional<std::u16string> CQtPlatform::AskSearchText() {
  std::unique_ptr<CTextFieldDlg> dialog(CTextFieldDlg::Search(&m_window));
  if (dialog->exec() != QDialog::Accepted) return std::nullopt;
  return dialog->Field()->text().toStdU16String();
}

std::optional<int> CQtPlatform::AskTiltAmount() {
  auto values = CAmountDlg::Ask(CAmountDlg::CKind::Tilt, &m_window);
  if (!values) return std::nullopt;
  return (*values)[0];
}

std::optional<int> CQtPlatform::AskZoomAmount() {
  auto values = CAmountDlg::Ask(CAmountDlg::CKind::Zoom, &m_window);
  if (!values) return std::nullopt;
  return (*values)[0];
}

std::optional<std::pair<int, int>> CQtPlatform::AskTabAmount() {
  auto values = CAmountDlg::Ask(CAmountDlg::CKind::Tab, &m_window);
  if (!values) return std::nullopt;
  return std::pair((*values)[0], (*values)[1]);
}

std::optional<std::u16string> CQtPlatform::AskKanjiChar() {
  std::unique_ptr<CTextFieldDlg> dialog(CTextFieldDlg::KanjiChar(&m_window));
  if (dialog->exec() != QDialog::Accepted) return std::nullopt;
  return dialog->Field()->text().toStdU16String();
}

std::optional<int> CQtPlatform::AskChartCode() {
  // The white sheet with the code numbers.
  auto picture = LoadBitmap(kChartId);
  CTextCharChartDlg dialog(picture.Ok() ? ImageFromCanvas(*picture) : QImage(), &m_window);
  dialog.exec();
  return dialog.Code();
}

std::optional<std::filesystem::path> CQtPlatform::AskDisc() { return CDriveSelectDlg::Choose(&m_window); }

void CQtPlatform::SetClipboardText(const std::u16string &text) {
  QGuiApplication::clipboard()->setText(QString::fromStdU16String(text));
}

std::optional<std::u16string> CQtPlatform::ClipboardText() {
  const QMimeData *data = QGuiApplication::clipboard()->mimeData();
  if (!data || !data->hasText()) return std::nullopt;
  return data->text().toStdU16String();
}

void CQtPlatform::StartHttpGet(const std::string &url, int timeoutMs, const std::string &title, CHttpDone done) {
  EndHttp();
  // A small window with Cancel that does not take the keyboard: typing and
  // moving go on in the main window meanwhile.
  auto progress = std::make_unique<QProgressDialog>(&m_window);
  progress->setWindowTitle(ToQString(title));
  progress->setLabelText(QStringLiteral("Waiting for the translation..."));
  progress->setRange(0, 0);
  progress->setWindowModality(Qt::NonModal);
  progress->setAttribute(Qt::WA_ShowWithoutActivating);
  progress->setFocusPolicy(Qt::NoFocus);
  progress->setAutoClose(false);
  progress->setAutoReset(false);
  progress->setMinimumDuration(0);
  progress->setMinimumWidth(progress->fontMetrics().horizontalAdvance(progress->windowTitle()) + 200);
  // Shown only when the reply takes a moment, so a quick one does not flash it.
  progress->setWindowFlag(Qt::WindowDoesNotAcceptFocus);
  QTimer::singleShot(300, progress.get(), [this, window = progress.get()] {
    if (m_httpProgress.get() != window) return;
    window->show();
    // Where the window system hands it the focus anyway, it goes back once
    // the activation has arrived.
    QTimer::singleShot(50, window, [this, window] {
      if (QApplication::activeWindow() != window) return;
      m_window.activateWindow();
      m_window.FocusPane();
    });
  });
  m_httpProgress = std::move(progress);
  m_http = std::make_unique<CHttpRequest>(m_network, url, timeoutMs, [this, done](const CHttpReply &reply) {
    EndHttp();
    m_window.RunWhenFree([done, reply] { done(reply); });
  });
  QObject::connect(m_httpProgress.get(), &QProgressDialog::canceled, m_httpProgress.get(), [this] {
    if (m_http) m_http->Cancel();
  });
}

void CQtPlatform::CancelHttpGet() { EndHttp(); }

void CQtPlatform::EndHttp() {
  // Not destroyed here: this may run inside the request's own signal.
  if (m_httpProgress) {
    m_httpProgress->hide();
    m_httpProgress.release()->deleteLater();
  }
  if (m_http) {
    m_http->Drop(); // a reply that still comes goes nowhere
    CHttpRequest *request = m_http.release();
    QTimer::singleShot(0, [request] { delete request; });
  }
}

void CQtPlatform::RunWithProgress(const std::string &title, const CProgressJob &job) {
  m_window.SetJobRunning(true);
  CProgressRunner::Run(
      &m_window, ToQString(title),
      [&job](const CProgressCallback &callback) {
        job([&callback](double fraction, const std::string &text) {
          fraction = std::clamp(fraction, 0.0, 1.0);
          return callback(CProgress{"", text, uint64_t(fraction * 1000), 1000});
        });
        return CStatus::Success();
      },
      [](const CProgress &progress) { return ToQString(progress.m_text); });
  m_window.SetJobRunning(false);
}

CResult<CPixelCanvas> CQtPlatform::LoadBitmap(int resourceId) { return m_pictures.LoadPicture(resourceId); }

void CQtPlatform::StartTimer(int id, int milliseconds) { m_window.StartTimer(id, milliseconds); }

void CQtPlatform::Present(const CPixelCanvas &canvas) { m_window.PresentCanvas(canvas); }

void CQtPlatform::SetScrollRange(int minimum, int maximum) { m_window.SetScrollRange(minimum, maximum); }

void CQtPlatform::SetScrollPos(int position) { m_window.SetScrollPos(position); }

int CQtPlatform::ScrollPos() { return m_window.ScrollPos(); }

void CQtPlatform::EnableMenuItem(int id, bool enabled) { m_window.EnableMenuItem(id, enabled); }

void CQtPlatform::SetMenuItemText(int id, const std::string &text) { m_window.SetMenuItemText(id, text); }

void CQtPlatform::SetStatusText(const std::string &text) { m_window.StatusLabel()->setText(ToQString(text)); }

void CQtPlatform::SetTitle(const std::string &title) { m_window.setWindowTitle(ToQString(title)); }

void CQtPlatform::FocusDialog() { m_window.FocusPane(); }

void CQtPlatform::BeginWaitCursor() {
  ++m_waitCursors;
  QApplication::setOverrideCursor(Qt::WaitCursor);
}

void CQtPlatform::EndWaitCursor() {
  if (m_waitCursors == 0) return;
  --m_waitCursors;
  QApplication::restoreOverrideCursor();
}

bool CQtPlatform::IsMinimized() { return m_window.isMinimized(); }

void CQtPlatform::EndDialog() { m_window.EndDialog(); }

void CQtPlatform::ShowAbout() {
  QMessageBox box(&m_window);
  box.setWindowTitle(QStringLiteral("About Quillan"));
  if (!m_window.windowIcon().isNull()) box.setIconPixmap(m_window.windowIcon().pixmap(32, 32));
  box.setText(QStringLiteral("Quillan Version 2.00"));
  box.setInformativeText(QStringLiteral("A translation workbench for the script text of TK7.\n"
                                        "Type the English under the Japanese, with the game's control codes;\n"
                                        "save it page by page and compress it back into the game's format."));
  box.setStandardButtons(QMessageBox::Ok);
  box.exec();
}

void CQtPlatform::RunFontViewer(CFontViewerDlg &dialog) {
  CFontViewerWindow window(dialog, &m_window);
  QWidget *outer = m_modalParent;
  m_modalParent = &window;
  window.exec();
  m_modalParent = outer;
}

QWidget *CQtPlatform::Parent() { return m_modalParent ? m_modalParent : &m_window; }

void CQtPlatform::KeyboardState(uint8_t (&state)[256]) { m_window.Keys().NextState(state); }

uint8_t CQtPlatform::TranslateKey(int scanCode) { return m_window.Keys().Translate(scanCode); }

} // namespace quillan
