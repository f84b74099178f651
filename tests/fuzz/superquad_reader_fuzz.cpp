// libFuzzer target of the SUPERQUAD card reader: any byte string, its first line taken as the
// title, must end in a clean read or in exactly one message with ReadError set; the
// sanitizers catch any read or write outside a table. Seed corpus: examples/*.SQD and
// tests/data/sqd/.

#include <cstddef>
#include <cstdint>
#include <string>

#include "model/model.h"
#include "model/superquad_reader.h"
#include "model/word_reader.h"
#include "tests/fuzz/silent_platform.h"
#include "tests/support/model_tables.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // One model for the whole run, as in the program, where each read overwrites what the
  // previous one left and grows the tables that a larger system needs.
  static tarvolin::Model* const model = new tarvolin::Model();

  tarvolin::InputText input(std::string(reinterpret_cast<const char*>(data), size));
  std::string title;
  input.readLine(title);
  input.line = 1;
  model->ReadError = 0;
  model->RunIncomplete = 1;
  tarvolin::fuzz::SilentPlatform platform;
  tarvolin::ReadSuperquad(*model, input, tarvolin::fuzz::nullEcho(), platform);

  const bool clean = model->ReadError == 0;
  if (clean && (model->RunIncomplete != 0 || platform.messages != 0)) __builtin_trap();
  if (!clean && (model->ReadError != 1 || model->RunIncomplete != 1 || platform.messages != 1))
    __builtin_trap();
  if (clean && !tarvolin::test::tableBreach(*model).empty()) __builtin_trap();
  return 0;
}
