#include "Command.h"

#include "LabelCommand.h"
#include "Options.h"
#include "PictureCommand.h"
#include "StockListCommand.h"
#include "TextCommand.h"
#include "version/Version.h"

namespace cli {

namespace {

int Say(std::string_view text, std::FILE* out)
{
    std::fwrite(text.data(), 1, text.size(), out);
    return std::fflush(out) == 0 ? 0 : 1;
}

} // namespace

int RunCommand(int argc, char** argv, const Console& console)
{
    CommandLine commandLine;
    ParseResult parsed = ParseCommandLine(argc, argv, commandLine);
    if (parsed.ok && !commandLine.help && !commandLine.version)
        parsed = CheckComplete(commandLine);
    if (!parsed.ok) {
        Complain(console.err, parsed.showUsage ? WithUsage(parsed.error, commandLine.mode) : parsed.error);
        return 2;
    }
    if (commandLine.help)
        return Say(HelpText(), console.out);
    if (commandLine.version)
        return Say(std::string("code39 (Kelm) ") + kelm::kVersion + "\n", console.out);

    switch (commandLine.mode) {
    case Mode::Text:
        return RunText(commandLine, console);
    case Mode::Pictures:
        return RunPictures(commandLine, console, argv[0]);
    case Mode::Labels:
        return RunLabels(commandLine, console, argv[0]);
    case Mode::StockList:
        return RunStockList(commandLine, console, argv[0]);
    }
    return 2;
}

} // namespace cli
