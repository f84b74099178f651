// Whole runs through the three drivers: the method steps, their repeats and one-by-one cycles,
// Cancel, and the report each leaves.

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "base/text_file.h"
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

// The complete report after each method: parameters with their statistics, the data tables,
// the closing lines; fitted back to the constants of the data.
TEST_F(MethodRunTest, EachMethodWritesTheCompleteReport) {
  for (auto driver : {&GradientRun, &SimplexRun}) {
    prepare("POT_TITRATION.DAT", kPotTrue, kPotMoved);
    EXPECT_EQ(run(driver), RunStatus::Completed);
    EXPECT_EQ(model_->ReadError, 0);
    EXPECT_EQ(model_->RunIncomplete, 0);
    EXPECT_NEAR(static_cast<double>(model_->lgBETA[3]), 9.93, 1e-4);
    EXPECT_NEAR(static_cast<double>(model_->lgBETA[4]), 17.08, 1e-4);
    for (const char* line :
         {"All Parameter(s) for Equilibrium:\r\n", "Fitted Parameter(s) for Equilibrium:\r\n",
          "Correlation coefficients between fitted parameters:\r\n",
          "TABLE 1: ", "TABLE 2: ", "TABLE 3: ", "TIME OF COMPUTATIONS: "})
      EXPECT_EQ(count(report_, line), 1) << line;
  }
  EXPECT_NE(report_.find("After iteration"), std::string::npos);
}

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
    std::vector<Real*> fitted;
    std::vector<Real> simplexTolerance, monteCarloTolerance;  // from the gradient's values
    const char* fitBeta;  // the FitBeta line, and the same with the metal's complexes flagged
    const char* withIdle;
  };
  Model& m = *model_;
  const std::vector<Case> cases = {{"nmr_titration_free_host_first.DAT",
                                    {&m.AV[1][1], &m.AV[3][1], &m.lgBETA[3]},
                                    {0.0005L, 0.0005L, 0.002L},
                                    {0.01L, 0.01L, 0.01L},
                                    nullptr,
                                    nullptr},
                                   {"blank_titration_without_metal.DAT",
                                    {&m.lgBETA[4], &m.lgBETA[5], &m.Fo[1]},
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
      if (ycalc.empty()) ycalc.assign(m.Ycalc + 1, m.Ycalc + 1 + m.TotalPoints());
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
        if (driver == &GradientRun) gradient.push_back(*c.fitted[k]);
        EXPECT_NEAR(static_cast<double>(*c.fitted[k]), static_cast<double>(gradient[k]),
                    static_cast<double>(tolerance[k]))
            << k;
      }
    }

    if (c.fitBeta == nullptr) continue;
    prepare(c.file, c.fitBeta, c.withIdle, "tests/data/dat/");
    EXPECT_EQ(run(&GradientRun), RunStatus::Completed);
    EXPECT_EQ(m.lgBETA[7], 10.55L);
    EXPECT_EQ(m.lgBETA[8], 19.65L);
    for (std::size_t k = 0; k < c.fitted.size(); ++k) EXPECT_EQ(*c.fitted[k], gradient[k]) << k;
  }
}

// A zero step gives every Monte Carlo interval width zero: every estimate lies on its
// interval's ends, so the search is repeated up to six searches in all, the second and third
// with their headings.
TEST_F(MethodRunTest, MonteCarloWithZeroStepSearchesSixTimes) {
  prepare("POT_TITRATION.DAT", "0.12 1E-20", "0 1E-20");
  model_->SeedGiven = 1;
  EXPECT_EQ(run(&MonteCarloRun), RunStatus::Completed);
  EXPECT_EQ(count(report_, "Initial Vector X, Searching Interval [A,B]"), 6);
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

// Cancel during a search: the method stops, the report is still complete.
TEST_F(MethodRunTest, CancelEndsTheFitWithACompleteReport) {
  class CancelSoon : public FakePlatform {
   public:
    int calls = 0;
    bool cancelRequested() override { return ++calls > 20; }
  };
  for (auto driver : {&SimplexRun, &MonteCarloRun}) {
    CancelSoon platform;
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
