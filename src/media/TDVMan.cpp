#include "media/TDVMan.h"

#include "base/PrivateMessages.h"
#include "media/TGraphChunk.h"
#include "media/core/TNotifyEvent.h"

GST_DEBUG_CATEGORY_STATIC(tess_dv_debug);
#define GST_CAT_DEFAULT tess_dv_debug

TDVMan::TDVMan(QObject* aOwner)
    : TGrapheMan(aOwner)
{
    static std::once_flag once;
    std::call_once(
        once, [] { GST_DEBUG_CATEGORY_INIT(tess_dv_debug, "tessdv", 0, "Tessarine DV manager"); });
}

void TDVMan::SetDatecodeSource(TavSource* aSource)
{
    if (m_datecode)
        m_datecode->ClearDatecodeTarget();
    m_datecode = aSource;
    if (!aSource)
        return;
    aSource->SetDatecodeTarget(Handle());
    // The active notifier reads the date: a DV stream's own notifier never sees the packs.
    if (GstElement* n = aSource->ActiveNotifier())
        g_object_set(n, "datecode-format", DatecodeFormat.toUtf8().constData(), nullptr);
    GST_INFO("datecode from %s", qPrintable(aSource->DisplayName()));
}

void TDVMan::SetTimecodeSource(TavSource* aSource)
{
    if (m_timecode)
        m_timecode->ClearTimecodeTarget();
    m_timecode = aSource;
    if (aSource) {
        aSource->SetTimecodeTarget(Handle());
        GST_INFO("timecode from %s", qPrintable(aSource->DisplayName()));
    }
}

void TDVMan::SetSceneSource(TavSource* aSource)
{
    m_scene = aSource;
    if (aSource)
        aSource->SetSceneTarget(Handle());
}

bool TDVMan::WndProc(QEvent& aMessage)
{
    const TNotifyEvent* e = TNotifyEvent::From(&aMessage);
    if (!e)
        return TGrapheMan::WndProc(aMessage);
    switch (e->Message()) {
    case NM_DATECODE:
        if (OnDatecode && DatecodeOn)
            OnDatecode(e->Frame().dateValid ? e->Frame().dateText : QString());
        return true;
    case NM_TIMECODE:
        if (OnTimecode)
            OnTimecode(e->Frame().timecodeText);
        return true;
    default:
        return TGrapheMan::WndProc(aMessage);
    }
}
