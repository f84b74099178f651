#pragma once
// Reader of SUPERQUAD card files (*.SQD): the reactants and complexes of a system and one or
// more potentiometric titrations of it, each with its vessel and burette contents, electrode
// calibration and titration points, turned into one calculated system with one titration
// block per titration. The cards are fixed-column, a number standing anywhere in its field;
// every field is echoed to the echo file exactly as read.

#include <string>

#include "base/platform.h"
#include "base/text_file.h"
#include "model/input_messages.h"
#include "model/model.h"
#include "model/word_reader.h"

namespace tarvolin {

// Message codes of the card reader. Codes 1-23 name the card group in which the reading
// stopped, codes 24-26 a count or a reactant number.
enum SuperquadErrorCode : int {
  kSqdReactantCount = 1,
  kSqdTemperature = 2,
  kSqdFormationConstant = 3,
  kSqdStoichiometry = 4,
  kSqdKey = 5,
  kSqdReactantIndex = 6,
  kSqdPrintControl = 7,
  kSqdVesselMillimoles = 8,
  kSqdBuretteConcentration = 9,
  kSqdRefinementKey = 10,
  kSqdJcoul = 11,
  kSqdInitialVolume = 12,
  kSqdTitreError = 13,
  kSqdElectrodeType = 14,
  kSqdTransferredElectrons = 15,
  kSqdIfcIndex = 16,
  kSqdEzero = 17,
  kSqdSigmae = 18,
  kSqdLock = 19,
  kSqdSlope = 20,
  kSqdTitre = 21,
  kSqdEmf = 22,
  kSqdJump = 23,
  kSqdTooManySpecies = 24,
  kSqdTooManyPoints = 25,
  kSqdNegativeConcentration = 26,
};

// Caption and text of a card-reader message. For codes 1-23 `number` is the card group, for
// 24-26 the count or reactant number the message names. Codes without a message (0 and
// anything above 26) give an empty text.
InputMessage superquadErrorMessage(int code, long long number);

// The card reader's message routine: shows the message (error icon, OK) when the code has
// one, and always sets ReadError.
void ShowSuperquadError(int code, long long number, Model& model, Platform& platform);

// Reads the cards after the title line (the caller has read the title) into the model: one
// block of method 8 (electrode potential) or 1 (-lg of a free concentration) per titration. On
// success ReadError and RunIncomplete are 0; on an input error the message has been shown,
// ReadError is 1 and RunIncomplete is left as the caller set it.
void ReadSuperquad(Model& model, InputText& input, TextWriter& echo, Platform& platform);

}  // namespace tarvolin
