#pragma once
// What `kelm` answers on the command line before any window: its help and its version. Everything else
// on the command line is left to Qt (which takes -style, -platform and the like) and the window starts.

#include <QStringList>
#include <optional>
#include <string>

namespace kelm {

// One option of the kelm command: the manual page and --help are held to this table by a test.
struct StartOption {
    const char* shortName; // "h", or nullptr
    const char* longName;  // "help"
    const char* help;
};

// Every option kelm takes itself.
const std::initializer_list<StartOption>& StartOptions();

// The text to print for the arguments (without the program's name) and exit with 0, or nothing when the
// window is to start.
std::optional<std::string> StartAnswer(const QStringList& arguments);

// The help text, written from StartOptions().
std::string StartHelpText();

} // namespace kelm
