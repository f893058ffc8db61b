#include "TRegistryHive.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
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

// A prepared statement that finalizes itself.
class Stmt {
public:
    Stmt(sqlite3* db, const char* sql)
    {
        if (db && sqlite3_prepare_v2(db, sql, -1, &m_s, nullptr) != SQLITE_OK)
            m_s = nullptr;
    }
    ~Stmt() { sqlite3_finalize(m_s); }
    Stmt(const Stmt&) = delete;
    Stmt& operator=(const Stmt&) = delete;

    explicit operator bool() const { return m_s != nullptr; }
    Stmt& Bind(int i, qint64 v)
    {
        if (m_s)
            sqlite3_bind_int64(m_s, i, v);
        return *this;
    }
    Stmt& Bind(int i, const QString& v)
    {
        if (m_s) {
            const QByteArray u = v.toUtf8();
            sqlite3_bind_text(m_s, i, u.constData(), int(u.size()), SQLITE_TRANSIENT);
        }
        return *this;
    }
    Stmt& Bind(int i, const QByteArray& v)
    {
        if (m_s)
            sqlite3_bind_blob(m_s, i, v.constData(), int(v.size()), SQLITE_TRANSIENT);
        return *this;
    }
    int Step() { return m_s ? sqlite3_step(m_s) : SQLITE_ERROR; }
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
    sqlite3_stmt* m_s = nullptr;
};

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

sqlite3* OpenDb(const QString& aFile, int aFlags)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(aFile).constData(), &db, aFlags, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return nullptr;
    }
    sqlite3_busy_timeout(db, 10000);
    sqlite3_exec(db, "PRAGMA foreign_keys = ON", nullptr, nullptr, nullptr);
    return db;
}

} // namespace

QString TRegistryHive::DefaultFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Orvalis/registry.sqlite");
}

TRegistryHive::TRegistryHive(const QString& aFile, bool aCreate)
    : m_file(aFile)
{
    if (!aCreate && !QFileInfo::exists(aFile))
        return;
    if (aCreate)
        QDir().mkpath(QFileInfo(aFile).absolutePath());
    m_db = OpenDb(aFile, SQLITE_OPEN_READWRITE | (aCreate ? SQLITE_OPEN_CREATE : 0));
    if (!m_db)
        return;
    // WAL keeps readers and the other program's writer apart; NORMAL sync survives a crash of
    // the program (not of the machine) without an fsync per value.
    const bool ok = Exec("PRAGMA journal_mode = WAL") && Exec("PRAGMA synchronous = NORMAL") &&
                    Exec("BEGIN IMMEDIATE") && Exec(kSchema) && Exec("COMMIT");
    if (!ok) {
        sqlite3_close(m_db);
        m_db = nullptr;
    }
}

TRegistryHive::~TRegistryHive()
{
    sqlite3_close(m_db);
}

bool TRegistryHive::Exec(const char* aSql)
{
    return m_db && sqlite3_exec(m_db, aSql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

std::optional<qint64> TRegistryHive::FindChild(qint64 aParent, const QString& aName)
{
    Stmt s(m_db, "SELECT id FROM keys WHERE parent = ?1 AND folded = ?2");
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
        Stmt s(m_db, "INSERT INTO keys(parent, name, folded) VALUES(?1, ?2, ?3)");
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
    Stmt s(m_db, "SELECT 1 FROM keys WHERE id = ?1");
    return s.Bind(1, aKey).Step() == SQLITE_ROW;
}

bool TRegistryHive::KeyExists(const QString& aFile, const QString& aPath)
{
    if (!QFileInfo::exists(aFile))
        return false;
    TRegistryHive hive(aFile, false);
    return hive.OpenKey(aPath, false).has_value();
}

bool TRegistryHive::SetValue(qint64 aKey, const QString& aName, int aType, const QByteArray& aData)
{
    Stmt s(m_db, "INSERT INTO vals(key, name, folded, type, data, shown) "
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
    Stmt s(m_db, "SELECT type, data FROM vals WHERE key = ?1 AND folded = ?2");
    if (s.Bind(1, aKey).Bind(2, Fold(aName)).Step() != SQLITE_ROW)
        return std::nullopt;
    return Value{int(s.Int(0)), s.Blob(1)};
}

bool TRegistryHive::DeleteValue(qint64 aKey, const QString& aName)
{
    Stmt s(m_db, "DELETE FROM vals WHERE key = ?1 AND folded = ?2");
    return s.Bind(1, aKey).Bind(2, Fold(aName)).Step() == SQLITE_DONE && sqlite3_changes(m_db) > 0;
}

std::optional<QStringList> TRegistryHive::ValueNames(qint64 aKey)
{
    if (!KeyExists(aKey))
        return std::nullopt;
    Stmt s(m_db, "SELECT name FROM vals WHERE key = ?1 ORDER BY id");
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
    Stmt s(m_db, "SELECT name FROM keys WHERE parent = ?1 ORDER BY id");
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
    Stmt s(m_db, "DELETE FROM keys WHERE id = ?1");
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
