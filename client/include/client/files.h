#pragma once
// Files beside the program: created from a default when missing, never rewritten; read only
// when they are regular files, and only up to a bound.
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace client {

// Writes `bytes` to a new file at `path` only when nothing at all (file, directory, link) is
// there. Failures are silent; a file that could not be written completely is removed again.
void create_when_missing(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

// The first `cap` bytes of the regular file at `path` (links followed); empty for anything
// else (missing, a directory, a FIFO, a device) or when it cannot be read. Never blocks on open.
std::string read_file_start(const std::filesystem::path& path, std::size_t cap);

// Picture files up to this size whose picture fits the area are handed over as they are.
inline constexpr std::size_t max_whole_picture_bytes = std::size_t{16} << 20;

// The bytes of the picture file at `path` for an area of width × height pixels: the file itself
// when it is at most max_whole_picture_bytes and not a larger PNG; otherwise the PNG read as a
// stream, scaled down to fit the area and encoded again. Empty when there is nothing to show.
std::vector<std::uint8_t> read_picture_for_area(const std::filesystem::path& path, int width, int height);

// The directory holding the running executable.
std::filesystem::path run_directory();

}  // namespace client
