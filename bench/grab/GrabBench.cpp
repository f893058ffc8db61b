// Grab to file beside the ffmpeg command line on the same files in the same run: a frame typed
// while paused (precise seek, capture, scaling to the picture's aspect, BMP or JPEG q90 written
// to disk) against `ffmpeg -ss T -i FILE -frames:v 1`; grabs while playing; the deinterlacer
// against ffmpeg's yadif. SD DV PAL 4:3 and 1080p H.264. Prints a table with ratios.
// Run: bench_grab [--quick]
#include "BenchPlayer.h"
#include "grab/ImageFiles.h"
#include "grab/SavedImageSize.h"
#include "grab/TDeinterlacer.h"
#include "media/MediaInit.h"

#include <QDir>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <random>

namespace {

using namespace Bench;

struct TFormat {
    const char* Name;
    TImageFileFormat Format;
    const char* Extension;
    QStringList FfmpegQuality; // nearest ffmpeg setting
};
const TFormat kFormats[] = {
    {"BMP", TImageFileFormat::Bmp, "bmp", {}},
    {"JPEG q90", TImageFileFormat::Jpeg, "jpg", {QStringLiteral("-q:v"), QStringLiteral("2")}},
};

// The program's grab: the frame on screen at the picture's aspect, written whole to disk.
// Answers the frame number the saved picture shows, -1 when nothing was saved.
int GrabToFile(TPlayer& aPlayer, const TFormat& aFormat, const QString& aPath)
{
    QCoreApplication::sendPostedEvents();
    QImage frame;
    if (!aPlayer.video.GetCurrentImage(frame))
        return -1;
    const QSize aspect = aPlayer.video.Aspect();
    const QSize size = SavedImageSize(aspect.width(), aspect.height(), frame.size());
    const QImage saved = frame.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                             .convertToFormat(QImage::Format_RGB32);
    QString error;
    if (!SaveImageFile(saved, aPath, aFormat.Format, 90, error))
        return -1;
    return StripOf(saved);
}

void Grabs(const QString& aName, const QString& aFile, int aCount, const QString& aOut)
{
    std::printf("%s: %s\n", qPrintable(aName), qPrintable(aFile));
    std::fflush(stdout);
    TPlayer p;
    if (!p.Open(aFile)) {
        std::printf("  cannot open\n");
        return;
    }
    QImage first;
    p.video.GetCurrentImage(first);
    const QSize aspect = p.video.Aspect();
    const QSize size = SavedImageSize(aspect.width(), aspect.height(), first.size());
    const QString scale = QStringLiteral("scale=%1:%2").arg(size.width()).arg(size.height());

    for (const TFormat& f : kFormats) {
        const QString ours =
            QDir(aOut).filePath(QStringLiteral("ours.") + QLatin1String(f.Extension));
        const QString theirs =
            QDir(aOut).filePath(QStringLiteral("ffmpeg.") + QLatin1String(f.Extension));
        std::mt19937 random(11);
        TStats seekGrab, grabOnly, ff;
        int wrong = 0;
        for (int i = 0; i < aCount; ++i) {
            const int k = std::uniform_int_distribution<int>(1, p.Frames() - 3)(random);
            QElapsedTimer t;
            t.start();
            p.nav.PreciseSeekTo(p.Frame(k));
            QElapsedTimer g;
            g.start();
            wrong += GrabToFile(p, f, ours) != k;
            grabOnly.samples.push_back(Since(g));
            seekGrab.samples.push_back(Since(t));
            if (i < 8)
                ff.samples.push_back(
                    Ffmpeg(QStringList{QStringLiteral("-ss"), Seconds(p.Frame(k)),
                                       QStringLiteral("-i"), aFile, QStringLiteral("-frames:v"),
                                       QStringLiteral("1"), QStringLiteral("-vf"), scale} +
                           f.FfmpegQuality + QStringList{QStringLiteral("-y"), theirs}));
        }
        const QString what = aName + u' ' + QLatin1String(f.Name);
        g_rows.push_back({what + QStringLiteral(" paused: seek + grab"), seekGrab.Pct(0.5),
                          seekGrab.Pct(0.95), ff.Pct(0.5), ff.Pct(0.95),
                          wrong ? QStringLiteral("%1 wrong frames").arg(wrong) : QString()});
        g_rows.push_back({what + QStringLiteral(" paused: grab of the frame shown"),
                          grabOnly.Pct(0.5), grabOnly.Pct(0.95), ff.Pct(0.5), ff.Pct(0.95),
                          QStringLiteral("%1x%2").arg(size.width()).arg(size.height())});

        // While playing: each grab takes the frame on screen as the pipeline runs on.
        p.nav.PreciseSeekTo(p.Frame(0));
        TStats playing;
        int none = 0;
        p.nav.Play();
        QElapsedTimer run;
        run.start();
        while (int(playing.samples.size()) < aCount && run.elapsed() < 20000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            QElapsedTimer g;
            g.start();
            none += GrabToFile(p, f, ours) < 0;
            playing.samples.push_back(Since(g));
            QElapsedTimer pause;
            pause.start();
            while (pause.elapsed() < 60)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        p.nav.Pause();
        g_rows.push_back({what + QStringLiteral(" playing: grab"), playing.Pct(0.5),
                          playing.Pct(0.95), ff.Pct(0.5), ff.Pct(0.95),
                          none ? QStringLiteral("%1 without a frame").arg(none) : QString()});
    }
}

void Deinterlacing(const QString& aName, const QString& aFile, int aFrames)
{
    TPlayer p;
    if (!p.Open(aFile))
        return;
    p.nav.PreciseSeekTo(p.Frame(aFrames / 2));
    QImage frame;
    QCoreApplication::sendPostedEvents();
    if (!p.video.GetCurrentImage(frame))
        return;
    frame = frame.convertToFormat(QImage::Format_RGB32);
    TDeinterlacer d;
    QImage result;
    TStats ours;
    for (int i = 0; i < 30; ++i) {
        QElapsedTimer t;
        t.start();
        d.Deinterlace(frame, result);
        ours.samples.push_back(Since(t));
    }
    const Ms perFrame = FfmpegFilterPerFrame(aFile, QStringLiteral("yadif"), p.Frames());
    g_rows.push_back({aName + QStringLiteral(" deinterlace a frame (ffmpeg: yadif)"), ours.Pct(0.5),
                      ours.Pct(0.95), perFrame, perFrame,
                      QStringLiteral("%1x%2").arg(frame.width()).arg(frame.height())});
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    EnsureMediaFramework();
    const bool quick = app.arguments().contains(QStringLiteral("--quick"));
    QTemporaryDir dir;
    const int frames = quick ? 75 : 250;
    const int count = quick ? 8 : 30;

    const QString dv = MediaMaker::DvType2Avi(dir.path(), frames);
    const QString hdFile = MakeHdClip(dir.path(), frames);
    const bool haveHd = !hdFile.isEmpty();

    Grabs(QStringLiteral("DV PAL 4:3"), dv, count, dir.path());
    if (haveHd)
        Grabs(QStringLiteral("H.264 1080p"), hdFile, count, dir.path());
    Deinterlacing(QStringLiteral("DV PAL"), dv, frames);
    if (haveHd)
        Deinterlacing(QStringLiteral("1080p"), hdFile, frames);
    Print();
    return 0;
}
