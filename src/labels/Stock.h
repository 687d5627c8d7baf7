#pragma once
// A sheet of labels as it is sold: the page, the shape and size of its labels and where they sit. Every
// length is in points (1/72 inch), measured from the page's top-left corner.

#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

namespace labels {

inline constexpr double kPointsPerInch = 72.0;
inline constexpr double kPointsPerMm = 72.0 / 25.4;

// More labels than this on one sheet is a broken template, not a stock: each label costs memory.
inline constexpr int kMaxLabelsPerSheet = 10000;

// No sheet or roll of labels is larger than this on either side; beyond it a size is a slip or a broken file.
inline constexpr double kMaxPageSide = 1000 * kPointsPerMm;

enum class LabelShape { Rectangle, Round, Ellipse, Cd };

// One grid of labels: nx across, ny down, the first at (x0, y0), each next one dx to the right or dy down.
struct Layout {
    int nx = 1;
    int ny = 1;
    double x0 = 0;
    double y0 = 0;
    double dx = 0;
    double dy = 0;
};

struct Stock {
    QString brand; // the maker; empty for our own stocks
    QString part;
    QString description;
    QString paperId;   // "A4", "US-Letter", "Other", ...
    QString paperName; // as shown: "A4", "US Letter"
    QSizeF page;
    LabelShape shape = LabelShape::Rectangle;
    QSizeF label;            // the label's bounding box
    double hole = 0;         // a CD label's centre hole radius
    double markupMargin = 0; // blank border inside the label that printing keeps clear of
    QList<Layout> layouts;
    QString equivalentOf; // the part this one is sold as the same as, when it was declared that way
    QStringList aliases;  // parts of the same maker declared equivalent to this one
    QString templateFile; // our RTF template for this stock, for our own stocks

    // "Avery 5160", or the part alone for a stock without a maker.
    QString name() const { return brand.isEmpty() ? part : brand + QLatin1Char(' ') + part; }
    int labelCount() const;
};

// Every label's rectangle on the page, numbered left to right, then down, over all layouts together
// (labels whose tops lie within half a point of each other count as one row).
QList<QRectF> LabelRects(const Stock& stock);

// Whether the stock can be printed on as given; false with the reason in why (overlapping labels, labels off
// the page, no labels, sizes that are not positive).
bool CanPrintOn(const Stock& stock, QString& why);

// Whether the stock can exist at all: page and labels of a size that paper comes in, labels no larger than
// the page and not stacked on one spot. Looser than CanPrintOn, as some sold stocks overlap or run off
// their page by a little and still print. False with the reason in why.
bool HasPossibleGeometry(const Stock& stock, QString& why);

// Whether the stock comes one label at a time, as the rolls of label printers do: a single label that is its
// whole page (within a point each way), on no paper of a named size (a full-sheet label on A4 is a sheet).
bool IsRoll(const Stock& stock);

// The numbers (from 1, as LabelRects counts them) of the labels that run off the page by more than rounding.
QList<int> LabelsOffPage(const Stock& stock);

// A warning naming the labels that run off the page, which the printer cannot print whole; empty when all fit.
QString OffPageWarning(const Stock& stock);

// "1 label", "80 labels": a count of labels as every message and list shows it.
QString LabelCountText(qint64 count);

// The label size as "66.68 x 25.40 mm".
QString LabelSizeText(const Stock& stock);

} // namespace labels
