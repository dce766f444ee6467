// quillan-artgen [--unifont FILE] REPO: draws the program's pictures into
// REPO/resources/bitmaps/, the icons of the menu entries into
// REPO/resources/icons/ and the game font files of the demo folder into
// REPO/examples/demo/data/, from GNU Unifont (Debian package unifont).

#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "core/file_io.h"
#include "glyph_fonts.h"
#include "icon_art.h"
#include "sheet_art.h"
#include "view/artwork.h"
#include "view/png_codec.h"

namespace quillan::artgen {
namespace {

void Write(const std::filesystem::path &path, const std::vector<uint8_t> &bytes) {
  std::filesystem::create_directories(path.parent_path());
  CStatus status = WriteFileAtomic(path, bytes);
  if (!status) throw std::runtime_error(status.Error().Message());
  std::printf("%s (%zu bytes)\n", path.string().c_str(), bytes.size());
}

void Run(const std::string &unifontPath, const std::filesystem::path &repo) {
  CUnifont font(unifontPath);
  const std::filesystem::path bitmaps = repo / "resources" / "bitmaps";
  for (const CBitmapResource &resource : BitmapResources()) {
    CPixelCanvas picture;
    if (resource.m_id >= kFirstColorSheetId && resource.m_id < kFirstColorSheetId + kColorSheetCount) {
      // The blue inks would vanish in a blue grid: those sheets keep red.
      bool blueInk = resource.m_id == 151 || resource.m_id == 155;
      picture = DrawFontSheet(font, resource.m_ink, !blueInk, resource.m_height);
    } else if (resource.m_id == kChartId) {
      picture = DrawFontSheet(font, resource.m_ink, true, resource.m_height);
    } else if (resource.m_id == kNumberSheetId) {
      picture = DrawNumberSheet();
    } else if (resource.m_id == kPaneBackgroundId) {
      picture = DrawPaneBackground();
    } else {
      picture = DrawBlueSheet(font);
    }
    Write(bitmaps / resource.m_fileName, EncodePng(picture));
  }
  const std::filesystem::path icons = repo / "resources" / "icons";
  for (const CIconSpec &icon : kIcons)
    for (int size : kIconSizes)
      Write(icons / (std::string(icon.m_name) + "_" + std::to_string(size) + ".png"),
            EncodePng(DrawIcon(font, icon.m_kind, size)));
  const std::filesystem::path data = repo / "examples" / "demo" / "data";
  Write(data / "tk7-1.fon", MakeOneByteFont(font, 15));
  Write(data / "tk7-2.fon", MakeOneByteFont(font, 13));
  Write(data / "fontfile.fon", MakeKanjiSeed(font));
}

} // namespace
} // namespace quillan::artgen

int main(int argc, char **argv) {
  std::string unifont = "/usr/share/unifont/unifont.hex";
  std::string repo;
  bool usable = true;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--unifont" && i + 1 < argc)
      unifont = argv[++i];
    else if (repo.empty() && arg.rfind("--", 0) != 0)
      repo = arg;
    else
      usable = false;
  }
  if (!usable || repo.empty()) {
    std::fprintf(stderr, "usage: quillan-artgen [--unifont FILE] REPO\n");
    return 2;
  }
  try {
    quillan::artgen::Run(unifont, repo);
  } catch (const std::exception &error) {
    std::fprintf(stderr, "quillan-artgen: %s\n", error.what());
    return 1;
  }
  return 0;
}
