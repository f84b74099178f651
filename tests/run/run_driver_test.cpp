#include "run/run_driver.h"

#include <clocale>
#include <filesystem>

#include "run/compute_command.h"
#include "run/run_clock.h"
#include "run/run_files.h"
#include "tests/support/test_support.h"

namespace tarvolin::test {
namespace {

class RunDriverTest : public ScratchFolderTest {
 protected:
  RunStatus runSimplex(const std::string& input, const std::string& output) {
    writeFile("IN.IN", input + "\r\n" + output + "\r\n");
    return SimplexRun(*model_, platform_);
  }

  static int openFileCount() {
    int n = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
      (void)entry;
      ++n;
    }
    return n;
  }

  // A protonation titration of a monoprotic acid HL with hydroxide: two basic components
  // (H, L), species H, L, HL and OH, one potentiometric block of three points.
  const std::string smallTitration_ =
      readFile(sourcePath("tests/data/dat/monoprotic_acid_three_points.DAT"));
  std::unique_ptr<Model> model_ = newModel();
  FakePlatform platform_;
};

// A clean run: the banner with the method's line, the title without its comment, the closing
// time lines; the work files in the current folder: the comment-free copy (trailing blanks
// dropped, a line that was only a comment left empty), the echo and the fitted copy.
TEST_F(RunDriverTest, CleanRunWritesBannerTitleAndTimeLines) {
  std::string text = smallTitration_;
  text.insert(text.find("0.12 1e-20"), "/ a line that is only a comment\r\n");
  writeFile("HL.DAT", text);
  ClockReading start;
  start.year = 2026, start.month = 12, start.day = 6, start.dayOfWeek = 0;
  start.hour = 9, start.minute = 5, start.second = 7, start.millisecond = 42;
  ClockReading end = start;
  end.hour = 10, end.minute = 10, end.second = 10, end.millisecond = 542;
  platform_.clock = {start, end};

  EXPECT_EQ(runSimplex("HL.DAT", "hl.out"), RunStatus::Completed);
  EXPECT_TRUE(platform_.messages.empty());
  EXPECT_EQ(model_->ReadError, 0);
  EXPECT_EQ(model_->RunIncomplete, 0);
  const std::string report = readFile("hl.out");
  const std::string head = readFile(sourcePath("tests/data/expected/run_report_banner.txt"));
  const std::string tail = readFile(sourcePath("tests/data/expected/run_report_closing.txt"));
  EXPECT_EQ(report.substr(0, head.size()), head);
  ASSERT_GE(report.size(), tail.size());
  EXPECT_EQ(report.substr(report.size() - tail.size()), tail);
  // The probe lines never remain; the work files are in the current folder.
  for (const char* name : {"hl.PFP", "hl.TTC", "hl.RAC"}) EXPECT_TRUE(fileCanBeOpened(name));
  const std::string copy = readFile("CURRENT.DA~");
  EXPECT_EQ(copy.find("/"), std::string::npos);
  EXPECT_NE(copy.find("0.01 0.01 0 25\r\n"), std::string::npos);
  EXPECT_NE(copy.find("1\r\n\r\n0.12 1e-20\r\n"), std::string::npos);
  EXPECT_NE(readFile("INIT_INP.TMP").find("HL titrated with NaOH\r\n1,2\r\n"), std::string::npos);
  EXPECT_EQ(readFile("CURRENT.OU~").rfind("    1\r\nHL titrated with NaOH\r\n", 0), 0u);
}

TEST_F(RunDriverTest, MethodLinesOfTheThreeDrivers) {
  writeFile("HL.DAT", smallTitration_);
  writeFile("IN.IN", "HL.DAT\r\nhl.out\r\n");
  GradientRun(*model_, platform_);
  EXPECT_NE(readFile("hl.out").find("\r\n                           Fitting method: Gradient\r\n"),
            std::string::npos);
  EXPECT_EQ(model_->FittingMethod, kGradient);
  MonteCarloRun(*model_, platform_);
  EXPECT_NE(readFile("hl.out").find("\r\n                         Fitting method: Monte-Carlo\r\n"),
            std::string::npos);
  EXPECT_EQ(model_->FittingMethod, kMonteCarlo);
}

TEST_F(RunDriverTest, TwoSystemsAreHeadedOneIsNotAndBothAreWrittenBack) {
  std::string second = smallTitration_;
  second.erase(0, second.find("\r\n") + 2);  // without the system count
  std::string text = smallTitration_;
  text[0] = '2';
  text += second;
  writeFile("TWO.DAT", text);
  writeFile("HL.DAT", smallTitration_);
  EXPECT_EQ(runSimplex("TWO.DAT", "two.out"), RunStatus::Completed);
  const std::string report = readFile("two.out");
  EXPECT_NE(report.find("<<<<<<<<<<<<<<<<<<<<<<<<<<<< Calculated System:  1 >>>>>>>>>>>>>>>>>>>"
                        ">>>>>>>>\r\nHL titrated with NaOH\r\n"),
            std::string::npos);
  EXPECT_NE(report.find("Calculated System:  2 >"), std::string::npos);

  // The fitted copy serves as a new input: it reads back as the same two systems.
  std::filesystem::copy_file("CURRENT.OU~", "AGAIN.DAT");
  const std::string first = readFile("CURRENT.OU~");
  EXPECT_EQ(runSimplex("AGAIN.DAT", "again.out"), RunStatus::Completed);
  EXPECT_EQ(readFile("CURRENT.OU~"), first);
  EXPECT_EQ(model_->NSystems, 2);
  runSimplex("HL.DAT", "hl.out");  // one system has no system heading
  EXPECT_EQ(readFile("hl.out").find("Calculated System:"), std::string::npos);
}

// The systems of a file are read on from where the one before ended: the title of the second
// from the line after the first, a fault in it reported with its line in the file; and a
// second system with more reagents, species, blocks and points than the first grows the
// tables, every value of it landing where it belongs.
TEST_F(RunDriverTest, LaterSystemsAreReadOnFromTheOneBefore) {
  model_->SingleStep = 1;
  for (const char* name :
       {"two_systems.DAT", "two_systems_error_in_second.DAT", "second_system_larger.DAT"})
    writeFile(name, readFile(sourcePath(std::string("tests/data/dat/") + name)));
  ASSERT_EQ(runSimplex("two_systems.DAT", "two.out"), RunStatus::Completed);
  EXPECT_EQ(model_->Title, "Second system: glycine titrated with HCl, heat of each injection");
  EXPECT_EQ(model_->Method[1], 5);
  EXPECT_EQ(model_->NPoints[1], 3);
  EXPECT_EQ(model_->Yexp[3], -0.0803L);

  EXPECT_EQ(runSimplex("two_systems_error_in_second.DAT", "bad.out"), RunStatus::InputError);
  ASSERT_EQ(platform_.messages.size(), 1u);
  EXPECT_EQ(platform_.messages[0].text,
            "The DATA file error at reading line >= 38: 0 - incorrect value of titrated volume.");

  ASSERT_EQ(runSimplex("second_system_larger.DAT", "larger.out"), RunStatus::Completed);
  const Model& m = *model_;
  EXPECT_EQ(m.C0[1][3], 0.001L);
  EXPECT_EQ(m.CTitrant[1][2], 0.1L);
  EXPECT_EQ(m.Ct[3][2], (0.002L * 20 + 0.1L * 2.0L) / 22.0L);
  EXPECT_EQ(m.Ct[3][3], 0.001L * 20 / 22.0L);
  EXPECT_EQ(m.Ct[5][3], 0.006L);
  EXPECT_EQ(m.Ct[4][1], 0.01L);
  EXPECT_EQ(m.PointFactor[5], 1 / 0.02L);
  EXPECT_EQ(m.Yexp[5], 7.5L);
  EXPECT_EQ(m.AV[5][2], 10);
  EXPECT_EQ(m.AV[4][1], 2);
}

// Files that cannot be found, opened or created end the run with one message and no file
// left open; a system count that is no integer, or any
// other unreadable word, is refused with its line.
TEST_F(RunDriverTest, FileAndFirstLineFaultsEndTheRunWithNoFileOpen) {
  writeFile("HL.DAT", smallTitration_);
  writeFile("ONE.DAT", "one\r\n" + smallTitration_.substr(3));
  writeFile("NONE0.DAT", "0\r\n" + smallTitration_.substr(3));
  std::filesystem::create_directory("FOLDER.DAT");
  std::string bad = smallTitration_;
  bad.replace(bad.find("0.12 1e-20"), 10, "0.12 x1e-20");
  writeFile("BAD.DAT", bad);
  const struct {
    const char* input;  // nullptr: no control file
    const char* output;
    RunStatus status;
    const char* caption;
    const char* text;
  } cases[] = {
      {nullptr, "x.out", RunStatus::FileError, "Open File", "Cannot find file 'IN.IN'"},
      {"NONE.DAT", "x.out", RunStatus::FileError, "Open File", "Cannot open file 'NONE.DAT'"},
      {"FOLDER.DAT", "x.out", RunStatus::FileError, "Open File", "Cannot open file 'FOLDER.DAT'"},
      {"HL.DAT", "no/such/folder/hl.out", RunStatus::FileError, "Write into File",
       "Cannot create file 'no/such/folder/hl.out'"},
      {"ONE.DAT", "x.out", RunStatus::InputError, "Input Experimental Data",
       "The DATA file error at reading line >= 1"},
      {"NONE0.DAT", "x.out", RunStatus::InputError, "Input Experimental Data",
       "The DATA file error at reading line >= 1: the number of calculated systems is 0, it "
       "must be at least 1."},
      // The word is on line 24 and the CR that ends it has been read.
      {"BAD.DAT", "x.out", RunStatus::InputError, "Input Experimental Data",
       "The DATA file error at reading line >= 24"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    std::filesystem::remove("IN.IN");
    std::filesystem::remove("x.out");
    platform_.messages.clear();
    const int before = openFileCount();
    const RunStatus status =
        c.input ? runSimplex(c.input, c.output) : SimplexRun(*model_, platform_);
    EXPECT_EQ(status, c.status);
    ASSERT_EQ(platform_.messages.size(), 1u);
    EXPECT_EQ(platform_.messages[0].caption, c.caption);
    EXPECT_EQ(platform_.messages[0].text, c.text);
    EXPECT_EQ(model_->RunIncomplete, 1);
    EXPECT_EQ(openFileCount(), before);
    EXPECT_FALSE(c.status == RunStatus::FileError && fileCanBeOpened("x.out"));
    EXPECT_TRUE(c.status != RunStatus::InputError || model_->ReadError == 1);
    // The line at which reading stopped, where the desktop opens the file for correction.
    EXPECT_EQ(model_->InputErrorLine, std::string(c.input ? c.input : "") == "BAD.DAT" ? 24
                                      : c.status == RunStatus::InputError              ? 1
                                                                                       : 0);
  }

  // The report of the refused input holds the banner and title, and no closing lines.
  EXPECT_EQ(readFile("x.out").find("FINAL   TIME:"), std::string::npos);
  EXPECT_NE(readFile("x.out").find("HL titrated with NaOH"), std::string::npos);
  // A card is read whole: the line of the faulty card itself, not the card group's number
  // that the message names.
  writeFile("EMF.SQD", readFile(sourcePath("tests/data/sqd/emf_invalid.sqd")));
  EXPECT_EQ(runSimplex("EMF.SQD", "emf.out"), RunStatus::InputError);
  EXPECT_EQ(platform_.messages.back().text,
            "Data input error. Please, look line 12 -EMFC first electrode");
  EXPECT_EQ(model_->InputErrorLine, 17);
}

// A UTF-8 byte-order mark before the first line (written by some editors) is no part of the
// input: DAT and card files read as without it. The echo of a card file starts with its title.
TEST_F(RunDriverTest, ByteOrderMarkIsIgnored) {
  const std::string card = readFile(sourcePath("examples/GLYCINE_PROTONATION.SQD"));
  for (const auto& [name, text] :
       {std::pair<std::string, std::string>{"HL.DAT", smallTitration_}, {"GLY.SQD", card}}) {
    writeFile(name, text);
    ASSERT_EQ(runSimplex(name, "plain.out"), RunStatus::Completed) << name;
    const std::string echo = readFile("INIT_INP.TMP");
    if (name == "GLY.SQD") {
      EXPECT_EQ(echo.rfind(text.substr(0, text.find('\n') + 1), 0), 0u);
    }
    writeFile(name, "\xEF\xBB\xBF" + text);
    ASSERT_EQ(runSimplex(name, "marked.out"), RunStatus::Completed) << name;
    EXPECT_EQ(readFile("INIT_INP.TMP"), echo) << name;
    EXPECT_EQ(readFile("CURRENT.DA~").substr(0, 3), text.substr(0, 3)) << name;
  }
}

TEST_F(RunDriverTest, InputKindFollowsTheExtensionInAnyCase) {
  writeFile("hl.dat", smallTitration_);
  model_->InputIsSuperquad = 1;
  EXPECT_EQ(runSimplex("hl.dat", "hl.out"), RunStatus::Completed);
  EXPECT_EQ(model_->InputIsSuperquad, 0);

  writeFile("hl.sQd", "title\r\n");
  runSimplex("hl.sQd", "hl.out");
  EXPECT_EQ(model_->InputIsSuperquad, 1);

  // Any other extension keeps what the previous run chose.
  model_->InputIsSuperquad = 0;
  writeFile("hl.txt", smallTitration_);
  EXPECT_EQ(runSimplex("hl.txt", "hl.out"), RunStatus::Completed);
  EXPECT_EQ(model_->InputIsSuperquad, 0);
}

// A pH block whose property is zero: lg 0 divides by zero while the objective is evaluated,
// which no driver handler catches; the compute command reports it and the run stays
// incomplete.
TEST_F(RunDriverTest, DivisionByZeroEndsInTheComputeCommand) {
  writeFile("IN.IN",
            sourcePath("tests/data/dat/ph_block_of_zero_property.DAT") + "\r\nzero.out\r\n");
  model_->FittingMethod = kSimplex;
  model_->SingleStep = 1;
  EXPECT_EQ(runComputeCommand(*model_, platform_), RunStatus::CalculationFailure);
  ASSERT_EQ(platform_.messages.size(), 1u);
  EXPECT_EQ(platform_.messages[0].text, "Divide by zero at the calculations");
  EXPECT_EQ(model_->RunIncomplete, 1);
}

// A desktop toolkit switches the process to the user's locale; files keep the point.
TEST_F(RunDriverTest, ReadsAndWritesPointDecimalsUnderACommaLocale) {
  if (!useDecimalCommaLocale()) GTEST_SKIP() << "no locale with a decimal comma";
  writeFile("MIN.SQD", readFile(sourcePath("tests/data/sqd/minimal_titration.sqd")));
  EXPECT_EQ(runSimplex("MIN.SQD", "min.out"), RunStatus::Completed);
  EXPECT_EQ(model_->Yexp[1], 290.1234L);
  writeFile("HL.DAT", smallTitration_);
  const RunStatus status = runSimplex("HL.DAT", "hl.out");
  std::setlocale(LC_NUMERIC, "C");
  EXPECT_EQ(status, RunStatus::Completed);
  EXPECT_EQ(model_->Step, 0.12L);
  EXPECT_NE(readFile("CURRENT.OU~").find(" 1.200000E-0001, 1.000000E-0020"), std::string::npos);
}

TEST(RunFileNames, PlotBaseIsTheNameUpToItsFirstPoint) {
  EXPECT_EQ(plotFileBase("res.old.out"), "res");
  EXPECT_EQ(plotFileBase("result"), "result");
  EXPECT_EQ(plotFileBase("v1.2/run.OUT"), "v1.2/run");
  EXPECT_EQ(upperExtension4("a/b.c/run.dAt"), ".DAT");
  EXPECT_EQ(upperExtension4("picture.jpeg"), ".JPE");
  EXPECT_EQ(upperExtension4("dir.d/noext"), "");
}

TEST(RunClock, ElapsedTimes) {
  ClockReading t;
  t.year = 2026, t.month = 1, t.day = 31;
  t.hour = 23, t.minute = 59, t.second = 59, t.millisecond = 500;
  // Across midnight, and the end of a month.
  ClockReading next = t;
  next.month = 2, next.day = 1, next.hour = 0, next.minute = 0, next.second = 1;
  next.millisecond = 250;
  EXPECT_EQ(elapsedText(t, next), "00:00:01.750");
  ClockReading later = t;
  later.hour = 23, later.minute = 59, later.second = 59, later.millisecond = 507;
  EXPECT_EQ(elapsedText(t, later), "00:00:00.07");
}

}  // namespace
}  // namespace tarvolin::test
