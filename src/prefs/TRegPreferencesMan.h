#pragma once

#include "TPreferencesMan.h"
#include "TRegistryHive.h"

// The store on the current user's registry hive, below the product's root key
// ("Software\Orvalis\Tessarine"). Each value is written at once.
class TRegPreferencesMan : public TPreferencesMan {
public:
    TRegPreferencesMan(const QString& aProductPath, bool aCanCreate,
                       const QString& aHiveFile = TRegistryHive::DefaultFile());

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

    // Deletes the product key with everything below it, and its maker's key when that is left
    // empty; true also when there was nothing to delete.
    static bool DeleteProductKey(const QString& aProductPath,
                                 const QString& aHiveFile = TRegistryHive::DefaultFile());

private:
    bool OpenFromRoot(const QString& aPath, bool aCanCreate);
    std::optional<TRegistryHive::Value> Query(const QString& aName, int aType);

    TRegistryHive m_hive;
    QString m_root;
    std::optional<qint64> m_key; // the open key; none when even the root could not be opened
};
