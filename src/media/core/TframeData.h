#pragma once

#include <QString>

// TV systems read from DV frames.
enum TTvSystem : quint8 {
    tvSystem625 = 0, // 625 lines, 50 Hz
    tvSystem525 = 1, // 525 lines, 60 Hz
    tvSystemUndecided = 2,
};

// What the stream notifier knows about the current frame.
struct TframeData {
    qint32 frameNumber = 0;
    bool dvInfoFormat = false; // interleaved DV stream
    bool dvFrameRead = false;
    quint8 tvSystem = tvSystem625;
    bool dateValid = false;
    double date = 0; // days since 1899-12-30, fraction = time of day
    double earliestDate = 0;
    QString dateText;
    bool timecodeValid = false;
    quint8 hours = 0;
    quint8 minutes = 0;
    quint8 seconds = 0;
    quint8 frames = 0;
    QString timecodeText;
    QString audioFormatName;
    qint32 channels = 0;
    qint32 bitsPerSample = 0;
    qint32 samplingRate = 0;
    qint32 bitRate = 0;
    QString audioText;

    bool operator==(const TframeData&) const = default;
};

// The DV values handed to the on-video text.
struct TIncrustDV {
    bool dateValid = false;
    bool timecodeValid = false;
    double date = 0;
    QString timecodeText;

    bool operator==(const TIncrustDV&) const = default;
};
