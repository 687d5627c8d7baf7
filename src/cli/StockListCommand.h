#pragma once
// code39 --list-stocks [--paper PAPER] [WORDS ...]: the label stocks that match every word.

#include "Messages.h"
#include "Options.h"

namespace cli {

// One tab-separated line per stock: maker, part, paper, labels per sheet, label size, description.
// Returns the exit status: 0 some stock matched, 1 none did or the output could not be written.
int RunStockList(const CommandLine& commandLine, const Console& console, char* programName);

} // namespace cli
