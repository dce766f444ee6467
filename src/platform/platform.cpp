#include "platform/platform.h"

#include "view/artwork.h"

namespace quillan {

CResult<CPixelCanvas> CPlatform::LoadBitmap(int resourceId) {
  static CEmbeddedPictures pictures;
  return pictures.LoadPicture(resourceId);
}

} // namespace quillan
