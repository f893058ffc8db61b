#pragma once

#include "grab/ImageFiles.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

// Scales, encodes and writes grabbed images on one worker thread, so that a run of grabs goes
// on to its next frame meanwhile. At most kMaxQueued images wait; the one who queues waits
// when they are there. After a failed write nothing more is written: the images queued after
// it are dropped and further ones refused, until Reset.
class TImageWriter {
public:
    static constexpr int kMaxQueued = 4;

    struct TJob {
        QImage image;
        QSize size; // scaled to this first when it differs (smoothly, as a single grab is)
        QString path;
        TImageFileFormat format = TImageFileFormat::Bmp;
        int quality = 0; // a stored JPEG setting
        qint32 number = 0;
    };
    struct TFailure {
        QString error; // in French, for the user
        qint32 number = 0;
    };

    TImageWriter();
    // Writes what is queued, then ends the thread.
    ~TImageWriter();
    TImageWriter(const TImageWriter&) = delete;
    TImageWriter& operator=(const TImageWriter&) = delete;

    // False, the image dropped, once a write has failed.
    bool Queue(TJob aJob);
    // Whether aPath waits in the queue or is being written: it will exist.
    bool Pending(const QString& aPath) const;
    // Returns once every image queued is written or dropped.
    void Finish();
    std::optional<TFailure> Failure() const;
    void Reset();

    // The image as it is written: scaled to aSize, 32-bit.
    static QImage Prepared(const QImage& aImage, QSize aSize);

private:
    void Work();

    mutable std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<TJob> m_queue;
    QString m_writing; // the path of the image on the worker now
    bool m_busy = false;
    bool m_ending = false;
    std::optional<TFailure> m_failure;
    std::thread m_thread;
};
