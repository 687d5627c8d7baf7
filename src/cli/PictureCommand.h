#pragma once
// code39 --png / --svg / --pdf FILE: the bar code as a picture file, one DATA at a time, or one file per
// row when the file name holds %n or %d.

#include "Messages.h"
#include "Options.h"

namespace cli {

// Returns the exit status: 0 every file written, 1 any row failed (its reason on standard error, no file
// for it), 2 bad usage or a single picture too large to make.
int RunPictures(const CommandLine& commandLine, const Console& console, char* programName);

} // namespace cli
