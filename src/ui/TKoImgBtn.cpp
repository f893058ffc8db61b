#include "ui/TKoImgBtn.h"

#include "actions/TCustomAbstractAction.h"

#include <QAction>
#include <QActionEvent>

TKoImgBtn::TKoImgBtn(QWidget* aParent)
    : QToolButton(aParent)
{
    setAutoRaise(true);
    setIconSize(QSize(22, 22));
    setFocusPolicy(Qt::NoFocus);
    resize(28, 28);
    RefreshCaption();
}

void TKoImgBtn::SetAction(TCustomAbstractAction* aAction)
{
    if (aAction) {
        setDefaultAction(aAction->Action());
    } else if (QAction* old = defaultAction()) {
        removeAction(old);
        setDefaultAction(nullptr);
    }
    RefreshCaption();
}

TCustomAbstractAction* TKoImgBtn::Action() const
{
    QAction* a = defaultAction();
    return a ? qobject_cast<TCustomAbstractAction*>(a->parent()) : nullptr;
}

void TKoImgBtn::SetShowCaption(bool aShow)
{
    if (aShow == m_showCaption)
        return;
    m_showCaption = aShow;
    RefreshCaption();
}

void TKoImgBtn::SetCaption(const QString& aCaption)
{
    m_caption = aCaption;
    setText(aCaption);
    RefreshCaption();
}

void TKoImgBtn::RefreshCaption()
{
    if (!text().isEmpty())
        m_caption = text();
    setToolButtonStyle(m_showCaption ? Qt::ToolButtonTextBesideIcon : Qt::ToolButtonIconOnly);
    setText(m_showCaption ? m_caption : QString());
}

void TKoImgBtn::actionEvent(QActionEvent* e)
{
    // The base class copies the action's text, icon and state first.
    QToolButton::actionEvent(e);
    if (e->action() == defaultAction() &&
        (e->type() == QEvent::ActionChanged || e->type() == QEvent::ActionAdded))
        RefreshCaption();
}
