#include "model/input_messages.h"

#include "base/number_format.h"

namespace tarvolin {

namespace {

const char* const kCaption = "Input Experimental Data";

std::string num(long long n) { return fmt::integer(n); }

std::string atLine(int line) {
  return "The DATA file error at reading line >= " + num(line);
}

}  // namespace

InputMessage inputErrorMessage(const InputErrorDetail& d) {
  const std::string N = num(d.number);
  switch (d.code) {
    case kBadNumber:
      return {kCaption, atLine(d.line)};
    case kWordTooLong:
      return {kCaption, atLine(d.line) + ":" + " too long the input number(word)."};
    case kBadStoichiometry:
      return {kCaption, atLine(d.line) + ":" + " see input of stoichiometric matrix."};
    case kBadTitratedVolume:
      return {kCaption, atLine(d.line) + ": " + fmt::general(d.volume) +
                            " - incorrect value of titrated volume."};
    case kTooManyReactants:
      return {"Data Input for TARVOLIN",
              std::string("Too many basic components (reatants), it is more than ") + "50"};
    case kTooManySpecies:
      return {kCaption, std::string("Too many species in solution - more than ") + "100"};
    case kTooManyBlocks:
      return {kCaption, std::string("Too many experimental blocks - more than ") + "100" +
                            " or the number of titration curves is greater than " + "100"};
    case kTooManyBlockPoints:
      return {kCaption, "The number of data points in block is " + N + " more than " + "3300"};
    case kTooManyPoints:
      return {kCaption, std::string("The number of data points is greater than ") + "3300"};
    case kBadMethod:
      return {kCaption, "Incorrect data type - impossible experimental method; see Help."};
    case kTooManyReagents:
      return {kCaption, "The number of inputing reagents (" + N +
                            ") is greater than the number of species in solution " +
                            num(d.limit)};
    case kBadReagentIndex:
      return {kCaption, "The number of input reagent (" + N +
                            ") is greater than the number of all species in solution (" +
                            num(d.limit) + ")"};
    case kTooFewBlocks:
      return {kCaption, std::string("Incorrect number of experimental blocks: ") + "100"};
    case kNoReactants:
      return {kCaption, atLine(d.line) + ": the number of basic components (reactants) is " + N +
                            ", it must be at least 1."};
    case kNoSpecies:
      return {kCaption, atLine(d.line) + ": the number of species in solution is " + N +
                            ", it must be at least 1."};
    case kReagentIndexZero:
      return {kCaption, atLine(d.line) + ": the number of input reagent (" + N +
                            ") must be at least 1."};
    case kBadInitReactants:
      return {kCaption, atLine(d.line) + ": the number of basic components before the first "
                                         "addition (" + N +
                            ") is outside 0 .. the number of basic components " + num(d.limit)};
    case kBadInitSpecies:
      return {kCaption, atLine(d.line) + ": the number of species before the first addition (" +
                            N + ") is outside 0 .. the number of species in solution " +
                            num(d.limit)};
    case kReagentTableFull:
      return {kCaption, "The number of inputing reagents (" + N + ") is more than " + "50"};
    case kTooManyFitted:
      return {kCaption, "Too many fitted parameters (" + N + ") - more than " + "255"};
    case kBadFitAVKey:
      return {kCaption, atLine(d.line) + ": incorrect fitting key of additive value (" + N +
                            "): use 0, 1 or 10 times the number of a fitted parameter."};
    case kNoBlockPoints:
      return {kCaption, "The number of data points in block is " + N + " less than " + "1"};
    case kDanglingFitAVTie:
      return {kCaption, "The fitting key of additive value (" + N +
                            ") names a fitted parameter that does not exist; fitted parameters: " +
                            num(d.limit)};
    case kBadTotalVolume:
      return {kCaption, atLine(d.line) + ": " + fmt::general(d.volume) +
                            " - incorrect value of total volume after an addition."};
    case kFewerSpeciesThanReactants:
      return {kCaption, "The number of species in solution (" + N +
                            ") is less than the number of basic components " + num(d.limit)};
    case kBadStep:
      return {kCaption, atLine(d.line) + ": " + fmt::general(d.volume) +
                            " - incorrect value of step size; use 0 or a positive number."};
    case kNoSystems:
      return {kCaption, atLine(d.line) + ": the number of calculated systems is " + N +
                            ", it must be at least 1."};
    default:
      return {kCaption, ""};
  }
}

void ShowInputError(const InputErrorDetail& detail, Model& model, Platform& platform) {
  const InputMessage message = inputErrorMessage(detail);
  if (!message.text.empty())
    platform.showMessage(MessageKind::Error, message.caption, message.text, MessageButtons::Ok);
  model.ReadError = 1;
}

}  // namespace tarvolin
