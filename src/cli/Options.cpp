#include "Options.h"

#include "RowReader.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <string>

namespace cli {

namespace {

using enum Mode;

// Each row names only what it has; the rest keep their defaults, which GCC's -Wextra would flag.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
// clang-format off
constexpr Option kOptions[] = {
    {.shortName = 'c', .longName = "checksum", .modes = Text | Pictures | Labels,
     .help = "append the modulo-43 check character",
     .set = [](CommandLine& c, const OptionValue&) { c.checksum = true; }},
    {.shortName = 'f', .longName = "full-ascii", .modes = Text | Pictures | Labels,
     .help = "encode any 7-bit character by the Full ASCII rules; ^0 is NUL, ^1 to ^9 are ESC and ^A to ^Z "
             "are Ctrl-A to Ctrl-Z",
     .set = [](CommandLine& c, const OptionValue&) { c.fullAscii = true; }},
    {.shortName = 'h', .longName = "help", .modes = kEveryMode,
     .help = "show this help and exit",
     .set = [](CommandLine& c, const OptionValue&) { c.help = true; }},
    {.longName = "version", .modes = kEveryMode,
     .help = "show the version and exit",
     .set = [](CommandLine& c, const OptionValue&) { c.version = true; }},

    {.longName = "png", .valueName = "FILE", .kind = ValueKind::Text, .modes = Modes(Pictures),
     .chooses = Modes(Pictures), .outputFile = true,
     .help = "a PNG image of the typeface's bars, at --dpi", .needs = "a file name",
     .set = [](CommandLine& c, const OptionValue& v) { c.pictureType = PictureType::Png; c.outputFile = v.text; }},
    {.longName = "svg", .valueName = "FILE", .kind = ValueKind::Text, .modes = Modes(Pictures),
     .chooses = Modes(Pictures), .outputFile = true,
     .help = "an SVG drawing: bars as rectangles, text in a monospace face", .needs = "a file name",
     .set = [](CommandLine& c, const OptionValue& v) { c.pictureType = PictureType::Svg; c.outputFile = v.text; }},
    {.longName = "pdf", .valueName = "FILE", .kind = ValueKind::Text, .modes = Pictures | Labels,
     .chooses = Modes(Pictures), .requiredIn = Modes(Labels), .outputFile = true,
     .help = "a one-page PDF: bars as paths, selectable text; with --labels, the sheets",
     .needs = "a file name",
     .set = [](CommandLine& c, const OptionValue& v) { c.pictureType = PictureType::Pdf; c.outputFile = v.text; }},
    // Point size and resolution: the ranges and defaults every output shares.
    {.longName = "size", .valueName = "PT", .kind = ValueKind::Number, .modes = Pictures | Labels,
     .help = "the typeface's size in points; with --labels the widest narrow bar is the typeface's at this "
             "size (a sixteenth of it), fewer whole printer dots where the label holds no more",
     .needs = "a point size", .low = render::kMinPointSize, .high = render::kMaxPointSize, .defaultValue = render::kDefaultPointSize,
     .set = [](CommandLine& c, const OptionValue& v) { c.pointSize = v.numbers[0]; }},
    {.longName = "dpi", .valueName = "N", .kind = ValueKind::WholeNumber, .modes = Pictures | Labels,
     .help = "the PNG's resolution, or with --labels the printer's: every bar is a whole number of its dots "
             "(203, 300 and 600 are common)",
     .needs = "a whole resolution", .low = render::kMinDpi, .high = render::kMaxDpi, .defaultValue = render::kDefaultDpi,
     .set = [](CommandLine& c, const OptionValue& v) { c.dpi = int(v.numbers[0]); }},
    {.longName = "text-above", .modes = Pictures | Labels,
     .help = "the readable text above the bars instead of below",
     .set = [](CommandLine& c, const OptionValue&) { c.textAbove = true; }},
    {.longName = "no-antialias", .modes = Modes(Pictures),
     .help = "draw the PNG without antialiasing",
     .set = [](CommandLine& c, const OptionValue&) { c.antialias = false; }},
    {.longName = "force", .modes = Modes(Pictures),
     .help = "let a batch replace files that exist (a single FILE is replaced)",
     .set = [](CommandLine& c, const OptionValue&) { c.force = true; }},

    {.longName = "labels", .valueName = "STOCK", .kind = ValueKind::Text, .modes = Modes(Labels),
     .chooses = Modes(Labels),
     .help = "fill sheets of labels of STOCK with the rows, one label per row, into --pdf FILE or --zpl FILE",
     .needs = "a stock",
     .set = [](CommandLine& c, const OptionValue& v) { c.stock = v.text; }},
    // With --zpl the resolution is the label printer's: its own default, unless --dpi was given before.
    {.longName = "zpl", .valueName = "FILE", .kind = ValueKind::Text, .modes = Modes(Labels),
     .requiredIn = Modes(Labels), .outputFile = true,
     .help = "with --labels, ZPL for a thermal label printer instead of a PDF (- for standard output): one "
             "label format per label, each bar code drawn by the printer at --dpi 203, 300 or 600 (default 203)",
     .needs = "a file name",
     .set = [](CommandLine& c, const OptionValue& v) {
         c.zpl = true;
         c.outputFile = v.text;
         if (std::find(c.given.begin(), c.given.end(), "dpi") == c.given.end())
             c.dpi = labels::kDefaultZplDpi; }},
    // The first label may be any of a whole job's; copies fill at most the largest sheet.
    {.longName = "start", .valueName = "N", .kind = ValueKind::WholeNumber, .modes = Modes(Labels),
     .help = "the label to start at on the first sheet", .needs = "a label number",
     .low = 1, .high = render::kMaxLabels, .defaultValue = 1,
     .set = [](CommandLine& c, const OptionValue& v) { c.start = int(v.numbers[0]); }},
    {.longName = "copies", .valueName = "K", .kind = ValueKind::WholeNumber, .modes = Modes(Labels),
     .help = "labels per row", .needs = "a number", .low = 1, .high = render::kMaxCopies, .defaultValue = 1,
     .set = [](CommandLine& c, const OptionValue& v) { c.copies = int(v.numbers[0]); }},
    // The printer offset: the same range the Fill a Sheet window allows.
    {.longName = "offset", .valueName = "X,Y", .kind = ValueKind::NumberPair, .modes = Modes(Labels),
     .help = "the printer's nudge, millimetres right and down", .needs = "X,Y in millimetres",
     .low = -render::kMaxOffsetMm, .high = render::kMaxOffsetMm, .defaultValue = 0,
     .set = [](CommandLine& c, const OptionValue& v) { c.offsetXMm = v.numbers[0]; c.offsetYMm = v.numbers[1]; }},
    // A bar height within what paper comes in; below a millimetre no scanner reads a line.
    {.longName = "height", .valueName = "MM", .kind = ValueKind::Number, .modes = Modes(Labels),
     .help = "the bars' height in millimetres; without it they are as tall as the label allows, and Code 39 "
             "asks for at least 6.35 mm or 15 % of the symbol's length",
     .needs = "a height in millimetres", .low = render::kMinBarHeightMm, .high = render::kMaxBarHeightMm,
     .set = [](CommandLine& c, const OptionValue& v) { c.barHeightMm = v.numbers[0]; }},
    {.longName = "rotate", .valueName = "TURN", .kind = ValueKind::Choice, .modes = Modes(Labels),
     .help = "auto (the default) turns a bar code a quarter to run along the label's long side when it scans "
             "only that way; 0 never turns it, 90 always does",
     .needs = "auto, 0 or 90", .choices = "auto|0|90",
     .set = [](CommandLine& c, const OptionValue& v) {
         constexpr labels::Rotation kTurns[] = {labels::Rotation::Auto, labels::Rotation::Upright,
                                                labels::Rotation::Turned};
         c.rotation = kTurns[int(v.numbers[0])]; }},
    {.longName = "outlines", .modes = Modes(Labels),
     .help = "draw each label's outline",
     .set = [](CommandLine& c, const OptionValue&) { c.outlines = true; }},
    {.longName = "verify", .modes = Modes(Labels),
     .help = "read every label back with a bar-code decoder at --dpi first; write nothing when one does not "
             "read back as its row",
     .set = [](CommandLine& c, const OptionValue&) { c.verify = true; }},
    {.longName = "list", .valueName = "FILE", .kind = ValueKind::Text, .modes = Modes(Labels),
     .help = "the rows from a text or CSV file instead", .needs = "a file name",
     .set = [](CommandLine& c, const OptionValue& v) { c.listFile = v.text; }},
    {.longName = "column", .valueName = "N", .kind = ValueKind::WholeNumber, .modes = Modes(Labels),
     .help = "the rows from this field of each CSV line", .needs = "a column number",
     .low = 1, .high = labels::kMaxListColumn,
     .set = [](CommandLine& c, const OptionValue& v) { c.column = int(v.numbers[0]); }},
    {.longName = "header", .modes = Modes(Labels),
     .help = "the first line names the columns and is no row",
     .set = [](CommandLine& c, const OptionValue&) { c.header = true; }},

    {.longName = "list-stocks", .modes = Modes(StockList), .chooses = Modes(StockList),
     .help = "list the label stocks that match every word: maker, part, paper, labels per sheet, label size, "
             "description (tab-separated)",
     .set = [](CommandLine&, const OptionValue&) {}},
    {.longName = "paper", .valueName = "PAPER", .kind = ValueKind::Text, .modes = Modes(StockList),
     .help = "only the stocks on this paper, by the name the list shows (A4, US Letter ...) or its id (US-Letter)",
     .needs = "a paper name",
     .set = [](CommandLine& c, const OptionValue& v) { c.paper = v.text; }},
    {.longName = "roll", .modes = Modes(StockList),
     .help = "only the stocks that come one label at a time, as the rolls of label printers do",
     .set = [](CommandLine& c, const OptionValue&) { c.rollsOnly = true; }},
};
// clang-format on
#pragma GCC diagnostic pop

struct ModeText {
    Mode mode;
    std::string_view heading; // in --help
    std::string_view data;    // what its free arguments are
    std::string_view notes;   // in --help, after its options
};

constexpr ModeText kModeTexts[] = {
    {Text, "Text rows: the typeface's string of each DATA", "DATA", ""},
    {Pictures, "Picture files: the bar code of DATA drawn into a file instead (one of --png, --svg, --pdf)",
     "DATA",
     "Without DATA and with %n (the row number) or %d (the data, made safe) in FILE, each line of standard "
     "input is drawn into a file of its own; %% is one %."},
    {Labels, "Label sheets: one label per row, each bar code fitted to its label, as a PDF or as ZPL", "DATA",
     "The rows are DATA, the lines of standard input, or --list FILE. STOCK is a maker and part "
     "(\"Avery 5160\"), a part only one maker uses, or one of ours (lb167). Every bar edge lies on the "
     "printer's dots (--dpi), wide bars are three narrow ones and the quiet zones ten; a warning names the "
     "rows that will not scan (narrow bars below 2 dots or 0.19 mm) or may not (bars too short), and what "
     "would. With --zpl FILE the labels are ZPL for a thermal label printer, one label format each, at the "
     "printer's --dpi (203 unless 300 or 600 is given): the printer draws each bar code with its own Code 39 "
     "command, placed as on the PDF (its narrow bar at most 10 dots, the widest it draws), and the readable "
     "line in its own font, which may sit a little differently. Copies of a row are one format with a quantity; a "
     "blank label (before --start, or a row "
     "that fails) is a format without a bar code, so a roll keeps row N on label N. On Linux, send the file "
     "unchanged through a raw queue: lp -d QUEUE -o raw FILE."},
    {StockList, "Stock list: the label stocks that match every one of WORDS", "WORDS", ""},
};

const ModeText& TextOf(Mode mode)
{
    return *std::find_if(std::begin(kModeTexts), std::end(kModeTexts),
                         [&](const ModeText& t) { return t.mode == mode; });
}

const Option* FindLong(std::string_view name)
{
    for (const Option& option : kOptions) {
        if (option.longName == name)
            return &option;
    }
    return nullptr;
}

const Option* FindShort(char name)
{
    for (const Option& option : kOptions) {
        if (option.shortName != '\0' && option.shortName == name)
            return &option;
    }
    return nullptr;
}

std::string NumberText(double value)
{
    std::array<char, 32> text{};
    const auto end = std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed).ptr;
    return std::string(text.data(), end);
}

bool IsNumber(ValueKind kind)
{
    return kind == ValueKind::Number || kind == ValueKind::WholeNumber || kind == ValueKind::NumberPair;
}

std::string Needs(const Option& option)
{
    std::string text = OptionName(option) + " needs " + std::string(option.needs);
    if (IsNumber(option.kind))
        text += " from " + NumberText(option.low) + " to " + NumberText(option.high);
    return text;
}

// A plain decimal number in [low, high]: digits, one inner dot unless whole, a leading minus only when
// low is negative; no blanks, exponents, "nan" or "inf". Read without the C library's locale, whose
// decimal separator may not be a dot.
bool ParseNumber(std::string_view text, double low, double high, bool whole, double& value)
{
    const std::size_t sign = low < 0 && text.starts_with('-') ? 1 : 0;
    if (text.size() <= sign || text.size() > 32)
        return false;
    bool dot = false;
    for (std::size_t k = sign; k < text.size(); ++k) {
        const char c = text[k];
        if (c == '.' && !whole && !dot && k > sign && k + 1 < text.size()) {
            dot = true;
        } else if (c < '0' || c > '9') {
            return false;
        }
    }
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && value >= low && value <= high;
}

bool ParseValue(const Option& option, std::string_view text, OptionValue& value)
{
    value.text = text;
    switch (option.kind) {
    case ValueKind::None:
        return true;
    case ValueKind::Text:
        return !text.empty();
    case ValueKind::Number:
    case ValueKind::WholeNumber:
        return ParseNumber(text, option.low, option.high, option.kind == ValueKind::WholeNumber, value.numbers[0]);
    case ValueKind::Choice: {
        std::string_view rest = option.choices;
        for (int place = 0; !rest.empty(); ++place) {
            const std::size_t bar = std::min(rest.find('|'), rest.size());
            if (rest.substr(0, bar) == text) {
                value.numbers[0] = place;
                return true;
            }
            rest.remove_prefix(std::min(bar + 1, rest.size()));
        }
        return false;
    }
    case ValueKind::NumberPair: {
        const std::size_t comma = text.find(',');
        return comma != std::string_view::npos &&
               ParseNumber(text.substr(0, comma), option.low, option.high, false, value.numbers[0]) &&
               ParseNumber(text.substr(comma + 1), option.low, option.high, false, value.numbers[1]);
    }
    }
    return false;
}

ParseResult Refuse(std::string error, bool showUsage)
{
    return {false, std::move(error), showUsage};
}

// The options that choose the modes in the set, as "--png, --svg, --pdf or --labels".
std::string ChoosersOf(Modes modes)
{
    std::vector<std::string> names;
    for (const Option& option : kOptions) {
        if (option.chooses & modes)
            names.push_back("--" + std::string(option.longName));
    }
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i)
        text += (i == 0 ? "" : i + 1 == names.size() ? " or " : ", ") + names[i];
    return text;
}

