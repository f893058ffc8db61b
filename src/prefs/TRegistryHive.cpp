#include "prefs/TRegistryHive.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>
#include <QtEndian>

#include <sqlite3.h>

namespace {

constexpr const char* kSchema = R"sql(
CREATE TABLE IF NOT EXISTS keys(
  id INTEGER PRIMARY KEY,
  parent INTEGER REFERENCES keys(id) ON DELETE CASCADE,
  name TEXT NOT NULL,
  folded TEXT NOT NULL,
  UNIQUE(parent, folded));
CREATE TABLE IF NOT EXISTS vals(
  id INTEGER PRIMARY KEY,
  key INTEGER NOT NULL REFERENCES keys(id) ON DELETE CASCADE,
  name TEXT NOT NULL,
  folded TEXT NOT NULL,
  type INTEGER NOT NULL,
  data BLOB NOT NULL,
  shown TEXT,
  UNIQUE(key, folded));
CREATE INDEX IF NOT EXISTS vals_key ON vals(key);
INSERT OR IGNORE INTO keys(id, parent, name, folded)
  VALUES(1, NULL, 'HKEY_CURRENT_USER', 'hkey_current_user');
CREATE VIEW IF NOT EXISTS hive AS
  WITH RECURSIVE paths(id, path) AS (
    SELECT id, '' FROM keys WHERE parent IS NULL
    UNION ALL
    SELECT k.id, CASE p.path WHEN '' THEN k.name ELSE p.path || '\' || k.name END
      FROM keys k JOIN paths p ON k.parent = p.id)
  SELECT p.path AS path, v.name AS name, v.type AS type, v.shown AS shown
    FROM vals v JOIN paths p ON v.key = p.id ORDER BY p.path, v.id;
PRAGMA user_version = 1;
)sql";

QString Fold(const QString& aName)
{
    return aName.toCaseFolded();
}

QString Shown(int aType, const QByteArray& aData)
{
    switch (aType) {
    case TRegistryHive::REG_SZ:
    case TRegistryHive::REG_EXPAND_SZ:
        return TRegistryHive::DecodeString(aData);
    case TRegistryHive::REG_DWORD:
        if (aData.size() == 4)
            return QString::number(qFromLittleEndian<qint32>(aData.constData()));
        break;
    case TRegistryHive::REG_BINARY:
        if (aData.size() == 8)
            return QString::number(qFromLittleEndian<double>(aData.constData()), 'g',
                                   QLocale::FloatingPointShortest) +
                   QStringLiteral(" (") + QString::fromLatin1(aData.toHex(' ')) + u')';
        break;
    }
    return QString::fromLatin1(aData.toHex(' '));
}

sqlite3* OpenDb(const QByteArray& aName, int aFlags, int aBusyMs)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(aName.constData(), &db, aFlags, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return nullptr;
    }
    sqlite3_busy_timeout(db, aBusyMs);
    sqlite3_exec(db, "PRAGMA foreign_keys = ON", nullptr, nullptr, nullptr);
    return db;
}

// Has the database our tables? An empty file (or a new database) has none. -1 and the SQLite
// code in aRc when it could not be read.
int HasKeysTable(sqlite3* aDb, int& aRc)
{
    sqlite3_stmt* s = nullptr;
    aRc = sqlite3_prepare_v2(aDb, "SELECT count(*) FROM sqlite_master WHERE name = 'keys'", -1, &s,
                             nullptr);
    int n = -1;
    if (aRc == SQLITE_OK) {
        aRc = sqlite3_step(s);
        if (aRc == SQLITE_ROW)
            n = sqlite3_column_int(s, 0);
    }
    sqlite3_finalize(s);
    return n;
}

} // namespace

// A prepared statement that finalizes itself and marks the hive failed when SQLite answers
// anything but a row or the end (busy, I/O error, damage).
class THiveStmt {
public:
    THiveStmt(TRegistryHive& aHive, const char* sql)
        : m_hive(aHive)
    {
        if (!aHive.m_db || sqlite3_prepare_v2(aHive.m_db, sql, -1, &m_s, nullptr) != SQLITE_OK) {
            m_s = nullptr;
            aHive.m_failed = true;
        }
    }
    ~THiveStmt() { sqlite3_finalize(m_s); }
    THiveStmt(const THiveStmt&) = delete;
    THiveStmt& operator=(const THiveStmt&) = delete;

