#pragma once
// Shared fixtures: a scripted platform, a scratch folder per test, small file helpers.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/platform.h"
#include "base/text_file.h"
#include "model/model.h"

namespace tarvolin::test {

struct ShownMessage {
  MessageKind kind;
  std::string caption;
  std::string text;
};

// Records every message; the clock reads a fixed time unless a test sets another.
class FakePlatform : public Platform {
 public:
  MessageResult showMessage(MessageKind kind, const std::string& caption, const std::string& text,
                            MessageButtons buttons) override;
  void processPendingEvents() override { ++eventsProcessed; }
  // Cancel is requested while `cancel` is set, and from call number cancelFromCall on.
  bool cancelRequested() override {
    ++cancelCalls;
    return cancel || (cancelFromCall > 0 && cancelCalls >= cancelFromCall);
  }
  bool hasProgressDisplay() override { return true; }
  void showProgress(const std::string& iteration, const std::string& value) override {
    progress.push_back(iteration + " " + value);
  }
  ClockReading now() override;
  std::uint64_t tickCount() override { return ++ticks; }

  std::vector<ShownMessage> messages;
  std::vector<std::string> progress;
  std::vector<ClockReading> clock;  // successive readings; the last one repeats
  std::size_t clockCalls = 0;
  int eventsProcessed = 0;
  bool cancel = false;
  int cancelFromCall = 0;  // 0: never
  int cancelCalls = 0;
  std::uint64_t ticks = 0;
};

// Runs each test in a fresh scratch folder (the run's work files land in the current folder).
class ScratchFolderTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  std::filesystem::path folder_;
  std::filesystem::path previous_;
};

// A report file in the temporary folder for tests that write report lines; removed at the end.
class ScratchReport {
 public:
  explicit ScratchReport(const std::string& prefix = "tarvolin-report");
  ~ScratchReport();
  ScratchReport(const ScratchReport&) = delete;
  ScratchReport& operator=(const ScratchReport&) = delete;
  // Everything written so far; the file stays open for more.
  std::string text();

  std::string path;
  TextWriter writer;
};

std::string sourcePath(const std::string& relative);  // a path inside the source tree
std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& content);
std::unique_ptr<Model> newModel();

// The rows of a table file under tests/data: every line that is neither empty nor a "#"
// comment, split into its fields at " | ".
std::vector<std::vector<std::string>> readTable(const std::string& relative);

// Reads one system of DAT text (line 1 and the title included) into a model; the messages go
// to the platform. Returns true when it read without error.
bool readDatText(const std::string& text, Model& model, FakePlatform& platform,
                 std::string* echo = nullptr);

// Switches LC_NUMERIC to a locale whose decimal separator is "," (de_DE), compiling it into a
// scratch folder with localedef when the system has none installed. False when impossible.
bool useDecimalCommaLocale();

// |actual - expected| <= relative * max(|expected|, tiny)
::testing::AssertionResult ExpectClose(long double actual, long double expected,
                                       long double relative);

}  // namespace tarvolin::test