// "-c" when it has a short name, else "--name".
std::string ShortestName(const Option& option)
{
    return option.shortName != '\0' ? std::string{'-', option.shortName} : "--" + std::string(option.longName);
}

// The mode an option is listed under in --help: the first it belongs to.
Mode HomeMode(const Option& option)
{
    for (const ModeText& t : kModeTexts) {
        if (option.modes & Modes(t.mode))
            return t.mode;
    }
    return Text;
}

// text as lines of at most width columns from column on, each further line indented by indent spaces;
// leading spaces are kept.
std::string Wrap(std::string_view text, std::size_t column, std::size_t indent, std::size_t width = 100)
{
    std::string out;
    bool lineStart = true;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find(' '), text.size());
        const std::string_view word = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (word.empty()) {
            if (lineStart) {
                out += ' ';
                ++column;
            }
            continue;
        }
        if (!lineStart && column + 1 + word.size() > width) {
            out += '\n' + std::string(indent, ' ');
            column = indent;
            lineStart = true;
        }
        if (!lineStart) {
            out += ' ';
            ++column;
        }
        out += word;
        column += word.size();
        lineStart = false;
    }
    return out;
}

// Reads the arguments into a CommandLine, in order, and then checks that the mode they chose takes them.
class CommandLineParser {
public:
    CommandLineParser(int argc, char** argv, CommandLine& commandLine)
        : m_argc(argc), m_argv(argv), m_commandLine(commandLine)
    {
    }

