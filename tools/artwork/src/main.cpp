// Writes the stone pictures and the default board background into the client's assets.
#include "board_art.h"
#include "raster.h"
#include "stone_art.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  const std::string dir = argc > 1 ? argv[1] : ARTWORK_DEFAULT_OUTPUT_DIR;
  bool ok = artwork::write_png(artwork::render_stone(artwork::white_stone()), dir + "/stone_white.png");
  ok = artwork::write_png(artwork::render_stone(artwork::black_stone()), dir + "/stone_black.png") && ok;
  ok = artwork::write_png(artwork::render_board_background(), dir + "/board_background.png") && ok;
  if (ok) std::printf("pictures written to %s\n", dir.c_str());
  return ok ? 0 : 1;
}
