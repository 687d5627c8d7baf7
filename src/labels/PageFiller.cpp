#include "PageFiller.h"

#include "Pages.h"
#include "ScanWarnings.h"
#include "code39/Code39.h"
#include "render/Typefaces.h"

#include <limits>

namespace labels {

PageFiller::PageFiller(const Stock& stock, const FillOptions& options, NextRow nextRow)
    : m_nextRow(std::move(nextRow))
{
    m_blank.stock = stock;
    m_blank.look = options.look;
    m_blank.dpi = options.dpi;
    m_blank.barHeightMm = options.barHeightMm;
    m_blank.rotation = options.rotation;
    m_blank.labels = LabelRects(stock);
    if (m_blank.labels.isEmpty()) {
        m_rowsEnded = true; // nothing to put them on
        return;
    }
    render::RegisterBarCodeTypefaces();
    m_blank.start = qBound(1, options.start, int(m_blank.labels.size()));
    m_blank.copies = qBound(1, options.copies, kMaxCopies);
    m_blank.checksum = options.checksum;
    m_blank.fullAscii = options.fullAscii;
}

void PageFiller::fill(Sheet& sheet, qsizetype room)
{
    sheet = m_blank;
    sheet.labelsBefore = m_labelsDone;
    if (sheet.labels.isEmpty())
        return;
    if (m_labelsDone == 0) {
        sheet.barTexts.fill(QString(), m_blank.start - 1);
        sheet.rows.fill(0, m_blank.start - 1);
    }
    sheet.rowsBefore = m_pendingCopies > 0 ? m_rowsRead - 1 : m_rowsRead;
    if (m_pendingCopies > 0)
        sheet.data.append(m_pendingRow);

    const int copies = m_blank.copies;
    const SymbolRules rules = sheet.rules();
    code39::BuildResult built;
    while (sheet.barTexts.size() < room) {
        if (m_pendingCopies > 0) {
            const auto labels = int(qMin<qsizetype>(m_pendingCopies, room - sheet.barTexts.size()));
            const int row = m_pendingBarText.isEmpty() ? 0 : m_rowsRead;
            for (int c = 0; c < labels; ++c) {
                sheet.barTexts.append(m_pendingBarText);
                sheet.rows.append(row);
            }
            m_pendingCopies -= labels;
            continue;
        }
        QString text;
        if (m_rowsEnded || !m_nextRow(text)) {
            m_rowsEnded = true;
            break;
        }
        const int row = ++m_rowsRead;
        if (m_labelsDone + sheet.barTexts.size() + copies > kMaxLabels) {
            sheet.failures.append(
                {row, QStringLiteral("rows from here on are left out: more than %L1 labels").arg(kMaxLabels)});
            m_rowsEnded = true;
            break;
        }
        QString barText;
        if (!code39::BuildBarCodeData(
                std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), std::size_t(text.size())),
                m_blank.fullAscii, m_blank.checksum, built)) {
            sheet.failures.append({row, QString::fromStdU16String(built.error)});
        } else {
            barText = QString::fromStdString(code39::BarCodeString(built.data));
            // Every label of the run has the same room: a length is fitted once, whichever page it is on.
            const int length = int(barText.size());
            auto fit = m_blank.fits.find(length);
            if (fit == m_blank.fits.end())
                fit = m_blank.fits.insert(length, FitSymbol(m_blank.stock, length, rules));
            if (fit->module == 0) {
                sheet.failures.append({row, TooLongToFit(sheet, length)});
                barText.clear();
            }
        }
        sheet.data.append(text);
        m_pendingRow = text;
        m_pendingBarText = barText;
        m_pendingCopies = copies;
    }
    sheet.fits = m_blank.fits;
    m_labelsDone += sheet.barTexts.size();
}

bool PageFiller::next(Sheet& page)
{
    fill(page, m_blank.labels.size());
    return !page.barTexts.isEmpty();
}

Sheet PageFiller::rest()
{
    Sheet sheet;
    fill(sheet, std::numeric_limits<qsizetype>::max());
    return sheet;
}

bool WritePdf(PageFiller& filler, const DrawOptions& options, int dpi, QIODevice& out,
              const std::function<void(const Sheet& page)>& onPage, QString& error)
{
    Sheet page;
    filler.next(page);
    onPage(page);
    const auto nextPage = [&] {
        const bool more = filler.next(page);
        onPage(page);
        return more;
    };
    return WritePdfPages(
        out, page.stock, dpi, nextPage, [&](QPainter& painter, int) { DrawPage(painter, page, 0, options); },
        error);
}

PageFiller::NextRow RowsOf(const QStringList& rows)
{
    return [&rows, next = qsizetype(0)](QString& row) mutable {
        if (next >= rows.size())
            return false;
        row = rows[next++];
        return true;
    };
}

} // namespace labels
