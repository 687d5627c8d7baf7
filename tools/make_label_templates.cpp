// Writes the label sheet templates: one RTF document per label stock of ours, a page of empty labels.
//
//     make_label_templates OUTDIR                    the templates the program opens
//     make_label_templates OUTDIR --markers top      every label holds two markers, for the geometry check
//     make_label_templates --geometry                the expected label rectangles, one line per label
#include "labels/RtfTemplate.h"
#include "labels/StockLibrary.h"
#include "platform/FileWriter.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>

namespace {

int Usage()
{
    std::fputs("usage: make_label_templates OUTDIR [--markers top|bottom] | --geometry\n", stderr);
    return 2;
}

// Each label's rectangle in inches: file row col left top right bottom.
int PrintGeometry()
{
    for (const labels::Stock& stock : labels::OwnStocks()) {
        const labels::Layout& layout = stock.layouts.front();
        const QList<QRectF> rects = labels::LabelRects(stock);
        for (qsizetype i = 0; i < rects.size(); ++i) {
            const QRectF r(rects[i].topLeft() / labels::kPointsPerInch, rects[i].size() / labels::kPointsPerInch);
            std::printf("%s %d %d %.5f %.5f %.5f %.5f\n", qPrintable(stock.templateFile), int(i / layout.nx),
                        int(i % layout.nx), r.left(), r.top(), r.right(), r.bottom());
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args == QStringList{QStringLiteral("--geometry")})
        return PrintGeometry();
    labels::TemplateMarkers markers = labels::TemplateMarkers::None;
    if (args.size() == 3 && args[1] == u"--markers" && (args[2] == u"top" || args[2] == u"bottom"))
        markers = args[2] == u"top" ? labels::TemplateMarkers::Top : labels::TemplateMarkers::Bottom;
    else if (args.size() != 1 || args[0].startsWith(u'-'))
        return Usage();

    const QDir dir(args[0]);
    if (!dir.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "make_label_templates: cannot make %s\n", qPrintable(args[0]));
        return 1;
    }
    for (const labels::Stock& stock : labels::OwnStocks()) {
        // A typing slip in the table must not produce a broken template.
        QString problem;
        QString error;
        if (!labels::CanMakeTemplate(stock, problem) ||
            !platform::WriteWholeFile(dir.filePath(stock.templateFile),
                                      labels::LabelTemplateRtf(stock, stock.part, markers), error)) {
            std::fprintf(stderr, "make_label_templates: %s: %s\n", qPrintable(stock.templateFile),
                         qPrintable(problem.isEmpty() ? error : problem));
            return 1;
        }
    }
    return 0;
}
