#pragma once

#include <QString>

// The facts of a stream's caps that the format helpers need, free of GStreamer types.
struct TStreamFormat {
    QString name; // caps structure name, e.g. "video/x-dv"
    bool systemStream = false;
    QString format;           // the "format" field (raw formats, WMV and DV variants)
    int version = 0;          // mpegversion, divxversion, msmpegversion, wmvversion, ...
    int layer = 0;            // MPEG audio layer
    int mpegAudioVersion = 0; // MPEG audio: 1, 2 or 3 (2.5)
    QString layout;           // ADPCM layout
    int width = 0;
    int height = 0;
    int fpsNum = 0; // 0: no frame rate
    int fpsDen = 1;
    int parNum = 0; // 0: no pixel aspect ratio
    int parDen = 0;
    int bitCount = 0; // bits per pixel
    int bitRate = 0;  // bits per second, 0 when unknown
    int channels = 0;
    int rate = 0;
    int bitsPerSample = 0;
};

enum class TStreamKind {
    Other,
    Video,         // elementary video other than the ones below
    DvVideo,       // video/x-dv, systemstream=false
    DvInterleaved, // video/x-dv, systemstream=true
    Mpeg2Video,    // video/mpeg, mpegversion=2, elementary
    Audio,
};

TStreamKind StreamKind(const TStreamFormat& format);
