#include "app/TScreenSaverInhibit.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>

namespace {

const QString kService = QStringLiteral("org.freedesktop.ScreenSaver");
const QString kPath = QStringLiteral("/org/freedesktop/ScreenSaver");

} // namespace

void TScreenSaverInhibit::Inhibit(const QString& aReason)
{
    if (m_cookie)
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface() ||
        !bus.interface()->isServiceRegistered(kService).value())
        return;
    QDBusInterface saver(kService, kPath, kService, bus);
    saver.setTimeout(1000); // a desktop that does not answer must not hold the start
    const QDBusReply<quint32> cookie =
        saver.call(QStringLiteral("Inhibit"), QStringLiteral("Tessarine"), aReason);
    if (cookie.isValid())
        m_cookie = cookie.value();
}

void TScreenSaverInhibit::Release()
{
    if (!m_cookie)
        return;
    QDBusInterface saver(kService, kPath, kService, QDBusConnection::sessionBus());
    saver.setTimeout(1000);
    saver.call(QStringLiteral("UnInhibit"), m_cookie);
    m_cookie = 0;
}
