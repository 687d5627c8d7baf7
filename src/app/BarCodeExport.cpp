#include "BarCodeExport.h"

#include "Common.h"

#include "render/BarCodeDrawing.h"
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
    QString name = SafeFileNamePart(data, kLongestNamePart);
    if (name.trimmed().isEmpty())
        name = kFallbackName;
    return name + u'.' + QLatin1String(KindOf(type).extension);
}

namespace {

class PictureMimeData : public QMimeData {
public:
    PictureMimeData(const MadeBarCode& made, int dpi) : m_made(made), m_dpi(dpi) {}

    QStringList formats() const override { return QMimeData::formats() + QStringList{kPngMime, kSvgMime}; }
    bool hasFormat(const QString& mimeType) const override
    {
        return mimeType == kPngMime || mimeType == kSvgMime || QMimeData::hasFormat(mimeType);
    }

protected:
    QVariant retrieveData(const QString& mimeType, QMetaType type) const override
    {
        if (mimeType == kPngMime) {
            if (m_png.isEmpty())
                m_png = render::BarCodePng(m_made.barText, m_made.look(), m_dpi);
            return m_png;
        }
        if (mimeType == kSvgMime) {
            if (m_svg.isEmpty())
                m_svg = render::BarCodeSvg(m_made.barText, m_made.look(), m_made.data);
            return m_svg;
        }
        return QMimeData::retrieveData(mimeType, type);
    }

private:
    MadeBarCode m_made;
    int m_dpi;
    mutable QByteArray m_png;
    mutable QByteArray m_svg;
};

} // namespace

QMimeData* WithPictures(const QMimeData& text, const MadeBarCode& made, int dpi)
{
    // The extent is cheap where drawing is not: a picture that could not be made is not offered at all.
    const QSizeF extent = render::BarCodeExtent(made.barText, made.look(), dpi);
    const bool fits = !made.barText.isEmpty() && extent.width() < render::kMaxPngWidth &&
                      extent.width() * extent.height() < double(render::kMaxImagePixels);
    auto* mime = fits ? new PictureMimeData(made, dpi) : new QMimeData;
    for (const QString& format : text.formats())
        mime->setData(format, text.data(format));
    return mime;
}

} // namespace kelm
