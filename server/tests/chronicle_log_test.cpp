#include <server/chronicle_log.h>

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <string>
#include <vector>

namespace {

using server::ChronicleLog;

// Reads back what the recording stand-in was called with, through the handle the log loaded.
struct RecordedCalls {
  RecordedCalls() : library(::dlopen(RECORDING_CHRONICLE, RTLD_NOW | RTLD_NOLOAD)) {}
  ~RecordedCalls() {
    if (library != nullptr) ::dlclose(library);
  }
  int count() const { return reinterpret_cast<int (*)()>(::dlsym(library, "recorded_call_count"))(); }
  std::string text(int i) const {
    return reinterpret_cast<const char* (*)(int)>(::dlsym(library, "recorded_text"))(i);
  }
  int category(int i) const { return reinterpret_cast<int (*)(int)>(::dlsym(library, "recorded_category"))(i); }

  void* library;
};

bool recording_library_loaded() {
  void* library = ::dlopen(RECORDING_CHRONICLE, RTLD_NOW | RTLD_NOLOAD);
  if (library != nullptr) ::dlclose(library);
  return library != nullptr;
}

// Calls recorded before this test, when an earlier test in the same process loaded the stand-in.
int earlier_calls() { return recording_library_loaded() ? RecordedCalls().count() : 0; }

TEST(ChronicleLog, LibraryIsLoadedAtTheFirstLogCallNotBefore) {
  const bool loaded_before = recording_library_loaded();
  const int before = earlier_calls();
  std::vector<std::string> missing;
  ChronicleLog log({RECORDING_CHRONICLE}, [&](std::string_view m) { missing.emplace_back(m); });
  EXPECT_EQ(recording_library_loaded(), loaded_before);
  log.log("\xB5\xB1\xC7\xB0", 8);  // 当前
  log.log("second", 3);
  const RecordedCalls calls;
  ASSERT_NE(calls.library, nullptr);
  ASSERT_EQ(calls.count(), before + 2);
  EXPECT_EQ(calls.text(before), "\xB5\xB1\xC7\xB0");
  EXPECT_EQ(calls.category(before), 8);
  EXPECT_EQ(calls.text(before + 1), "second");
  EXPECT_EQ(calls.category(before + 1), 3);
  EXPECT_TRUE(missing.empty());
}

TEST(ChronicleLog, LaterCandidateIsTriedWhenTheFirstCannotBeLoaded) {
  const int before = earlier_calls();
  std::vector<std::string> missing;
  ChronicleLog log({"/nonexistent/libChronicle.so", RECORDING_CHRONICLE},
                   [&](std::string_view m) { missing.emplace_back(m); });
  log.log("x", 1);
  const RecordedCalls calls;
  ASSERT_NE(calls.library, nullptr);
  EXPECT_EQ(calls.count(), before + 1);
  EXPECT_TRUE(missing.empty());
}

TEST(ChronicleLog, MissingLibraryOrFunctionIsReportedOnceNamingBoth) {
  const bool loaded_before = recording_library_loaded();
  const std::vector<std::vector<std::string>> cases = {
      {"/nonexistent/libChronicle.so"},
      {CHRONICLE_WITHOUT_FUNCTION, RECORDING_CHRONICLE},  // the library found first is the one used
      {},
  };
  for (const auto& candidates : cases) {
    std::vector<std::string> missing;
    ChronicleLog log(candidates, [&](std::string_view m) { missing.emplace_back(m); });
    log.log("first", 8);
    log.log("second", 8);
    ASSERT_EQ(missing.size(), 1u);
    EXPECT_NE(missing[0].find("libChronicle.so"), std::string::npos) << missing[0];
    EXPECT_NE(missing[0].find(" Chronicle"), std::string::npos) << missing[0];
  }
  EXPECT_EQ(recording_library_loaded(), loaded_before);
}

TEST(ChronicleLog, DefaultSearchIsBesideTheProgramThenTheSystemPath) {
  const std::vector<std::string> candidates = ChronicleLog::default_candidates();
  ASSERT_EQ(candidates.size(), 2u);
  EXPECT_EQ(candidates[0], server::run_directory() + "/libChronicle.so");
  EXPECT_EQ(candidates[1], "libChronicle.so");
  EXPECT_FALSE(server::run_directory().empty());
  EXPECT_NE(server::run_directory().back(), '/');
}

}  // namespace
