#pragma once

#include "media/core/TStreamFormat.h"
#include "media/core/TVideoData.h"

#include <QLocale>
#include <QString>

// Fills v from an elementary video format. A format that is not elementary video sets only
// v.valid = false and leaves the rest of v as it was.
void DescribeVideoFormat(const TStreamFormat& format, TVideoData& v,
                         const QLocale& locale = QLocale());

// The rules shared by every description: aspect class (reducing an unusual aspect below 100),
// description text, frame rate when only the frame time is known, size text.
void CompleteVideoData(TVideoData& v, const QLocale& locale = QLocale());

// Aspect class of a picture aspect; 2 when neither part is positive.
quint8 AspectClass(qint32 x, qint32 y);

// "720x576", with " - 25 fps" when the rate is positive; the rate rounded to two decimals in
// the locale's shortest form ("29,97" in French).
QString SizeText(int width, int height, double frameRate, const QLocale& locale = QLocale());

// The codec part of a description: a four-character code ("I420", "H264"), "DV Type 2" for
// DV, "RGB24" style names for RGB, "MPEG1"/"MPEG2" for MPEG video.
QString SubtypeName(const TStreamFormat& format);

// Short audio codec name ("PCM", "MP3", "DOLBY AC3", ...), "???" when not known.
QString AudioFormatName(const TStreamFormat& format);

// The wave-format tag of an audio format, 0 when it has none.
quint16 WaveFormatTag(const TStreamFormat& format);

// Reference time per frame of a frame rate num/den, rounded; 0 without a rate.
qint64 FrameTimeFromRate(int num, int den);
