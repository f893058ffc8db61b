#pragma once

#include "prefs/TPreferencesMan.h"
#include "prefs/TRegistryHive.h"

#include <memory>

// The store on the current user's registry hive, below the product's root key
// ("Software\Orvalis\Tessarine"). Each value is written at once.
//
// It reads through a read-only connection and opens the hive for writing only at the first
// write, so loading needs no write access and takes no write lock. A key opened with creation
// allowed that does not exist yet is current all the same: reads in it find nothing, the first
// write creates it.
class TRegPreferencesMan : public TPreferencesMan {
public:
    // aBusyMs: how long to wait for another program's lock before a read or write fails.
    TRegPreferencesMan(const QString& aProductPath, bool aCanCreate,
                       const QString& aHiveFile = TRegistryHive::DefaultFile(),
                       int aBusyMs = kBusyMs);
    static constexpr int kBusyMs = 5000;

    bool GetValueNames(QStringList& aList) override;
    bool GetKeyNames(QStringList& aList) override;
    bool OpenKey(const QString& aName, bool aCanCreate) override;
    bool CloseKey() override;
    bool WriteString(const QString& aName, const QString& aValue) override;
    bool ReadString(const QString& aName, QString& aValue) override;
    bool DeleteValue(const QString& aName) override;
    bool WriteBool(const QString& aName, bool aValue) override;
    bool ReadBool(const QString& aName, bool& aValue) override;
    bool WriteInteger(const QString& aName, qint32 aValue) override;
    bool ReadInteger(const QString& aName, qint32& aValue) override;
    bool WriteFloat(const QString& aName, double aValue) override;
    bool ReadFloat(const QString& aName, double& aValue) override;
    bool DeleteKey(const QString& aName) override;
    // False when a write failed since the store was made.
    bool Flush() override { return !m_writeFailed; }
    bool ReadFailed() const override { return m_hive->Failed() && !m_writable; }

    // Deletes the product key with everything below it, and its maker's key when that is left
    // empty; true also when there was nothing to delete.
    static bool DeleteProductKey(const QString& aProductPath,
                                 const QString& aHiveFile = TRegistryHive::DefaultFile(),
                                 int aBusyMs = kBusyMs);

private:
    // aMayWait: a missing key becomes current all the same while the hive is read-only; the
    // first write creates it.
    bool OpenFromRoot(const QString& aPath, bool aCanCreate, bool aMayWait);
    std::optional<TRegistryHive::Value> Query(const QString& aName, int aType);
    // The hive opened for writing with the current key created; false (and remembered) when
    // that is impossible.
    bool Writable();
    bool Wrote(bool aOk);

    QString m_file;
    int m_busyMs;
    std::unique_ptr<TRegistryHive> m_hive;
    bool m_writable = false;
    bool m_writeFailed = false;
    QString m_root;
    std::optional<qint64> m_key; // the open key; none while it does not exist (yet)
    bool m_opened = false;       // a key is current, existing or to be created
};
