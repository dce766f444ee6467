#pragma once
// The one meeting point of the core's pixel canvas and Qt: the drawn client
// area as a QImage for the window's paint, and pictures that Qt loads handed
// to the core as canvases.

#include <QImage>
#include <filesystem>

#include "view/artwork.h"
#include "view/pixel_canvas.h"

namespace quillan {

// Copies of the pixels (the image does not refer to the canvas).
QImage ImageFromCanvas(const CPixelCanvas &canvas);
CPixelCanvas CanvasFromImage(const QImage &image);

// The program's pictures decoded by Qt: the PNG files compiled into the
// program, or, with a folder, the files of that folder named as in
// resources/bitmaps/.
class CQtPictures : public CPictureSource {
public:
  CQtPictures() = default;
  explicit CQtPictures(std::filesystem::path folder) : m_folder(std::move(folder)) {}
  CResult<CPixelCanvas> LoadPicture(int resourceId) override;

private:
  std::filesystem::path m_folder;
};

} // namespace quillan
