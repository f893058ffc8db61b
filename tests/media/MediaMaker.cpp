#include "MediaMaker.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QtEndian>

#include <cstring>
#include <vector>

namespace MediaMaker {

namespace {

constexpr int kBits = 16;

struct TStripGeometry {
    int x0, y0, bw, bh;
};

TStripGeometry Geometry(int aWidth, int aHeight)
{
    const int bw = aWidth / 20;
    return {bw, aHeight / 24, bw, aHeight / 12};
}

std::uint8_t Bcd(int v)
{
    return std::uint8_t(((v / 10) << 4) | (v % 10));
}

void Put32(QByteArray& a, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    a.append(b, 4);
}

void Put16(QByteArray& a, quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    a.append(b, 2);
}

QByteArray Chunk(const char* aId, const QByteArray& aData)
{
    QByteArray c(aId, 4);
    Put32(c, quint32(aData.size()));
    c += aData;
    if (aData.size() % 2)
        c += '\0';
    return c;
}

// "25" or "30000/1001".
double FramesPerSecond(const QString& aRate)
{
    const double num = aRate.section(u'/', 0, 0).toDouble();
    const double den = aRate.contains(u'/') ? aRate.section(u'/', 1).toDouble() : 1.0;
    return num > 0 && den > 0 ? num / den : 25.0;
}

QByteArray List(const char* aType, const QByteArray& aData)
{
    return Chunk("LIST", QByteArray(aType, 4) + aData);
}

} // namespace

void DrawStrip(std::uint8_t* aLuma, int aStride, int aWidth, int aHeight, int aNumber)
{
    const TStripGeometry g = Geometry(aWidth, aHeight);
    // A grey band around the blocks keeps them apart from the moving picture.
    for (int y = qMax(0, g.y0 - 4); y < qMin(aHeight, g.y0 + g.bh + 4); ++y)
        std::memset(aLuma + y * aStride, 128, size_t(aWidth));
    for (int bit = 0; bit < kBits; ++bit) {
        const std::uint8_t v = (aNumber >> (kBits - 1 - bit)) & 1 ? 235 : 16;
        for (int y = g.y0; y < g.y0 + g.bh; ++y)
            std::memset(aLuma + y * aStride + g.x0 + bit * g.bw + 2, v, size_t(g.bw - 4));
    }
}

int ReadStrip(const std::uint8_t* aBgrx, int aStride, int aWidth, int aHeight)
{
    const TStripGeometry g = Geometry(aWidth, aHeight);
    int n = 0;
    for (int bit = 0; bit < kBits; ++bit) {
        long sum = 0, count = 0;
        const int x1 = g.x0 + bit * g.bw + g.bw / 4, x2 = g.x0 + (bit + 1) * g.bw - g.bw / 4;
        for (int y = g.y0 + g.bh / 4; y < g.y0 + g.bh - g.bh / 4; ++y)
            for (int x = x1; x < x2; ++x) {
                const std::uint8_t* p = aBgrx + y * aStride + x * 4;
                sum += (p[0] + p[1] + p[2]) / 3;
                ++count;
            }
        const long mean = count ? sum / count : 0;
        if (mean > 96 && mean < 160)
            return -1;
        n = (n << 1) | (mean >= 160 ? 1 : 0);
    }
    return n;
}

void DrawDigits(std::uint8_t* aLuma, int aStride, int aX, int aY, int aNumber)
{
    // Segments a..g of each digit, as bits 0..6.
    static const std::uint8_t kSegments[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66,
                                               0x6D, 0x7D, 0x07, 0x7F, 0x6F};
    const QByteArray text = QByteArray::number(qMax(0, aNumber));
    constexpr int kW = 40, kH = 72, kT = 8, kGap = 16;
    const auto fill = [&](int x, int y, int w, int h, std::uint8_t v) {
        for (int r = y; r < y + h; ++r)
            for (int c = x; c < x + w; ++c)
                aLuma[r * aStride + c] = v;
    };
    fill(aX - kGap, aY - kGap, int(text.size()) * (kW + kGap) + kGap, kH + 2 * kGap, 16);
    for (int i = 0; i < text.size(); ++i) {
        const int x = aX + i * (kW + kGap);
        const std::uint8_t seg = kSegments[text[i] - '0'];
        const int half = kH / 2;
        const struct {
            int x, y, w, h;
        } parts[7] = {{x, aY, kW, kT},
                      {x + kW - kT, aY, kT, half},
                      {x + kW - kT, aY + half, kT, half},
                      {x, aY + kH - kT, kW, kT},
                      {x, aY + half, kT, half},
                      {x, aY, kT, half},
                      {x, aY + half - kT / 2, kW, kT}};
        for (int b = 0; b < 7; ++b)
            if (seg & (1 << b))
                fill(parts[b].x, parts[b].y, parts[b].w, parts[b].h, 235);
    }
}

bool Make(const QString& aPath, const TClip& aClip, QString* aError)
{
    QStringList args = {QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"),
                        QStringLiteral("error"), QStringLiteral("-y")};
    if (aClip.Video)
        args << QStringLiteral("-f") << QStringLiteral("rawvideo") << QStringLiteral("-pix_fmt")
             << QStringLiteral("yuv420p") << QStringLiteral("-s")
             << QStringLiteral("%1x%2").arg(aClip.Width).arg(aClip.Height) << QStringLiteral("-r")
             << aClip.Rate << QStringLiteral("-i") << QStringLiteral("pipe:0");
    if (aClip.Audio)
        args << QStringLiteral("-f") << QStringLiteral("lavfi") << QStringLiteral("-i")
             << QStringLiteral("sine=frequency=440:sample_rate=48000:duration=%1")
                    .arg(aClip.Frames / FramesPerSecond(aClip.Rate));
    if (aClip.Video && aClip.Audio)
        args << QStringLiteral("-shortest");
    args << aClip.Output << aPath;
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"), args);
    if (!ffmpeg.waitForStarted()) {
        if (aError)
            *aError = QStringLiteral("no ffmpeg");
        return false;
    }
    if (aClip.Video) {
        const int w = aClip.Width, h = aClip.Height;
        QByteArray frame(w * h * 3 / 2, char(128));
        for (int n = 0; n < aClip.Frames; ++n) {
            auto* y = reinterpret_cast<std::uint8_t*>(frame.data());
            // A moving ramp, so that the codecs have something to code between the strips.
            for (int row = 0; row < h; ++row)
                for (int col = 0; col < w; ++col)
                    y[row * w + col] = std::uint8_t(40 + ((col + row + n * 7) % 160));
            DrawStrip(y, w, w, h, n);
            if (aClip.Digits)
                DrawDigits(y, w, w / 2 - 100, h / 2 - 36, n);
            ffmpeg.write(frame);
            ffmpeg.waitForBytesWritten(30000);
        }
    }
    ffmpeg.closeWriteChannel();
    if (!ffmpeg.waitForFinished(120000) || ffmpeg.exitCode() != 0) {
        if (aError)
            *aError = QString::fromUtf8(ffmpeg.readAllStandardError());
        return false;
    }
    return QFile::exists(aPath);
}

namespace {

QString MakeInto(const QString& aFolder, const char* aName, const TClip& aClip)
{
    const QString path = QDir(aFolder).filePath(QString::fromUtf8(aName));
    return Make(path, aClip) ? path : QString();
}

TClip Dv(int aFrames)
{
    TClip c;
    c.Frames = aFrames;
    c.Width = 720;
    c.Height = 576;
    return c;
}

} // namespace

QString Mp4H264Aac(const QString& aFolder, int aFrames)
{
    TClip c;
    c.Frames = aFrames;
    c.Output = {QStringLiteral("-c:v"),    QStringLiteral("libx264"), QStringLiteral("-g"),
                QStringLiteral("12"),      QStringLiteral("-bf"),     QStringLiteral("2"),
                QStringLiteral("-crf"),    QStringLiteral("18"),      QStringLiteral("-pix_fmt"),
                QStringLiteral("yuv420p"), QStringLiteral("-c:a"),    QStringLiteral("aac")};
    return MakeInto(aFolder, "clip.mp4", c);
}

QString H264LongGop(const QString& aFolder, int aFrames, int aGop, const QString& aName)
{
    TClip c;
    c.Frames = aFrames;
    c.Output = {QStringLiteral("-c:v"),     QStringLiteral("libx264"),
                QStringLiteral("-g"),       QString::number(aGop),
                QStringLiteral("-keyint_min"), QString::number(aGop),
                QStringLiteral("-sc_threshold"), QStringLiteral("0"),
                QStringLiteral("-bf"),      QStringLiteral("2"),
                QStringLiteral("-crf"),     QStringLiteral("18"),
                QStringLiteral("-pix_fmt"), QStringLiteral("yuv420p"),
                QStringLiteral("-c:a"),     QStringLiteral("aac")};
    return MakeInto(aFolder, aName.toUtf8().constData(), c);
}

QString MkvH264Vorbis(const QString& aFolder, int aFrames)
{
    TClip c;
    c.Frames = aFrames;
    c.Output = {QStringLiteral("-c:v"),     QStringLiteral("libx264"), QStringLiteral("-g"),
                QStringLiteral("10"),       QStringLiteral("-crf"),    QStringLiteral("18"),
                QStringLiteral("-pix_fmt"), QStringLiteral("yuv420p"), QStringLiteral("-c:a"),
                QStringLiteral("libvorbis")};
    return MakeInto(aFolder, "clip.mkv", c);
}

QString Mpeg2Program(const QString& aFolder, int aFrames)
{
    TClip c;
    c.Frames = aFrames;
    c.Output = {QStringLiteral("-c:v"), QStringLiteral("mpeg2video"), QStringLiteral("-g"),
                QStringLiteral("6"),    QStringLiteral("-q:v"),       QStringLiteral("2"),
                QStringLiteral("-c:a"), QStringLiteral("mp2"),        QStringLiteral("-f"),
                QStringLiteral("mpeg")};
    return MakeInto(aFolder, "clip.mpg", c);
}

QString DvType2Avi(const QString& aFolder, int aFrames)
{
    TClip c = Dv(aFrames);
    c.Output = {QStringLiteral("-c:v"),    QStringLiteral("dvvideo"), QStringLiteral("-pix_fmt"),
                QStringLiteral("yuv420p"), QStringLiteral("-c:a"),    QStringLiteral("pcm_s16le"),
                QStringLiteral("-ac"),     QStringLiteral("2"),       QStringLiteral("-f"),
                QStringLiteral("avi")};
    return MakeInto(aFolder, "type2.avi", c);
}

namespace {

QByteArray RawDvFrames(const QString& aFolder, int aFrames, bool aDigits = false)
{
    TClip c = Dv(aFrames);
    c.Digits = aDigits;
    c.Output = {QStringLiteral("-target"), QStringLiteral("pal-dv"), QStringLiteral("-f"),
                QStringLiteral("dv")};
    const QString path = QDir(aFolder).filePath(QStringLiteral("unstamped.dv"));
    if (!Make(path, c))
        return {};
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QByteArray frames = f.readAll();
    f.close();
    QFile::remove(path);
    return frames;
}

QString WriteFile(const QString& aFolder, const char* aName, const QByteArray& aBytes)
{
    if (aBytes.isEmpty())
        return QString();
    const QString path = QDir(aFolder).filePath(QString::fromUtf8(aName));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(aBytes) != aBytes.size())
        return QString();
    return path;
}

} // namespace

