#include "RtfTemplate.h"

#include <QList>
#include <cmath>

namespace labels {

namespace {

// Text in a label keeps clear of its edges by a paragraph indent (twips). Cell padding would do the
// same, but word processors disagree on whether a padded table hangs out into the margin.
constexpr int kIndent = 86;
constexpr int kMarkerHalfPoints = 12; // 6 pt markers fit two lines into the shortest label

int Twips(double points)
{
    // Half to even, as the templates have always been rounded.
    return int(std::nearbyint(points * 20));
}

// Right edges of the cells of one row, from the table's left edge: label, gap, label ...
QList<int> CellEdges(const Stock& stock, const Layout& layout)
{
    QList<int> edges;
    for (int col = 0; col < layout.nx; ++col) {
        // From the pitch, not by adding rounded widths, so rounding never accumulates.
        const double left = col * layout.dx;
        edges.append(Twips(left) + Twips(stock.label.width()));
        if (col + 1 < layout.nx)
            edges.append(Twips((col + 1) * layout.dx));
    }
    return edges;
}

struct TableRow {
    int height;
    bool label;
};

// Rows from the top of the table; gap rows only where the stock has gaps.
QList<TableRow> RowHeights(const Stock& stock, const Layout& layout)
{
    QList<TableRow> rows;
    int y = 0;
    for (int r = 0; r < layout.ny; ++r) {
        const int top = Twips(r * layout.dy);
        if (top > y)
            rows.append({top - y, false});
        const int bottom = Twips(r * layout.dy + stock.label.height());
        rows.append({bottom - top, true});
        y = bottom;
    }
    return rows;
}

QByteArray Number(qint64 n)
{
    return QByteArray::number(n);
}

} // namespace

double TemplateLineWidth(const Stock& stock)
{
    return stock.label.width() - 2 * kIndent / 20.0;
}

bool CanMakeTemplate(const Stock& stock, QString& why)
{
    if (!CanPrintOn(stock, why))
        return false;
    if (stock.layouts.size() != 1)
        why = QStringLiteral("its labels are in more than one grid, which a table cannot hold");
    else if (stock.shape != LabelShape::Rectangle)
        why = QStringLiteral("its labels are not rectangles");
    else
        return true;
    return false;
}

QByteArray LabelTemplateRtf(const Stock& stock, const QString& title, TemplateMarkers markers)
{
    QString why;
    if (!CanMakeTemplate(stock, why))
        return {};
    const Layout& layout = stock.layouts.front();
    const QList<int> edges = CellEdges(stock, layout);
    const QList<TableRow> rows = RowHeights(stock, layout);
    int tableH = 0;
    for (const TableRow& row : rows)
        tableH += row.height;
    const int pageW = Twips(stock.page.width()), pageH = Twips(stock.page.height());
    const int margl = Twips(layout.x0), margt = Twips(layout.y0);
    // The right margin leaves the table room; the bottom one is half what is left below the table so
    // that the paragraph a document must end with still fits on the first page.
    const int margr = qMax(0, pageW - margl - edges.back());
    const int margb = qMax(0, (pageH - margt - tableH) / 2);

    QList<QByteArray> out;
    out.append(R"({\rtf1\ansi\ansicpg1252\deff0)");
    out.append(R"({\fonttbl{\f0\fswiss\fcharset0 Arial;}})");
    // The title is ours or a file name: keep it to characters that need no escaping.
    QByteArray safeTitle;
    for (QChar c : title) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7F && c != u'\\' && c != u'{' && c != u'}')
            safeTitle += char(c.unicode());
    }
    out.append(R"({\info{\title Label sheet )" + safeTitle + "}}");
    out.append("\\paperw" + Number(pageW) + "\\paperh" + Number(pageH) + "\\margl" + Number(margl) + "\\margr" +
               Number(margr) + "\\margt" + Number(margt) + "\\margb" + Number(margb));
    out.append(R"(\viewkind1\viewscale100\widowctrl0)");
    out.append("\\sectd\\pgwsxn" + Number(pageW) + "\\pghsxn" + Number(pageH) + "\\marglsxn" + Number(margl) +
               "\\margrsxn" + Number(margr) + "\\margtsxn" + Number(margt) + "\\margbsxn" + Number(margb) +
               "\\headery0\\footery0");
    const QByteArray valign = markers == TemplateMarkers::None  ? R"(\clvertalc)"
                              : markers == TemplateMarkers::Top ? R"(\clvertalt)"
                                                                : R"(\clvertalb)";
    int labelRow = 0;
    for (const TableRow& row : rows) {
        // \trrh with a negative value is an exact height: a pasted bar code never stretches the sheet.
        QByteArray line = "\\trowd\\trgaph0\\trleft0\\trrh-" + Number(row.height) +
                          "\\trkeep\\trpaddl0\\trpaddr0\\trpaddt0\\trpaddb0\\trpaddfl3\\trpaddfr3\\trpaddft3"
                          "\\trpaddfb3";
        for (int edge : edges)
            line += valign + "\\cellx" + Number(edge);
        out.append(line);
        for (qsizetype i = 0; i < edges.size(); ++i) {
            if (markers != TemplateMarkers::None && row.label && i % 2 == 0) {
                // L flush with the label's left edge, R with its right edge, unindented.
                const QByteArray mark = Number(labelRow) + "_" + Number(i / 2);
                const QByteArray bare =
                    "\\pard\\intbl\\plain\\sa0\\sb0\\sl0\\li0\\ri0\\f0\\fs" + Number(kMarkerHalfPoints) + " ";
                out.append(bare + "\\ql L" + mark + "\\par" + bare + "\\qr R" + mark + "\\cell");
            } else {
                out.append("\\pard\\intbl\\plain\\sa0\\sb0\\sl0\\li" + Number(kIndent) + "\\ri" + Number(kIndent) +
                           "\\f0\\fs20 \\cell");
            }
        }
        out.append(R"(\row)");
        if (row.label)
            ++labelRow;
    }
    // The closing paragraph, 1 pt high, so it never pushes a blank second page.
    out.append(R"(\pard\plain\sa0\sb0\sl-20\slmult0\f0\fs2\par)");
    out.append("}");
    QByteArray rtf;
    for (const QByteArray& line : std::as_const(out))
        rtf += line + "\r\n";
    return rtf;
}

} // namespace labels
