// Navigation and playback through the real managers, beside the ffmpeg command line on the same
// files in the same run: open to first frame, precise seeks, steps of one frame, and 20 s of
// 1080p25 H.264 played with the text layer on. Prints a table with ratios (ours / ffmpeg).
// Run: bench_nav [--quick] [--no-text]
#include "BenchPlayer.h"
#include "MediaMaker.h"
#include "base/ScriptDateTime.h"
#include "media/MediaInit.h"
#include "media/TMediaFactory.h"
#include "media/TNavMan.h"
#include "media/TVideoMan.h"
#include "media/gst/TPipelineBus.h"

#include <QDateTime>

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <set>
#include <vector>

namespace {

using namespace Bench;

void Navigation(const QString& aName, const QString& aFile, int aSeeks)
{
    std::printf("%s: %s\n", qPrintable(aName), qPrintable(aFile));
    std::fflush(stdout);
    TStats open, ffOpen;
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer t;
        t.start();
        TPlayer p;
        if (!p.Open(aFile) || p.Shown() != 0) {
            std::printf("  cannot open\n");
            return;
        }
        open.samples.push_back(Since(t));
        ffOpen.samples.push_back(
            Ffmpeg({QStringLiteral("-i"), aFile, QStringLiteral("-frames:v"), QStringLiteral("1"),
                    QStringLiteral("-f"), QStringLiteral("null"), QStringLiteral("-")}));
    }
    g_rows.push_back({aName + QStringLiteral(" open to first frame"),
                      open.Pct(0.5),
                      open.Pct(0.95),
                      ffOpen.Pct(0.5),
                      ffOpen.Pct(0.95),
                      {}});

    TPlayer p;
    p.Open(aFile);
    std::mt19937 random(7);
    const int last = p.Frames() - 3;
    TStats seek, ffSeek;
    int wrong = 0;
    for (int i = 0; i < aSeeks; ++i) {
        const int k = std::uniform_int_distribution<int>(1, last)(random);
        QElapsedTimer t;
        t.start();
        p.nav.PreciseSeekTo(p.Frame(k));
        wrong += p.Shown() != k;
        seek.samples.push_back(Since(t));
        if (i < 10)
            ffSeek.samples.push_back(
                Ffmpeg({QStringLiteral("-ss"), Seconds(p.Frame(k)), QStringLiteral("-i"), aFile,
                        QStringLiteral("-frames:v"), QStringLiteral("1"), QStringLiteral("-f"),
                        QStringLiteral("null"), QStringLiteral("-")}));
    }
    g_rows.push_back({aName + QStringLiteral(" precise seek"), seek.Pct(0.5), seek.Pct(0.95),
                      ffSeek.Pct(0.5), ffSeek.Pct(0.95),
                      wrong ? QStringLiteral("%1 wrong frames").arg(wrong) : QString()});

    // A step forward is one more decoded frame: beside ffmpeg's time per frame over the file.
    TStats fwd, back;
    p.nav.PreciseSeekTo(p.Frame(last / 2));
    int at = last / 2;
    wrong = 0;
    for (int i = 0; i < aSeeks && at < last; ++i) {
        QElapsedTimer t;
        t.start();
        p.nav.StepForward(p.nav.FrameDuration());
        wrong += p.Shown() != ++at;
        fwd.samples.push_back(Since(t));
    }
    for (int i = 0; i < aSeeks && at > 1; ++i) {
        QElapsedTimer t;
        t.start();
        p.nav.StepBack(p.nav.FrameDuration());
        wrong += p.Shown() != --at;
        back.samples.push_back(Since(t));
    }
    const Ms whole = Ffmpeg({QStringLiteral("-i"), aFile, QStringLiteral("-an"),
                             QStringLiteral("-f"), QStringLiteral("null"), QStringLiteral("-")});
    const Ms perFrame = whole / std::max(1, p.Frames());
    const QString note = wrong ? QStringLiteral("%1 wrong frames").arg(wrong) : QString();
    g_rows.push_back({aName + QStringLiteral(" step +1 (ffmpeg: per frame)"), fwd.Pct(0.5),
                      fwd.Pct(0.95), perFrame, perFrame, note});
    // A step back is a precise seek for ffmpeg.
    g_rows.push_back({aName + QStringLiteral(" step -1 (ffmpeg: seek)"), back.Pct(0.5),
                      back.Pct(0.95), ffSeek.Pct(0.5), ffSeek.Pct(0.95), note});
}