QString RawDv(const QString& aFolder, int aFrames)
{
    return WriteFile(aFolder, "tape.dv", StampDvPacks(RawDvFrames(aFolder, aFrames)));
}

QString DvType1Avi(const QString& aFolder, int aFrames)
{
    const QByteArray frames = StampDvPacks(RawDvFrames(aFolder, aFrames));
    return WriteFile(aFolder, "type1.avi",
                     frames.isEmpty() ? QByteArray() : DvType1AviFile(frames));
}

QString DemoClip(const QString& aFolder)
{
    const QByteArray frames = StampDvPacks(RawDvFrames(aFolder, 250, true));
    return WriteFile(aFolder, "demo.avi", frames.isEmpty() ? QByteArray() : DvType1AviFile(frames));
}

namespace {

QString Tone(const QString& aFolder, const char* aName, const char* aCodec)
{
    TClip c;
    c.Frames = 25;
    c.Video = false;
    c.Output = {QStringLiteral("-c:a"), QString::fromLatin1(aCodec)};
    return MakeInto(aFolder, aName, c);
}

} // namespace

QString Wav(const QString& aFolder)
{
    return Tone(aFolder, "tone.wav", "pcm_s16le");
}

QString SoundOnlyMkv(const QString& aFolder)
{
    return Tone(aFolder, "tone.mkv", "libvorbis");
}

