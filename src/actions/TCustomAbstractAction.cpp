#include "actions/TCustomAbstractAction.h"

#include "actions/TCustomKoActionList.h"
#include "actions/TImageList.h"
#include "base/TCommandQueue.h"

#include <QAction>

TCustomAbstractAction::TCustomAbstractAction(QObject* aOwner)
    : QObject(aOwner)
    , m_action(new QAction(this))
{
    connect(m_action, &QAction::triggered, this, &TCustomAbstractAction::Triggered);
}

TCustomAbstractAction::~TCustomAbstractAction()
{
    if (m_actionList)
        m_actionList->RemoveItem(this);
}

void TCustomAbstractAction::InitInternal(const QString& aInternalId, TCustomKoActionList* aList)
{
    setParent(aList);
    InternalId = aInternalId;
    SetActionList(aList);
    Category = QStringLiteral("internal");
}

void TCustomAbstractAction::Triggered()
{
    // The QAction flips its own check state; the action decides the state itself.
    {
        const QSignalBlocker block(m_action);
        m_action->setChecked(m_checked);
    }
    if (m_autoCheck && !m_isCheckAction)
        SetPlatformChecked(!m_checked);
    Execute(sender());
}

void TCustomAbstractAction::Execute(QObject* aSender)
{
    if (Immediate) {
        DoExecute(aSender);
        return;
    }
    TCommandQueue::Instance().Submit([self = QPointer(this), sender = QPointer(aSender)] {
        if (self)
            self->DoExecute(sender);
    });
}

void TCustomAbstractAction::SetCaption(const QString& aCaption)
{
    m_caption = aCaption;
    m_action->setText(aCaption);
    m_action->setIconText(QString(aCaption).remove(u'&'));
}

void TCustomAbstractAction::SetHint(const QString& aHint)
{
    m_hint = aHint;
    m_action->setToolTip(aHint.isEmpty() ? QString(m_caption).remove(u'&') : aHint);
    m_action->setStatusTip(aHint);
}

void TCustomAbstractAction::SetShortCut(TShortCut aShortCut)
{
    m_shortCut = aShortCut;
    UpdateShortcuts();
}

void TCustomAbstractAction::SetSecondaryShortcuts(const QList<TShortCut>& aShortCuts)
{
    m_secondary = aShortCuts;
    UpdateShortcuts();
}

void TCustomAbstractAction::UpdateShortcuts()
{
    QList<QKeySequence> keys;
    if (m_shortCut)
        keys << ShortCutToKeySequence(m_shortCut);
    for (const TShortCut sc : std::as_const(m_secondary))
        if (sc)
            keys << ShortCutToKeySequence(sc);
    m_action->setShortcuts(keys);
}

void TCustomAbstractAction::SetImageIndex(int aIndex)
{
    if (aIndex == m_imageIndex)
        return;
    m_imageIndex = aIndex;
    UpdateIcon();
    if (OnImageChanged && m_actionList)
        OnImageChanged(m_actionList->Images(), aIndex);
}

void TCustomAbstractAction::UpdateIcon()
{
    TImageList* images = m_actionList ? m_actionList->Images() : nullptr;
    m_action->setIcon(images ? images->Icon(m_imageIndex) : QIcon());
}

void TCustomAbstractAction::SetEnabled(bool aEnabled)
{
    m_enabled = aEnabled;
    m_action->setEnabled(aEnabled);
}

void TCustomAbstractAction::SetVisible(bool aVisible)
{
    m_visible = aVisible;
    m_action->setVisible(aVisible);
}

void TCustomAbstractAction::SetAutoCheck(bool aAutoCheck)
{
    m_autoCheck = aAutoCheck;
    UpdateCheckable();
}

void TCustomAbstractAction::SetPlatformChecked(bool aChecked)
{
    m_checked = aChecked;
    UpdateCheckable();
    const QSignalBlocker block(m_action);
    m_action->setChecked(aChecked);
}

void TCustomAbstractAction::UpdateCheckable()
{
    m_action->setCheckable(m_isCheckAction || m_autoCheck || m_checked);
}

void TCustomAbstractAction::SetActionList(TCustomKoActionList* aList)
{
    if (aList == m_actionList)
        return;
    if (m_actionList)
        m_actionList->RemoveItem(this);
    m_actionList = aList;
    if (aList)
        aList->AddItem(this);
    UpdateIcon();
}

void TCustomAbstractAction::ClearBindings()
{
    Category.clear();
    ScriptName.clear();
    m_shortCut = scNone;
    m_secondary.clear();
    UpdateShortcuts();
    ClearHooks();
}

QString TCustomAbstractAction::VariablesOr(const QString& aDefault)
{
    if (Variables.isEmpty())
        Variables = aDefault;
    return Variables;
}

bool TCustomAbstractAction::Recorded() const
{
    return !m_actionList || m_actionList->Recorded;
}
