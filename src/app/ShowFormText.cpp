// The on-video text as the main window drives it: the two patterns and the value sources they
// need, the insert commands, placement by sliders, click or subtitle preset, and the text panel.
#include "app/TIncrusterFrame.h"
#include "app/TShowForm.h"
#include "app/TVideoPanel.h"
#include "app/Tintervalloframe.h"
#include "app/Tnavframe.h"

#include "actions/ActionColors.h"
#include "actions/TCheckAction.h"
#include "actions/TNopeAction.h"
#include "actions/ValueActions.h"
#include "app/QuietControls.h"
#include "base/ScriptDateTime.h"
#include "media/TGraphChunk.h"
#include "media/TNavMan.h"
#include "media/TVideoMan.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QFontComboBox>
#include <QFontDatabase>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>

#include <cmath>

namespace {

constexpr int kMaxFontPoints = 1000;

// A panel button does what its command allows, as the menu item does: greyed with it.
void RunsAction(QToolButton* aButton, TCustomAbstractAction* aAction, QObject* aSender)
{
    aButton->setEnabled(aAction->Enabled());
    QObject::connect(aAction->Action(), &QAction::changed, aButton,
                     [aButton, aAction] { aButton->setEnabled(aAction->Enabled()); });
    QObject::connect(aButton, &QToolButton::clicked, aAction, [aAction, aSender] {
        if (aAction->Enabled())
            aAction->Execute(aSender);
    });
}

void SetTextQuietly(QLineEdit* aBox, const QString& aText)
{
    if (aBox->text() == aText)
        return;
    const QSignalBlocker quiet(aBox);
    aBox->setText(aText);
}

void SetSliderQuietly(QSlider* aSlider, int aValue)
{
    if (aSlider->value() == aValue)
        return;
    const QSignalBlocker quiet(aSlider);
    aSlider->setValue(aValue);
}

// The size box's text read as points: "auto", or a whole number (14 when it is none).
int SizeBoxPoints(const QString& aText)
{
    bool ok = false;
    const int v = aText.trimmed().toInt(&ok);
    return ok ? std::clamp(v, 1, kMaxFontPoints) : 14;
}

} // namespace

