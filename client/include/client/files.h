#pragma once
// Files beside the program: created from a default when missing, never rewritten; read whole.
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace client {

// Writes `bytes` to a new file at `path` only when nothing at all (file, directory, link) is
// there. Failures are silent; a file that could not be written completely is removed again.
void create_when_missing(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

// The file's bytes; empty when it cannot be read.
std::string read_whole_file(const std::filesystem::path& path);

// The directory holding the running executable.
std::filesystem::path run_directory();

}  // namespace client