    ParseResult Scan()
    {
        bool optionsEnded = false;
        for (int i = 1; i < m_argc; ++i) {
            const std::string_view arg = m_argv[i];
            // A lone "-" is data: the minus sign is a Code 39 character.
            if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
                m_commandLine.data.emplace_back(arg);
            } else if (arg == "--") {
                optionsEnded = true;
            } else if (arg.starts_with("--")) {
                const std::size_t equals = arg.find('=');
                const bool attached = equals != std::string_view::npos;
                const std::string_view name = arg.substr(2, attached ? equals - 2 : arg.npos);
                const Option* option = FindLong(name);
                if (!option)
                    return Refuse("unknown option " + std::string(arg), true);
                const std::string_view value = attached ? arg.substr(equals + 1) : std::string_view();
                if (const ParseResult r = Take(*option, "--" + std::string(name), attached ? &value : nullptr, i);
                    !r.ok)
                    return r;
            } else {
                for (std::size_t k = 1; k < arg.size(); ++k) { // a cluster such as -cf
                    const Option* option = FindShort(arg[k]);
                    if (!option)
                        return Refuse("unknown option -" + std::string(1, arg[k]), true);
                    // A value is the rest of the cluster, or else the next argument.
                    const bool takesValue = option->kind != ValueKind::None;
                    const std::string_view rest = arg.substr(k + 1);
                    const ParseResult r =
                        Take(*option, std::string{'-', arg[k]}, takesValue && !rest.empty() ? &rest : nullptr, i);
                    if (!r.ok)
                        return r;
                    if (takesValue)
                        break; // the rest of the cluster was its value
                }
            }
        }
        return {};
    }

    // The stock list, else label sheets, else pictures, else text rows.
    void ChooseMode()
    {
        m_commandLine.mode = Text;
        for (Mode mode : {StockList, Labels, Pictures}) {
            if (m_chosen & Modes(mode)) {
                m_commandLine.mode = mode;
                m_commandLine.modeOption = m_chooser[std::countr_zero(Modes(mode))];
                return;
            }
        }
    }

    ParseResult CheckModes() const
    {
        for (const Given& g : m_given) {
            if (g.option->modes & Modes(m_commandLine.mode))
                continue;
            if (m_commandLine.mode == Text)
                return Refuse(g.typed + " needs " + ChoosersOf(g.option->modes), true);
            return Refuse(g.typed + " is not allowed with " + m_commandLine.modeOption, true);
        }
        return {};
    }

