#include "files/ShellHelpers.h"

#include "prefs/TRegistryHive.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

void ShowInExplorer(const QString& aPath, const QString& aConnection)
{
    const QString folder = QFileInfo(aPath).absolutePath();
    const auto openFolder = [folder] { QDesktopServices::openUrl(QUrl::fromLocalFile(folder)); };
    QDBusConnection bus =
        aConnection.isEmpty() ? QDBusConnection::sessionBus() : QDBusConnection(aConnection);
    if (!bus.isConnected() || !QFileInfo::exists(aPath)) {
        openFolder();
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"),
        QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(QFileInfo(aPath).absoluteFilePath()).toString()}
         << QString();
    // Asynchronous: a file manager started by D-Bus activation may take a while to answer.
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, 10000));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [openFolder](QDBusPendingCallWatcher* w) {
                         if (w->isError())
                             openFolder();
                         w->deleteLater();
                     });
}

QString PictureFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    while (folder.size() > 1 && folder.endsWith(u'/'))
        folder.chop(1);
    return folder;
}

QString ReadRegString(const QString& aKeyPath, const QString& aValueName, const QString& aHiveFile)
{
    const QString file = aHiveFile.isEmpty() ? TRegistryHive::DefaultFile() : aHiveFile;
    if (!QFileInfo::exists(file))
        return QString(); // reading must not create a hive
    TRegistryHive hive(file, TRegistryHive::ReadOnly, 1000);
    if (!hive.IsOpen())
        return QString();
    const std::optional<qint64> key = hive.OpenKey(aKeyPath, false);
    if (!key)
        return QString();
    const std::optional<TRegistryHive::Value> value = hive.QueryValue(*key, aValueName);
    if (!value ||
        (value->Type != TRegistryHive::REG_SZ && value->Type != TRegistryHive::REG_EXPAND_SZ))
        return QString();
    return TRegistryHive::DecodeString(value->Data);
}
