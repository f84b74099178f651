#include "tests/support/test_support.h"

#include <clocale>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

#include "base/text_file.h"
#include "model/dat_reader.h"
#include "model/word_reader.h"

namespace tarvolin::test {

MessageResult FakePlatform::showMessage(MessageKind kind, const std::string& caption,
                                        const std::string& text, MessageButtons buttons) {
  messages.push_back({kind, caption, text});
  return buttons == MessageButtons::Ok ? MessageResult::Ok : MessageResult::Yes;
}

ClockReading FakePlatform::now() {
  if (clock.empty()) {
    ClockReading t;
    t.year = 2026, t.month = 12, t.day = 6, t.dayOfWeek = 0;
    t.hour = 9, t.minute = 5, t.second = 7, t.millisecond = 42;
    return t;
  }
  const std::size_t i = std::min(clockCalls++, clock.size() - 1);
  return clock[i];
}

void ScratchFolderTest::SetUp() {
  previous_ = std::filesystem::current_path();
  std::random_device rd;
  folder_ = std::filesystem::temp_directory_path() /
            ("tarvolin-test-" + std::to_string(rd()) + "-" + std::to_string(rd()));
  std::filesystem::create_directories(folder_);
  std::filesystem::current_path(folder_);
}

void ScratchFolderTest::TearDown() {
  std::filesystem::current_path(previous_);
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

ScratchReport::ScratchReport(const std::string& prefix)
    : path((std::filesystem::temp_directory_path() /
            (prefix + "-" + std::to_string(std::random_device{}()) + ".out"))
               .string()) {
  if (!writer.create(path)) ADD_FAILURE() << "cannot create " << path;
}

ScratchReport::~ScratchReport() {
  try {
    writer.close();
  } catch (...) {
  }
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
}

std::string ScratchReport::text() {
  writer.close();
  std::string content;
  readWholeFile(path, content);
  writer.append(path);
  return content;
}

std::string sourcePath(const std::string& relative) {
  return std::string(TARVOLIN_SOURCE_DIR) + "/" + relative;
}

std::string readFile(const std::string& path) {
  std::string content;
  if (!readWholeFile(path, content)) ADD_FAILURE() << "cannot read " << path;
  return content;
}

void writeFile(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary);
  out << content;
}

std::unique_ptr<Model> newModel() { return std::make_unique<Model>(); }

std::vector<std::vector<std::string>> readTable(const std::string& relative) {
  std::vector<std::vector<std::string>> rows;
  for (const std::string& line : splitLines(readFile(sourcePath(relative)))) {
    if (line.empty() || line.front() == '#') continue;
    auto& row = rows.emplace_back();
    for (std::size_t start = 0;;) {
      const auto bar = line.find(" | ", start);
      row.push_back(line.substr(start, bar - start));
      if (bar == std::string::npos) break;
      start = bar + 3;
    }
  }
  return rows;
}

bool readDatText(const std::string& text, Model& model, FakePlatform& platform,
                 std::string* echo) {
  // The same preparation as a run: comments cut, CR LF line ends, line 1 and the title read
  // as whole lines.
  std::string copy;
  for (std::string line : splitLines(text)) {
    if (const auto slash = line.find('/'); slash != std::string::npos) line.erase(slash);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.pop_back();
    copy += line + "\r\n";
  }
  InputText input(copy);
  std::string first, title;
  input.readLine(first);
  input.readLine(title);
  input.line = 2;
  model.Title = title;
  model.ReadError = 0;
  model.RunIncomplete = 1;
  // An echo nobody reads goes to the null device: no scratch file to create and remove, which
  // keeps the many thousand reads of the robustness tests quick.
  TextWriter echoFile;
  const std::string scratch = echo ? (std::filesystem::temp_directory_path() /
                                      ("tarvolin-echo-" + std::to_string(std::random_device{}())))
                                         .string()
                                   : std::string("/dev/null");
  if (!echoFile.create(scratch)) ADD_FAILURE() << "cannot create echo file";
  ReadDatSystem(model, input, echoFile, platform);
  echoFile.close();
  if (echo) {
    *echo = readFile(scratch);
    std::filesystem::remove(scratch);
  }
  return model.ReadError == 0 && model.RunIncomplete == 0;
}

bool useDecimalCommaLocale() {
  if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) return true;
  static const std::string folder =
      (std::filesystem::temp_directory_path() / "tarvolin-test-locales").string();
  const std::string command = "localedef -i de_DE -f UTF-8 " + folder + "/de_DE.UTF-8 2>/dev/null";
  std::filesystem::create_directories(folder);
  if (!std::filesystem::exists(folder + "/de_DE.UTF-8") && std::system(command.c_str()) != 0)
    return false;
  setenv("LOCPATH", folder.c_str(), 1);
  return std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
}

::testing::AssertionResult ExpectClose(long double actual, long double expected,
                                       long double relative) {
  const long double scale = std::max(std::fabs(expected), 1e-300L);
  if (std::fabs(actual - expected) <= relative * scale) return ::testing::AssertionSuccess();
  std::ostringstream out;
  out.precision(21);
  out << "actual " << actual << " expected " << expected << " relative "
      << std::fabs(actual - expected) / scale << " > " << relative;
  return ::testing::AssertionFailure() << out.str();
}

}  // namespace tarvolin::test
