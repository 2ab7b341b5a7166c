#include <client/profile.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace client {
namespace {

namespace fs = std::filesystem;

class Profile : public ::testing::Test {
 protected:
  Profile() {
    char pattern[] = "/tmp/client-profile-XXXXXX";
    dir_ = mkdtemp(pattern);
  }
  ~Profile() override { fs::remove_all(dir_); }

  std::string ip_of(const std::string& contents) {
    std::ofstream(file(), std::ios::binary) << contents;
    return read_profile_string(file(), "SCG", "IP");
  }
  fs::path file() const { return dir_ / "SConfig.ini"; }

  fs::path dir_;
};

TEST_F(Profile, ReadsTheValueOfTheKeyInItsSection) {
  const std::pair<std::string, std::string> cases[] = {
      {"[SCG]\r\nIP=127.0.0.1\r\nDK=24093\r\n", "127.0.0.1"},
      {"[scg]\r\nip = host.example \t\r\n", "host.example"},
      {"[Other]\r\nIP=1.1.1.1\r\n[SCG]\r\nIP=2.2.2.2\r\n", "2.2.2.2"},
      {"[SCG]\r\nIP=first\r\nIP=second\r\n", "first"},
      {"[SCG]\r\nIP=a;b # c\r\n", "a;b # c"},               // nothing is a comment inside a value
      {"[SCG]\r\nIP=x\r\n  indented\r\n", "x"},             // no continuation lines
      {"[SCG]\nIP=\xB7\xFE\xCE\xF1\xC6\xF7\n", "\xB7\xFE\xCE\xF1\xC6\xF7"},  // GBK bytes kept
      {"[SCG]\r\nIP=\r\n", ""},
      {"[SCG]\r\nIP:1.2.3.4\r\n", ""},                    // only "=" separates
      {"[SCG]\r\nIP:x=y\r\nIP=z\r\n", "z"},               // that key is "IP:x"
      {"[SCG]\r\nIP=host:1\r\n", "host:1"},
      {"\xEF\xBB\xBF[SCG]\nIP=bom\n", "bom"},
      {"[SCG]\nIP=no line end", "no line end"},
      {std::string("[SCG]\r\nIP=10.0. \0\0000.1\r\n", 23), "10.0."},  // a text ends at a zero byte
      {"[Other]\r\nIP=1.1.1.1\r\n", ""},
      {"IP=1.1.1.1\r\n", ""},
      {"[SCG]\r\nDK=1\r\n", ""},
      {"", ""},
  };
  for (const auto& [contents, value] : cases) {
    SCOPED_TRACE(contents);
    EXPECT_EQ(ip_of(contents), value);
  }
}

TEST_F(Profile, ALongValueIsCutAndTheLinesAfterItStillCount) {
  const std::string long_value(20000, '7');
  std::ofstream(file(), std::ios::binary) << "[SCG]\r\nIP=" << long_value << "\r\nDK=24093\r\n";

  EXPECT_EQ(read_profile_string(file(), "SCG", "IP"), long_value.substr(0, max_profile_value));
  EXPECT_EQ(read_profile_string(file(), "SCG", "DK"), "24093");
}

TEST_F(Profile, AMissingFileReadsAsEmpty) {
  EXPECT_EQ(read_profile_string(dir_ / "absent.ini", "SCG", "IP"), "");
  EXPECT_EQ(read_profile_string(dir_, "SCG", "IP"), "");  // a directory
}

}  // namespace
}  // namespace client
