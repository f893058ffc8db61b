#include "actions/TKoActionComponent.h"

TMessageWindow::TMessageWindow(TKoActionComponent* aOwner)
    : m_owner(aOwner)
{
}

bool TMessageWindow::event(QEvent* aEvent)
{
    if (aEvent->type() >= QEvent::User && m_owner && m_owner->WndProc(*aEvent))
        return true;
    return QObject::event(aEvent);
}

TKoActionComponent::TKoActionComponent(QObject* aOwner)
    : TCustomKoActionList(aOwner)
    , m_window(new TMessageWindow(this))
{
}

TKoActionComponent::~TKoActionComponent()
{
    // Events still queued for the sink die with it, never reaching a half-destroyed component.
    delete m_window;
}

void TKoActionComponent::Loaded()
{
    FindActions();
    AssignHandlers();
}

void TKoActionComponent::Setup()
{
    CreateActions();
    Loaded();
}

bool TKoActionComponent::WndProc(QEvent&)
{
    return false;
}
