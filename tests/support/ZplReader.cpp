#include "ZplReader.h"

#include <QPainter>

#include <cctype>
#include <optional>

namespace support {

namespace {

// The Code 39 characters as a printer knows them: nine elements from the first bar, bar and space in
// turn, '1' for a wide one. Written here from the symbology's table, apart from the program's own.
struct Symbol {
    char character;
    const char* elements;
};
constexpr Symbol kSymbols[] = {
    {'0', "000110100"}, {'1', "100100001"}, {'2', "001100001"}, {'3', "101100000"}, {'4', "000110001"},
    {'5', "100110000"}, {'6', "001110000"}, {'7', "000100101"}, {'8', "100100100"}, {'9', "001100100"},
    {'A', "100001001"}, {'B', "001001001"}, {'C', "101001000"}, {'D', "000011001"}, {'E', "100011000"},
    {'F', "001011000"}, {'G', "000001101"}, {'H', "100001100"}, {'I', "001001100"}, {'J', "000011100"},
    {'K', "100000011"}, {'L', "001000011"}, {'M', "101000010"}, {'N', "000010011"}, {'O', "100010010"},
    {'P', "001010010"}, {'Q', "000000111"}, {'R', "100000110"}, {'S', "001000110"}, {'T', "000010110"},
    {'U', "110000001"}, {'V', "011000001"}, {'W', "111000000"}, {'X', "010010001"}, {'Y', "110010000"},
    {'Z', "011010000"}, {'-', "010000101"}, {'.', "110000100"}, {' ', "011000100"}, {'$', "010101000"},
    {'/', "010100010"}, {'+', "010001010"}, {'%', "000101010"}, {'*', "010010100"},
};

const char* ElementsOf(char c)
{
    for (const Symbol& symbol : kSymbols) {
        if (symbol.character == c)
            return symbol.elements;
    }
    return nullptr;
}

bool ReadInt(const QByteArray& text, int low, int high, int& value)
{
    if (text.isEmpty() || text.size() > 9)
        return false;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    value = text.toInt();
    return value >= low && value <= high;
}

bool ReadFlag(const QByteArray& text, bool& value)
{
    if (text != "Y" && text != "N")
        return false;
    value = text == "Y";
    return true;
}

// Undoes the _XX escapes of a ^FH field; false for an escape that is not two hex digits.
bool Unescape(const QByteArray& data, QByteArray& out)
{
    out.clear();
    for (qsizetype i = 0; i < data.size(); ++i) {
        if (data[i] != '_') {
            out += data[i];
            continue;
        }
        const QByteArray hex = data.mid(i + 1, 2);
        bool ok = hex.size() == 2 && std::isxdigit(uchar(hex[0])) && std::isxdigit(uchar(hex[1]));
        if (!ok)
            return false;
        out += char(hex.toInt(&ok, 16));
        i += 2;
    }
    return true;
}

class Reader {
public:
    explicit Reader(const QByteArray& zpl) : m_zpl(zpl) {}

    ZplReading read()
    {
        ZplReading reading;
        while (m_at < m_zpl.size() && m_error.isEmpty())
            step();
        if (m_error.isEmpty() && m_label)
            refuse("the last format has no ^XZ");
        if (!m_error.isEmpty()) {
            reading.error = QStringLiteral("byte %1: %2").arg(m_commandAt).arg(m_error);
            return reading;
        }
        reading.labels = m_labels;
        return reading;
    }

private:
    void refuse(const QString& why)
    {
        if (m_error.isEmpty())
            m_error = why;
    }

