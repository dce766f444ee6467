// Find in Project: plain and regular-expression search over the index, the
// fields, case folding and the order of hits.

#include <gtest/gtest.h>

#include "support/codec_fixture.h"
#include "support/project_fixture.h"
#include "support/scratch_dir.h"
#include "workbench/project_search.h"

namespace quillan {
namespace {

std::vector<uint16_t> Terminated(std::initializer_list<uint16_t> codes) {
  std::vector<uint16_t> out(codes);
  out.push_back(0);
  return out;
}
EnglishString English(std::string_view text) { return testing::English(text); }

class SearchTest : public ::testing::Test {
protected:
  void SetUp() override {
    // x5A.bin, one page: ja "かき{01}", "Ab{03}cd{01}", "x{01}", "Sword{02}"; en below.
    testing::CScriptSpec a;
    a.m_pages.push_back({Terminated({0x96, 0x97, 0x01}), Terminated({'A', 'b', 0x03, 'c', 'd', 0x01}),
                         Terminated({'x', 0x01}), Terminated({'S', 'w', 'o', 'r', 'd', 0x02})});
    std::vector<EnglishString> english(4096);
    english[0] = English("The Sword");
    english[1] = English("ab");
    english[3] = English("sword{");
    testing::WriteProjectScript(m_dir.Path(), "x5A.bin", a, english);
    testing::CScriptSpec b;
    b.m_pages.push_back({Terminated({'s', 'W', 'O', 'R', 'D', 0x01})});
    testing::WriteProjectScript(m_dir.Path(), "x5B.bin", b, {});
    ASSERT_TRUE(m_index.Build(m_dir.Path(), ProjectScripts(m_dir.Path(), {})).Ok());
  }

  // "A 0:1 ja, ..." for the hits.
  std::string Find(std::string_view pattern, CSearchOptions options = {}) {
    auto search = CProjectSearch::Compile(pattern, options);
    if (!search) return "error: " + search.Error().Message();
    std::string out;
    for (const CSearchHit &hit : search->Run(m_index)) {
      const CIndexedScript &script = m_index.Script(hit.m_ref.m_script);
      const CIndexedEntry &e = script.Entry(hit.m_ref.m_entry);
      if (!out.empty()) out += ", ";
      out += script.m_shortName + " " + std::to_string(e.m_page) + ":" + std::to_string(e.m_line) +
             (hit.m_english ? " en" : " ja");
    }
    return out;
  }

  testing::CScratchDir m_dir;
  CProjectIndex m_index;
};

TEST_F(SearchTest, PlainTextInTheDumpForm) {
  CSearchOptions ja{CSearchField::Japanese, false, false};
  CSearchOptions en{CSearchField::English, false, false};
  CSearchOptions exact{CSearchField::Both, false, true};
  struct {
    const char *pattern;
    CSearchOptions options;
    const char *hits;
  } cases[] = {
      {"sword", {}, "A 0:0 en, A 0:3 ja, A 0:3 en, B 0:0 ja"}, // script, page, line, ja before en
      {"sword", ja, "A 0:3 ja, B 0:0 ja"},
      {"sword", en, "A 0:0 en, A 0:3 en"},
      {"Sword", exact, "A 0:0 en, A 0:3 ja"},
      {"{03}", {}, "A 0:1 ja"},                     // control codes as {XX}
      {"b{03}C", {}, "A 0:1 ja"},                   // folded: {03} and C alike
      {"\xE3\x81\x8B\xE3\x81\x8D", {}, "A 0:0 ja"}, // かき
      {"{7b}", {}, "A 0:3 en"},                     // '{' itself
      {"d{01}\nx", {}, ""},                         // never across entries
      {"ab", {}, "A 0:1 ja, A 0:1 en"},
      {"nothing", {}, ""},
  };
  for (const auto &c : cases)
    EXPECT_EQ(Find(c.pattern, c.options), c.hits) << c.pattern;
}

TEST_F(SearchTest, RegularExpressions) {
  CSearchOptions regex{CSearchField::Both, true, false};
  CSearchOptions exact{CSearchField::Both, true, true};
  EXPECT_EQ(Find("^s.ord", regex), "A 0:3 ja, A 0:3 en, B 0:0 ja");
  EXPECT_EQ(Find("^S", exact), "A 0:3 ja");
  EXPECT_EQ(Find("\\{0[12]\\}$", regex), "A 0:0 ja, A 0:1 ja, A 0:2 ja, A 0:3 ja, B 0:0 ja");
  EXPECT_EQ(Find("cd\\{01\\}$|^x", regex), "A 0:1 ja, A 0:2 ja"); // ^ and $ are each entry's
  EXPECT_EQ(Find("\xEF\xBC\xA1", regex), "");                     // Ａ
  std::string error = Find("(unclosed", regex);
  EXPECT_EQ(error.rfind("error: the regular expression \"(unclosed\" is not valid at offset 9: ", 0), 0u) << error;
}

TEST_F(SearchTest, FullWidthLettersFoldLikeAscii) {
  EXPECT_TRUE(CProjectSearch::Compile("\xEF\xBD\x93w", {})->Matches("\xEF\xBC\xB3W")); // ｓw in ＳW
  EXPECT_FALSE(CProjectSearch::Compile("\xEF\xBD\x93w", {CSearchField::Both, false, true})->Matches("\xEF\xBC\xB3W"));
  EXPECT_TRUE(CProjectSearch::Compile("\xEF\xBD\x93", {CSearchField::Both, true, false})->Matches("\xEF\xBC\xB3"));
}

TEST_F(SearchTest, LimitStopsEarly) {
  auto search = CProjectSearch::Compile("{0", {});
  ASSERT_TRUE(search.Ok());
  EXPECT_EQ(search->Run(m_index).size(), 5u);
  EXPECT_EQ(search->Run(m_index, 2).size(), 2u);
}

} // namespace
} // namespace quillan
