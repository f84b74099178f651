// The results document of whole runs against their reports, for each fitting method: every
// number the report prints equals the document's within the printed digits, the tables' values
// are those of the speciation at the fitted parameters to 1e-12, and the document has exactly
// the fields docs/results-json.md describes (as has that page's example).

#include "run/results_json.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <regex>

#include "base/number_format.h"
#include "run/compute_command.h"
#include "run/parameter_names.h"
#include "tests/run/report_harness.h"
#include "tests/support/results_schema.h"

namespace tarvolin::test {
namespace {

using Json = nlohmann::ordered_json;

// The printed text stands for the values within half a unit of its last digit.
::testing::AssertionResult Printed(const Json& value, const std::string& printed) {
  if (!value.is_number())
    return ::testing::AssertionFailure() << value.dump() << " for " << printed;
  const auto e = printed.find('E');
  int decimals = 0;
  for (auto at = printed.find('.') + 1; at > 0 && at < printed.size() && std::isdigit(printed[at]);
       ++at)
    ++decimals;
  const int exponent = e == std::string::npos ? 0 : std::atoi(printed.c_str() + e + 1);
  const long double half = 0.5L * std::pow(10.0L, exponent - decimals) * (1 + 1e-9L);
  const long double shown = std::strtold(printed.c_str(), nullptr);
  if (std::fabs(value.get<double>() - shown) <= half) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << value.get<double>() << " is printed " << printed;
}

std::vector<std::string> words(const std::string& text) {
  std::vector<std::string> list;
  std::istringstream in(text);
  for (std::string word; in >> word;) list.push_back(word);
  return list;
}

std::vector<std::string> columnsOf(const std::string& line) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t bar; (bar = line.find('|', start)) != std::string::npos; start = bar + 1)
    parts.push_back(line.substr(start, bar - start));
  parts.push_back(line.substr(start));
  return parts;
}

const Json& parameterNamed(const Json& system, const std::string& name) {
  for (const Json& p : system["parameters"])
    if (p["name"] == name) return p;
  ADD_FAILURE() << "no parameter " << name;
  static const Json none;
  return none;
}

// The value after "label" on the first line that holds it, from line `from` on.
std::string valueAfter(const std::vector<std::string>& lines, const std::string& label,
                       std::size_t from = 0, std::size_t to = std::string::npos) {
  for (std::size_t i = from; i < lines.size() && i < to; ++i)
    if (const auto at = lines[i].find(label); at != std::string::npos)
      return words(lines[i].substr(at + label.size())).at(0);
  return "";
}

class ResultsJsonTest : public ReportTest {
 protected:
  // The report's parameter section: the species table (every lgBETA and AV), the fitted lines
  // with their deviations, correlations, singular values, ranks and iterations, R-factors.
  void checkParameterSection(const std::vector<std::string>& lines, const Json& system) {
    const int blocks = system["counts"]["blocks"];
    for (const std::string& row : linesAfter(lines,
                                             "Equilibrium  Stoichiometric Matrix         "
                                             "lgBETA    Additive Value (AV)")) {
      if (row.front() == '=') break;
      const int i = std::stoi(row.substr(0, 3));
      EXPECT_TRUE(
          Printed(parameterNamed(system, lgBetaName(i))["value"], words(row.substr(161, 7))[0]));
      for (int b = 1; b <= blocks; ++b)
        EXPECT_TRUE(Printed(parameterNamed(system, avName(i, b))["value"],
                            words(row.substr(168 + 12 * (b - 1), 12))[0]));
    }

    const std::regex fitted(
        R"(^ *((?:AV|lgBETA|Fo|a|Purity)\([ \d]+(?:,[ \d]+)?\)) = +(\S+)(?: \(\+- *(\S+)\))?$)");
    int deviations = 0;
    for (const std::string& line : lines) {
      std::smatch match;
      if (!std::regex_match(line, match, fitted)) continue;
      const Json& p = parameterNamed(system, match[1]);
      EXPECT_TRUE(p["column"].is_number()) << match[1];
      EXPECT_TRUE(Printed(p["value"], match[2])) << match[1];
      if (match[3].matched) {
        ++deviations;
        EXPECT_TRUE(Printed(p["sd"], match[3])) << match[1];
      } else {
        EXPECT_TRUE(p["sd"].is_null()) << match[1];
      }
    }
    int documented = 0;
    for (const Json& p : system["parameters"]) documented += p["sd"].is_null() ? 0 : 1;
    EXPECT_EQ(documented, deviations);

    const auto rows = linesAfter(lines, "Correlation coefficients between fitted parameters:");
    EXPECT_EQ(system["correlation"].is_null(), rows.empty());
    for (std::size_t k = 0; k < rows.size(); ++k) {
      const auto r = words(rows[k]);
      ASSERT_EQ(r.size(), k + 1);
      for (std::size_t l = 0; l <= k; ++l)
        EXPECT_TRUE(Printed(system["correlation"]["matrix"][k][l], r[l]));
    }
    if (const auto w = linesAfter(lines, "Singular values for fitted parameters:"); !w.empty()) {
      const auto values = words(w[0]);
      ASSERT_EQ(values.size(), system["singular_values"].size());
      for (std::size_t j = 0; j < values.size(); ++j)
        EXPECT_TRUE(Printed(system["singular_values"][j], values[j]));
    }
    if (const std::string m = valueAfter(lines, "Number of fitting iterations = "); !m.empty()) {
      EXPECT_EQ(system["iterations"], std::stoi(m));
    }
    std::vector<int> ranks;
    for (const std::string& row : linesAfter(lines, "Rank of task Jacobian:"))
      for (const std::string& rank : words(row)) ranks.push_back(std::stoi(rank));
    EXPECT_EQ(system["iteration_ranks"].is_null()
                  ? std::vector<int>{}
                  : system["iteration_ranks"].get<std::vector<int>>(),
              ranks);

    for (int b = 1; b <= blocks && blocks > 1; ++b)
      EXPECT_TRUE(Printed(system["blocks"][b - 1]["rf"],
                          valueAfter(lines, "RF(" + fmt::integer(b, 2) + ")=")));
    EXPECT_TRUE(Printed(system["total_rf"], valueAfter(lines, "Total HAMILTON's R-Factor =")));
    EXPECT_EQ(system["counts"]["points"],
              std::stoi(valueAfter(lines, "Number of experimental points: ")));
  }

