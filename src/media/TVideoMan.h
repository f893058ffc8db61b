#pragma once

#include "media/TDecoderBranch.h"
#include "media/TWindowLessMan.h"
#include "media/core/TVideoData.h"
#include "media/core/TframeData.h"

#include <array>

class TavSource;
class TDravikPreferences;
class TNavMan;
class TVideoSource;

// The video manager: builds and tears down the video branch (a source, the decoder search, the
// renderer), reports its decoder and format, sets the picture's aspect, composes the lines of
// on-video text from their patterns, and shows a "no video" or "bad video" display when there
// is no picture.
class TVideoMan : public TWindowLessMan {
    Q_OBJECT
public:
    enum TDisplayState { dsNoVideo = 0, dsVideo = 1, dsBadVideo = 2 };

    explicit TVideoMan(QObject* aOwner = nullptr);
    ~TVideoMan() override;

    std::function<void(const QString&)> OnNotifyVideoDecoder;
    std::function<void(const QString&)> OnNotifyVideoFormat;
    std::function<QString()> OnNoVideoStream;
    std::function<QString()> OnBadVideoStream;
    int leHeight = 32;

    bool ConnectVideo(TVideoSource* aSource);
    bool DisconnectVideo(bool aShowIdle);
    bool NextDecoder();
    void ResetForFile();
    void SetForcedAspect(int aMode);
    void SetDateOffset(double aDays) { m_dateOffset = aDays; }
    double DateOffset() const { return m_dateOffset; }
    void SetFallbackDecoder(const TFilterRec* aRecord) { m_branch.Fallback = aRecord; }
    void SetSecondChanceDecoder(const TFilterRec* aRecord) { m_branch.SecondChance = aRecord; }
    void SetPostProcessor(const TFilterRec* aRecord) { m_branch.PostProcessor = aRecord; }
    TDecoderBranch& Branch() { return m_branch; }
    // The decoder memory under "VideoDecoders" in the current key.
    void LoadPrefs(TDravikPreferences& aPrefs);
    bool SavePrefs(TDravikPreferences& aPrefs);

    TVideoSource* Source() const { return m_source; }
    TDisplayState DisplayState() const { return m_state; }
    // The idle picture and text of aState instead of the video.
    void ShowIdle(TDisplayState aState);
    // The idle display's markup text and picture name ("NOVIDEO" or "BADVIDEO").
    QString IdleText() const;
    QString IdleImage() const;
    const QString& DecoderText() const { return m_decoderText; }
    const QString& FormatText() const { return m_formatText; }

    // The text slots: 0-7 the patterns, 8-15 the date formats of %D, 16-23 the texts of %D
    // without a date, 24 of %T without timecode, 25 of %S without position, 26-33 the date
    // formats of %R, 34-41 its texts without a date.
    std::array<QString, 42> TextSlots;
    // Inputs of the text, from the window: the system clock, the number, the file name.
    void SetSystemDate(bool aReceived, double aDateTime);
    void SetNumber(bool aReceived, const QString& aNumber);
    void SetFileName(bool aReceived, const QString& aFileName);
    // The DV values and the position, as the notifiers report them (also set by tests).
    void SetStreamCodes(const TIncrustDV& aCodes);
    // The DV codes of %D and %T come from this notifier, those of each frame as it is shown;
    // null stops them (the last ones stay).
    void SetCodesFrom(GstElement* aNotifier);
    GstElement* CodesFrom() const { return m_codesFrom.get(); }
    void SetPositionText(const QString& aText);
    // The lines from their patterns; then the text layer is drawn again.
    void Compose();
    // One line's text from a pattern (tokens of one letter after "%", any case; what a token
    // puts in is never read again).
    QString ComposeLine(int aLine) const;

    void AssignHandlers() override;

protected:
    bool WndProc(QEvent& aMessage) override;
    void FrameTaken() override;

private:
    void UpdateAspect();
    void ClearReceived();

    TDecoderBranch m_branch{true};
    TVideoSource* m_source;
    TDisplayState m_state = dsNoVideo;
    double m_dateOffset = 0;
    int m_forcedAspect = 0;
    TVideoData m_info;
    QString m_decoderText;
    QString m_formatText;
    bool m_savedPlaying = false;

    bool m_dateReceived = false, m_timecodeReceived = false, m_positionReceived = false;
    bool m_sysDateReceived = false, m_numberReceived = false, m_fileReceived = false;
    double m_date = 0, m_sysDate = 0;
    TGstRef<GstElement> m_codesFrom;
    QString m_timecode, m_position, m_number, m_fileBase, m_fileFolder, m_fileExt;
};
