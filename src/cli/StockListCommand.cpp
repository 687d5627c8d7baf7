#include "StockListCommand.h"

#include "OffscreenQt.h"
#include "labels/StockLibrary.h"

#include <QTextStream>

namespace cli {

int RunStockList(const CommandLine& commandLine, const Console& console, char* programName)
{
    const auto qt = StartOffscreenQt(programName);
    QStringList words;
    for (const std::string& word : commandLine.data)
        words.append(QString::fromStdString(word));
    labels::StockLibrary library;
    library.loadDatabase();
    const QString paper = QString::fromLocal8Bit(commandLine.paper);
    QList<int> found = library.search(words.join(u' '), paper);
    if (commandLine.rollsOnly)
        found.removeIf([&](int i) { return !labels::IsRoll(library.stocks()[i]); });
    QString text;
    QTextStream out(&text);
    for (int i : found) {
        const labels::Stock& s = library.stocks()[i];
        out << (s.brand.isEmpty() ? QStringLiteral("-") : s.brand) << '\t' << s.part << '\t' << s.paperName << '\t'
            << s.labelCount() << '\t' << labels::LabelSizeText(s) << '\t' << s.description << '\n';
    }
    out.flush();
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), console.out);
    if (found.isEmpty()) {
        // Say which of the two found nothing: the words, or the paper.
        const QString kind =
            commandLine.rollsOnly ? QStringLiteral("roll of labels") : QStringLiteral("label stock");
        QString why = QStringLiteral("no %1 matches \"%2\"").arg(kind, words.join(u' '));
        if (!paper.isEmpty() && library.search(QString(), paper).isEmpty())
            why = QStringLiteral("no label stock is on the paper \"%1\"").arg(paper);
        else if (!paper.isEmpty())
            why += QStringLiteral(" on the paper \"%1\"").arg(paper);
        Complain(console.err, why);
        return 1;
    }
    return std::fflush(console.out) == 0 ? 0 : 1;
}

} // namespace cli