  // TABLE 1 to 3 of every block, row by row, and the block's sums.
  void checkTables(const std::vector<std::string>& lines, const Json& system) {
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < lines.size(); ++i)
      if (lines[i].rfind("TABLE 1: ", 0) == 0) starts.push_back(i);
    ASSERT_EQ(starts.size(), system["blocks"].size());
    starts.push_back(lines.size());
    for (std::size_t b = 0; b + 1 < starts.size(); ++b) {
      SCOPED_TRACE("block " + std::to_string(b + 1));
      const Json& block = system["blocks"][b];
      const std::vector<std::string> section(lines.begin() + starts[b],
                                             lines.begin() + starts[b + 1]);
      const auto table1 =
          linesAfter(section, " No.        Y exp.         Y calc.        Res.        Res.%");
      const auto table2 =
          linesAfter(section, "         Solution  and  Total  Initial Concentrations", 1);
      const auto table3 =
          linesAfter(section, "         in Each Chemical Species (C) in the Solution", 2);
      ASSERT_EQ(table1.size(), block["points"].size());
      ASSERT_EQ(table2.size(), block["points"].size());
      ASSERT_EQ(table3.size(), block["points"].size());
      for (std::size_t k = 0; k < table1.size(); ++k) {
        const Json& point = block["points"][k];
        const auto t1 = words(table1[k]);
        EXPECT_EQ(t1[0], std::to_string(point["number"].get<int>()) + ".");
        EXPECT_TRUE(Printed(point["Yexp"], t1[1]));
        EXPECT_TRUE(Printed(point["Ycalc"], t1[2]));
        EXPECT_TRUE(Printed(point["residual"], t1[3]));
        EXPECT_TRUE(Printed(point["residual_percent"], t1[4]));

        const auto t2 = columnsOf(table2[k]);
        ASSERT_EQ(t2.size(), 4u);
        const auto C = words(t2[0]), Ct = words(t2[1]), Cbt = words(t2[3]);
        ASSERT_EQ(C.size() - 1, point["C"].size());
        for (std::size_t i = 1; i < C.size(); ++i) EXPECT_TRUE(Printed(point["C"][i - 1], C[i]));
        ASSERT_EQ(Ct.size(), point["Ct"].size());
        for (std::size_t j = 0; j < Ct.size(); ++j) EXPECT_TRUE(Printed(point["Ct"][j], Ct[j]));
        EXPECT_TRUE(Printed(point["volume"], words(t2[2])[0]));
        ASSERT_EQ(Cbt.size(), point["Cbt"].size());
        for (std::size_t j = 0; j < Cbt.size(); ++j) EXPECT_TRUE(Printed(point["Cbt"][j], Cbt[j]));

        const auto t3 = columnsOf(table3[k]);
        ASSERT_EQ(t3.size() - 1, point["percentages"].size());
        for (std::size_t s = 0; s + 1 < t3.size(); ++s) {
          auto percent = words(t3[s]);
          if (s == 0) percent.erase(percent.begin());
          ASSERT_EQ(percent.size(), point["percentages"][s].size());
          for (std::size_t i = 0; i < percent.size(); ++i)
            EXPECT_TRUE(Printed(point["percentages"][s][i], percent[i]));
        }
      }
      EXPECT_TRUE(
          Printed(block["sum_of_squares"], valueAfter(section, "Sum of residuals square = ")));
      const std::string weighted = valueAfter(section, "Wighted sum of residuals square = ");
      EXPECT_EQ(block["weighted_sum_of_squares"].is_null(), weighted.empty());
      if (!weighted.empty()) {
        EXPECT_TRUE(Printed(block["weighted_sum_of_squares"], weighted));
      }
      const std::string sd = valueAfter(section, "Standard deviation of the fit: SD = ");
      EXPECT_EQ(block["sd_of_fit"].is_null(), sd.empty());
      if (!sd.empty()) {
        EXPECT_TRUE(Printed(block["sd_of_fit"], sd));
      }
    }
  }

  // The tables' values at full precision: the speciation solved afresh at every point with the
  // fitted parameters the run left in the model.
  void checkSpeciation(const Json& system) {
    openRunFiles("check.out");
    engine_->startRun();
    Model& m = *model_;
    for (const Json& block : system["blocks"]) {
      for (const Json& point : block["points"]) {
        const int p = point["number"];
        m.CurrentPoint = static_cast<std::uint16_t>(p);
        engine_->CALC();
        EXPECT_EQ(point["Yexp"].get<double>(), static_cast<double>(m.Yexp[p]));
        EXPECT_EQ(point["Ycalc"].get<double>(), static_cast<double>(m.Ycalc[p]));
        for (int i = 1; i <= m.NSpecies; ++i)
          EXPECT_TRUE(ExpectClose(point["C"][i - 1].get<double>(), engine_->main.C[i], 1e-12));
        const std::vector<int> shown = system["shown_components"];
        for (std::size_t k = 0; k < shown.size(); ++k) {
          const Real Cbt = engine_->main.Cbt[shown[k]];
          EXPECT_TRUE(ExpectClose(point["Cbt"][k].get<double>(), Cbt, 1e-12));
          for (int i = 1; i <= m.NSpecies; ++i)
            EXPECT_TRUE(ExpectClose(point["percentages"][k][i - 1].get<double>(),
                                    100 * engine_->main.C[i] * m.Stoich[i][shown[k]] / Cbt, 1e-12));
        }
      }
    }
  }
};

