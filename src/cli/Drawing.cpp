#include "Drawing.h"

#include "Cli.h"

#include <cstdio>
#include <cstdlib>

namespace cli {

namespace {

void QuietMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        Complain(message);
}

} // namespace

void Complain(std::string_view message)
{
    std::u16string buffer;
    std::string line;
    AppendDiagnosticUtf8(line, Utf8ToUtf16(message, buffer));
    std::fprintf(stderr, "code39: %s\n", line.c_str());
}

void Complain(const QString& message)
{
    Complain(std::string_view(message.toStdString()));
}

bool TakeValue(int argc, char** argv, int& i, std::string_view name, std::string& value)
{
    const std::string_view arg = argv[i];
    if (arg.size() > name.size() && arg.starts_with(name) && arg[name.size()] == '=') {
        value = arg.substr(name.size() + 1);
        return true;
    }
    if (arg != name)
        return false;
    if (i + 1 >= argc) {
        value.clear();
        return true;
    }
    value = argv[++i];
    return true;
}

bool ParseNumber(std::string_view text, double low, double high, bool integer, double& value)
{
    const std::size_t sign = low < 0 && text.starts_with('-') ? 1 : 0;
    if (text.size() <= sign || text.size() > 32)
        return false;
    bool dot = false;
    for (std::size_t k = sign; k < text.size(); ++k) {
        const char c = text[k];
        if (c == '.' && !integer && !dot && k > sign && k + 1 < text.size()) {
            dot = true;
        } else if (c < '0' || c > '9') {
            return false;
        }
    }
    value = std::strtod(std::string(text).c_str(), nullptr);
    return value >= low && value <= high;
}

bool ParseNumber(const QString& text, double low, double high, bool integer, double& value)
{
    return ParseNumber(std::string_view(text.toStdString()), low, high, integer, value);
}

std::unique_ptr<QGuiApplication> StartOffscreenQt(char* programName)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen"); // no display needed
    qInstallMessageHandler(QuietMessages);
    // Qt keeps a reference to the count and the vector for the application's life.
    static int argc = 1;
    static char* argv[] = {programName, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

} // namespace cli