void TShowForm::BindText()
{
    TIncrusterFrame* f = IncrusterFrame;
    waIncrustPattern1 = Need<TWidestringAction>("waIncrustPattern1");
    waIncrustPattern2 = Need<TWidestringAction>("waIncrustPattern2");
    waInsertPerso1 = Need<TWidestringAction>("waInsertPerso1");
    waInsertPerso2 = Need<TWidestringAction>("waInsertPerso2");
    caInsertTextOn = Need<TCheckAction>("caInsertTextOn");
    baIncrustAutoSize = Need<TBooleanAction>("baIncrustAutoSize");
    faInsertFont = Need<TFontAction>("faInsertFont");
    iaInsertAlignLines = Need<TIntegerAction>("iaInsertAlignLines");
    iaInsertBorderWidth = Need<TIntegerAction>("iaInsertBorderWidth");
    paInsertPosition = Need<TPointAction>("paInsertPosition");
    auto* borderColor = Need<TColorAction>("iaInsertBorderColor");
    auto* transparency = Need<TDoubleAction>("daInsertTransparency");
    auto* soustitres = Need<TNopeAction>("naSoustitres");

    // Patterns: the video manager composes its lines from them.
    const auto pattern = [this](int aLine, QString& aKept) {
        return [this, aLine, &aKept](const QString& v) {
            aKept = v;
            vidman->TextSlots[size_t(aLine)] = v;
            UpdateOverlaySources();
            vidman->Compose();
        };
    };
    waIncrustPattern1->OnBeforeApply = pattern(0, m_pattern1);
    waIncrustPattern2->OnBeforeApply = pattern(1, m_pattern2);

    struct TInsert {
        const char* Id;
        QString One, Two; // "@1"/"@2": the personal templates
    };
    const TInsert inserts[] = {
        {"naInsertTimestamp", QStringLiteral("%S"), QString()},
        {"naInsertNumero", QStringLiteral("%N"), QString()},
        {"naInsertTimecode", QStringLiteral("%T"), QString()},
        {"naInsertDatecode", QStringLiteral("%D"), QStringLiteral("%D")},
        {"naInsertSysdateTime", QStringLiteral("%R"), QString()},
        {"naInsertPerso", QStringLiteral("@1"), QStringLiteral("@2")},
    };
    for (int i = 0; i < 6; ++i) {
        const TInsert& in = inserts[i];
        TNopeAction* a = Need<TNopeAction>(in.Id);
        a->OnBeforeApply = [this, f, in] {
            const bool perso = in.One == QLatin1String("@1");
            waIncrustPattern1->SetValue(perso ? f->edPerso1->text() : in.One);
            waIncrustPattern2->SetValue(perso ? f->edPerso2->text() : in.Two);
            caInsertTextOn->SetChecked(true);
        };
        RunsAction(f->InsertButtons[i], a, f);
        f->InsertButtons[i]->setToolTip(a->Hint());
    }

    // Typing a template only stores it; the text changes with "naInsertPerso".
    waInsertPerso1->OnBeforeApply = [f](const QString& v) { SetTextQuietly(f->edPerso1, v); };
    waInsertPerso2->OnBeforeApply = [f](const QString& v) { SetTextQuietly(f->edPerso2, v); };
    connect(f->edPerso1, &QLineEdit::textEdited, this,
            [this](const QString& t) { waInsertPerso1->SetValue(t); });
    connect(f->edPerso2, &QLineEdit::textEdited, this,
            [this](const QString& t) { waInsertPerso2->SetValue(t); });
    WatchTextBox(f->edPerso1);
    WatchTextBox(f->edPerso2);

    // The value sources follow the text being shown.
    caInsertTextOn->OnAfterTrueApply = [this] { UpdateOverlaySources(); };
    caInsertTextOn->OnAfterFalseApply = [this] {
        if (caSliders && caSliders->Checked())
            caSliders->SetChecked(false);
        UpdateOverlaySources();
    };
    const auto paused = caPlay->OnAfterFalseApply;
    caPlay->OnAfterFalseApply = [this, paused] {
        if (paused)
            paused();
        UpdateOverlaySources();
    };
    connect(TimerSysDate, &QTimer::timeout, this, &TShowForm::TimerSysDateTimer);

    // Placement: the sliders, Y upside down so that its top is the picture's top.
    paInsertPosition->OnBeforeApply = [this](const TPoint& v) {
        SetSliderQuietly(Xslider, v.X);
        SetSliderQuietly(Yslider, Yslider->maximum() - v.Y);
    };
    paInsertPosition->OnAfterApply = [this](const TPoint&) { applyeffects(); };
    const auto slid = [this] {
        paInsertPosition->SetValue(TPoint{Xslider->value(), Yslider->maximum() - Yslider->value()});
    };
    connect(Xslider, &QSlider::valueChanged, this, slid);
    connect(Yslider, &QSlider::valueChanged, this, slid);
    if (caSliders) {
        caSliders->OnBeforeTrueApply = [this] {
            Xslider->show();
            Yslider->show();
            intervalloframe->hide();
            navframe->hide();
            LayoutPanels();
            if (!caInsertTextOn->Checked())
                caInsertTextOn->SetChecked(true);
        };
        caSliders->OnBeforeFalseApply = [this] {
            Xslider->hide();
            Yslider->hide();
            if (!m_currentVideo.isEmpty())
                navframe->show();
            if (auto* shown =
                    qobject_cast<TCheckAction*>(FindAction(QStringLiteral("caIntervalloShow"))))
                intervalloframe->setVisible(shown->Checked());
            LayoutPanels();
        };
        f->tbSliders->setToolTip(caSliders->Hint());
        RunsAction(f->tbSliders, caSliders, f);
        const auto follow = [this, f] {
            SetCheckedQuietly(f->tbSliders, caSliders->Checked());
            f->tbSliders->setToolTip(caSliders->Hint());
        };
        caSliders->OnAfterTrueApply = follow;
        caSliders->OnAfterFalseApply = follow;
    }

    soustitres->OnBeforeApply = [this] { Soustitres(); };
    RunsAction(f->tbSousTitre, soustitres, f);

    // Alignment.
    const std::pair<QToolButton*, int> aligns[] = {
        {f->tbLeftAlign, 0}, {f->tbRightAlign, 1}, {f->tbCenter, 2}};
    for (const auto& [button, value] : aligns)
        connect(button, &QToolButton::clicked, this,
                [this, v = value] { iaInsertAlignLines->SetValue(v); });
    iaInsertAlignLines->OnAfterApply = [this, f](const qint32& v) {
        SetCheckedQuietly(f->tbLeftAlign, v == 0);
        SetCheckedQuietly(f->tbRightAlign, v == 1);
        SetCheckedQuietly(f->tbCenter, v == 2);
        applyeffects();
    };

    // The font: the panel shows it; each of its parts sets one property of a copy.
    auto* fontName = Need<TWidestringAction>("waInsertFontName");
    auto* fontColor = Need<TColorAction>("laInsertFontColor");
    auto* fontSize = Need<TIntegerAction>("iaInsertFontSize");
    const std::pair<const char*, bool TFontDesc::*> styles[] = {
        {"baInsertFontBold", &TFontDesc::Bold},
        {"baInsertFontItalic", &TFontDesc::Italic},
        {"baInsertFontUnderline", &TFontDesc::Underline},
        {"baInsertFontStrikeOut", &TFontDesc::StrikeOut}};
    TBooleanAction* styleActions[4];
    for (int i = 0; i < 4; ++i)
        styleActions[i] = Need<TBooleanAction>(styles[i].first);
    // The parts follow the whole font, so that setting one to what the font already has is no
    // change and setting it to something else always is.
    faInsertFont->OnBeforeApply = [=, this](const TFontDesc& v) {
        fontName->Assign(v.Name);
        fontColor->Assign(v.Color);
        fontSize->Assign(v.Size);
        for (int i = 0; i < 4; ++i)
            styleActions[i]->Assign(v.*styles[i].second);
        ShowInsertFont(v);
    };
    faInsertFont->OnAfterApply = [this](const TFontDesc&) { applyeffects(); };
    const auto part = [this](auto aChange) {
        TFontDesc font = faInsertFont->Value();
        aChange(font);
        faInsertFont->SetValue(font);
    };
    fontName->OnAfterApply = [part](const QString& v) { part([&](TFontDesc& d) { d.Name = v; }); };
    QToolButton* const styleButtons[] = {f->tbBold, f->tbItalic, f->tbUnderline, f->tbStrikeOut};
    for (int i = 0; i < 4; ++i) {
        TBooleanAction* a = styleActions[i];
        a->OnAfterApply = [part, member = styles[i].second](const bool& v) {
            part([&](TFontDesc& d) { d.*member = v; });
        };
        connect(styleButtons[i], &QToolButton::clicked, this,
                [a](bool aDown) { a->SetValue(aDown); });
    }
    fontColor->OnAfterApply = [part](const TColor& v) { part([&](TFontDesc& d) { d.Color = v; }); };
    f->OnFontColor = [fontColor](QColor c) { fontColor->SetValue(QColorToColor(c)); };
    fontSize->OnAfterApply = [this, part](const qint32& v) {
        if (baIncrustAutoSize->Value())
            baIncrustAutoSize->SetValue(false);
        part([&](TFontDesc& d) { d.Size = std::clamp(v, 1, kMaxFontPoints); });
    };
    // Chosen or typed: any installed family, whatever its case and whether the list shows it;
    // an unknown name leaves the font as it was.
    const auto family = [this, fontName](const QString& aName) {
        const QStringList families = QFontDatabase::families();
        const auto known = std::find_if(families.cbegin(), families.cend(), [&](const QString& n) {
            return n.compare(aName.trimmed(), Qt::CaseInsensitive) == 0;
        });
        if (known == families.cend())
            ShowInsertFont(faInsertFont->Value());
        else if (*known != faInsertFont->Value().Name)
            fontName->SetValue(*known);
    };
    f->FontComboBox->setInsertPolicy(QComboBox::NoInsert);
    connect(f->FontComboBox, &QFontComboBox::currentFontChanged, this,
            [family](const QFont& aFont) { family(aFont.family()); });
    connect(f->FontComboBox->lineEdit(), &QLineEdit::editingFinished, this,
            [f, family] { family(f->FontComboBox->currentText()); });
    // The size applies on a chosen item, Enter or leaving the box: never at each keystroke.
    const auto sizeChosen = [this, f, fontSize] {
        const QString text = f->cbSize->currentText().trimmed();
        if (text.compare(QLatin1String("auto"), Qt::CaseInsensitive) == 0) {
            baIncrustAutoSize->SetValue(true);
            return;
        }
        const int points = SizeBoxPoints(text);
        if (baIncrustAutoSize->Value() || points != faInsertFont->Value().Size)
            fontSize->SetValue(points);
        else
            ShowInsertFont(faInsertFont->Value());
    };
    connect(f->cbSize, &QComboBox::activated, this, sizeChosen);
    connect(f->cbSize->lineEdit(), &QLineEdit::editingFinished, this, sizeChosen);
    WatchTextBox(f->cbSize->lineEdit());
    baIncrustAutoSize->OnAfterApply = [this](const bool& v) {
        vidman->Style.AutoSize = v;
        ShowInsertFont(faInsertFont->Value());
        vidman->RefreshText();
        applyeffects();
    };

    // Border and transparency.
    f->OnBorderWidth = [this](int w) { iaInsertBorderWidth->SetValue(w); };
    iaInsertBorderWidth->OnBeforeApply = [f](const qint32& v) {
        f->tbBorder->setText(QString::number(v));
    };
    iaInsertBorderWidth->OnAfterApply = [this](const qint32&) { applyeffects(); };
    f->OnBorderColor = [borderColor](QColor c) { borderColor->SetValue(QColorToColor(c)); };
    borderColor->OnBeforeApply = [f](const TColor& v) {
        TIncrusterFrame::ShowColor(f->InsertColorButton, ColorToQColor(v));
    };
    borderColor->OnAfterApply = [this](const TColor&) { applyeffects(); };
    connect(f->seTransparency, &QSpinBox::valueChanged, this,
            [transparency](int v) { transparency->SetValue(v / 100.0); });
    transparency->OnAfterApply = [this, f](const double& v) {
        const double shown = std::isfinite(v) ? std::round(v * 100) : 100;
        SetValueQuietly(f->seTransparency, int(std::clamp(shown, 0.0, 100.0)));
        applyeffects();
    };
}

