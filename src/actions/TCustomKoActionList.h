#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

#include "actions/ActionErrors.h"
#include "actions/TImageList.h"
#include "actions/TKoSwitch.h"
#include "actions/TScriptComponent.h"

#include <functional>

class IScriptRegistrar;
class TCustomAbstractAction;
class TDravikPreferences;

// An action list: its typed actions become script procedures at every compilation, switches of
// the command line, and values of the preferences loaded and saved in one call. It may also hold
// plain QActions, which every operation here skips.
class TCustomKoActionList : public QObject {
    Q_OBJECT
public:
    using TListLoadEvent = std::function<bool(TDravikPreferences&)>;
    using TListSaveEvent = std::function<bool(TDravikPreferences&)>;

    explicit TCustomKoActionList(QObject* aOwner = nullptr);
    ~TCustomKoActionList() override;

    TListLoadEvent OnLoadFromPrefs;
    TListSaveEvent OnSaveToPrefs;
    // False for the script window's own lists: a macro line must be one the engine can run,
    // and their applies still keep what they apply in turn out of the macro.
    bool Recorded = true;

    const QList<QObject*>& Items() const { return m_items; }
    QList<TCustomAbstractAction*> TypedActions() const;
    void AddItem(QObject* aItem);
    void RemoveItem(QObject* aItem);

    // The first typed action with that InternalId (exact case), or null: for the places where
    // absence is legitimate, such as menus naming actions of components not built yet.
    TCustomAbstractAction* FindByInternalId(const QString& aId) const;
    template <class A> A* Find(const QString& aId) const
    {
        return qobject_cast<A*>(FindByInternalId(aId));
    }

    // For code that binds to an action it needs: never null. Throws EActionNotFound when the
    // identifier is missing and EActionWrongType when its action is not an A.
    TCustomAbstractAction* GetByInternalId(const QString& aId) const;
    template <class A> A* Get(const QString& aId) const
    {
        TCustomAbstractAction* a = GetByInternalId(aId);
        if (auto* typed = qobject_cast<A*>(a))
            return typed;
        ThrowWrongType(aId, A::staticMetaObject, *a);
    }
    // How error messages name the list: its object name, else its class.
    QString ListName() const;

    // Every typed action with IncludePrefs, in list order, then the list's event; false when one
    // of them answered false, and the loop stops at an exception. The caller opens the section.
    bool LoadFromPrefs(TDravikPreferences& gp);
    bool SaveToPrefs(TDravikPreferences& gp);

    TScriptComponent* PascalScript() const { return m_script; }
    // Attaches to a script engine; null detaches.
    void SetPascalScript(TScriptComponent* aScript);
    // Registers every typed action, in list order; a refused registration does not stop the rest.
    void RegisterInScript(IScriptRegistrar& aScript);

    TKoSwitch* Switch() const { return m_switch; }
    // Enters every typed action in the switch's table (as its Switch text stands now); null
    // detaches. Attaching the same switch again does nothing.
    void SetSwitch(TKoSwitch* aSwitch);

    TImageList* Images() const { return m_images; }
    void SetImages(TImageList* aImages);

private:
    void RefreshIcons();
    [[noreturn]] void ThrowWrongType(const QString& aId, const QMetaObject& aExpected,
                                     const TCustomAbstractAction& aFound) const;

    QList<QObject*> m_items;
    QPointer<TScriptComponent> m_script;
    QPointer<TKoSwitch> m_switch;
    QPointer<TImageList> m_images;
    QMetaObject::Connection m_imagesChanged;
};

// The plain list placed on windows.
class TKoActionList : public TCustomKoActionList {
    Q_OBJECT
public:
    using TCustomKoActionList::TCustomKoActionList;
};
