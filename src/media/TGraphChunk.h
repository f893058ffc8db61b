#pragma once

#include "media/gst/GstPtr.h"
#include "media/gst/TPipelineBus.h"

#include <QList>
#include <QPointer>
#include <QString>

#include <vector>

class QObject;
class TGrapheMan;
class TMediaDevice;
class TVideoSource;
class TAudioSource;

// What a device's pad carries, from its caps: interleaved DV (video/x-dv,systemstream=true),
// another byte stream (systemstream=true), video, audio, or something the program ignores.
enum class TPadKind { Dv, ByteStream, Video, Audio, Other };
TPadKind KindOfCaps(const GstCaps* aCaps);

// One output of a device as the probe saw it. The key finds the same pad in every later run.
struct TPadInfo {
    QString Key;
    TPadKind Kind = TPadKind::Other;
    TGstCapsRef Caps;
};

// The media type key of the decoder memory: the caps name and a few telling fields, never the
// whole caps (which hold sizes and codec data).
struct TMediaTypeKey {
    QString Major;   // "video", "audio", "interleaved"
    QString Subtype; // the caps name: "video/x-h264"
    QString Format;  // the kept fields, sorted: "mpegversion=2,systemstream=false"
    bool operator==(const TMediaTypeKey&) const = default;
    bool IsNull() const { return Subtype.isEmpty(); }
    static TMediaTypeKey FromCaps(const GstCaps* aCaps);
};

// A piece of a playback pipeline: devices produce streams, sources are one stream each. A chunk
// is attached to a graph manager (its elements in that pipeline) or detached.
class TGraphChunk {
public:
    TGraphChunk(const QString& aName, int aNumber);
    virtual ~TGraphChunk();
    TGraphChunk(const TGraphChunk&) = delete;
    TGraphChunk& operator=(const TGraphChunk&) = delete;

    // Puts this chunk's elements into the manager's pipeline, linked to the parent; and out.
    virtual bool Insert() = 0;
    virtual bool Remove() = 0;
    virtual qint64 GetDuration() const;

    bool Attach(TGrapheMan* aManager);
    bool AttachChain(TGrapheMan* aManager);
    bool Detach();
    bool DetachChain();
    static TMediaDevice* RootDevice(TGraphChunk* aChunk);

    TGrapheMan* Manager() const { return m_manager; }
    const QString& Name() const { return m_name; }
    const QString& DisplayName() const { return m_displayName; }
    int Number() const { return m_number; }
    bool Valid() const { return m_valid; }
    TMediaDevice* Parent() const { return m_parent; }
    int Index() const { return m_index; }
    TGrapheMan* TargetManager() const { return m_target; }
    void SetTargetManager(TGrapheMan* aManager) { m_target = aManager; }

protected:
    // Elements this chunk put into the pipeline; Remove takes them out.
    bool AddElement(GstElement* aElement, const QString& aName);
    void RemoveElements();
    // Is every element this chunk inserted still in the pipeline? Closing a file empties it.
    bool ElementsInPlace() const;

    TGrapheMan* m_manager = nullptr;
    QString m_name;
    QString m_displayName;
    int m_number;
    bool m_valid = false;
    TGrapheMan* m_target = nullptr;
    TMediaDevice* m_parent = nullptr;
    int m_index = 0;
    std::vector<TGstRef<GstElement>> m_elements;
};

// Something that produces streams. The probe (on a private pipeline, or the parent's) finds its
// pads by kind and makes a sub-device or a source for each.
class TMediaDevice : public TGraphChunk {
public:
    TMediaDevice(const QString& aName, int aNumber);
    ~TMediaDevice() override;

    QList<TVideoSource*> VideoSources;
    QList<TAudioSource*> AudioSources;
    QList<TMediaDevice*> DVDevices;
    QList<TMediaDevice*> StreamDevices;
    int VideoCount = 0;
    int AudioCount = 0;
    int StreamCount = 0;
    int DVCount = 0;
    // Why the probe found nothing, when an error said so.
    TStreamFailure Failure = TStreamFailure::None;

