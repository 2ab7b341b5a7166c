#pragma once
// Where the log lives and how an entry reaches it.
#include <string>
#include <string_view>

namespace chronicle {

// The directory of the executable that loaded us (not ours, not the working directory) +
// "/Log.txt"; empty when the executable cannot be found.
std::string log_path();

// Appends the bytes to the file at `path`, creating it when missing, with one write on a
// descriptor opened for appending so that concurrent writers never split an entry. False when
// the file cannot be opened or written; the caller stays silent either way.
bool append_entry(const std::string& path, std::string_view entry);

}  // namespace chronicle
