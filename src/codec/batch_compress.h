#pragma once
// Compress All: a replacement script for every script of the game in one
// run, from the English chunk files saved on disk, without opening each
// script. The run works on storage of its own and never touches the open
// document, so unsaved edits stay as they are.
//
// The scripts of the run (BatchScriptList) are the lines of
// <base>/data/scriptlist.txt: one script file name per line; blank lines and
// lines starting with '#' are ignored. Without that file they are the x5*.bin
// files (the pattern matched without regard to case) in the folder of the
// open script, sorted by byte value. The open script is compressed first and
// last, the list in between.
//
// Each script is compressed with its own layout. When its script file lies
// beside the open script and can be read, that file's header length, page
// count and last-page entry count rule, and the chunk files only fill them.
// Otherwise its page count is the number of its chunk files (up to the last
// one present) and its last page's entry count the number of strings in the
// last one, with the open script's header length. The open script itself
// (also a list name that differs from its name only in letter case) uses the
// values read from it when it was opened. Only a missing chunk file means "no
// text": one that exists but cannot be read stops the run, and nothing is
// written for that script.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "codec/text_encoder.h"
#include "core/document.h"
#include "core/result.h"

namespace quillan {

std::filesystem::path BatchScriptListPath(const std::filesystem::path &baseDir); // <base>/data/scriptlist.txt

// The names of a list file's text; fails on the first line that is not a
// plain file name (a folder separator, "..", no short name), naming it.
CResult<std::vector<std::string>> ParseBatchScriptList(std::string_view text, std::string_view fileName);

struct CBatchScriptList {
  std::vector<std::string> m_names;
  std::string m_source; // where the names came from, for messages
};

// The list file when it exists, otherwise the x5*.bin files in scriptDir.
CResult<CBatchScriptList> ReadBatchScriptList(const std::filesystem::path &baseDir,
                                              const std::filesystem::path &scriptDir);

// What a run needs, copied from the document when the run is planned.
struct CBatchPlan {
  std::filesystem::path m_baseDir;
  std::filesystem::path m_scriptDir; // folder of the open script
  std::string m_openScriptName;      // its file name, the stem of its chunk files
  std::string m_openShortName;
  uint32_t m_headerLength = 0;
  int32_t m_pageCount = 0;
  int32_t m_linesOnLastPage = 0;
  std::vector<std::string> m_runs; // in run order: the open script, the list, the open script
  std::string m_listSource;
};

// Fails when no script is open or the list file is malformed.
CResult<CBatchPlan> PlanCompressAll(const CTranslationDocument &doc);

struct CBatchItem {
  std::string m_name;
  bool m_ok = false;
  std::string m_message; // the failure, or notes on how the script was compressed; may be empty
  CCompressOutcome m_outcome;
};

struct CBatchReport {
  std::vector<CBatchItem> m_items; // one per run made
  int m_total = 0;                 // runs planned
  bool m_cancelled = false;
  std::string m_stoppedBy; // a failure that ended the run (the English font, an unreadable chunk file)

  int Failures() const;
  // The text for the message box at the end: counts, then every failure
  // and note by script.
  std::string Summary() const;
};

// Called after each script with the number done so far; returning false
// stops the run after that script.
using CBatchProgress = std::function<bool(int done, int total, const CBatchItem &item)>;

// The English fonts of a run, read once per header length.
class CFontCache {
public:
  explicit CFontCache(std::filesystem::path baseDir) : m_baseDir(std::move(baseDir)) {}
  const CResult<std::vector<uint8_t>> &Font(uint32_t headerLength);

private:
  std::filesystem::path m_baseDir;
  std::vector<std::pair<uint32_t, CResult<std::vector<uint8_t>>>> m_fonts;
};

// Loads the saved English text of the script name and compresses it into
// <base>/compress/X5<short name>.bin. A name equal to the open script's file
// name (without regard to letter case) uses the open script's layout.
// stopsRun is set when the failure ends the whole run: the English font, which
// no other script can do without, or a chunk file that cannot be read.
CBatchItem CompressScriptByName(const CBatchPlan &plan, const std::string &name, CFontCache &fonts,
                                bool *stopsRun = nullptr);

// Runs the plan; a script that fails is reported and the run goes on, except
// when its English font cannot be used or a chunk file cannot be read.
CBatchReport RunCompressAll(const CBatchPlan &plan, const CBatchProgress &progress = {});

// PlanCompressAll, then RunCompressAll. (Inside CQuillanDlg call it
// qualified: quillan::CompressAll(*this, progress).)
CResult<CBatchReport> CompressAll(const CTranslationDocument &doc, const CBatchProgress &progress = {});

} // namespace quillan
