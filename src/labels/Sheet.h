#pragma once
// A sheet (or several) of labels filled with bar codes, independent of any window: which row goes into
// which label, how large each bar code can be drawn, and the drawing itself on any painter.

#include "Stock.h"
#include "render/BarCodeDrawing.h"
#include "render/OutputLimits.h"

#include <QByteArray>
#include <QList>
#include <QPointF>
#include <QString>
#include <QStringList>

class QPainter;

namespace labels {

// Below this many pixels per em the typefaces' narrow bars vanish on the page.
inline constexpr int kScannablePixelsPerEm = 13;
// The ranges a fill takes, from the one table of output limits.
inline constexpr int kMaxCopies = render::kMaxCopies;
inline constexpr int kMaxLabels = render::kMaxLabels;
static_assert(kMaxCopies >= kMaxLabelsPerSheet, "one bar code must be able to fill a whole sheet");

struct FillOptions {
    int start = 1;  // the first label to fill on the first sheet, from 1
    int copies = 1; // labels per row
    bool checksum = false;
    bool fullAscii = false;
    render::BarCodeLook look;      // the chosen size is the largest a bar code is drawn at
    int dpi = render::kDefaultDpi; // the printer's resolution, which the fit rounds to
};

struct RowFailure {
    int row = 0; // from 1
    QString message;
};

struct Sheet {
    Stock stock;
    QList<QRectF> labels; // one page's label rectangles, in order
    QStringList barTexts; // per label over all pages: "*DATA*", or empty for a blank label
    QList<RowFailure> failures;
    render::BarCodeLook look;
    int dpi = render::kDefaultDpi;
    // What each label must scan as: the rows as given, how they were laid out and how they were encoded.
    QStringList rows;
    int start = 1;
    int copies = 1;
    bool checksum = false;
    bool fullAscii = false;

    int pageCount() const;
    // The row (from 1) whose bar code label (from 0, over all pages) holds; 0 for the blank labels
    // before the start.
    int rowOf(qsizetype label) const;
};

// Fills labels with rows: start - 1 blank labels, then copies labels per row, page after page. A row the
// builder refuses, or whose bar code fits the label at no size, leaves its labels blank and is listed
// with its number and the reason.
Sheet FillSheet(const Stock& stock, const QStringList& rows, const FillOptions& options);

// The smallest point size that scans on a device of dpi.
double ScannablePointSize(int dpi);

// Problems to tell the user before printing on a device of dpi: bar codes reduced below the scannable
// size (naming the size that would scan) and bar codes that fit no size at all.
QStringList SheetWarnings(const Sheet& sheet, int dpi);

struct DrawOptions {
    bool outlines = false; // draw each label's outline (a calibration print, or the preview)
    bool barCodes = true;
    QPointF offsetMm; // the printer's nudge: right and down, in millimetres
};

// Draws one page (from 0) of the sheet, the painter's origin at the page's top-left corner, in the
// device's pixels at its logical resolution.
void DrawPage(QPainter& painter, const Sheet& sheet, int page, const DrawOptions& options);

// Draws one label (from 0, counted over all pages) where it sits on its page, as DrawPage does: for
// drawing or checking a single label without the rest of its page.
void DrawLabel(QPainter& painter, const Sheet& sheet, qsizetype label, const DrawOptions& options);

// Every page of the sheet as a PDF at dpi (fonts embedded). False with a reason in error.
bool WritePdf(const Sheet& sheet, const DrawOptions& options, int dpi, QByteArray& pdf, QString& error);

} // namespace labels
