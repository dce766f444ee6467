// Copy, paste and the translation request of the main dialog, with the fake
// platform's clipboard and HTTP reply (the real ones are tested with the Qt
// platform).

#include <fstream>

#include "core/text_rules.h"
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
      {u"a\rb", {'a', 'b', 0}, 2},                     // a lone CR is dropped
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

TEST_F(TextExchange, AnEmptyOrNonTextClipboardChangesNothing) {
  for (std::optional<std::u16string> clipboard :
       {std::optional<std::u16string>(), std::optional<std::u16string>(u""),
        std::optional<std::u16string>(std::u16string(u"\0x", 2)), std::optional<std::u16string>(u"\u65E5\u672C")}) {
    Text() = {'k', 'e', 'e', 'p', 0};
    m_dlg->m_modified = 0;
    m_platform.m_clipboard = clipboard;
    size_t told = m_platform.m_messages.size();
    m_dlg->OnCommand(kIdPasteEngToBoard);
    EXPECT_EQ(Text(), (Elements{'k', 'e', 'e', 'p', 0}));
    EXPECT_EQ(m_dlg->m_modified, 0);
    ASSERT_EQ(m_platform.m_messages.size(), told + 1) << "the user is told why nothing happened";
    EXPECT_NE(m_platform.m_messages.back().m_text.find("not changed"), std::string::npos);
  }
}

TEST(TextMapping, OutsideTextBecomesTheGamesOneByteText) {
  struct Case {
    std::u16string text;
    std::u16string elements; // as units, for readability
    std::u16string leftOut;
  } cases[] = {
      {u"It\u2019s caf\u00E9 time.", u"It's cafe time.", u""},
      {u"\u201CNa\u00EFve\u201D \u2014 \u00FCber\u2026", u"\"Naive\" - uber...", u""},
      {u"Stra\u00DFe, \u00C6sir, \u0152uvre, \u00C5se, \u00D1o\u00F1o, \u00C7a",
       u"Strasse, AEsir, OEuvre, Ase, Nono, Ca", u""},
      {u"a\u00A0b\tc", u"a b c", u""},                                                     // no-break space and tab
      {u"x\u00D7y\u00F7z \u00BF\u00B0\u00A9", u"xyz ", u"\u00D7\u00F7\u00BF\u00B0\u00A9"}, // kana if stored
      {u"\u007F\u0080\u009F", u"", u"\u007F\u0080\u009F"},
      {u"a\r\nb\nc\rd", u"a\u0003b\u0003cd", u""},
      {u"\uFEFFhi\u200B!", u"hi!", u""},
      {u"\uFF21\u3000\u304B", u"A \u0096", u""},
      {u"ok\U0001F600\u65E5", u"ok", u"\U0001F600\u65E5"}, // a surrogate pair stays whole
      {u"\u0001\u001Fz", u"z", u"\u0001\u001F"},           // control characters are not game codes
      {std::u16string(u"ab\0cd", 5), u"ab", u""},
  };
  for (const Case &c : cases) {
    CGameText out = MapTextToGame(c.text);
    EXPECT_EQ(out.m_elements, Elements(c.elements.begin(), c.elements.end())) << Utf8(c.text);
    EXPECT_EQ(out.m_leftOut, c.leftOut) << Utf8(c.text);
    for (uint16_t e : out.m_elements)
      EXPECT_TRUE(e == 3 || (e >= 0x20 && e <= 0x7E) || (e >= 0x86 && e <= 0xFD)) << e;
  }
  EXPECT_EQ(LeftOutMessage(u"\u65E5\u65E5\U0001F600\u65E5"),
            "The game's font has no glyph for these characters, so they were left out: \u65E5, \U0001F600");
  std::u16string many;
  for (char16_t c = 0x4E00; c < 0x4E00 + 25; ++c)
    many.push_back(c);
  EXPECT_NE(LeftOutMessage(many).find(" and 5 more"), std::string::npos);
}

