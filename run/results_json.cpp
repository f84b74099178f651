#include "run/results_json.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "base/text_file.h"

#ifndef TARVOLIN_VERSION
#define TARVOLIN_VERSION "unknown"
#endif

namespace tarvolin {

namespace {

using json = nlohmann::ordered_json;

json number(Real x) { return static_cast<double>(x); }

json optionalNumber(const std::optional<Real>& x) { return x ? number(*x) : json(nullptr); }

json numbers(const std::vector<Real>& values) {
  json list = json::array();
  for (Real x : values) list.push_back(number(x));
  return list;
}

json integers(const std::vector<int>& values) { return json(values); }

json textOrNull(const std::string& text) { return text.empty() ? json(nullptr) : json(text); }

json indexOrNull(int index) { return index > 0 ? json(index) : json(nullptr); }

// Local time as ISO 8601 without a zone, to the millisecond, as the report's banner takes it.
json timeText(const std::optional<ClockReading>& t) {
  if (!t) return nullptr;
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03d", t->year, t->month, t->day,
                t->hour, t->minute, t->second, t->millisecond);
  return text;
}

// The run option is single precision: its shortest decimal form, read as a double, so that
// 1.0e-6 is written 1e-06 and not 9.99999997e-07.
json singlePrecision(float x) {
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, x).ptr;
  *end = '\0';
  return std::strtod(text, nullptr);
}

json parameterDocument(const ParameterResult& p) {
  return {{"kind", p.kind},
          {"name", p.name},
          {"species", indexOrNull(p.species)},
          {"block", indexOrNull(p.block)},
          {"reagent", indexOrNull(p.reagent)},
          {"start", number(p.start)},
          {"value", number(p.value)},
          {"sd", optionalNumber(p.sd)},
          {"fitted", p.fitted},
          {"tie", p.key >= 10 ? json(p.key) : json(nullptr)},
          {"column", indexOrNull(p.column)}};
}

json pointDocument(const PointResult& p, std::size_t speciesCount) {
  json percentages = json::array();
  for (std::size_t at = 0; at + speciesCount <= p.percentages.size() && speciesCount > 0;
       at += speciesCount)
    percentages.push_back(numbers(
        std::vector<Real>(p.percentages.begin() + static_cast<std::ptrdiff_t>(at),
                          p.percentages.begin() + static_cast<std::ptrdiff_t>(at + speciesCount))));
  return {{"number", p.number},
          {"Yexp", number(p.Yexp)},
          {"Ycalc", number(p.Ycalc)},
          {"residual", number(p.residual)},
          {"residual_percent", number(p.residualPercent)},
          {"C", numbers(p.C)},
          {"Ct", numbers(p.Ct)},
          {"volume", number(p.volume)},
          {"Cbt", numbers(p.Cbt)},
          {"percentages", percentages}};
}

json blockDocument(const BlockResult& b, int speciesCount) {
  json points = json::array();
  for (const PointResult& p : b.points)
    points.push_back(pointDocument(p, static_cast<std::size_t>(speciesCount)));
  return {{"number", b.number},
          {"method", b.method},
          {"weight", number(b.weight)},
          {"rf", number(b.RF)},
          {"sum_of_squares", number(b.sumOfSquares)},
          {"weighted_sum_of_squares", optionalNumber(b.weightedSumOfSquares)},
          {"sd_of_fit", optionalNumber(b.fitSD)},
          {"points", points}};
}

json correlationDocument(const SystemResults& s) {
  if (s.correlation.empty()) return nullptr;
  json matrix = json::array();
  for (const std::vector<Real>& row : s.correlation) matrix.push_back(numbers(row));
  return {{"parameters", s.correlationNames}, {"matrix", matrix}};
}

