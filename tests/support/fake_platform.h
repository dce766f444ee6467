#pragma once
// A platform for tests of the main dialog: answers are queued beforehand,
// everything the dialog asks of the window is recorded, and the keyboard is
// a 256-byte state the test sets.

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace quillan::testing {

class CFakePlatform : public CPlatform {
public:
  struct CMessage {
    std::string m_text, m_caption;
    CMessageButtons m_buttons;
  };

  // Queued answers; an empty queue answers Ok / Cancel / nothing.
  std::deque<CMessageAnswer> m_answers;
  std::deque<std::optional<std::filesystem::path>> m_openFiles;
  std::deque<std::optional<std::filesystem::path>> m_saveFiles; // answers of the save-file dialog
  std::deque<std::optional<uint32_t>> m_gotoLines;
  std::deque<std::optional<std::u16string>> m_searchTexts;
  std::deque<std::optional<int>> m_tilts, m_zooms, m_chartCodes;
  std::deque<std::optional<std::pair<int, int>>> m_tabs;
  std::deque<std::optional<std::u16string>> m_kanjiChars;
  std::optional<std::u16string> m_clipboard;

  // What the dialog did.
  std::vector<std::pair<std::string, std::string>> m_openFileRequests; // extension, filter
  std::vector<CMessage> m_messages;
  std::map<int, bool> m_menuEnabled;
  std::map<int, std::string> m_menuText;
  std::map<int, int> m_timers;
  std::string m_status, m_title;
  int m_scrollMin = 0, m_scrollMax = 0, m_scrollPos = 0;
  int m_focusCount = 0, m_presented = 0, m_waitCursor = 0;
  bool m_ended = false;

  // Keyboard: keys down by scan code, with the character each one types.
  uint8_t m_keys[256] = {};
  std::map<int, uint8_t> m_layout;
  void Press(int scan, uint8_t character = 0);
  void Release(int scan);
  void ReleaseAll();

  CMessageAnswer MessageBox(const std::string &text, const std::string &caption, CMessageButtons buttons,
                            CMessageIcon icon) override;
  std::optional<std::filesystem::path> ChooseOpenFile(const std::string &, const std::string &) override;
  std::optional<std::filesystem::path> ChooseFolder(const std::string &) override { return std::nullopt; }
  std::optional<std::filesystem::path> ChooseSaveFile(const std::string &, const std::string &,
                                                      const std::filesystem::path &) override {
    return Take(m_saveFiles);
  }
  std::optional<uint32_t> AskGotoLine(uint32_t current) override;
  std::optional<std::u16string> AskSearchText() override { return Take(m_searchTexts); }
  std::optional<int> AskTiltAmount() override { return Take(m_tilts); }
  std::optional<int> AskZoomAmount() override { return Take(m_zooms); }
  std::optional<std::pair<int, int>> AskTabAmount() override { return Take(m_tabs); }
  std::optional<std::u16string> AskKanjiChar() override { return Take(m_kanjiChars); }
  std::optional<int> AskChartCode() override { return Take(m_chartCodes); }
  std::optional<std::filesystem::path> AskDisc() override { return std::nullopt; }
  void SetClipboardText(const std::u16string &text) override { m_clipboard = text; }
  std::optional<std::u16string> ClipboardText() override { return m_clipboard; }
  // HTTP: by default a request is answered at once with m_httpReply; with
  // m_holdHttp set it waits until the test calls FinishHttp.
  CHttpReply m_httpReply;
  std::vector<std::string> m_urls;
  bool m_holdHttp = false;
  CHttpDone m_pendingHttp;
  void StartHttpGet(const std::string &url, int, const std::string &, CHttpDone done) override {
    m_urls.push_back(url);
    if (m_holdHttp) {
      m_pendingHttp = std::move(done);
      return;
    }
    m_pendingHttp = nullptr;
    done(m_httpReply);
  }
  void CancelHttpGet() override { m_pendingHttp = nullptr; }
  // Delivers the held request's reply; false when none was waiting.
  bool FinishHttp(const CHttpReply &reply) {
    if (!m_pendingHttp) return false;
    CHttpDone done = std::move(m_pendingHttp);
    m_pendingHttp = nullptr;
    done(reply);
    return true;
  }
  void RunWithProgress(const std::string &, const CProgressJob &job) override {
    job([](double, const std::string &) { return true; });
  }
  void StartTimer(int id, int milliseconds) override { m_timers[id] = milliseconds; }
  void Present(const CPixelCanvas &) override { ++m_presented; }
  void SetScrollRange(int minimum, int maximum) override {
    m_scrollMin = minimum;
    m_scrollMax = maximum;
  }
  void SetScrollPos(int position) override { m_scrollPos = position; }
  int ScrollPos() override { return m_scrollPos; }
  void EnableMenuItem(int id, bool enabled) override { m_menuEnabled[id] = enabled; }
  void SetMenuItemText(int id, const std::string &text) override { m_menuText[id] = text; }
  void SetStatusText(const std::string &text) override { m_status = text; }
  void SetTitle(const std::string &title) override { m_title = title; }
  void FocusDialog() override { ++m_focusCount; }
  void BeginWaitCursor() override { ++m_waitCursor; }
  void EndWaitCursor() override { --m_waitCursor; }
  bool IsMinimized() override { return false; }
  void EndDialog() override { m_ended = true; }
  void ShowAbout() override {}
  // What the user does in the font editor; it runs when the editor opens.
  std::function<void(CFontViewerDlg &)> m_fontViewerUser;
  int m_fontViewerRuns = 0;
  void RunFontViewer(CFontViewerDlg &dialog) override {
    ++m_fontViewerRuns;
    if (m_fontViewerUser) m_fontViewerUser(dialog);
  }
  void KeyboardState(uint8_t (&state)[256]) override;
  uint8_t TranslateKey(int scanCode) override;

  template <class T> static T Take(std::deque<T> &queue) {
    if (queue.empty()) return T{};
    T value = std::move(queue.front());
    queue.pop_front();
    return value;
  }
};

} // namespace quillan::testing