TEST(TextMapping, Utf8DecodesAndMalformedBytesGiveOneReplacementEach) {
  struct Case {
    std::string bytes;
    std::u16string text;
  } cases[] = {
      {"plain", u"plain"},
      {"caf\xC3\xA9 \xE2\x80\x99", u"caf\u00E9 \u2019"},
      {"\xF0\x9F\x98\x80!", u"\U0001F600!"},
      {"a\xFF"
       "b",
       u"a\uFFFDb"},
      {"a\xC3", u"a\uFFFD"},           // cut at the end
      {"\xE3\x81x", u"\uFFFDx"},       // cut short by a plain byte
      {"\x80\x80z", u"\uFFFDz"},       // stray continuation bytes
      {"\xC0\xAF", u"\uFFFD"},         // overlong
      {"\xED\xA0\x80", u"\uFFFD"},     // a surrogate
      {"\xF4\x90\x80\x80", u"\uFFFD"}, // past U+10FFFF
      {std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
  };
  for (const Case &c : cases)
    EXPECT_EQ(DecodeUtf8(c.bytes), c.text) << c.bytes;
}

TEST_F(TextExchange, PastedAccentsAndQuotesBecomeAsciiAndTheRestIsNamed) {
  m_platform.m_clipboard = u"It\u2019s caf\u00E9 \u65E5 time.";
  m_dlg->OnCommand(kIdPasteEngToBoard);
  std::u16string expected = u"It's cafe  time.";
  Elements text(expected.begin(), expected.end());
  text.push_back(0);
  EXPECT_EQ(Text(), text);
  ASSERT_FALSE(m_platform.m_messages.empty());
  EXPECT_NE(m_platform.m_messages.back().m_text.find("left out: \u65E5"), std::string::npos);
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
      {{200, "OK", "", false}, {'O', 'K', 0}},
      {{200, std::string("abc\0ef", 6), "", false}, {'a', 'b', 'c', 0}},
      {{200, "Hello World", "", false}, {'H', 'e', 'l', 'l', 'o', ' ', 'W', 'o', 'r', 'l', 'd', 0}},
      {{200, "It\xE2\x80\x99s caf\xC3\xA9 time.", "", false},
       {'I', 't', '\'', 's', ' ', 'c', 'a', 'f', 'e', ' ', 't', 'i', 'm', 'e', '.', 0}},
      {{200, "", "", false}, {0}},
  };
  for (const auto &c : cases) {
    m_platform.m_httpReply = c.reply;
    m_dlg->OnCommand(kIdGoogleTranslate);
    EXPECT_EQ(Text(), c.text) << c.reply.m_body;
    EXPECT_EQ(Cursor(), int(Text().size()) - 1) << "the cursor stands on the terminator: " << c.reply.m_body;
  }
  // What is typed next lands before the terminator and is kept.
  m_platform.m_httpReply = {200, "Hello World", "", false};
  m_dlg->OnCommand(kIdGoogleTranslate);
  Type("!");
  EXPECT_EQ(Text(), (Elements{'H', 'e', 'l', 'l', 'o', ' ', 'W', 'o', 'r', 'l', 'd', '!', 0}));

  m_dlg->m_japaneseText = std::u16string(u"\u3042 a&\0tail", 9); // the text as the last paint built it
  m_dlg->OnCommand(kIdGoogleTranslate);
  EXPECT_EQ(m_platform.m_urls.back(), "http://127.0.0.1:8123/translate.php?text=%E3%81%82%20a%26");

  for (CHttpReply failure :
       {CHttpReply{404, "Not found", "", false}, CHttpReply{0, "", "timed out after 10 s", false}}) {
    Text() = {'k', 'e', 'e', 'p', 0};
    m_platform.m_httpReply = failure;
    m_dlg->OnCommand(kIdGoogleTranslate);
    EXPECT_EQ(Text(), (Elements{'k', 'e', 'e', 'p', 0})) << "a failed request changes nothing";
    EXPECT_NE(m_platform.m_messages.back().m_text.find("failed"), std::string::npos);
  }
  size_t told = m_platform.m_messages.size();
  m_platform.m_httpReply = {0, "", "cancelled", true};
  m_dlg->OnCommand(kIdGoogleTranslate);
  EXPECT_EQ(Text(), (Elements{'k', 'e', 'e', 'p', 0})) << "a cancelled request changes nothing";
  EXPECT_EQ(m_platform.m_messages.size(), told) << "and needs no message";

  std::string long_reply(6000, 'z');
  m_platform.m_httpReply = {200, long_reply, "", false};
  m_dlg->OnCommand(kIdGoogleTranslate);
  EXPECT_EQ(Text().size(), 5119u + 1u) << "5119 bytes and the end";
  long_reply = std::string(5118, 'z') + "\xC3\xA9"; // the limit falls inside the last character
  m_platform.m_httpReply = {200, long_reply, "", false};
  told = m_platform.m_messages.size();
  m_dlg->OnCommand(kIdGoogleTranslate);
  EXPECT_EQ(Text().size(), 5118u + 1u);
  EXPECT_EQ(m_platform.m_messages.size(), told) << "no half character is left out";
}

TEST_F(TextExchange, AReplyOnlyEverLandsInTheEntryItWasAskedFor) {
  std::ofstream(m_dir / "quillan.conf") << "translate-host = 127.0.0.1:8123\n";
  m_platform.m_holdHttp = true;
  m_dlg->m_currentLine = 1;
  Text() = {'o', 'n', 'e', 0};
  m_dlg->OnCommand(kIdGoogleTranslate);
  EXPECT_EQ(Text(), (Elements{'o', 'n', 'e', 0})) << "untouched while the request runs";
  m_dlg->m_currentLine = 2; // the user moved on meanwhile
  Text() = {'t', 'w', 'o', 0};
  ASSERT_TRUE(m_platform.FinishHttp({200, "Late", "", false}));
  EXPECT_EQ(Text(), (Elements{'t', 'w', 'o', 0}));
  EXPECT_EQ(m_dlg->EnglishAt(0, 1), (Elements{'o', 'n', 'e', 0}));
  EXPECT_NE(m_platform.m_messages.back().m_text.find("not used"), std::string::npos);

  // Of two requests only the later one's reply counts.
  m_dlg->OnCommand(kIdGoogleTranslate);
  CPlatform::CHttpDone first = m_platform.m_pendingHttp;
  m_dlg->OnCommand(kIdGoogleTranslate);
  first({200, "First", "", false});
  EXPECT_EQ(Text(), (Elements{'t', 'w', 'o', 0}));
  ASSERT_TRUE(m_platform.FinishHttp({200, "Second", "", false}));
  EXPECT_EQ(Text(), (Elements{'S', 'e', 'c', 'o', 'n', 'd', 0}));
}

} // namespace
} // namespace quillan
