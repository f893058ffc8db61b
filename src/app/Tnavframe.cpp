#include "app/Tnavframe.h"

#include "ui/TTextGauge.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QToolButton>

namespace {

struct TStepButton {
    const char* name;
    const char* text;
    const char* plain;
    const char* shifted;
    const char* hint;
};

// Left of the play button, then right of it.
const TStepButton kSteps[] = {
    {"ReculeTrackBtn", "|◀◀", "naReculeDebut", "naReculeTrack", "Reculer à la scène précédente"},
    {"ReculeHighBtn", "◀◀◀", "naReculeMinute", "naRecule10Minutes", "Reculer d'une minute"},
    {"ReculeMediumBtn", "◀◀", "naReculeSeconde", "naRecule10Secondes", "Reculer d'une seconde."},
    {"ReculeLowBtn", "◀|", "naReculeFrame", "naRecule10Frames", "Reculer d'une image."},
    {"AvanceLowBtn", "|▶", "naAvanceFrame", "naAvance10Frames", "Avancer d'une image."},
    {"AvanceMediumBtn", "▶▶", "naAvanceSeconde", "naAvance10Secondes", "Avancer d'une seconde."},
    {"AvanceHighBtn", "▶▶▶", "naAvanceMinute", "naAvance10Minutes", "Avancer d'une minute"},
    {"AvanceTrackBtn", "▶▶|", "naAvanceFin", "naAvanceTrack", "Avancer à la scène suivante"},
};

} // namespace

Tnavframe::Tnavframe(QWidget* aParent)
    : QFrame(aParent)
{
    setObjectName(QStringLiteral("navframe"));
    setFrameShape(QFrame::StyledPanel);
    tb = new QSlider(Qt::Horizontal, this);
    tb->setObjectName(QStringLiteral("tb"));
    tb->setRange(0, 1000000);
    tb->setPageStep(50000);
    QToolButton* buttons[8];
    for (int i = 0; i < 8; ++i) {
        const TStepButton& s = kSteps[i];
        auto* b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(s.name));
        b->setText(QString::fromUtf8(s.text));
        b->setToolTip(QString::fromUtf8(s.hint));
        b->setFocusPolicy(Qt::NoFocus);
        const QString plain = QString::fromLatin1(s.plain);
        const QString shifted = QString::fromLatin1(s.shifted);
        // Shift read at the moment of the click chooses the large step.
        connect(b, &QToolButton::clicked, this, [this, plain, shifted] {
            if (OnStep)
                OnStep(QApplication::keyboardModifiers() & Qt::ShiftModifier ? shifted : plain);
        });
        buttons[i] = b;
    }
    ReculeTrackBtn = buttons[0];
    ReculeHighBtn = buttons[1];
    ReculeMediumBtn = buttons[2];
    ReculeLowBtn = buttons[3];
    AvanceLowBtn = buttons[4];
    AvanceMediumBtn = buttons[5];
    AvanceHighBtn = buttons[6];
    AvanceTrackBtn = buttons[7];
    PlayBtn = new QToolButton(this);
    PlayBtn->setObjectName(QStringLiteral("PlayBtn"));
    PlayBtn->setFocusPolicy(Qt::NoFocus);
    PlayBtn->setToolButtonStyle(Qt::ToolButtonIconOnly);
    CurrentEdit = new QLineEdit(QStringLiteral("0:00:00:00"), this);
    CurrentEdit->setObjectName(QStringLiteral("CurrentEdit"));
    CurrentEdit->setAlignment(Qt::AlignCenter);
    CurrentEdit->installEventFilter(this);
    DureeLab = new QLabel(this);
    DureeLab->setObjectName(QStringLiteral("DureeLab"));
    DureeLab->setToolTip(QStringLiteral("Durée de la vidéo courante"));
    gaugeVolume = new TTextGauge(this);
    gaugeVolume->setObjectName(QStringLiteral("gaugeVolume"));
    gaugeVolume->SetGaugeKind(gkNeedle);
    gaugeVolume->SetMaxValue(10000);
    gaugeVolume->SetAlertValue(11000);
    gaugeVolume->SetCaption(QStringLiteral("%d"));
    gaugeVolume->SetTextKind(tkPercentDone);
    gaugeVolume->SetBorderStyle(TTextGauge::bsNone);
    gaugeVolume->setToolTip(QStringLiteral("Volume de la reproduction sonore.\r\nTapez + ou - au "
                                           "clavier numérique pour le modifier."));
    gaugeVolume->hide();

    connect(tb, &QSlider::sliderPressed, this, [this] {
        if (m_nav)
            m_nav->SliderDown(true);
    });
    connect(tb, &QSlider::sliderReleased, this, [this] {
        if (m_nav)
            m_nav->SliderDown(false, tb->value());
    });
    connect(tb, &QSlider::valueChanged, this, [this](int v) {
        if (m_nav && !m_settingSlider)
            m_nav->SliderMoved(v);
    });
    connect(CurrentEdit, &QLineEdit::returnPressed, this, [this] {
        if (!m_nav || !m_nav->EditEnabled)
            return;
        m_nav->EditReturn(CurrentEdit->text());
        // The focus moves on, and the box follows the position again.
        CurrentEdit->clearFocus();
        if (QWidget* w = window())
            w->setFocus();
    });
}

