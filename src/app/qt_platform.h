#pragma once
// The main dialog's platform on Qt: message boxes, file and folder choosers,
// the small dialogs, the clipboard, HTTP, long jobs behind a progress
// dialog, and the services of the main window (timers, the panes' picture,
// the scroll bar, menu items, status text, focus, title, the wait cursor) and
// the font editor.

#include <memory>

#include <QNetworkAccessManager>
#include <QProgressDialog>
#include <QString>

class QWidget;

#include "app/canvas_image.h"
#include "app/http_get.h"
#include "platform/platform.h"

namespace quillan {

class CQuillanWindow;

// The file dialog's filter from the form "Name (pattern)|pattern;pattern|...||":
// "Name (patterns);;...". Patterns match either case (a game disc's file
// names are upper case), and "*.*" matches every file.
QString FileDialogFilter(const std::string &filter);

class CQtPlatform : public CPlatform {
public:
  explicit CQtPlatform(CQuillanWindow &window) : m_window(window) {}

  CMessageAnswer MessageBox(const std::string &text, const std::string &caption, CMessageButtons buttons,
                            CMessageIcon icon) override;
  std::optional<std::filesystem::path> ChooseSaveFile(const std::string &defaultExtension, const std::string &filter,
                                                      const std::filesystem::path &suggested) override;
  std::optional<std::filesystem::path> ChooseOpenFile(const std::string &defaultExtension,
                                                      const std::string &filter) override;
  std::optional<std::filesystem::path> ChooseFolder(const std::string &caption) override;
  std::optional<uint32_t> AskGotoLine(uint32_t current) override;
  std::optional<std::u16string> AskSearchText() override;
  std::optional<int> AskTiltAmount() override;
  std::optional<int> AskZoomAmount() override;
  std::optional<std::pair<int, int>> AskTabAmount() override;
  std::optional<std::u16string> AskKanjiChar() override;
  std::optional<int> AskChartCode() override;
  std::optional<std::filesystem::path> AskDisc() override;
  void SetClipboardText(const std::u16string &text) override;
  std::optional<std::u16string> ClipboardText() override;
  void StartHttpGet(const std::string &url, int timeoutMs, const std::string &title, CHttpDone done) override;
  void CancelHttpGet() override;
  // The progress window of the running request; null when none runs.
  QProgressDialog *HttpProgress() const { return m_httpProgress.get(); }
  void RunWithProgress(const std::string &title, const CProgressJob &job) override;
  void StartTimer(int id, int milliseconds) override;
  void Present(const CPixelCanvas &canvas) override;
  void SetScrollRange(int minimum, int maximum) override;
  void SetScrollPos(int position) override;
  int ScrollPos() override;
  void EnableMenuItem(int id, bool enabled) override;
  void SetMenuItemText(int id, const std::string &text) override;
  void SetStatusText(const std::string &text) override;
  void SetTitle(const std::string &title) override;
  void FocusDialog() override;
  void BeginWaitCursor() override;
  void EndWaitCursor() override;
  bool IsMinimized() override;
  void EndDialog() override;
  void ShowAbout() override;
  void RunFontViewer(CFontViewerDlg &dialog) override;
  CResult<CPixelCanvas> LoadBitmap(int resourceId) override; // decoded by Qt
  void KeyboardState(uint8_t (&state)[256]) override;
  uint8_t TranslateKey(int scanCode) override;

private:
  CQuillanWindow &m_window;
  QNetworkAccessManager m_network;
  std::unique_ptr<CHttpRequest> m_http;
  std::unique_ptr<QProgressDialog> m_httpProgress;
  void EndHttp(); // retires the request and its window, from the event loop
  CQtPictures m_pictures;
  int m_waitCursors = 0;
  QWidget *m_modalParent = nullptr; // the dialog that message boxes and file dialogs go over
  QWidget *Parent();
};

} // namespace quillan
