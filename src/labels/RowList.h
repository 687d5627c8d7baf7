#pragma once
// The rows of a list to put on labels: typed lines, or a text or CSV file with a chosen column.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace labels {

// A list larger than this is not a list of labels; it is refused rather than read. Read as it comes, a list
// takes no memory for its length, but the window holds a whole one, and the command refuses what the window
// refuses: a file at once, from its size; standard input when it passes the limit, before anything is written.
inline constexpr qint64 kMaxListBytes = 16 << 20;

// The highest CSV column a list may name.
inline constexpr int kMaxListColumn = 1000;

struct ListOptions {
    int column = 0;      // 0: each whole line is a row; 1 and up: that field of each CSV line
    bool header = false; // the first line names the columns and is no row
};

// The lines of typed or pasted text (CRLF, LF or CR); a last line break adds no empty row.
QStringList RowsFromText(const QString& text);

// The rows of a list file's bytes: UTF-8 (with or without a byte-order mark) or UTF-16 with one. The
// separator of a CSV record is the first of comma, semicolon or tab found in the first record outside
// quotes; a field may be quoted, with "" for a quote, and then hold separators and line breaks (RFC 4180),
// so that a record is not split where a quoted field breaks its line. A record without the column gives an
// empty row, which the builder then reports. False with a message for binary data, another encoding, or a
// size beyond kMaxListBytes.
bool RowsFromBytes(const QByteArray& bytes, const ListOptions& options, QStringList& rows, QString& error);

// The same for a file.
bool ReadListFile(const QString& path, const ListOptions& options, QStringList& rows, QString& error);

} // namespace labels
