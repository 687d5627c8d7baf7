#pragma once
// A small ZPL interpreter for the tests: it reads only the commands our writer emits (^XA ^XZ ^CI ^PW ^LL
// ^LH ^FO ^BY ^B3 ^FH ^FD ^FS ^PQ) and refuses anything else, so a writer that starts emitting more is
// noticed; and it draws each label on its dots with Code 39 bars from its own element table, as a printer
// would, for a decoder to read back.

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QSize>
#include <QString>

namespace support {

struct ZplBarCode {
    QPoint origin; // ^FO plus the label home, in dots
    int module = 0;
    double ratio = 0;
    int height = 0;
    char orientation = 'N';    // N, R (a quarter clockwise), I (upside down) or B (a quarter anticlockwise)
    bool printerCheck = false; // the printer adds a check character of its own
    bool line = false;         // the readable line
    bool lineAbove = false;
    QByteArray data; // the field data with its hex escapes undone
};

struct ZplLabel {
    QSize size; // ^PW by ^LL
    int quantity = 1;
    QList<ZplBarCode> barCodes;
};

struct ZplReading {
    QList<ZplLabel> labels;
    QString error; // why the ZPL was refused, with the byte it happened at; empty when read
};

// The label formats of zpl, in order. Anything but the commands listed above, a command outside a
// format, a malformed or missing value, a raw ^, ~ or control byte in field data, or an escape that is not
// two hex digits is refused with a reason.
ZplReading ReadZpl(const QByteArray& zpl);

// The label drawn as a printer draws it, one pixel a dot: white, bars black, wide bars ratio times the
// narrow one, a narrow gap between characters, the printer's start and stop added. The readable line is
// left as lineDots of blank room where the printer puts its text, which is in its own font.
QImage DrawZplLabel(const ZplLabel& label, int lineDots);

} // namespace support
