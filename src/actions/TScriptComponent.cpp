#include "actions/TScriptComponent.h"

#include "actions/TCustomKoActionList.h"

void TScriptComponent::AttachList(TCustomKoActionList* aList)
{
    if (aList && !AttachedLists().contains(aList))
        m_lists << aList;
}

void TScriptComponent::DetachList(TCustomKoActionList* aList)
{
    m_lists.removeIf([aList](const QPointer<TCustomKoActionList>& l) { return !l || l == aList; });
}

QList<TCustomKoActionList*> TScriptComponent::AttachedLists() const
{
    QList<TCustomKoActionList*> lists;
    for (const auto& l : m_lists)
        if (l)
            lists << l.data();
    return lists;
}

void TScriptComponent::RegisterAttachedLists(IScriptRegistrar& aScript)
{
    for (TCustomKoActionList* list : AttachedLists())
        list->RegisterInScript(aScript);
}