private:
    struct Given {
        const Option* option;
        std::string typed; // as the user wrote it, for messages
    };

    // Checks and applies one option; attached is its "=VALUE" or the rest of its cluster, null when none.
    ParseResult Take(const Option& option, std::string typed, const std::string_view* attached, int& i)
    {
        std::string_view text;
        if (option.kind == ValueKind::None) {
            if (attached)
                return Refuse(typed + " takes no value", true);
        } else if (attached) {
            text = *attached;
        } else if (i + 1 < m_argc) {
            text = m_argv[++i];
        }
        OptionValue value;
        if (!ParseValue(option, text, value)) {
            std::string error = Needs(option);
            if (!text.empty())
                error += ", not \"" + std::string(text) + "\"";
            return Refuse(std::move(error), false);
        }
        if (option.outputFile) {
            if (!m_commandLine.outputOption.empty())
                return Refuse("one output file at a time: " + m_commandLine.outputOption + " and " + typed, true);
            m_commandLine.outputOption = typed;
        }
        for (std::size_t bit = 0; bit < m_chooser.size(); ++bit) {
            if ((option.chooses >> bit & 1) && m_chooser[bit].empty())
                m_chooser[bit] = typed;
        }
        m_chosen |= option.chooses;
        option.set(m_commandLine, value);
        m_commandLine.given.push_back(option.longName);
        m_given.push_back({&option, std::move(typed)});
        return {};
    }

    const int m_argc;
    char** const m_argv;
    CommandLine& m_commandLine;
    std::vector<Given> m_given;
    Modes m_chosen = 0;
    std::array<std::string, 4> m_chooser; // by mode bit: the first option that chose the mode
};

} // namespace

