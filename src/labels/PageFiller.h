#pragma once
// A run of labels filled one page at a time, from rows as they come: each page a Sheet of its own that any
// page writer (DrawPage, WritePdf, WriteZpl, ReadSheetBack) takes as it takes a whole sheet, so that a list of
// any length holds the memory of one page. FillSheet fills a whole run the same way.

#include "Sheet.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace labels {

class PageFiller {
public:
    // Puts the next row in row; false after the last.
    using NextRow = std::function<bool(QString& row)>;

    PageFiller(const Stock& stock, const FillOptions& options, NextRow nextRow);

    // Fills page with the next page of labels: start - 1 blank labels first on the first page, copies labels per
    // row, a row's copies running on to the next page when this one is full. Its failures are the rows first
    // read for it. False when no label is left for it; its failures may still name rows (those left out).
    bool next(Sheet& page);

    // Every label that is left, on one sheet (the whole run, when nothing was taken before).
    Sheet rest();

private:
    void fill(Sheet& sheet, qsizetype room);

    Sheet m_blank; // what every page shares: the stock, its labels, the rules and the fits found so far
    NextRow m_nextRow;
    qsizetype m_labelsDone = 0; // on earlier pages
    int m_rowsRead = 0;
    bool m_rowsEnded = false;
    // The row whose copies run on to the next page.
    QString m_pendingRow;
    QString m_pendingBarText;
    int m_pendingCopies = 0;
};

// The rows of a list one after another, for a filler; rows must outlive it.
PageFiller::NextRow RowsOf(const QStringList& rows);

// Every page the filler gives, handed to onPage as it is filled (to report its failures, read it back), then
// written to out as a PDF at dpi, the next page filled only after. At least one page is written, as WritePdf
// writes a sheet without labels. False with a reason in error; a failure of out itself is out's to report.
bool WritePdf(PageFiller& filler, const DrawOptions& options, int dpi, QIODevice& out,
              const std::function<void(const Sheet& page)>& onPage, QString& error);

} // namespace labels
