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

// One input file with its fitted constants moved off the values the data were made from:
// each text `from` is replaced by `to` (unused entries are null).
struct Move {
  const char* from;
  const char* to;
};
struct MovedInput {
  const char* file;
  Move moves[3];
};

struct Twins {
  MovedInput cards;
  MovedInput dat;
  Driver drivers[3];  // unused entries are null
};

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
  // Runs the moved input and returns the printed fitted values.
  std::map<std::string, std::string> fit(const MovedInput& input, Driver driver) {
    std::string text = readFile(sourcePath(input.file));
    for (const Move& move : input.moves) {
      if (move.from == nullptr) continue;
      const auto at = text.find(move.from);
      EXPECT_NE(at, std::string::npos) << move.from;
      if (at != std::string::npos) text.replace(at, std::string(move.from).size(), move.to);
    }
    const std::string name = std::string(input.file).ends_with(".DAT") ? "TWIN.DAT" : "TWIN.SQD";
    writeFile(name, text);
    writeFile("IN.IN", name + "\r\ntwin.out\r\n");
    auto model = newModel();
    model->SeedGiven = 1;
    model->RandomSeed = 5;
    FakePlatform platform;
    EXPECT_EQ(driver(*model, platform), RunStatus::Completed) << input.file;
    return fittedValues(readFile("twin.out"));
  }
};

TEST_F(CardAndDatTwinsTest, BothLayoutsFitToTheSamePrintedValues) {
  const Twins cases[] = {
      {{"examples/GLYCINE_PROTONATION.SQD",
        {{"    9.5700    1    1    1", "    9.3000    1    1    1"},
         {"   11.9200    1    2    1", "   12.2000    1    2    1"},
         {"0 1 2  400.0000", "0 1 2  395.0000"}}},
       {"tests/data/dat/glycine_protonation_twin.DAT",
        {{"0 0 9.5700 11.9200", "0 0 9.3000 12.2000"}, {"\n400.0000 1 1", "\n395.0000 1 1"}}},
       {&GradientRun, &SimplexRun}},
      {{"examples/EN_PROTONATION_3_TITRATIONS.SQD",
        {{" 9.93     1.", " 9.60     1."}, {" 1.708D1  1.", " 1.745D1  1."}}},
       {"tests/data/dat/en_protonation_3_titrations_twin.DAT",
        {{"0 0 9.9300 17.0800", "0 0 9.6000 17.4500"}}},
       {&GradientRun, &SimplexRun}},
      {{"examples/NI_GLYCINE_EMF_AND_PH.SQD",
        {{"     5.78 1", "     5.50 1"},
         {"   10.58  1", "   10.90  1"},
         {" 14.07    1.", " 13.70    1."}}},
       {"tests/data/dat/ni_glycine_emf_and_ph_twin.DAT",
        {{"5.7800 10.5800 14.0700", "5.5000 10.9000 13.7000"}}},
       {&GradientRun, &SimplexRun}},
      // Two short titrations, so that the Monte Carlo searches take little time.
      {{"tests/data/sqd/acetic_acid_two_short_titrations.sqd",
        {{" 4.56     1.", " 4.20     1."}, {"    2 400.  ", "    2 395.  "}}},
       {"tests/data/dat/acetic_acid_two_short_titrations_twin.DAT",
        {{"0 0 4.5600 -13.7800", "0 0 4.2000 -13.7800"}, {"\n400.0000 1 1", "\n395.0000 1 1"}}},
       {&GradientRun, &SimplexRun, &MonteCarloRun}},
  };
  for (const Twins& c : cases) {
    for (Driver driver : c.drivers) {
      if (driver == nullptr) continue;
      SCOPED_TRACE(std::string(c.cards.file) + (driver == &GradientRun  ? ", gradient"
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