json systemDocument(const SystemResults& s) {
  json parameters = json::array();
  for (const ParameterResult& p : s.parameters) parameters.push_back(parameterDocument(p));
  json blocks = json::array();
  for (const BlockResult& b : s.blocks) blocks.push_back(blockDocument(b, s.speciesCount));
  return {
      {"number", s.number},
      {"title", s.title},
      {"counts",
       {{"reactants", s.reactantCount},
        {"species", s.speciesCount},
        {"blocks", s.blockCount},
        {"points", s.pointCount},
        {"input_reagents", s.reagentCount},
        {"fitted", s.fittedCount}}},
      {"parameters", parameters},
      {"correlation", correlationDocument(s)},
      {"rank", s.rank ? json(*s.rank) : json(nullptr)},
      {"singular_values", s.rank ? numbers(s.singularValues) : json(nullptr)},
      {"iteration_ranks", s.iterationRanks.empty() ? json(nullptr) : integers(s.iterationRanks)},
      {"iterations", s.iterations},
      {"searches", s.searches > 0 ? json(s.searches) : json(nullptr)},
      {"one_by_one_runs", s.oneByOneRuns ? json(*s.oneByOneRuns) : json(nullptr)},
      {"total_rf", number(s.TotalRF)},
      {"objective", number(s.objective)},
      {"reagent_species", integers(s.reagentSpecies)},
      {"shown_components", integers(s.shownComponents)},
      {"blocks", blocks}};
}

void collectNonFinite(json& value, const std::string& pointer, json& notes) {
  if (value.is_number_float()) {
    const double x = value.get<double>();
    if (!std::isfinite(x)) {
      notes.push_back({{"at", pointer},
                       {"note", std::isnan(x) ? "not a number"
                                : x > 0       ? "+infinity"
                                              : "-infinity"}});
      value = nullptr;
    }
  } else if (value.is_array()) {
    for (std::size_t i = 0; i < value.size(); ++i)
      collectNonFinite(value[i], pointer + "/" + std::to_string(i), notes);
  } else if (value.is_object()) {
    for (auto& [key, item] : value.items()) collectNonFinite(item, pointer + "/" + key, notes);
  }
}

}  // namespace

void nullNonFinite(json& doc) {
  json notes = json::array();
  collectNonFinite(doc, "", notes);
  if (!doc.contains("notes")) doc["notes"] = json::array();
  for (json& note : notes) doc["notes"].push_back(std::move(note));
}

std::string exitStatusText(int exitStatus) {
  switch (exitStatus) {
    case 0:
      return "done";
    case 1:
      return "input error";
    case 2:
      return "calculation failure";
    case 3:
      return "file error";
    case 64:
      return "usage error";
    case 130:
      return "cancelled";
    default:
      break;
  }
  if (exitStatus > 128) return "ended by signal " + std::to_string(exitStatus - 128);
  return "failed";
}

std::string methodName(int fittingMethod) {
  switch (fittingMethod) {
    case kGradient:
      return "gradient";
    case kMonteCarlo:
      return "montecarlo";
    default:
      return "simplex";
  }
}

json resultsDocument(const RunResults& r) {
  json systems = json::array();
  for (const SystemResults& s : r.systems) systems.push_back(systemDocument(s));
  json doc = {{"schema", kResultsSchema},
              {"program", r.program},
              {"version", TARVOLIN_VERSION},
              {"input", textOrNull(r.input)},
              {"output", textOrNull(r.output)},
              {"method", methodName(r.method)},
              {"options",
               {{"single_step", r.singleStep},
                {"one_by_one", r.oneByOne},
                {"delta_rf", singlePrecision(r.deltaRF)},
                {"seed", r.seed ? json(*r.seed) : json(nullptr)}}},
              {"started", timeText(r.started)},
              {"finished", timeText(r.finished)},
              {"exit_status", r.exitStatus},
              {"status", exitStatusText(r.exitStatus)},
              {"message", textOrNull(r.message)},
              {"notes", json::array()},
              {"systems", systems}};
  nullNonFinite(doc);
  return doc;
}

std::string resultsJsonName(const std::string& outputName) {
  const auto slash = outputName.find_last_of('/');
  const auto dot = outputName.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
    return outputName + ".json";
  return outputName.substr(0, dot) + ".json";
}

void writeJsonFile(const std::string& path, const json& doc) {
  TextWriter file;
  if (!file.create(path)) throw IoError::fromSystem(path);
  file.write(doc.dump(1) + "\n");
  file.close();
}

}  // namespace tarvolin
