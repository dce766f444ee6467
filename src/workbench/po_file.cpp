#include "workbench/po_file.h"

#include <gettext-po.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "core/file_io.h"

namespace quillan {

namespace {

// libgettextpo reports problems through a handler of plain functions; the
// problems of the call under way are collected here (one call at a time).
struct CPoProblems {
  std::string m_text;
  int m_count = 0;
};
thread_local CPoProblems *t_problems = nullptr;

void AddProblem(int severity, const char *filename, size_t lineno, const char *message) {
  if (!t_problems || severity == PO_SEVERITY_WARNING) return;
  if (t_problems->m_count > 0) t_problems->m_text += "; ";
  ++t_problems->m_count;
  if (filename && lineno != size_t(-1)) t_problems->m_text += "line " + std::to_string(lineno) + ": ";
  std::string text = message ? message : "unknown problem";
  while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
    text.pop_back();
  t_problems->m_text += text;
}

// The library's contract asks a handler not to return from a fatal error;
// libgettextpo's readers and writers do carry on and return when it does,
// which is what lets us refuse the file instead of ending the program.
void OnXError(int severity, po_message_t, const char *filename, size_t lineno, size_t, int, const char *message) {
  AddProblem(severity, filename, lineno, message);
}

void OnXError2(int severity, po_message_t, const char *filename1, size_t lineno1, size_t, int, const char *message1,
               po_message_t, const char *, size_t, size_t, int, const char *message2) {
  std::string both = std::string(message1 ? message1 : "") + " " + (message2 ? message2 : "");
  AddProblem(severity, filename1, lineno1, both.c_str());
}

const po_xerror_handler kHandler = {OnXError, OnXError2};

struct CPoFileFree {
  void operator()(po_file_t file) const {
    if (file) po_file_free(file);
  }
};
using CPoFilePtr = std::unique_ptr<std::remove_pointer_t<po_file_t>, CPoFileFree>;

struct CProblemScope {
  CPoProblems m_problems;
  CProblemScope() { t_problems = &m_problems; }
  ~CProblemScope() { t_problems = nullptr; }
};

bool IsUtf8Charset(const std::string &header) {
  std::string type = PoHeaderField(header, "Content-Type");
  auto at = type.find("charset=");
  if (at == std::string::npos) return true; // no charset: ASCII
  std::string charset = type.substr(at + 8);
  while (!charset.empty() && (charset.back() == ' ' || charset.back() == ';'))
    charset.pop_back();
  for (auto &c : charset)
    c = char(std::toupper(uint8_t(c)));
  return charset == "UTF-8" || charset == "UTF8" || charset == "ASCII" || charset == "US-ASCII" || charset == "CHARSET";
}

} // namespace

std::string PoHeaderField(const std::string &header, const std::string &name) {
  size_t start = 0;
  while (start < header.size()) {
    size_t end = header.find('\n', start);
    if (end == std::string::npos) end = header.size();
    std::string_view line(header.data() + start, end - start);
    if (line.size() > name.size() && line.substr(0, name.size()) == name && line[name.size()] == ':') {
      std::string_view value = line.substr(name.size() + 1);
      while (!value.empty() && value.front() == ' ')
        value.remove_prefix(1);
      return std::string(value);
    }
    start = end + 1;
  }
  return {};
}

CResult<std::string> FormatPoFile(const CPoCatalog &catalog) {
  CProblemScope scope;
  CPoFilePtr file(po_file_create());
  po_message_iterator_t iterator = po_message_iterator(file.get(), nullptr);
  po_message_t header = po_message_create();
  po_message_set_msgid(header, "");
  po_message_set_msgstr(header, catalog.m_header.c_str());
  po_message_insert(iterator, header);
  for (const CPoMessage &m : catalog.m_messages) {
    po_message_t message = po_message_create();
    po_message_set_msgctxt(message, m.m_context.c_str());
    po_message_set_msgid(message, m.m_id.c_str());
    po_message_set_msgstr(message, m.m_str.c_str());
    if (m.m_fuzzy) po_message_set_fuzzy(message, 1);
    po_message_insert(iterator, message);
  }
  po_message_iterator_free(iterator);

  // The library writes to a named file only: a private one in the temporary
  // folder, read back and removed.
  std::string pattern = PathText(std::filesystem::temp_directory_path() / "quillan-po-XXXXXX");
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back(0);
  int fd = mkstemp(name.data());
  if (fd < 0) return MakeError("cannot create a temporary file for the PO text: " + std::string(std::strerror(errno)));
  close(fd);
  po_file_write(file.get(), name.data(), &kHandler);
  auto bytes = ReadFileBytes(name.data());
  std::remove(name.data());
  if (scope.m_problems.m_count > 0) return MakeError("PO text: " + scope.m_problems.m_text);
  if (!bytes) return bytes.Error();
  std::string written(bytes->begin(), bytes->end());

  // Flags the library has no setter for go before each message's msgctxt,
  // where the "#, " lines of a message stand.
  std::string out;
  out.reserve(written.size() + 64 * catalog.m_messages.size());
  size_t next = 0, at = 0;
  while (at < written.size()) {
    size_t end = written.find('\n', at);
    end = end == std::string::npos ? written.size() : end + 1;
    std::string_view line(written.data() + at, end - at);
    if (line.starts_with("msgctxt ")) {
      if (next < catalog.m_messages.size() && !catalog.m_messages[next].m_extraFlag.empty())
        out += "#, " + catalog.m_messages[next].m_extraFlag + "\n";
      ++next;
    }
    out += line;
    at = end;
  }
  return out;
}

CResult<CPoCatalog> ReadPoFile(const std::filesystem::path &path) {
  const std::string name = PathText(path);
  {
    // libgettextpo reports a missing file as a fatal error without a reason.
    auto probe = ReadFileBytes(path);
    if (!probe) return probe.Error();
  }
  CProblemScope scope;
  CPoFilePtr file(po_file_read(name.c_str(), &kHandler));
  if (scope.m_problems.m_count > 0 || !file) {
    std::string why = scope.m_problems.m_count > 0 ? scope.m_problems.m_text : "cannot be read as a PO file";
    return MakeError(name + ": " + why + "; nothing was imported");
  }
  CPoCatalog catalog;
  if (const char *header = po_file_domain_header(file.get(), nullptr)) catalog.m_header = header;
  if (!IsUtf8Charset(catalog.m_header))
    return MakeError(name + ": the file's charset is not UTF-8 (" + PoHeaderField(catalog.m_header, "Content-Type") +
                     "); convert it with msgconv --to-code=UTF-8");
  po_message_iterator_t iterator = po_message_iterator(file.get(), nullptr);
  while (po_message_t message = po_next_message(iterator)) {
    if (po_message_is_obsolete(message)) continue;
    const char *id = po_message_msgid(message);
    const char *context = po_message_msgctxt(message);
    if (!context && id && *id == 0) continue; // the header
    CPoMessage m;
    m.m_context = context ? context : "";
    m.m_id = id ? id : "";
    const char *str = po_message_msgstr(message);
    m.m_str = str ? str : "";
    m.m_fuzzy = po_message_is_fuzzy(message) != 0;
    catalog.m_messages.push_back(std::move(m));
  }
  po_message_iterator_free(iterator);
  return catalog;
}

} // namespace quillan
