// Whole runs through the three drivers: the method steps, their repeats and one-by-one cycles,
// Cancel, and the report each leaves.

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/number_format.h"
#include "base/text_file.h"
#include "run/report_writer.h"
#include "run/run_driver.h"
#include "tests/support/test_support.h"

namespace tarvolin::test {
namespace {

int count(const std::string& text, const std::string& what) {
  int n = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

class MethodRunTest : public ScratchFolderTest {
 protected:
  // The example with its fitted constants moved off the values the data were made from.
  void prepare(const std::string& example, const std::string& from, const std::string& to,
               const std::string& folder = "examples/") {
    std::string text = readFile(sourcePath(folder + example));
    const auto at = text.find(from);
    ASSERT_NE(at, std::string::npos);
    text.replace(at, from.size(), to);
    writeFile("RUN.DAT", text);
    writeFile("IN.IN", "RUN.DAT\r\nrun.out\r\n");
  }
  RunStatus run(RunStatus (*driver)(Model&, Platform&)) {
    status_ = driver(*model_, platform_);
    report_ = readFile("run.out");
    return status_;
  }

  std::unique_ptr<Model> model_ = newModel();
  FakePlatform platform_;
  RunStatus status_ = RunStatus::FileError;
  std::string report_;
};

const char* const kPotTrue = "0 0 9.93 17.08 -13.78";
const char* const kPotMoved = "0 0 9.60 17.45 -13.78";

// Points where a basic component is absent: an NMR titration whose first point is the free
// host (guest total 0; fitted: the shifts of H and HG and lg beta of HG) and a blank EMF
// titration with the model of the metal titrations but no metal at any point (fitted: lg beta
// of HL and H2L, Fo; the metal's complexes fixed). A single step gives the same Ycalc by every
// method, and the three methods fit the same constants from starting values well off them:
// Gradient and Simplex within a fraction of a standard deviation (the gradient stops once the
// R-factor changes by less than 1 %), Monte Carlo (fixed seed) within the size of its last
// search box. With the metal's complexes flagged as well, their columns are zero: the gradient
// leaves their lg beta exactly as read and fits the others exactly as before.
TEST_F(MethodRunTest, AbsentComponentsAreFittedAlikeByEveryMethod) {
  struct Case {
    const char* file;
    std::vector<Real& (*)(Model&)> fitted;  // the model's tables grow when a run reads
    std::vector<Real> simplexTolerance, monteCarloTolerance;  // from the gradient's values
    const char* fitBeta;  // the FitBeta line, and the same with the metal's complexes flagged
    const char* withIdle;
  };
  Model& m = *model_;
  const std::vector<Case> cases = {{"nmr_titration_free_host_first.DAT",
                                    {[](Model& fitted) -> Real& { return fitted.AV[1][1]; },
                                     [](Model& fitted) -> Real& { return fitted.AV[3][1]; },
                                     [](Model& fitted) -> Real& { return fitted.lgBETA[3]; }},
                                    {0.0005L, 0.0005L, 0.002L},
                                    {0.01L, 0.01L, 0.01L},
                                    nullptr,
                                    nullptr},
                                   {"blank_titration_without_metal.DAT",
                                    {[](Model& fitted) -> Real& { return fitted.lgBETA[4]; },
                                     [](Model& fitted) -> Real& { return fitted.lgBETA[5]; },
                                     [](Model& fitted) -> Real& { return fitted.Fo[1]; }},
                                    {0.002L, 0.002L, 0.005L},
                                    {0.01L, 0.01L, 0.2L},
                                    "0 0 0 1 1 0 0 0 ",
                                    "0 0 0 1 1 0 1 1 "}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    prepare(c.file, "", "", "tests/data/dat/");
    m.SeedGiven = 1;
    m.SingleStep = 1;
    std::vector<Real> ycalc;
    for (auto driver : {&GradientRun, &SimplexRun, &MonteCarloRun}) {
      ASSERT_EQ(run(driver), RunStatus::Completed);
      if (ycalc.empty())
        for (int p = 1; p <= m.TotalPoints(); ++p) ycalc.push_back(m.Ycalc[p]);
      for (int p = 1; p <= m.TotalPoints(); ++p)
        EXPECT_TRUE(ExpectClose(m.Ycalc[p], ycalc[p - 1], 1e-15L)) << p;
    }
    m.SingleStep = 0;
    std::vector<Real> gradient;
    for (auto driver : {&GradientRun, &SimplexRun, &MonteCarloRun}) {
      EXPECT_EQ(run(driver), RunStatus::Completed);
      EXPECT_EQ(report_.find("=== CALC"), std::string::npos);
      const std::vector<Real>& tolerance =
          driver == &MonteCarloRun ? c.monteCarloTolerance : c.simplexTolerance;
      for (std::size_t k = 0; k < c.fitted.size(); ++k) {
        if (driver == &GradientRun) gradient.push_back(c.fitted[k](m));
        EXPECT_NEAR(static_cast<double>(c.fitted[k](m)), static_cast<double>(gradient[k]),
                    static_cast<double>(tolerance[k]))
            << k;
      }
    }

    if (c.fitBeta == nullptr) continue;
    prepare(c.file, c.fitBeta, c.withIdle, "tests/data/dat/");
    EXPECT_EQ(run(&GradientRun), RunStatus::Completed);
    EXPECT_EQ(m.lgBETA[7], 10.55L);
    EXPECT_EQ(m.lgBETA[8], 19.65L);
    // Undetermined: shown without a standard deviation.
    EXPECT_NE(report_.find("\r\nlgBETA( 7) =       10.550\r\n"), std::string::npos);
    for (std::size_t k = 0; k < c.fitted.size(); ++k) EXPECT_EQ(c.fitted[k](m), gradient[k]) << k;
  }
}

// A zero step gives every Monte Carlo interval width zero: every estimate lies on its
// interval's ends, so the search is repeated up to six searches in all, the second and third
// with their headings.
TEST_F(MethodRunTest, MonteCarloWithZeroStepSearchesSixTimes) {
  prepare("POT_TITRATION.DAT", "0.12 1E-20", "0 1E-20");
  model_->SeedGiven = 1;
  EXPECT_EQ(run(&MonteCarloRun), RunStatus::Completed);
  EXPECT_EQ(count(report_,
                  "Initial Vector X, Searching Interval [A,B], (Estimated Vector) and "
                  "Values:\r\n"),
            6);
  EXPECT_EQ(count(report_, "! Second repeating of Monte-Carlo calculations\r\n"), 1);
  EXPECT_EQ(count(report_, "! Third repeating of Monte-Carlo calculations\r\n"), 1);
  EXPECT_EQ(count(report_, "Random seed: "), 6);
  EXPECT_NEAR(static_cast<double>(model_->lgBETA[3]), 9.93, 1e-9);
}

// One-by-one: the searches write no summaries of their own, the keys come back as they were
// (a tie key becomes 0), and the Monte Carlo driver makes no repeat after the cycles.
TEST_F(MethodRunTest, OneByOneRestoresTheKeysAfterTheCycles) {
  std::string tie = "0 0 0 0 0                                   / block 1: FitAV";
  prepare("POT_TITRATION.DAT", kPotTrue, kPotMoved);
  std::string text = readFile("RUN.DAT");
  text.replace(text.find(tie), 9, "0 0 0 0 10");
  writeFile("RUN.DAT", text);
  model_->FitOneByOne = 1;
  model_->DeltaRF = 0.01f;  // a few cycles are enough here
  model_->SeedGiven = 1;
  for (auto driver : {&SimplexRun, &MonteCarloRun, &GradientRun}) {
    EXPECT_EQ(run(driver), RunStatus::Completed);
    EXPECT_EQ(model_->FitBeta[3], 1);
    EXPECT_EQ(model_->FitBeta[4], 1);
    EXPECT_EQ(model_->FitBlock[1], 1);
    EXPECT_EQ(model_->FitAV[5][1], 0);
    EXPECT_EQ(count(report_, "After iteration"), 0);
    EXPECT_EQ(count(report_, "Initial Vector X"), 0);
    EXPECT_EQ(count(report_, "repeating of Monte-Carlo"), 0);
  }
  // The gradient report counts the single-parameter runs, after a zero-step statistics pass.
  EXPECT_NE(report_.find("Variables are fitted one by one:\r\n"), std::string::npos);
  EXPECT_EQ(count(report_, "Rank of task Jacobian:"), 0);
}

// The purities flagged for fitting move in the simplex; the gradient method never fits them.
TEST_F(MethodRunTest, PuritiesAreFittedBySearchesOnly) {
  prepare("POT_TITRATION.DAT", "1 2 5  ", "1 2 5. ");
  EXPECT_EQ(run(&SimplexRun), RunStatus::Completed);
  EXPECT_NE(report_.find("Purity( 5) = "), std::string::npos);
  EXPECT_EQ(run(&GradientRun), RunStatus::Completed);
  EXPECT_EQ(model_->FitPurity[3], 0);
  EXPECT_EQ(report_.find("Purity("), std::string::npos);
}

// Cancel during a fit by any method: the method stops, the report is still complete. The
// gradient sees Cancel at the start of an iteration and ends as if converged, so its report
// belongs to the values of its last correction.
TEST_F(MethodRunTest, CancelEndsTheFitWithACompleteReport) {
  for (auto driver : {&SimplexRun, &MonteCarloRun, &GradientRun}) {
    FakePlatform platform;
    platform.cancelFromCall = driver == &GradientRun ? 3 : 21;
    model_->CancelRequested = 0;  // as the compute command clears it before every run
    prepare("POT_TITRATION.DAT", kPotTrue, kPotMoved);
    EXPECT_EQ(driver(*model_, platform), RunStatus::Completed);
    const std::string report = readFile("run.out");
    EXPECT_EQ(model_->CancelRequested, 1);
    EXPECT_EQ(model_->RunIncomplete, 0);
    EXPECT_NE(report.find("TABLE 3: "), std::string::npos);
    EXPECT_NE(report.find("TIME OF COMPUTATIONS: "), std::string::npos);
    // Stopped long before the fit converged.
    EXPECT_GT(std::fabs(model_->lgBETA[3] - 9.93L), 1e-3L);
  }
  const std::string gradientReport = readFile("run.out");
  EXPECT_NE(gradientReport.find("Number of fitting iterations =   2\r\n"), std::string::npos)
      << gradientReport.substr(gradientReport.find("Number of fitting"), 40);
}

// The number written after a label, as the report prints it.
long double numberAfter(const std::string& text, const std::string& label, bool last) {
  const auto at = last ? text.rfind(label) : text.find(label);
  if (at == std::string::npos) return -1;
  return std::strtold(text.c_str() + at + label.size(), nullptr);
}

// Monte Carlo leaves its best trial in x while the model holds the last random trial: the
// report, its tables and the fitted copy must show the best vector, whose objective is the F of
// the last search summary and of the progress display (both four digits). In the ordinary mode,
// after Cancel, and in the one-by-one mode with a single fitted parameter (which makes the
// ordinary search; cancelled early, so that its last trial lies far from its best).
TEST_F(MethodRunTest, MonteCarloReportsTheBestVectorItFound) {
  struct Case {
    const char* name;
    const char* fitBeta;
    const char* fitBlock;
    bool oneByOne;
    int cancelFromCall;  // 0: never
  };
  for (const Case c : {Case{"ordinary", "0 0 1 1 0  ", "1  ", false, 0},
                       Case{"one-by-one, one parameter", "0 0 1 0 0  ", "0  ", true, 301},
                       Case{"cancelled", "0 0 1 1 0  ", "1  ", false, 301}}) {
    SCOPED_TRACE(c.name);
    prepare("POT_TITRATION.DAT", kPotTrue, kPotMoved);
    std::string text = readFile("RUN.DAT");
    text.replace(text.find("0 0 1 1 0  "), 11, c.fitBeta);
    text.replace(text.find("1                                           / FitBlock"), 3, c.fitBlock);
    writeFile("RUN.DAT", text);
    FakePlatform platform;
    platform.cancelFromCall = c.cancelFromCall;
    model_->CancelRequested = 0;  // as the compute command clears it before every run
    model_->FitOneByOne = c.oneByOne;
    model_->SeedGiven = 1;
    model_->RandomSeed = 12345;
    ASSERT_EQ(MonteCarloRun(*model_, platform), RunStatus::Completed);
    const std::string report = readFile("run.out");
    // The best objective so far, as the progress display last showed it (the searches of the
    // one-by-one mode write no summary of their own).
    ASSERT_FALSE(platform.progress.empty());
    const std::string& shown = platform.progress.back();
    const long double best = std::strtold(shown.c_str() + shown.rfind(' '), nullptr);
    if (!c.oneByOne) {
      EXPECT_TRUE(ExpectClose(numberAfter(report, "  F= ", true), best, 1e-3L));
    }
    const long double reported = numberAfter(report, "Sum of residuals square = ", false);
    EXPECT_TRUE(ExpectClose(reported, best, 1e-3L)) << reported << " vs " << best;
    EXPECT_TRUE(ExpectClose(model_->Objective, reported, 1e-6L));
    // The fitted copy carries the same constants as the report.
    EXPECT_NE(readFile("CURRENT.OU~").find(fmt::scientific(model_->lgBETA[3], 15)),
              std::string::npos);
  }
}

// A file holding the same fitted system twice: the second is fitted from its own state exactly
// as the first (the gradient's 1 % test once compared its first R-factor with the first
// system's last one and reported it unfitted), so both sections of the report are the same.
TEST_F(MethodRunTest, EverySystemIsFittedFromItsOwnState) {
  // Measured shifts with an error, fitted once: the fitted system starts within 1 % of its
  // final R-factor.
  prepare("TEST.DAT", "8.19669129729 8.17991133576", "8.19869129729 8.17791133576");
  ASSERT_EQ(run(&GradientRun), RunStatus::Completed);
  const std::string one = readFile("CURRENT.OU~");
  const std::string system = one.substr(one.find("\r\n") + 2);
  writeFile("RUN.DAT", "2\r\n" + system + system);
  model_->SeedGiven = 1;
  for (auto driver : {&GradientRun, &SimplexRun, &MonteCarloRun}) {
    ASSERT_EQ(run(driver), RunStatus::Completed);
    // The lines of each system's section, up to the next system's heading or the closing rule.
    std::vector<std::vector<std::string>> sections;
    for (const std::string& line : splitLines(report_)) {
      if (line.find("Calculated System:") != std::string::npos) sections.emplace_back();
      else if (line.rfind("_____", 0) == 0) break;
      else if (!sections.empty()) sections.back().push_back(line);
    }
    ASSERT_EQ(sections.size(), 2u);
    ASSERT_EQ(sections[0].size(), sections[1].size());
    for (std::size_t i = 0; i < sections[0].size(); ++i)
      ASSERT_EQ(sections[0][i], sections[1][i]) << "line " << i << " of method "
                                                << static_cast<int>(model_->FittingMethod);
  }
}

// A species too weak for the data (its lgBETA column is rounding noise against the others):
// the gradient leaves it where it is and reports it without a standard deviation, while the
// constants the data do determine are fitted. Scaled like a real column, it once took a huge
// correction and the run ended in an overflow.
TEST_F(MethodRunTest, GradientLeavesAnUndeterminedParameterWhereItIs) {
  writeFile("RUN.DAT", readFile(sourcePath("tests/data/fits/species_too_weak_to_determine.DAT")));
  writeFile("IN.IN", "RUN.DAT\r\nrun.out\r\n");
  ASSERT_EQ(run(&GradientRun), RunStatus::Completed);
  EXPECT_EQ(model_->lgBETA[6], 5.0L);
  EXPECT_NEAR(static_cast<double>(model_->lgBETA[3]), 9.93, 1e-4);
  EXPECT_NE(report_.find("\r\nlgBETA( 6) =        5.000\r\n"), std::string::npos);
  EXPECT_NE(report_.find("The fitted parameter is equal to ZERO."), std::string::npos);
}

// A fitted value that the report's fixed-point fields cannot hold is a run-away fit.
TEST(UnprintableFittedValue, FixedFieldsOfTheParameterReport) {
  auto model = newModel();
  Model& m = *model;
  m.NBlocks = 1;
  m.NSpecies = 2;
  m.NInputReagents = 1;
  m.growTables();
  m.ReagentSpecies[1] = 1;
  m.FitBeta[2] = 1;
  m.FitAV[1][1] = 10;
  m.FitPurity[1] = 1;
  m.Purity[1] = 999.999L;
  for (const auto& [value, expected] : {std::pair<Real, const char*>{99999999.999L, ""},
                                        {-9999999.999L, ""},
                                        {1e8L, "lgBETA( 2) =  1.000E+0008"},
                                        {-1.18e20L, "lgBETA( 2) = -1.180E+0020"}}) {
    m.lgBETA[2] = value;
    EXPECT_EQ(unprintableFittedValue(m), expected);
  }
  m.lgBETA[2] = 0;
  m.AV[1][1] = 9.6e172L;  // a tied additive value moves with its parameter
  EXPECT_EQ(unprintableFittedValue(m), "AV( 1, 1) =  9.600E+0172");
  m.AV[1][1] = 0;
  m.Purity[1] = 1000;
  EXPECT_EQ(unprintableFittedValue(m), "Purity( 1) =  1.000E+0003");
}

// A single step computes with the values as read and writes the report and plot files.
TEST_F(MethodRunTest, SingleStepChangesNoParameter) {
  prepare("POT_TITRATION.DAT", kPotTrue, kPotMoved);
  model_->SingleStep = 1;
  for (auto driver : {&SimplexRun, &MonteCarloRun, &GradientRun}) {
    EXPECT_EQ(run(driver), RunStatus::Completed);
    // The searches' vector passes through asinh and sinh: the value comes back to the last bits.
    EXPECT_TRUE(ExpectClose(model_->lgBETA[3], 9.6L, 1e-17L));
    EXPECT_EQ(model_->RunIncomplete, 0);
    EXPECT_NE(report_.find("TABLE 1: "), std::string::npos);
    for (const char* file :
         {"run.PFP", "run.TTC", "run.RAC", "run1.ECP", "run1.GAR", "run1.REG", "runBC1.BCP"})
      EXPECT_TRUE(fileCanBeOpened(file)) << file;
  }
}

}  // namespace
}  // namespace tarvolin::test
