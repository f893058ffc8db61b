#include "actions/TCustomKoActionList.h"

#include "actions/TCustomAbstractAction.h"
#include "actions/TImageList.h"
#include "actions/TKoSwitch.h"
#include "actions/TScriptComponent.h"

#include <exception>

TCustomKoActionList::TCustomKoActionList(QObject* aOwner)
    : QObject(aOwner)
{
}

TCustomKoActionList::~TCustomKoActionList()
{
    SetSwitch(nullptr);
    SetPascalScript(nullptr);
    // Actions owned elsewhere must not point back at a list that is gone.
    for (TCustomAbstractAction* a : TypedActions())
        if (a->ActionList() == this)
            a->SetActionList(nullptr);
}

QList<TCustomAbstractAction*> TCustomKoActionList::TypedActions() const
{
    QList<TCustomAbstractAction*> actions;
    for (QObject* item : m_items)
        if (auto* a = qobject_cast<TCustomAbstractAction*>(item))
            actions << a;
    return actions;
}

void TCustomKoActionList::AddItem(QObject* aItem)
{
    if (aItem && !m_items.contains(aItem))
        m_items << aItem;
}

void TCustomKoActionList::RemoveItem(QObject* aItem)
{
    m_items.removeAll(aItem);
}

TCustomAbstractAction* TCustomKoActionList::FindByInternalId(const QString& aId) const
{
    for (TCustomAbstractAction* a : TypedActions())
        if (a->InternalId == aId)
            return a;
    return nullptr;
}

TCustomAbstractAction* TCustomKoActionList::GetByInternalId(const QString& aId) const
{
    if (TCustomAbstractAction* a = FindByInternalId(aId))
        return a;
    throw EActionNotFound(aId, ListName());
}

QString TCustomKoActionList::ListName() const
{
    return objectName().isEmpty() ? QString::fromLatin1(metaObject()->className()) : objectName();
}

void TCustomKoActionList::ThrowWrongType(const QString& aId, const QMetaObject& aExpected,
                                         const TCustomAbstractAction& aFound) const
{
    throw EActionWrongType(aId, ListName(), QString::fromLatin1(aExpected.className()),
                           QString::fromLatin1(aFound.metaObject()->className()));
}

bool TCustomKoActionList::LoadFromPrefs(TDravikPreferences& gp)
{
    bool result = true;
    try {
        for (TCustomAbstractAction* a : TypedActions())
            if (a->IncludePrefs && !a->LoadFromPrefs(gp))
                result = false;
        if (OnLoadFromPrefs && !OnLoadFromPrefs(gp))
            result = false;
    } catch (const std::exception&) {
    }
    return result;
}

bool TCustomKoActionList::SaveToPrefs(TDravikPreferences& gp)
{
    bool result = true;
    try {
        for (TCustomAbstractAction* a : TypedActions())
            if (a->IncludePrefs && !a->SaveToPrefs(gp))
                result = false;
        if (OnSaveToPrefs && !OnSaveToPrefs(gp))
            result = false;
    } catch (const std::exception&) {
    }
    return result;
}

void TCustomKoActionList::SetPascalScript(TScriptComponent* aScript)
{
    if (aScript == m_script)
        return;
    if (m_script)
        m_script->DetachList(this);
    m_script = aScript;
    if (aScript)
        aScript->AttachList(this);
}

void TCustomKoActionList::RegisterInScript(IScriptRegistrar& aScript)
{
    for (TCustomAbstractAction* a : TypedActions()) {
        try {
            a->RegisterInScript(aScript);
        } catch (const std::exception&) {
            // A refused declaration leaves the action usable from everything but scripts.
        }
    }
}

void TCustomKoActionList::SetSwitch(TKoSwitch* aSwitch)
{
    if (aSwitch == m_switch)
        return;
    if (m_switch)
        m_switch->UnregisterList(this);
    m_switch = aSwitch;
    if (aSwitch)
        aSwitch->RegisterList(this);
}

void TCustomKoActionList::SetImages(TImageList* aImages)
{
    disconnect(m_imagesChanged);
    m_images = aImages;
    if (aImages)
        m_imagesChanged =
            connect(aImages, &TImageList::Changed, this, &TCustomKoActionList::RefreshIcons);
    RefreshIcons();
}

void TCustomKoActionList::RefreshIcons()
{
    for (TCustomAbstractAction* a : TypedActions())
        a->UpdateIcon();
}
