#pragma once
// What the media benchmarks share: timing, the ffmpeg command line timed from its start, and a
// file opened through the real managers as the program opens it.
#include "MediaMaker.h"
#include "media/TMediaFactory.h"
#include "media/TNavMan.h"
#include "media/TVideoMan.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QProcess>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <vector>

namespace Bench {

using Ms = double;

struct TStats {
    std::vector<Ms> samples;
    Ms Pct(double aP) const
    {
        if (samples.empty())
            return 0;
        std::vector<Ms> s = samples;
        std::sort(s.begin(), s.end());
        return s[std::min(s.size() - 1, size_t(aP * double(s.size() - 1) + 0.5))];
    }
};

inline Ms Since(const QElapsedTimer& aTimer)
{
    return double(aTimer.nsecsElapsed()) / 1e6;
}

// Wall time of one ffmpeg command, process start included: that is what the command line costs.
inline Ms Ffmpeg(const QStringList& aArgs)
{
    QElapsedTimer t;
    t.start();
    QProcess p;
    p.start(QStringLiteral("ffmpeg"), QStringList{QStringLiteral("-hide_banner"),
                                                  QStringLiteral("-v"), QStringLiteral("error")} +
                                          aArgs);
    if (!p.waitForFinished(120000) || p.exitCode() != 0)
        return -1;
    return Since(t);
}

// What a video filter costs ffmpeg per frame: the whole file decoded with it, less without it.
inline Ms FfmpegFilterPerFrame(const QString& aFile, const QString& aFilter, int aFrames)
{
    const QStringList in{QStringLiteral("-i"), aFile, QStringLiteral("-an")};
    const QStringList out{QStringLiteral("-f"), QStringLiteral("null"), QStringLiteral("-")};
    const Ms with = Ffmpeg(in + QStringList{QStringLiteral("-vf"), aFilter} + out);
    const Ms without = Ffmpeg(in + out);
    return with > 0 && without > 0 ? std::max(0.0, with - without) / std::max(1, aFrames) : 0;
}

// aFrames of H.264 (a key frame every 50, B-frames) without sound; empty on failure.
inline QString MakeH264Clip(const QString& aFolder, int aFrames, int aWidth, int aHeight)
{
    MediaMaker::TClip clip;
    clip.Frames = aFrames;
    clip.Width = aWidth;
    clip.Height = aHeight;
    clip.Audio = false;
    clip.Output = {QStringLiteral("-c:v"),     QStringLiteral("libx264"), QStringLiteral("-g"),
                   QStringLiteral("50"),       QStringLiteral("-bf"),     QStringLiteral("3"),
                   QStringLiteral("-pix_fmt"), QStringLiteral("yuv420p"), QStringLiteral("-preset"),
                   QStringLiteral("veryfast")};
    const QString file = QDir(aFolder).filePath(QStringLiteral("h264-%1.mp4").arg(aHeight));
    return MediaMaker::Make(file, clip) ? file : QString();
}

inline QString MakeHdClip(const QString& aFolder, int aFrames)
{
    return MakeH264Clip(aFolder, aFrames, 1920, 1080);
}

inline double CpuSeconds(int aWho)
{
    rusage u{};
    getrusage(aWho, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

inline QString Seconds(qint64 aRefTime)
{
    return QString::number(double(aRefTime) / 1e7, 'f', 4);
}

inline int StripOf(const QImage& aImage)
{
    return MediaMaker::ReadStrip(aImage.constBits(), int(aImage.bytesPerLine()), aImage.width(),
                                 aImage.height());
}

// One file opened as the program opens it, painted into an off-screen window of 1280x720.
struct TPlayer {
    TNavMan nav;
    TVideoMan video;
    TMediaFactory factory;
    QImage window{1280, 720, QImage::Format_RGB32};
    TStats paints;
    std::set<int> seen; // frame numbers painted
    bool dirty = false;

    TPlayer()
    {
        nav.Setup();
        video.Setup();
        factory.GrapheMan = &nav;
        // As a widget does: a repaint asks for a paint on the next turn of the loop.
        video.OnRepaint = [this] { dirty = true; };
    }
    void PaintIfAsked()
    {
        if (!dirty)
            return;
        dirty = false;
        QElapsedTimer t;
        t.start();
        QPainter p(&window);
        video.Paint(p, window.rect(), Qt::black);
        p.end();
        paints.samples.push_back(Since(t));
        seen.insert(StripOf(window));
    }
    ~TPlayer() { video.DisconnectVideo(false); }

    bool Open(const QString& aFile)
    {
        TFileDevice* d = factory.GetDevice(aFile);
        if (!d || !d->Video(0))
            return false;
        nav.NewFile();
        video.ResetForFile();
        if (!video.ConnectVideo(d->Video(0)))
            return false;
        nav.SetRange(true, -1, -1);
        QCoreApplication::sendPostedEvents();
        return nav.FrameDuration() > 1;
    }
    int Shown()
    {
        QCoreApplication::sendPostedEvents();
        QImage img;
        return video.GetCurrentImage(img) ? StripOf(img.convertToFormat(QImage::Format_RGB32)) : -1;
    }
    qint64 Frame(int aN) const { return aN * nav.FrameDuration() + nav.FrameDuration() / 3; }
    int Frames() const { return int(nav.TotalDuration() / nav.FrameDuration()); }
};

struct TRow {
    QString what;
    Ms ours50 = 0, ours95 = 0, ff50 = 0, ff95 = 0;
    QString note;
};
inline std::vector<TRow> g_rows;

inline void Print()
{
    std::printf("\n%-44s %9s %9s %9s %9s %7s  %s\n", "measure", "ours p50", "ours p95", "ffmpeg50",
                "ffmpeg95", "ratio", "note");
    for (const TRow& r : g_rows) {
        const double ratio = r.ff50 > 0 ? r.ours50 / r.ff50 : 0;
        std::printf("%-44s %9.2f %9.2f %9.2f %9.2f %7.3f  %s\n", qPrintable(r.what), r.ours50,
                    r.ours95, r.ff50, r.ff95, ratio, qPrintable(r.note));
    }
    std::printf("(milliseconds; ratio = ours p50 / ffmpeg p50; ffmpeg times include its start)\n");
}

} // namespace Bench
