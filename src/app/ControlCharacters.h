#pragma once
// The control characters Insert offers in Full ASCII mode, as the caret codes the data field takes.

#include <QString>

namespace kelm {

// The caret code for a choice of the control-character list: a name known whole ("Tab" -> "^I"), or
// "Ctrl-x" for the letters offered ("Ctrl-A" -> "^A"; only the letter after the prefix counts). Empty for
// anything else, a text too short to hold a letter included.
QString CaretCodeFor(const QString& choice);

} // namespace kelm
