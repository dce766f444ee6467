#include "support/disc_fixture.h"

#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <stdexcept>

#include "cdimage/child_process.h"
#include "core/file_io.h"

namespace quillan::testing::disc {

namespace fs = std::filesystem;

std::vector<uint8_t> PatternBytes(size_t size, uint8_t seed) {
  std::vector<uint8_t> bytes(size);
  uint32_t state = 0x9E3779B9u * (seed + 1u);
  for (auto &byte : bytes) {
    state = state * 1664525u + 1013904223u;
    byte = uint8_t(state >> 24);
  }
  return bytes;
}

void WriteBytes(const fs::path &path, const std::vector<uint8_t> &bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

void WriteText(const fs::path &path, std::string_view text) { WriteBytes(path, {text.begin(), text.end()}); }

std::vector<uint8_t> ReadBytes(const fs::path &path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteScript(const fs::path &path, std::string_view body) {
  WriteText(path, "#!/bin/sh\n" + std::string(body) + "\n");
  fs::permissions(path, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec,
                  fs::perm_options::replace);
}

CDiscFixture MakeDiscFixture(const fs::path &root) { return MakeDiscFixture(root, root / "work dir's" / "temp"); }

CDiscFixture MakeDiscFixture(const fs::path &root, const fs::path &sortFolder) {
  CDiscFixture fixture;
  fixture.m_work = root / "work dir's";
  fixture.m_disc = root / "game \"disc\"";
  const auto &work = fixture.m_work;
  const auto &disc = fixture.m_disc;

  // Sizes that do not fill whole sectors, so the extents show the layout.
  auto game = PatternBytes(5000, 1), movie = PatternBytes(7000, 2), discAbc = PatternBytes(3000, 3),
       discDef = PatternBytes(2500, 4);
  WriteBytes(disc / "GAME.BIN", game);
  WriteBytes(disc / "MOVIE.STR", movie);
  WriteBytes(disc / "X5ABC.BIN", discAbc);
  WriteBytes(disc / "X5DEF.BIN", discDef);
  WriteText(disc / "readme.html", "a long extension stays off the image\n");
  WriteText(disc / ".hidden", "hidden files stay off the image\n");
  WriteText(disc / "SUB" / "INNER.BIN", "sub-folders stay off the image\n");

  auto patchDef = PatternBytes(1234, 5), patchAbc = PatternBytes(900, 6), patchOnly = PatternBytes(4100, 7);
  WriteBytes(work / "Patch" / "X5DEF.BIN", patchDef);
  WriteBytes(work / "Patch" / "x5abc.bin", patchAbc);
  WriteBytes(work / "Patch" / "PATCH.DAT", patchOnly);

  auto compressAbc = PatternBytes(2100, 8);
  WriteBytes(work / "compress" / "X5abc.bin", compressAbc);

  fixture.m_bootFile = PatternBytes(1500, 9);
  WriteBytes(work / "data" / "tk72ip.bin", fixture.m_bootFile);

  fixture.m_sortOrder = {"MOVIE.STR", "X5DEF.BIN", "PATCH.DAT", "GAME.BIN", "X5ABC.BIN"};
  std::string sort;
  int weight = 50;
  for (const auto &name : fixture.m_sortOrder) {
    sort += PathText(sortFolder / name) + " " + std::to_string(weight) + "\n";
    weight -= 10;
  }
  WriteText(work / "data" / "tk7-2.txt", sort);

  fixture.m_expected = {{"GAME.BIN", game},      {"MOVIE.STR", movie},     {"X5ABC.BIN", compressAbc},
                        {"X5DEF.BIN", patchDef}, {"PATCH.DAT", patchOnly}, {"CDDA2", {}}};
  return fixture;
}

namespace {

std::string IsoName(std::string name) {
  if (auto semicolon = name.find(';'); semicolon != std::string::npos) name.erase(semicolon);
  if (!name.empty() && name.back() == '.') name.pop_back();
  return name;
}

CResult<std::string> Output(const std::vector<std::string> &arguments) {
  auto run = RunProcess(arguments);
  if (!run) return run.Error();
  if (!run->Succeeded()) return MakeError(arguments[0] + " failed (" + run->Describe() + "): " + run->ErrorTail());
  return run->m_output;
}

std::vector<uint8_t> FromHex(std::string_view hex) {
  std::vector<uint8_t> bytes;
  auto digit = [](char c) { return c <= '9' ? c - '0' : c - 'a' + 10; };
  for (size_t i = 0; i + 1 < hex.size(); i += 2)
    bytes.push_back(uint8_t(digit(hex[i]) * 16 + digit(hex[i + 1])));
  return bytes;
}

constexpr const char *kPycdlibLister = R"(import io, sys
import pycdlib
iso = pycdlib.PyCdlib()
iso.open(sys.argv[1])
for child in iso.list_children(iso_path='/'):
    if child.is_dot() or child.is_dotdot():
        continue
    name = child.file_identifier().decode()
    data = io.BytesIO()
    if not child.is_dir():
        iso.get_file_from_iso_fp(data, iso_path='/' + name)
    print(name, child.extent_location(), child.get_data_length(), data.getvalue().hex() or '-')
iso.close()
)";

} // namespace

CResult<CIsoListing> ReadIsoWithIsoinfo(const fs::path &image) {
  auto listing = Output({"isoinfo", "-l", "-i", PathText(image)});
  if (!listing) return listing.Error();
  CIsoListing files;
  std::istringstream lines(*listing);
  std::string line;
  while (std::getline(lines, line)) {
    // ----------   0    0    0            5000 Dec 10 2026 [     30 00]  GAME.BIN;1
    if (line.empty() || line[0] != '-') continue;
    size_t open = line.find('['), close = line.find(']');
    if (open == std::string::npos || close == std::string::npos) continue;
    std::istringstream head(line.substr(0, open));
    std::string field;
    std::vector<std::string> fields;
    while (head >> field)
      fields.push_back(field);
    if (fields.size() < 5) return MakeError("isoinfo: unexpected line: " + line);
    std::string raw = line.substr(close + 1);
    raw.erase(0, raw.find_first_not_of(' '));
    raw.erase(raw.find_last_not_of(' ') + 1);
    CIsoFile file;
    file.m_extent = uint32_t(std::stoul(line.substr(open + 1)));
    file.m_size = std::stoull(fields[4]);
    auto bytes = Output({"isoinfo", "-i", PathText(image), "-x", "/" + raw});
    if (!bytes) return bytes.Error();
    file.m_bytes.assign(bytes->begin(), bytes->end());
    files[IsoName(raw)] = std::move(file);
  }
  return files;
}

CResult<CIsoListing> ReadIsoWithPycdlib(const fs::path &image) {
  // Debian's pycdlib belongs to the system's Python.
  std::string python = IsExecutableFile("/usr/bin/python3") ? "/usr/bin/python3" : "python3";
  auto listing = Output({python, "-c", kPycdlibLister, PathText(image)});
  if (!listing) return listing.Error();
  CIsoListing files;
  std::istringstream lines(*listing);
  std::string name, hex;
  CIsoFile file;
  while (lines >> name >> file.m_extent >> file.m_size >> hex) {
    file.m_bytes = hex == "-" ? std::vector<uint8_t>() : FromHex(hex);
    files[IsoName(name)] = file;
  }
  return files;
}

fs::path SystemImageBuilder() {
  for (const char *name : {"genisoimage", "mkisofs", "xorrisofs"})
    if (auto found = FindOnPath(name, SearchPath())) return *found;
  return {};
}

} // namespace quillan::testing::disc
