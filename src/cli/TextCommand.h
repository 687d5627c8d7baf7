#pragma once
// code39 [-c] [-f] [DATA ...]: the string the bar-code typeface draws for each row, one output line per row
// (empty where the row cannot be encoded) so that rows stay aligned.

#include "Messages.h"
#include "Options.h"

namespace cli {

// Returns the exit status: 0 all encoded, 1 any row failed or the output could not be written.
int RunText(const CommandLine& commandLine, const Console& console);

} // namespace cli
