#pragma once
// The preview box: a rich-text edit whose copies also carry RTF, which word processors paste with the
// font family and size (Qt's own copy offers HTML and plain text only).

#include <QByteArray>
#include <QList>
#include <QTextEdit>

class QAction;
class QMenu;
class QTextCharFormat;
class QTextCursor;

class PreviewEdit : public QTextEdit {
    Q_OBJECT
public:
    explicit PreviewEdit(QWidget* parent = nullptr);

    // What a copy of the selection offers (the caller owns it), for callers that add to it.
    QMimeData* selectionMimeData() const { return createMimeDataFromSelection(); }
    // Entries added below the edit's own in its context menu.
    void addContextActions(const QList<QAction*>& actions) { m_contextActions += actions; }
    // The context menu for a click at pos (viewport coordinates): the edit's own entries, then ours.
    QMenu* createContextMenu(const QPoint& pos);

    // Shows text in the one format, which what is typed next takes too.
    void showFormatted(const QString& text, const QTextCharFormat& format);
    // Merges style into the first occurrence of text, case and all, and selects it; false, changing
    // nothing, when the text is not there.
    bool restyle(const QString& text, const QTextCharFormat& style);

protected:
    QMimeData* createMimeDataFromSelection() const override;
    void changeEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void hideUnfocusedSelection();

    QList<QAction*> m_contextActions;
};

// A minimal RTF document of the cursor's selection: a font table of the families used and one group per
// run of characters with its family and size (\fs counts half points).
QByteArray RichTextFormat(const QTextCursor& selection);
