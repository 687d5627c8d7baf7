#include "RowList.h"

#include "ListReader.h"

#include <QFile>

#include <algorithm>

namespace labels {

namespace {

// Every row of reader, or none with the reason the list is none.
bool ReadAll(ListReader& reader, QStringList& rows, QString& error)
{
    QString row;
    while (reader.next(row))
        rows.append(row);
    if (!reader.finish()) {
        rows.clear();
        error = reader.error();
        return false;
    }
    return true;
}

} // namespace

QStringList RowsFromText(const QString& text)
{
    if (text == u"\n" || text == u"\r" || text == u"\r\n")
        return {};
    QStringList lines;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        while (end < text.size() && text[end] != u'\n' && text[end] != u'\r')
            ++end;
        lines.append(text.sliced(start, end - start));
        if (end + 1 < text.size() && text[end] == u'\r' && text[end + 1] == u'\n')
            ++end;
        start = end + 1;
    }
    return lines;
}

bool RowsFromBytes(const QByteArray& bytes, const ListOptions& options, QStringList& rows, QString& error)
{
    rows.clear();
    qsizetype at = 0;
    ListReader reader(
        [&](char* to, qint64 most, QString&) {
            const qsizetype got = qMin(qsizetype(most), bytes.size() - at);
            std::copy_n(bytes.constData() + at, got, to);
            at += got;
            return qint64(got);
        },
        options, bytes.size());
    return ReadAll(reader, rows, error);
}

bool ReadListFile(const QString& path, const ListOptions& options, QStringList& rows, QString& error)
{
    rows.clear();
    QFile file(path);
    if (!OpenListFile(file, error))
        return false;
    ListReader reader = ListFileReader(file, options);
    return ReadAll(reader, rows, error);
}

} // namespace labels
