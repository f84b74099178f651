#pragma once
// Checks a results document against the field tables of docs/results-json.md, so that the
// document and its description cannot drift apart: every object must have exactly the keys of
// its table, each value of the type the table states. A table is the one under a heading
// "### `name`..."; its rows read "| `key` | type | meaning |", the type one of string, integer,
// number, boolean, "`name` object", "array of <type>s" ("arrays of ..." nest), each with an
// optional "or null".

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "base/text_file.h"
#include "tests/support/test_support.h"

namespace tarvolin::test {

class ResultsSchema {
 public:
  using Json = nlohmann::ordered_json;

  ResultsSchema() {
    std::string table;
    for (const std::string& line : splitLines(readFile(sourcePath("docs/results-json.md")))) {
      if (line.rfind("### `", 0) == 0) {
        table = line.substr(5, line.find('`', 5) - 5);
      } else if (!table.empty() && line.rfind("| `", 0) == 0) {
        const auto keyEnd = line.find('`', 3);
        const auto typeStart = line.find('|', keyEnd) + 2;
        const auto typeEnd = line.find(" |", typeStart);
        tables_[table].emplace_back(line.substr(3, keyEnd - 3),
                                    line.substr(typeStart, typeEnd - typeStart));
      }
    }
  }

  // The document's example, the first ```json block.
  static Json example() {
    const std::string text = readFile(sourcePath("docs/results-json.md"));
    const auto start = text.find("```json\n") + 8;
    return Json::parse(text.substr(start, text.find("```", start) - start));
  }

  // Failures name the value by its JSON pointer.
  void check(const Json& value, const std::string& table, const std::string& at = "") const {
    const auto found = tables_.find(table);
    if (found == tables_.end()) {
      ADD_FAILURE() << "no table `" << table << "` in docs/results-json.md";
      return;
    }
    if (!value.is_object()) {
      ADD_FAILURE() << at << " is not an object";
      return;
    }
    std::vector<std::string> documented;
    for (const auto& [key, type] : found->second) {
      documented.push_back(key);
      if (!value.contains(key))
        ADD_FAILURE() << at << "/" << key << " is missing";
      else
        checkType(value[key], type, at + "/" + key);
    }
    for (const auto& item : value.items())
      if (std::find(documented.begin(), documented.end(), item.key()) == documented.end())
        ADD_FAILURE() << at << "/" << item.key() << " is not documented in `" << table << "`";
  }

 private:
  void checkType(const Json& value, std::string type, const std::string& at) const {
    const std::string orNull = " or null";
    if (type.size() > orNull.size() && type.ends_with(orNull)) {
      if (value.is_null()) return;
      type.erase(type.size() - orNull.size());
    }
    if (type.rfind("array of ", 0) == 0) {
      if (!value.is_array()) {
        ADD_FAILURE() << at << " is not an array";
        return;
      }
      // "arrays of numbers" -> "array of numbers", "numbers" -> "number".
      std::string element = type.substr(9);
      element = element.rfind("arrays of ", 0) == 0 ? "array of " + element.substr(10)
                                                    : element.substr(0, element.size() - 1);
      for (std::size_t i = 0; i < value.size(); ++i)
        checkType(value[i], element, at + "/" + std::to_string(i));
      return;
    }
    if (type.front() == '`') {
      check(value, type.substr(1, type.find('`', 1) - 1), at);
      return;
    }
    const bool ok = type == "string"    ? value.is_string()
                    : type == "integer" ? value.is_number_integer()
                    : type == "number"  ? value.is_number()
                    : type == "boolean" ? value.is_boolean()
                                        : false;
    if (!ok) ADD_FAILURE() << at << " is not of type '" << type << "': " << value.dump();
  }

  std::map<std::string, std::vector<std::pair<std::string, std::string>>> tables_;
};

}  // namespace tarvolin::test
