#pragma once
// code39 --labels: fills sheets of labels with bar codes and writes them as a PDF, and
// code39 --list-stocks: lists the label stocks that match some words.

namespace cli {

// True when the command line asks for label sheets or the stock list (before any "--").
bool WantsLabels(int argc, char** argv);

// code39 --labels STOCK --pdf FILE [--start N] [--copies K] [--size PT] [--text-above] [-c] [-f]
//        [--dpi N] [--outlines] [--offset X,Y] [--list FILE [--column N] [--header]] [DATA ...]
// code39 --list-stocks [--paper ID] [WORDS ...]
// Returns the exit status: 0 done, 1 a row failed, nothing matched or the file cannot be written,
// 2 an unknown or ambiguous stock or bad usage.
int RunLabels(int argc, char** argv);

} // namespace cli
