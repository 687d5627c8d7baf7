#include "BarCodeExport.h"

#include "render/BarCodeFiles.h"

#include <QFileInfo>
#include <QMimeData>
#include <QStringList>

namespace kelm {

namespace {

struct PictureKind {
    PictureType type;
    const char* extension;
    const char* filter;
};
constexpr PictureKind kPictureKinds[] = {
    {PictureType::Png, "png", "PNG image (*.png)"},
    {PictureType::Svg, "svg", "SVG drawing (*.svg)"},
    {PictureType::Pdf, "pdf", "PDF document (*.pdf)"},
};

const QString kFallbackName = QStringLiteral("barcode");
const QString kPngMime = QStringLiteral("image/png");
const QString kSvgMime = QStringLiteral("image/svg+xml");
// UTF-16 units: with the extension well within the 255 bytes a file name may take, whatever the script.
constexpr qsizetype kLongestNamePart = 60;

const PictureKind& KindOf(PictureType type)
{
    for (const PictureKind& kind : kPictureKinds) {
        if (kind.type == type)
            return kind;
    }
    return kPictureKinds[0];
}

} // namespace

QString PictureFilters()
{
    QStringList filters;
    for (const PictureKind& kind : kPictureKinds)
        filters.append(QString::fromLatin1(kind.filter));
    return filters.join(QStringLiteral(";;"));
}

PictureType PictureTypeOf(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix();
    for (const PictureKind& kind : kPictureKinds) {
        if (suffix.compare(QLatin1String(kind.extension), Qt::CaseInsensitive) == 0)
            return kind.type;
    }
    return PictureType::Png;
}

QByteArray PictureBytes(const MadeBarCode& made, PictureType type, int dpi, QString* error)
{
    switch (type) {
    case PictureType::Svg:
        return render::BarCodeSvg(made.barText, made.look(), made.data, error);
    case PictureType::Pdf:
        return render::BarCodePdf(made.barText, made.look(), made.data, error);
    case PictureType::Png:
        break;
    }
    return render::BarCodePng(made.barText, made.look(), dpi, error);
}

QString SuggestedFileName(const QString& data, PictureType type)
{
    static const QString forbidden = QStringLiteral("/\\:*?\"<>|");
    QString name;
    for (qsizetype i = 0; i < data.size() && name.size() < kLongestNamePart; ++i) {
        const QChar c = data[i];
        if (c.isHighSurrogate() && i + 1 < data.size() && data[i + 1].isLowSurrogate()) {
            if (name.size() + 2 > kLongestNamePart)
                break;
            name += c;
            name += data[++i];
            continue;
        }
        const bool unsafe = c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() <= 0x9F) ||
                            c.isSurrogate() || forbidden.contains(c) ||
                            (c == u'.' && (i == 0 || data[i - 1] == u'.'));
        name += unsafe ? QChar(u'_') : c;
    }
    if (name.trimmed().isEmpty())
        name = kFallbackName;
    return name + u'.' + QLatin1String(KindOf(type).extension);
}

void AddPictures(QMimeData& mime, const MadeBarCode& made, int dpi)
{
    const QByteArray png = render::BarCodePng(made.barText, made.look(), dpi);
    if (!png.isEmpty())
        mime.setData(kPngMime, png);
    const QByteArray svg = render::BarCodeSvg(made.barText, made.look(), made.data);
    if (!svg.isEmpty())
        mime.setData(kSvgMime, svg);
}

} // namespace kelm
