#pragma once
// The code39 command's options: one table for every mode (text rows, picture files, label sheets, the
// stock list), from which the parser, the usage line, --help and the usage messages are all made. A new
// option is one row of the table in Options.cpp and, where it holds a setting, a field of CommandLine.

#include "labels/RowList.h"
#include "labels/SymbolFit.h"
#include "labels/Zpl.h"
#include "render/BarCodeFiles.h"
#include "render/OutputLimits.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

// What the command does; the options given choose it.
enum class Mode : unsigned {
    Text = 1,      // the typeface's string of each row
    Pictures = 2,  // --png, --svg, --pdf: the bar code as a picture file
    Labels = 4,    // --labels: sheets of labels as a PDF, or as ZPL for a label printer
    StockList = 8, // --list-stocks
};
using Modes = unsigned; // a set of Mode bits
inline constexpr Modes operator|(Mode a, Mode b)
{
    return Modes(a) | Modes(b);
}
inline constexpr Modes operator|(Modes a, Mode b)
{
    return a | Modes(b);
}
inline constexpr Modes kEveryMode = Mode::Text | Mode::Pictures | Mode::Labels | Mode::StockList;

using render::PictureType;

// Everything the command line asks for.
struct CommandLine {
    Mode mode = Mode::Text;
    std::string modeOption; // the option that chose the mode, as "--png"; empty for text rows
    bool help = false;
    bool version = false;
    bool checksum = false;
    bool fullAscii = false;
    std::vector<std::string> data; // DATA (or the stock list's words), UTF-8; empty: standard input

    // The output file.
    std::string outputOption; // "--png", "--svg" or "--pdf"; empty when none was given
    PictureType pictureType = PictureType::Png;
    std::string outputFile;

    double pointSize = render::kDefaultPointSize;
    int dpi = render::kDefaultDpi;
    bool textAbove = false;
    bool antialias = true;
    bool force = false;

    std::string stock;
    bool zpl = false; // the labels as ZPL for a label printer, not as a PDF
    int start = 1;
    int copies = 1;
    double offsetXMm = 0;
    double offsetYMm = 0;
    bool outlines = false;
    bool verify = false;
    std::string listFile;
    int column = 0;
    bool header = false;

    std::string paper;
    bool rollsOnly = false;

    double barHeightMm = 0; // 0: as tall as the label allows
    labels::Rotation rotation = labels::Rotation::Auto;

    std::vector<std::string_view> given; // the long names of the options given, in order
};

// The value an option takes, checked before the option's setter sees it.
enum class ValueKind {
    None,        // a flag
    Text,        // any text but an empty one
    Number,      // a plain decimal number within the range
    WholeNumber, // digits only, within the range
    NumberPair,  // two Numbers and a comma, as "X,Y"
    Choice,      // one of the option's choices; numbers[0] is its place among them
};

struct OptionValue {
    std::string_view text;
    double numbers[2] = {0, 0};
};

struct Option {
    char shortName = '\0';      // '\0' when it has none
    std::string_view longName;  // without its "--"
    std::string_view valueName; // in help and usage, as "FILE"; empty for a flag
    ValueKind kind = ValueKind::None;
    Modes modes = 0;                    // the modes that accept it
    Modes chooses = 0;                  // the mode it chooses when given
    Modes requiredIn = 0;               // the modes that cannot do without it
    bool outputFile = false;            // names the output file: only one such option at a time
    std::string_view help;              // for --help, without the range and default that follow it there
    std::string_view needs;             // what its value must be, as "a point size", for the messages
    double low = 0, high = 0;           // the range of a number
    std::string_view choices;           // a Choice's words, separated by "|"
    std::optional<double> defaultValue; // the default --help shows
    void (*set)(CommandLine& commandLine, const OptionValue& value) = nullptr;
};

// Every option, in the order --help lists them.
std::span<const Option> OptionTable();

// "--name", or "-x" for a short name.
std::string OptionName(const Option& option);

struct ParseResult {
    bool ok = true;
    std::string error;      // why the command line is refused
    bool showUsage = false; // the error is about the options' shape: the usage line helps
};

// Fills commandLine from argv. "--name VALUE" and "--name=VALUE" both work, single-letter options cluster
// ("-cf"), "--" ends the options and a lone "-" is DATA.
ParseResult ParseCommandLine(int argc, char** argv, CommandLine& commandLine);

// Checks what a mode cannot do without, such as the output file of label sheets.
ParseResult CheckComplete(const CommandLine& commandLine);

// "--name needs <what its value must be>", with the range of a number.
std::string NeedsValue(std::string_view longName);

// One line, "usage: code39 ...", for the mode.
std::string UsageLine(Mode mode);
// "<reason>; usage: code39 ...": a refusal of the command line's shape.
std::string WithUsage(std::string_view reason, Mode mode);

// The text of --help.
std::string HelpText();

} // namespace cli
