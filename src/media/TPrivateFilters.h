#pragma once

#include "media/TFilterRec.h"

#include <QString>
#include <QStringList>

#include <memory>

// Is aFactory one of the private sets' factories while the sets are off? Such a factory is
// never made, whatever its rank says. Any thread.
bool PrivateFactoryBlocked(const QString& aFactory);

// The private filter sets: decoders the user keeps in a folder of their own, which the program
// loads itself instead of the installed ones. Each ".ax" file is a GStreamer plugin module whose
// plugin name is the file's base name (ffdshow.ax exports gst_plugin_ffdshow_get_desc):
//   <folder>ffdshow/ffdshow.ax      a video and an audio decoder
//   <folder>LAV/LAVSplitter.ax      a splitter (klass Demux, Parse or Source)
//   <folder>LAV/LAVVideo.ax         a video decoder
//   <folder>LAV/LAVAudio.ax         an audio decoder
// Their settings, <folder>ffdshow/DRV.reg and <folder>LAV/ZUD.reg, go to the per-user hive.
//
// A module stays in the process once loaded (GStreamer cannot unload one): off, its factories
// drop to rank NONE and are blocked (see PrivateFactoryBlocked). On or off, they are never
// ranked above NONE, as the Windows program never registered them: nothing picks them by
// itself, they are used only where a record is placed (decoder slots, primary source).
// GStreamer knows a module by its file name: another folder's module of the same name gives back
// the one loaded first (a warning in the "tessprivate" log says so).
// GUI thread, except PrivateFactoryBlocked.
class TPrivateFilters {
public:
    static constexpr const char16_t* kFfdshowVideoName = u"Private ffdshow Video decoder";
    static constexpr const char16_t* kFfdshowAudioName = u"Private ffdshow Audio decoder";
    static constexpr const char16_t* kLavSplitterName = u"Private LAV Source Splitter";
    static constexpr const char16_t* kLavVideoName = u"Private LAV Video Decoder";
    static constexpr const char16_t* kLavAudioName = u"Private LAV Audio Decoder";

    TPrivateFilters();
    ~TPrivateFilters();
    TPrivateFilters(const TPrivateFilters&) = delete;
    TPrivateFilters& operator=(const TPrivateFilters&) = delete;

    // Switches off first when on, then loads the ffdshow set and the LAV set from aFolder (an
    // absolute path; a relative or empty one loads nothing). On when any of the five factories
    // was found: the five records then exist, "No BaseFilter" for a factory that is missing.
    // True when on. Only the records' factories are unblocked; other factories of the modules
    // stay blocked.
    // Pointers to the previous records held elsewhere (decoder slots, the primary source)
    // must be dropped before: they are freed here.
    bool SwitchOn(const QString& aFolder);
    // Frees the records and blocks every private factory.
    void SwitchOff();
    bool IsOn() const { return m_on; }
    // What the last SwitchOn found: the ffdshow module loaded; the three LAV factories exist.
    bool FfdshowLoaded() const { return m_ffdshowLoaded; }
    bool LavLoaded() const { return m_lavLoaded; }

    // The records, null when off.
    const TBaseFilterRec* FfdshowVideo() const { return m_ffVideo.get(); }
    const TBaseFilterRec* FfdshowAudio() const { return m_ffAudio.get(); }
    const TBaseFilterRec* LavSplitter() const { return m_lavSplitter.get(); }
    const TBaseFilterRec* LavVideo() const { return m_lavVideo.get(); }
    const TBaseFilterRec* LavAudio() const { return m_lavAudio.get(); }

    // Private filters are not registered: a remembered private video decoder is mapped back to
    // the loaded record, by its name's beginning (or by its factory); anything else is
    // answered as it is. A record without factory maps nothing.
    const TFilterRec* RestorePrivate(const TFilterRec* aRemembered) const;

    // Imports <aFolder>LAV/ZUD.reg under Software\ZUD, then <aFolder>ffdshow/DRV.reg under
    // Software\DRV, into aHiveFile; a missing file imports nothing and is no error. False when
    // anything was refused or failed (reasons added to aErrors); what could be applied is kept.
    static bool ImportSettings(const QString& aFolder, const QString& aHiveFile,
                               QStringList* aErrors = nullptr);
    // Deletes Software\DRV, then Software\ZUD.
    static void DeleteSettings(const QString& aHiveFile);

private:
    // Each builds its set's records (without factory for what is missing).
    bool LoadPrivateFfdshow(const QString& aFile);
    bool LoadPrivateLav(const QString& aFolder);
    void FreeRecords();

    bool m_on = false;
    bool m_ffdshowLoaded = false;
    bool m_lavLoaded = false;
    std::unique_ptr<TBaseFilterRec> m_ffVideo;
    std::unique_ptr<TBaseFilterRec> m_ffAudio;
    std::unique_ptr<TBaseFilterRec> m_lavSplitter;
    std::unique_ptr<TBaseFilterRec> m_lavVideo;
    std::unique_ptr<TBaseFilterRec> m_lavAudio;
};