void TShowForm::ShowInsertFont(const TFontDesc& aFont)
{
    TIncrusterFrame* f = IncrusterFrame;
    {
        const QSignalBlocker quiet(f->FontComboBox);
        const QFont font(aFont.Name);
        if (f->FontComboBox->currentFont().family() != aFont.Name)
            f->FontComboBox->setCurrentFont(font);
        if (f->FontComboBox->currentText() != aFont.Name)
            f->FontComboBox->setEditText(aFont.Name); // shown even when the list lacks it
    }
    const QString size = baIncrustAutoSize && baIncrustAutoSize->Value()
                             ? QStringLiteral("auto")
                             : QString::number(aFont.Size);
    if (f->cbSize->currentText() != size) {
        const QSignalBlocker quiet(f->cbSize);
        const int item = f->cbSize->findText(size);
        if (item >= 0)
            f->cbSize->setCurrentIndex(item);
        f->cbSize->setEditText(size);
    }
    SetCheckedQuietly(f->tbBold, aFont.Bold);
    SetCheckedQuietly(f->tbItalic, aFont.Italic);
    SetCheckedQuietly(f->tbUnderline, aFont.Underline);
    SetCheckedQuietly(f->tbStrikeOut, aFont.StrikeOut);
    TIncrusterFrame::ShowColor(f->ColorButton, ColorToQColor(aFont.Color));
}

