#include "files/ShowInFileManager.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

void ShowInFileManager(const QString& aPath)
{
    const QString folder = QFileInfo(aPath).absolutePath();
    const auto openFolder = [folder] { QDesktopServices::openUrl(QUrl::fromLocalFile(folder)); };
    QDBusConnection bus = QDBusConnection::sessionBus();
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
