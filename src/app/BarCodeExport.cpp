#include "BarCodeExport.h"

#include "platform/FileNames.h"
#include "render/BarCodeDrawing.h"
#include "render/BarCodeFiles.h"

#include <QMimeData>
#include <QStringList>

namespace kelm {

namespace {

const QString kFallbackName = QStringLiteral("barcode");
const QString kPngMime = QStringLiteral("image/png");
const QString kSvgMime = QStringLiteral("image/svg+xml");
// UTF-16 units: with the extension well within the 255 bytes a file name may take, whatever the script.
constexpr qsizetype kLongestNamePart = 60;

} // namespace

QByteArray PictureBytes(const MadeBarCode& made, PictureType type, int dpi, QString* error)
{
    return render::PictureBytes(type, made.barText, made.look(), made.data, dpi, error);
}

QString SuggestedFileName(const QString& data, PictureType type)
{
    QString name = platform::SafeFileNamePart(data, kLongestNamePart, platform::NameLength::Utf16Units);
    if (name.trimmed().isEmpty())
        name = kFallbackName;
    return name + u'.' + render::PictureExtension(type);
}

namespace {

class PictureMimeData : public QMimeData {
public:
    PictureMimeData(const MadeBarCode& made, int dpi, bool png) : m_made(made), m_dpi(dpi), m_offersPng(png) {}

    QStringList formats() const override
    {
        return QMimeData::formats() + (m_offersPng ? QStringList{kPngMime, kSvgMime} : QStringList{kSvgMime});
    }
    bool hasFormat(const QString& mimeType) const override
    {
        return (mimeType == kPngMime && m_offersPng) || mimeType == kSvgMime || QMimeData::hasFormat(mimeType);
    }

protected:
    QVariant retrieveData(const QString& mimeType, QMetaType type) const override
    {
        if (mimeType == kPngMime && m_offersPng) {
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
    bool m_offersPng;
    mutable QByteArray m_png;
    mutable QByteArray m_svg;
};

} // namespace

QMimeData* WithPictures(const QMimeData& text, const MadeBarCode& made, int dpi)
{
    // Measuring is cheap where drawing is not: a picture that could not be made is not offered at all. The
    // drawings have no size limit; the PNG has the image's, margins included.
    const bool drawable = render::BarCodeTextProblem(made.barText).isEmpty();
    QMimeData* mime =
        drawable ? new PictureMimeData(made, dpi,
                                       render::MeasureBarCodeImage(made.barText, made.look(), dpi).failure ==
                                           render::BarCodeImage::None)
                 : new QMimeData;
    for (const QString& format : text.formats())
        mime->setData(format, text.data(format));
    return mime;
}

} // namespace kelm
