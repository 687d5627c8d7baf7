#include "Typefaces.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <iterator>

namespace render {
namespace {

struct Typeface {
    QString family;
    QString resource;
};

const Typeface kTypefaces[] = {
    {QString::fromLatin1(kFamilyTextBelow), QStringLiteral(":/fonts/TamroskStripe39dLo-Regular.ttf")},
    {QString::fromLatin1(kFamilyTextAbove), QStringLiteral(":/fonts/TamroskStripe39dUp-Regular.ttf")},
};
constexpr std::size_t kTextBelow = 0, kTextAbove = 1;

struct State {
    bool surveyed = false;
    bool registered = false;
    bool systemHas[std::size(kTypefaces)] = {};
};

State& state()
{
    static State s;
    return s;
}

// What the system offered before we added anything: only then does it tell what other programs see.
void survey()
{
    State& s = state();
    if (s.surveyed)
        return;
    const QStringList families = QFontDatabase::families();
    for (std::size_t i = 0; i < std::size(kTypefaces); ++i)
        s.systemHas[i] = families.contains(kTypefaces[i].family, Qt::CaseInsensitive);
    s.surveyed = true;
}

} // namespace

QString BarCodeTypefaceFile(bool textAbove)
{
    return kTypefaces[textAbove ? kTextAbove : kTextBelow].resource;
}

void RegisterBarCodeTypefaces()
{
    survey();
    State& s = state();
    if (s.registered)
        return;
    s.registered = true;
    for (std::size_t i = 0; i < std::size(kTypefaces); ++i) {
        if (s.systemHas[i])
            continue;
        if (QFontDatabase::addApplicationFont(kTypefaces[i].resource) < 0)
            qWarning("Cannot load the built-in typeface %s", qPrintable(kTypefaces[i].family));
    }
}

bool BarCodeTypefacesInstalledForOtherPrograms()
{
    survey();
    for (const bool has : state().systemHas) {
        if (!has)
            return false;
    }
    return true;
}

double BarCodeTextWidth(const QString& text, bool textAbove, double pointSize)
{
    RegisterBarCodeTypefaces();
    // Measured at a large size, where whole-pixel advances cost no precision, then scaled.
    constexpr int kMeasuredPixels = 1000;
    QFont font(BarCodeFontName(!textAbove));
    font.setPixelSize(kMeasuredPixels);
    return QFontMetricsF(font).horizontalAdvance(text) * pointSize / kMeasuredPixels;
}

} // namespace render
