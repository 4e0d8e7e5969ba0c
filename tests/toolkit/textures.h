// Texture images for tests that put textures on polygons: a folder on "WTIMAGES" with small
// Targa files, and a universe (the texture cache lives with the graphics side) while none runs.
#pragma once

#include <string>

#include "files.h"

namespace tk {

class TextureImages {
 public:
  // "wood.tga" (2 x 2: red, green / blue, white, bottom row first) and "brick.tga" (4 x 2).
  TextureImages();
  ~TextureImages();
  TextureImages(const TextureImages &) = delete;
  TextureImages &operator=(const TextureImages &) = delete;
  const TempFolder &folder() const { return folder_; }

 private:
  TempFolder folder_;
  bool ownuniverse_ = false;
};

}  // namespace tk
