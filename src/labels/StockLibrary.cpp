#include "StockLibrary.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QXmlStreamReader>
#include <QtMath>

namespace labels {

namespace {

// Our stocks as the sheets are sold, in inches. The order is the label dialog's list.
struct OwnStock {
    const char* file;
    const char* description;
    double width, height;
    int cols, rows;
    double left, top, pitchX, pitchY;
};
constexpr OwnStock kOwnStocks[] = {
    {"lb167.rtf", "1 3/4 x 1/2 in, 80 per sheet", 1.75, 0.5, 4, 20, 0.28125, 0.5, 2.0625, 0.5},
    {"lb570.rtf", "3 7/16 x 2/3 in, 30 per sheet", 3.4375, 0.6667, 2, 15, 0.53125, 0.5, 4.0, 0.6667},
    {"lb060.rtf", "2 5/8 x 1 in, 30 per sheet", 2.625, 1.0, 3, 10, 0.15625, 0.5, 2.78125, 1.0},
    {"lb161.rtf", "4 x 1 in, 20 per sheet", 4.0, 1.0, 2, 10, 0.15625, 0.5, 4.1875, 1.0},
    {"lb162.rtf", "4 x 1 1/3 in, 14 per sheet", 4.0, 1.3333, 2, 7, 0.15625, 0.8333, 4.1875, 1.3333},
    {"lb197.rtf", "4 x 1 1/2 in, 12 per sheet", 4.0, 1.5, 2, 6, 0.1875, 1.0, 4.125, 1.5},
    {"lb163.rtf", "4 x 2 in, 10 per sheet", 4.0, 2.0, 2, 5, 0.15625, 0.5, 4.1875, 2.0},
    {"lb164.rtf", "4 x 3 1/3 in, 6 per sheet", 4.0, 3.3333, 2, 3, 0.15625, 0.5, 4.1875, 3.3333},
};
// Our templates keep text this far from a label's edges.
constexpr double kOwnMarkupMargin = 0.06 * kPointsPerInch;

QString Fold(const QString& text)
{
    return text.simplified().toCaseFolded();
}

QString Attribute(const QXmlStreamReader& xml, QLatin1StringView name)
{
    return xml.attributes().value(name).toString();
}

// A length attribute; false, with a note naming it, when it is missing or unreadable.
bool LengthAttribute(const QXmlStreamReader& xml, QLatin1StringView name, double& points, QString& why)
{
    const QStringView text = xml.attributes().value(name);
    if (ParseLength(text, points))
        return true;
    why = text.isEmpty() ? QStringLiteral("no %1").arg(name)
                         : QStringLiteral("%1=\"%2\" is not a length").arg(name, text.left(40).toString());
    return false;
}

// A layout's offset: as a length, but an empty one is the page's edge (one template of the database
// writes x0="" for labels that fill the page's width).
bool OffsetAttribute(const QXmlStreamReader& xml, QLatin1StringView name, double& points, QString& why)
{
    if (xml.attributes().hasAttribute(name) && xml.attributes().value(name).trimmed().isEmpty()) {
        points = 0;
        return true;
    }
    return LengthAttribute(xml, name, points, why);
}

// A count of labels across or down: 1 to 1000, nothing else.
bool CountAttribute(const QXmlStreamReader& xml, QLatin1StringView name, int& count, QString& why)
{
    bool ok = false;
    count = xml.attributes().value(name).toInt(&ok);
    if (ok && count >= 1 && count <= 1000)
        return true;
    why = QStringLiteral("%1=\"%2\" is not a count of labels").arg(name, xml.attributes().value(name).left(40));
    return false;
}

// Reads a <Label-...> element and its children into stock; false with a reason in why.
bool ReadLabel(QXmlStreamReader& xml, Stock& stock, QString& why)
{
    const QStringView element = xml.name();
    double width = 0, height = 0;
    if (element == u"Label-rectangle" || element == u"Label-ellipse") {
        stock.shape = element == u"Label-rectangle" ? LabelShape::Rectangle : LabelShape::Ellipse;
        if (!LengthAttribute(xml, QLatin1StringView("width"), width, why) ||
            !LengthAttribute(xml, QLatin1StringView("height"), height, why))
            return false;
    } else if (element == u"Label-round" || element == u"Label-cd") {
        stock.shape = element == u"Label-round" ? LabelShape::Round : LabelShape::Cd;
        double radius = 0;
        if (!LengthAttribute(xml, QLatin1StringView("radius"), radius, why))
            return false;
        width = height = 2 * radius;
        // A CD label cut square (a business-card CD) gives its box.
        if (xml.attributes().hasAttribute(QLatin1StringView("width")) &&
            !LengthAttribute(xml, QLatin1StringView("width"), width, why))
            return false;
        if (xml.attributes().hasAttribute(QLatin1StringView("height")) &&
            !LengthAttribute(xml, QLatin1StringView("height"), height, why))
            return false;
        if (stock.shape == LabelShape::Cd && !LengthAttribute(xml, QLatin1StringView("hole"), stock.hole, why))
            return false;
    } else {
        why = QStringLiteral("unknown label shape <%1>").arg(element);
        return false;
    }
    if (!(width > 0 && height > 0)) {
        why = QStringLiteral("the label has no size");
        return false;
    }
    stock.label = QSizeF(width, height);

    while (xml.readNextStartElement()) {
        if (xml.name() == u"Layout") {
            Layout layout;
            if (!CountAttribute(xml, QLatin1StringView("nx"), layout.nx, why) ||
                !CountAttribute(xml, QLatin1StringView("ny"), layout.ny, why) ||
                !OffsetAttribute(xml, QLatin1StringView("x0"), layout.x0, why) ||
                !OffsetAttribute(xml, QLatin1StringView("y0"), layout.y0, why))
                return false;
            // A single row or column may leave its pitch out.
            if ((layout.nx > 1 || xml.attributes().hasAttribute(QLatin1StringView("dx"))) &&
                !LengthAttribute(xml, QLatin1StringView("dx"), layout.dx, why))
                return false;
            if ((layout.ny > 1 || xml.attributes().hasAttribute(QLatin1StringView("dy"))) &&
                !LengthAttribute(xml, QLatin1StringView("dy"), layout.dy, why))
                return false;
            // A layout given twice would put two rows on one label.
            const bool repeated = std::any_of(stock.layouts.begin(), stock.layouts.end(), [&](const Layout& l) {
                return l.nx == layout.nx && l.ny == layout.ny && l.x0 == layout.x0 && l.y0 == layout.y0 &&
                       l.dx == layout.dx && l.dy == layout.dy;
            });
            if (!repeated)
                stock.layouts.append(layout);
        } else if (xml.name() == u"Markup-margin") {
            double margin = 0;
            if (LengthAttribute(xml, QLatin1StringView("size"), margin, why) && margin >= 0)
                stock.markupMargin = qMax(stock.markupMargin, margin);
        }
        xml.skipCurrentElement();
    }
    if (stock.layouts.isEmpty()) {
        why = QStringLiteral("no layout");
        return false;
    }
    if (stock.labelCount() > kMaxLabelsPerSheet) {
        why = QStringLiteral("more than %1 labels on a sheet").arg(kMaxLabelsPerSheet);
        return false;
    }
    return true;
}

// Reads one <Template> element (the reader at its start); false with a reason in why.
bool ReadTemplate(QXmlStreamReader& xml, const PaperSizes& papers, Stock& stock, QString& why)
{
    stock.brand = Attribute(xml, QLatin1StringView("brand")).simplified();
    stock.part = Attribute(xml, QLatin1StringView("part")).simplified();
    stock.description = Attribute(xml, QLatin1StringView("_description"));
    if (stock.description.isEmpty())
        stock.description = Attribute(xml, QLatin1StringView("description"));
    stock.equivalentOf = Attribute(xml, QLatin1StringView("equiv")).simplified();
    if (stock.brand.isEmpty() || stock.part.isEmpty()) {
        why = QStringLiteral("no brand or part");
        return false;
    }
    if (!stock.equivalentOf.isEmpty()) {
        xml.skipCurrentElement();
        return true;
    }

    stock.paperId = Attribute(xml, QLatin1StringView("size"));
    if (stock.paperId == u"Other" || stock.paperId.isEmpty()) {
        double width = 0, height = 0;
        if (!LengthAttribute(xml, QLatin1StringView("width"), width, why) ||
            !LengthAttribute(xml, QLatin1StringView("height"), height, why))
            return false;
        stock.paperId = QStringLiteral("Other");
        stock.paperName = QStringLiteral("Other");
        stock.page = QSizeF(width, height);
    } else {
        const auto paper = papers.constFind(stock.paperId);
        if (paper == papers.constEnd()) {
            why = QStringLiteral("unknown paper size \"%1\"").arg(stock.paperId.left(40));
            return false;
        }
        stock.paperName = paper->name;
        stock.page = paper->size;
    }

    bool haveLabel = false;
    while (xml.readNextStartElement()) {
        if (xml.name().startsWith(u"Label-") && !haveLabel) {
            if (!ReadLabel(xml, stock, why))
                return false;
            haveLabel = true;
        } else {
            // Meta data and a second label kind (never seen) are not ours to use.
            xml.skipCurrentElement();
        }
    }
    if (!haveLabel) {
        why = QStringLiteral("no label");
        return false;
    }
    return HasPossibleGeometry(stock, why);
}

} // namespace

QList<Stock> OwnStocks()
{
    QList<Stock> stocks;
    for (const OwnStock& own : kOwnStocks) {
        Stock stock;
        stock.templateFile = QString::fromLatin1(own.file);
        stock.part = stock.templateFile.chopped(4);
        stock.description = QString::fromLatin1(own.description);
        stock.paperId = QStringLiteral("US-Letter");
        stock.paperName = QStringLiteral("US Letter");
        stock.page = QSizeF(8.5 * kPointsPerInch, 11 * kPointsPerInch);
        stock.label = QSizeF(own.width * kPointsPerInch, own.height * kPointsPerInch);
        stock.markupMargin = kOwnMarkupMargin;
        stock.layouts.append({own.cols, own.rows, own.left * kPointsPerInch, own.top * kPointsPerInch,
                              own.pitchX * kPointsPerInch, own.pitchY * kPointsPerInch});
        stocks.append(stock);
    }
    return stocks;
}

bool ParseLength(QStringView text, double& points)
{
    text = text.trimmed();
    static constexpr struct {
        char16_t unit[3];
        double points;
    } kUnits[] = {
        {u"pt", 1}, {u"in", kPointsPerInch}, {u"mm", kPointsPerMm}, {u"cm", 10 * kPointsPerMm}, {u"pc", 12}};
    double scale = 1;
    for (const auto& unit : kUnits) {
        if (text.endsWith(QStringView(unit.unit))) {
            text.chop(2);
            scale = unit.points;
            break;
        }
    }
    text = text.trimmed();
    // Plain decimals only: toDouble would also take "inf", "nan" and hexadecimal.
    if (text.isEmpty() || text.size() > 40)
        return false;
    for (QChar c : text) {
        if (!(c.isDigit() || c == u'.' || c == u'-' || c == u'+' || c == u'e' || c == u'E'))
            return false;
    }
    bool ok = false;
    const double value = text.toDouble(&ok) * scale;
    if (!ok || !qIsFinite(value))
        return false;
    points = value;
    return true;
}

bool ParsePaperSizes(const QByteArray& xml, PaperSizes& sizes, QString& error)
{
    QXmlStreamReader reader(xml);
    PaperSizes read;
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement || reader.name() != u"Paper-size")
            continue;
        double width = 0, height = 0;
        QString why;
        const QString id = Attribute(reader, QLatin1StringView("id"));
        if (id.isEmpty() || !LengthAttribute(reader, QLatin1StringView("width"), width, why) ||
            !LengthAttribute(reader, QLatin1StringView("height"), height, why) || width <= 0 || height <= 0)
            continue;
        QString name = Attribute(reader, QLatin1StringView("_name"));
        read.insert(id, {name.isEmpty() ? id : name, QSizeF(width, height)});
    }
    if (reader.hasError()) {
        error = QStringLiteral("line %1: %2").arg(reader.lineNumber()).arg(reader.errorString());
        return false;
    }
    sizes.insert(read);
    return true;
}

