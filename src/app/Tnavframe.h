#pragma once

#include "media/TAudioMan.h"
#include "media/TNavMan.h"

#include <QFrame>
#include <QPointer>

#include <functional>

class QLabel;
class QLineEdit;
class QSlider;
class QToolButton;
class TTextGauge;

// The navigation bar under the video: the position slider, eight step buttons around the play
// button, the position box, the duration and the volume gauge. Only a face: every control is
// bound to an action or to the navigation and audio managers. It is the navigation's display
// (position box and slider), so the managers need no widgets.
class Tnavframe : public QFrame, public TNavDisplay {
    Q_OBJECT
public:
    explicit Tnavframe(QWidget* aParent = nullptr);
    ~Tnavframe() override;

    QSlider* tb;
    QToolButton* ReculeTrackBtn;
    QToolButton* ReculeHighBtn;
    QToolButton* ReculeMediumBtn;
    QToolButton* ReculeLowBtn;
    QToolButton* PlayBtn;
    QToolButton* AvanceLowBtn;
    QToolButton* AvanceMediumBtn;
    QToolButton* AvanceHighBtn;
    QToolButton* AvanceTrackBtn;
    QLineEdit* CurrentEdit;
    QLabel* DureeLab;
    TTextGauge* gaugeVolume;

    // A step button was clicked: the action of its plain or of its Shift variant, by id.
    std::function<void(const QString&)> OnStep;
    // Binds the position box and the slider to the navigation (null unbinds).
    void Bind(TNavMan* aNav);
    // The volume gauge as the audio manager sees it.
    TAudioDisplay* VolumeDisplay() { return &m_volume; }

    // TNavDisplay
    bool HasPositionEdit() const override { return true; }
    bool HasSlider() const override { return true; }
    void ShowPositionText(const QString& aText) override;
    void ShowSeeking(bool aSeeking) override;
    void SetSliderRange(int aMinimum, int aMaximum) override;
    void SetSliderValue(int aValue) override;

protected:
    bool eventFilter(QObject* aWatched, QEvent* aEvent) override;
    void resizeEvent(QResizeEvent* aEvent) override;

private:
    // The audio display has slider calls of the same names as the navigation's: kept apart.
    class TVolumeDisplay : public TAudioDisplay {
    public:
        explicit TVolumeDisplay(Tnavframe* aFrame)
            : m_frame(aFrame)
        {
        }
        void SetGaugeRange(int aMinimum, int aMaximum, int aAlert) override;
        void SetGaugeValue(int aValue) override;
        void SetSliderRange(int, int) override {} // no volume slider in the bar
        void SetSliderValue(int) override {}
        void ShowStatusImage(int aIndex) override;

    private:
        Tnavframe* m_frame;
    };

    TVolumeDisplay m_volume{this};
    QPointer<TNavMan> m_nav;
    bool m_settingSlider = false;
};