Tnavframe::~Tnavframe()
{
    if (m_nav)
        m_nav->SetDisplay(nullptr);
}

void Tnavframe::Bind(TNavMan* aNav)
{
    if (m_nav)
        m_nav->SetDisplay(nullptr);
    m_nav = aNav;
    if (aNav)
        aNav->SetDisplay(this);
}

bool Tnavframe::eventFilter(QObject* aWatched, QEvent* aEvent)
{
    if (aWatched == CurrentEdit && m_nav) {
        if (aEvent->type() == QEvent::FocusIn)
            m_nav->EditFocus(true);
        else if (aEvent->type() == QEvent::FocusOut)
            m_nav->EditFocus(false);
    }
    return QFrame::eventFilter(aWatched, aEvent);
}

void Tnavframe::ShowPositionText(const QString& aText)
{
    CurrentEdit->setText(aText);
}

void Tnavframe::ShowSeeking(bool aSeeking)
{
    QFont f = CurrentEdit->font();
    f.setItalic(aSeeking);
    CurrentEdit->setFont(f);
    QPalette p = CurrentEdit->palette();
    p.setColor(QPalette::Text, aSeeking ? QColor(0xC0, 0xC0, 0xC0) : QColor(Qt::black));
    CurrentEdit->setPalette(p);
}

void Tnavframe::SetSliderRange(int aMinimum, int aMaximum)
{
    m_settingSlider = true;
    tb->setRange(aMinimum, qMax(aMinimum, aMaximum));
    m_settingSlider = false;
}

void Tnavframe::SetSliderValue(int aValue)
{
    if (tb->isSliderDown())
        return;
    m_settingSlider = true;
    tb->setValue(aValue);
    m_settingSlider = false;
}

void Tnavframe::TVolumeDisplay::SetGaugeRange(int aMinimum, int aMaximum, int aAlert)
{
    TTextGauge* g = m_frame->gaugeVolume;
    g->BeginLoading();
    g->SetMinValue(aMinimum);
    g->SetMaxValue(aMaximum);
    g->SetAlertValue(aAlert);
    g->EndLoading();
}

void Tnavframe::TVolumeDisplay::SetGaugeValue(int aValue)
{
    m_frame->gaugeVolume->SetProgress(aValue);
}

void Tnavframe::TVolumeDisplay::ShowStatusImage(int aIndex)
{
    // No status picture in the bar: a muted sound greys the gauge out instead.
    m_frame->gaugeVolume->setEnabled(aIndex == TAudioMan::StatusImageIndex(asAudioOn));
}

void Tnavframe::resizeEvent(QResizeEvent* aEvent)
{
    QFrame::resizeEvent(aEvent);
    const int w = width(), h = height();
    const int row = qMax(20, h / 3);
    tb->setGeometry(4, 2, w - 8, row);
    const int bw = qMax(24, row + 4);
    int x = 4;
    const int y = row + 6;
    const auto place = [&](QWidget* b, int width) {
        b->setGeometry(x, y, width, row + 4);
        x += width + 2;
    };
    for (QToolButton* b : {ReculeTrackBtn, ReculeHighBtn, ReculeMediumBtn, ReculeLowBtn})
        place(b, bw);
    place(PlayBtn, bw + 8);
    for (QToolButton* b : {AvanceLowBtn, AvanceMediumBtn, AvanceHighBtn, AvanceTrackBtn})
        place(b, bw);
    x += 6;
    place(CurrentEdit, 100);
    place(DureeLab, 100);
    gaugeVolume->setGeometry(qMax(x, w - 2 * row - 8), y - 4, 2 * row + 4, row + 10);
}