ParsedTemplates ParseTemplates(const QByteArray& xml, const QString& fileName, const PaperSizes& papers)
{
    ParsedTemplates parsed;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement || reader.name() != u"Template")
            continue;
        ++parsed.templates;
        const qint64 line = reader.lineNumber();
        Stock stock;
        QString why;
        if (!ReadTemplate(reader, papers, stock, why)) {
            parsed.notes.append(QStringLiteral("%1 line %2: template %3 left out: %4")
                                    .arg(fileName)
                                    .arg(line)
                                    .arg(stock.name().left(80), why));
            // Skip what is left of the template; its end may be far below the element that failed.
            while (!reader.atEnd() && !(reader.isEndElement() && reader.name() == u"Template"))
                reader.readNext();
            continue;
        }
        (stock.equivalentOf.isEmpty() ? parsed.stocks : parsed.equivalents).append(stock);
    }
    if (reader.hasError()) {
        parsed.notes.append(QStringLiteral("%1 left out: line %2: %3")
                                .arg(fileName)
                                .arg(reader.lineNumber())
                                .arg(reader.errorString()));
        parsed.stocks.clear();
        parsed.equivalents.clear();
    }
    return parsed;
}

StockLibrary::StockLibrary()
{
    for (const Stock& stock : OwnStocks())
        addStock(stock);
}

