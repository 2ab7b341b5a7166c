#pragma once
// The two 42x42 stone pictures: a lightly shaded disc with transparent corners.
#include "raster.h"

namespace artwork {

struct StoneLook {
  double base[3];   // body colour, 0..1
  double ambient;   // share of the body colour seen without light
  double diffuse;   // share added by light from the top left
  double specular;  // strength of the soft highlight
  double shininess;
};

StoneLook white_stone();
StoneLook black_stone();

// Antialiased by supersampling: alpha is the covered share of each pixel.
Raster render_stone(const StoneLook& look);

}  // namespace artwork
