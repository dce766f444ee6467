// Copy, paste and the translation request of the main dialog, with the fake
// platform's clipboard and HTTP reply (the real ones are tested with the Qt
// platform).

#include <fstream>

#include "extras/text_exchange.h"
#include "support/dialog_fixture.h"

namespace quillan {
namespace {

using testing::CDialogTest;
using Elements = std::vector<uint16_t>;

class TextExchange : public CDialogTest {
protected:
  void SetUp() override {
    CDialogTest::SetUp();
    OpenScript({4});
    m_dlg->m_japaneseEntry.fill(0); // no end code to carry over unless a test sets one
  }
};

TEST_F(TextExchange, PastesLinesAsTheGamesNewLineCode) {
  struct Case {
    std::u16string clipboard;
    Elements text;
    int offset;
  } cases[] = {
      {u"ab\r\ncd", {'a', 'b', 3, 'c', 'd', 0}, 5},
      {u"a\nb", {'a', 3, 'b', 0}, 3},
      {u"a\rb", {'a', 'b', 0}, 2},                   // a lone CR is dropped
      {u"\uFF21\u3000\u304B", {'A', ' ', 0x96, 0}, 3}, // full-width, ideographic space, kana
      {u"a\0b", {'a', 0}, 1},
  };
  for (const auto &c : cases) {
    m_platform.m_clipboard = c.clipboard;
    m_dlg->m_modified = 0;
    m_dlg->OnCommand(kIdPasteEngToBoard);
    EXPECT_EQ(Text(), c.text);
    EXPECT_EQ(m_dlg->m_cursorOffset, c.offset);
    EXPECT_EQ(m_dlg->m_modified, 1) << "a paste is a change to save";
  }
  m_platform.m_clipboard = std::u16string(80, u'x');
  m_dlg->OnCommand(kIdPasteEngToBoard);
  EXPECT_EQ(m_dlg->m_cursorOffset, 65);
  EXPECT_EQ(m_dlg->m_viewTopRow, 0);
  m_platform.m_clipboard = std::u16string(90, u'x');
  m_dlg->OnCommand(kIdPasteEngToBoard);
  EXPECT_EQ(m_dlg->m_cursorOffset, 60);
  EXPECT_EQ(m_dlg->m_viewTopRow, 1);
}

TEST_F(TextExchange, LeavesOutWhatTheGameCannotShowAndSaysSo) {
  m_platform.m_clipboard = u"a\u65E5b\u2603";
  m_dlg->OnCommand(kIdPasteEngToBoard);
  EXPECT_EQ(Text(), (Elements{'a', 'b', 0}));
  ASSERT_FALSE(m_platform.m_messages.empty());
  EXPECT_NE(m_platform.m_messages.back().m_text.find("left out: 日, ☃"), std::string::npos)
      << m_platform.m_messages.back().m_text;
}

TEST_F(TextExchange, ThePasteEndsLikeTheJapaneseEntry) {
  for (uint16_t ending : {1, 2, 3, 4}) {
    m_dlg->m_japaneseEntry.fill(0);
    m_dlg->m_japaneseEntry[0] = 0x91;
    m_dlg->m_japaneseEntry[1] = ending;
    m_platform.m_clipboard = u"hi";
    m_dlg->OnPasteEngToBoard();
    EXPECT_EQ(Text(), (Elements{'h', 'i', ending, 0}));
  }
  m_dlg->m_japaneseEntry[1] = 0x41; // no ending code
  m_dlg->OnPasteEngToBoard();
  EXPECT_EQ(Text(), (Elements{'h', 'i', 0}));
}

TEST_F(TextExchange, CopiesTheJapaneseTextUpToItsFirstZero) {
  m_dlg->m_japaneseText = std::u16string(u"ab\0cd", 5);
  m_dlg->OnCommand(kIdCopyJapToClipboard);
  EXPECT_EQ(m_platform.m_clipboard, u"ab");
  m_dlg->m_japaneseText.clear();
  m_dlg->OnCommand(kIdCopyJapToClipboard);
  EXPECT_EQ(m_platform.m_clipboard, u"ab") << "an empty text leaves the clipboard alone";
}

TEST_F(TextExchange, TranslatesThroughTheConfiguredHost) {
  Text() = {'o', 'l', 'd', 0};
  m_dlg->OnCommand(kIdGoogleTranslate);
  EXPECT_TRUE(m_platform.m_urls.empty()) << "no host set: nothing is sent";
  EXPECT_NE(m_platform.m_messages.back().m_text.find("translate-host"), std::string::npos);
  EXPECT_EQ(Text(), (Elements{'o', 'l', 'd', 0}));

  std::ofstream(m_dir / "quillan.conf") << "# translation\ntranslate-host = 127.0.0.1:8123\n";
  struct Case {
    CHttpReply reply;
    Elements text;
  } cases[] = {
      {{200, "OK", ""}, {'O', 'K', 0}},
      {{200, std::string("abc\0ef", 6), ""}, {'a', 'b', 'c', 0, 0}},
      {{200, "abc", ""}, {'a', 'b', 'c', 0, 0}}, // an odd reply takes the 0 after it
      {{200, "", ""}, {0}},
  };
  for (const auto &c : cases) {
    m_platform.m_httpReply = c.reply;
    m_dlg->OnCommand(kIdGoogleTranslate);
    EXPECT_EQ(Text(), c.text);
  }
  m_dlg->m_japaneseText = std::u16string(u"\u3042 a&\0tail", 9); // the text as the last paint built it
  m_dlg->OnCommand(kIdGoogleTranslate);
  EXPECT_EQ(m_platform.m_urls.back(), "http://127.0.0.1:8123/translate.php?text=%E3%81%82%20a%26");

  for (CHttpReply failure : {CHttpReply{404, "Not found", ""}, CHttpReply{0, "", "timed out after 10 s"}}) {
    Text() = {'k', 'e', 'e', 'p', 0};
    m_platform.m_httpReply = failure;
    m_dlg->OnCommand(kIdGoogleTranslate);
    EXPECT_EQ(Text(), (Elements{'k', 'e', 'e', 'p', 0})) << "a failed request changes nothing";
    EXPECT_NE(m_platform.m_messages.back().m_text.find("failed"), std::string::npos);
  }
  std::string long_reply(6000, 'z');
  m_platform.m_httpReply = {200, long_reply, ""};
  m_dlg->OnCommand(kIdGoogleTranslate);
  EXPECT_EQ(Text().size(), 5119u + 2u) << "5119 bytes, the 0 after them and the end";
}

} // namespace
} // namespace quillan
