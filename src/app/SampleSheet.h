#pragma once
// The sample sheet: one page with the vendor's head, two notes for scanner set-up, a summary of the
// data and options, and the bar code at six point sizes. Everything is placed in printer pixels
// computed from the printer's own resolution, so the page has the same physical layout everywhere.

#include "PrintTarget.h"

#include <QList>
#include <QString>

class QPainter;
class QWidget;

namespace kelm {

// What the sheet shows, read from the main window at the moment of printing.
struct SampleSheetContent {
    QString data;     // the input box's text, as typed
    QString fontName; // the bar-code family
    bool checksum = false;
    bool fullAscii = false;
    QString barCode; // the preview's whole text: start/stop characters and trailing spaces included
};

// The printer measures, in printer pixels: text height H, column unit U (a tenth of an inch) and
// line unit L (the largest whole number below 1.2 H).
struct SheetMeasures {
    int H = 0;
    int U = 0;
    int L = 0;
};

// One text on the sheet: font family and point size, top-left corner in printer pixels.
struct SheetLine {
    QString family;
    int pointSize = 0;
    int x = 0;
    int y = 0;
    QString text;
};

SheetMeasures MeasureSheet(int dpiX, int dpiY);

// The texts of the sheet in drawing order, placed for a printer of the given resolution.
QList<SheetLine> SampleSheetLines(int dpiX, int dpiY, const SampleSheetContent& content);

// Draws the sheet on the painter, whose device must have the given resolution (font sizes are in
// points of that device).
void DrawSampleSheet(QPainter& painter, int dpiX, int dpiY, const SampleSheetContent& content);

// The whole print job through the print target: the print dialog (on the printer or the file memory holds
// from the window's last job), then one page. Returns false when the user cancels the dialog; throws
// platform::PrinterError when the job cannot be started or completed.
//
// With neither remembered and no printer installed, the dialog starts on "Sample sheet.pdf" in the documents
// folder. A file offered never exists yet: an existing one gets the next free "Sample sheet (n).pdf".
bool PrintSampleSheet(QWidget* parent, const SampleSheetContent& content, PrintTargetMemory& memory);

} // namespace kelm
