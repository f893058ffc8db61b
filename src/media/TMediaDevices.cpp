#include "media/TMediaDevices.h"

#include "media/TGrapheMan.h"
#include "media/TPrivateFilters.h"
#include "media/gst/GstStreamNotifier.h"

#include <QFileInfo>

#include <gst/base/gstbasesrc.h>

GST_DEBUG_CATEGORY_STATIC(tess_device_debug);
#define GST_CAT_DEFAULT tess_device_debug

namespace {

void InitDebug()
{
    static std::once_flag once;
    std::call_once(once, [] {
        GST_DEBUG_CATEGORY_INIT(tess_device_debug, "tessdevice", 0,
                                "Tessarine file and DV devices");
    });
}

// parsebin keeps an interleaved DV stream whole, so that the DV device splits it behind its own
// notifier; MPEG program streams and the rest are split as usual.
gboolean KeepDvWhole(GstElement*, GstPad*, GstCaps* aCaps, gpointer)
{
    return KindOfCaps(aCaps) == TPadKind::Dv ? FALSE : TRUE;
}

} // namespace

// --- records

GstElement* TFilterRec::CreateInstance() const
{
    return IsNull() ? nullptr : gst_element_factory_make(Factory.toUtf8().constData(), nullptr);
}

TBaseFilterRec::TBaseFilterRec(GstElementFactory* aFactory, const QString& aName)
    : TFilterRec(aFactory ? QString::fromUtf8(GST_OBJECT_NAME(aFactory)) : QString(),
                 aFactory ? aName : QStringLiteral("No BaseFilter"))
    , m_factory(ShareRef(aFactory))
{
}

GstElement* TBaseFilterRec::CreateInstance() const
{
    // A private set switched off keeps its module loaded: only this refusal keeps it unused.
    if (!m_factory || PrivateFactoryBlocked(Factory))
        return nullptr;
    return gst_element_factory_create(m_factory.get(), nullptr);
}

// --- file device

TFileDevice::TFileDevice(const QString& aFileName, const TFilterRec* aSource,
                         const TFilterRec* aSplitter)
    : TMediaDevice(QFileInfo(aFileName).fileName(), 1)
    , m_fileName(aFileName)
    , m_source(aSource)
    , m_splitter(aSplitter)
{
    InitDebug();
    Probe();
}

TFileDevice::~TFileDevice()
{
    Detach();
}

bool TFileDevice::Insert()
{
    if (!m_manager || !m_source || m_source->IsNull())
        return false;
    GstElement* source = m_source->CreateInstance();
    if (!source) {
        GST_WARNING("%s: no element %s", qPrintable(m_name), qPrintable(m_source->Factory));
        return false;
    }
    const QByteArray location = QFile::encodeName(m_fileName);
    bool ok = true;
    if (GST_IS_BASE_SRC(source)) {
        g_object_set(source, "location", location.constData(), nullptr);
        ok = AddElement(source, m_source->Name);
        m_base = source;
    } else {
        // A splitter that does not read files itself gets a file source in front.
        GstElement* file = gst_element_factory_make("filesrc", nullptr);
        g_object_set(file, "location", location.constData(), nullptr);
        ok = AddElement(file, QStringLiteral("File Source (Async.)")) &&
             AddElement(source, m_source->Name) && gst_element_link(file, source);
        m_base = source;
        if (g_signal_lookup("autoplug-continue", G_OBJECT_TYPE(source)))
            g_signal_connect(source, "autoplug-continue", G_CALLBACK(KeepDvWhole), nullptr);
    }
    if (ok && m_splitter && !m_splitter->IsNull()) {
        if (GstElement* splitter = m_splitter->CreateInstance()) {
            ok = AddElement(splitter, m_splitter->Name) && gst_element_link(m_base, splitter);
            m_base = splitter;
        }
    }
    if (!ok) {
        GST_WARNING("%s: cannot insert %s", qPrintable(m_name), qPrintable(m_source->Name));
        Remove();
        return false;
    }
    m_manager->WatchPads(m_base);
    GST_DEBUG("%s: inserted through %s%s%s", qPrintable(m_name), qPrintable(m_source->Factory),
              m_splitter ? " + " : "", m_splitter ? qPrintable(m_splitter->Factory) : "");
    return true;
}

bool TFileDevice::Remove()
{
    if (!m_manager)
        return false;
    RemoveElements();
    m_base = nullptr;
    return true;
}

// --- DV device

TDVDevice::TDVDevice(TMediaDevice* aParent, int aIndex)
    : TMediaDevice(aParent->DisplayName(), aIndex)
{
    InitDebug();
    m_parent = aParent;
    m_index = aIndex;
    GstElement* n = TessStreamNotifierNew("DV Notifier");
    m_notifier.reset(GST_ELEMENT(gst_object_ref_sink(n)));
    g_object_set(n, "mode", 1, nullptr);
    Probe();
}

TDVDevice::TDVDevice()
    : TMediaDevice(QStringLiteral("Aucun DV"), 1)
{
}

TDVDevice::~TDVDevice()
{
    Detach();
}

bool TDVDevice::Insert()
{
    if (!m_manager || !m_parent || !m_parent->BaseFilter() || !m_notifier)
        return false;
    const TPadInfo* pad = m_parent->FindPad(TPadKind::Dv, m_index - 1);
    GstElement* splitter = gst_element_factory_make("dvdemux", nullptr);
    if (!pad || !splitter) {
        if (splitter)
            gst_object_unref(gst_object_ref_sink(splitter));
        return false;
    }
    m_key = pad->Key;
    if (!AddElement(m_notifier.get(), QStringLiteral("DV Notifier")) ||
        !AddElement(splitter, QStringLiteral("DV Splitter")) ||
        !gst_element_link(m_notifier.get(), splitter)) {
        RemoveElements();
        return false;
    }
    TGstRef<GstPad> in(gst_element_get_static_pad(m_notifier.get(), "sink"));
    m_manager->SetRoute(m_parent->BaseFilter(), m_key, in.get());
    m_manager->WatchPads(splitter);
    m_base = splitter;
    return true;
}

bool TDVDevice::Remove()
{
    if (!m_manager)
        return false;
    if (m_parent && m_parent->BaseFilter())
        m_manager->SetRoute(m_parent->BaseFilter(), m_key, nullptr);
    RemoveElements();
    m_base = nullptr;
    return true;
}

// --- stream device

TStreamDevice::TStreamDevice(TMediaDevice* aParent, int aIndex)
    : TMediaDevice(aParent->DisplayName(), aIndex)
{
    m_parent = aParent;
    m_index = aIndex;
    Probe(); // no base: ends at once, invalid and without sources
}

TStreamDevice::TStreamDevice()
    : TMediaDevice(QStringLiteral("Aucun Stream"), 1)
{
}
