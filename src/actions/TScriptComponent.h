#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class IScriptRegistrar;
class TCustomKoActionList;

// What an action list attaches to: the script engine component. At every compilation the engine
// registers its own routines first, then the actions of the attached lists in the order they
// were attached.
class TScriptComponent : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Attaching twice keeps the first place; detaching any list keeps the others in order.
    void AttachList(TCustomKoActionList* aList);
    void DetachList(TCustomKoActionList* aList);
    QList<TCustomKoActionList*> AttachedLists() const;

protected:
    void RegisterAttachedLists(IScriptRegistrar& aScript);

private:
    QList<QPointer<TCustomKoActionList>> m_lists;
};
