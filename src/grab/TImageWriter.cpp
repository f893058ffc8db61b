#include "grab/TImageWriter.h"

TImageWriter::TImageWriter()
    : m_thread([this] { Work(); })
{
}

TImageWriter::~TImageWriter()
{
    {
        const std::lock_guard guard(m_lock);
        m_ending = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

QImage TImageWriter::Prepared(const QImage& aImage, QSize aSize)
{
    const QImage sized = aSize.isValid() && aSize != aImage.size()
                             ? aImage.scaled(aSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                             : aImage;
    return sized.convertToFormat(QImage::Format_RGB32);
}

bool TImageWriter::Queue(TJob aJob)
{
    std::unique_lock guard(m_lock);
    m_changed.wait(guard, [this] { return int(m_queue.size()) < kMaxQueued || m_failure; });
    if (m_failure)
        return false;
    m_queue.push_back(std::move(aJob));
    guard.unlock();
    m_changed.notify_all();
    return true;
}

bool TImageWriter::Pending(const QString& aPath) const
{
    const std::lock_guard guard(m_lock);
    if (m_busy && m_writing == aPath)
        return true;
    for (const TJob& job : m_queue)
        if (job.path == aPath)
            return true;
    return false;
}

void TImageWriter::Finish()
{
    std::unique_lock guard(m_lock);
    m_changed.wait(guard, [this] { return m_queue.empty() && !m_busy; });
}

std::optional<TImageWriter::TFailure> TImageWriter::Failure() const
{
    const std::lock_guard guard(m_lock);
    return m_failure;
}

void TImageWriter::Reset()
{
    const std::lock_guard guard(m_lock);
    m_failure.reset();
}

void TImageWriter::Work()
{
    std::unique_lock guard(m_lock);
    for (;;) {
        m_changed.wait(guard, [this] { return !m_queue.empty() || m_ending; });
        if (m_queue.empty())
            return; // ending, and all written
        TJob job = std::move(m_queue.front());
        m_queue.pop_front();
        m_busy = true;
        m_writing = job.path;
        guard.unlock();
        QString error;
        const bool ok =
            SaveImageFile(Prepared(job.image, job.size), job.path, job.format, job.quality, error);
        const qint32 number = job.number;
        job = TJob(); // the image's memory goes before the next one is taken
        guard.lock();
        m_busy = false;
        m_writing.clear();
        if (!ok && !m_failure) {
            m_failure = TFailure{error, number};
            m_queue.clear(); // what followed the failed image is not written out of order
        }
        m_changed.notify_all();
    }
}
