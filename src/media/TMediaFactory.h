#pragma once

#include "media/TFilterRec.h"
#include "media/TMediaDevices.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>

#include <functional>
#include <map>
#include <memory>

class TGrapheMan;

// Turns a file name into a probed device, choosing the source and splitter from the extension
// with an ordered fallback, and keeps every device it made until the cache is cleared.
class TMediaFactory : public QObject {
    Q_OBJECT
public:
    explicit TMediaFactory(QObject* aOwner = nullptr);
    ~TMediaFactory() override;

    // The graph the devices' sources go to; null when that manager is gone.
    QPointer<TGrapheMan> GrapheMan;
    // A cached device is about to be freed: whoever plays one of its sources lets it go.
    std::function<void(TFileDevice*)> OnReleaseDevice;

    // The cached device of the file (probed again when the file changed since), or a new one;
    // null without GrapheMan or for an extension the program does not play.
    TFileDevice* GetDevice(const QString& aFileName);
    // A new device, not cached: the alternatives of the extension in order until one is valid.
    std::unique_ptr<TFileDevice> CreateDevice(const QString& aFileName) const;
    // The primary source becomes aRecord (not owned), or the built-in one for null or a record
    // without factory; then the cache is cleared.
    void SetSourceFilter(const TFilterRec* aRecord);
    const TFilterRec* PrimarySource() const { return m_primary; }
    void ClearCache();
    int CachedCount() const { return int(m_cache.size()); }

    // The part of the name from its last dot, lower-cased, when no "/" follows the dot.
    static QString Extension(const QString& aFileName);

private:
    struct TEntry {
        std::unique_ptr<TFileDevice> Device;
        qint64 Size = -1;
        QDateTime Modified;
    };
    void Release(TEntry& aEntry);

    std::map<QString, TEntry> m_cache;
    const TFilterRec* m_primary;
    TFilterRec m_builtinPrimary{QStringLiteral("parsebin"), QStringLiteral("LAV Splitter Source")};
    TFilterRec m_fileSource{QStringLiteral("filesrc"), QStringLiteral("File Source (Async.)")};
    TFilterRec m_avi{QStringLiteral("avidemux"), QStringLiteral("AVI Splitter")};
    TFilterRec m_asf{QStringLiteral("asfdemux"), QStringLiteral("WM ASF Reader")};
    TFilterRec m_wave{QStringLiteral("wavparse"), QStringLiteral("Wave Parser")};
    TFilterRec m_mpeg2Program{QStringLiteral("mpegpsdemux"), QStringLiteral("MPEG-2 Splitter")};
    TFilterRec m_mpeg2Transport{QStringLiteral("tsdemux"), QStringLiteral("MPEG-2 Splitter")};
    TFilterRec m_mpeg1{QStringLiteral("mpegpsdemux"), QStringLiteral("MPEG-I Stream Splitter")};
};
