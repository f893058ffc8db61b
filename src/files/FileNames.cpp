#include "files/FileNames.h"

#include <QByteArray>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

#include <algorithm>

namespace {

// The first aCount characters, one fewer when that would split a surrogate pair.
QString LeftWhole(const QString& aText, qsizetype aCount)
{
    aCount = std::clamp<qsizetype>(aCount, 0, aText.size());
    if (aCount > 0 && aCount < aText.size() && aText.at(aCount - 1).isHighSurrogate())
        --aCount;
    return aText.left(aCount);
}

// Position of the extension's dot, or -1.
qsizetype ExtensionDot(const QString& aName)
{
    const qsizetype dot = aName.lastIndexOf(u'.');
    return dot > aName.lastIndexOf(u'/') ? dot : -1;
}

QString LocalPathOfUrl(const QUrl& aUrl)
{
    if (!aUrl.isValid() || !aUrl.isLocalFile())
        return QString();
    QUrl url(aUrl);
    // file://localhost/x is this host; any other host is a remote share we cannot open.
    if (url.host().compare(u"localhost", Qt::CaseInsensitive) == 0)
        url.setHost(QString());
    if (!url.host().isEmpty())
        return QString();
    const QString path = url.toLocalFile();
    return path.startsWith(u'/') ? path : QString();
}

} // namespace

QString ExtractFilePath(const QString& aName)
{
    return aName.left(aName.lastIndexOf(u'/') + 1);
}

QString ExtractFileName(const QString& aName)
{
    return aName.mid(aName.lastIndexOf(u'/') + 1);
}

QString ExtractFileExt(const QString& aName)
{
    const qsizetype dot = ExtensionDot(aName);
    return dot < 0 ? QString() : aName.mid(dot);
}

QString ChangeFileExt(const QString& aName, const QString& aExt)
{
    const qsizetype dot = ExtensionDot(aName);
    return (dot < 0 ? aName : aName.left(dot)) + aExt;
}

bool FileExists(const QString& aName)
{
    if (aName.isEmpty())
        return false;
    const QFileInfo info(aName);
    return info.exists() && !info.isDir();
}

bool SameFileName(const QString& a, const QString& b)
{
    if (a == b)
        return true;
    if (a.isEmpty() || b.isEmpty())
        return false;
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

QString NextFreeName(const QString& aName)
{
    if (!QFileInfo::exists(aName))
        return aName;
    const qsizetype dot = ExtensionDot(aName);
    const QString stem = dot < 0 ? aName : aName.left(dot);
    const QString ext = dot < 0 ? QString() : aName.mid(dot);
    // No upper bound: past 999 the number simply grows a digit.
    for (qint64 n = 1;; ++n) {
        const QString candidate =
            stem + u'_' + QStringLiteral("%1").arg(n, 3, 10, QLatin1Char('0')) + ext;
        if (!QFileInfo::exists(candidate))
            return candidate;
    }
}

QString ShortenFileName(const QString& aName, int aLength)
{
    const qsizetype cut = aName.lastIndexOf(u'/') + 1;
    QString folder = aName.left(cut);
    QString file = aName.mid(cut);
    if (file.size() > qsizetype(aLength) - 4)
        file = LeftWhole(file, qsizetype(aLength) - 4);
    const qsizetype room = qsizetype(aLength) - file.size();
    if (room < folder.size())
        folder = LeftWhole(folder, room) + QStringLiteral(".../");
    return folder + file;
}

QString LiteralMenuText(const QString& aText)
{
    QString text = aText;
    return text.replace(u'&', QStringLiteral("&&"));
}

QString QtFilterFromWindows(const QString& aFilter)
{
    const QStringList parts = aFilter.split(u'|');
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& p : parts.at(i + 1).split(u';', Qt::SkipEmptyParts)) {
            QString pattern = p.trimmed();
            // Brackets and spaces would end Qt's pattern list early.
            pattern.remove(u'(').remove(u')').remove(u' ');
            if (pattern == u"*.*")
                pattern = QStringLiteral("*");
            if (!pattern.isEmpty() && !patterns.contains(pattern))
                patterns << pattern;
        }
        if (patterns.isEmpty())
            patterns << QStringLiteral("*");
        QString label = parts.at(i).trimmed();
        if (label.endsWith(u')')) {
            const qsizetype open = label.lastIndexOf(u'(');
            if (open >= 0)
                label = label.left(open).trimmed();
        }
        // ";;" separates Qt's entries.
        while (label.contains(QStringLiteral(";;")))
            label.replace(QStringLiteral(";;"), QStringLiteral(";"));
        const QString list = patterns.join(u' ');
        entries << (label.isEmpty() ? QString() : label + u' ') + u'(' + list + u')';
    }
    return entries.join(QStringLiteral(";;"));
}

QString QtFilterEntry(const QString& aQtFilter, int aIndex)
{
    if (aQtFilter.isEmpty())
        return QString();
    const QStringList entries = aQtFilter.split(QStringLiteral(";;"));
    return entries.at(std::clamp<qsizetype>(qsizetype(aIndex) - 1, 0, entries.size() - 1));
}

int QtFilterIndex(const QString& aQtFilter, const QString& aEntry)
{
    const qsizetype i = aQtFilter.split(QStringLiteral(";;")).indexOf(aEntry);
    return i < 0 ? 1 : int(i) + 1;
}

QStringList LocalPathsFromUriList(const QByteArray& aUriList)
{
    QStringList paths;
    for (const QByteArray& raw : aUriList.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QString path = LocalPathOfUrl(QUrl::fromEncoded(line, QUrl::TolerantMode));
        if (!path.isEmpty())
            paths << path;
    }
    return paths;
}

QStringList LocalPathsFromText(const QString& aText)
{
    QStringList paths;
    QString text = aText;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    for (const QString& raw : text.split(u'\n', Qt::SkipEmptyParts)) {
        QString line = raw.trimmed();
        if (line.size() >= 2 && (line.front() == u'"' || line.front() == u'\'') &&
            line.back() == line.front())
            line = line.mid(1, line.size() - 2);
        if (line.startsWith(u'/')) {
            paths << line;
        } else if (line.startsWith(QStringLiteral("file:"), Qt::CaseInsensitive)) {
            const QString path = LocalPathOfUrl(QUrl(line, QUrl::TolerantMode));
            if (!path.isEmpty())
                paths << path;
        }
    }
    return paths;
}

QStringList LocalPathsFromMimeData(const QMimeData& aData)
{
    const QString uriList = QStringLiteral("text/uri-list");
    if (aData.hasFormat(uriList)) {
        const QStringList paths = LocalPathsFromUriList(aData.data(uriList));
        if (!paths.isEmpty())
            return paths;
    }
    return aData.hasText() ? LocalPathsFromText(aData.text()) : QStringList();
}
