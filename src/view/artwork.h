#pragma once
// The program's pictures: the fifteen colour font sheets, the number sheet,
// the empty pane, the character chart and the blue sheet, each known by its
// resource id. The pictures themselves are PNG files in resources/bitmaps/,
// made by tools/artgen and compiled into the program; in the core they
// arrive as pixels through a CPictureSource.

#include <cstdint>
#include <span>
#include <string>

#include "core/result.h"
#include "view/pixel_canvas.h"

namespace quillan {

inline constexpr int kSheetSide = 512; // a font sheet: 16 x 16 cells of 32 x 32
inline constexpr int kCellSize = 32;
inline constexpr int kColorSheetCount = 15;
inline constexpr int kNumberSheetIndex = 15; // m_numberSheet follows the colour sheets
inline constexpr int kFirstColorSheetId = 150;
inline constexpr int kUnusedSheetId = 168;
inline constexpr int kNumberSheetId = 148;
inline constexpr int kPaneBackgroundId = 143;
inline constexpr int kChartId = 134;
inline constexpr int kPaneWidth = 480;
inline constexpr int kPaneHeight = 160;

inline constexpr CRgb kSheetGrey{192, 192, 192};
inline constexpr CRgb kGridRed{255, 0, 0};
inline constexpr CRgb kGridBlue{0, 0, 255};
inline constexpr CRgb kNumberInk{255, 255, 0};

struct CBitmapResource {
  int m_id;
  const char *m_fileName; // below resources/bitmaps/
  int m_width;
  int m_height; // as stored: three sheets carry one extra row
  CRgb m_ink;
  const char *m_role;
};

// Every picture, in resource id order of the font sheets first.
std::span<const CBitmapResource> BitmapResources();
// nullptr for an id the program has no picture for.
const CBitmapResource *FindBitmapResource(int id);

// Where pictures come from: the platform's picture loader, the pictures
// compiled into the program, or a test's own.
class CPictureSource {
public:
  virtual ~CPictureSource() = default;
  virtual CResult<CPixelCanvas> LoadPicture(int resourceId) = 0;
};

// The PNG bytes compiled into the program for a resource id; empty when the
// build had no such file.
std::span<const uint8_t> EmbeddedPng(int resourceId);

// Decodes the compiled-in PNG files.
class CEmbeddedPictures : public CPictureSource {
public:
  CResult<CPixelCanvas> LoadPicture(int resourceId) override;
};

} // namespace quillan
