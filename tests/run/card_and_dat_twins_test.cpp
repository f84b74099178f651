// The same titrations written as a SUPERQUAD card file and as a DAT file fit to the same
// values by every method: the report prints the same fitted parameters from either layout.

#include <map>
#include <regex>
#include <sstream>
#include <string>

#include "run/run_driver.h"
#include "tests/support/test_support.h"

namespace tarvolin::test {
namespace {

using Driver = RunStatus (*)(Model&, Platform&);

// Each fitted parameter's printed value by its name, e.g. "lgBETA( 3)" -> "9.570"; a name
// printed more than once keeps its last value, the final report's.
std::map<std::string, std::string> fittedValues(const std::string& report) {
  static const std::regex line(R"(^ *(lgBETA|Fo|a|AV|Purity)(\([ 0-9,]+\)) = +(\S+))");
  std::map<std::string, std::string> values;
  std::istringstream in(report);
  for (std::string text; std::getline(in, text);) {
    std::smatch match;
    if (std::regex_search(text, match, line)) values[match[1].str() + match[2].str()] = match[3];
  }
  return values;
}

class CardAndDatTwinsTest : public ScratchFolderTest {
 protected:
  // Runs the input under tests/data and returns the printed fitted values.
  std::map<std::string, std::string> fit(const std::string& file, Driver driver) {
    writeFile("IN.IN", sourcePath("tests/data/" + file) + "\r\ntwin.out\r\n");
    auto model = newModel();
    model->SeedGiven = 1;
    model->RandomSeed = 5;
    FakePlatform platform;
    EXPECT_EQ(driver(*model, platform), RunStatus::Completed) << file;
    return fittedValues(readFile("twin.out"));
  }
};

// Both files of each pair start their fitted constants (and the standard potential where it
// is fitted) off the values the data were made from, alike.
TEST_F(CardAndDatTwinsTest, BothLayoutsFitToTheSamePrintedValues) {
  const struct {
    const char* cards;
    const char* dat;
    bool monteCarlo;
  } cases[] = {
      {"sqd/glycine_protonation_off_its_constants.sqd",
       "dat/glycine_protonation_twin_off_its_constants.DAT", false},
      {"sqd/en_protonation_3_titrations_off_its_constants.sqd",
       "dat/en_protonation_3_titrations_twin_off_its_constants.DAT", false},
      {"sqd/ni_glycine_emf_and_ph_off_its_constants.sqd",
       "dat/ni_glycine_emf_and_ph_twin_off_its_constants.DAT", false},
      // Two short titrations, so that the Monte Carlo searches take little time.
      {"sqd/acetic_acid_two_short_titrations_off_its_constants.sqd",
       "dat/acetic_acid_two_short_titrations_twin_off_its_constants.DAT", true},
  };
  for (const auto& c : cases) {
    for (Driver driver : {&GradientRun, &SimplexRun, &MonteCarloRun}) {
      if (driver == &MonteCarloRun && !c.monteCarlo) continue;
      SCOPED_TRACE(std::string(c.cards) + (driver == &GradientRun  ? ", gradient"
                                           : driver == &SimplexRun ? ", simplex"
                                                                   : ", Monte Carlo"));
      const auto fromCards = fit(c.cards, driver);
      const auto fromDat = fit(c.dat, driver);
      EXPECT_GE(fromCards.size(), 2u);
      EXPECT_EQ(fromCards, fromDat);
    }
  }
}

}  // namespace
}  // namespace tarvolin::test
