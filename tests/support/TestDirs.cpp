#include "TestDirs.h"

#include <QFile>
#include <gtest/gtest.h>

#include <QStandardPaths>

#include <cstdlib>

TTestConfigHome::TTestConfigHome()
{
    const char* prev = std::getenv("XDG_CONFIG_HOME");
    m_hadPrevious = prev != nullptr;
    if (prev)
        m_previous = prev;
    setenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.path()).constData(), 1);
}

TTestConfigHome::~TTestConfigHome()
{
    if (m_hadPrevious)
        setenv("XDG_CONFIG_HOME", m_previous.constData(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
}

QString TTestConfigHome::HiveFile() const
{
    return m_dir.filePath(QStringLiteral("Orvalis/registry.sqlite"));
}

QString WriteTestFile(const QString& aPath, const QByteArray& aBytes)
{
    QFile f(aPath);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly)) << aPath.toStdString();
    EXPECT_EQ(f.write(aBytes), aBytes.size());
    return aPath;
}

QByteArray ReadTestFile(const QString& aPath)
{
    QFile f(aPath);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<absent>");
}
