#pragma once
// code39 --labels STOCK --pdf|--zpl FILE: fills sheets of labels with bar codes, one label per row, as a PDF
// or as ZPL for a label printer.

#include "Messages.h"
#include "Options.h"

namespace cli {

// Returns the exit status: 0 done, 1 a row failed, a label does not read back (--verify: nothing is then
// written) or the file cannot be written, 2 an unknown or ambiguous stock or bad usage.
int RunLabels(const CommandLine& commandLine, const Console& console, char* programName);

} // namespace cli
