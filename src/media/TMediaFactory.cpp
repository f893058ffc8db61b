#include "media/TMediaFactory.h"

#include "media/TGrapheMan.h"

#include <QFileInfo>
#include <QStringList>

#include <vector>

GST_DEBUG_CATEGORY_STATIC(tess_factory_debug);
#define GST_CAT_DEFAULT tess_factory_debug

namespace {

const QStringList kSplitByPrimary = {
    QStringLiteral(".mts"), QStringLiteral(".m2ts"), QStringLiteral(".mkv"),
    QStringLiteral(".mov"), QStringLiteral(".mp4"),  QStringLiteral(".3g2"),
    QStringLiteral(".ts"),  QStringLiteral(".mpg"),  QStringLiteral(".mpeg"),
    QStringLiteral(".m1v"), QStringLiteral(".mp2"),  QStringLiteral(".mpe"),
    QStringLiteral(".vob"), QStringLiteral(".m4v"),  QStringLiteral(".m2v")};
// Raw DV, as Linux capture tools write it: only the primary source reads it.
const QStringList kRawDv = {QStringLiteral(".dv"), QStringLiteral(".dif")};
const QStringList kAvi = {QStringLiteral(".avi"), QStringLiteral(".ivf")};
const QStringList kAsf = {QStringLiteral(".wmv"), QStringLiteral(".asf")};

// The cache key: the file as the file system knows it (links resolved), not its spelling.
QString CacheKey(const QString& aFileName)
{
    const QFileInfo info(aFileName);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

} // namespace

TMediaFactory::TMediaFactory(QObject* aOwner)
    : QObject(aOwner)
    , m_primary(&m_builtinPrimary)
{
    static std::once_flag once;
    std::call_once(once, [] {
        GST_DEBUG_CATEGORY_INIT(tess_factory_debug, "tessfactory", 0, "Tessarine media factory");
    });
}

TMediaFactory::~TMediaFactory()
{
    ClearCache();
}

QString TMediaFactory::Extension(const QString& aFileName)
{
    const qsizetype dot = aFileName.lastIndexOf(u'.');
    if (dot < 0 || aFileName.indexOf(u'/', dot) >= 0)
        return QString();
    return aFileName.mid(dot).toLower();
}

std::unique_ptr<TFileDevice> TMediaFactory::CreateDevice(const QString& aFileName) const
{
    if (!GrapheMan)
        return nullptr;
    const QString ext = Extension(aFileName);
    std::vector<std::pair<const TFilterRec*, const TFilterRec*>> tries;
    if (kSplitByPrimary.contains(ext)) {
        const bool transport = ext == u".ts" || ext == u".m2ts" || ext == u".mts";
        tries = {{m_primary, nullptr},
                 {&m_fileSource, transport ? &m_mpeg2Transport : &m_mpeg2Program},
                 {&m_fileSource, &m_mpeg1}};
    } else if (kAvi.contains(ext)) {
        tries = {{m_primary, nullptr}, {&m_fileSource, &m_avi}};
    } else if (kAsf.contains(ext)) {
        tries = {{m_primary, nullptr}, {&m_fileSource, &m_asf}};
    } else if (ext == u".wav") {
        tries = {{&m_fileSource, &m_wave}};
    } else if (kRawDv.contains(ext)) {
        tries = {{m_primary, nullptr}};
    } else {
        GST_INFO("%s: extension \"%s\" not played", qPrintable(aFileName), qPrintable(ext));
        return nullptr;
    }
    std::unique_ptr<TFileDevice> device;
    // The first alternative says best what is wrong: the others mostly refuse another type.
    TStreamFailure failure = TStreamFailure::None;
    for (const auto& [source, splitter] : tries) {
        device = std::make_unique<TFileDevice>(aFileName, source, splitter);
        GST_INFO("%s through %s%s%s: %s", qPrintable(aFileName), qPrintable(source->Factory),
                 splitter ? " + " : "", splitter ? qPrintable(splitter->Factory) : "",
                 device->Valid() ? "valid" : "invalid");
        if (device->Valid())
            break;
        if (failure == TStreamFailure::None)
            failure = device->Failure;
    }
    if (device && !device->Valid())
        device->Failure = failure;
    if (device)
        device->SetTargetManager(GrapheMan);
    return device;
}

TFileDevice* TMediaFactory::GetDevice(const QString& aFileName)
{
    if (!GrapheMan)
        return nullptr;
    const QString key = CacheKey(aFileName);
    const QFileInfo info(aFileName);
    auto it = m_cache.find(key);
    if (it != m_cache.end()) {
        // The same name may hold another file since: probe again when it changed.
        TEntry& e = it->second;
        const bool changed =
            e.Device && (info.size() != e.Size || info.lastModified() != e.Modified);
        if (!changed) {
            if (e.Device)
                e.Device->SetTargetManager(GrapheMan);
            return e.Device.get();
        }
        GST_INFO("%s changed since its probe", qPrintable(key));
        Release(e);
        m_cache.erase(it);
    }
    TEntry entry;
    entry.Size = info.size();
    entry.Modified = info.lastModified();
    entry.Device = CreateDevice(aFileName);
    TFileDevice* device = entry.Device.get();
    m_cache.emplace(key, std::move(entry));
    return device;
}

void TMediaFactory::Release(TEntry& aEntry)
{
    if (!aEntry.Device)
        return;
    if (OnReleaseDevice)
        OnReleaseDevice(aEntry.Device.get());
    // Whatever still plays from it is disconnected, its routes and roles with it.
    std::vector<TavSource*> sources;
    for (TVideoSource* s : std::as_const(aEntry.Device->VideoSources))
        sources.push_back(s);
    for (TAudioSource* s : std::as_const(aEntry.Device->AudioSources))
        sources.push_back(s);
    for (TavSource* s : sources)
        if (s->Manager())
            s->Disconnect();
    aEntry.Device.reset();
}

void TMediaFactory::ClearCache()
{
    for (auto& [key, entry] : m_cache)
        Release(entry);
    m_cache.clear();
}

void TMediaFactory::SetSourceFilter(const TFilterRec* aRecord)
{
    m_primary = aRecord && !aRecord->IsNull() ? aRecord : &m_builtinPrimary;
    ClearCache();
}