TEST_F(ResultsJsonTest, EveryNumberIsTheReportsForEachMethod) {
  struct Case {
    const char* name;
    std::string input;
    int method;
    bool oneByOne;
  };
  // Two titrations with a weight and a tied slope; an absorbance titration with a refined
  // purity; the one-by-one mode.
  const Case cases[] = {
      {"gradient", twoTitrations(), kGradient, false},
      {"simplex", twoTitrations(), kSimplex, false},
      {"montecarlo", twoTitrations(), kMonteCarlo, false},
      {"one-by-one gradient", twoTitrations(), kGradient, true},
      {"simplex with purity", readFile(sourcePath("examples/METHOD7.DAT")), kSimplex, false},
  };
  const ResultsSchema schema;
  schema.check(ResultsSchema::example(), "run");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    files_.closeAll();
    writeFile("T.DAT", c.input);
    writeFile("IN.IN", "T.DAT\r\nT.OUT\r\n");
    model_ = newModel();
    model_->FittingMethod = static_cast<std::uint8_t>(c.method);
    model_->FitOneByOne = c.oneByOne ? 1 : 0;
    model_->DeltaRF = 0.01f;
    model_->SeedGiven = 1;
    model_->RandomSeed = 5;
    RunResults results;
    results.program = "tarvolin-run";
    ASSERT_EQ(runComputeCommand(*model_, platform_, &results), RunStatus::Completed) << messages();
    const Json doc = resultsDocument(results);
    schema.check(doc, "run");
    ASSERT_EQ(doc["systems"].size(), 1u);
    const Json& system = doc["systems"][0];
    EXPECT_EQ(doc["method"], methodName(c.method));
    EXPECT_EQ(system["one_by_one_runs"].is_null(), !c.oneByOne);
    EXPECT_EQ(system["searches"].is_null(), c.method == kGradient);
    EXPECT_GT(system["iterations"].get<int>(), 0);
    const auto lines = fileLines("T.OUT");
    checkParameterSection(lines, system);
    checkTables(lines, system);
    checkSpeciation(system);
  }
}

// JSON has no NaN or infinity: such a value (or an 80-bit value beyond a double) is written
// null, and a note names it by its JSON pointer.
TEST(ResultsDocument, NonFiniteNumbersAreNullWithANote) {
  RunResults results;
  SystemResults& system = results.systems.emplace_back();
  system.TotalRF = std::numeric_limits<Real>::quiet_NaN();
  system.blocks.emplace_back().points.emplace_back().C = {1, 1e4000L, -1e4000L};
  const Json doc = resultsDocument(results);
  EXPECT_TRUE(doc["systems"][0]["total_rf"].is_null());
  EXPECT_EQ(doc["systems"][0]["blocks"][0]["points"][0]["C"].dump(), "[1.0,null,null]");
  EXPECT_EQ(doc["notes"].dump(),
            R"([{"at":"/systems/0/total_rf","note":"not a number"},)"
            R"({"at":"/systems/0/blocks/0/points/0/C/1","note":"+infinity"},)"
            R"({"at":"/systems/0/blocks/0/points/0/C/2","note":"-infinity"}])");
}

}  // namespace
}  // namespace tarvolin::test
