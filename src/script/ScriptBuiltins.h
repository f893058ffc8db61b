#pragma once

#include "script/ScriptHost.h"

#include <QString>
#include <QStringList>

#include <functional>

// What the built-in routines need from their host, and the state they keep between calls
// (the open findfirst/findnext search). One object per script component; it must outlive the
// programs compiled with it.
class TScriptBuiltinHooks {
public:
    // What showmessage shows: a message box in the window, a line on the runner's output.
    std::function<void(const QString&)> ShowMessage;
    // Blocks for the given milliseconds; when empty, the calling thread sleeps.
    std::function<void(quint32)> Sleep;

private:
    friend void RegisterScriptBuiltins(IScriptRegistrar&, TScriptBuiltinHooks&);
    QString m_searchFolder;
    QStringList m_searchEntries;
    qsizetype m_searchNext = 0;
};

// Registers, in this order, the built-in routines (findfirst, findnext, findclose,
// showmessage, sleep, forcedirectories, changefileext, deletefiletorecyclebin, renamefile,
// extractfilename, extractfilepath, extractfileext), the constants clMoneyGreen, clSkyBlue,
// clCream, SecsPerDay, MSecPerDay, the standard types (TAlignment, TPoint, TRect, ...) and the
// colour constants clScrollBar .. clDefault. Paths accept "\" as well as "/" between folders.
void RegisterScriptBuiltins(IScriptRegistrar& aRegistrar, TScriptBuiltinHooks& aHooks);

// The path routines, as scripts see them.
QString ScriptExtractFileName(const QString& aPath);
QString ScriptExtractFilePath(const QString& aPath);
QString ScriptExtractFileExt(const QString& aPath);
QString ScriptChangeFileExt(const QString& aPath, const QString& aExt);
// Windows file masks: "*" and "?", "*.*" for every name, without regard to case.
bool ScriptMaskMatches(const QString& aMask, const QString& aName);