QString Truncated(const QString& aFile, qint64 aKeep, const QString& aName)
{
    QFile in(aFile);
    if (!in.open(QIODevice::ReadOnly))
        return QString();
    const QString path = QFileInfo(aFile).dir().filePath(aName);
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return QString();
    out.write(in.read(aKeep));
    return path;
}

QByteArray StampDvPacks(QByteArray aFrames, const TDvStamp& aStamp)
{
    constexpr int kFrame = 144000;
    auto* d = reinterpret_cast<std::uint8_t*>(aFrames.data());
    const int first =
        ((aStamp.Hours * 60 + aStamp.Minutes) * 60 + aStamp.Seconds) * 25 + aStamp.Frames;
    const QTime t = aStamp.Recorded.time();
    const QDate day = aStamp.Recorded.date();
    for (int f = 0; f < aFrames.size() / kFrame; ++f) {
        const int at = first + f;
        const std::uint8_t tc[] = {0x13, Bcd(at % 25), Bcd(at / 25 % 60), Bcd(at / 1500 % 60),
                                   Bcd(at / 90000 % 24)};
        const std::uint8_t rec[] = {
            0x62, 0xFF, Bcd(day.day()),  Bcd(day.month()), Bcd(day.year() % 100),
            0x63, 0xFF, Bcd(t.second()), Bcd(t.minute()),  Bcd(t.hour())};
        for (int n = 0; n < 12; ++n) {
            std::uint8_t* seq = d + f * kFrame + n * 12000;
            for (int id : {110, 190})
                std::memcpy(seq + id, tc, sizeof tc);
            std::memcpy(seq + 458, rec, sizeof rec);
        }
    }
    return aFrames;
}

