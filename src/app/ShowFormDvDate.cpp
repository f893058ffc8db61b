// The DV date panel: the offset added to the recorded date, whole hours in the simple mode or
// derived from a typed date in the advanced one, and the date formats of the two lines of %D.
#include "app/DateOffsetText.h"
#include "app/QuietControls.h"
#include "app/TDVIncrustFrame.h"
#include "app/TShowForm.h"

#include "actions/ActionErrors.h"
#include "actions/TCheckAction.h"
#include "actions/ValueActions.h"
#include "base/ScriptDateTime.h"
#include "media/TGraphChunk.h"
#include "media/TNavMan.h"
#include "media/TVideoMan.h"
#include "media/gst/GstStreamNotifier.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>

#include <cmath>

namespace {

// Shown when no DV date can be read: 31 December 1999, 00:00.
const QDate kFictitiousDate(1999, 12, 31);

// The list shows aText, on its item when it has one. Written only on a change, so that typing
// keeps the cursor; a text the list does not offer stays as typed.
void SetFormatQuietly(QComboBox* aList, const QString& aText)
{
    const int item = aList->findText(aText, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (aList->currentText() == aText && aList->currentIndex() == item)
        return;
    const QSignalBlocker quiet(aList);
    QLineEdit* edit = aList->lineEdit();
    const bool typing = aList->currentText() == aText;
    const int cursor = edit ? edit->cursorPosition() : 0;
    aList->setCurrentIndex(item);
    if (aList->currentText() != aText)
        aList->setEditText(aText);
    if (typing && edit)
        edit->setCursorPosition(cursor);
}

} // namespace

template <class A> A* TShowForm::NeedDvAction(const char* aId)
{
    const QString id = QString::fromLatin1(aId);
    m_boundIds << id;
    TCustomAbstractAction* found = FindAction(id);
    if (!found)
        throw EActionNotFound(id, gpal->ListName());
    auto* typed = qobject_cast<A*>(found);
    if (!typed)
        throw EActionWrongType(id, gpal->ListName(),
                               QString::fromLatin1(A::staticMetaObject.className()),
                               QString::fromLatin1(found->metaObject()->className()));
    return typed;
}

void TShowForm::BindDvDate()
{
    TDVIncrustFrame* f = DVIncrustFrame;
    caDecalageAvance = NeedDvAction<TCheckAction>("caDecalageAvance");
    daDecalageHoraire = NeedDvAction<TDoubleAction>("daDecalageHoraire");
    waFormatDatecode1 = NeedDvAction<TWidestringAction>("waFormatDatecode1");
    waFormatDatecode2 = NeedDvAction<TWidestringAction>("waFormatDatecode2");

    f->cbDecalageAvance->setToolTip(caDecalageAvance->FalseHint());
    daDecalageHoraire->OnBeforeApply = [this](const double& x) { ApplyDateOffset(x); };
    connect(f->seDecalerHeures, &QSpinBox::valueChanged, this,
            [this](int aHours) { daDecalageHoraire->SetValue(aHours / 24.0); });
    const auto typed = [this, f] {
        daDecalageHoraire->SetValue(f->DisplayedDate() - f->VideoDate);
    };
    connect(f->DateEdit1, &QDateEdit::dateChanged, this, typed);
    for (QSpinBox* box : {f->seHeure, f->seMinute, f->seSeconde})
        connect(box, &QSpinBox::valueChanged, this, typed);
    connect(f->resetBtn, &QPushButton::clicked, this, [this] { daDecalageHoraire->SetValue(0); });

    caDecalageAvance->OnAfterTrueApply = [this, f] {
        SetCheckedQuietly(f->cbDecalageAvance, true);
        f->cbDecalageAvance->setToolTip(caDecalageAvance->TrueHint());
        f->PanelHeures->hide();
        f->PanelAvance->show();
        // The offset is derived from the date of the frame shown now.
        UpdateVideoDate();
        daDecalageHoraire->Apply();
    };
    caDecalageAvance->OnAfterFalseApply = [this, f] {
        SetCheckedQuietly(f->cbDecalageAvance, false);
        f->cbDecalageAvance->setToolTip(caDecalageAvance->FalseHint());
        f->PanelAvance->hide();
        f->PanelHeures->show();
        // The simple mode's applier rounds the offset to whole hours.
        daDecalageHoraire->Apply();
    };
    connect(f->cbDecalageAvance, &QCheckBox::clicked, this,
            [this](bool aOn) { caDecalageAvance->SetChecked(aOn); });

    // The date formats of %D on line 0 and line 1.
    const auto bindFormat = [this](TWidestringAction* aAction, QComboBox* aList, int aSlot) {
        aAction->OnBeforeApply = [this, aList, aSlot](const QString& v) {
            vidman->TextSlots[size_t(aSlot)] = v;
            vidman->Compose();
            SetFormatQuietly(aList, v);
            applyeffects();
        };
        connect(aList, &QComboBox::currentTextChanged, this,
                [aAction](const QString& aText) { aAction->SetValue(aText); });
        WatchTextBox(aList);
    };
    bindFormat(waFormatDatecode1, f->cbDatecode1, 8);
    bindFormat(waFormatDatecode2, f->cbDatecode2, 9);

    // The panel follows the recorded date of the frame shown while paused.
    NavMan->DatecodeOn = true;
    NavMan->OnDatecode = [this](const QString&) {
        if (!caPlay->Checked())
            UpdateVideoDate();
    };
    // Dates that changed while playing were not shown: pausing reads the date of the frame
    // where playback stopped.
    caPlay->OnAfterFalseApply = [this, paused = std::move(caPlay->OnAfterFalseApply)] {
        if (paused)
            paused();
        UpdateVideoDate();
    };
    f->OnShown = [this] { UpdateVideoDate(); };
    UpdateVideoDate();
}

void TShowForm::ApplyDateOffset(double aDays)
{
    TDVIncrustFrame* f = DVIncrustFrame;
    const bool advanced = caDecalageAvance->Checked();
    // What the boxes cannot show is mended here, once, and applied again.
    double sane = SaneDateOffset(aDays);
    if (!advanced && !IsWholeHours(sane))
        sane = RoundToHours(sane);
    if (sane != aDays) { // also for NaN
        daDecalageHoraire->SetValue(sane);
        return;
    }
    vidman->SetDateOffset(aDays);
    // Composed at once: a grab right after shows the new date.
    vidman->Compose();
    applyeffects();
    f->labDecalageHoraire->setText(FormatOffset(aDays));
    if (advanced) {
        f->CorrectedDate = aDays + f->VideoDate;
        f->ShowCorrectedDate(f->CorrectedDate);
    } else {
        SetValueQuietly(f->seDecalerHeures, int(std::lround(aDays * 24)));
    }
}

void TShowForm::UpdateVideoDate()
{
    TDVIncrustFrame* f = DVIncrustFrame;
    const TVideoSource* source = vidman->Source();
    const bool dvPossible =
        source && source->IsVideo() && !source->IsPlaceholder() && source->Notifier();
    // The on-video text's commands, once they exist.
    for (const char* id : {"naInsertDatecode", "naInsertTimecode"})
        if (TCustomAbstractAction* a = FindAction(QString::fromLatin1(id)))
            a->SetEnabled(dvPossible);

    QString prefix = QStringLiteral("Date fictive: ");
    f->VideoDate = WallClockToDays(kFictitiousDate, QTime(0, 0));
    if (dvPossible) {
        // The notifier reads ahead of the picture: the codes kept for the frame on screen,
        // else the latest it read.
        GstElement* notifier = source->ActiveNotifier();
        TIncrustDV codes;
        const GstClockTime shown = vidman->ShownTime();
        const GstClockTime half = GST_CLOCK_TIME_IS_VALID(vidman->ShownFrameDuration())
                                      ? vidman->ShownFrameDuration() / 2
                                      : 20 * GST_MSECOND;
        if (const auto at = GST_CLOCK_TIME_IS_VALID(shown)
                                ? TessStreamNotifierCodesAt(notifier, shown, half)
                                : std::nullopt) {
            codes = *at;
        } else {
            const TframeData frame = TessStreamNotifierFrameData(notifier);
            codes.dateValid = frame.dateValid;
            codes.date = frame.date;
        }
        if (codes.dateValid) {
            prefix = QStringLiteral("Date de la vidéo DV: ");
            f->VideoDate = DropMilliseconds(codes.date);
        }
    }
    f->labVideodate->setText(
        prefix + FormatScriptDateTime(QStringLiteral("ddddd tt"), DaysToWallClock(f->VideoDate)));
    f->ShowCorrectedDate(f->VideoDate + daDecalageHoraire->Value());
}