void TShowForm::UpdateOverlaySources()
{
    const bool on = caInsertTextOn && caInsertTextOn->Checked();
    const QString text = (m_pattern1 + u'\r' + m_pattern2).toUpper();
    const auto uses = [on, &text](const char* aToken) {
        return on && text.contains(QLatin1String(aToken));
    };
    SetDvReport(uses("%D") || uses("%T"));
    if (uses("%R")) {
        if (!TimerSysDate->isActive()) {
            TimerSysDate->start();
            TimerSysDateTimer(); // the first reading now: a grab at once shows it
        }
    } else {
        TimerSysDate->stop();
    }
    // %E and %P come with the file name too.
    m_fileTokenUsed = uses("%F") || uses("%E") || uses("%P");
    if (m_fileTokenUsed)
        SendFileNameToOverlay();
    m_numberTokenUsed = uses("%N");
    if (m_numberTokenUsed)
        SendNumberToOverlay();
}

void TShowForm::SetDvReport(bool aOn)
{
    // The codes are looked up for each frame shown: a report as each sample is read would run
    // ahead of the picture by what the queues hold.
    TVideoSource* source =
        vidman->DisplayState() == TVideoMan::dsVideo ? vidman->Source() : nullptr;
    GstElement* notifier = aOn && source ? source->ActiveNotifier() : nullptr;
    if (vidman->CodesFrom() != notifier)
        vidman->SetCodesFrom(notifier);
}

