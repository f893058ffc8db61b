#pragma once

#include "prefs/PrefTypes.h"

#include <QStringList>

// A hierarchical store with a current key: open a sub-key, read and write named values in it,
// go back to the parent. Paths are relative to the product's root key, levels joined with "\".
class TPreferencesMan {
public:
    virtual ~TPreferencesMan() = default;

    virtual bool GetValueNames(QStringList& aList) = 0;
    virtual bool GetKeyNames(QStringList& aList) = 0;
    virtual bool OpenKey(const QString& aName, bool aCanCreate) = 0;
    virtual bool CloseKey() = 0;
    virtual bool WriteString(const QString& aName, const QString& aValue) = 0;
    virtual bool ReadString(const QString& aName, QString& aValue) = 0;
    virtual bool DeleteValue(const QString& aName) = 0;
    virtual bool WriteBool(const QString& aName, bool aValue) = 0;
    virtual bool ReadBool(const QString& aName, bool& aValue) = 0;
    virtual bool WriteInteger(const QString& aName, qint32 aValue) = 0;
    virtual bool ReadInteger(const QString& aName, qint32& aValue) = 0;
    virtual bool WriteFloat(const QString& aName, double aValue) = 0;
    virtual bool ReadFloat(const QString& aName, double& aValue) = 0;
    // Removes the sub-key aName of the current key with everything below it; true when it is
    // gone (also when it never existed).
    virtual bool DeleteKey(const QString& aName) = 0;
    // Puts what was written where it lasts; false when that failed. Stores that write each
    // value at once have nothing to do.
    virtual bool Flush() { return true; }
    // Reading met an error other than "not stored" (busy, unreadable): what was read may be
    // incomplete, so it must not be written back over what is stored.
    virtual bool ReadFailed() const { return false; }
    // Forget the changes: a store being replaced writes nothing more.
    virtual void Discard() {}

    bool WriteFont(const QString& aName, const TFontDesc& aFont);
    bool ReadFont(const QString& aName, TFontDesc& aFont);
    bool WriteRect(const QString& aName, const TRect& aRect);
    bool ReadRect(const QString& aName, TRect& aRect);
    bool WritePoint(const QString& aName, const TPoint& aPoint);
    bool ReadPoint(const QString& aName, TPoint& aPoint);

    const QString& CurrentPath() const { return m_path; }

protected:
    static QString ChildPath(const QString& aPath, const QString& aName);
    static QString ParentPath(const QString& aPath);

    QString m_path;
};
