#pragma once

#include <QString>

// Aspect classes of a video description.
enum TAspectClass : quint8 {
    acAspect4x3 = 0,
    acAspect16x9 = 1,
    acAspectNone = 2,
    acAspectOther = 3,
};

// Description of a video format, as reported by the notifiers.
struct TVideoData {
    bool valid = false;
    qint32 width = 0;
    qint32 height = 0;
    qint32 bitCount = 0;
    qint64 averageFrameTime = 0; // reference time per frame
    QString subtypeName;
    qint32 aspectX = 0; // picture aspect, 0 when the format gives none
    qint32 aspectY = 0;
    qint32 bitRate = 0;
    double frameRate = 0;
    QString sizeText;
    quint8 aspectClass = acAspectNone;
    QString description;

    bool operator==(const TVideoData&) const = default;
};
