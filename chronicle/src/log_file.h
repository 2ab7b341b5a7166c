#pragma once
// Where the log lives and how an entry reaches it.
#include <posix/unique_fd.h>

#include <filesystem>
#include <string_view>

namespace chronicle {

// A handle on a directory for openat; invalid when the directory cannot be opened.
posix::UniqueFd open_directory(const std::filesystem::path& path);

// The directory of the executable that loaded us (not ours, not the working directory), opened
// at the first call and kept open for the life of the process; -1 while it cannot be found.
int host_directory();

// Appends the bytes to "Log.txt" in `directory`, creating it when missing, with one write on a
// descriptor opened for appending so that concurrent writers never split an entry. Only a
// regular file (or a link to one) is written; the open never waits. False when nothing was
// written; the caller stays silent either way.
bool append_entry(int directory, std::string_view entry);

}  // namespace chronicle
