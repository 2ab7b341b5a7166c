// Picture decoding: any bytes give a well-formed picture or nothing.
#include <board/picture.h>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::optional<board::Picture> picture = board::decode_png({data, size});
  if (!picture) return 0;
  const auto pixels = static_cast<std::size_t>(picture->width) * static_cast<std::size_t>(picture->height);
  if (picture->width <= 0 || picture->height <= 0 || pixels > (std::size_t{1} << 25) ||
      picture->rgba.size() != pixels * 4) {
    std::abort();
  }
  if (picture->alpha(-1, 0) != 0 || picture->alpha(0, picture->height) != 0) std::abort();
  (void)picture->alpha(picture->width - 1, picture->height - 1);
  return 0;
}
