#pragma once
// Reader of the system's own DAT input: one calculated system's data words, from the
// current position of the input work copy, into the model, with every value echoed to the
// echo file as it is read.

#include "base/platform.h"
#include "base/text_file.h"
#include "model/model.h"
#include "model/word_reader.h"

namespace tarvolin {

// Reads the data words of one calculated system (everything after its title line). On success
// ReadError and RunIncomplete are 0; on an input error the message has been shown, ReadError is
// 1 and RunIncomplete is left as the caller set it.
void ReadDatSystem(Model& model, InputText& input, TextWriter& echo, Platform& platform);

}  // namespace tarvolin
