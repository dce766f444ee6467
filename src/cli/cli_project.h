#pragma once
// What status, search and check share: the project's scripts from the
// command line, the index over them, and the JSON form of their records.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_args.h"
#include "workbench/project_index.h"

namespace quillan::cli {

// The arguments with everything after "--" taken as positional.
CParsedArgs ParseProjectArgs(const std::vector<std::string> &args, std::vector<std::string> flags,
                             std::vector<std::string> valued);

struct CLoadedProject {
  CProjectIndex m_index;
  bool m_allRead = true; // false when a script could not be read (reported on stderr)
};

// Indexes the named scripts, or every x5*.bin of the working folder
// (--workdir, else the current folder). Scripts that cannot be read are
// reported on stderr, one line each, and left out. Fails when there is no
// script at all.
CResult<CLoadedProject> LoadProject(const CParsedArgs &parsed, const std::vector<std::string> &scripts);

// A JSON string literal of UTF-8 text.
std::string JsonString(std::string_view text);

// Writes records as text lines or as one JSON array of objects; the records
// are given as (key, JSON value) pairs.
using CJsonRecord = std::vector<std::pair<const char *, std::string>>;
class CRecordWriter {
public:
  explicit CRecordWriter(bool json) : m_json(json) {}
  void Line(const std::string &line, const CJsonRecord &record);
  // Writes what is left and the end of the array; false when stdout failed.
  bool Finish();

private:
  void Flush();
  bool m_json;
  bool m_first = true;
  std::string m_out;
};

} // namespace quillan::cli
