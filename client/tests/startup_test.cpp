#include <client/built_in.h>
#include <board/picture.h>
#include <client/startup.h>
#include <client/texts.h>

#include <test_support/client_fakes.h>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>

namespace client {
namespace {

namespace fs = std::filesystem;

const std::string default_config = "[SCG]\r\nIP=127.0.0.1\r\nDK=24093\r\n";

std::string read_file(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

void write_file(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

class Startup : public ::testing::Test {
 protected:
  Startup() {
    char pattern[] = "/tmp/client-run-XXXXXX";
    run_dir_ = mkdtemp(pattern);
  }
  ~Startup() override { fs::remove_all(run_dir_); }

  bool start() {
    return run_startup(run_dir_, StartupSeams{layer, controls, connection, dialogs, program});
  }

  fs::path run_dir_;
  test_support::RecordingLayer layer;
  test_support::FakeControls controls;
  test_support::FakeConnection connection;
  test_support::FakeDialogs dialogs;
  test_support::FakeExit program;
};

TEST_F(Startup, AnEmptyDirectoryGetsBothDefaultFilesAndTheDefaultServer) {
  EXPECT_TRUE(start());

  EXPECT_EQ(read_file(run_dir_ / "SConfig.ini"), default_config);
  const std::span<const std::uint8_t> picture = built_in::default_background();
  const std::string picture_file = read_file(run_dir_ / "\xE8\x83\x8C\xE6\x99\xAF" "2.png");  // 背景2.png in UTF-8
  EXPECT_EQ(picture_file, std::string(picture.begin(), picture.end()));
  EXPECT_EQ(layer.picture, picture_file);
  EXPECT_EQ(connection.connects, (std::vector<std::pair<std::string, std::int32_t>>{{"127.0.0.1", 24093}}));
  EXPECT_TRUE(controls.nickname_focused);
  EXPECT_TRUE(dialogs.boxes.empty());
  EXPECT_TRUE(program.codes.empty());
}

TEST_F(Startup, TheBuiltInBackgroundIsA400By400RgbPng) {
  const std::span<const std::uint8_t> png = built_in::default_background();
  const std::optional<board::Picture> picture = board::decode_png(png);
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->width, 400);
  EXPECT_EQ(picture->height, 400);
  ASSERT_GT(png.size(), 25u);
  EXPECT_EQ(png[24], 8);  // bit depth
  EXPECT_EQ(png[25], 2);  // colour type: RGB without alpha
}

TEST_F(Startup, AnExistingConfigurationIsReadButNeverRewritten) {
  struct Case {
    std::string contents;
    std::string address;
    std::int32_t port;
  };
  const Case cases[] = {
      {"[SCG]\r\nIP=10.0.0.5\r\n", "10.0.0.5", 0},
      {"[scg]\ndk=  5000  \n", "", 5000},
      // Full-width digits ２４０９３ give the same port as ASCII ones.
      {"[SCG]\r\nIP=localhost\r\nDK=\xA3\xB2\xA3\xB4\xA3\xB0\xA3\xB9\xA3\xB3\r\n", "localhost", 24093},
      {"[SCG]\r\nDK=7x\r\n", "", 7},
      {"", "", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.contents);
    connection.connects.clear();
    write_file(run_dir_ / "SConfig.ini", c.contents);

    start();

    EXPECT_EQ(read_file(run_dir_ / "SConfig.ini"), c.contents);
    ASSERT_EQ(connection.connects.size(), 1u);
    EXPECT_EQ(connection.connects[0].first, c.address);
    EXPECT_EQ(connection.connects[0].second, c.port);
  }
}

TEST_F(Startup, ADirectoryInPlaceOfTheFilesIsLeftAloneAndReadsAsEmpty) {
  fs::create_directory(run_dir_ / "SConfig.ini");
  fs::create_directory(background_path(run_dir_));

  start();

  EXPECT_TRUE(fs::is_directory(run_dir_ / "SConfig.ini"));
  EXPECT_TRUE(fs::is_directory(background_path(run_dir_)));
  EXPECT_EQ(connection.connects, (std::vector<std::pair<std::string, std::int32_t>>{{"", 0}}));
  EXPECT_EQ(layer.calls.front(), "picture 0");
}

// Whatever is not a regular file is left as it is and reads as an unreadable file, without
// blocking; a huge file is read only as far as its bound.
TEST_F(Startup, SpecialAndHugeFilesReadAsUnreadableAndStayAsTheyAre) {
  const auto fifo = [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0644), 0); };
  const auto zeros = [](const fs::path& p) { fs::create_symlink("/dev/zero", p); };
  const auto sparse = [](const fs::path& p) {
    std::ofstream{p};
    fs::resize_file(p, std::uintmax_t{1} << 30);
  };
  using Make = std::function<void(const fs::path&)>;
  for (const Make& make : {Make(fifo), Make(zeros), Make(sparse)}) {
    fs::remove_all(run_dir_);
    fs::create_directory(run_dir_);
    layer.calls.clear();
    connection.connects.clear();
    make(run_dir_ / "SConfig.ini");
    make(background_path(run_dir_));
    const auto kind = fs::symlink_status(background_path(run_dir_)).type();

    start();

    EXPECT_EQ(connection.connects, (std::vector<std::pair<std::string, std::int32_t>>{{"", 0}}));
    EXPECT_EQ(layer.calls.front(), "picture 0");
    EXPECT_EQ(fs::symlink_status(run_dir_ / "SConfig.ini").type(), kind);
    EXPECT_EQ(fs::symlink_status(background_path(run_dir_)).type(), kind);
  }
}

TEST_F(Startup, ABackgroundLargerThanTheBoardIsHandedOverScaledToIt) {
  board::Picture wide{1600, 2, std::vector<std::uint8_t>(1600 * 2 * 4, 255)};
  for (std::size_t i = 0; i < wide.rgba.size(); i += 8) wide.rgba[i] = 0;  // red in every second column
  const std::vector<std::uint8_t> png = board::encode_png(wide);
  write_file(background_path(run_dir_), std::string(png.begin(), png.end()));

  start();

  const auto shown = board::decode_png(
      {reinterpret_cast<const std::uint8_t*>(layer.picture.data()), layer.picture.size()});
  ASSERT_TRUE(shown);
  EXPECT_EQ(shown->width, 800);
  EXPECT_EQ(shown->height, 2);
  EXPECT_EQ(std::vector<std::uint8_t>(shown->rgba.begin(), shown->rgba.begin() + 4),
            (std::vector<std::uint8_t>{128, 255, 255, 255}));
}

TEST_F(Startup, ATruncatedLargeBackgroundIsNoPicture) {
  board::Picture wide{1600, 200, std::vector<std::uint8_t>(1600 * 200 * 4)};
  for (std::size_t i = 0; i < wide.rgba.size(); ++i) wide.rgba[i] = static_cast<std::uint8_t>(i * 7919 >> 3);
  const std::vector<std::uint8_t> png = board::encode_png(wide);
  write_file(background_path(run_dir_), std::string(png.begin(), png.begin() + png.size() / 2));

  start();

  EXPECT_EQ(layer.calls.front(), "picture 0");
}

TEST_F(Startup, AnExistingBackgroundIsUsedAsItIsWhateverItHolds) {
  write_file(background_path(run_dir_), "not a picture");

  start();

  EXPECT_EQ(read_file(background_path(run_dir_)), "not a picture");
  EXPECT_EQ(layer.picture, "not a picture");
}

TEST_F(Startup, ThePictureIsSetBeforeTheGridFrameAndMarksAreDrawnThenShown) {
  start();

  std::vector<std::string> expected{"picture " + std::to_string(built_in::default_background().size())};
  for (int v = 50; v <= 750; v += 50) {
    const std::string at = std::to_string(v);
    expected.push_back("line 50 " + at + " 750 " + at);
    expected.push_back("line " + at + " 50 " + at + " 750");
  }
  for (const char* call : {"brush_style 0", "brush_color 0", "pen_width 3", "rectangle 40 40 760 760",
                           "brush_style 1", "brush_color 0", "ellipse 397 397 403 403",
                           "ellipse 197 197 203 203", "ellipse 597 197 603 203", "ellipse 197 597 203 603",
                           "ellipse 597 597 603 603", "flush"}) {
    expected.push_back(call);
  }
  EXPECT_EQ(layer.calls, expected);
}

TEST_F(Startup, AFailedConnectSaysSoAndThenEndsWithStatusZero) {
  connection.accept_connect = false;
  std::size_t exits_while_open = 99;
  dialogs.while_open = [&] { exits_while_open = program.codes.size(); };

  EXPECT_FALSE(start());

  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].text, text::connect_failed);
  EXPECT_EQ(dialogs.boxes[0].caption, text::hint);
  EXPECT_EQ(dialogs.boxes[0].icon, BoxIcon::none);
  EXPECT_EQ(exits_while_open, 0u);
  EXPECT_EQ(program.codes, std::vector<int>{0});
}

}  // namespace
}  // namespace client
