#include "board_art.h"

#include <cmath>
#include <cstdint>

namespace artwork {
namespace {

constexpr int size = 400;
constexpr std::uint32_t seed = 0x5EEDB0A2u;

// Lattice value in 0..1 from an integer hash, so the picture needs no random generator state.
double lattice(int x, int y, std::uint32_t salt) {
  std::uint32_t h = seed ^ salt;
  h ^= static_cast<std::uint32_t>(x) * 0x27D4EB2Du;
  h = (h ^ (h >> 15)) * 0x85EBCA6Bu;
  h ^= static_cast<std::uint32_t>(y) * 0x165667B1u;
  h = (h ^ (h >> 13)) * 0xC2B2AE35u;
  h ^= h >> 16;
  return (h & 0xFFFFFFu) / double(0xFFFFFF);
}

double smooth(double t) { return t * t * (3.0 - 2.0 * t); }

// Smooth value noise in 0..1 with one lattice cell per unit.
double noise(double x, double y, std::uint32_t salt) {
  const int ix = static_cast<int>(std::floor(x));
  const int iy = static_cast<int>(std::floor(y));
  const double fx = smooth(x - ix);
  const double fy = smooth(y - iy);
  const double top = lattice(ix, iy, salt) * (1 - fx) + lattice(ix + 1, iy, salt) * fx;
  const double bottom = lattice(ix, iy + 1, salt) * (1 - fx) + lattice(ix + 1, iy + 1, salt) * fx;
  return top * (1 - fy) + bottom * fy;
}

// A few octaves of noise, still in 0..1.
double fractal(double x, double y, std::uint32_t salt) {
  double sum = 0, weight = 0, amplitude = 1, scale = 1;
  for (int octave = 0; octave < 3; ++octave) {
    sum += amplitude * noise(x * scale, y * scale, salt + octave);
    weight += amplitude;
    amplitude *= 0.5;
    scale *= 2.0;
  }
  return sum / weight;
}

// Darkening of the grain at (x, y): 0 in the light wood, up to 1 on a grain line.
double grain(double x, double y) {
  // The grain runs left to right; slow noise bends the lines so they do not look ruled.
  const double bend = fractal(x / 180.0, y / 90.0, 11) * 26.0;
  const double phase = (y + bend) / 11.0 + fractal(x / 60.0, y / 30.0, 23) * 1.6;
  const double wave = 0.5 + 0.5 * std::sin(phase * 2.0 * 3.14159265358979);
  // Lines of uneven strength, as in real wood, rather than an even ripple.
  const double strength = 0.35 + 0.65 * fractal(x / 200.0, y / 14.0, 29);
  return std::pow(wave, 5.0) * strength;
}

}  // namespace

Raster render_board_background() {
  const double light_wood[3] = {0.957, 0.875, 0.690};
  const double dark_wood[3] = {0.875, 0.765, 0.545};
  Raster out(size, size, 3);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const double cloud = fractal(x / 120.0, y / 120.0, 37);  // broad, soft patches
      const double dark = 0.30 * grain(x, y) + 0.22 * cloud;
      std::uint8_t* px = out.at(x, y);
      for (int c = 0; c < 3; ++c) px[c] = to_byte(light_wood[c] + (dark_wood[c] - light_wood[c]) * dark);
    }
  }
  return out;
}

}  // namespace artwork
