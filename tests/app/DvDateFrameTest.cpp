// The DV date panel: each control sets its action, each action shows in its control, the offset
// reaches the on-video date at once, and the recorded date is read from the video shown.
#include "TestPrinters.h"
#include "WindowTestSupport.h"
#include "app/DateOffsetText.h"
#include "app/TDVIncrustFrame.h"
#include "app/TShowForm.h"

#include "actions/ActionTable.h"
#include "actions/TCheckAction.h"
#include "actions/TNopeAction.h"
#include "actions/ValueActions.h"
#include "actions/uScriptAction.h"
#include "media/TNavMan.h"
#include "media/TVideoMan.h"
#include "prefs/TDravikPreferences.h"
#include <TestDirs.h>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QFile>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>

#include <cmath>
#include <ctime>
#include <limits>

#include <gtest/gtest.h>

namespace {

using namespace WindowTest;

// French names and separators, whatever the machine's locale.
class TFrenchLocale {
public:
    TFrenchLocale() { QLocale::setDefault(QLocale(QLocale::French, QLocale::France)); }
    ~TFrenchLocale() { QLocale::setDefault(m_previous); }

private:
    QLocale m_previous;
};

// Local time of a zone with a daylight-saving change, for the test's life.
class TTimeZone {
public:
    explicit TTimeZone(const char* aZone)
        : m_had(qEnvironmentVariableIsSet("TZ"))
        , m_previous(qgetenv("TZ"))
    {
        qputenv("TZ", aZone);
        tzset();
    }
    ~TTimeZone()
    {
        if (m_had)
            qputenv("TZ", m_previous);
        else
            qunsetenv("TZ");
        tzset();
    }

private:
    bool m_had;
    QByteArray m_previous;
};

// Typed into the box, one key press and release per character.
void Type(QWidget* aTo, const QString& aText)
{
    for (const QChar c : aText) {
        QKeyEvent press(QEvent::KeyPress, c.toUpper().unicode(), Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(aTo, &press);
        QKeyEvent release(QEvent::KeyRelease, c.toUpper().unicode(), Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(aTo, &release);
    }
}

int Bcd(int aValue)
{
    return (aValue / 10) << 4 | aValue % 10;
}

// A DV clip whose camcorder packs tell aWhen instead of 2006-05-04 03:02:01.
QString DvClipRecordedAt(const QString& aFolder, const QDateTime& aWhen)
{
    const QString path = MediaMaker::DvType1Avi(aFolder, 12);
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadWrite))
        return QString();
    QByteArray bytes = file.readAll();
    const char made[] = {'\x62', '\xFF', 0x04, 0x05, 0x06, 0x63, '\xFF', 0x01, 0x02, 0x03};
    const QDate d = aWhen.date();
    const QTime t = aWhen.time();
    const char wanted[] = {
        '\x62', '\xFF', char(Bcd(d.day())),    char(Bcd(d.month())),  char(Bcd(d.year() % 100)),
        0x63,   '\xFF', char(Bcd(t.second())), char(Bcd(t.minute())), char(Bcd(t.hour()))};
    bytes.replace(QByteArray(made, sizeof made), QByteArray(wanted, sizeof wanted));
    file.seek(0);
    file.write(bytes);
    return path;
}

double Days(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return WallClockToDays(QDate(y, mo, d), QTime(h, mi, s));
}

class DvDateFrame : public ::testing::Test {
protected:
    TFrenchLocale french;
    TTestConfigHome home;
    TSaveToRegistry answer;
    std::unique_ptr<TShowForm> form;
    TDVIncrustFrame* f = nullptr;

