#include "PreviewEdit.h"

#include <QContextMenuEvent>
#include <QEvent>
#include <QMenu>
#include <QMimeData>
#include <QPalette>
#include <QScrollBar>
#include <QStringList>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <cmath>
#include <memory>

namespace {

// RTF is 7-bit: the three special characters are escaped, everything beyond ASCII goes as \uN with a
// '?' for readers that do not know \u (N is the UTF-16 unit as a signed 16-bit number).
void AppendEscaped(QByteArray& out, QStringView text, bool inFontTable)
{
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'\\' || u == u'{' || u == u'}') {
            out += '\\';
            out += char(u);
        } else if (inFontTable && u == u';') {
            out += "\\'3b"; // a bare ';' would end the font name
        } else if (u == u'\t') {
            out += "\\tab ";
        } else if (u == QChar::LineSeparator) {
            out += "\\line ";
        } else if (u == QChar::ParagraphSeparator || u == u'\n') {
            out += "\\par ";
        } else if (u < 0x20 || u == 0x7f) {
            // control characters have no place in RTF text
        } else if (u < 0x80) {
            out += char(u);
        } else {
            out += "\\u" + QByteArray::number(int(int16_t(u))) + '?';
        }
    }
}

QString FamilyOf(const QTextCharFormat& format, const QFont& fallback)
{
    const QStringList families = format.fontFamilies().toStringList();
    if (!families.isEmpty() && !families.front().isEmpty())
        return families.front();
    return fallback.family();
}

// Half points for \fs; a size given only in pixels counts at 96 dots per inch.
int HalfPointsOf(const QTextCharFormat& format, const QFont& fallback)
{
    double points = format.fontPointSize();
    if (points <= 0)
        points = fallback.pointSizeF();
    if (points <= 0 && fallback.pixelSize() > 0)
        points = fallback.pixelSize() * 72.0 / 96.0;
    if (points <= 0)
        points = 12;
    return int(std::lround(points * 2));
}

} // namespace

QByteArray RichTextFormat(const QTextCursor& selection)
{
    const QTextDocument* doc = selection.document();
    const QFont fallback = doc ? doc->defaultFont() : QFont();
    const int start = selection.selectionStart();
    const int end = selection.selectionEnd();

    QStringList fonts;
    QByteArray body;
    bool firstBlock = true;
    for (QTextBlock block = doc ? doc->findBlock(start) : QTextBlock(); block.isValid() && block.position() <= end;
         block = block.next()) {
        if (!firstBlock)
            body += "\\par\n";
        firstBlock = false;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int from = std::max(start, fragment.position());
            const int to = std::min(end, fragment.position() + fragment.length());
            if (from >= to)
                continue;
            const QTextCharFormat format = fragment.charFormat();
            const QString family = FamilyOf(format, fallback);
            qsizetype index = fonts.indexOf(family);
            if (index < 0) {
                index = fonts.size();
                fonts.append(family);
            }
            body += "{\\f" + QByteArray::number(index) + "\\fs" +
                    QByteArray::number(HalfPointsOf(format, fallback)) + ' ';
            AppendEscaped(body, fragment.text().mid(from - fragment.position(), to - from), false);
            body += '}';
        }
    }

    QByteArray rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl";
    for (qsizetype i = 0; i < fonts.size(); ++i) {
        rtf += "{\\f" + QByteArray::number(i) + ' ';
        AppendEscaped(rtf, fonts[i], true);
        rtf += ";}";
    }
    rtf += "}\n" + body + "}\n";
    return rtf;
}

PreviewEdit::PreviewEdit(QWidget* parent) : QTextEdit(parent)
{
    hideUnfocusedSelection();
}

void PreviewEdit::changeEvent(QEvent* event)
{
    QTextEdit::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        hideUnfocusedSelection();
}

void PreviewEdit::hideUnfocusedSelection()
{
    // Copy and restyle leave the bar code selected. Painted in selection colours while another control
    // has the focus, the bars would show inverted and not scan off the screen: the edit paints an
    // unfocused selection in the inactive colours, so those draw it as plain text.
    QPalette colours = palette();
    const QBrush plainText = colours.brush(QPalette::Inactive, QPalette::Text);
    if (colours.brush(QPalette::Inactive, QPalette::Highlight) == QBrush(Qt::transparent) &&
        colours.brush(QPalette::Inactive, QPalette::HighlightedText) == plainText)
        return;
    colours.setBrush(QPalette::Inactive, QPalette::Highlight, QBrush(Qt::transparent));
    colours.setBrush(QPalette::Inactive, QPalette::HighlightedText, plainText);
    setPalette(colours);
}

QMimeData* PreviewEdit::createMimeDataFromSelection() const
{
    // A fresh object with the base formats copied over: formats added to the base object afterwards are
    // not reliably offered to other programs.
    const std::unique_ptr<QMimeData> base(QTextEdit::createMimeDataFromSelection());
    auto* copy = new QMimeData;
    if (base) {
        for (const QString& format : base->formats())
            copy->setData(format, base->data(format));
    }
    const QByteArray rtf = RichTextFormat(textCursor());
    copy->setData(QStringLiteral("text/rtf"), rtf);
    copy->setData(QStringLiteral("application/rtf"), rtf);
#ifdef Q_OS_WIN
    copy->setData(QStringLiteral("application/x-qt-windows-mime;value=\"Rich Text Format\""), rtf);
#endif
    return copy;
}

void PreviewEdit::showFormatted(const QString& text, const QTextCharFormat& format)
{
    setPlainText(text);
    QTextCursor whole(document());
    whole.select(QTextCursor::Document);
    whole.setCharFormat(format);
    setCurrentCharFormat(format);
}

bool PreviewEdit::restyle(const QString& text, const QTextCharFormat& style)
{
    const QTextCursor found = document()->find(text, 0, QTextDocument::FindCaseSensitively);
    if (found.isNull())
        return false;
    QTextCursor selection(document());
    selection.setPosition(found.selectionStart());
    selection.setPosition(found.selectionStart() + int(text.size()), QTextCursor::KeepAnchor);
    selection.mergeCharFormat(style);
    setTextCursor(selection);
    return true;
}

QMenu* PreviewEdit::createContextMenu(const QPoint& pos)
{
    // The edit's own menu takes document coordinates (it looks for a link there).
    QMenu* menu =
        createStandardContextMenu(pos + QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value()));
    if (!m_contextActions.isEmpty()) {
        menu->addSeparator();
        menu->addActions(m_contextActions);
    }
    return menu;
}

void PreviewEdit::contextMenuEvent(QContextMenuEvent* event)
{
    const std::unique_ptr<QMenu> menu(createContextMenu(event->pos()));
    menu->exec(event->globalPos());
}
