#include "textures.h"

#include "imagebytes.h"
#include "toolkit/wt.h"

namespace tk {

TextureImages::TextureImages() {
  using img::bgr;
  folder_.write("wood.tga", img::bytes(img::tga(2, 2, 2, 24, bgr(255, 0, 0) + bgr(0, 255, 0) +
                                                                bgr(0, 0, 255) + bgr(255, 255, 255))));
  std::string row;
  for (int i = 0; i < 8; i++) row += bgr(200, 100, 50);
  folder_.write("brick.tga", img::bytes(img::tga(2, 4, 2, 24, row)));
  setenvutf8("WTIMAGES", folder_.path().c_str());
  if (!_WTuniverse_exists()) {
    WTuniverse_new(512, 0);
    ownuniverse_ = true;
  }
}

TextureImages::~TextureImages() {
  if (ownuniverse_) WTuniverse_delete();
  setenvutf8("WTIMAGES", nullptr);
}

}  // namespace tk
