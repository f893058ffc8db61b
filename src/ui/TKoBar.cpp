#include "ui/TKoBar.h"

#include <QChildEvent>
#include <QCoreApplication>

#include <algorithm>
#include <limits>

namespace {

// Far beyond any screen, and far from overflowing the sums of the layout.
constexpr qint64 kFar = std::numeric_limits<int>::max() / 4;

int Bounded(qint64 aValue)
{
    return int(std::clamp(aValue, -kFar, kFar));
}

} // namespace

TKoBar::TKoBar(QWidget* aParent)
    : QFrame(aParent)
{
    setFrameShape(QFrame::NoFrame);
}

void TKoBar::SetButtonHeight(int aHeight)
{
    m_buttonHeight = std::clamp(aHeight, 0, QWIDGETSIZE_MAX);
    ArrangeButtons();
}

void TKoBar::SetButtonWidth(int aWidth)
{
    m_buttonWidth = aWidth;
    ArrangeButtons();
}

void TKoBar::SetButtonMargin(int aMargin)
{
    m_buttonMargin = Bounded(aMargin);
    ArrangeButtons();
}

void TKoBar::SetButtonTop(int aTop)
{
    m_buttonTop = Bounded(aTop);
    ArrangeButtons();
}

void TKoBar::SetButtonSpacing(int aSpacing)
{
    m_buttonSpacing = Bounded(aSpacing);
    ArrangeButtons();
}

void TKoBar::SetButtonMinWidth(int aWidth)
{
    m_buttonMinWidth = std::clamp(aWidth, 0, QWIDGETSIZE_MAX);
    ArrangeButtons();
}

void TKoBar::SetAlignment(Qt::Alignment aAlignment)
{
    m_alignment = aAlignment & Qt::AlignHorizontal_Mask;
    ArrangeButtons();
}

QList<QWidget*> TKoBar::Controls() const
{
    QList<QWidget*> row;
    for (QObject* o : m_managed) {
        auto* w = static_cast<QWidget*>(o);
        if (w->parentWidget() == this && !w->isWindow())
            row.append(w);
    }
    return row;
}

void TKoBar::ArrangeButtons()
{
    if (m_managed.isEmpty())
        return;
    const QList<QWidget*> row = Controls();
    // The width each control gets, the row's total from it, so that a right or centred row
    // ends where it should.
    QList<int> widths;
    qint64 total = 2 * qint64(m_buttonMargin) - m_buttonSpacing;
    for (QWidget* w : row) {
        widths.append(std::max(w->width(), m_buttonMinWidth));
        total += widths.last() + qint64(m_buttonSpacing);
    }
    qint64 x = 0;
    if (m_alignment & Qt::AlignRight)
        x = width() - total;
    else if (m_alignment & Qt::AlignHCenter)
        x = (width() - total) / 2;
    x += m_buttonMargin;
    m_arranging = true;
    for (qsizetype i = 0; i < row.size(); ++i) {
        row[i]->setGeometry(Bounded(x), m_buttonTop, widths[i], m_buttonHeight);
        x += widths[i] + qint64(m_buttonSpacing);
    }
    m_arranging = false;
}

void TKoBar::RequestLayout()
{
    if (m_layoutPending)
        return;
    m_layoutPending = true;
    QCoreApplication::postEvent(this, new QEvent(kRelayoutEvent));
}

bool TKoBar::event(QEvent* e)
{
    if (e->type() == kRelayoutEvent) {
        m_layoutPending = false;
        ArrangeButtons();
        return true;
    }
    return QFrame::event(e);
}

void TKoBar::childEvent(QChildEvent* e)
{
    QFrame::childEvent(e);
    QObject* child = e->child();
    if (e->added() && child->isWidgetType() && !m_managed.contains(child)) {
        m_managed.append(child);
        child->installEventFilter(this);
        RequestLayout();
    } else if (e->removed() && m_managed.removeOne(child)) {
        RequestLayout();
    }
}

bool TKoBar::eventFilter(QObject* aWatched, QEvent* e)
{
    if (e->type() == QEvent::Resize && !m_arranging && m_managed.contains(aWatched))
        RequestLayout();
    return QFrame::eventFilter(aWatched, e);
}

void TKoBar::paintEvent(QPaintEvent* e)
{
    QFrame::paintEvent(e);
    // Never laid out from inside a paint: only asked for.
    RequestLayout();
}

void TKoBar::resizeEvent(QResizeEvent* e)
{
    QFrame::resizeEvent(e);
    RequestLayout();
}
