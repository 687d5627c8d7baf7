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
    const QList<int> found = library.search(words.join(u' '), QString::fromLocal8Bit(commandLine.paper));
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
        Complain(console.err, QStringLiteral("no label stock matches \"%1\"").arg(words.join(u' ')));
        return 1;
    }
    return std::fflush(console.out) == 0 ? 0 : 1;
}

} // namespace cli