    void SetUp() override { Start(); }
    void TearDown() override
    {
        if (form)
            form->close();
        form.reset();
    }
    void Start()
    {
        form = std::make_unique<TShowForm>(&answer);
        form->gp->SetProgramFolder(home.Path());
        form->gp->SetHiveFile(home.HiveFile());
        form->show();
        Settle(200);
        f = form->DVIncrustFrame;
    }
    template <class A> A* Action(const char* aId)
    {
        return qobject_cast<A*>(form->FindAction(QString::fromLatin1(aId)));
    }
    TDoubleAction* Offset() { return Action<TDoubleAction>("daDecalageHoraire"); }
    TCheckAction* Advanced() { return Action<TCheckAction>("caDecalageAvance"); }
    TWidestringAction* Format(int aLine)
    {
        return Action<TWidestringAction>(aLine == 1 ? "waFormatDatecode1" : "waFormatDatecode2");
    }
    // The on-video text of line 0 as %D alone, with the recorded date aDate.
    QString DateLine(double aDate)
    {
        form->vidman->TextSlots[0] = QStringLiteral("%D");
        TIncrustDV dv;
        dv.dateValid = true;
        dv.date = aDate;
        form->vidman->SetStreamCodes(dv);
        return form->vidman->Lines[0].Text;
    }
};

TEST_F(DvDateFrame, TheControlsHoldTheirTextsAndRanges)
{
    EXPECT_EQ(f->labVideodate->toolTip(), u"Ancienne date, avant correction.");
    EXPECT_EQ(f->labDecalage->text(), u"Décalage Horaire:");
    EXPECT_TRUE(f->labDecalageHoraire->font().bold());
    EXPECT_EQ(f->labDecalageHoraire->palette().color(QPalette::WindowText), QColor(0x800000));
    EXPECT_EQ(f->cbDecalageAvance->text(), u"Avancé");
    EXPECT_EQ(f->gbDateAffichee->title(), u"Date affichée");
    EXPECT_EQ(f->gbDateAffichee->toolTip(), u"Date et heure de fin d'enregistrement");
    EXPECT_EQ(f->DateEdit1->toolTip(), u"Nouvelle date après correction");
    EXPECT_TRUE(f->DateEdit1->calendarPopup());
    EXPECT_EQ(f->seHeure->maximum(), 23);
    EXPECT_EQ(f->seMinute->maximum(), 59);
    EXPECT_EQ(f->seSeconde->maximum(), 59);
    EXPECT_EQ(f->seSeconde->toolTip(), u"secondes");
    // Negative and multi-day offsets fit in the hours box.
    EXPECT_LE(f->seDecalerHeures->minimum(), -876600);
    EXPECT_GE(f->seDecalerHeures->maximum(), 876600);
    EXPECT_EQ(f->resetBtn->text(), u"Reset");
    EXPECT_EQ(f->resetBtn->toolTip(), u"Remettre le décalage horaire à zéro.");
    EXPECT_EQ(f->gbFormatDatecode->title(), u"format du datecode %D par ligne");
    EXPECT_EQ(f->cbDatecode2->toolTip(), u"Choisir le format du datecode pour la 2ème ligne");
    for (QComboBox* list : {f->cbDatecode1, f->cbDatecode2}) {
        ASSERT_EQ(list->count(), 10);
        EXPECT_TRUE(list->isEditable());
        EXPECT_EQ(list->itemText(0), u"ddddd");
        EXPECT_EQ(list->itemText(5), u"d mmm yyyy");
        EXPECT_EQ(list->itemText(9), u"hh:mm:ss");
    }
    // The defaults, applied at load.
    EXPECT_FALSE(Advanced()->Checked());
    EXPECT_TRUE(f->PanelAvance->isHidden());
    EXPECT_FALSE(f->PanelHeures->isHidden());
    EXPECT_EQ(f->labDecalageHoraire->text(), u"aucun");
    EXPECT_EQ(f->cbDatecode1->currentText(), u"ddddd");
    EXPECT_EQ(f->cbDatecode2->currentText(), u"tt");
    EXPECT_EQ(form->vidman->TextSlots[8], u"ddddd");
    EXPECT_EQ(form->vidman->TextSlots[9], u"tt");
    // No video: the fictitious date.
    EXPECT_EQ(f->labVideodate->text(), u"Date fictive: 31/12/1999 00:00:00");
}

TEST_F(DvDateFrame, TheHoursBoxSetsTheOffsetAndTheTextFollowsAtOnce)
{
    const double recorded = Days(2006, 5, 4, 3, 2, 1);
    form->vidman->TextSlots[8] = QStringLiteral("hh:nn");
    EXPECT_EQ(DateLine(recorded), u"03:02");
    f->seDecalerHeures->setValue(-2);
    EXPECT_DOUBLE_EQ(Offset()->Value(), -2.0 / 24);
    EXPECT_DOUBLE_EQ(form->vidman->DateOffset(), -2.0 / 24);
    EXPECT_EQ(f->labDecalageHoraire->text(), u" -02 heures");
    // Composed before any event runs: a grab right now has the new date.
    EXPECT_EQ(form->vidman->Lines[0].Text, u"01:02");
    f->seDecalerHeures->setValue(30);
    EXPECT_EQ(f->labDecalageHoraire->text(), u" 1 jour 06 h");
    EXPECT_EQ(form->vidman->Lines[0].Text, u"09:02");
}

TEST_F(DvDateFrame, TheSimpleModeKeepsWholeHours)
{
    Offset()->SetValue(2.0 / 24);
    EXPECT_EQ(f->seDecalerHeures->value(), 2);
    // 2.4 hours would show as "2" with no change of the box, and stay in force.
    Offset()->SetValue(2.4 / 24);
    EXPECT_DOUBLE_EQ(Offset()->Value(), 2.0 / 24);
    EXPECT_DOUBLE_EQ(form->vidman->DateOffset(), 2.0 / 24);
    EXPECT_EQ(f->labDecalageHoraire->text(), u" 02 heures");
    Offset()->SetValue(-7.6 / 24);
    EXPECT_DOUBLE_EQ(Offset()->Value(), -8.0 / 24);
    EXPECT_EQ(f->seDecalerHeures->value(), -8);
    Offset()->SetValue(3); // days
    EXPECT_EQ(f->seDecalerHeures->value(), 72);
    EXPECT_EQ(f->labDecalageHoraire->text(), u" 3 jours");
}

TEST_F(DvDateFrame, AnOffsetThatIsNoNumberOrHugeIsMended)
{
    Offset()->SetValue(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(Offset()->Value(), 0.0);
    EXPECT_EQ(form->vidman->DateOffset(), 0.0);
    Offset()->SetValue(std::numeric_limits<double>::infinity());
    EXPECT_EQ(Offset()->Value(), 0.0);
    Offset()->SetValue(1e12);
    EXPECT_EQ(Offset()->Value(), kMaxDateOffset);
    EXPECT_EQ(f->seDecalerHeures->value(), 876600);
    Advanced()->SetChecked(true);
    Offset()->SetValue(-1e12);
    EXPECT_EQ(Offset()->Value(), -kMaxDateOffset);
    EXPECT_EQ(f->labDecalageHoraire->text(), u" -36525 jours");
}

TEST_F(DvDateFrame, ResetPutsTheOffsetBackToNone)
{
    Offset()->SetValue(5.0 / 24);
    f->resetBtn->click();
    EXPECT_EQ(Offset()->Value(), 0.0);
    EXPECT_EQ(f->labDecalageHoraire->text(), u"aucun");
    EXPECT_EQ(f->seDecalerHeures->value(), 0);
    Advanced()->SetChecked(true);
    Offset()->SetValue(0.3);
    f->resetBtn->click();
    EXPECT_EQ(Offset()->Value(), 0.0);
    EXPECT_EQ(f->seHeure->value(), 0);
    EXPECT_EQ(f->DateEdit1->date(), QDate(1999, 12, 31));
}

TEST_F(DvDateFrame, TheCheckBoxAndTheActionSwitchTheModes)
{
    f->cbDecalageAvance->click();
    EXPECT_TRUE(Advanced()->Checked());
    EXPECT_FALSE(f->PanelAvance->isHidden());
    EXPECT_TRUE(f->PanelHeures->isHidden());
    EXPECT_EQ(f->cbDecalageAvance->toolTip(), Advanced()->TrueHint());
    Advanced()->SetChecked(false);
    EXPECT_FALSE(f->cbDecalageAvance->isChecked());
    EXPECT_TRUE(f->PanelAvance->isHidden());
    EXPECT_FALSE(f->PanelHeures->isHidden());
    EXPECT_EQ(f->cbDecalageAvance->toolTip(),
              u"Activer la possibilité de fixer un décalage horaire qui n'est pas un nombre "
              u"entier d'heures");
}

TEST_F(DvDateFrame, TheAdvancedBoxesDeriveTheOffsetFromTheVideoDate)
{
    QTemporaryDir dir;
    const QString tape = MediaMaker::DvType1Avi(dir.path(), 12); // recorded 2006-05-04 03:02:01
    ASSERT_FALSE(tape.isEmpty());
    ASSERT_TRUE(form->openfile(tape));
    Settle(300);
    EXPECT_EQ(f->labVideodate->text(), u"Date de la vidéo DV: 04/05/2006 03:02:01");
    f->cbDecalageAvance->click();
    EXPECT_EQ(f->DateEdit1->date(), QDate(2006, 5, 4));
    EXPECT_EQ(f->seHeure->value(), 3);
    EXPECT_EQ(f->seMinute->value(), 2);
    EXPECT_EQ(f->seSeconde->value(), 1);
    // Against the recorded date, not the fictitious one: two hours, not thousands of days.
    f->seHeure->setValue(5);
    EXPECT_NEAR(Offset()->Value(), 2.0 / 24, 1e-9);
    EXPECT_EQ(f->labDecalageHoraire->text(), u" 02 heures");

    // Closing leaves only the fictitious date; the corrected date follows it.
    form->closefile();
    EXPECT_EQ(f->labVideodate->text(), u"Date fictive: 31/12/1999 00:00:00");
    EXPECT_EQ(f->DateEdit1->date(), QDate(1999, 12, 31));
    EXPECT_EQ(f->seHeure->value(), 2);
    // The same file again: its date is read again.
    ASSERT_TRUE(form->openfile(tape));
    Settle(300);
    EXPECT_EQ(f->labVideodate->text(), u"Date de la vidéo DV: 04/05/2006 03:02:01");
    EXPECT_EQ(f->seHeure->value(), 5);
}

TEST_F(DvDateFrame, AnEnteredDateGivesTheOffsetAndTheSimpleModeRoundsIt)
{
    QTemporaryDir dir;
    ASSERT_TRUE(form->openfile(
        DvClipRecordedAt(dir.path(), QDateTime(QDate(2005, 6, 1), QTime(14, 0), Qt::UTC))));
    Settle(300);
    EXPECT_EQ(f->labVideodate->text(), u"Date de la vidéo DV: 01/06/2005 14:00:00");
    Advanced()->SetChecked(true);
    f->seHeure->setValue(16);
    f->seMinute->setValue(20);
    EXPECT_NEAR(Offset()->Value(), 7.0 / 72, 1e-9);
    EXPECT_EQ(f->labDecalageHoraire->text(), u" 02 heures 20 m");
    EXPECT_NEAR(f->CorrectedDate, Days(2005, 6, 1, 16, 20), 1e-9);
    Advanced()->SetChecked(false);
    EXPECT_DOUBLE_EQ(Offset()->Value(), 2.0 / 24);
    EXPECT_EQ(f->labDecalageHoraire->text(), u" 02 heures");
    EXPECT_EQ(f->seDecalerHeures->value(), 2);
    // Back in the advanced mode the boxes show the rounded offset.
    Advanced()->SetChecked(true);
    EXPECT_EQ(f->seHeure->value(), 16);
    EXPECT_EQ(f->seMinute->value(), 0);
    // A date typed into the date box counts as well.
    f->DateEdit1->setDate(QDate(2005, 6, 2));
    EXPECT_NEAR(Offset()->Value(), 1 + 2.0 / 24, 1e-9);
}

TEST_F(DvDateFrame, DatesAreWallClockTimesInAnyZone)
{
    const TTimeZone paris("Europe/Paris");
    // 02:30 on that night does not exist in Paris local time.
    QTemporaryDir dir;
    ASSERT_TRUE(form->openfile(
        DvClipRecordedAt(dir.path(), QDateTime(QDate(2005, 3, 27), QTime(2, 30), Qt::UTC))));
    Settle(300);
    const double gap = Days(2005, 3, 27, 2, 30);
    EXPECT_EQ(f->labVideodate->text(), u"Date de la vidéo DV: 27/03/2005 02:30:00");
    form->vidman->TextSlots[8] = QStringLiteral("tt");
    EXPECT_EQ(DateLine(gap), u"02:30:00");
    Offset()->SetValue(1.0 / 24);
    EXPECT_EQ(form->vidman->Lines[0].Text, u"03:30:00");
    Advanced()->SetChecked(true);
    EXPECT_EQ(f->seHeure->value(), 3);
    EXPECT_EQ(f->seMinute->value(), 30);
    // Across the change an entered hour is an hour.
    f->seHeure->setValue(4);
    EXPECT_NEAR(Offset()->Value(), 2.0 / 24, 1e-9);
    EXPECT_EQ(f->labDecalageHoraire->text(), u" 02 heures");
}

TEST_F(DvDateFrame, TheFormatListsSetTheDateFormatsOfTheLines)
{
    Format(1)->SetValue(QStringLiteral("dddd"));
    EXPECT_EQ(f->cbDatecode1->currentText(), u"dddd");
    EXPECT_EQ(form->vidman->TextSlots[8], u"dddd");
    EXPECT_EQ(DateLine(Days(2006, 5, 4)), u"jeudi");
    Format(1)->SetValue(QStringLiteral("yy"));
    EXPECT_EQ(f->cbDatecode1->currentText(), u"yy");
    EXPECT_EQ(form->vidman->Lines[0].Text, u"06");

    Format(2)->SetValue(QStringLiteral("hh:mm"));
    EXPECT_EQ(f->cbDatecode2->currentIndex(), 8);
    EXPECT_EQ(form->vidman->TextSlots[9], u"hh:mm");
    f->cbDatecode2->setCurrentIndex(5);
    EXPECT_EQ(Format(2)->Value(), u"d mmm yyyy");
    EXPECT_EQ(form->vidman->TextSlots[9], u"d mmm yyyy");
    f->cbDatecode1->setCurrentIndex(1);
    EXPECT_EQ(Format(1)->Value(), u"tt");
}

TEST_F(DvDateFrame, AFormatTypedIntoEitherListStaysAndIsUsed)
{
    for (QComboBox* list : {f->cbDatecode2, f->cbDatecode1}) {
        QLineEdit* edit = list->lineEdit();
        ASSERT_TRUE(edit);
        edit->setFocus();
        edit->selectAll();
        Type(edit, QStringLiteral("yyyy"));
        EXPECT_EQ(list->currentText(), u"yyyy");
        EXPECT_EQ(edit->cursorPosition(), 4);
        // Typing into the middle keeps the cursor where it is.
        edit->setCursorPosition(2);
        Type(edit, QStringLiteral("-"));
        EXPECT_EQ(list->currentText(), u"yy-yy");
        EXPECT_EQ(edit->cursorPosition(), 3);
    }
    EXPECT_EQ(Format(1)->Value(), u"yy-yy");
    EXPECT_EQ(Format(2)->Value(), u"yy-yy");
    EXPECT_EQ(form->vidman->TextSlots[9], u"yy-yy");
    form->vidman->TextSlots[1] = QStringLiteral("%D");
    DateLine(Days(2006, 5, 4));
    EXPECT_EQ(form->vidman->Lines[1].Text, u"06-06");
    // A typed format that is one of the ten selects it.
    QLineEdit* edit = f->cbDatecode2->lineEdit();
    edit->selectAll();
    Type(edit, QStringLiteral("tt"));
    EXPECT_EQ(f->cbDatecode2->currentIndex(), 1);
    EXPECT_EQ(edit->cursorPosition(), 2);
}

TEST_F(DvDateFrame, TheDvTextCommandsNeedAVideoThatCanTellItsDate)
{
    // The on-video text's commands: made here while the panel that owns them is not built.
    for (const char* id : {"naInsertDatecode", "naInsertTimecode"})
        if (!form->FindAction(QString::fromLatin1(id)))
            CreateAction(TActionRow{.Kind = TActionKind::Nope, .Name = id}, form->gpal);
    TCustomAbstractAction* datecode = form->FindAction(QStringLiteral("naInsertDatecode"));
    TCustomAbstractAction* timecode = form->FindAction(QStringLiteral("naInsertTimecode"));
    form->UpdateVideoDate();
    EXPECT_FALSE(datecode->Action()->isEnabled());
    EXPECT_FALSE(timecode->Action()->isEnabled());
    QTemporaryDir dir;
    ASSERT_TRUE(form->openfile(MediaMaker::DvType1Avi(dir.path(), 12)));
    EXPECT_TRUE(datecode->Action()->isEnabled());
    EXPECT_TRUE(timecode->Action()->isEnabled());
    form->closefile();
    EXPECT_FALSE(datecode->Action()->isEnabled());
}

TEST_F(DvDateFrame, ShowingThePanelReadsTheDateAgain)
{
    f->labVideodate->clear();
    Action<TNopeAction>("naShowDVIncrustFrame")->Apply();
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(f->labVideodate->text(), u"Date fictive: 31/12/1999 00:00:00");
}

TEST_F(DvDateFrame, TheDatecodeCommandShowsTheDateThenTheTimeShiftedByTheOffset)
{
    auto* insert = Action<TNopeAction>("naInsertDatecode");
    if (!insert)
        GTEST_SKIP() << "the on-video text's commands are not built";
    QTemporaryDir dir;
    ASSERT_TRUE(form->openfile(MediaMaker::DvType1Avi(dir.path(), 12)));
    Settle(300);
    insert->Apply();
    Settle(300);
    EXPECT_EQ(form->vidman->Lines[0].Text, u"04/05/2006");
    EXPECT_EQ(form->vidman->Lines[1].Text, u"03:02:01");
    f->seDecalerHeures->setValue(-4);
    EXPECT_EQ(form->vidman->Lines[0].Text, u"03/05/2006");
    EXPECT_EQ(form->vidman->Lines[1].Text, u"23:02:01");
}

TEST_F(DvDateFrame, PausingReadsTheDateOfTheFrameShown)
{
    QTemporaryDir dir;
    ASSERT_TRUE(form->openfile(MediaMaker::DvType1Avi(dir.path(), 12)));
    Settle(300);
    f->labVideodate->clear();
    TCheckAction* play = Action<TCheckAction>("caPlay");
    play->SetChecked(true);
    Settle(100);
    play->SetChecked(false);
    EXPECT_EQ(f->labVideodate->text(), u"Date de la vidéo DV: 04/05/2006 03:02:01");
}

TEST_F(DvDateFrame, TheFourSettingsComeBackAtTheNextStart)
{
    Advanced()->SetChecked(true);
    Offset()->SetValue(7.0 / 72);
    Format(1)->SetValue(QStringLiteral("dddddd"));
    Format(2)->SetValue(QStringLiteral("yyyy"));
    ASSERT_TRUE(form->close());
    form.reset();

    Start();
    EXPECT_TRUE(Advanced()->Checked());
    EXPECT_TRUE(f->cbDecalageAvance->isChecked());
    EXPECT_FALSE(f->PanelAvance->isHidden());
    // Loaded in the advanced mode, a fraction of an hour stays.
    EXPECT_NEAR(Offset()->Value(), 7.0 / 72, 1e-12);
    EXPECT_NEAR(form->vidman->DateOffset(), 7.0 / 72, 1e-12);
    EXPECT_EQ(f->labDecalageHoraire->text(), u" 02 heures 20 m");
    EXPECT_EQ(f->seHeure->value(), 2);
    EXPECT_EQ(f->seMinute->value(), 20);
    EXPECT_EQ(Format(1)->Value(), u"dddddd");
    EXPECT_EQ(f->cbDatecode1->currentText(), u"dddddd");
    EXPECT_EQ(Format(2)->Value(), u"yyyy");
    EXPECT_EQ(f->cbDatecode2->currentText(), u"yyyy");
    EXPECT_EQ(form->vidman->TextSlots[9], u"yyyy");

    // And the simple mode with whole hours.
    Advanced()->SetChecked(false);
    Offset()->SetValue(-5.0 / 24);
    ASSERT_TRUE(form->close());
    form.reset();
    Start();
    EXPECT_FALSE(Advanced()->Checked());
    EXPECT_DOUBLE_EQ(Offset()->Value(), -5.0 / 24);
    EXPECT_EQ(f->seDecalerHeures->value(), -5);
    EXPECT_EQ(f->labDecalageHoraire->text(), u" -05 heures");
}

} // namespace
