#pragma once
// The files of one calculation run and the small file routines the driver shares with the
// front ends.

#include <memory>
#include <string>

#include "base/text_file.h"
#include "model/word_reader.h"

namespace tarvolin {

inline constexpr const char* kControlFileName = "IN.IN";
inline constexpr const char* kInputCopyName = "CURRENT.DA~";
inline constexpr const char* kEchoFileName = "INIT_INP.TMP";
inline constexpr const char* kFittedDataName = "CURRENT.OU~";

struct RunFiles {
  std::unique_ptr<InputText> input;  // the work copy "CURRENT.DA~", read to the end of the run
  TextWriter report;
  TextWriter pfp;
  TextWriter ttc;
  TextWriter rac;
  TextWriter echo;
  TextWriter fitted;
  std::string outputName;
  std::string plotBase;

  // CloseRunFiles: closes whatever is open; used on every early end. Errors while closing are
  // ignored here, since the run is ending on an earlier failure anyway.
  void closeAll();
};

// Base name of the run's PFP, TTC and RAC files: the output name up to the first "." of its
// file-name part (res.old.out gives res); the folder, if any, is kept.
std::string plotFileBase(const std::string& outputName);

// Upper-cased extension of a file name, from its last "." (after the last folder separator),
// cut to four characters: "run.dat" gives ".DAT", "picture.jpeg" gives ".JPE".
std::string upperExtension4(const std::string& fileName);

// Why a run of `input` into the report `output` from the current folder would overwrite a file
// it has to read: the output is the input itself (under any name), the input or the output is
// one of the run's work files, the input is one of the plot files the run writes beside its
// report, or a name holds a line break (the control file holds one name per line). An empty
// text when the pair is safe.
std::string runFileConflict(const std::string& input, const std::string& output);

// Why the results document `results` of that run would overwrite a file the run reads or
// writes: the input, the report or a work file. Empty when it is safe.
std::string resultsFileConflict(const std::string& results, const std::string& input,
                                const std::string& output);

// The file-name part of a path.
std::string fileNamePart(const std::string& path);

}  // namespace tarvolin
