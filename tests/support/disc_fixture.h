#pragma once
// Fixtures for the disc image tests: a throw-away folder, a small game disc
// with a working folder around it, executable stand-ins for the image
// builder, and two independent readers of the images (isoinfo and Python's
// pycdlib) that list what an image holds.

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "core/result.h"
#include "support/scratch_dir.h"

namespace quillan::testing::disc {

// A fresh folder below the system's temporary folder, deleted with the
// object. Its name holds a space and an apostrophe, so that every path built
// on it would break a command line put together for a shell.
class CScratchFolder : public CScratchDir {
public:
  CScratchFolder() : CScratchDir("quillan disc's ") {}
};

// Bytes that differ from those of any other seed.
std::vector<uint8_t> PatternBytes(size_t size, uint8_t seed);

void WriteBytes(const std::filesystem::path &path, const std::vector<uint8_t> &bytes);
void WriteText(const std::filesystem::path &path, std::string_view text);
std::vector<uint8_t> ReadBytes(const std::filesystem::path &path);
// Writes a shell script and makes it executable.
void WriteScript(const std::filesystem::path &path, std::string_view body);

// A working folder (data/tk7-2.txt, data/tk72ip.bin, Patch/, compress/) and
// a game disc folder beside it. The same names appear on the disc, in Patch
// and in compress, partly in other letter case; the disc also holds files
// that must stay off the image (a long extension, a sub-folder, a hidden
// file). The sort file puts the files in an order unlike the alphabet.
struct CDiscFixture {
  std::filesystem::path m_work;
  std::filesystem::path m_disc;
  std::vector<uint8_t> m_bootFile;                        // shorter than the boot area
  std::map<std::string, std::vector<uint8_t>> m_expected; // image name -> bytes, CDDA2 included
  std::vector<std::string> m_sortOrder;                   // image names, first on the image first
};

// sortFolder is the collection folder named in the sort file (the builder
// matches its entries against the paths it reads).
CDiscFixture MakeDiscFixture(const std::filesystem::path &root, const std::filesystem::path &sortFolder);
// The usual case: the working folder's temp/.
CDiscFixture MakeDiscFixture(const std::filesystem::path &root);

struct CIsoFile {
  uint32_t m_extent = 0; // first sector
  uint64_t m_size = 0;
  std::vector<uint8_t> m_bytes;
};
// The files of the image's top folder by name, without ";1" and without the
// dot of a name that has no extension.
using CIsoListing = std::map<std::string, CIsoFile>;

CResult<CIsoListing> ReadIsoWithIsoinfo(const std::filesystem::path &image);
CResult<CIsoListing> ReadIsoWithPycdlib(const std::filesystem::path &image);

// The real image builder of this machine (genisoimage or a sibling), found
// in PATH; empty when there is none.
std::filesystem::path SystemImageBuilder();

} // namespace quillan::testing::disc
