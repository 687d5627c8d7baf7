#pragma once
// A list of labels read as it comes: bytes from a file or a pipe decoded a block at a time and cut into the
// rows RowsFromBytes gives (RowList.h), holding only the block at hand, however long the list.

#include "RowList.h"

#include <QByteArray>
#include <QString>
#include <QStringDecoder>

#include <functional>

class QFile;
class QIODevice;

namespace labels {

class ListReader {
public:
    // Puts up to most bytes at to: how many, 0 at the end, or -1 with the reason in error.
    using ByteSource = std::function<qint64(char* to, qint64 most, QString& error)>;

    // size: the list's size when known beforehand, so that a list too large is refused before any row.
    ListReader(ByteSource source, const ListOptions& options, qint64 size = -1);

    // The next row; false after the last one, or as soon as the list proves not to be one (error() then says
    // why, once finish() has read the rest).
    bool next(QString& row);

    // Reads what the rows left unread, as RowsFromBytes looks at all of a list: false with error() when the
    // list is too large, binary, or not in its encoding anywhere, rows already given or not.
    bool finish();
    const QString& error() const { return m_error; }

private:
    enum class Encoding { Unknown, Utf8, Utf16LE, Utf16BE };

    QStringConverter::Encoding converter() const;
    bool stopped() const;
    // One read and decode; false when nothing more can come.
    bool step();
    bool readMore();
    void chooseEncoding();
    qsizetype wholeCharacters() const;
    void decode(QByteArrayView bytes, bool last);
    bool decodeMore(qsizetype ahead);
    QString message() const;

    // At least ahead + 1 decoded characters from the current one on; false when the list ends before.
    bool have(qsizetype ahead = 0) { return m_at + ahead < m_text.size() || decodeMore(ahead); }
    QChar peek(qsizetype ahead = 0) const { return m_text[m_at + ahead]; }
    QChar take() { return m_text[m_at++]; }

    void start();
    bool onlyALineBreak();
    QChar separatorOfFirstRecord();
    bool nextLine(QString& line);
    bool nextRecord(int column, QString& field);

    ByteSource m_source;
    const ListOptions m_options;
    Encoding m_encoding = Encoding::Unknown;
    QStringDecoder m_decoder;
    bool m_decodedAny = false;
    bool m_draining = false; // finish(): decoded text is only looked at
    QByteArray m_bytes;      // read, not yet decoded: the start of a character a read cut, or a mark undecided
    QString m_text;          // decoded, from m_at on not yet cut into rows
    qsizetype m_at = 0;
    qint64 m_bytesRead = 0;
    bool m_sourceEnded = false;
    bool m_readFailed = false;
    bool m_tooLarge = false;
    QString m_readError;

    // What the bytes and the decoded text have shown so far.
    bool m_badCharacter = false;    // a replacement character: one the decoder could not read, or one given
    qsizetype m_linesBeforeBad = 0; // line breaks before it, or in all the text while there is none
    bool m_decodeFailed = false;
    bool m_nulByte = false;
    bool m_nulCharacter = false;
    QString m_error;

    bool m_started = false;
    bool m_empty = false; // the text is nothing but one line break
    QChar m_separator;
    qsizetype m_rowsGiven = 0;
};

// A byte source reading device (open for reading), its failure "Cannot read NAME: reason".
ListReader::ByteSource DeviceSource(QIODevice& device, const QString& name);

// Opens file (its name set) for reading: false with "Cannot read NAME: reason".
bool OpenListFile(QFile& file, QString& error);
// The rows of file, opened by OpenListFile: a file larger than kMaxListBytes is refused before any row.
ListReader ListFileReader(QFile& file, const ListOptions& options);

} // namespace labels
