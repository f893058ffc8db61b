#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <cstdint>

// Test media made at run time: every frame carries its number as a strip of 16 blocks across
// the top of the picture (white for 1, black for 0), which survives any codec; the ffmpeg
// command line encodes the frames (and a tone) into the container asked for.
namespace MediaMaker {

// The frame-number strip, drawn into a luma plane and read back from a BGRx picture.
void DrawStrip(std::uint8_t* aLuma, int aStride, int aWidth, int aHeight, int aNumber);
// The number in large seven-segment digits, white on a dark box, at (aX, aY): for people.
void DrawDigits(std::uint8_t* aLuma, int aStride, int aX, int aY, int aNumber);
// -1 when the strip is not there (a block neither clearly white nor clearly black).
int ReadStrip(const std::uint8_t* aBgrx, int aStride, int aWidth, int aHeight);

struct TClip {
    int Frames = 25;
    int Width = 320;
    int Height = 240;
    QString Rate = QStringLiteral("25");
    bool Video = true;
    bool Audio = true;
    bool Digits = false; // the frame number also in digits, for people
    QStringList Output;  // ffmpeg's output options: codecs, format
};
// Encodes the clip into aPath; false (with the reason in aError) when ffmpeg fails.
bool Make(const QString& aPath, const TClip& aClip, QString* aError = nullptr);

// The usual clips, into aFolder; each answers the file's path, or an empty text on failure.
QString Mp4H264Aac(const QString& aFolder, int aFrames = 50);
QString MkvH264Vorbis(const QString& aFolder, int aFrames = 25);
// H.264 with B-frames and a key frame every aGop frames (one only when aGop >= aFrames), with
// sound, in an MP4 named aName.
QString H264LongGop(const QString& aFolder, int aFrames, int aGop,
                    const QString& aName = QStringLiteral("longgop.mp4"));
QString Mpeg2Program(const QString& aFolder, int aFrames = 25);
QString DvType2Avi(const QString& aFolder, int aFrames = 12);
QString RawDv(const QString& aFolder, int aFrames = 12);
QString DvType1Avi(const QString& aFolder, int aFrames = 12);
QString Wav(const QString& aFolder);
// A second of sound alone, in a container the window opens (Matroska with Vorbis).
QString SoundOnlyMkv(const QString& aFolder);
// Ten seconds of DV in an AVI with sound, recording date and timecode, the frame number in
// digits: the clip a newcomer sees first.
QString DemoClip(const QString& aFolder);
// The first aKeep bytes of a file, under a new name.
QString Truncated(const QString& aFile, qint64 aKeep, const QString& aName);

// Raw DV frames (144,000 bytes each) with the camcorder packs written into every sequence:
// timecode 10:20:30:<frame>, recorded 2006-05-04 03:02:01.
QByteArray StampDvPacks(QByteArray aFrames);
// The same with a recording date and a timecode that counts on from frame 0's.
struct TDvStamp {
    QDateTime Recorded;
    int Hours = 0, Minutes = 0, Seconds = 0, Frames = 0;
};
QByteArray StampDvPacks(QByteArray aFrames, const TDvStamp& aStamp);
// A DV type 1 AVI of aFrames PAL frames (the number in digits too) stamped with aStamp.
QString DvTape(const QString& aFolder, int aFrames, const TDvStamp& aStamp);
// An AVI file with one interleaved DV stream ("iavs"), written byte by byte.
QByteArray DvType1AviFile(const QByteArray& aFrames);

// Decodes a file with the ffmpeg command line into BGRx frames at native size: the independent
// decode tests compare ours with.
QList<QByteArray> DecodeWithFfmpeg(const QString& aFile, int aWidth, int aHeight, int aMaxFrames);

} // namespace MediaMaker
