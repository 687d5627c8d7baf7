#include "StartOptions.h"

#include "version/Version.h"

#include <algorithm>

namespace kelm {

namespace {

constexpr char kMenuEntry[] = "Kelm Bar Code 3 of 9";

} // namespace

const std::initializer_list<StartOption>& StartOptions()
{
    static const std::initializer_list<StartOption> options{
        {"h", "help", "show this help and exit"},
        {nullptr, "version", "show the program, project and version, and exit"},
    };
    return options;
}

std::string StartHelpText()
{
    std::string text = "Usage: kelm [OPTION]\n"
                       "Make Code 39 bar codes in a window: type the data, press Enter, then copy the bar code,\n"
                       "print a sample sheet or fill a sheet of labels. The desktop menu starts it as\n\"";
    text += kMenuEntry;
    text += "\". The code39 command makes the same bar codes in a terminal (man code39).\n\n";
    for (const StartOption& option : StartOptions()) {
        std::string names = option.shortName ? std::string("  -") + option.shortName + ", " : std::string(6, ' ');
        names += std::string("--") + option.longName;
        names.resize(std::max<std::size_t>(names.size() + 2, 20), ' ');
        text += names + option.help + "\n";
    }
    text += "\nQt's own options (-style NAME, -platform NAME, ...) are taken as well.\n";
    return text;
}

std::optional<std::string> StartAnswer(const QStringList& arguments)
{
    for (const QString& argument : arguments) {
        if (argument == QLatin1String("--"))
            break;
        if (argument == QLatin1String("-h") || argument == QLatin1String("--help"))
            return StartHelpText();
        if (argument == QLatin1String("--version"))
            return std::string("kelm (Kelm) ") + kVersion + "\n";
    }
    return std::nullopt;
}

} // namespace kelm