void TShowForm::TimerSysDateTimer()
{
    const QDateTime now = SystemClock ? SystemClock() : QDateTime::currentDateTime();
    vidman->SetSystemDate(true, ScriptDateTimeFromQt(now));
    applyeffects();
}

void TShowForm::SendNumberToOverlay()
{
    vidman->SetNumber(true, m_numberText);
    applyeffects();
}

void TShowForm::SendFileNameToOverlay()
{
    vidman->SetFileName(!m_currentVideo.isEmpty(), m_currentVideo);
    applyeffects();
}

void TShowForm::SetNumberText(const QString& aText)
{
    if (aText == m_numberText)
        return;
    m_numberText = aText;
    if (m_numberTokenUsed)
        SendNumberToOverlay();
}

void TShowForm::Soustitres()
{
    iaInsertAlignLines->SetValue(2);
    paInsertPosition->SetValue(TPoint{5000, 8200});
    TFontDesc font = faInsertFont->Value();
    // No picture: the size stays; a short one still gets a readable point.
    const QSize frame = vidman->FrameSize();
    if (frame.height() > 0)
        font.Size = std::max(1, frame.height() / 30);
    font.Color = TColor(0xFFFFFF);
    faInsertFont->SetValue(font);
    iaInsertBorderWidth->SetValue(2);
}

bool TShowForm::PlaceTextClicked(QObject* aWatched, QEvent* aEvent)
{
    if (aWatched != videoPanel || aEvent->type() != QEvent::MouseButtonPress || !caSliders ||
        !caSliders->Checked())
        return false;
    const auto* mouse = static_cast<QMouseEvent*>(aEvent);
    if (mouse->button() != Qt::LeftButton)
        return true;
    // No picture, no place: its rectangle may be empty, and would divide by zero.
    const QRect r = vidman->VideoRect(videoPanel->rect());
    if (vidman->DisplayState() != TVideoMan::dsVideo || !vidman->HasFrame() || r.width() <= 0 ||
        r.height() <= 0)
        return true;
    const QPoint p = mouse->position().toPoint();
    const auto ratio = [](int aFrom, int aSpan) {
        return std::clamp(int(qint64(aFrom) * 10000 / aSpan), 0, 10000);
    };
    paInsertPosition->SetValue(
        TPoint{ratio(p.x() - r.left(), r.width()), ratio(p.y() - r.top(), r.height())});
    return true;
}
