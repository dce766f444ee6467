#include "cli/cli_project.h"

#include <algorithm>
#include <cstdio>

#include "cli/cli_command.h"
#include "core/file_io.h"

namespace quillan::cli {

CParsedArgs ParseProjectArgs(const std::vector<std::string> &args, std::vector<std::string> flags,
                             std::vector<std::string> valued) {
  auto dashes = std::find(args.begin(), args.end(), std::string("--"));
  CParsedArgs parsed = ParseArgs(std::vector<std::string>(args.begin(), dashes), flags, valued);
  if (dashes != args.end()) parsed.m_positional.insert(parsed.m_positional.end(), dashes + 1, args.end());
  return parsed;
}

CResult<CLoadedProject> LoadProject(const CParsedArgs &parsed, const std::vector<std::string> &scripts) {
  std::filesystem::path workdir = parsed.Value("--workdir").value_or(".");
  std::error_code error;
  if (!std::filesystem::is_directory(workdir, error))
    return MakeError(PathText(workdir) + ": the working folder does not exist");
  auto paths = ProjectScripts(workdir, scripts);
  if (paths.empty()) return MakeError(PathText(workdir) + ": no x5*.bin script in the working folder");
  CLoadedProject project;
  (void)project.m_index.Build(workdir, paths);
  for (const CError &failure : project.m_index.Errors()) {
    Fail(failure.Message());
    project.m_allRead = false;
  }
  return project;
}

std::string JsonString(std::string_view text) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (uint8_t(c) < 0x20) {
      out += "\\u00";
      out += kDigits[uint8_t(c) >> 4];
      out += kDigits[uint8_t(c) & 0xF];
    } else {
      out += c;
    }
  }
  out += '"';
  return out;
}

void CRecordWriter::Line(const std::string &line, const CJsonRecord &record) {
  if (!m_json) {
    m_out += line;
    m_out += '\n';
  } else {
    m_out += m_first ? "[\n  {" : ",\n  {";
    m_first = false;
    for (size_t i = 0; i < record.size(); ++i) {
      if (i) m_out += ", ";
      m_out += JsonString(record[i].first);
      m_out += ": ";
      m_out += record[i].second;
    }
    m_out += '}';
  }
  if (m_out.size() > (1 << 16)) Flush();
}

void CRecordWriter::Flush() {
  std::fwrite(m_out.data(), 1, m_out.size(), stdout);
  m_out.clear();
}

bool CRecordWriter::Finish() {
  if (m_json) m_out += m_first ? "[]\n" : "\n]\n";
  Flush();
  return std::fflush(stdout) == 0;
}

} // namespace quillan::cli
