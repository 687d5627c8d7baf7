#include "CaptionFitting.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QRect>
#include <QRegularExpression>
#include <QVariant>
#include <QWidget>
#include <algorithm>

namespace kelm {

namespace {

// A shortened caption keeps its whole text and tooltip here, so that fitting again starts from them.
constexpr char kDesignedText[] = "kelmDesignedText";
constexpr char kDesignedTip[] = "kelmDesignedTip";
constexpr char kShortenedText[] = "kelmShortenedText";

QString Caption(const QWidget* w)
{
    // Push buttons and tool buttons centre their captions beside a picture; only the texts that run
    // from their left edge are fitted.
    if (const auto* button = qobject_cast<const QAbstractButton*>(w);
        button && (qobject_cast<const QCheckBox*>(w) || qobject_cast<const QRadioButton*>(w)))
        return button->text();
    if (const auto* label = qobject_cast<const QLabel*>(w); label && label->pixmap().isNull())
        return label->text();
    return QString();
}

void SetCaption(QWidget* w, const QString& text)
{
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        button->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(w))
        label->setText(text);
}

// The right edge a control's caption may grow to: its parent's inner area, the first control beside it
// on its right, and the inner area of a group frame it stands on.
int RightLimit(const QWidget* w)
{
    const QWidget* parent = w->parentWidget();
    const QRect g = w->geometry();
    int limit = parent->contentsRect().right() + 1;
    for (const QWidget* other : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const QRect o = other->geometry();
        if (other == w)
            continue;
        if (const auto* box = qobject_cast<const QGroupBox*>(other); box && o.contains(g.center()))
            limit = std::min(limit, box->contentsRect().translated(box->pos()).right() + 1);
        else if (o.left() >= g.right() && o.top() <= g.bottom() && o.bottom() >= g.top())
            limit = std::min(limit, o.left());
    }
    return limit;
}

void FitCaption(QWidget* w)
{
    // A caption shortened here before goes back to its whole text first; one changed since is new.
    const QString shortenedBefore = w->property(kShortenedText).toString();
    if (!shortenedBefore.isEmpty() && Caption(w) == shortenedBefore) {
        SetCaption(w, w->property(kDesignedText).toString());
        w->setToolTip(w->property(kDesignedTip).toString());
    }
    w->setProperty(kShortenedText, QVariant());
    const QString text = Caption(w);
    const QString tip = w->toolTip();
    const QSize wanted = w->sizeHint();
    QRect g = w->geometry();
    if (wanted.height() > g.height()) {
        g.adjust(0, -(wanted.height() - g.height()) / 2, 0, 0);
        g.setHeight(wanted.height());
    }
    if (wanted.width() > g.width()) {
        const int room = RightLimit(w) - g.left();
        g.setWidth(std::max(g.width(), std::min(wanted.width(), room)));
    }
    w->setGeometry(g);
    if (wanted.width() <= g.width())
        return;
    // Still too narrow: the caption gives up its end, by as much as the caption's own room falls short.
    const int textRoom = QFontMetrics(w->font()).horizontalAdvance(text, -1) - (wanted.width() - g.width());
    const QString shortened =
        QFontMetrics(w->font()).elidedText(text, Qt::ElideRight, std::max(textRoom, 0), Qt::TextShowMnemonic);
    SetCaption(w, shortened);
    w->setProperty(kDesignedText, text);
    w->setProperty(kDesignedTip, tip);
    w->setProperty(kShortenedText, shortened);
    QString plain = text;
    plain.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    w->setToolTip(tip.isEmpty() ? plain : plain + QLatin1Char('\n') + tip);
}

// Moves a control that stands on the frame's edge down into the frame, and grows the frame when the
// control would then reach out of its bottom. inner: the frame's inner area in the control's parent.
void KeepInside(QGroupBox* box, QWidget* w, QRect inner)
{
    QRect g = w->geometry();
    if (g.top() < inner.top())
        g.moveTop(inner.top());
    w->setGeometry(g);
    if (g.bottom() > inner.bottom()) {
        const int parentRoom = box->parentWidget() ? box->parentWidget()->height() - box->y() : box->height();
        box->resize(box->width(), std::min(box->height() + g.bottom() - inner.bottom(), parentRoom));
    }
}

} // namespace

void FitToStyle(QWidget* root)
{
    for (QWidget* w : root->findChildren<QWidget*>()) {
        if (!Caption(w).isEmpty() && w->parentWidget())
            FitCaption(w);
    }
    for (QGroupBox* box : root->findChildren<QGroupBox*>()) {
        for (QWidget* w : box->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            KeepInside(box, w, box->contentsRect());
        // A control of the box's parent that stands over the frame belongs to it as well.
        if (QWidget* parent = box->parentWidget()) {
            for (QWidget* w : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                if (w != box && !qobject_cast<QGroupBox*>(w) && box->geometry().contains(w->geometry().center()))
                    KeepInside(box, w, box->contentsRect().translated(box->pos()));
            }
        }
    }
}

void FitText(QWidget* text)
{
    text->resize(std::max(text->width(), text->sizeHint().width()), text->height());
}

} // namespace kelm
