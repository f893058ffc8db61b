#pragma once

#include <QString>
#include <QTemporaryDir>

#include <memory>

// A temporary folder that is also this test's XDG_CONFIG_HOME, so the per-user registry hive of
// the code under test lands inside it and disappears with it.
class TTestConfigHome {
public:
    TTestConfigHome();
    ~TTestConfigHome();
    QString Path() const { return m_dir.path(); }
    QString File(const QString& aName) const { return m_dir.filePath(aName); }
    QString HiveFile() const;

private:
    QTemporaryDir m_dir;
    QByteArray m_previous;
    bool m_hadPrevious = false;
};

// Writes aBytes into aPath (a failure fails the test) and gives aPath back.
QString WriteTestFile(const QString& aPath, const QByteArray& aBytes);
// The file's bytes, or "<absent>" when it cannot be read.
QByteArray ReadTestFile(const QString& aPath);
