#include <test_support/process_port.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace test_support {

namespace fs = std::filesystem;

bool process_listens_on(pid_t pid, std::uint16_t port) {
  std::ifstream table("/proc/net/tcp");
  std::string line;
  std::getline(table, line);
  std::vector<std::string> inodes;
  while (std::getline(table, line)) {
    std::istringstream fields(line);
    std::string slot, local, remote, state, queues, timer, retransmits, uid, timeout, inode;
    fields >> slot >> local >> remote >> state >> queues >> timer >> retransmits >> uid >> timeout >>
        inode;
    const std::size_t colon = local.find(':');
    if (state == "0A" && colon != std::string::npos &&
        std::stoul(local.substr(colon + 1), nullptr, 16) == port) {
      inodes.push_back("socket:[" + inode + "]");
    }
  }
  std::error_code error;
  for (const auto& fd : fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd", error)) {
    std::error_code ignored;
    const std::string target = fs::read_symlink(fd.path(), ignored).string();
    for (const std::string& inode : inodes) {
      if (target == inode) return true;
    }
  }
  return false;
}

}  // namespace test_support
