#include "media/TPrivateFilters.h"

#include "media/MediaInit.h"
#include "prefs/TRegFile.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <cstring>
#include <mutex>

GST_DEBUG_CATEGORY_STATIC(tess_private_debug);
#define GST_CAT_DEFAULT tess_private_debug

namespace {

void InitDebug()
{
    static std::once_flag once;
    std::call_once(once, [] {
        GST_DEBUG_CATEGORY_INIT(tess_private_debug, "tessprivate", 0,
                                "Tessarine private filter sets");
    });
}

// What the streaming threads ask about: every factory of a private module loaded in this
// process, and how many switched-on sets use each one. Never destroyed, so that a streaming
// thread still running at exit finds it.
struct TPrivateFactories {
    std::mutex lock;
    QSet<QString> known;
    QHash<QString, int> inUse;
};

TPrivateFactories& Factories()
{
    static auto* factories = new TPrivateFactories;
    return *factories;
}

bool KlassHas(GstElementFactory* aFactory, const char* aWord)
{
    const gchar* klass = gst_element_factory_get_metadata(aFactory, GST_ELEMENT_METADATA_KLASS);
    return klass && std::strstr(klass, aWord);
}

bool IsVideoDecoder(GstElementFactory* f)
{
    return KlassHas(f, "Decoder") && KlassHas(f, "Video");
}

bool IsAudioDecoder(GstElementFactory* f)
{
    return KlassHas(f, "Decoder") && KlassHas(f, "Audio");
}

bool IsSplitter(GstElementFactory* f)
{
    return KlassHas(f, "Demux") || KlassHas(f, "Parse") || KlassHas(f, "Source");
}

QString Same(const QString& aFile)
{
    const QString canonical = QFileInfo(aFile).canonicalFilePath();
    return canonical.isEmpty() ? aFile : canonical;
}

// Loads one module by its absolute path and marks its factories private: rank NONE and blocked
// until a record uses them. Null when the file is missing or is no module of that name.
TGstRef<GstPlugin> LoadModule(const QString& aFile)
{
    if (!QFileInfo(aFile).isFile()) {
        GST_INFO("%s: not there", qPrintable(aFile));
        return {};
    }
    GError* error = nullptr;
    TGstRef<GstPlugin> plugin(gst_plugin_load_file(QFile::encodeName(aFile).constData(), &error));
    if (!plugin) {
        GST_WARNING("%s refused: %s", qPrintable(aFile), error ? error->message : "no reason");
        g_clear_error(&error);
        return {};
    }
    // GStreamer knows modules by file name: another folder's module of the same name gives
    // back the one loaded first.
    const QString from = QFile::decodeName(gst_plugin_get_filename(plugin.get()));
    if (Same(from) != Same(aFile))
        GST_WARNING("%s: %s is already loaded from %s and is used instead", qPrintable(aFile),
                    gst_plugin_get_name(plugin.get()), qPrintable(from));
    GList* features = gst_registry_get_feature_list_by_plugin(gst_registry_get(),
                                                              gst_plugin_get_name(plugin.get()));
    auto& factories = Factories();
    std::lock_guard guard(factories.lock);
    for (GList* l = features; l; l = l->next) {
        auto* feature = GST_PLUGIN_FEATURE(l->data);
        const QString name = QString::fromUtf8(GST_OBJECT_NAME(feature));
        // Not registered, as on Windows: nothing takes them unless a record is placed.
        gst_plugin_feature_set_rank(feature, GST_RANK_NONE);
        factories.known.insert(name);
        GST_DEBUG("%s: private, blocked until a record uses it", GST_OBJECT_NAME(feature));
    }
    gst_plugin_feature_list_free(features);
    GST_INFO("%s: module %s loaded", qPrintable(aFile), gst_plugin_get_name(plugin.get()));
    return plugin;
}

// The module's first factory (by name) that aFits; null without module or without such a one.
TGstRef<GstElementFactory> FindFactory(GstPlugin* aPlugin, bool (*aFits)(GstElementFactory*),
                                       const char* aWhat)
{
    if (!aPlugin)
        return {};
    GList* features =
        gst_registry_get_feature_list_by_plugin(gst_registry_get(), gst_plugin_get_name(aPlugin));
    GstElementFactory* found = nullptr;
    for (GList* l = features; l; l = l->next) {
        if (!GST_IS_ELEMENT_FACTORY(l->data) || !aFits(GST_ELEMENT_FACTORY(l->data)))
            continue;
        if (!found || std::strcmp(GST_OBJECT_NAME(l->data), GST_OBJECT_NAME(found)) < 0)
            found = GST_ELEMENT_FACTORY(l->data);
    }
    TGstRef<GstElementFactory> out = ShareRef(found);
    gst_plugin_feature_list_free(features);
    if (out)
        GST_INFO("%s: %s is the %s", gst_plugin_get_name(aPlugin), GST_OBJECT_NAME(out.get()),
                 aWhat);
    else
        GST_WARNING("%s has no %s", gst_plugin_get_name(aPlugin), aWhat);
    return out;
}

std::unique_ptr<TBaseFilterRec> Record(const TGstRef<GstElementFactory>& aFactory,
                                       const char16_t* aName)
{
    return std::make_unique<TBaseFilterRec>(aFactory.get(), QString::fromUtf16(aName));
}

bool Absolute(const QString& aFolder)
{
    return !aFolder.isEmpty() && QDir::isAbsolutePath(aFolder);
}

} // namespace

