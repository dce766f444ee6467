// The translation memory (identical and similar lines), propagation of
// agreed translations, and the glossary with its check.

#include <gtest/gtest.h>

#include "codec/english_text.h"
#include "kanji/code_book.h"
#include "support/cli_runner.h"
#include "support/codec_fixture.h"
#include "support/scratch_dir.h"
#include "workbench/glossary.h"
#include "workbench/propagate.h"
#include "workbench/translation_memory.h"

namespace quillan {
namespace {

using testing::English;

// Japanese codes from a string of one-byte codes.
std::vector<uint16_t> J(std::string_view text) { return {text.begin(), text.end()}; }
// The same as the memory's key (one script, no code book).
std::vector<uint32_t> K(std::string_view text) { return {text.begin(), text.end()}; }

CMemoryEntry Entry(const std::string &script, int page, int line, std::string_view japanese, std::string_view english) {
  return {script, page, line, J(japanese), english.empty() ? EnglishString{0} : English(english), {}};
}

TEST(TranslationMemory, SimilarityFollowsTheEditDistance) {
  struct CCase {
    const char *m_a, *m_b;
    int m_percent;
  } cases[] = {
      {"abcd", "abcd", 100},
      {"abcd", "abce", 75},
      {"abcd", "abc", 75},
      {"abc", "abd", 66},
      {"abcdefgh", "abdcefgh", 75},
      {"abcdefghij", "abcdefghi", 90},
      {"", "", 100},
      {"abc", "", 0},
      {"kitten", "sitting", 57},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(SimilarityPercent(K(c.m_a), K(c.m_b)), c.m_percent) << c.m_a << " / " << c.m_b;
    EXPECT_EQ(SimilarityPercent(K(c.m_b), K(c.m_a)), c.m_percent) << "symmetric: " << c.m_a;
  }
  std::vector<bool> differs;
  EXPECT_EQ(EditDistance(K("abcdef"), K("abXdeYf"), &differs), 2u);
  EXPECT_EQ(differs, (std::vector<bool>{false, false, true, false, false, true, false}));
}

TEST(TranslationMemory, SuggestsIdenticalLinesByFrequencyThenSimilarOnesBestFirst) {
  CTranslationMemory memory;
  size_t self = memory.Add(Entry("X5A.bin", 0, 0, "hello there", ""));
  memory.Add(Entry("X5A.bin", 0, 1, "hello there", "Hi."));
  memory.Add(Entry("X5A.bin", 0, 2, "hello there", "Hello."));
  memory.Add(Entry("X5B.bin", 1, 3, "hello there", "Hello."));
  memory.Add(Entry("X5B.bin", 1, 4, "hello there", ""));              // untranslated: no suggestion
  memory.Add(Entry("X5B.bin", 1, 5, "hello therx", "Hello, X."));     // 90 %
  memory.Add(Entry("X5B.bin", 1, 6, "hallo thera", "Hallo."));        // 81 %
  memory.Add(Entry("X5B.bin", 1, 7, "hxllx thxrx", "Far."));          // 63 %: too far
  memory.Add(Entry("X5B.bin", 1, 8, "hello there!!!!", "Too long.")); // 73 %
  memory.Add(Entry("X5B.bin", 1, 9, "hello therx", "Hello, X."));     // the same translation again

  auto suggestions = memory.Suggest(K("hello there"), self);
  ASSERT_EQ(suggestions.size(), 4u);
  EXPECT_TRUE(suggestions[0].m_exact);
  EXPECT_EQ(suggestions[0].m_english, English("Hello."));
  EXPECT_EQ(suggestions[0].m_sources.size(), 2u) << "most frequent first";
  EXPECT_EQ(EntryPlace(memory.Entry(suggestions[0].m_sources[0])), "X5A.bin 0:2");
  EXPECT_EQ(suggestions[1].m_english, English("Hi."));
  EXPECT_FALSE(suggestions[2].m_exact);
  EXPECT_EQ(suggestions[2].m_percent, 90);
  EXPECT_EQ(suggestions[2].m_sources.size(), 2u);
  EXPECT_EQ(suggestions[2].m_differs.back(), true);
  EXPECT_EQ(suggestions[3].m_percent, 81);
  EXPECT_EQ(suggestions[3].m_english, English("Hallo."));

  EXPECT_EQ(memory.Find("X5B.bin", 1, 6), 6u);
  EXPECT_EQ(memory.Find("X5B.bin", 2, 6), CTranslationMemory::npos);
  EXPECT_TRUE(memory.Suggest(K("zzzz")).empty());
}

TEST(TranslationMemory, KanjiAreComparedByTheirCharacterAcrossScripts) {
  KanjiCodeBook a = BlankCodeBook(), b = BlankCodeBook();
  a[0] = u'水';
  b[5] = u'水';
  std::vector<uint16_t> inA = {0x100, 0x91}, inB = {0x105, 0x91}, unknown = {0x101, 0x91};
  EXPECT_EQ(MemoryKey(inA, &a, 1), MemoryKey(inB, &b, 2)) << "the same character under two codes";
  EXPECT_NE(MemoryKey(unknown, &a, 1), MemoryKey(unknown, &b, 2)) << "one code, two unknown characters";
  EXPECT_EQ(MemoryKey(unknown, &a, 1), MemoryKey(unknown, &a, 1));
  EXPECT_NE(MemoryKey(inA, &a, 1), MemoryKey(inA, nullptr, 1));
}

TEST(Propagation, FillsUntranslatedTwinsOnlyWhenTheSourcesAgree) {
  CTranslationMemory memory;
  memory.Add(Entry("X5A.bin", 0, 0, "yes", "Yes."));
  memory.Add(Entry("X5A.bin", 0, 1, "yes", "")); // takes "Yes." from 0:0
  memory.Add(Entry("X5A.bin", 0, 2, "no", "No."));
  memory.Add(Entry("X5A.bin", 0, 3, "no", "Nope.")); // disagree
  memory.Add(Entry("X5B.bin", 0, 0, "no", ""));      // stays empty
  memory.Add(Entry("X5B.bin", 0, 1, "", ""));        // no Japanese: nothing
  memory.Add(Entry("X5B.bin", 0, 2, "", ""));
  memory.Add(Entry("X5B.bin", 0, 3, "yes", ""));
  memory.Add(Entry("X5B.bin", 0, 4, "lone", ""));
  auto plan = PlanPropagation(memory);
  ASSERT_EQ(plan.size(), 2u);
  EXPECT_EQ(plan[0].m_target, 1u);
  EXPECT_EQ(plan[0].m_source, 0u);
  EXPECT_EQ(plan[1].m_target, 7u);
  EXPECT_EQ(plan[1].m_source, 0u);
}

TEST(Propagation, TheCommandWritesTheChunkFilesUnlessDryRun) {
  testing::CScratchDir dir("quillan_propagate_");
  // Two scripts; each entry's Japanese is one of a few repeated lines.
  for (const std::string name : {"x5AAA.bin", "x5BBB.bin"}) {
    testing::CScriptSpec spec;
    spec.m_pages.resize(1);
    for (int line = 0; line < 6; ++line)
      spec.m_pages[0].push_back({uint16_t(0x91 + line % 3), 0x96, 0x0002, 0x0000});
    testing::WriteBytes(dir.Path() / name, testing::BuildScript(spec).m_bytes);
  }
  auto chunkA = dir.Path() / "Scripts" / "PATCHED INFO" / "AAA" / "x5AAA0.tk7";
  auto chunkB = dir.Path() / "Scripts" / "PATCHED INFO" / "BBB" / "x5BBB0.tk7";
  std::vector<EnglishString> a = {English("A\x02"), {0}, English("C\x02"), {0}, English("X\x02"), {0}};
  std::vector<EnglishString> b = {{0}, English("Y\x02"), {0}, {0}, {0}, {0}}; // Y disagrees with X
  testing::WriteBytes(chunkA, EnglishChunkBytes(a));
  testing::WriteBytes(chunkB, EnglishChunkBytes(b));
  auto beforeA = testing::ReadBytes(chunkA), beforeB = testing::ReadBytes(chunkB);

  auto dry = testing::RunCli(QUILLAN_CLI, "propagate --dry-run", dir.Path());
  ASSERT_EQ(dry.m_status, 0) << dry.m_err;
  EXPECT_EQ(dry.m_out, "x5AAA.bin\t0\t3\tx5AAA.bin 0:0\n"
                       "x5AAA.bin\t0\t5\tx5AAA.bin 0:2\n"
                       "x5BBB.bin\t0\t0\tx5AAA.bin 0:0\n"
                       "x5BBB.bin\t0\t2\tx5AAA.bin 0:2\n"
                       "x5BBB.bin\t0\t3\tx5AAA.bin 0:0\n"
                       "x5BBB.bin\t0\t5\tx5AAA.bin 0:2\n"
                       "propagated: 6\n");
  EXPECT_EQ(testing::ReadBytes(chunkA), beforeA);
  EXPECT_EQ(testing::ReadBytes(chunkB), beforeB);

  auto run = testing::RunCli(QUILLAN_CLI, "propagate", dir.Path());
  ASSERT_EQ(run.m_status, 0) << run.m_err;
  EXPECT_EQ(run.m_out, dry.m_out);
  auto aaa = ReadEnglishChunk(testing::ReadBytes(chunkA), 6);
  auto bbb = ReadEnglishChunk(testing::ReadBytes(chunkB), 6);
  EXPECT_EQ(aaa[3], English("A\x02"));
  EXPECT_EQ(aaa[5], English("C\x02"));
  EXPECT_EQ(aaa[1], EnglishString{0}) << "its twins disagree";
  EXPECT_EQ(bbb[4], EnglishString{0}) << "its twins disagree";
  EXPECT_EQ(bbb[0], English("A\x02"));
  EXPECT_EQ(bbb[1], English("Y\x02"));
  // The project is the scripts named: within BBB alone, Y has no rival.
  auto named = testing::RunCli(QUILLAN_CLI, "propagate --dry-run x5BBB.bin", dir.Path());
  EXPECT_EQ(named.m_out, "x5BBB.bin\t0\t4\tx5BBB.bin 0:1\npropagated: 1\n");
}

TEST(Glossary, ReadsTermsAndNamesEveryMalformedLine) {
  std::string text = "# names\n"
                     "\xe5\x8b\x87\xe8\x80\x85\tHero\tthe player\r\n"
                     "\n"
                     "\xe3\x81\xaf\xe3\x81\x84\tyes\n"
                     "no tab here\n"
                     "\tEmpty\n"
                     "a\tb\tc\td\n"
                     "\xe3\x81\x8a\xe3\x81\x8b\xe3\x81\xad\tmoney\n"
                     "bad \xff\tx\n";
  CGlossary glossary = ParseGlossary(text, "glossary.txt");
  ASSERT_EQ(glossary.m_terms.size(), 3u);
  EXPECT_EQ(glossary.m_terms[0].m_japanese, u"勇者");
  EXPECT_EQ(glossary.m_terms[0].m_english, "Hero");
  EXPECT_EQ(glossary.m_terms[0].m_note, "the player");
  EXPECT_EQ(glossary.m_terms[2].m_lineNumber, 8);
  ASSERT_EQ(glossary.m_problems.size(), 4u);
  EXPECT_EQ(glossary.m_problems[0], "glossary.txt:5: expected JAPANESE<TAB>ENGLISH[<TAB>NOTE], found 1 field");
  EXPECT_EQ(glossary.m_problems[1], "glossary.txt:6: the Japanese term is empty");
  EXPECT_EQ(glossary.m_problems[2], "glossary.txt:7: expected JAPANESE<TAB>ENGLISH[<TAB>NOTE], found 4 fields");
  EXPECT_EQ(glossary.m_problems[3], "glossary.txt:9: not UTF-8 text");
}

TEST(Glossary, CheckFlagsATermWhoseEnglishIsMissing) {
  CGlossary glossary = ParseGlossary("勇者\tHero\tthe player\nはい\tYes\nカフェ\tCafé\n", "glossary.txt");
  EXPECT_EQ(TermsInText(glossary, u"勇者よ、はい"), (std::vector<size_t>{0, 1}));
  EXPECT_TRUE(GlossaryFindings(glossary, u"勇者よ", English("Oh HERO!\x02")).empty()) << "case does not count";
  EXPECT_TRUE(GlossaryFindings(glossary, u"勇者よ", {0}).empty()) << "untranslated entries are not checked";
  auto findings = GlossaryFindings(glossary, u"勇者よ、はい", English("Oh brave one. Yes\x02"));
  ASSERT_EQ(findings.size(), 1u);
  EXPECT_EQ(findings[0], "\"勇者\" is \"Hero\" in the glossary (the player)");
  EXPECT_TRUE(GlossaryFindings(glossary, u"カフェ", English("The cafe")).empty()) << "accents as the game holds them";
}

TEST(Glossary, TheCheckCommandReportsTermsAndMalformedLines) {
  testing::CScratchDir dir("quillan_glossary_");
  testing::CScriptSpec spec;
  spec.m_pages.resize(1);
  for (int line = 0; line < 3; ++line)
    spec.m_pages[0].push_back({0x91, 0x92, 0x96, 0x02, 0x0000}); // あいか
  testing::WriteBytes(dir.Path() / "x5GLO.bin", testing::BuildScript(spec).m_bytes);
  std::vector<EnglishString> english = {English("Love, AI!\x02"), English("Love!\x02"), {0}};
  testing::WriteBytes(dir.Path() / "Scripts" / "PATCHED INFO" / "GLO" / "x5GLO0.tk7", EnglishChunkBytes(english));
  testing::WriteText(dir.Path() / "data" / "glossary.txt",
                     "# names\n\xe3\x81\x82\xe3\x81\x84\tAi\tthe heroine\nbroken\n");

  auto run = testing::RunCli(QUILLAN_CLI, "check", dir.Path());
  std::vector<std::string> glossaryLines;
  for (const auto &line : testing::Lines(run.m_out))
    if (line.find("\tglossary\t") != std::string::npos) glossaryLines.push_back(line);
  ASSERT_EQ(glossaryLines.size(), 1u) << run.m_out;
  EXPECT_EQ(glossaryLines[0], "x5GLO.bin\t0\t1\twarning\tglossary\t\"\xe3\x81\x82\xe3\x81\x84\" is \"Ai\" in the "
                              "glossary (the heroine)");
  EXPECT_NE(run.m_err.find("warning: glossary.txt:3: expected JAPANESE<TAB>ENGLISH"), std::string::npos) << run.m_err;
}

} // namespace
} // namespace quillan