QString DvTape(const QString& aFolder, int aFrames, const TDvStamp& aStamp)
{
    const QByteArray frames = StampDvPacks(RawDvFrames(aFolder, aFrames, true), aStamp);
    return WriteFile(aFolder, "tape.avi", frames.isEmpty() ? QByteArray() : DvType1AviFile(frames));
}

QByteArray StampDvPacks(QByteArray aFrames)
{
    constexpr int kFrame = 144000;
    auto* d = reinterpret_cast<std::uint8_t*>(aFrames.data());
    for (int f = 0; f < aFrames.size() / kFrame; ++f) {
        for (int n = 0; n < 12; ++n) {
            std::uint8_t* seq = d + f * kFrame + n * 12000;
            for (int id : {110, 190}) {
                const std::uint8_t tc[] = {0x13, Bcd(f % 25), Bcd(30), Bcd(20), Bcd(10)};
                std::memcpy(seq + id, tc, sizeof tc);
            }
            const std::uint8_t rec[] = {0x62, 0xFF, Bcd(4), Bcd(5), Bcd(6),
                                        0x63, 0xFF, Bcd(1), Bcd(2), Bcd(3)};
            std::memcpy(seq + 458, rec, sizeof rec);
        }
    }
    return aFrames;
}

QByteArray DvType1AviFile(const QByteArray& aFrames)
{
    constexpr int kFrame = 144000;
    const int n = int(aFrames.size() / kFrame);
    QByteArray avih;
    for (quint32 v : {40000u, quint32(kFrame * 25), 0u, 0x10u, quint32(n), 0u, 1u, quint32(kFrame),
                      720u, 576u, 0u, 0u, 0u, 0u})
        Put32(avih, v);
    QByteArray strh("iavsdvsd", 8);
    for (quint32 v : {0u, 0u, 0u, 1u, 25u, 0u, quint32(n), quint32(kFrame), 0xFFFFFFFFu, 0u})
        Put32(strh, v);
    for (quint16 v : {quint16(0), quint16(0), quint16(720), quint16(576)})
        Put16(strh, v);
    const QByteArray strf(32, '\0'); // DVINFO: the packs in the frames say it all
    const QByteArray hdrl =
        List("hdrl", Chunk("avih", avih) + List("strl", Chunk("strh", strh) + Chunk("strf", strf)));
    QByteArray movi("movi", 4), idx;
    for (int f = 0; f < n; ++f) {
        const quint32 offset = quint32(movi.size());
        movi += Chunk("00db", aFrames.mid(f * kFrame, kFrame));
        idx += QByteArray("00db", 4);
        Put32(idx, 0x10); // key frame
        Put32(idx, offset);
        Put32(idx, kFrame);
    }
    const QByteArray body = QByteArray("AVI ", 4) + hdrl + Chunk("LIST", movi) + Chunk("idx1", idx);
    return Chunk("RIFF", body);
}

QList<QByteArray> DecodeWithFfmpeg(const QString& aFile, int aWidth, int aHeight, int aMaxFrames)
{
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 {QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"),
                  QStringLiteral("error"), QStringLiteral("-i"), aFile, QStringLiteral("-an"),
                  QStringLiteral("-frames:v"), QString::number(aMaxFrames), QStringLiteral("-f"),
                  QStringLiteral("rawvideo"), QStringLiteral("-pix_fmt"), QStringLiteral("bgr0"),
                  QStringLiteral("pipe:1")});
    QList<QByteArray> frames;
    if (!ffmpeg.waitForFinished(120000))
        return frames;
    const QByteArray all = ffmpeg.readAllStandardOutput();
    const int size = aWidth * aHeight * 4;
    for (int at = 0; at + size <= all.size(); at += size)
        frames << all.mid(at, size);
    return frames;
}

} // namespace MediaMaker