bool PrivateFactoryBlocked(const QString& aFactory)
{
    auto& factories = Factories();
    std::lock_guard guard(factories.lock);
    return factories.known.contains(aFactory) && !factories.inUse.contains(aFactory);
}

TPrivateFilters::TPrivateFilters()
{
    InitDebug();
}

TPrivateFilters::~TPrivateFilters()
{
    SwitchOff();
}

bool TPrivateFilters::SwitchOn(const QString& aFolder)
{
    if (m_on)
        SwitchOff();
    m_ffdshowLoaded = false;
    m_lavLoaded = false;
    // gst_plugin_load_file needs an absolute path; a relative one would depend on the working
    // folder.
    if (!Absolute(aFolder)) {
        GST_WARNING("folder \"%s\" refused: not absolute", qPrintable(aFolder));
        return false;
    }
    EnsureMediaFramework();
    const QString folder = QDir::cleanPath(aFolder) + u'/';
    m_ffdshowLoaded = LoadPrivateFfdshow(folder + QStringLiteral("ffdshow/ffdshow.ax"));
    m_lavLoaded = LoadPrivateLav(folder + QStringLiteral("LAV/"));

    const TBaseFilterRec* records[] = {m_ffVideo.get(), m_ffAudio.get(), m_lavSplitter.get(),
                                       m_lavVideo.get(), m_lavAudio.get()};
    QStringList used;
    for (const TBaseFilterRec* r : records)
        if (r && !r->IsNull())
            used << r->Factory;
    if (used.isEmpty()) {
        GST_WARNING("nothing usable in %s: off", qPrintable(folder));
        FreeRecords();
        return false;
    }
    {
        auto& factories = Factories();
        std::lock_guard guard(factories.lock);
        for (const QString& f : std::as_const(used))
            ++factories.inUse[f];
    }
    m_on = true;
    GST_INFO("on from %s: ffdshow %s, LAV %s; in use: %s", qPrintable(folder),
             m_ffdshowLoaded ? "loaded" : "not loaded", m_lavLoaded ? "complete" : "incomplete",
             qPrintable(used.join(u' ')));
    return true;
}

void TPrivateFilters::SwitchOff()
{
    if (!m_on)
        return;
    const TBaseFilterRec* records[] = {m_ffVideo.get(), m_ffAudio.get(), m_lavSplitter.get(),
                                       m_lavVideo.get(), m_lavAudio.get()};
    {
        auto& factories = Factories();
        std::lock_guard guard(factories.lock);
        for (const TBaseFilterRec* r : records) {
            if (!r || r->IsNull())
                continue;
            auto it = factories.inUse.find(r->Factory);
            if (it != factories.inUse.end() && --it.value() <= 0)
                factories.inUse.erase(it);
            gst_plugin_feature_set_rank(GST_PLUGIN_FEATURE(r->ElementFactory()), GST_RANK_NONE);
            GST_INFO("%s blocked", qPrintable(r->Factory));
        }
    }
    FreeRecords();
    m_on = false;
}

