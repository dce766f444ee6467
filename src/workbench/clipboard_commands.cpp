// The three buttons that move text between the document and the outside:
// Copy Jap to Clipboard, Paste Eng to Board and Google Translate.

#include <algorithm>
#include <string_view>

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
  m_platform.FocusDialog();
  if (!clipboard || clipboard->empty() || clipboard->front() == 0) {
    // Nothing to paste: the line stays as it is.
    m_platform.MessageBox("The clipboard holds no text, so the English text was not changed.", "Paste Eng to Board",
                          CMessageButtons::Ok, CMessageIcon::Information);
    return;
  }
  CGameText text = MapTextToGame(*clipboard);
  if (text.m_elements.empty()) {
    std::string why = text.m_leftOut.empty() ? "The clipboard text is empty" : LeftOutMessage(text.m_leftOut);
    m_platform.MessageBox(why + "\n\nThe English text was not changed.", "Paste Eng to Board", CMessageButtons::Ok,
                          CMessageIcon::Warning);
    return;
  }
  CTextEdit edit(*this, "Paste");
  EnglishString &s = edit.Current();
  s.clear();
  m_viewTopRow = 0;
  m_cursorOffset = 0;
  for (uint16_t element : text.m_elements)
    AppendAndAdvance(edit, element);
  // The entry's own ending (a bubble end, new line or pause before its end
  // code) closes the pasted text too.
  int last = -1;
  for (int i = 0; i < kEntryCapacity; ++i) {
    if (EndsEntry(m_japaneseEntry[size_t(i)])) break;
    last = i;
  }
  if (last >= 0 && m_japaneseEntry[size_t(last)] >= 1 && m_japaneseEntry[size_t(last)] <= 4)
    s.push_back(m_japaneseEntry[size_t(last)]);
  s.push_back(0);
  m_modified = 1;
  edit.Commit();
  if (!text.m_leftOut.empty())
    m_platform.MessageBox(LeftOutMessage(text.m_leftOut), "Paste Eng to Board", CMessageButtons::Ok,
                          CMessageIcon::Warning);
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
  // The reply belongs to the entry shown now; the window goes on meanwhile.
  CTranslationRequest request{++m_translateSerial, m_scriptPath, m_currentPage, m_currentLine, *host};
  m_translation = request;
  m_platform.FocusDialog();
  m_platform.StartHttpGet(url, kRequestTimeoutMs, "Google Translate",
                          [this, request](const CHttpReply &reply) { OnTranslateReply(request, reply); });
}

void CQuillanDlg::OnTranslateReply(const CTranslationRequest &request, const CHttpReply &reply) {
  if (!m_translation || m_translation->m_serial != request.m_serial) return; // a newer request replaced it
  m_translation.reset();
  if (reply.m_cancelled) return; // nothing changes
  if (reply.m_status != 200) {
    // Nothing in the document changes when the request fails.
    std::string why =
        reply.m_status == 0 ? reply.m_error : "the server answered with status " + std::to_string(reply.m_status);
    m_platform.MessageBox("The translation request to " + request.m_host + " failed: " + why, "Google Translate",
                          CMessageButtons::Ok, CMessageIcon::Error);
    m_platform.FocusDialog();
    return;
  }
  if (request.m_script != m_scriptPath || request.m_page != m_currentPage || request.m_line != m_currentLine) {
    // The user moved on: the reply is not written into another entry.
    m_platform.MessageBox("The translation of page " + std::to_string(request.m_page) + ", line " +
                              std::to_string(request.m_line + 1) +
                              " arrived after you moved to another entry, so it was not used.",
                          "Google Translate", CMessageButtons::Ok, CMessageIcon::Information);
    m_platform.FocusDialog();
    return;
  }
  // The reply is UTF-8 text, mapped like a paste; a 0 ends it.
  size_t n = std::min(reply.m_body.size(), size_t(kReplyLimit));
  while (n > 0 && n < reply.m_body.size() && (uint8_t(reply.m_body[n]) & 0xC0) == 0x80)
    --n; // the limit does not cut a character in two
  CGameText text = MapTextToGame(DecodeUtf8(std::string_view(reply.m_body).substr(0, n)));
  CTextEdit edit(*this, "Google Translate");
  edit.Current().clear();
  m_viewTopRow = 0;
  m_cursorOffset = 0;
  for (uint16_t element : text.m_elements)
    AppendAndAdvance(edit, element);
  edit.Current().push_back(0); // the cursor stands on it
  m_modified = 1;
  edit.Commit();
  m_platform.FocusDialog();
  if (!text.m_leftOut.empty())
    m_platform.MessageBox(LeftOutMessage(text.m_leftOut), "Google Translate", CMessageButtons::Ok,
                          CMessageIcon::Warning);
  m_repaintJapanese = 1;
  RefreshCursorChar();
  PaintPanes();
}

} // namespace quillan
