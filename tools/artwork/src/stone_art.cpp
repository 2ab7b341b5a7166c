#include "stone_art.h"

#include <algorithm>
#include <cmath>

namespace artwork {
namespace {

constexpr int size = 42;
constexpr int samples = 8;  // per axis and pixel
// Centred on the middle of pixel 21, where the intersection lies; pixel 41's corner stays clear.
constexpr double centre = 21.5;
constexpr double radius = 19.75;
// The stone is a flattened lens, not a ball: height of the surface relative to its radius.
constexpr double flatness = 0.55;

struct Vec {
  double x, y, z;
};

Vec normalised(Vec v) {
  const double n = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
  return {v.x / n, v.y / n, v.z / n};
}

double dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

const Vec light = normalised({-0.45, -0.6, 0.66});
const Vec halfway = normalised({light.x, light.y, light.z + 1.0});

// Brightness of the lens surface at (u, v), both relative to the radius, u*u + v*v <= 1.
void shade(const StoneLook& look, double u, double v, double out[3]) {
  const double q = std::max(std::sqrt(std::max(0.0, 1.0 - u * u - v * v)), 0.08);
  const Vec normal = normalised({flatness * u / q, flatness * v / q, 1.0});
  const double lit = look.ambient + look.diffuse * std::max(0.0, dot(normal, light));
  const double gloss = look.specular * std::pow(std::max(0.0, dot(normal, halfway)), look.shininess);
  for (int c = 0; c < 3; ++c) out[c] = look.base[c] * lit + gloss;
}

}  // namespace

StoneLook white_stone() { return {{0.94, 0.94, 0.95}, 0.70, 0.36, 0.22, 16.0}; }
StoneLook black_stone() { return {{0.13, 0.13, 0.14}, 0.55, 0.65, 0.30, 24.0}; }

Raster render_stone(const StoneLook& look) {
  Raster out(size, size, 4);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      double sum[3] = {0, 0, 0};
      int covered = 0;
      for (int sy = 0; sy < samples; ++sy) {
        for (int sx = 0; sx < samples; ++sx) {
          const double u = (x + (sx + 0.5) / samples - centre) / radius;
          const double v = (y + (sy + 0.5) / samples - centre) / radius;
          if (u * u + v * v > 1.0) continue;
          double rgb[3];
          shade(look, u, v, rgb);
          for (int c = 0; c < 3; ++c) sum[c] += rgb[c];
          ++covered;
        }
      }
      std::uint8_t* px = out.at(x, y);
      for (int c = 0; c < 3; ++c) px[c] = covered ? to_byte(sum[c] / covered) : 0;
      px[3] = to_byte(double(covered) / (samples * samples));
    }
  }
  return out;
}

}  // namespace artwork
