#pragma once
// A model read from DAT text in a scratch folder, with the run's report and the three plot
// files of all blocks opened as the driver opens them, and an engine writing to that report;
// readers of the plot files and of the report's tables, for the report and plot-file tests.

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "base/floating_point.h"
#include "base/text_file.h"
#include "engine/engine.h"
#include "run/report_writer.h"
#include "run/run_files.h"
#include "tests/support/test_support.h"

namespace tarvolin::test {

// Two titrations of a monoprotic acid HL (lgBETA 4.75; OH with -13.78) with NaOH, read by a
// glass electrode (method 8): block 1 as in the golden report (V0 20 ml), block 2 with another
// initial solution (V0 25 ml), weight 2, and its slope tied to block 1's.
inline std::string twoTitrations() {
  return readFile(sourcePath("tests/data/dat/two_titrations_tied_slope.DAT"));
}

class ReportTest : public ScratchFolderTest {
 protected:
  void SetUp() override {
    ScratchFolderTest::SetUp();
    clearFloatingPointFlags();
  }
  void TearDown() override {
    files_.closeAll();
    engine_.reset();
    clearFloatingPointFlags();
    ScratchFolderTest::TearDown();
  }

  // Opens the report and the PFP, TTC and RAC files under outputName as a run does.
  void openRunFiles(const std::string& outputName = "acid.out") {
    files_.outputName = outputName;
    files_.plotBase = plotFileBase(outputName);
    ASSERT_TRUE(files_.report.create(outputName));
    ASSERT_TRUE(files_.pfp.create(files_.plotBase + ".PFP"));
    ASSERT_TRUE(files_.ttc.create(files_.plotBase + ".TTC"));
    ASSERT_TRUE(files_.rac.create(files_.plotBase + ".RAC"));
    engine_ = std::make_unique<Engine>(*model_, platform_, files_.report);
  }

  // Reads a system into the model and resets the engine for a run of the given method.
  void load(const std::string& datText, int fittingMethod = kSimplex) {
    ASSERT_TRUE(readDatText(datText, *model_, platform_)) << messages();
    model_->FittingMethod = static_cast<std::uint8_t>(fittingMethod);
    engine_->startRun();
  }

  // What a simplex Single Step does after reading: one evaluation with the parameters as read,
  // the parameter section and the data tables. Successive calls are successive systems.
  void singleStep(bool lastSystem = true) {
    model_->SingleStep = 1;
    engine_->ParamScale = 1;
    engine_->PackParameters();
    engine_->EvaluateObjective();
    WriteParameterReport(*engine_, files_.report);
    WriteDataTables(*engine_, files_, ++systemsTabled_, lastSystem);
  }

  std::string reportText() {
    files_.report.close();
    return readFile(files_.outputName);
  }

  std::string messages() const {
    std::string text;
    for (const auto& m : platform_.messages) text += m.text + "\n";
    return text;
  }

  std::unique_ptr<Model> model_ = newModel();
  FakePlatform platform_;
  RunFiles files_;
  int systemsTabled_ = 0;
  std::unique_ptr<Engine> engine_;
};

// The blank-separated words of a line, read as numbers.
inline std::vector<long double> numbersOf(const std::string& line) {
  std::vector<long double> values;
  std::istringstream in(line);
  std::string word;
  while (in >> word) {
    if (word == "|") continue;
    values.push_back(std::strtold(word.c_str(), nullptr));
  }
  return values;
}

// The lines of a file, checked to end in CR LF.
inline std::vector<std::string> fileLines(const std::string& path) {
  const std::string content = readFile(path);
  if (!content.empty() && content.substr(content.size() - 2) != "\r\n")
    ADD_FAILURE() << path << " does not end with CR LF";
  for (std::size_t i = 0; i < content.size(); ++i) {
    if (content[i] == '\n' && (i == 0 || content[i - 1] != '\r'))
      ADD_FAILURE() << path << " has a bare LF";
  }
  return splitLines(content);
}

// The lines after the first line that equals `title`, up to the next empty line.
inline std::vector<std::string> linesAfter(const std::vector<std::string>& lines,
                                           const std::string& title, std::size_t skip = 0,
                                           std::size_t occurrence = 1) {
  std::vector<std::string> block;
  std::size_t seen = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i] != title || ++seen != occurrence) continue;
    for (std::size_t j = i + 1 + skip; j < lines.size() && !lines[j].empty(); ++j)
      block.push_back(lines[j]);
    break;
  }
  return block;
}

}  // namespace tarvolin::test
