#pragma once
// The messages of the DAT reader. Each stops the reading; the caller shows the text in an error
// box with an OK button and the reading ends with ReadError set.

#include <stdexcept>
#include <string>

#include "base/platform.h"
#include "model/model.h"

namespace tarvolin {

// Message codes of the DAT reader. 1-14 are the classic table; the later ones reject input
// that the model cannot hold (zero counts, index 0, initial counts beyond the system, more
// reagents or fitted parameters than the tables take, meaningless fitting keys).
enum InputErrorCode : int {
  kBadNumber = 1,
  kWordTooLong = 2,
  kBadStoichiometry = 3,
  kBadTitratedVolume = 4,
  kTooManyReactants = 6,
  kTooManySpecies = 7,
  kTooManyBlocks = 8,
  kTooManyBlockPoints = 9,
  kTooManyPoints = 10,
  kBadMethod = 11,
  kTooManyReagents = 12,
  kBadReagentIndex = 13,
  kTooFewBlocks = 14,
  kNoReactants = 15,
  kNoSpecies = 16,
  kReagentIndexZero = 17,
  kBadInitReactants = 18,
  kBadInitSpecies = 19,
  kReagentTableFull = 20,
  kTooManyFitted = 21,
  kBadFitAVKey = 22,
  kNoBlockPoints = 23,
  kDanglingFitAVTie = 24,
  kBadTotalVolume = 25,
  kFewerSpeciesThanReactants = 26,
  kBadStep = 27,
  kNoSystems = 28,
};

// What a message needs besides its code: the line counter and the numbers it names.
struct InputErrorDetail {
  int code = 0;
  long long number = 0;  // N of the table
  int line = 0;          // L of the table
  Real volume = 0;       // the refused value of messages 4, 25 and 27 (V0, total volume, Step)
  int limit = 0;         // the count the number is compared with (NSpecies, NReactants, NFit)
};

struct InputMessage {
  std::string caption;
  std::string text;
};

// Caption and text for a code; an empty text for the codes that only set ReadError (0, 5, and
// any code without a message).
InputMessage inputErrorMessage(const InputErrorDetail& detail);

// The reader's message routine: shows the message (error icon, OK) when it has one and always
// sets ReadError.
void ShowInputError(const InputErrorDetail& detail, Model& model, Platform& platform);

// Thrown inside a reader to stop reading at once; the reader's entry point turns it into
// ShowInputError.
class InputError : public std::runtime_error {
 public:
  explicit InputError(InputErrorDetail detail)
      : std::runtime_error("input error"), detail_(detail) {}
  const InputErrorDetail& detail() const { return detail_; }

 private:
  InputErrorDetail detail_;
};

}  // namespace tarvolin
