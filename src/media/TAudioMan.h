#pragma once

#include "actions/TKoActionComponent.h"
#include "media/TDecoderBranch.h"
#include "media/gst/GstPtr.h"

#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class TAudioSource;
class TCheckAction;
class TDravikPreferences;
class TFilterRec;
class TGrapheMan;
class TIntegerAction;
class TNopeAction;

enum TAudioStatus { asNoAudio = 0, asErrorAudio = 1, asBadAudio = 2, asMuted = 3, asAudioOn = 4 };

// The volume gauge, the volume slider and the status picture, seen from the audio manager: the
// window's binding implements it with its widgets (the managers use none). It must call
// TAudioMan::SetDisplay(nullptr) before it goes away.
class TAudioDisplay {
public:
    virtual ~TAudioDisplay() = default;
    virtual void SetGaugeRange(int aMinimum, int aMaximum, int aAlert) = 0;
    virtual void SetGaugeValue(int aValue) = 0;
    virtual void SetSliderRange(int aMinimum, int aMaximum) = 0;
    virtual void SetSliderValue(int aValue) = 0;
    // Clears the picture, then shows the image list's picture aIndex (StatusImageIndex).
    virtual void ShowStatusImage(int aIndex) = 0;
};

// The audio manager: builds and tears down the audio branch of the playback graph (a source's
// head, the decoder chain, the renderer), reports the decoder and the audio format, and keeps
// the volume and the mute state.
//
// The renderer "Ko Audio Renderer" is a bin, audioconvert ! audioresample ! scaletempo ! volume
// ! audioconvert ! sink, made with the manager and moved from graph to graph; scaletempo keeps
// the pitch at the fast rate. The sink is the first of pulsesink and alsasink that reaches READY,
// else a fakesink that keeps the clock (a machine without sound still plays in real time); the
// choice is made once per process.
//
// Volumes run from 0 to 10000; the level given to the volume element is ln(v + 1) * 1085.73,
// rounded, minus 10000, in hundredths of a decibel. A volume of 0 and the mute state mute the
// element: -100 dB is not silence.
class TAudioMan : public TKoActionComponent {
    Q_OBJECT
public:
    static constexpr int kMaxVolume = 10000;
    static constexpr int kVolumeStep = 1000;
    static constexpr int kGaugeAlert = 11000;
    static constexpr int kSilenceLevel = -10000;

    explicit TAudioMan(QObject* aOwner = nullptr);
    ~TAudioMan() override;

    std::function<void(const QString&)> OnNotifyAudioDecoder;
    std::function<void(const QString&)> OnNotifyAudioFormat;
    std::function<void(TAudioStatus)> OnStatus;
    std::function<void(int)> OnVolume;

    // The window's gauge, slider and status picture; null when it has none.
    void SetDisplay(TAudioDisplay* aDisplay);
    TAudioDisplay* Display() const { return m_display; }
    // From the display: the slider moved.
    void SliderMoved(int aValue);
    // The picture of the status image for aStatus.
    static int StatusImageIndex(TAudioStatus aStatus);

    // Builds the branch of aSource; false for the placeholder, a missing source or a failure
    // (which leaves no branch). True at once when aSource is the source already connected.
    bool ConnectAudio(TAudioSource* aSource);
    // Tears down the audio branch and the source's head, nothing else of the pipeline.
    bool DisconnectAudio();
    // Rejects the decoder found and builds the branch again with the next one.
    bool NextDecoder();

    void SetVolume(int aVolume);
    void ApplyVolume();
    void SetMuted(bool aOn);
    bool Muted() const { return m_muted; }
    // The stored volume, first taken back from the volume element when something else changed
    // it while connected and not muted.
    int CurrentVolume();
    static int VolumeLevel(int aVolume);
    // The level last given to the volume element, in hundredths of a decibel.
    int AppliedLevel() const { return m_appliedLevel; }

    // The private sets' slots (not owned; null empties them).
    void SetFallbackDecoder(const TFilterRec* aRecord);
    void SetSecondChanceDecoder(const TFilterRec* aRecord);

    // The audio decoder memory, in the sub-key "AudioDecoders" of the current key; the actions
    // go with the list's own LoadFromPrefs and SaveToPrefs.
    void LoadPrefs(TDravikPreferences& aPrefs);
    bool SavePrefs(TDravikPreferences& aPrefs);

    TAudioStatus Status() const { return m_status; }
    bool Connected() const { return m_connected; }
    TAudioSource* Source() const { return m_source; }
    TGrapheMan* Graph() const { return m_graph; }
    const TDecoderBranch& Branch() const { return *m_branch; }
    // The renderer bin and its volume element; null when they could not be made.
    GstElement* Renderer() const { return m_renderer.get(); }
    GstElement* VolumeElement() const { return m_volumeElement; }
    // The sink factory chosen for this process: "pulsesink", "alsasink", "fakesink" or empty.
    static QString SinkFactory();

    // The component's actions, in its table's order (by internal id).
    void CreateActions() override;
    void FindActions() override;
    void AssignHandlers() override;

    TCheckAction* caMute = nullptr;
    TNopeAction* naNextDecoderAudio = nullptr;
    TNopeAction* naIncVolume = nullptr;
    TNopeAction* naDecVolume = nullptr;
    TIntegerAction* iaVolume = nullptr;

protected:
    bool WndProc(QEvent& aMessage) override;

private:
    bool BuildBranch();
    void TakeRendererOut();
    void GraphGone();
    void SetStatus(TAudioStatus aStatus);
    void StepVolume(int aDelta);
    void ShowVolume();

    TAudioDisplay* m_display = nullptr;
    TAudioStatus m_status = asNoAudio;
    bool m_muted = false;
    int m_volume = 5000;
    int m_appliedLevel = 0;
    QPointer<TGrapheMan> m_graph;
    bool m_connected = false;
    TGstRef<GstElement> m_renderer;
    GstElement* m_volumeElement = nullptr;
    // The graph the renderer is in, which may outlive the branch (next decoder).
    QPointer<TGrapheMan> m_rendererGraph;
    TAudioSource* m_source;
    std::unique_ptr<TDecoderBranch> m_branch;
};
