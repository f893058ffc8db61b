#include "base/TBatchRun.h"

#include <cstdio>

namespace {

bool g_active = false;
bool g_failed = false;

void PrintError(const QString& aText)
{
    const QByteArray bytes = (QStringLiteral("tessarine: ") + aText).toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}

} // namespace

bool TBatchRun::Active()
{
    return g_active;
}

void TBatchRun::SetActive(bool aActive)
{
    g_active = aActive;
}

bool TBatchRun::AsksToQuit(const QStringList& aArguments)
{
    for (const QString& a : aArguments) {
        if (a.size() < 2 || (a[0] != u'/' && a[0] != u'+' && a[0] != u'-'))
            continue;
        const qsizetype eq = a.indexOf(u'=');
        if (QStringView(a).mid(1, eq < 0 ? -1 : eq - 1).compare(u"quit", Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

void TBatchRun::Fail(const QString& aText)
{
    g_failed = true;
    PrintError(aText);
}

void TBatchRun::Note(const QString& aText)
{
    PrintError(aText);
}

int TBatchRun::ExitStatus()
{
    return g_failed ? 1 : 0;
}

void TBatchRun::Reset()
{
    g_active = false;
    g_failed = false;
}
