#pragma once
// The code39 command: reads its options, then hands over to the mode they choose.

#include "Messages.h"

namespace cli {

// Returns the exit status: 0 done, 1 any row or file failed, 2 bad usage.
int RunCommand(int argc, char** argv, const Console& console);

} // namespace cli
