// The stream notifier's per-frame DV reading beside ffmpeg reading the same tape (stream copy,
// no decoding), and the position text beside it. Run: bench_media --benchmark_min_time=1
#include "media/core/FormatPosition.h"
#include "media/core/TNotifier.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

constexpr int kTapeFrames = 250; // 10 s of PAL

struct TTape {
    QTemporaryDir dir;
    QString path;
    QByteArray bytes;

    TTape()
    {
        path = dir.filePath(QStringLiteral("tape.dv"));
        const QByteArray command =
            "ffmpeg -hide_banner -loglevel error -y -f lavfi -i testsrc=size=720x576:rate=25 "
            "-frames:v " +
            QByteArray::number(kTapeFrames) +
            " -target pal-dv -timecode 00:00:00:00 -metadata creation_time=2007-08-09T10:11:12Z " +
            QFile::encodeName(path);
        if (std::system(command.constData()) == 0) {
            QFile f(path);
            if (f.open(QIODevice::ReadOnly))
                bytes = f.readAll();
        }
    }
};

const TTape& Tape()
{
    static const TTape tape;
    return tape;
}

void BM_StreamNotifierDvFrames(benchmark::State& state)
{
    const QByteArray& bytes = Tape().bytes;
    if (bytes.size() < 144000) {
        state.SkipWithError("no tape (ffmpeg missing?)");
        return;
    }
    TNotifier n;
    n.SetVideoNotify(true);
    n.SetDatecodeNotify(true);
    n.SetTimecodeNotify(true);
    TStreamFormat f;
    f.name = QStringLiteral("video/x-dv");
    f.width = 720;
    f.height = 576;
    f.fpsNum = 25;
    TNotifyReports out;
    n.SetMediaType(f, out);
    n.StreamStart();
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    const qsizetype frames = bytes.size() / 144000;
    for (auto _ : state) {
        for (qsizetype i = 0; i < frames; ++i) {
            out.clear();
            n.ProcessSample(data + i * 144000, 144000, out);
        }
        benchmark::DoNotOptimize(out);
    }
    state.SetItemsProcessed(state.iterations() * frames);
}
BENCHMARK(BM_StreamNotifierDvFrames)->Unit(benchmark::kMillisecond);

void BM_FfmpegDvStreamCopy(benchmark::State& state)
{
    const TTape& tape = Tape();
    if (tape.bytes.isEmpty()) {
        state.SkipWithError("no tape (ffmpeg missing?)");
        return;
    }
    const QByteArray command = "ffmpeg -hide_banner -loglevel error -i " +
                               QFile::encodeName(tape.path) + " -c copy -f null -";
    for (auto _ : state)
        if (std::system(command.constData()) != 0)
            state.SkipWithError("ffmpeg failed");
    state.SetItemsProcessed(state.iterations() * kTapeFrames);
}
BENCHMARK(BM_FfmpegDvStreamCopy)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

void BM_FormatPosition(benchmark::State& state)
{
    qint64 t = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FormatPosition(333'667, t));
        t += 333'667;
    }
}
BENCHMARK(BM_FormatPosition);

} // namespace

BENCHMARK_MAIN();
