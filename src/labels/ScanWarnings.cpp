#include "ScanWarnings.h"

namespace labels {

namespace {

// A warning names this many ranges of rows and counts the rest.
constexpr int kRangesShown = 4;

QString Millimetres(double dots, int dpi)
{
    return QString::number(DotsToMm(dots, dpi), 'f', 2);
}

// The longest bar text (start and stop included) whose symbol scans on the sheet's labels; 0 when none.
int LongestThatScans(const Sheet& sheet, const SymbolRules& rules, int characters)
{
    int longest = 0;
    for (int n = 3; n < characters; ++n) {
        const SymbolFit fit = FitSymbol(sheet.stock, n, rules);
        if (fit.module == 0 || !fit.moduleScans() || !fit.barsScan())
            break;
        longest = n;
    }
    return longest;
}

} // namespace

QString TooLongToFit(const Sheet& sheet, int characters)
{
    const int longest = LongestThatScans(sheet, sheet.rules(), characters);
    const QString tooLong = QStringLiteral("the bar code is too long to fit the label");
    if (longest > 2)
        return tooLong + QStringLiteral(" (at most %1 characters of data scan on it at %2 dpi)")
                             .arg(longest - 2)
                             .arg(sheet.dpi);
    return tooLong + QStringLiteral(" (no bar code scans on it at %1 dpi)").arg(sheet.dpi);
}

namespace {

// What would make a symbol of this length scan: fewer characters, a higher resolution, a larger label.
QString WouldScan(const Sheet& sheet, const SymbolFit& fit, bool moduleRule)
{
    SymbolRules rules = sheet.rules();
    QStringList ways;
    if (const int longest = LongestThatScans(sheet, rules, fit.characters); longest > 2)
        ways.append(QStringLiteral("at most %1 characters of data on these labels").arg(longest - 2));
    if (moduleRule) {
        for (const int dpi : {300, 600, 1200}) {
            if (dpi <= sheet.dpi)
                continue;
            rules.dpi = dpi;
            const SymbolFit finer = FitSymbol(sheet.stock, fit.characters, rules);
            if (finer.module > 0 && finer.moduleScans()) {
                ways.append(QStringLiteral("a printer of %1 dpi").arg(dpi));
                break;
            }
        }
    }
    const QString least = Millimetres(fit.leastBarHeight(), fit.dpi);
    // Bars as short as asked, on a label that holds more, need only a taller bar height.
    const bool asked = sheet.barHeightMm > 0 && fit.barHeight >= qRound(sheet.barHeightMm / 25.4 * fit.dpi);
    if (moduleRule)
        ways.append(QStringLiteral("a larger label"));
    else if (asked)
        ways.append(QStringLiteral("a bar height of at least %1 mm").arg(least));
    else
        ways.append(QStringLiteral("a label with room for bars of %1 mm").arg(least));
    return QStringLiteral("It would scan with ") + ways.join(QStringLiteral(", or ")) + u'.';
}

// The warning for the symbols of one length, or an empty text when they scan.
QString SymbolWarning(const Sheet& sheet, const SymbolFit& fit, const QString& rows)
{
    const QString what =
        QStringLiteral("The bar codes of %1 (%2 characters with start and stop)").arg(rows).arg(fit.characters);
    if (!fit.moduleScans()) {
        return QStringLiteral("%1 will not scan: their narrow bars are %2 printer dot%3 (%4 mm) at %5 dpi; Code "
                              "39 needs at least %6 dots and %7 mm. %8")
            .arg(what)
            .arg(fit.module)
            .arg(fit.module == 1 ? QString() : QStringLiteral("s"))
            .arg(Millimetres(fit.module, fit.dpi))
            .arg(fit.dpi)
            .arg(kLeastModuleDots)
            .arg(kLeastModuleMm)
            .arg(WouldScan(sheet, fit, true));
    }
    if (!fit.barsScan()) {
        return QStringLiteral("%1 may not scan: their bars are %2 mm high; Code 39 needs at least %3 mm, or "
                              "%4 % of the symbol's length where that is more (here %5 mm). %6")
            .arg(what)
            .arg(Millimetres(fit.barHeight, fit.dpi))
            .arg(kLeastBarHeightMm)
            .arg(kLeastBarHeightShare * 100)
            .arg(Millimetres(fit.leastBarHeight(), fit.dpi))
            .arg(WouldScan(sheet, fit, false));
    }
    return {};
}

} // namespace

void ScanWarnings::add(const Sheet& sheet)
{
    for (qsizetype i = 0; i < sheet.barTexts.size(); ++i) {
        const int length = int(sheet.barTexts[i].size());
        if (length == 0)
            continue;
        auto it = m_rows.find(length);
        if (it == m_rows.end()) {
            m_lengths.append(length);
            it = m_rows.insert(length, {});
        }
        // A row's copies are neighbours, and rows come in order.
        const int row = sheet.rows.value(i);
        Rows& rows = *it;
        if (rows.count > 0 && row == rows.last)
            continue;
        if (rows.count > 0 && row == rows.last + 1 && rows.shown.last().second == rows.last)
            rows.shown.last().second = row;
        else if (rows.shown.size() < kRangesShown)
            rows.shown.append({row, row});
        ++rows.count;
        rows.last = row;
    }
}

// "row 4", "rows 1-3, 7", "rows 1-3, 7, 9-12 and 5 more": the rows of a warning, in order, each once.
QString ScanWarnings::rowsText(const Rows& rows)
{
    QStringList ranges;
    qsizetype shown = 0;
    for (const auto& [first, last] : rows.shown) {
        ranges.append(first == last ? QString::number(first) : QStringLiteral("%1-%2").arg(first).arg(last));
        shown += last - first + 1;
    }
    QString text =
        (rows.count == 1 ? QStringLiteral("row ") : QStringLiteral("rows ")) + ranges.join(QStringLiteral(", "));
    if (shown < rows.count)
        text += QStringLiteral(" and %L1 more").arg(rows.count - shown);
    return text;
}

QStringList ScanWarnings::warnings(const Sheet& sheet) const
{
    QStringList warnings;
    for (const int length : m_lengths) {
        const SymbolFit fit = sheet.fits.value(length);
        if (fit.module == 0)
            continue;
        if (const QString warning = SymbolWarning(sheet, fit, rowsText(m_rows.value(length))); !warning.isEmpty())
            warnings.append(warning);
    }
    return warnings;
}

} // namespace labels
