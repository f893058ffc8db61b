// Interval capture: images grabbed and saved at a fixed spacing in media time, from the position
// of the last count to the end of the file.
#include "app/QuietControls.h"
#include "app/TShowForm.h"
#include "app/Tintervalloframe.h"
#include "grab/TImageWriter.h"

#include "actions/MacroState.h"
#include "actions/TCheckAction.h"
#include "actions/TNopeAction.h"
#include "actions/ValueActions.h"
#include "base/TCommandQueue.h"
#include "media/TAudioMan.h"
#include "media/TNavMan.h"
#include "media/TVideoMan.h"
#include "ui/UserMessages.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QToolButton>

#include <exception>

namespace {

constexpr qint32 kMinDelay = 1;
constexpr qint32 kMaxDelay = 999999;
constexpr qint64 kSecond = 10'000'000;
constexpr qint64 kMinute = 600'000'000;

qint32 UsedDelay(qint32 aValue)
{
    return qBound(kMinDelay, aValue, kMaxDelay);
}

} // namespace

void TShowForm::BindInterval()
{
    caIntervalloShow = Need<TCheckAction>("caIntervalloShow");
    iaIntervalloDelai = Need<TIntegerAction>("iaIntervalloDelai");
    iaIntervalloUnit = Need<TIntegerAction>("iaIntervalloUnit");
    naIntervalloStart = Need<TNopeAction>("naIntervalloStart");
    naIntervalloBreak = Need<TNopeAction>("naIntervalloBreak");
    Tintervalloframe* f = intervalloframe;

    caIntervalloShow->SetEnabled(false);
    caIntervalloShow->OnAfterTrueApply = [this] { ShowIntervallo(true); };
    caIntervalloShow->OnAfterFalseApply = [this] { ShowIntervallo(false); };
    // The box shows the delay a run uses, whatever a script or a switch gave.
    iaIntervalloDelai->OnAfterApply = [this, f](const qint32& v) {
        SetValueQuietly(f->RxSpinEdit7, UsedDelay(v));
        UpdateIntervalCount();
    };
    iaIntervalloUnit->OnAfterApply = [this, f](const qint32& v) {
        const QSignalBlocker quiet(f->cboxIntervallo);
        f->cboxIntervallo->setCurrentIndex(v >= 0 && v < f->cboxIntervallo->count() ? v : -1);
        UpdateIntervalCount();
    };
    connect(f->RxSpinEdit7, &QSpinBox::valueChanged, this,
            [this](int v) { iaIntervalloDelai->SetValue(v); });
    connect(f->cboxIntervallo, &QComboBox::currentIndexChanged, this,
            [this](int i) { iaIntervalloUnit->SetValue(i); });
    connect(f->RxSwitch1, &QToolButton::clicked, this, [this](bool aOn) {
        if (aOn) {
            TCommandQueue::Instance().Submit([this] { naIntervalloStart->Apply(); });
            return;
        }
        // The run is itself an apply: without this the break would not be recorded.
        const bool was = std::exchange(InApply, false);
        try {
            naIntervalloBreak->Apply();
        } catch (...) {
            InApply = was;
            throw;
        }
        InApply = was;
    });
    naIntervalloStart->OnAfterApply = [this] { RunInterval(); };
    naIntervalloBreak->OnAfterApply = [this] { IntervalStop = true; };
    naIntervalloBreak->Immediate = true; // it ends the run under way

    // Opening counts before the frame duration is known: count again once it arrives.
    const auto shown = NavMan->OnDuration;
    NavMan->OnDuration = [this, shown](const QString& aText) {
        if (shown)
            shown(aText);
        if (!m_ivRunning && iaIntervalloUnit->Value() == 0 &&
            NavMan->FrameDuration() != m_ivFrameDuration)
            UpdateIntervalCount();
    };

    SetValueQuietly(f->RxSpinEdit7, UsedDelay(iaIntervalloDelai->Value()));
    {
        const QSignalBlocker quiet(f->cboxIntervallo);
        f->cboxIntervallo->setCurrentIndex(iaIntervalloUnit->Value());
    }
}

void TShowForm::ShowIntervallo(bool aOn)
{
    if (!aOn) {
        intervalloframe->hide();
        return;
    }
    // The position sliders take the place of the bar while they are shown.
    if (!caSliders || !caSliders->Checked()) {
        intervalloframe->show();
        intervalloframe->raise();
    }
    UpdateIntervalCount();
}

