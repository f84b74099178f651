#pragma once
// The results document of a run: everything the report prints, as JSON, for notebooks and
// pipelines (the fields are described in docs/results-json.md). Numbers are the 80-bit values
// converted to double and written in their shortest round-trip form; a value that is not
// finite as a double is written null, with a note that says where.

#include <nlohmann/json.hpp>
#include <string>

#include "run/run_results.h"

namespace tarvolin {

inline constexpr const char* kResultsSchema = "tarvolin-results/1";
inline constexpr const char* kBatchSchema = "tarvolin-batch/1";

nlohmann::ordered_json resultsDocument(const RunResults& results);

// Every number of the document that is not finite becomes null, and doc["notes"] lists it by
// its JSON pointer ("/systems/0/blocks/0/points/3/residual_percent").
void nullNonFinite(nlohmann::ordered_json& doc);

// Words for an exit status: "done", "input error", "calculation failure", "file error",
// "usage error", "cancelled", "ended by signal N".
std::string exitStatusText(int exitStatus);

// The method's name on the command line: "gradient", "simplex", "montecarlo".
std::string methodName(int fittingMethod);

// The report's name with its extension replaced by ".json" (appended when it has none):
// "res.OUT" gives "res.json".
std::string resultsJsonName(const std::string& outputName);

// Writes the document, indented, with a final line end; a failure throws IoError.
void writeJsonFile(const std::string& path, const nlohmann::ordered_json& doc);

}  // namespace tarvolin