void StockLibrary::addStock(const Stock& stock)
{
    m_stocks.append(stock);
    QString haystack = stock.brand + QLatin1Char(' ') + stock.part + QLatin1Char(' ') + stock.description;
    for (const QString& alias : stock.aliases)
        haystack += QLatin1Char(' ') + alias;
    if (!stock.equivalentOf.isEmpty())
        haystack += QLatin1Char(' ') + stock.equivalentOf;
    m_haystacks.append(Fold(haystack));
}

void StockLibrary::loadDatabase(const QString& folder)
{
    const QDir dir(folder);
    // Files beyond this are not template files; reading one whole would only waste memory.
    constexpr qint64 kMaxFileSize = 16 << 20;
    const auto readFile = [&](const QString& name, QByteArray& bytes) {
        QFile file(dir.filePath(name));
        // Only regular files: a pipe would never end its read, a device never stop giving bytes.
        if (!QFileInfo(file).isFile()) {
            m_notes.append(QStringLiteral("%1 left out: not a regular file").arg(name));
            return false;
        }
        if (file.size() > kMaxFileSize) {
            m_notes.append(QStringLiteral("%1 left out: larger than 16 MB").arg(name));
            return false;
        }
        if (!file.open(QIODevice::ReadOnly)) {
            m_notes.append(QStringLiteral("%1 left out: %2").arg(name, file.errorString()));
            return false;
        }
        // The file may have grown since its size was read.
        bytes = file.read(kMaxFileSize + 1);
        if (bytes.size() > kMaxFileSize) {
            m_notes.append(QStringLiteral("%1 left out: larger than 16 MB").arg(name));
            return false;
        }
        return true;
    };

    QByteArray bytes;
    PaperSizes papers;
    QString error;
    if (!dir.exists(QStringLiteral("paper-sizes.xml"))) {
        m_notes.append(QStringLiteral("no label-template database in %1 (install glabels-data)").arg(folder));
        return;
    }
    if (readFile(QStringLiteral("paper-sizes.xml"), bytes) && !ParsePaperSizes(bytes, papers, error))
        m_notes.append(QStringLiteral("paper-sizes.xml: %1").arg(error));

    QList<Stock> stocks, equivalents;
    const QStringList files = dir.entryList({QStringLiteral("*-templates.xml")}, QDir::Files, QDir::Name);
    for (const QString& name : files) {
        if (!readFile(name, bytes))
            continue;
        ParsedTemplates parsed = ParseTemplates(bytes, name, papers);
        m_templatesSeen += parsed.templates;
        m_notes.append(parsed.notes);
        stocks.append(parsed.stocks);
        equivalents.append(parsed.equivalents);
    }

    // Equivalents take their stock's geometry; the parts they name may come in any file, and may be
    // equivalents themselves.
    QHash<QString, qsizetype> byName;
    QHash<QString, QString> named; // an equivalent's key -> the key of the part it names
    const auto key = [](const QString& brand, const QString& part) { return Fold(brand + u'\n' + part); };
    for (qsizetype i = 0; i < stocks.size(); ++i)
        byName.insert(key(stocks[i].brand, stocks[i].part), i);
    for (const Stock& equivalent : equivalents)
        named.insert(key(equivalent.brand, equivalent.part), key(equivalent.brand, equivalent.equivalentOf));
    for (const Stock& equivalent : equivalents) {
        QString target = key(equivalent.brand, equivalent.equivalentOf);
        // A few steps at most; a loop of equivalents names no stock.
        for (int step = 0; step < 8 && !byName.contains(target) && named.contains(target); ++step)
            target = named.value(target);
        const auto it = byName.constFind(target);
        if (it == byName.constEnd()) {
            m_notes.append(QStringLiteral("template %1 left out: its equivalent %2 is not in the database")
                               .arg(equivalent.name(), equivalent.equivalentOf));
            continue;
        }
        stocks[*it].aliases.append(equivalent.part);
    }
    QSet<QString> seen;
    for (const Stock& stock : std::as_const(stocks)) {
        if (!seen.contains(key(stock.brand, stock.part))) {
            seen.insert(key(stock.brand, stock.part));
            addStock(stock);
            ++m_templatesLoaded;
        } else {
            m_notes.append(QStringLiteral("template %1 left out: defined twice").arg(stock.name()));
        }
        // Each equivalent is a stock of its own, found by its own part.
        for (const QString& alias : stock.aliases) {
            Stock copy = stock;
            copy.part = alias;
            copy.equivalentOf = stock.part;
            copy.aliases.clear();
            if (seen.contains(key(copy.brand, copy.part))) {
                m_notes.append(QStringLiteral("template %1 left out: defined twice").arg(copy.name()));
                continue;
            }
            seen.insert(key(copy.brand, copy.part));
            addStock(copy);
            ++m_templatesLoaded;
        }
    }
}

