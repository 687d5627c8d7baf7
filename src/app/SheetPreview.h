#pragma once
// A page of a label sheet drawn small: the page, the labels' outlines and the bar codes in place, by
// the same drawing code that prints them.

#include "labels/Sheet.h"

#include <QWidget>

class SheetPreview : public QWidget {
    Q_OBJECT
public:
    explicit SheetPreview(QWidget* parent = nullptr);

    // Shows page (from 0) of sheet; the sheet must outlive the preview or the next call.
    void showPage(const labels::Sheet* sheet, int page);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const labels::Sheet* m_sheet = nullptr;
    int m_page = 0;
};
