#pragma once
// What keeps the bar codes of a run from scanning, said so that the user can act on it: a row too long for
// its label, and the lengths of bar code that fall short of the rules (SymbolFit.h), each naming its rows.

#include "Sheet.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace labels {

// Why a bar text of characters leaves its label blank, and how long one may be.
QString TooLongToFit(const Sheet& sheet, int characters);

// SheetWarnings gathered sheet after sheet, as the pages of a run come: each length's rows kept as the few
// ranges the warning shows and a count of the rest, so that a run of any length takes the same memory.
class ScanWarnings {
public:
    // The bar codes of sheet, whose rows come after those of the sheets added before.
    void add(const Sheet& sheet);

    // One line per length of bar code that falls short, in the order the lengths first came; sheet is any
    // sheet added (its stock, rules and fits, which cover the lengths of the sheets before it).
    QStringList warnings(const Sheet& sheet) const;

private:
    struct Rows {
        QList<std::pair<int, int>> shown; // the first ranges, first and last row
        qsizetype count = 0;              // every row, each once
        int last = 0;
    };
    static QString rowsText(const Rows& rows);

    QList<int> m_lengths;
    QHash<int, Rows> m_rows; // by the bar text's length
};

} // namespace labels