    TVideoSource* Video(int aIndex) const { return VideoSources.value(aIndex); }
    TAudioSource* Audio(int aIndex) const { return AudioSources.value(aIndex); }
    // The element whose pads carry the streams while inserted; null otherwise.
    GstElement* BaseFilter() const { return m_base; }
    // The pads the probe found, sorted by kind and key; the aIndex-th (from 0) of aKind.
    const std::vector<TPadInfo>& Pads() const { return m_pads; }
    const TPadInfo* FindPad(TPadKind aKind, int aIndex) const;

    // True when a pad of the device goes to one of our branches (not to a fakesink).
    static bool HasConnectedStream(TMediaDevice* aDevice);

protected:
    // Run by the concrete devices at the end of their construction.
    void Probe();
    GstElement* m_base = nullptr;
    std::vector<TPadInfo> m_pads;

private:
    // aQuietMs: how long the pads must stay the same to be taken as all of them.
    bool CollectPads(TGrapheMan& aManager, int aQuietMs);
};

// One video or audio output of a device, with the stream notifier that sits behind it.
class TavSource : public TGraphChunk {
public:
    TavSource(TMediaDevice* aDevice, int aIndex, bool aVideo);
    // A named placeholder ("Aucune Vidéo", "Aucun Audio"): no device, no notifier.
    TavSource(const QString& aName, bool aVideo);
    ~TavSource() override;

    bool Insert() override { return true; }
    bool Remove() override { return true; }

    // Builds the source's head in aManager's pipeline (the device chain first) and sends the
    // notifier's reports to aNotify. True also when already connected to aManager.
    virtual bool Connect(TGrapheMan* aManager, QObject* aNotify);
    virtual bool Disconnect();

    bool IsVideo() const { return m_video; }
    bool IsPlaceholder() const { return !m_parent; }
    // Its own notifier, and the one that reads DV packs (the DV device's for a DV stream).
    GstElement* Notifier() const { return m_notifier.get(); }
    GstElement* ActiveNotifier() const;
    // Where the decoder chain starts: the last element of the head.
    GstElement* Tail() const { return m_tail; }
    const TMediaTypeKey& MediaType() const { return m_type; }
    // The caps the probe saw on the stream.
    const GstCaps* Caps() const;

    // Notifier forwarders of the navigation and DV managers.
    void SetPositionTarget(QObject* aWindow);
    void ClearPositionTarget();
    void SetTimecodeTarget(QObject* aWindow);
    void ClearTimecodeTarget();
    void SetDatecodeTarget(QObject* aWindow);
    void ClearDatecodeTarget();
    void SetSceneTarget(QObject* aWindow);

private:
    void Route(GstElement* aNotifier, int aMessage, QObject* aTarget);
    void ListIn(TGrapheMan& aManager, bool aIn);

    bool m_video;
    TGstRef<GstElement> m_notifier;
    GstElement* m_tail = nullptr;
    TMediaTypeKey m_type;
    QPointer<QObject> m_notify;
};

class TVideoSource : public TavSource {
public:
    TVideoSource(TMediaDevice* aDevice, int aIndex)
        : TavSource(aDevice, aIndex, true)
    {
    }
    explicit TVideoSource(const QString& aName)
        : TavSource(aName, true)
    {
    }
};

class TAudioSource : public TavSource {
public:
    TAudioSource(TMediaDevice* aDevice, int aIndex)
        : TavSource(aDevice, aIndex, false)
    {
    }
    explicit TAudioSource(const QString& aName)
        : TavSource(aName, false)
    {
    }
};

// The placeholders that stand for "nothing chosen", kept from start to exit.
TVideoSource* NoVideoSource();
TAudioSource* NoAudioSource();
