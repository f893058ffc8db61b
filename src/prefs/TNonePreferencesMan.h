#pragma once

#include "prefs/TPreferencesMan.h"

// The store of the mode that keeps nothing: writes succeed and vanish, reads find nothing.
class TNonePreferencesMan : public TPreferencesMan {
public:
    bool GetValueNames(QStringList&) override { return false; }
    bool GetKeyNames(QStringList&) override { return false; }
    bool OpenKey(const QString&, bool) override { return true; }
    bool CloseKey() override { return true; }
    bool WriteString(const QString&, const QString&) override { return true; }
    bool ReadString(const QString&, QString&) override { return false; }
    bool DeleteValue(const QString&) override { return false; }
    bool WriteBool(const QString&, bool) override { return true; }
    bool ReadBool(const QString&, bool&) override { return false; }
    bool WriteInteger(const QString&, qint32) override { return true; }
    bool ReadInteger(const QString&, qint32&) override { return false; }
    bool WriteFloat(const QString&, double) override { return true; }
    bool ReadFloat(const QString&, double&) override { return false; }
    bool DeleteKey(const QString&) override { return true; }
};
