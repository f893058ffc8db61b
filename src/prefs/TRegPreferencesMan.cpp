#include "prefs/TRegPreferencesMan.h"

#include <QtEndian>

#include <cstring>

TRegPreferencesMan::TRegPreferencesMan(const QString& aProductPath, bool aCanCreate,
                                       const QString& aHiveFile, int aBusyMs)
    : m_file(aHiveFile)
    , m_busyMs(aBusyMs)
    , m_hive(std::make_unique<TRegistryHive>(aHiveFile, TRegistryHive::ReadOnly, aBusyMs))
    , m_root(aProductPath)
{
    OpenKey(QString(), aCanCreate);
}

bool TRegPreferencesMan::OpenFromRoot(const QString& aPath, bool aCanCreate, bool aMayWait)
{
    const auto key = m_hive->OpenKey(ChildPath(m_root, aPath), m_writable && aCanCreate);
    if (!key && !(aMayWait && !m_writable))
        return false;
    m_key = key;
    m_path = aPath;
    m_opened = true;
    return true;
}

bool TRegPreferencesMan::Writable()
{
    if (m_writable)
        return true;
    if (m_writeFailed)
        return false;
    auto hive = std::make_unique<TRegistryHive>(m_file, TRegistryHive::Create, m_busyMs);
    const auto key =
        hive->IsOpen() && m_opened ? hive->OpenKey(ChildPath(m_root, m_path), true) : std::nullopt;
    if (!key) {
        m_writeFailed = true;
        return false;
    }
    m_hive = std::move(hive);
    m_writable = true;
    m_key = key;
    return true;
}

bool TRegPreferencesMan::Wrote(bool aOk)
{
    if (!aOk)
        m_writeFailed = true;
    return aOk;
}

bool TRegPreferencesMan::OpenKey(const QString& aName, bool aCanCreate)
{
    return OpenFromRoot(ChildPath(m_path, aName), aCanCreate, aCanCreate);
}

bool TRegPreferencesMan::CloseKey()
{
    // The parent of a key still to be created is still to be created too.
    return OpenFromRoot(ParentPath(m_path), false, !m_key);
}

bool TRegPreferencesMan::GetValueNames(QStringList& aList)
{
    const auto names = m_key ? m_hive->ValueNames(*m_key) : std::nullopt;
    if (names)
        aList += *names;
    return names.has_value();
}

bool TRegPreferencesMan::GetKeyNames(QStringList& aList)
{
    const auto names = m_key ? m_hive->SubKeyNames(*m_key) : std::nullopt;
    if (names)
        aList += *names;
    return names.has_value();
}

std::optional<TRegistryHive::Value> TRegPreferencesMan::Query(const QString& aName, int aType)
{
    auto v = m_key ? m_hive->QueryValue(*m_key, aName) : std::nullopt;
    if (!v)
        return v;
    const bool string = aType == TRegistryHive::REG_SZ;
    if (string ? (v->Type != TRegistryHive::REG_SZ && v->Type != TRegistryHive::REG_EXPAND_SZ)
               : v->Type != aType)
        return std::nullopt;
    return v;
}

bool TRegPreferencesMan::WriteString(const QString& aName, const QString& aValue)
{
    return Wrote(Writable() && m_hive->SetValue(*m_key, aName, TRegistryHive::REG_SZ,
                                                TRegistryHive::EncodeString(aValue)));
}

bool TRegPreferencesMan::ReadString(const QString& aName, QString& aValue)
{
    const auto v = Query(aName, TRegistryHive::REG_SZ);
    if (!v)
        return false;
    aValue = TRegistryHive::DecodeString(v->Data);
    return true;
}

bool TRegPreferencesMan::DeleteValue(const QString& aName)
{
    return m_key && Writable() && m_hive->DeleteValue(*m_key, aName);
}

bool TRegPreferencesMan::WriteInteger(const QString& aName, qint32 aValue)
{
    char data[4];
    qToLittleEndian(aValue, data);
    return Wrote(Writable() &&
                 m_hive->SetValue(*m_key, aName, TRegistryHive::REG_DWORD, QByteArray(data, 4)));
}

bool TRegPreferencesMan::ReadInteger(const QString& aName, qint32& aValue)
{
    const auto v = Query(aName, TRegistryHive::REG_DWORD);
    if (!v || v->Data.size() != 4)
        return false;
    aValue = qFromLittleEndian<qint32>(v->Data.constData());
    return true;
}

bool TRegPreferencesMan::WriteBool(const QString& aName, bool aValue)
{
    return WriteInteger(aName, aValue ? 1 : 0);
}

bool TRegPreferencesMan::ReadBool(const QString& aName, bool& aValue)
{
    qint32 n = 0;
    if (!ReadInteger(aName, n))
        return false;
    // Any number but 0 and 1 leaves the variable as it was.
    if (n == 0 || n == 1)
        aValue = n == 1;
    return true;
}

bool TRegPreferencesMan::WriteFloat(const QString& aName, double aValue)
{
    char data[8];
    qToLittleEndian(aValue, data);
    return Wrote(Writable() &&
                 m_hive->SetValue(*m_key, aName, TRegistryHive::REG_BINARY, QByteArray(data, 8)));
}

bool TRegPreferencesMan::ReadFloat(const QString& aName, double& aValue)
{
    const auto v = Query(aName, TRegistryHive::REG_BINARY);
    if (!v || v->Data.size() != 8)
        return false;
    aValue = qFromLittleEndian<double>(v->Data.constData());
    return true;
}

bool TRegPreferencesMan::DeleteKey(const QString& aName)
{
    if (aName.isEmpty())
        return false;
    if (!m_key) // a key that does not exist has no sub-key
        return true;
    return Writable() && m_hive->DeleteSubKey(*m_key, aName);
}

bool TRegPreferencesMan::DeleteProductKey(const QString& aProductPath, const QString& aHiveFile,
                                          int aBusyMs)
{
    const qsizetype cut = aProductPath.lastIndexOf(u'\\');
    const QString makerPath = cut < 0 ? QString() : aProductPath.left(cut);
    const QString product = aProductPath.mid(cut + 1);
    switch (TRegistryHive::ProbeKey(aHiveFile, makerPath, aBusyMs)) {
    case TRegistryHive::Missing:
        return true; // nothing to delete
    case TRegistryHive::Unknown:
        return false;
    case TRegistryHive::Exists:
        break;
    }
    TRegistryHive hive(aHiveFile, TRegistryHive::ReadWrite, aBusyMs);
    const auto maker = hive.OpenKey(makerPath, false);
    if (!maker)
        return !hive.Failed();
    if (!hive.DeleteSubKey(*maker, product))
        return false;
    const auto left = hive.SubKeyNames(*maker);
    if (left && left->isEmpty() && !makerPath.isEmpty())
        return hive.DeleteKey(*maker);
    return true;
}