std::span<const Option> OptionTable()
{
    return kOptions;
}

std::string OptionName(const Option& option)
{
    return "--" + std::string(option.longName);
}

std::string NeedsValue(std::string_view longName)
{
    const Option* option = FindLong(longName);
    return option ? Needs(*option) : std::string();
}

ParseResult ParseCommandLine(int argc, char** argv, CommandLine& commandLine)
{
    CommandLineParser parser(argc, argv, commandLine);
    const ParseResult scanned = parser.Scan();
    // Even a refused command line gets its mode, for the usage line of its message.
    parser.ChooseMode();
    return scanned.ok ? parser.CheckModes() : scanned;
}

ParseResult CheckComplete(const CommandLine& commandLine)
{
    // The output files a mode needs are alternatives: any one of them will do.
    std::string outputs;
    for (const Option& option : kOptions) {
        if (!(option.requiredIn & Modes(commandLine.mode)))
            continue;
        const std::string needed = OptionName(option) + " " + std::string(option.valueName);
        if (option.outputFile) {
            outputs += (outputs.empty() ? "" : " or ") + needed;
            continue;
        }
        if (std::find(commandLine.given.begin(), commandLine.given.end(), option.longName) ==
            commandLine.given.end())
            return Refuse(commandLine.modeOption + " needs " + needed, true);
    }
    if (!outputs.empty() && commandLine.outputOption.empty())
        return Refuse(commandLine.modeOption + " needs " + outputs, true);
    if (commandLine.zpl && !labels::IsZplResolution(commandLine.dpi))
        return Refuse("--zpl needs --dpi " + labels::ZplResolutionsText().toStdString() +
                          " (a label printer's), not " + std::to_string(commandLine.dpi),
                      false);
    return {};
}