    THiveStmt& Bind(int i, qint64 v)
    {
        if (m_s)
            sqlite3_bind_int64(m_s, i, v);
        return *this;
    }
    THiveStmt& Bind(int i, const QString& v)
    {
        if (m_s) {
            const QByteArray u = v.toUtf8();
            sqlite3_bind_text(m_s, i, u.constData(), int(u.size()), SQLITE_TRANSIENT);
        }
        return *this;
    }
    THiveStmt& Bind(int i, const QByteArray& v)
    {
        if (m_s)
            sqlite3_bind_blob(m_s, i, v.constData(), int(v.size()), SQLITE_TRANSIENT);
        return *this;
    }
    int Step()
    {
        const int rc = m_s ? sqlite3_step(m_s) : SQLITE_ERROR;
        if (rc != SQLITE_ROW && rc != SQLITE_DONE)
            m_hive.m_failed = true;
        return rc;
    }
    qint64 Int(int c) const { return sqlite3_column_int64(m_s, c); }
    QString Text(int c) const
    {
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(m_s, c)),
                                 sqlite3_column_bytes(m_s, c));
    }
    QByteArray Blob(int c) const
    {
        const void* p = sqlite3_column_blob(m_s, c);
        return QByteArray(static_cast<const char*>(p), sqlite3_column_bytes(m_s, c));
    }

private:
    TRegistryHive& m_hive;
    sqlite3_stmt* m_s = nullptr;
};

QString TRegistryHive::DefaultFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Orvalis/registry.sqlite");
}

TRegistryHive::TRegistryHive(const QString& aFile, TAccess aAccess, int aBusyMs)
    : m_file(aFile)
{
    if (aAccess != Create && !QFileInfo::exists(aFile)) {
        m_empty = true;
        return;
    }
    const QByteArray name = QFile::encodeName(aFile);
    if (aAccess == ReadOnly) {
        int rc = SQLITE_CANTOPEN;
        m_db = OpenDb(name, SQLITE_OPEN_READONLY, aBusyMs);
        int tables = m_db ? HasKeysTable(m_db, rc) : -1;
        if (tables < 0 && (rc & 0xff) == SQLITE_CANTOPEN) {
            // A WAL hive that cannot be written (read-only disk, another user's folder) may
            // have no shared-memory file to read through: read it as an immutable file, which
            // needs none. Never for a busy hive: that would read past another writer's lock.
            sqlite3_close(m_db);
            QByteArray uri = QUrl::fromLocalFile(aFile).toEncoded();
            uri += "?immutable=1";
            m_db = OpenDb(uri, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, aBusyMs);
            tables = m_db ? HasKeysTable(m_db, rc) : -1;
        }
        if (tables < 0) {
            sqlite3_close(m_db);
            m_db = nullptr;
            m_failed = true;
        } else if (tables == 0) {
            sqlite3_close(m_db);
            m_db = nullptr;
            m_empty = true;
        }
        return;
    }
    if (aAccess == Create)
        QDir().mkpath(QFileInfo(aFile).absolutePath());
    m_db =
        OpenDb(name, SQLITE_OPEN_READWRITE | (aAccess == Create ? SQLITE_OPEN_CREATE : 0), aBusyMs);
    // WAL keeps readers and the other program's writer apart; NORMAL sync survives a crash of
    // the program (not of the machine) without an fsync per value.
    const bool ok = m_db && Exec("PRAGMA journal_mode = WAL") &&
                    Exec("PRAGMA synchronous = NORMAL") && Exec("BEGIN IMMEDIATE") &&
                    Exec(kSchema) && Exec("COMMIT");
    if (!ok) {
        if (m_db)
            Exec("ROLLBACK");
        sqlite3_close(m_db);
        m_db = nullptr;
        m_failed = true;
    }
}

TRegistryHive::~TRegistryHive()
{
    sqlite3_close(m_db);
}

bool TRegistryHive::Exec(const char* aSql)
{
    const bool ok = m_db && sqlite3_exec(m_db, aSql, nullptr, nullptr, nullptr) == SQLITE_OK;
    if (!ok)
        m_failed = true;
    return ok;
}

std::optional<qint64> TRegistryHive::FindChild(qint64 aParent, const QString& aName)
{
    THiveStmt s(*this, "SELECT id FROM keys WHERE parent = ?1 AND folded = ?2");
    if (s.Bind(1, aParent).Bind(2, Fold(aName)).Step() == SQLITE_ROW)
        return s.Int(0);
    return std::nullopt;
}

std::optional<qint64> TRegistryHive::OpenKey(const QString& aPath, bool aCreate)
{
    if (!m_db)
        return std::nullopt;
    const QStringList parts = aPath.split(u'\\', Qt::SkipEmptyParts);
    qint64 key = RootKey;
    bool inTransaction = false;
    for (const QString& part : parts) {
        if (auto child = FindChild(key, part)) {
            key = *child;
            continue;
        }
        if (!aCreate)
            return std::nullopt;
        if (!inTransaction) {
            if (!Exec("BEGIN IMMEDIATE"))
                return std::nullopt;
            inTransaction = true;
            // Another program may have created it meanwhile.
            if (auto child = FindChild(key, part)) {
                key = *child;
                continue;
            }
        }
        THiveStmt s(*this, "INSERT INTO keys(parent, name, folded) VALUES(?1, ?2, ?3)");
        if (s.Bind(1, key).Bind(2, part).Bind(3, Fold(part)).Step() != SQLITE_DONE) {
            Exec("ROLLBACK");
            return std::nullopt;
        }
        key = sqlite3_last_insert_rowid(m_db);
    }
    if (inTransaction && !Exec("COMMIT")) {
        Exec("ROLLBACK");
        return std::nullopt;
    }
    return key;
}

