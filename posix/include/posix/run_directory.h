#pragma once
// The directory that holds the running program's executable, where each program keeps its files.
#include <filesystem>
#include <system_error>

namespace posix {

// Empty when the executable cannot be resolved.
inline std::filesystem::path run_directory() {
  std::error_code error;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::path() : exe.parent_path();
}

}  // namespace posix
