#include "TestDirs.h"

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
