#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

struct sqlite3;

// The current user's registry: a hive of keys and typed values in an SQLite database,
// $XDG_CONFIG_HOME/Orvalis/registry.sqlite (~/.config/Orvalis/registry.sqlite by default).
//
// Schema (PRAGMA user_version = 1), readable with the sqlite3 command line:
//
//   keys(id INTEGER PRIMARY KEY,      -- 1 is HKEY_CURRENT_USER, the only key without parent
//        parent INTEGER REFERENCES keys(id) ON DELETE CASCADE,
//        name TEXT,                   -- the name as first created, case kept
//        folded TEXT,                 -- the case-folded name: names compare without case
//        UNIQUE(parent, folded))
//   vals(id INTEGER PRIMARY KEY,      -- insertion order, which enumeration follows
//        key INTEGER REFERENCES keys(id) ON DELETE CASCADE,
//        name TEXT, folded TEXT,      -- as for keys
//        type INTEGER,                -- 1 REG_SZ, 3 REG_BINARY, 4 REG_DWORD, others from .reg
//        data BLOB,                   -- the exact bytes: REG_SZ is UTF-16LE, REG_DWORD 4 bytes LE
//        shown TEXT,                  -- the value in readable form, for people only
//        UNIQUE(key, folded))
//   hive(path, name, type, shown)     -- a view: every value with its key's full path
//
// e.g.  sqlite3 ~/.config/Orvalis/registry.sqlite "select path, name, shown from hive"
//
// Every write is its own transaction in WAL mode, committed at once; several programs may use
// the hive together (SQLite's locking, with a busy timeout). Reading needs no write access: a
// hive on a read-only disk or owned by another user still reads.
class TRegistryHive {
public:
    enum ValueType {
        REG_SZ = 1,
        REG_EXPAND_SZ = 2,
        REG_BINARY = 3,
        REG_DWORD = 4,
        REG_MULTI_SZ = 7, // imported from .reg files only
        REG_QWORD = 11
    };
    enum TAccess {
        ReadOnly,  // never writes, not even the schema; takes no write lock
        ReadWrite, // an existing hive
        Create     // the hive and its folder are created when missing
    };
    // What a look-up found. Unknown (busy past the timeout, unreadable, damaged) is never
    // Missing: nothing may be erased or overwritten on its strength.
    enum TKeyState { Missing, Exists, Unknown };
    struct Value {
        int Type = 0;
        QByteArray Data;
    };
    static constexpr qint64 RootKey = 1; // HKEY_CURRENT_USER

    static QString DefaultFile();

    // aBusyMs: how long a statement waits for another program's lock.
    explicit TRegistryHive(const QString& aFile = DefaultFile(), TAccess aAccess = Create,
                           int aBusyMs = 10000);
    ~TRegistryHive();
    TRegistryHive(const TRegistryHive&) = delete;
    TRegistryHive& operator=(const TRegistryHive&) = delete;

    bool IsOpen() const { return m_db != nullptr; }
    // The file holds no hive yet (missing, or an empty database).
    bool IsEmpty() const { return m_empty; }
    // A statement failed for another reason than "not found" (busy, I/O error, damage) since
    // the hive was opened, or it could not be opened although the file exists.
    bool Failed() const { return m_failed; }
    const QString& FileName() const { return m_file; }

    // A key path below HKEY_CURRENT_USER, levels separated by "\"; empty is HKEY_CURRENT_USER.
    std::optional<qint64> OpenKey(const QString& aPath, bool aCreate);
    bool KeyExists(qint64 aKey);

    bool SetValue(qint64 aKey, const QString& aName, int aType, const QByteArray& aData);
    std::optional<Value> QueryValue(qint64 aKey, const QString& aName);
    bool DeleteValue(qint64 aKey, const QString& aName);
    std::optional<QStringList> ValueNames(qint64 aKey);
    std::optional<QStringList> SubKeyNames(qint64 aKey);
    // Deletes the key with all its sub-keys and values.
    bool DeleteKey(qint64 aKey);
    // Deletes the sub-key aName of aParent, if it exists, with everything below it.
    bool DeleteSubKey(qint64 aParent, const QString& aName);

    // Does a key exist? Read-only: creates nothing and takes no write lock.
    static TKeyState ProbeKey(const QString& aFile, const QString& aPath, int aBusyMs = 3000);
    static bool KeyExists(const QString& aFile, const QString& aPath)
    {
        return ProbeKey(aFile, aPath) == Exists;
    }

    static QByteArray EncodeString(const QString& aText);
    static QString DecodeString(const QByteArray& aData);

private:
    friend class THiveStmt;
    bool Exec(const char* aSql);
    std::optional<qint64> FindChild(qint64 aParent, const QString& aName);

    QString m_file;
    sqlite3* m_db = nullptr;
    bool m_empty = false;
    bool m_failed = false;
};