void TPrivateFilters::FreeRecords()
{
    m_ffVideo.reset();
    m_ffAudio.reset();
    m_lavSplitter.reset();
    m_lavVideo.reset();
    m_lavAudio.reset();
}

bool TPrivateFilters::LoadPrivateFfdshow(const QString& aFile)
{
    const TGstRef<GstPlugin> module = LoadModule(aFile);
    m_ffVideo =
        Record(FindFactory(module.get(), IsVideoDecoder, "video decoder"), kFfdshowVideoName);
    m_ffAudio =
        Record(FindFactory(module.get(), IsAudioDecoder, "audio decoder"), kFfdshowAudioName);
    return module != nullptr;
}

bool TPrivateFilters::LoadPrivateLav(const QString& aFolder)
{
    // Each module only when the one before gave its factory, as the set is used together.
    TGstRef<GstElementFactory> splitter, video, audio;
    splitter = FindFactory(LoadModule(aFolder + QStringLiteral("LAVSplitter.ax")).get(), IsSplitter,
                           "splitter");
    if (splitter)
        video = FindFactory(LoadModule(aFolder + QStringLiteral("LAVVideo.ax")).get(),
                            IsVideoDecoder, "video decoder");
    if (video)
        audio = FindFactory(LoadModule(aFolder + QStringLiteral("LAVAudio.ax")).get(),
                            IsAudioDecoder, "audio decoder");
    m_lavSplitter = Record(splitter, kLavSplitterName);
    m_lavVideo = Record(video, kLavVideoName);
    m_lavAudio = Record(audio, kLavAudioName);
    return audio != nullptr;
}

const TFilterRec* TPrivateFilters::RestorePrivate(const TFilterRec* aRemembered) const
{
    if (!aRemembered)
        return nullptr;
    for (const TBaseFilterRec* r : {m_ffVideo.get(), m_lavVideo.get()}) {
        if (!r || r->IsNull())
            continue;
        // The name, as the Windows program remembered it; the factory, as the decoder memory
        // remembers what was found (with the factory's long name).
        if (aRemembered->Name.startsWith(r->Name) || aRemembered->Factory == r->Factory)
            return r;
    }
    return aRemembered;
}

bool TPrivateFilters::ImportSettings(const QString& aFolder, const QString& aHiveFile,
                                     QStringList* aErrors)
{
    InitDebug();
    if (!Absolute(aFolder)) {
        if (aErrors)
            *aErrors << QStringLiteral("dossier non absolu : %1").arg(aFolder);
        GST_WARNING("settings folder \"%s\" refused: not absolute", qPrintable(aFolder));
        return false;
    }
    const QString folder = QDir::cleanPath(aFolder) + u'/';
    // Each file may only write below its own set's key.
    const struct {
        QString file;
        QString key;
    } sets[] = {
        {folder + QStringLiteral("LAV/ZUD.reg"), QStringLiteral("Software\\ZUD")},
        {folder + QStringLiteral("ffdshow/DRV.reg"), QStringLiteral("Software\\DRV")},
    };
    bool ok = true;
    for (const auto& set : sets) {
        if (!QFileInfo::exists(set.file)) {
            GST_DEBUG("no %s", qPrintable(set.file));
            continue;
        }
        QStringList errors;
        const bool done = ImportRegFile(set.file, set.key, aHiveFile, &errors);
        if (done)
            GST_INFO("%s imported under %s", qPrintable(set.file), qPrintable(set.key));
        else
            GST_WARNING("%s: %lld refused or failed, first: %s", qPrintable(set.file),
                        static_cast<long long>(errors.size()), qPrintable(errors.value(0)));
        ok = ok && done;
        if (aErrors)
            *aErrors += errors;
    }
    return ok;
}

void TPrivateFilters::DeleteSettings(const QString& aHiveFile)
{
    InitDebug();
    for (const QString& key : {QStringLiteral("Software\\DRV"), QStringLiteral("Software\\ZUD")})
        if (!DeleteRegKey(key, aHiveFile))
            GST_WARNING("%s could not be deleted", qPrintable(key));
}