    void step()
    {
        m_commandAt = m_at;
        const char c = m_zpl[m_at];
        if (c == '\r' || c == '\n') { // line breaks between commands mean nothing
            ++m_at;
            return;
        }
        if (c == '~')
            return refuse(QStringLiteral("a ~ command"));
        if (c != '^')
            return refuse(
                QStringLiteral("a byte 0x%1 outside any command").arg(uchar(c), 2, 16, QLatin1Char('0')));
        const QByteArray name = m_zpl.mid(m_at + 1, 2);
        m_at += 1 + name.size();
        qsizetype end = m_at;
        while (end < m_zpl.size() && m_zpl[end] != '^' && m_zpl[end] != '~')
            ++end;
        QByteArray value = m_zpl.mid(m_at, end - m_at);
        m_at = end;
        if (name == "FD") {
            if (end < m_zpl.size() && m_zpl[end] == '~')
                return refuse(QStringLiteral("a raw ~ in field data"));
            return fieldData(value);
        }
        value.replace("\r", "").replace("\n", "");
        command(name, value, value.split(','));
    }

    void command(const QByteArray& name, const QByteArray& value, const QList<QByteArray>& values)
    {
        const QString shown = QStringLiteral("^") + QString::fromLatin1(name);
        if (name == "XA") {
            if (m_label)
                return refuse(QStringLiteral("^XA inside a format"));
            if (!value.isEmpty())
                return refuse(shown + QStringLiteral(" takes no value"));
            m_label = ZplLabel();
            m_home = QPoint();
            m_module = 2, m_ratio = 3.0, m_height = 10;
            return;
        }
        if (!m_label)
            return refuse(shown + QStringLiteral(" outside a format"));
        const auto bad = [&] {
            refuse(shown + QStringLiteral(" with the value \"%1\"").arg(QString::fromLatin1(value)));
        };
        int a = 0, b = 0;
        if (name == "XZ") {
            if (!value.isEmpty())
                return bad();
            if (m_field)
                return refuse(QStringLiteral("a field without ^FS"));
            if (m_label->size.isEmpty())
                return refuse(QStringLiteral("a format without ^PW and ^LL"));
            m_labels.append(*m_label);
            m_label.reset();
        } else if (name == "CI") {
            if (value != "0")
                return bad();
        } else if (name == "PW" || name == "LL") {
            if (values.size() != 1 || !ReadInt(value, 1, 32000, a))
                return bad();
            (name == "PW" ? m_label->size.rwidth() : m_label->size.rheight()) = a;
        } else if (name == "LH" || name == "FO") {
            if (values.size() != 2 || !ReadInt(values[0], 0, 32000, a) || !ReadInt(values[1], 0, 32000, b))
                return bad();
            if (name == "LH") {
                m_home = QPoint(a, b);
            } else {
                if (m_field)
                    return refuse(QStringLiteral("a field without ^FS"));
                m_field = ZplBarCode();
                m_field->origin = m_home + QPoint(a, b);
            }
        } else if (name == "BY") {
            bool ok = false;
            if (values.size() != 3 || !ReadInt(values[0], 1, 10, m_module) ||
                !ReadInt(values[2], 1, 32000, m_height))
                return bad();
            m_ratio = values[1].toDouble(&ok);
            if (!ok || m_ratio < 2.0 || m_ratio > 3.0)
                return bad();
        } else if (name == "B3") {
            if (!m_field || m_field->module != 0)
                return refuse(QStringLiteral("^B3 outside a field, or twice in one"));
            ZplBarCode& field = *m_field;
            if (values.size() != 5 || values[0].size() != 1 || !QByteArray("NRIB").contains(values[0][0]) ||
                !ReadFlag(values[1], field.printerCheck) || !ReadInt(values[2], 1, 32000, field.height) ||
                !ReadFlag(values[3], field.line) || !ReadFlag(values[4], field.lineAbove))
                return bad();
            field.orientation = values[0][0];
            field.module = m_module;
            field.ratio = m_ratio;
        } else if (name == "FH") {
            if (!value.isEmpty() || !m_field)
                return bad();
            m_hex = true;
        } else if (name == "FS") {
            if (!value.isEmpty() || !m_field || !m_hasData)
                return refuse(QStringLiteral("^FS without a bar code and its data"));
            m_label->barCodes.append(*m_field);
            m_field.reset();
            m_hex = m_hasData = false;
        } else if (name == "PQ") {
            if (values.size() != 1 || !ReadInt(value, 1, 99999999, m_label->quantity))
                return bad();
        } else {
            refuse(QStringLiteral("the unknown command ") + shown);
        }
    }