std::string UsageLine(Mode mode)
{
    std::string line = "usage: code39";
    const auto add = [&](const Option& option, bool optional) {
        line += optional ? " [" : " ";
        line += ShortestName(option);
        if (!option.valueName.empty())
            line += " " + std::string(option.valueName);
        if (optional)
            line += "]";
    };
    // What chooses the mode first, as "--png|--svg|--pdf FILE", then what it needs, then the rest.
    std::string choosers;
    std::string_view chooserValue;
    for (const Option& option : kOptions) {
        if (option.chooses & Modes(mode)) {
            choosers += (choosers.empty() ? "" : "|") + OptionName(option);
            chooserValue = option.valueName;
        }
    }
    if (!choosers.empty())
        line += " " + choosers + (chooserValue.empty() ? "" : " " + std::string(chooserValue));
    // The output files it needs are alternatives, as "--pdf|--zpl FILE".
    std::string outputs;
    std::string_view outputValue;
    for (const Option& option : kOptions) {
        if (!(option.requiredIn & Modes(mode)) || (option.chooses & Modes(mode)))
            continue;
        if (option.outputFile) {
            outputs += (outputs.empty() ? "" : "|") + OptionName(option);
            outputValue = option.valueName;
        } else {
            add(option, false);
        }
    }
    if (!outputs.empty())
        line += " " + outputs + " " + std::string(outputValue);
    for (const Option& option : kOptions) {
        // Help and version go without saying beside a mode's own options.
        const bool everywhere = option.modes == kEveryMode && mode != Text;
        if ((option.modes & Modes(mode)) && !(option.requiredIn & Modes(mode)) &&
            !(option.chooses & Modes(mode)) && !everywhere)
            add(option, true);
    }
    return line + " [--] [" + std::string(TextOf(mode).data) + " ...]";
}

