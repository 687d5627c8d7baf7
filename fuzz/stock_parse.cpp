// Any bytes as a label-template file and as a paper-sizes file: no crash, no hang, and every stock that
// comes out is one the sheets can be laid out on.
#include "labels/RtfTemplate.h"
#include "labels/StockLibrary.h"

#include "FuzzInput.h"

#include <QtMath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    labels::PaperSizes papers;
    QString error;
    if (!labels::ParsePaperSizes(bytes, papers, error))
        FUZZ_CHECK(!error.isEmpty());
    papers.insert(QStringLiteral("A4"), {QStringLiteral("A4"), QSizeF(595.28, 841.89)});

    const labels::ParsedTemplates parsed = labels::ParseTemplates(bytes, QStringLiteral("fuzz.xml"), papers);
    FUZZ_CHECK(parsed.stocks.size() + parsed.equivalents.size() <= parsed.templates);
    for (const labels::Stock& stock : parsed.stocks) {
        FUZZ_CHECK(!stock.brand.isEmpty() && !stock.part.isEmpty());
        FUZZ_CHECK(stock.label.width() > 0 && stock.label.height() > 0);
        FUZZ_CHECK(qIsFinite(stock.label.width()) && qIsFinite(stock.label.height()));
        FUZZ_CHECK(!stock.layouts.isEmpty() && stock.labelCount() <= labels::kMaxLabelsPerSheet);
        FUZZ_CHECK(labels::LabelRects(stock).size() == stock.labelCount());
        QString why;
        const bool writable = labels::CanMakeTemplate(stock, why);
        FUZZ_CHECK(labels::LabelTemplateRtf(stock, stock.part).isEmpty() == !writable);
    }
    return 0;
}
