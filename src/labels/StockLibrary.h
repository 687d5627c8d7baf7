#pragma once
// The label stocks the program knows: our eight, and every template of the label-template database
// that Debian's glabels-data package installs, read at run time. Search and lookup by name.

#include "Stock.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace labels {

// Where glabels-data puts its templates.
inline constexpr char kDatabaseFolder[] = "/usr/share/libglabels-3.0/templates";

// Our own stocks, in the order of the label dialog's list: US Letter sheets with an RTF template each.
QList<Stock> OwnStocks();

// A length as the database writes it: a number with an optional unit pt, in, mm, cm or pc (points when
// there is none). False for anything else, and for a value that is not finite.
bool ParseLength(QStringView text, double& points);

struct PaperSize {
    QString name;
    QSizeF size;
};
using PaperSizes = QHash<QString, PaperSize>;

// The paper sizes of a paper-sizes.xml file by id; false with a reason in error when it is malformed.
bool ParsePaperSizes(const QByteArray& xml, PaperSizes& sizes, QString& error);

// What one templates file holds. A template that declares itself equivalent to another part is kept
// apart until every file is read, since the part it names may be in another file.
struct ParsedTemplates {
    QList<Stock> stocks;
    QList<Stock> equivalents; // brand, part, description and equivalentOf only
    QStringList notes;        // one line per template left out, and why
    int templates = 0;        // <Template> elements seen
};

// Reads one templates file. A file that is not well-formed XML gives no stocks at all, with a note: a
// truncated file would otherwise give half a vendor's stocks without anyone noticing.
ParsedTemplates ParseTemplates(const QByteArray& xml, const QString& fileName, const PaperSizes& papers);

class StockLibrary {
public:
    // Our own stocks only.
    StockLibrary();

    // Adds the database in folder (paper-sizes.xml and every *-templates.xml). A missing folder adds
    // nothing, with a note; a broken file or template is left out with a note.
    void loadDatabase(const QString& folder = QString::fromLatin1(kDatabaseFolder));

    const QList<Stock>& stocks() const { return m_stocks; }
    const QStringList& notes() const { return m_notes; }
    int templatesSeen() const { return m_templatesSeen; }
    int templatesLoaded() const { return m_templatesLoaded; }

    // Indexes of the stocks that match every word of words (in maker, part, description or the
    // equivalent parts, ignoring case), on paper (its id "US-Letter" or its name "US Letter", ignoring case;
    // any paper when empty), in library order but for the stocks whose part or name is words itself, which
    // come first.
    QList<int> search(const QString& words, const QString& paper = {}) const;

    // The stock a user means by name: "maker part", a part number that only one maker uses, or the name
    // of one of our own stocks (with or without ".rtf"), ignoring case. -1 with a reason in error when
    // it is unknown or ambiguous.
    int find(const QString& name, QString& error) const;

    // Adds a stock (one of the user's own) at the end, where search and find see it.
    void addStock(const Stock& stock);

private:
    QList<Stock> m_stocks;
    QStringList m_haystacks; // per stock, folded text searched by search()
    QStringList m_notes;
    int m_templatesSeen = 0;
    int m_templatesLoaded = 0;
};

} // namespace labels