void Playback(const QString& aFile, int aFrames, bool aText)
{
    std::printf("1080p25 playback: %s\n", qPrintable(aFile));
    std::fflush(stdout);
    TPlayer p;
    if (!p.Open(aFile)) {
        std::printf("  cannot open\n");
        return;
    }
    p.video.TextSlots[0] = QStringLiteral("%S");
    p.video.TextSlots[1] = QStringLiteral("%R");
    p.video.SetSystemDate(true, ScriptDateTimeFromQt(QDateTime::currentDateTime()));
    p.video.Style.AnchorY = 9000; // below the strip
    p.video.Compose();
    p.video.ShowText(aText);
    p.seen.clear();
    p.paints.samples.clear();
    const double cpu0 = CpuSeconds(RUSAGE_SELF);
    QElapsedTimer t;
    t.start();
    p.nav.Play();
    // The clock of "%R" ticks as the window's timer does.
    qint64 tick = 0;
    while (p.nav.Bus().WaitForBus(GST_MESSAGE_EOS, 5) != GST_MESSAGE_EOS && t.elapsed() < 120000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (t.elapsed() >= tick) {
            p.video.SetSystemDate(true, ScriptDateTimeFromQt(QDateTime::currentDateTime()));
            tick += 250;
        }
        p.PaintIfAsked();
    }
    QCoreApplication::processEvents();
    p.PaintIfAsked();
    const Ms wall = Since(t);
    const double cpu = CpuSeconds(RUSAGE_SELF) - cpu0;
    p.seen.erase(-1);
    const int shown = int(p.seen.size());
    QStringList missing;
    for (int i = 0; i < aFrames && missing.size() < 20; ++i)
        if (!p.seen.count(i))
            missing << QString::number(i);
    if (!missing.isEmpty())
        std::printf("  frames not shown: %s\n", qPrintable(missing.join(u' ')));

    const double ffCpu0 = CpuSeconds(RUSAGE_CHILDREN);
    const Ms ffWall =
        Ffmpeg({QStringLiteral("-re"), QStringLiteral("-i"), aFile, QStringLiteral("-an"),
                QStringLiteral("-f"), QStringLiteral("null"), QStringLiteral("-")});
    const double ffCpu = CpuSeconds(RUSAGE_CHILDREN) - ffCpu0;
    g_rows.push_back({QStringLiteral("1080p25 play, wall"), wall, wall, ffWall, ffWall,
                      QStringLiteral("frames shown %1 of %2").arg(shown).arg(aFrames)});
    g_rows.push_back({QStringLiteral("1080p25 play, CPU (ms)"), cpu * 1000, cpu * 1000,
                      ffCpu * 1000, ffCpu * 1000, QStringLiteral("ffmpeg -re to a null output")});
    g_rows.push_back({QStringLiteral("1080p25 paint into 1280x720, text on"), p.paints.Pct(0.5),
                      p.paints.Pct(0.95), 0, 0,
                      QStringLiteral("%1 paints").arg(p.paints.samples.size())});
}

// The text over each frame: the lines composed from their patterns and the text layer drawn
// again, as at every frame while "%S" shows, at 1080p; beside ffmpeg's drawtext per frame.
void TextLayer(const QString& aFile, int aFrames)
{
    TPlayer p;
    if (!p.Open(aFile))
        return;
    p.video.TextSlots[0] = QStringLiteral("%S");
    p.video.TextSlots[1] = QStringLiteral("%R");
    p.video.Style.AutoSize = true;
    p.video.ShowText(true);
    for (int border : {0, 2, 5}) {
        p.video.Style.BorderWidth = border;
        TStats layer;
        for (int i = 0; i < 200; ++i) {
            QElapsedTimer t;
            t.start();
            p.video.SetPositionText(QStringLiteral("0:00:%1:%2")
                                        .arg(i / 25, 2, 10, QChar(u'0'))
                                        .arg(i % 25, 2, 10, QChar(u'0')));
            layer.samples.push_back(Since(t));
        }
        // drawtext with the same two lines' worth of text and outline.
        const QString draw =
            QStringLiteral("drawtext=text='%{pts\\:hms}':fontsize=60:borderw=%1:x=(w-tw)/2:"
                           "y=h*0.82,drawtext=text='%{localtime}':fontsize=60:borderw=%1:"
                           "x=(w-tw)/2:y=h*0.82+70")
                .arg(border);
        const Ms perFrame = FfmpegFilterPerFrame(aFile, draw, aFrames);
        g_rows.push_back({QStringLiteral("1080p text compose + layer, border %1").arg(border),
                          layer.Pct(0.5), layer.Pct(0.95), perFrame, perFrame,
                          QStringLiteral("frame period 40 ms; ffmpeg: drawtext per frame")});
    }
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
    const int frames = quick ? 100 : 250;
    const int seeks = quick ? 10 : 40;

    using MediaMaker::TClip;
    TClip h264;
    h264.Frames = frames;
    h264.Width = 720;
    h264.Height = 576;
    h264.Audio = false;
    h264.Output = {QStringLiteral("-c:v"),     QStringLiteral("libx264"), QStringLiteral("-g"),
                   QStringLiteral("50"),       QStringLiteral("-bf"),     QStringLiteral("3"),
                   QStringLiteral("-pix_fmt"), QStringLiteral("yuv420p")};
    const QString mp4 = dir.filePath(QStringLiteral("sd.mp4"));
    if (MediaMaker::Make(mp4, h264))
        Navigation(QStringLiteral("H.264 576p GOP 50"), mp4, seeks);
    Navigation(QStringLiteral("DV PAL"), MediaMaker::DvType2Avi(dir.path(), frames), seeks);
    Navigation(QStringLiteral("MPEG-2 PS"), MediaMaker::Mpeg2Program(dir.path(), frames), seeks);

    TClip hd = h264;
    hd.Frames = quick ? 125 : 500;
    hd.Width = 1920;
    hd.Height = 1080;
    hd.Output << QStringLiteral("-preset") << QStringLiteral("veryfast");
    const QString hdFile = dir.filePath(QStringLiteral("hd.mp4"));
    if (MediaMaker::Make(hdFile, hd)) {
        TextLayer(hdFile, hd.Frames);
        Playback(hdFile, hd.Frames, !app.arguments().contains(QStringLiteral("--no-text")));
    }
    Print();
    return 0;
}