QList<int> StockLibrary::search(const QString& words, const QString& paper) const
{
    const QStringList folded = Fold(words).split(u' ', Qt::SkipEmptyParts);
    const QString paperFolded = Fold(paper);
    QList<int> found;
    for (int i = 0; i < m_stocks.size(); ++i) {
        // The id ("US-Letter") or the name shown beside each stock ("US Letter").
        if (!paper.isEmpty() && Fold(m_stocks[i].paperId) != paperFolded &&
            Fold(m_stocks[i].paperName) != paperFolded)
            continue;
        const QString& haystack = m_haystacks[i];
        if (std::all_of(folded.begin(), folded.end(), [&](const QString& w) { return haystack.contains(w); }))
            found.append(i);
    }
    // The stock whose part or name was typed comes first, before those that merely mention it.
    const QString whole = folded.join(u' ');
    std::stable_partition(found.begin(), found.end(), [&](int i) {
        return Fold(m_stocks[i].part) == whole || Fold(m_stocks[i].name()) == whole;
    });
    return found;
}

int StockLibrary::find(const QString& name, QString& error) const
{
    QString wanted = Fold(name);
    if (wanted.endsWith(QLatin1String(".rtf")))
        wanted.chop(4);
    QList<int> byPart;
    for (int i = 0; i < m_stocks.size(); ++i) {
        const Stock& stock = m_stocks[i];
        if (Fold(stock.name()) == wanted)
            return i;
        if (Fold(stock.part) == wanted)
            byPart.append(i);
    }
    if (byPart.size() == 1)
        return byPart.front();
    if (byPart.isEmpty()) {
        error = QStringLiteral("no label stock \"%1\"").arg(name);
        return -1;
    }
    QStringList names;
    for (int i : std::as_const(byPart))
        names.append(m_stocks[i].name());
    error = QStringLiteral("\"%1\" is ambiguous: %2").arg(name, names.join(QStringLiteral(", ")));
    return -1;
}

} // namespace labels
