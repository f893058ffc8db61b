#pragma once

#include "prefs/TPreferencesMan.h"

// The store of the portable mode: a whole ini file kept in memory as lines and written back,
// atomically, when the store is freed (or flushed).
//
// File format: sections "[path]" with the key path relative to the product root ("[]" is the
// root), value lines "name=value", a section ending at an empty line or the next header; names
// and paths compare without case. Written as UTF-16LE with a byte-order mark and CR LF.
// A value holding a line break, or starting with a double quote, is written in double quotes
// with \\, \", \r and \n escaped, so that it can neither cut its section nor forge a header.
class TIniPreferencesMan : public TPreferencesMan {
public:
    explicit TIniPreferencesMan(const QString& aFileName);
    ~TIniPreferencesMan() override;

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

    // Writes the file now when it changed or does not exist yet; false when it could not be
    // written (the lines stay in memory, the file on disk stays as it was). A file that exists
    // but could not be read is never written.
    bool Flush() override;
    bool ReadFailed() const override { return m_readFailed; }
    void Discard() override;

    const QStringList& Lines() const { return m_lines; }
    const QString& FileName() const { return m_fileName; }

    static QStringList SplitLines(const QString& aText);
    static QString EncodeValue(const QString& aValue);
    static QString DecodeValue(const QString& aRaw);

private:
    qsizetype Header(const QString& aPath) const;
    qsizetype SectionEnd(qsizetype aHeader) const;
    qsizetype FindLine(const QString& aName) const;
    bool ReadRaw(const QString& aName, QString& aRaw) const;
    bool WriteRaw(const QString& aName, const QString& aRaw);

    QString m_fileName;
    QStringList m_lines;
    bool m_dirty = false;
    bool m_readFailed = false;
    bool m_discarded = false;
};
