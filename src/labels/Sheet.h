#pragma once
// A sheet (or several) of labels filled with bar codes, independent of any window: which row goes into
// which label, how each bar code is set on the device's dots (SymbolFit.h), what would keep it from
// scanning, and the drawing itself on any painter.

#include "Stock.h"
#include "SymbolFit.h"
#include "render/BarCodeDrawing.h"
#include "render/OutputLimits.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPointF>
#include <QString>
#include <QStringList>

class QIODevice;
class QPainter;

namespace labels {

// The ranges a fill takes, from the one table of output limits.
inline constexpr int kMaxCopies = render::kMaxCopies;
inline constexpr int kMaxLabels = render::kMaxLabels;
static_assert(kMaxCopies >= kMaxLabelsPerSheet, "one bar code must be able to fill a whole sheet");

struct FillOptions {
    int start = 1;  // the first label to fill on the first sheet, from 1
    int copies = 1; // labels per row
    bool checksum = false;
    bool fullAscii = false;
    render::BarCodeLook look;      // the typeface's module at the chosen size is the widest narrow bar
    int dpi = render::kDefaultDpi; // the device's resolution: every bar edge lies on its dots
    double barHeightMm = 0;        // 0: as tall as the label allows
    Rotation rotation = Rotation::Auto;
};

struct RowFailure {
    int row = 0; // from 1
    QString message;
};

// The labels of a run, on all its pages or, filled page by page (PageFiller.h), on one of them: the labels
// and rows before it are then counted in labelsBefore and rowsBefore, and a label's number is its own.
struct Sheet {
    Stock stock;
    QList<QRectF> labels; // one page's label rectangles, in order
    QStringList barTexts; // per label over all pages: "*DATA*", or empty for a blank label
    QList<int> rows;      // per label over all pages: the row it holds, from 1 in the run; 0 for a blank label
    QList<RowFailure> failures;
    render::BarCodeLook look;
    int dpi = render::kDefaultDpi;
    double barHeightMm = 0;
    Rotation rotation = Rotation::Auto;
    QHash<int, SymbolFit> fits; // by the bar text's length: every label of a sheet has the same room
    // What each label must scan as: the rows as given, how they were laid out and how they were encoded.
    QStringList data; // from row rowsBefore + 1 on
    qsizetype labelsBefore = 0;
    int rowsBefore = 0;
    int start = 1;
    int copies = 1;
    bool checksum = false;
    bool fullAscii = false;

    int pageCount() const;
    // The row (from 1 in the run) whose bar code label (from 0, over all pages) holds; 0 for the blank labels
    // before the start.
    int rowOf(qsizetype label) const;
    SymbolRules rules() const;
};

// Fills labels with rows: start - 1 blank labels, then copies labels per row, page after page. A row the
// builder refuses, or whose bar code fits the label at no size, leaves its labels blank and is listed
// with its number and the reason. A list too long for the window is better filled page by page.
Sheet FillSheet(const Stock& stock, const QStringList& rows, const FillOptions& options);

// The fit of a bar text of the sheet; a fit of module 0 for a length the sheet does not hold.
SymbolFit FitOf(const Sheet& sheet, const QString& barText);

// What to tell the user before printing, one line per length of bar code that falls short: "will not
// scan" when its narrow bar is below kLeastModuleDots or kLeastModuleMm at the sheet's resolution, "may
// not scan" when its bars are shorter than the least bar height; each names its rows, the rule and what
// would scan (fewer characters, a higher resolution, a larger label).
QStringList SheetWarnings(const Sheet& sheet);

struct DrawOptions {
    bool outlines = false; // draw each label's outline (a calibration print, or the preview)
    bool barCodes = true;
    QPointF offsetMm; // the printer's nudge: right and down, in millimetres
};

// Draws one page (from 0) of the sheet, the painter's origin at the page's top-left corner, in the
// device's pixels at its logical resolution. The bars lie on the sheet's dots, which are the device's
// own when it has the sheet's resolution (a preview shows them scaled).
void DrawPage(QPainter& painter, const Sheet& sheet, int page, const DrawOptions& options);

// Draws one label (from 0, counted over all pages) where it sits on its page, as DrawPage does: for
// drawing or checking a single label without the rest of its page.
void DrawLabel(QPainter& painter, const Sheet& sheet, qsizetype label, const DrawOptions& options);

// Every page of the sheet as a PDF at dpi (fonts embedded), written to out (open for writing) page by
// page. False with a reason in error; a failure of out itself is out's to report.
bool WritePdf(const Sheet& sheet, const DrawOptions& options, int dpi, QIODevice& out, QString& error);

} // namespace labels
