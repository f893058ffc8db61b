#include "ScratchMount.h"

#include <QFile>

#include <cerrno>

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

TScratchMount::TScratchMount(qint64 aBytes)
{
    if (!m_dir.isValid())
        return;
    const QByteArray options = "size=" + QByteArray::number(aBytes) + ",mode=0755";
    m_mounted = ::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0,
                        options.constData()) == 0;
}

TScratchMount::~TScratchMount()
{
    if (m_mounted)
        ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
}

bool TScratchMount::Fill()
{
    const int fd = ::open(QFile::encodeName(File(QStringLiteral("filler"))).constData(),
                          O_CREAT | O_WRONLY | O_APPEND, 0644);
    if (fd < 0)
        return false;
    static const char block[4096] = {};
    bool full = false;
    for (int i = 0; i < 1 << 20 && !full; ++i)
        full = ::write(fd, block, sizeof block) < 0 && errno == ENOSPC;
    for (int i = 0; i < 4096 && full; ++i) // the last bytes of a partly used page
        if (::write(fd, block, 1) < 0)
            break;
    ::close(fd);
    return full;
}

bool TScratchMount::RemountReadOnly()
{
    return m_mounted && ::mount(nullptr, QFile::encodeName(m_dir.path()).constData(), nullptr,
                                MS_REMOUNT | MS_RDONLY, nullptr) == 0;
}
