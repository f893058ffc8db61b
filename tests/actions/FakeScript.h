#pragma once

#include "script/ScriptHost.h"

#include <QMap>
#include <QStringList>

#include <functional>

// Records what is registered and calls it back by name, as the engine would.
class TRecordingScript : public IScriptRegistrar {
public:
    bool RegisterRoutine(const QString& aDeclaration, THostRoutine aImpl) override
    {
        if (Refuse && Refuse(aDeclaration))
            return false;
        Declarations << aDeclaration;
        const QString name = aDeclaration.section(u' ', 1).section(u'(', 0, 0).section(u';', 0, 0);
        Routines[name.toLower()] = std::move(aImpl);
        return true;
    }
    bool RegisterConstant(const QString& aName, const QString&, const TScriptValue&) override
    {
        Declarations << aName;
        return true;
    }
    bool RegisterType(const QString& aName, const QString&) override
    {
        Declarations << aName;
        return true;
    }
    TScriptValue Call(const QString& aName, const TScriptArgs& aArgs = {})
    {
        return Routines.value(aName.toLower())(aArgs);
    }

    QStringList Declarations;
    QMap<QString, THostRoutine> Routines;
    std::function<bool(const QString&)> Refuse;
};
