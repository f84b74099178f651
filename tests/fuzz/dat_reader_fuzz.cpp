// libFuzzer entry for the DAT reader: the bytes are taken as a DAT file, prepared like a run's
// input copy (each line cut at its first "/", trailing blanks dropped, CR LF line ends) and read
// system after system into one model, as a run reads them. Besides crashes and sanitizer
// reports, the target stops on a read that ends neither cleanly nor with exactly one message,
// and on a clean read that leaves a count or index outside the model's tables.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/text_file.h"
#include "model/dat_reader.h"
#include "model/model.h"
#include "model/numeric_words.h"
#include "model/word_reader.h"
#include "tests/fuzz/silent_platform.h"
#include "tests/support/model_tables.h"

namespace {

using namespace tarvolin;

std::string preparedCopy(std::string_view bytes) {
  std::string copy;
  copy.reserve(bytes.size() + bytes.size() / 8 + 2);
  for (std::string line : splitLines(bytes)) {
    if (const auto slash = line.find('/'); slash != std::string::npos) line.erase(slash);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.pop_back();
    copy.append(line).append("\r\n");
  }
  return copy;
}

[[noreturn]] void stop(const char* what) {
  std::fprintf(stderr, "dat_reader_fuzz: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // One process-wide model, as in the program: later systems and inputs find the fields an
  // earlier one left.
  static Model* const model = new Model;

  InputText input(preparedCopy(std::string_view(reinterpret_cast<const char*>(data), size)));
  std::string first;
  input.readLine(first);
  while (!first.empty() && first.back() == ' ') first.pop_back();
  ++input.line;
  long long systems = 0;
  if (!parseIntegerWord(first, systems) || systems < 0 || systems > 65535) return 0;

  fuzz::SilentPlatform platform;
  for (long long s = 1; s <= systems; ++s) {
    std::string title;
    input.readLine(title);
    ++input.line;
    model->Title = title;
    model->ReadError = 0;
    model->RunIncomplete = 1;
    platform.messages = 0;
    ReadDatSystem(*model, input, fuzz::nullEcho(), platform);
    const bool clean = model->ReadError == 0 && model->RunIncomplete == 0 && platform.messages == 0;
    const bool refused = model->ReadError == 1 && platform.messages == 1;
    if (!clean && !refused) stop("reading ended neither cleanly nor with one message");
    if (refused) break;
    if (const std::string breach = test::tableBreach(*model); !breach.empty())
      stop(("clean read outside the tables: " + breach).c_str());
  }
  return 0;
}
