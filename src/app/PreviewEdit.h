#pragma once
// The preview box: a rich-text edit whose copies also carry RTF, which word processors paste with the
// font family and size (Qt's own copy offers HTML and plain text only).

#include <QByteArray>
#include <QTextEdit>

class QTextCursor;

class PreviewEdit : public QTextEdit {
    Q_OBJECT
public:
    explicit PreviewEdit(QWidget* parent = nullptr);

protected:
    QMimeData* createMimeDataFromSelection() const override;
    void changeEvent(QEvent* event) override;

private:
    void hideUnfocusedSelection();
};

// A minimal RTF document of the cursor's selection: a font table of the families used and one group per
// run of characters with its family and size (\fs counts half points).
QByteArray RichTextFormat(const QTextCursor& selection);