std::string WithUsage(std::string_view reason, Mode mode)
{
    return std::string(reason) + "; " + UsageLine(mode);
}

std::string HelpText()
{
    constexpr std::size_t kHelpColumn = 24;
    std::string help = "Usage: code39 [OPTION]... [DATA]...\n"
                       "  or:  code39 --png|--svg|--pdf FILE [OPTION]... [DATA]...\n"
                       "  or:  code39 --labels STOCK --pdf|--zpl FILE [OPTION]... [DATA]...\n"
                       "  or:  code39 --list-stocks [--paper PAPER] [--roll] [WORDS]...\n";
    help += Wrap("Encode DATA for the Code 39 bar-code typeface: one output line per input, \"*...*\", or an "
                 "empty line where the input cannot be encoded (the reason goes to standard error). Without "
                 "DATA, every line of standard input (UTF-8, CRLF or LF) is encoded.",
                 0, 0) +
            "\n";
    for (const ModeText& mode : kModeTexts) {
        help += "\n" + std::string(mode.heading) + ":\n";
        std::string also;
        for (const Option& option : kOptions) {
            if (!(option.modes & Modes(mode.mode)))
                continue;
            if (HomeMode(option) != mode.mode) {
                if (option.modes != kEveryMode)
                    also += (also.empty() ? "" : ", ") + ShortestName(option);
                continue;
            }
            std::string left = option.shortName != '\0' ? std::string("  -") + option.shortName + ", " : "      ";
            left += OptionName(option);
            if (!option.valueName.empty())
                left += " " + std::string(option.valueName);
            std::string text(option.help);
            if (IsNumber(option.kind)) {
                text += " (" + NumberText(option.low) + " to " + NumberText(option.high);
                if (option.defaultValue)
                    text += ", default " + NumberText(*option.defaultValue);
                text += ")";
            }
            if (left.size() + 1 > kHelpColumn) {
                help += left + "\n" + std::string(kHelpColumn, ' ');
            } else {
                help += left + std::string(kHelpColumn - left.size(), ' ');
            }
            help += Wrap(text, kHelpColumn, kHelpColumn) + "\n";
        }
        if (mode.mode == Text)
            help +=
                "      --" + std::string(kHelpColumn - 8, ' ') + "end of options; every later argument is DATA\n";
        if (!also.empty())
            help += Wrap("  and " + also, 0, kHelpColumn) + "\n";
        if (!mode.notes.empty())
            help += Wrap("  " + std::string(mode.notes), 0, 2) + "\n";
    }
    help +=
        "\n" +
        Wrap("A line or DATA longer than " + std::to_string(kMaxRowBytes) +
                 " bytes gets an empty line and \"line too long\". Exit status: 0 when every input was encoded, "
                 "1 when any failed, 2 on bad usage (or an unknown label stock).",
             0, 0) +
        "\n";
    return help;
}

} // namespace cli
