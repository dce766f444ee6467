// The three buttons that move text between the document and the outside:
// Copy Jap to Clipboard, Paste Eng to Board and Google Translate.

#include <algorithm>

#include "extras/text_exchange.h"
#include "view/pane_renderer.h"
#include "workbench/quillan_dlg.h"

namespace quillan {

namespace {

constexpr int kReplyLimit = 5119; // reply bytes taken at most
constexpr int kRequestTimeoutMs = 10000;

} // namespace

void CQuillanDlg::OnCopyJapToClipboard() {
  // Every reader takes the first 0 unit as the end of the text.
  std::u16string text = m_japaneseText.substr(0, m_japaneseText.find(u'\0'));
  if (!text.empty()) m_platform.SetClipboardText(text);
  m_platform.FocusDialog();
}

// The elements of the current English string advance the cursor one by one.
void CQuillanDlg::AppendAndAdvance(CTextEdit &edit, uint16_t element) {
  edit.Current().push_back(element);
  AdvanceCursor();
}

void CQuillanDlg::OnPasteEngToBoard() {
  auto clipboard = m_platform.ClipboardText();
  CTextEdit edit(*this, "Paste");
  EnglishString &s = edit.Current();
  s.clear();
  m_viewTopRow = 0;
  m_cursorOffset = 0;
  std::u16string leftOut;
  if (clipboard) {
    const std::u16string &text = *clipboard;
    for (size_t p = 0; p < text.size(); ++p) {
      char16_t unit = text[p];
      if (unit == 13) {
        if (++p >= text.size()) break;
        unit = text[p];
      }
      if (unit == 10) unit = 3; // the game's new-line code
      if (unit == 0) break;
      auto code = unit == 3 ? std::optional<uint8_t>(3) : GameCodeOf(unit);
      if (!code) {
        leftOut.push_back(unit);
        continue;
      }
      AppendAndAdvance(edit, *code);
    }
  }
  // The entry's own ending (a bubble end, new line or pause before its end
  // code) closes the pasted text too.
  if (!s.empty() || clipboard) {
    int last = -1;
    for (int i = 0; i < kEntryCapacity; ++i) {
      if (EndsEntry(m_japaneseEntry[size_t(i)])) break;
      last = i;
    }
    if (last >= 0 && m_japaneseEntry[size_t(last)] >= 1 && m_japaneseEntry[size_t(last)] <= 4)
      s.push_back(m_japaneseEntry[size_t(last)]);
  }
  s.push_back(0);
  m_modified = 1;
  edit.Commit();
  m_platform.FocusDialog();
  if (!leftOut.empty()) m_platform.MessageBox(LeftOutMessage(leftOut), "Paste Eng to Board");
  PaintPanes();
}

void CQuillanDlg::OnGoogleTranslate() {
  auto host = TranslateHost(m_baseDir);
  if (!host) {
    m_platform.MessageBox("No translation service is set up. Put a line \"translate-host = NAME[:PORT]\" into " +
                              (m_baseDir / "quillan.conf").string() + ".",
                          "Google Translate", CMessageButtons::Ok, CMessageIcon::Information);
    m_platform.FocusDialog();
    return;
  }
  std::string url = "http://" + *host + "/translate.php?text=" + PercentEncodeUtf8(m_japaneseText);
  m_platform.BeginWaitCursor();
  CHttpReply reply = m_platform.HttpGet(url, kRequestTimeoutMs);
  m_platform.EndWaitCursor();
  if (reply.m_status != 200) {
    // Nothing in the document changes when the request fails.
    std::string why =
        reply.m_status == 0 ? reply.m_error : "the server answered with status " + std::to_string(reply.m_status);
    m_platform.MessageBox("The translation request to " + *host + " failed: " + why, "Google Translate",
                          CMessageButtons::Ok, CMessageIcon::Error);
    m_platform.FocusDialog();
    return;
  }
  // The reply's bytes are the English text, taken in pairs up to a 0 byte:
  // a 0 byte ends it (and one more 0 follows), as does the end of the
  // reply, whose odd last pair takes the 0 after the data.
  std::vector<uint8_t> buffer(size_t(kReplyLimit) + 1, 0);
  int n = std::min<int>(int(reply.m_body.size()), kReplyLimit);
  std::copy_n(reply.m_body.begin(), n, buffer.begin());
  CTextEdit edit(*this, "Google Translate");
  edit.Current().clear();
  m_viewTopRow = 0;
  m_cursorOffset = 0;
  for (int i = 0; i < n; i += 2) {
    bool ended = false;
    for (int j = i; j <= i + 1; ++j) {
      AppendAndAdvance(edit, buffer[size_t(j)]);
      if (buffer[size_t(j)] == 0) {
        ended = true;
        break;
      }
    }
    if (ended) break;
  }
  edit.Current().push_back(0);
  m_modified = 1;
  edit.Commit();
  m_platform.FocusDialog();
  m_repaintJapanese = 1;
  PaintPanes();
}

} // namespace quillan
