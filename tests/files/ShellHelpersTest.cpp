#include "files/ShellHelpers.h"

#include "prefs/TRegistryHive.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

// Receives what the program would hand to the desktop's opener.
class TOpened : public QObject {
    Q_OBJECT
public:
    QList<QUrl> Urls;
public Q_SLOTS:
    void Open(const QUrl& aUrl) { Urls << aUrl; }
};

// A file manager on a private bus: answers ShowItems, or fails it.
class TFakeFileManager : public QDBusVirtualObject {
public:
    bool Fail = false;
    QStringList Shown;
    QString introspect(const QString&) const override { return QString(); }
    bool handleMessage(const QDBusMessage& aMessage, const QDBusConnection& aConnection) override
    {
        if (aMessage.member() != QLatin1String("ShowItems"))
            return false;
        if (Fail) {
            aConnection.send(aMessage.createErrorReply(QDBusError::Failed, QStringLiteral("no")));
            return true;
        }
        Shown << aMessage.arguments().value(0).toStringList();
        aConnection.send(aMessage.createReply());
        return true;
    }
};

struct TPrivateBus {
    QProcess Daemon;
    QString Address;
    bool Start()
    {
        Daemon.start(QStringLiteral("dbus-daemon"),
                     {QStringLiteral("--session"), QStringLiteral("--nofork"),
                      QStringLiteral("--print-address=1")});
        if (!Daemon.waitForStarted(3000))
            return false;
        QElapsedTimer t;
        t.start();
        while (!Daemon.canReadLine() && t.elapsed() < 5000)
            Daemon.waitForReadyRead(100);
        Address = QString::fromUtf8(Daemon.readLine()).trimmed();
        return !Address.isEmpty();
    }
    ~TPrivateBus()
    {
        Daemon.kill();
        Daemon.waitForFinished(3000);
    }
};

bool WaitFor(const std::function<bool()>& aDone, int aMs = 5000)
{
    QElapsedTimer t;
    t.start();
    while (!aDone() && t.elapsed() < aMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return aDone();
}

} // namespace

TEST(ShellHelpers, AFileIsShownByTheFileManagerElseItsFolderOpens)
{
    TPrivateBus bus;
    if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty() || !bus.Start())
        GTEST_SKIP() << "no dbus-daemon to run a private bus";
    QDBusConnection program = QDBusConnection::connectToBus(bus.Address, QStringLiteral("program"));
    QDBusConnection manager = QDBusConnection::connectToBus(bus.Address, QStringLiteral("manager"));
    ASSERT_TRUE(program.isConnected());
    ASSERT_TRUE(manager.isConnected());

    TOpened opened;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &opened, "Open");
    QTemporaryDir dir;
    const QString video = dir.filePath(QStringLiteral("Été 2003 #1.dv"));
    QFile(video).open(QIODevice::WriteOnly);

    // No file manager on the bus: the folder opens.
    ShowInExplorer(video, QStringLiteral("program"));
    ASSERT_TRUE(WaitFor([&] { return !opened.Urls.isEmpty(); }));
    EXPECT_EQ(opened.Urls.value(0), QUrl::fromLocalFile(dir.path()));

    TFakeFileManager fm;
    ASSERT_TRUE(
        manager.registerVirtualObject(QStringLiteral("/org/freedesktop/FileManager1"), &fm));
    ASSERT_TRUE(manager.registerService(QStringLiteral("org.freedesktop.FileManager1")));
    opened.Urls.clear();
    ShowInExplorer(video, QStringLiteral("program"));
    ASSERT_TRUE(WaitFor([&] { return !fm.Shown.isEmpty(); }));
    EXPECT_EQ(fm.Shown, QStringList{QUrl::fromLocalFile(video).toString()});
    WaitFor([] { return false; }, 200);
    EXPECT_TRUE(opened.Urls.isEmpty());

    // The file manager refuses, or the file is gone: the folder again.
    fm.Fail = true;
    ShowInExplorer(video, QStringLiteral("program"));
    ASSERT_TRUE(WaitFor([&] { return !opened.Urls.isEmpty(); }));
    EXPECT_EQ(opened.Urls.value(0), QUrl::fromLocalFile(dir.path()));
    fm.Fail = false;
    fm.Shown.clear();
    opened.Urls.clear();
    ShowInExplorer(dir.filePath(QStringLiteral("gone.dv")), QStringLiteral("program"));
    EXPECT_EQ(opened.Urls.value(0), QUrl::fromLocalFile(dir.path()));
    EXPECT_TRUE(fm.Shown.isEmpty());

    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QDBusConnection::disconnectFromBus(QStringLiteral("program"));
    QDBusConnection::disconnectFromBus(QStringLiteral("manager"));
}

TEST(ShellHelpers, ThePictureFolderIsTheUsersElseHome)
{
    QTemporaryDir config;
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    const QString pictures = config.filePath(QStringLiteral("Mes images"));
    QFile dirs(config.filePath(QStringLiteral("user-dirs.dirs")));
    ASSERT_TRUE(dirs.open(QIODevice::WriteOnly));
    dirs.write("XDG_PICTURES_DIR=\"" + QFile::encodeName(pictures) + "/\"\n");
    dirs.close();

    // Not made yet: home.
    EXPECT_EQ(PictureFolder(), QDir::homePath());
    ASSERT_TRUE(QDir().mkpath(pictures));
    EXPECT_EQ(PictureFolder(), pictures);

    if (oldConfig.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", oldConfig);
}

TEST(ShellHelpers, ARegistryTextIsReadWholeOrIsEmpty)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("registry.sqlite"));
    const QString key = QStringLiteral("Software\\Orvalis\\Dossiers");
    EXPECT_EQ(ReadRegString(key, QStringLiteral("Images"), file), QString());
    EXPECT_FALSE(QFile::exists(file)); // reading creates nothing
    {
        TRegistryHive hive(file);
        const qint64 k = *hive.OpenKey(key, true);
        // Stored with and without a terminating zero, and a number.
        QByteArray bare = TRegistryHive::EncodeString(QStringLiteral("/home/émile/Images"));
        bare.chop(1);
        hive.SetValue(k, QStringLiteral("Images"), TRegistryHive::REG_SZ,
                      bare + QByteArray(2, '\0'));
        bare = TRegistryHive::EncodeString(QStringLiteral("abc"));
        bare.chop(1);
        hive.SetValue(k, QStringLiteral("Bare"), TRegistryHive::REG_SZ, bare);
        hive.SetValue(k, QStringLiteral("Count"), TRegistryHive::REG_DWORD, QByteArray(4, '\1'));
    }
    EXPECT_EQ(ReadRegString(key, QStringLiteral("images"), file),
              QStringLiteral("/home/émile/Images"));
    EXPECT_EQ(ReadRegString(key, QStringLiteral("Bare"), file), QStringLiteral("abc"));
    EXPECT_EQ(ReadRegString(key, QStringLiteral("Count"), file), QString());
    EXPECT_EQ(ReadRegString(key, QStringLiteral("Nothing"), file), QString());
    EXPECT_EQ(ReadRegString(QStringLiteral("Software\\Autre"), QStringLiteral("Images"), file),
              QString());

    QFile damaged(dir.filePath(QStringLiteral("damaged.sqlite")));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write(QByteArray(5000, 'x'));
    damaged.close();
    EXPECT_EQ(ReadRegString(key, QStringLiteral("Images"), damaged.fileName()), QString());
}

#include "ShellHelpersTest.moc"
