#pragma once

#include "actions/TCustomKoActionList.h"
#include "base/PrivateMessages.h"

#include <QEvent>

// The message sink of a component: receives, on the main thread, the events that worker code
// posts to it (types from QEvent::User on) and hands them to the component's WndProc.
class TMessageWindow : public QObject {
    Q_OBJECT
public:
    explicit TMessageWindow(class TKoActionComponent* aOwner);
    bool event(QEvent* aEvent) override;

private:
    TKoActionComponent* m_owner;
};

// Base of every manager: an action list holding its own actions, with a message sink, that
// binds handlers to its actions once they exist.
class TKoActionComponent : public TCustomKoActionList {
    Q_OBJECT
public:
    explicit TKoActionComponent(QObject* aOwner = nullptr);
    ~TKoActionComponent() override;

    // Where worker code posts its events (QCoreApplication::postEvent is thread-safe).
    QObject* Handle() const { return m_window; }

    // The end of loading: find the actions, then bind them. Call after the actions exist.
    void Loaded();
    // CreateActions, then Loaded: for components that build their actions themselves.
    void Setup();

    // Answers true when it handled the event; the base handles nothing.
    virtual bool WndProc(QEvent& aMessage);
    virtual void AssignHandlers() {}
    virtual void CreateActions() {}
    virtual void FindActions() {}

private:
    TMessageWindow* m_window;
};
