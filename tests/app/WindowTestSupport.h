#pragma once

// What the tests of the main window with real files share: the save-mode answer, the clips (made
// once per test program: ffmpeg is the slow part), the frame number of a picture, letting posted
// work run, and screenshots kept in the build folder.
#include "MediaMaker.h"
#include "prefs/TDravikPreferences.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QKeyEvent>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>

namespace WindowTest {

class TSaveToRegistry : public TPrefsQuestion {
public:
    std::optional<TSavePreferences> AskSaveMode(const QString&) override { return spRegistre; }
    void Warn(const QString&) override {}
};

class Clips {
public:
    static const Clips& Get()
    {
        static const Clips clips;
        return clips;
    }
    QString mp4, dv, mpeg2, mkv, wav;

private:
    Clips()
    {
        mp4 = MediaMaker::Mp4H264Aac(m_dir.path(), 25);
        dv = MediaMaker::DvType2Avi(m_dir.path(), 25);
        mpeg2 = MediaMaker::Mpeg2Program(m_dir.path(), 25);
        mkv = MediaMaker::MkvH264Vorbis(m_dir.path(), 25);
        wav = MediaMaker::Wav(m_dir.path());
    }
    QTemporaryDir m_dir;
};

inline int StripOf(const QImage& aImage)
{
    const QImage rgb = aImage.convertToFormat(QImage::Format_RGB32);
    return MediaMaker::ReadStrip(rgb.constBits(), int(rgb.bytesPerLine()), rgb.width(),
                                 rgb.height());
}

// Lets posted work (drops, the command line, frames) run.
inline void Settle(int aMs = 150)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < aMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

// A key pressed and released on a widget, with the text it types.
inline void Key(QWidget* aTo, int aKey, const QString& aText = {})
{
    QKeyEvent press(QEvent::KeyPress, aKey, Qt::NoModifier, aText);
    QCoreApplication::sendEvent(aTo, &press);
    QKeyEvent release(QEvent::KeyRelease, aKey, Qt::NoModifier, aText);
    QCoreApplication::sendEvent(aTo, &release);
}

#ifdef TESSARINE_BIN
// The program itself on a command line, off screen, in the private home aHome; with aFrench, in
// French and in Paris. Waits a minute at most.
struct TProgramRun {
    bool Finished = false;
    int ExitCode = -1;
    QString Errors;
};
inline TProgramRun RunProgram(const QStringList& aArguments, const QString& aHome,
                              bool aFrench = false)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), QDir(aHome).filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("HOME"), aHome);
    if (aFrench) {
        env.insert(QStringLiteral("LANG"), QStringLiteral("fr_FR.UTF-8"));
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("fr_FR.UTF-8"));
        env.insert(QStringLiteral("TZ"), QStringLiteral("Europe/Paris"));
    }
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(TESSARINE_BIN), aArguments);
    TProgramRun run;
    run.Finished = p.waitForFinished(60000);
    run.ExitCode = run.Finished ? p.exitCode() : -1;
    run.Errors = QString::fromUtf8(p.readAllStandardError());
    return run;
}
#endif

inline void Screenshot(QWidget& aWindow, const char* aName)
{
    const QString dir = QStringLiteral(TESS_SCREENSHOT_DIR);
    QDir().mkpath(dir);
    aWindow.grab().save(QDir(dir).filePath(QString::fromLatin1(aName) + u".png"));
}

} // namespace WindowTest