    void fieldData(const QByteArray& raw)
    {
        if (!m_label || !m_field || m_field->module == 0 || m_hasData)
            return refuse(QStringLiteral("^FD outside a bar-code field"));
        for (const char c : raw) {
            if (uchar(c) < 32 || uchar(c) >= 127)
                return refuse(
                    QStringLiteral("a raw byte 0x%1 in field data").arg(uchar(c), 2, 16, QLatin1Char('0')));
        }
        QByteArray data = raw;
        if (m_hex && !Unescape(raw, data))
            return refuse(QStringLiteral("a hex escape that is not two hex digits"));
        for (const char c : data) {
            if (c == '*' || !ElementsOf(c))
                return refuse(QStringLiteral("a character Code 39 has no bars for in field data"));
        }
        m_field->data = data;
        m_hasData = true;
    }

    const QByteArray& m_zpl;
    qsizetype m_at = 0;
    qsizetype m_commandAt = 0;
    QString m_error;
    QList<ZplLabel> m_labels;
    std::optional<ZplLabel> m_label;
    QPoint m_home;
    int m_module = 2;
    double m_ratio = 3.0;
    int m_height = 10;
    std::optional<ZplBarCode> m_field;
    bool m_hex = false;
    bool m_hasData = false;
};

} // namespace

ZplReading ReadZpl(const QByteArray& zpl)
{
    return Reader(zpl).read();
}

QImage DrawZplLabel(const ZplLabel& label, int lineDots)
{
    QImage image(label.size, QImage::Format_Grayscale8);
    image.fill(Qt::white);
    QPainter painter(&image);
    for (const ZplBarCode& code : label.barCodes) {
        const int narrow = code.module;
        const int wide = qRound(code.ratio * narrow);
        // The bars upright: along u from the field's start, across v from its top.
        QList<QRect> bars;
        int u = 0;
        const QByteArray symbols = '*' + code.data + '*';
        for (qsizetype i = 0; i < symbols.size(); ++i) {
            const char* elements = ElementsOf(symbols[i]);
            for (int e = 0; e < 9; ++e) {
                const int width = elements[e] == '1' ? wide : narrow;
                if (e % 2 == 0)
                    bars.append(QRect(u, 0, width, code.height));
                u += width;
            }
            u += i + 1 < symbols.size() ? narrow : 0; // the gap between characters
        }
        const int length = u;
        const int line = code.line ? lineDots : 0;
        const int across = code.height + line;
        const int top = code.lineAbove ? line : 0; // where the bars start across the field
        for (const QRect& bar : bars) {
            const int u0 = bar.left(), u1 = bar.right() + 1, v0 = top, v1 = top + code.height;
            QRect dots;
            switch (code.orientation) {
            case 'N':
                dots = QRect(QPoint(u0, v0), QPoint(u1 - 1, v1 - 1));
                break;
            case 'R': // the field's top to the right, read downwards
                dots = QRect(QPoint(across - v1, u0), QPoint(across - v0 - 1, u1 - 1));
                break;
            case 'I':
                dots = QRect(QPoint(length - u1, across - v1), QPoint(length - u0 - 1, across - v0 - 1));
                break;
            default: // 'B': the field's top to the left, read upwards
                dots = QRect(QPoint(v0, length - u1), QPoint(v1 - 1, length - u0 - 1));
                break;
            }
            painter.fillRect(dots.translated(code.origin), Qt::black);
        }
    }
    return image;
}

} // namespace support
