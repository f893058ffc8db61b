#include "grab/ImageNames.h"

#include "media/core/FormatPosition.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>

QString FormatNumber(qint64 aNumber, int aDigits)
{
    // The width the panel allows: a script asking for a billion digits gets sixteen.
    aDigits = std::clamp(aDigits, 1, 16);
    const QString text = QString::number(aNumber);
    if (text.size() >= aDigits)
        return text;
    return QString(aDigits - text.size(), u'0') + text;
}

QString NameWithoutExtension(const QString& aPath)
{
    const QString name = aPath.mid(aPath.lastIndexOf(u'/') + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? name : name.left(dot);
}

namespace {

// The first aCount characters, never half of a surrogate pair.
QString FirstCharacters(const QString& aText, int aCount)
{
    qsizetype end = 0;
    for (int i = 0; i < aCount && end < aText.size(); ++i) {
        if (aText.at(end).isHighSurrogate() && end + 1 < aText.size() &&
            aText.at(end + 1).isLowSurrogate())
            end += 2;
        else
            end += 1;
    }
    return aText.left(end);
}

} // namespace

QString ImageRoot(const TImageNameSettings& aSettings, const QString& aVideoPath)
{
    if (aSettings.rootSource == 0)
        return aSettings.fixedRoot;
    const QString name = aVideoPath.isEmpty() ? QString() : NameWithoutExtension(aVideoPath);
    if (!aSettings.limitLength)
        return name;
    return FirstCharacters(name, std::max(0, aSettings.rootLength));
}

QString ImageFolder(const QString& aFolder)
{
    QString folder = aFolder;
    if (folder.endsWith(u'\\'))
        folder.chop(1);
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

QString TimeStampText(const QString& aPositionText)
{
    QString text = aPositionText;
    return text.replace(u':', u'.');
}

QString TimeStampText(qint64 aFrameDuration, qint64 aPosition)
{
    return TimeStampText(FormatPosition(aFrameDuration, aPosition));
}

QString ImageExtension(int aExtension)
{
    return aExtension == 0 ? QStringLiteral(".bmp") : QStringLiteral(".jpg");
}

QString NextImagePath(const TImageNameSettings& aSettings, const QString& aVideoPath,
                      const QString& aPositionText, const QString& aPrevious)
{
    QString suffix;
    if (aSettings.suffixKind == 0)
        suffix = TimeStampText(aPositionText);
    else if (aSettings.suffixKind == 1)
        suffix = FormatNumber(aSettings.nextNumber, aSettings.digits);
    else
        return aPrevious;
    return ImageFolder(aSettings.folder) + ImageRoot(aSettings, aVideoPath) + u'_' + suffix +
           ImageExtension(aSettings.extension);
}

bool ImageFileExists(const QString& aPath)
{
    const QFileInfo info(aPath);
    return info.exists() && !info.isDir();
}

TImageClickTarget ImageClickTarget(const QString& aNextImagePath, const QString& aFolder,
                                   const QString& aRoot)
{
    if (ImageFileExists(aNextImagePath))
        return {TImageClickTarget::ShowFile, aNextImagePath};
    const QString folder = ImageFolder(aFolder);
    const QDir dir(folder);
    if (!dir.exists())
        return {};
    // A plain prefix: the root may hold characters that a wildcard would read.
    const QString prefix = aRoot + u'_';
    QStringList names =
        dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    names.erase(std::remove_if(names.begin(), names.end(),
                               [&](const QString& name) { return !name.startsWith(prefix); }),
                names.end());
    if (!names.isEmpty())
        return {TImageClickTarget::ShowFile,
                folder + *std::min_element(names.cbegin(), names.cend())};
    return {TImageClickTarget::OpenFolder, folder};
}