void TShowForm::UpdateIntervalCount()
{
    if (!iaIntervalloUnit || m_ivRunning)
        return; // while binding; during a run the label counts down
    const qint64 frame = NavMan->FrameDuration();
    qint64 step = 0;
    switch (iaIntervalloUnit->Value()) {
    case 0:
        step = frame > 1 ? frame : 0; // 1 stands for a duration not known yet
        break;
    case 1:
        step = kSecond;
        break;
    case 2:
        step = kMinute;
        break;
    }
    m_ivFrameDuration = frame;
    qint64 period = 0;
    const qint64 total = NavMan->TotalDuration();
    const bool known = !m_currentVideo.isEmpty() && vidman->Source() && total > 0;
    if (step <= 0 || !known ||
        __builtin_mul_overflow(qint64(UsedDelay(iaIntervalloDelai->Value())), step, &period))
        period = 0;
    m_ivPeriod = period;
    if (period <= 0) {
        m_ivCount = 0;
    } else {
        m_ivStart = NavMan->CurrentPosition();
        m_ivCount = qMax<qint64>(0, (total - m_ivStart) / period + 1);
    }
    intervalloframe->chronolab->setText(QString::number(m_ivCount));
}

void TShowForm::RunInterval()
{
    if (m_ivRunning || !naGrab)
        return; // one run at a time
    Tintervalloframe* f = intervalloframe;
    SetCheckedQuietly(f->RxSwitch1, true);
    f->RxSpinEdit7->setEnabled(false);
    f->cboxIntervallo->setEnabled(false);
    m_ivRunning = true;
    // A start during the run changes nothing: it need not wait for the run's end either.
    naIntervalloStart->Immediate = true;
    m_ivVolume = audman->CurrentVolume();
    m_writer = std::make_unique<TImageWriter>();
    // The silence of the run is not the user's volume: a save meanwhile keeps the real one.
    const auto saveVolume = audman->iaVolume->OnInternalBeforeSave;
    audman->iaVolume->OnInternalBeforeSave = [this](qint32& aValue) {
        aValue = m_ivVolume;
        return true;
    };
    QString error;
    {
        try {
            if (caPlay->Checked())
                caPlay->ApplyChecked(false); // no play button over a paused picture
            NavMan->Pause();
            audman->SetVolume(0);
            IntervalStop = false;
            const qint64 start = m_ivStart;
            const qint64 period = m_ivPeriod;
            qint64 remaining = vidman->Source() ? m_ivCount : 0;
            // A target past the end lands on the last frame a precise seek reaches, not on the
            // key frame the seek to the end would give.
            const qint64 last = qMax(NavMan->RangeStart(),
                                     NavMan->RangeEnd() - qMax<qint64>(1, NavMan->FrameDuration()));
            for (qint64 i = 0; remaining > 0 && !IntervalStop; ++i) {
                qint64 target = last;
                if (i <= (last - start) / period)
                    target = qMin(last, start + i * period);
                NavMan->PreciseSeekTo(target);
                {
                    // The picture and the count show; other commands wait for the run's end.
                    const TCommandQueue::TWait wait;
                    QCoreApplication::processEvents();
                }
                naGrab->OnBeforeApply();
                TakeWriteFailure();
                --remaining;
                f->chronolab->setText(QString::number(remaining));
            }
        } catch (const std::exception& e) {
            error = QString::fromLocal8Bit(e.what());
        }
        // Every way out, an error too, writes what was queued and gives back the volume, the
        // controls and the start.
        m_writer->Finish();
        TakeWriteFailure();
        m_writer.reset();
        try {
            NavMan->Pause();
            NavMan->GoToStart();
            EndIntervalRun();
        } catch (const std::exception& e) {
            if (error.isEmpty())
                error = QString::fromLocal8Bit(e.what());
        }
        m_ivRunning = false;
        naIntervalloStart->Immediate = false;
    }
    audman->iaVolume->OnInternalBeforeSave = saveVolume;
    if (!error.isEmpty())
        WarnUser(
            this,
            QStringLiteral("L'intervallomètre a été interrompu par une erreur : %1").arg(error));
}

void TShowForm::EndIntervalRun()
{
    IntervalStop = true;
    NavMan->Stop();
    audman->SetVolume(m_ivVolume);
    NavMan->Pause();
    Tintervalloframe* f = intervalloframe;
    SetCheckedQuietly(f->RxSwitch1, false);
    f->RxSpinEdit7->setEnabled(true);
    f->cboxIntervallo->setEnabled(true);
    m_ivRunning = false;
    UpdateIntervalCount();
}
