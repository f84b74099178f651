#pragma once
// The data-input window's own reader of a DAT file: the first calculated system, read into a
// model with the limits and checks of the run's reader, restricted to what the grids can show
// (one calculation model, one block of batch NMR data, the reactants as the input reagents),
// with the window's own messages. It reads the file itself: no work copy, no echo.

#include <string>

#include "model/model.h"
#include "ui/data_input/plan/notice.h"

namespace tarvolin::data_input {

// The words of the file: delimited by blanks, tabs, line ends and ","; a "/" also ends a word
// and starts a comment to the end of its line. A word whose only "." is its last character
// loses it (3. reads as 3). Line ends are counted for the messages (CR LF, LF or a lone CR
// each count once).
class PlanWords {
 public:
  enum class Result { Ok, EndOfInput, TooLong };

  explicit PlanWords(std::string text) : text_(std::move(text)) {}

  // Skips the rest of the current line and its line end (line 1 and the title).
  void skipLine();
  Result Get_Wrd(std::string& word);

  int line() const { return line_; }

 private:
  int next();
  std::string text_;
  std::size_t pos_ = 0;
  int lookAhead_ = ' ';
  int line_ = 0;
};

// Message codes of the window's table; 1 to 14 as the run's reader uses them.
enum AboutErrCode : int {
  kLoadBadNumber = 1,
  kLoadWordTooLong = 2,
  kLoadBadStoichiometry = 3,
  kLoadBadTitratedVolume = 4,
  kLoadTooManyReactants = 6,
  kLoadTooManySpecies = 7,
  kLoadTooManyBlocks = 8,
  kLoadTooManyBlockPoints = 9,
  kLoadTooManyPoints = 10,
  kLoadBadMethod = 11,
  kLoadTooManyReagents = 12,
  kLoadBadReagentIndex = 13,
  kLoadTooFewBlocks = 14,
};

struct AboutErrDetail {
  int code = 0;
  int line = 0;          // L: line ends read so far
  long long number = 0;  // N: the value named
  int species = 0;       // NSpecies where the message names it
  Real volume = 0;       // V0 of message 4
};

// The warning of a code; an empty text for a code without one.
Notice AboutErr(const AboutErrDetail& detail);

// The restrictions of the interactive input.
inline constexpr const char* kOneCalcModelOnly =
    "Current version of Tarvolin is interactive for one calc. model only";
inline constexpr const char* kOneBlockOnly =
    "Current version of Tarvolin is interactive for one block data only";
inline constexpr const char* kBatchNmrOnly =
    "Current version of Tarvolin is interactive for batch NMR data only";
inline constexpr const char* kReactantsAsReagentsOnly =
    "Current version of Tarvolin is interactive for reactants as input reagents only";

struct LoadOutcome {
  Notices notices;  // warnings to show, in order
  bool DataError = false;
};

// Reads the first system of DAT text into the model. On DataError the model may be partly
// overwritten: read into a scratch copy when the old one must survive.
LoadOutcome LoadData(const std::string& text, Model& model);
// The same from a file; a file that cannot be read gives "Select an existing the *.DAT File.".
LoadOutcome LoadDataFile(const std::string& path, Model& model);

}  // namespace tarvolin::data_input