bool TRegistryHive::KeyExists(qint64 aKey)
{
    THiveStmt s(*this, "SELECT 1 FROM keys WHERE id = ?1");
    return s.Bind(1, aKey).Step() == SQLITE_ROW;
}

TRegistryHive::TKeyState TRegistryHive::ProbeKey(const QString& aFile, const QString& aPath,
                                                 int aBusyMs)
{
    TRegistryHive hive(aFile, ReadOnly, aBusyMs);
    if (hive.IsEmpty())
        return Missing;
    if (!hive.IsOpen())
        return Unknown;
    if (hive.OpenKey(aPath, false))
        return Exists;
    return hive.Failed() ? Unknown : Missing;
}

bool TRegistryHive::SetValue(qint64 aKey, const QString& aName, int aType, const QByteArray& aData)
{
    THiveStmt s(*this, "INSERT INTO vals(key, name, folded, type, data, shown) "
                       "VALUES(?1, ?2, ?3, ?4, ?5, ?6) ON CONFLICT(key, folded) DO UPDATE "
                       "SET type = excluded.type, data = excluded.data, shown = excluded.shown");
    return s.Bind(1, aKey)
               .Bind(2, aName)
               .Bind(3, Fold(aName))
               .Bind(4, aType)
               .Bind(5, aData)
               .Bind(6, Shown(aType, aData))
               .Step() == SQLITE_DONE;
}

std::optional<TRegistryHive::Value> TRegistryHive::QueryValue(qint64 aKey, const QString& aName)
{
    THiveStmt s(*this, "SELECT type, data FROM vals WHERE key = ?1 AND folded = ?2");
    if (s.Bind(1, aKey).Bind(2, Fold(aName)).Step() != SQLITE_ROW)
        return std::nullopt;
    return Value{int(s.Int(0)), s.Blob(1)};
}

bool TRegistryHive::DeleteValue(qint64 aKey, const QString& aName)
{
    THiveStmt s(*this, "DELETE FROM vals WHERE key = ?1 AND folded = ?2");
    return s.Bind(1, aKey).Bind(2, Fold(aName)).Step() == SQLITE_DONE && sqlite3_changes(m_db) > 0;
}

std::optional<QStringList> TRegistryHive::ValueNames(qint64 aKey)
{
    if (!KeyExists(aKey))
        return std::nullopt;
    THiveStmt s(*this, "SELECT name FROM vals WHERE key = ?1 ORDER BY id");
    s.Bind(1, aKey);
    QStringList names;
    while (s.Step() == SQLITE_ROW)
        names << s.Text(0);
    return names;
}

std::optional<QStringList> TRegistryHive::SubKeyNames(qint64 aKey)
{
    if (!KeyExists(aKey))
        return std::nullopt;
    THiveStmt s(*this, "SELECT name FROM keys WHERE parent = ?1 ORDER BY id");
    s.Bind(1, aKey);
    QStringList names;
    while (s.Step() == SQLITE_ROW)
        names << s.Text(0);
    return names;
}

bool TRegistryHive::DeleteKey(qint64 aKey)
{
    if (aKey == RootKey)
        return false;
    // The foreign keys cascade to the sub-keys and all their values.
    THiveStmt s(*this, "DELETE FROM keys WHERE id = ?1");
    return s.Bind(1, aKey).Step() == SQLITE_DONE;
}

bool TRegistryHive::DeleteSubKey(qint64 aParent, const QString& aName)
{
    if (!m_db)
        return false;
    const auto child = FindChild(aParent, aName);
    return !child || DeleteKey(*child);
}

QByteArray TRegistryHive::EncodeString(const QString& aText)
{
    // Twice the length plus one byte: the first byte of the terminator, an empty string is 1 byte.
    QByteArray data(aText.size() * 2 + 1, '\0');
    qToLittleEndian<char16_t>(aText.utf16(), aText.size(), data.data());
    return data;
}

QString TRegistryHive::DecodeString(const QByteArray& aData)
{
    if (aData.size() <= 1)
        return QString();
    qsizetype n = aData.size() / 2;
    QString text(n, Qt::Uninitialized);
    qFromLittleEndian<char16_t>(aData.constData(), n, text.data());
    if (text.back() == QChar(u'\0'))
        text.chop(1);
    return text;
}
