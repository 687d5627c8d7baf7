#include "Render.h"

#include "Cli.h"
#include "code39/Code39.h"
#include "render/Typefaces.h"

#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QSaveFile>
#include <QtMath>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

int PixelSize(double pointSize, int dpi)
{
    return qMax(1, qRound(pointSize * dpi / 72.0));
}

Rendered RenderBarCode(const QString& barText, const RenderOptions& options)
{
    const auto fail = [](Rendered::Failure failure, const QString& why) { return Rendered{{}, failure, why}; };
    render::RegisterBarCodeTypefaces();

    const std::string_view name = code39::BarCodeFontName(!options.textAbove);
    const QString family = QString::fromLatin1(name.data(), qsizetype(name.size()));
    QFont font(family);
    font.setPixelSize(PixelSize(options.pointSize, options.dpi));
    // A character the typeface lacks must not be drawn from another font: it would look like data.
    font.setStyleStrategy(QFont::StyleStrategy(QFont::NoFontMerging |
                                               (options.antialias ? QFont::PreferAntialias : QFont::NoAntialias)));
    // The typeface's hints put every bar edge on a whole pixel with one narrow and one wide width;
    // renderers follow them only in full hinting (or without antialiasing).
    font.setHintingPreference(QFont::PreferFullHinting);
    if (QFontInfo(font).family() != family)
        return fail(Rendered::NoTypeface, QStringLiteral("the typeface \"%1\" is not available").arg(family));

    // Qt sets the font at a whole number of pixels per em; each character is one em of 16 modules.
    const int pixels = QFontInfo(font).pixelSize();
    // A cheap bound first: asking the font for the width of a huge text could overflow.
    if (qint64(barText.size()) * pixels * pixels > kMaxPixels)
        return fail(Rendered::TooLarge, QStringLiteral("the image would be too large"));
    const QFontMetrics metrics(font);
    const double module = pixels / 16.0;
    const int quiet = qCeil(12 * module);
    const int margin = qCeil(2 * module);
    const qint64 width = qint64(metrics.horizontalAdvance(barText)) + 2 * quiet;
    const qint64 height = qint64(metrics.ascent()) + metrics.descent() + 2 * margin;
    if (width * height > kMaxPixels)
        return fail(Rendered::TooLarge,
                    QStringLiteral("the image would be too large (%1 x %2 pixels)").arg(width).arg(height));

    QImage image(int(width), int(height), QImage::Format_RGB32);
    if (image.isNull())
        return fail(Rendered::TooLarge,
                    QStringLiteral("not enough memory for a %1 x %2 image").arg(width).arg(height));
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::TextAntialiasing, options.antialias);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(QPointF(quiet, margin + metrics.ascent()), barText);
    }
    image = image.convertToFormat(QImage::Format_Grayscale8);
    const int dotsPerMeter = qRound(options.dpi / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    return {image, Rendered::None, {}};
}

namespace {

constexpr std::string_view kPngUsage =
    "usage: code39 --png FILE [--size PT] [--dpi N] [--text-above] [-c] [-f] DATA";

void Complain(const std::string& message)
{
    std::fprintf(stderr, "code39: %s\n", message.c_str());
}

// "--name VALUE" or "--name=VALUE"; advances i past the value.
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

// A whole decimal number in [low, high], nothing else (no blanks, no exponent, no "nan").
bool ParseNumber(const std::string& text, double low, double high, bool integer, double& value)
{
    if (text.empty() || text.size() > 32)
        return false;
    bool dot = false;
    for (std::size_t k = 0; k < text.size(); ++k) {
        const char c = text[k];
        if (c == '.' && !integer && !dot && k + 1 < text.size()) {
            dot = true;
        } else if (c < '0' || c > '9') {
            return false;
        }
    }
    value = std::strtod(text.c_str(), nullptr);
    return value >= low && value <= high;
}

// Qt's own start-up chatter (runtime folder, font cache) is no business of the command's user.
void QuietMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "code39: %s\n", qPrintable(message));
}

} // namespace

bool WantsPng(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--")
            return false;
        if (arg == "--png" || arg.starts_with("--png="))
            return true;
    }
    return false;
}

int RunPng(int argc, char** argv)
{
    std::string file;
    RenderOptions render;
    bool havePng = false;
    // What is not ours goes to the encoder's own parser (-c, -f, --, DATA).
    std::vector<char*> rest{argv[0]};
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        std::string value;
        if (arg == "--") {
            rest.insert(rest.end(), argv + i, argv + argc);
            break;
        }
        if (TakeValue(argc, argv, i, "--png", value)) {
            if (value.empty()) {
                Complain("--png needs a file name; " + std::string(kPngUsage));
                return 2;
            }
            file = value;
            havePng = true;
        } else if (TakeValue(argc, argv, i, "--size", value)) {
            if (!ParseNumber(value, kMinPointSize, kMaxPointSize, false, render.pointSize)) {
                Complain("--size needs a point size from 1 to 1000, not \"" + value + "\"");
                return 2;
            }
        } else if (TakeValue(argc, argv, i, "--dpi", value)) {
            double dpi = 0;
            if (!ParseNumber(value, kMinDpi, kMaxDpi, true, dpi)) {
                Complain("--dpi needs a whole resolution from 36 to 2400, not \"" + value + "\"");
                return 2;
            }
            render.dpi = int(dpi);
        } else if (arg == "--text-above") {
            render.textAbove = true;
        } else if (arg == "--no-antialias") {
            render.antialias = false;
        } else {
            rest.push_back(argv[i]);
        }
    }
    Options options;
    std::string error;
    if (!havePng || !ParseArguments(int(rest.size()), rest.data(), options, error)) {
        Complain((havePng ? error + "; " : std::string()) + std::string(kPngUsage));
        return 2;
    }
    if (options.help || options.version) {
        rest.erase(rest.begin() + 1, rest.end());
        rest.push_back(const_cast<char*>(options.help ? "--help" : "--version"));
        return RunCli(int(rest.size()), rest.data(), stdin, stdout, stderr);
    }
    if (options.data.size() != 1) {
        Complain("--png draws exactly one DATA; " + std::string(kPngUsage));
        return 2;
    }

    std::u16string buffer;
    code39::BuildResult built;
    if (!code39::BuildBarCodeData(Utf8ToUtf16(options.data.front(), buffer), options.fullAscii, options.checksum,
                                  built)) {
        std::string message;
        AppendDiagnosticUtf8(message, built.error);
        Complain(message);
        return 1;
    }

    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen"); // no display needed
    qInstallMessageHandler(QuietMessages);
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QGuiApplication app(qtArgc, qtArgv);

    const Rendered rendered = RenderBarCode(QString::fromStdString(code39::BarCodeString(built.data)), render);
    if (rendered.image.isNull()) {
        Complain(rendered.error.toStdString());
        return rendered.failure == Rendered::TooLarge ? 2 : 1;
    }
    const QString path = QString::fromLocal8Bit(file.c_str());
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || !rendered.image.save(&out, "PNG") || !out.commit()) {
        Complain("cannot write " + file + ": " + out.errorString().toStdString());
        return 1;
    }
    return 0;
}

} // namespace cli
