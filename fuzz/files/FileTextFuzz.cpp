// Outside text that the file layer reads: a drop's or the clipboard's uri-list, the clipboard's
// plain text, a dialog filter, and names shortened for the recent list.
#include "files/FileNames.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void Check(bool aCondition)
{
    if (!aCondition)
        std::abort();
}

bool HasBrokenSurrogate(const QString& aText)
{
    for (qsizetype i = 0; i < aText.size(); ++i) {
        const QChar c = aText.at(i);
        if (c.isHighSurrogate() && (i + 1 >= aText.size() || !aText.at(i + 1).isLowSurrogate()))
            return true;
        if (c.isLowSurrogate() && (i == 0 || !aText.at(i - 1).isHighSurrogate()))
            return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* aData, size_t aSize)
{
    if (aSize == 0)
        return 0;
    const int length = int(aData[0]) - 16; // a few negative lengths too
    const QByteArray bytes(reinterpret_cast<const char*>(aData + 1), qsizetype(aSize - 1));
    const QString text = QString::fromUtf8(bytes);

    for (const QString& path : LocalPathsFromUriList(bytes))
        Check(path.startsWith(u'/'));
    for (const QString& path : LocalPathsFromText(text))
        Check(path.startsWith(u'/'));

    const qsizetype pairs = text.split(u'|').size() / 2;
    const QString filter = QtFilterFromWindows(text);
    Check(pairs == 0 ? filter.isEmpty() : filter.split(QStringLiteral(";;")).size() == pairs);
    if (pairs > 0) {
        const QString entry = QtFilterEntry(filter, length);
        Check(entry.endsWith(u')'));
        Check(QtFilterEntry(filter, QtFilterIndex(filter, entry)) == entry);
    }

    const QString shortened = ShortenFileName(text, length);
    Check(shortened.size() <= qsizetype(std::max(length, 0)) + 4);
    if (!HasBrokenSurrogate(text))
        Check(!HasBrokenSurrogate(shortened));
    Check(!LiteralMenuText(text).remove(QStringLiteral("&&")).contains(u'&'));
    return 0;
}
