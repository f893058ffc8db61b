#pragma once

#include "prefs/TRegistryHive.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// One step of a Windows ".reg" settings file, in file order.
struct TRegOperation {
    enum TKind {
        DeleteKey,  // [-HKEY_CURRENT_USER\Software\X]: the key with everything below it
        CreateKey,  // [HKEY_CURRENT_USER\Software\X]: created when missing, values follow
        SetValue,   // "name"=... or @=...
        DeleteValue // "name"=-
    };
    TKind Kind = CreateKey;
    qsizetype Line = 0; // 1-based, for messages
    QString Key;        // below HKEY_CURRENT_USER, levels joined by "\", no root name
    QString Name;       // the value's name; empty is the default value (@)
    int Type = 0;       // TRegistryHive::ValueType or any other registry type number
    QByteArray Data;    // the exact bytes stored
};

struct TRegFileContent {
    int Version = 0; // 4 for "REGEDIT4", 5 for "Windows Registry Editor Version 5.00", 0: refused
    QList<TRegOperation> Operations;
    QStringList Errors; // "ligne 12 : valeur illisible"
    bool Recognised() const { return Version != 0; }
};

struct TRegApplyResult {
    qsizetype Applied = 0;
    QStringList Errors;
};

// Windows ".reg" files (as written by regedit) imported into our own hive, for the decoder sets
// that keep their settings under HKEY_CURRENT_USER.
class TRegFile {
public:
    // Never throws; time and memory grow linearly with the input, whatever it holds. A file
    // without a recognised header gives no operation at all. Faulty lines and sections are
    // reported and left out; the rest is kept, as regedit does.
    static TRegFileContent Parse(const QByteArray& aBytes);

    // Applies the operations whose key is aAllowedKey or below it (names compared without
    // case); any other key is left alone and reported. An empty aAllowedKey allows nothing.
    static TRegApplyResult Apply(const TRegFileContent& aContent, TRegistryHive& aHive,
                                 const QString& aAllowedKey);

    static constexpr qint64 kMaxFileBytes = 16 * 1024 * 1024;
    // Far more than any decoder's settings: a file of tiny lines must not take a hundred bytes
    // of memory per input byte, nor its import minutes. The rest of the file is ignored.
    static constexpr qsizetype kMaxOperations = 100000;
    // Enough to tell what went wrong; then only their number.
    static constexpr qsizetype kMaxErrors = 100;
};

// Reads (at most TRegFile::kMaxFileBytes), parses and applies aFile below aAllowedKey (e.g.
// "Software\\DRV"), creating the hive when missing. True when everything was imported; false
// when anything was refused or failed, with the reasons in aErrors. What could be applied is
// kept even then.
bool ImportRegFile(const QString& aFile, const QString& aAllowedKey,
                   const QString& aHiveFile = TRegistryHive::DefaultFile(),
                   QStringList* aErrors = nullptr);

// "reg delete HKCU\<aKeyPath> /F": the key with everything below it. aKeyPath may start with
// "HKEY_CURRENT_USER\" or "HKCU\"; HKEY_CURRENT_USER itself is never deleted. True also when
// the key (or the hive) does not exist.
bool DeleteRegKey(const QString& aKeyPath, const QString& aHiveFile = TRegistryHive::DefaultFile());
