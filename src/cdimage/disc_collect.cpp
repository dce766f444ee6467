#include "cdimage/disc_collect.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>

#include "core/file_io.h"

namespace quillan {

namespace {

constexpr size_t kCopyChunk = size_t(1) << 20;
constexpr size_t kNamesInNote = 5;
constexpr std::string_view kCancelled = "cancelled";

std::string FoldCase(std::string_view name) {
  std::string folded(name);
  for (char &c : folded)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return folded;
}

std::string ListNames(const std::vector<std::string> &names) {
  std::string text;
  for (size_t i = 0; i < names.size() && i < kNamesInNote; ++i) text += (i ? ", " : "") + names[i];
  if (names.size() > kNamesInNote) text += " and " + std::to_string(names.size() - kNamesInNote) + " more";
  return text;
}

} // namespace

CError CancelledError() { return MakeError(std::string(kCancelled)); }

bool IsCancelledError(const CError &error) {
  const std::string &message = error.Message();
  return message.size() >= kCancelled.size() &&
         std::string_view(message).substr(message.size() - kCancelled.size()) == kCancelled;
}

bool HasShortExtension(std::string_view name) {
  size_t dot = name.rfind('.');
  return dot == std::string_view::npos || name.size() - dot - 1 <= 3;
}

uint64_t CCollectPlan::TotalBytes() const {
  uint64_t total = 0;
  for (const auto &file : m_files) total += file.m_size;
  return total;
}

const CCollectedFile *CCollectPlan::Find(std::string_view name) const {
  std::string key = FoldCase(name);
  for (const auto &file : m_files)
    if (FoldCase(file.m_name) == key) return &file;
  return nullptr;
}

CResult<CCollectPlan> PlanCollection(const std::vector<CCollectSource> &sources) {
  CCollectPlan plan;
  std::map<std::string, CCollectedFile> byKey;
  for (const auto &source : sources) {
    std::string where = source.m_role + " folder " + PathText(source.m_folder);
    std::error_code error;
    if (!std::filesystem::is_directory(source.m_folder, error)) {
      if (source.m_required) return MakeError(where + ": not found or not a folder");
      plan.m_notes.push_back(where + " not found: nothing copied from it");
      continue;
    }
    std::vector<std::filesystem::directory_entry> entries;
    std::filesystem::directory_iterator it(source.m_folder, error), end;
    for (; !error && it != end; it.increment(error)) entries.push_back(*it);
    if (error) return MakeError(where + ": cannot list: " + error.message());
    std::sort(entries.begin(), entries.end(),
              [](const auto &a, const auto &b) { return a.path().filename() < b.path().filename(); });

    std::vector<std::string> longExtensions, folders;
    size_t taken = 0;
    for (const auto &entry : entries) {
      std::string name = PathText(entry.path().filename());
      if (name.empty() || name[0] == '.') continue;
      std::error_code statusError;
      if (entry.is_directory(statusError)) {
        folders.push_back(name);
        continue;
      }
      if (!entry.is_regular_file(statusError)) continue;
      if (!HasShortExtension(name)) {
        longExtensions.push_back(name);
        continue;
      }
      uint64_t size = entry.file_size(statusError);
      if (statusError) return MakeError(where + ": " + name + ": " + statusError.message());
      auto [slot, added] = byKey.try_emplace(FoldCase(name), CCollectedFile{name, entry.path(), source.m_role, size});
      if (!added) slot->second = CCollectedFile{slot->second.m_name, entry.path(), source.m_role, size};
      ++taken;
    }
    if (source.m_required && taken == 0)
      return MakeError(where + ": holds no files to put on the image (is the disc mounted?)");
    if (!longExtensions.empty())
      plan.m_notes.push_back(where +
                             ": not copied (extension longer than three characters): " + ListNames(longExtensions));
    if (!folders.empty())
      plan.m_notes.push_back(
          where + ": sub-folders not copied (only the files of the folder itself are): " + ListNames(folders));
  }
  for (auto &[key, file] : byKey) plan.m_files.push_back(std::move(file));
  std::sort(plan.m_files.begin(), plan.m_files.end(), [](const auto &a, const auto &b) { return a.m_name < b.m_name; });
  return plan;
}

CStatus CopyFileWithProgress(const std::filesystem::path &from, const std::filesystem::path &to, uint64_t &done,
                             uint64_t total, const CProgressCallback &progress) {
  std::string name = PathText(to.filename());
  CFilePtr in(std::fopen(from.c_str(), "rb"));
  if (!in) return MakeError(PathText(from) + ": cannot open: " + std::strerror(errno));
  CFilePtr out(std::fopen(to.c_str(), "wb"));
  if (!out) return MakeError(PathText(to) + ": cannot create: " + std::strerror(errno));
  std::vector<char> buffer(kCopyChunk);
  for (;;) {
    if (!ReportProgress(progress, CProgress{"collect", name, done, total})) return CancelledError();
    size_t got = std::fread(buffer.data(), 1, buffer.size(), in.get());
    if (got > 0 && std::fwrite(buffer.data(), 1, got, out.get()) != got)
      return MakeError(PathText(to) + ": write failed: " + std::strerror(errno));
    done += got;
    if (got < buffer.size()) break;
  }
  if (std::ferror(in.get())) return MakeError(PathText(from) + ": read error: " + std::strerror(errno));
  std::FILE *raw = out.release();
  if (std::fclose(raw) != 0) return MakeError(PathText(to) + ": write failed: " + std::strerror(errno));
  // The image records the files' dates; keep the source's.
  std::error_code ignored;
  auto time = std::filesystem::last_write_time(from, ignored);
  if (!ignored) std::filesystem::last_write_time(to, time, ignored);
  return CStatus::Success();
}

CStatus CopyCollection(const CCollectPlan &plan, const std::filesystem::path &folder,
                       const CProgressCallback &progress) {
  uint64_t total = plan.TotalBytes();
  uint64_t done = 0;
  for (const auto &file : plan.m_files) {
    if (auto status = CopyFileWithProgress(file.m_source, folder / file.m_name, done, total, progress); !status)
      return status;
  }
  if (!ReportProgress(progress, CProgress{"collect", "", total, total})) return CancelledError();
  return CStatus::Success();
}

} // namespace quillan
