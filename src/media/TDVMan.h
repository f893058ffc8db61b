#pragma once

#include "media/TGrapheMan.h"

#include <QPointer>

class TavSource;

// The graph manager that knows which connected source tells the camcorder's recording date
// (datecode) and the tape's timecode: it points that source's active notifier at its own
// message object and turns the reports into events.
class TDVMan : public TGrapheMan {
    Q_OBJECT
public:
    explicit TDVMan(QObject* aOwner = nullptr);

    // Copied into the active notifier of each datecode source; empty: the notifier's own
    // rendering of the date.
    QString DatecodeFormat;
    // OnDatecode is raised only while this is on.
    bool DatecodeOn = false;
    std::function<void(const QString&)> OnDatecode;
    std::function<void(const QString&)> OnTimecode;

    // The previous holder is switched off before the new one is switched on; null only switches
    // off.
    void SetDatecodeSource(TavSource* aSource);
    void SetTimecodeSource(TavSource* aSource);
    void SetSceneSource(TavSource* aSource);
    TavSource* DatecodeSource() const { return m_datecode; }
    TavSource* TimecodeSource() const { return m_timecode; }
    TavSource* SceneSource() const { return m_scene; }

protected:
    bool WndProc(QEvent& aMessage) override;

private:
    TavSource* m_datecode = nullptr;
    TavSource* m_timecode = nullptr;
    TavSource* m_scene = nullptr;
};
