// The on-video text driven from the main window with real clips: the patterns switch their value
// sources on and off, the inserts, placement by click and subtitle preset, and the text panel's
// controls against their actions.
#include "FormFixture.h"
#include "TestPrinters.h"
#include "app/TIncrusterFrame.h"
#include "app/TShowForm.h"
#include "app/TVideoPanel.h"
#include "app/Tnavframe.h"

#include "actions/TCheckAction.h"
#include "actions/TNopeAction.h"
#include "actions/ValueActions.h"
#include "files/TFichierMan.h"
#include "media/TGraphChunk.h"
#include "media/TVideoMan.h"
#include "prefs/TDravikPreferences.h"
#include <TestDirs.h>

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFontComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

using namespace WindowTest;

class OnVideoText : public TFormTest {
protected:
    QTemporaryDir dir;
    TIncrusterFrame* f = nullptr;

    void Start(const QString& aVideo)
    {
        StartForm(aVideo.isEmpty() ? QStringList() : QStringList{aVideo});
        f = form->IncrusterFrame;
        Text("waDossierSave")->SetValue(dir.path());
    }
    TFontAction* Font() { return Action<TFontAction>("faInsertFont"); }
    QString Line(int aLine) const { return form->vidman->Lines[size_t(aLine)].Text; }
    bool DvReportOn() const
    {
        TVideoSource* s = form->vidman->Source();
        return s && form->vidman->CodesFrom() == s->ActiveNotifier();
    }
    void Click(QPoint aAt)
    {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(aAt), QPointF(aAt), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(form->videoPanel, &press);
        Settle(50);
    }
    QRect Picture() const { return form->vidman->VideoRect(form->videoPanel->rect()); }
};

} // namespace

TEST_F(OnVideoText, InsertsSetBothPatternsAndTheSourcesFollowTheTextShown)
{
    Start(MediaMaker::DvType1Avi(dir.path(), 12));
    TCheckAction* on = Check("caInsertTextOn");
    EXPECT_FALSE(on->Checked());
    EXPECT_EQ(Text("waIncrustPattern1")->Value(),
              QStringLiteral("Aucune incrustation n'a été définie"));
    EXPECT_EQ(Text("waIncrustPattern2")->Value(), QStringLiteral("Vous regardez \"%F\""));
    // Off: no source runs, whatever the patterns.
    EXPECT_FALSE(form->TimerSysDate->isActive());
    EXPECT_FALSE(DvReportOn());
    EXPECT_FALSE(form->FileTokenUsed());

    Apply("naInsertTimecode");
    EXPECT_TRUE(on->Checked());
    EXPECT_EQ(Text("waIncrustPattern1")->Value(), QStringLiteral("%T"));
    EXPECT_EQ(Text("waIncrustPattern2")->Value(), QString());
    EXPECT_TRUE(DvReportOn());
    // The report of the frame shown was delivered before the command returned.
    EXPECT_EQ(Line(0), QStringLiteral("10:20:30:00"));
    // Each frame shows its own codes, not those of the samples read ahead.
    Apply("naAvanceFrame");
    Apply("naAvanceFrame");
    EXPECT_EQ(Line(0), QStringLiteral("10:20:30:02"));
    EXPECT_FALSE(form->vidman->Lines[1].Enabled);
    EXPECT_FALSE(form->TimerSysDate->isActive());

    Apply("naInsertDatecode");
    EXPECT_EQ(Text("waIncrustPattern1")->Value(), QStringLiteral("%D"));
    EXPECT_EQ(Text("waIncrustPattern2")->Value(), QStringLiteral("%D"));
    EXPECT_TRUE(DvReportOn());
    EXPECT_TRUE(Line(0).contains(QStringLiteral("2006"))) << Line(0).toStdString();

    // The clock in any case of its letter; a reading is there at once.
    form->SystemClock = [] { return QDateTime(QDate(2024, 2, 29), QTime(23, 59, 58)); };
    Text("waIncrustPattern1")->SetValue(QStringLiteral("il est %r"));
    Text("waIncrustPattern2")->SetValue(QString());
    EXPECT_TRUE(form->TimerSysDate->isActive());
    EXPECT_EQ(form->TimerSysDate->interval(), 250);
    EXPECT_FALSE(DvReportOn());
    EXPECT_TRUE(Line(0).contains(QStringLiteral("23:59:58"))) << Line(0).toStdString();
    form->SystemClock = [] { return QDateTime(QDate(2024, 2, 29), QTime(23, 59, 59)); };
    Settle(400); // a tick or more
    EXPECT_TRUE(Line(0).contains(QStringLiteral("23:59:59"))) << Line(0).toStdString();

    // Text off stops the clock and the report; on starts what the patterns need again.
    Text("waIncrustPattern2")->SetValue(QStringLiteral("%T"));
    EXPECT_TRUE(DvReportOn());
    on->SetChecked(false);
    EXPECT_FALSE(form->TimerSysDate->isActive());
    EXPECT_FALSE(DvReportOn());
    on->SetChecked(true);
    EXPECT_TRUE(form->TimerSysDate->isActive());
    EXPECT_TRUE(DvReportOn());

    // A raw DV file, read in chunks, shows the codes of its frames too.
    form->ficman->OpenFile(MediaMaker::RawDv(dir.path(), 12));
    Settle(300);
    Apply("naInsertTimecode");
    EXPECT_TRUE(DvReportOn());
    EXPECT_EQ(Line(0), QStringLiteral("10:20:30:00"));
    Apply("naAvanceFrame");
    EXPECT_EQ(Line(0), QStringLiteral("10:20:30:01"));
}

TEST_F(OnVideoText, TheNumberAndTheFileNameFeedTheirTokens)
{
    const QString video = MediaMaker::RawDv(dir.path(), 12);
    Start(video);
    Int("iaImageAjouter")->SetValue(1);
    Int("iaDigits")->SetValue(4);
    Int("iaNextNum")->SetValue(7);
    Apply("naInsertNumero");
    EXPECT_TRUE(form->NumberTokenUsed());
    EXPECT_EQ(Line(0), QStringLiteral("0007"));
    Int("iaNextNum")->SetValue(12);
    EXPECT_EQ(Line(0), QStringLiteral("0012"));
    Int("iaDigits")->SetValue(2);
    EXPECT_EQ(Line(0), QStringLiteral("12"));

    // The extension and the folder alone switch the name on too.
    Text("waIncrustPattern1")->SetValue(QStringLiteral("[%P][%E]"));
    EXPECT_TRUE(form->FileTokenUsed());
    EXPECT_EQ(Line(0), u'[' + dir.path() + QStringLiteral("/][.dv]"));
    Text("waIncrustPattern2")->SetValue(QStringLiteral("%f"));
    EXPECT_EQ(Line(1), QStringLiteral("tape"));

    // Another file: its name at once; closing leaves no name behind.
    const QString other = MediaMaker::DvType2Avi(dir.path(), 12);
    form->ficman->OpenFile(other);
    Settle(300);
    EXPECT_EQ(Line(1), QStringLiteral("type2"));
    Apply("naCloseFile");
    EXPECT_EQ(Line(1), QString());
    EXPECT_EQ(Line(0), QStringLiteral("[][]"));
}

TEST_F(OnVideoText, TemplatesAreStoredAsTypedAndUsedByTheirInsert)
{
    Start(QString());
    EXPECT_EQ(f->edPerso1->text(), QStringLiteral("Tessarine"));
    EXPECT_EQ(f->edPerso2->text(), QStringLiteral("Image extraite avec Tessarine"));
    f->edPerso1->setFocus();
    f->edPerso1->selectAll();
    const QString typed = QStringLiteral("Été 日本 ✓ %S");
    for (QChar c : typed)
        Key(f->edPerso1, 0, QString(c));
    EXPECT_EQ(Text("waInsertPerso1")->Value(), typed); // full Unicode, kept as typed
    EXPECT_EQ(f->edPerso1->cursorPosition(), typed.size());
    EXPECT_NE(Text("waIncrustPattern1")->Value(), typed); // only stored
    f->InsertButtons[5]->click();
    Settle(50);
    EXPECT_EQ(Text("waIncrustPattern1")->Value(), typed);
    EXPECT_EQ(Text("waIncrustPattern2")->Value(), QStringLiteral("Image extraite avec Tessarine"));
    EXPECT_TRUE(Check("caInsertTextOn")->Checked());
    // A script's value shows in the box.
    Text("waInsertPerso2")->SetValue(QStringLiteral("deux"));
    EXPECT_EQ(f->edPerso2->text(), QStringLiteral("deux"));
}

TEST_F(OnVideoText, ThePanelButtonsAreGreyedWithTheirCommands)
{
    // Timecode and Datecode need a DV report, the sliders a video: once the video is closed
    // the buttons neither look usable nor change the text when clicked.
    Start(MediaMaker::DvType2Avi(dir.path(), 12));
    QToolButton* dv[] = {f->InsertButtons[2], f->InsertButtons[3]};
    for (QToolButton* b : dv)
        EXPECT_TRUE(b->isEnabled());
    EXPECT_TRUE(f->tbSliders->isEnabled());
    Text("waIncrustPattern1")->SetValue(QStringLiteral("avant"));
    form->closefile();
    Settle(100);
    for (QToolButton* b : dv) {
        EXPECT_FALSE(b->isEnabled());
        b->click();
    }
    EXPECT_FALSE(f->tbSliders->isEnabled());
    Settle(50);
    EXPECT_EQ(Text("waIncrustPattern1")->Value(), QStringLiteral("avant"));
    EXPECT_TRUE(f->InsertButtons[0]->isEnabled());
}

TEST_F(OnVideoText, AClickWithTheSlidersPlacesTheTextAndNeverGrabs)
{
    Start(MediaMaker::DvType2Avi(dir.path(), 12));
    Int("iaNextNum")->SetValue(1);
    Check("caInsertTextOn")->SetChecked(false);
    TCheckAction* sliders = Check("caSliders");
    sliders->SetChecked(true);
    Settle(100);
    EXPECT_TRUE(Check("caInsertTextOn")->Checked());
    EXPECT_TRUE(form->Xslider->isVisible());
    EXPECT_TRUE(form->Yslider->isVisible());
    EXPECT_FALSE(form->navframe->isVisible());
    EXPECT_TRUE(f->tbSliders->isChecked());

    TPointAction* at = Action<TPointAction>("paInsertPosition");
    const QRect r = Picture();
    ASSERT_GT(r.width(), 0);
    // The picture is letterboxed in the panel: the sliders span the picture, not the panel.
    ASSERT_TRUE(r.left() > 0 || r.top() > 0);
    const QRect x = form->Xslider->geometry(), y = form->Yslider->geometry();
    EXPECT_EQ(x.left() + (x.width() - r.width()) / 2, form->videoPanel->x() + r.left());
    EXPECT_EQ(y.top() + (y.height() - r.height()) / 2, form->videoPanel->y() + r.top());
    EXPECT_EQ(y.left(), form->videoPanel->x() + r.right() + 1);
    Click(r.topLeft());
    EXPECT_EQ(at->Value(), (TPoint{0, 0}));
    Click(QPoint(r.left() + r.width(), r.top() + r.height()));
    EXPECT_EQ(at->Value(), (TPoint{10000, 10000}));
    Click(QPoint(r.left() + r.width() / 4, r.top() + r.height() / 2));
    EXPECT_EQ(at->Value(),
              (TPoint{r.width() / 4 * 10000 / r.width(), r.height() / 2 * 10000 / r.height()}));
    // The border band around the picture clamps.
    Click(QPoint(r.left() - 3, r.bottom() + 5));
    EXPECT_EQ(at->Value(), (TPoint{0, 10000}));
    EXPECT_TRUE(QDir(dir.path()).entryList({QStringLiteral("*.bmp")}).isEmpty());

    // The sliders show the place, Y from the top.
    at->SetValue(TPoint{1234, 8000});
    EXPECT_EQ(form->Xslider->value(), 1234);
    EXPECT_EQ(form->Yslider->value(), 2000);
    form->Yslider->setValue(10000);
    EXPECT_EQ(at->Value(), (TPoint{1234, 0}));

    // Text off takes the sliders away; a click grabs again.
    Check("caInsertTextOn")->SetChecked(false);
    EXPECT_FALSE(sliders->Checked());
    EXPECT_FALSE(form->Xslider->isVisible());
    EXPECT_TRUE(form->navframe->isVisible());
    Click(r.center());
    EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("*.bmp")}).size(), 1);
}

TEST_F(OnVideoText, AClickWithoutAPictureLeavesThePlace)
{
    Start(QString());
    TPointAction* at = Action<TPointAction>("paInsertPosition");
    const TPoint before = at->Value();
    Check("caSliders")->ApplyChecked(true); // as loading applies it, with no video
    Click(QPoint(10, 10));
    EXPECT_EQ(at->Value(), before);
}

TEST_F(OnVideoText, SubtitlesAreCentredLowWhiteAThirtiethOfThePicture)
{
    Start(QString());
    TFontDesc font = Font()->Value();
    font.Size = 33;
    Font()->SetValue(font);
    Apply("naSoustitres"); // no picture: the size stays
    EXPECT_EQ(Font()->Value().Size, 33);
    form->ficman->OpenFile(MediaMaker::DvType2Avi(dir.path(), 12));
    Settle(300);
    Int("iaInsertAlignLines")->SetValue(0);
    Int("iaInsertBorderWidth")->SetValue(5);
    f->tbSousTitre->click();
    Settle(50);
    EXPECT_EQ(Int("iaInsertAlignLines")->Value(), 2);
    EXPECT_EQ(Action<TPointAction>("paInsertPosition")->Value(), (TPoint{5000, 8200}));
    EXPECT_EQ(Font()->Value().Size, 576 / 30);
    EXPECT_EQ(Font()->Value().Color, TColor(0xFFFFFF));
    EXPECT_EQ(Int("iaInsertBorderWidth")->Value(), 2);
    EXPECT_TRUE(f->tbCenter->isChecked());
    EXPECT_FALSE(f->tbLeftAlign->isChecked());
}

TEST_F(OnVideoText, TheSizeBoxAppliesOnAChoiceOrEnterNeverWhileTyping)
{
    Start(QString());
    TBooleanAction* autoSize = Bool("baIncrustAutoSize");
    EXPECT_TRUE(autoSize->Value());
    EXPECT_EQ(autoSize->Action()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Backslash));
    EXPECT_EQ(f->cbSize->currentText(), QStringLiteral("auto"));

    f->cbSize->setCurrentIndex(f->cbSize->findText(QStringLiteral("24")));
    Q_EMIT f->cbSize->activated(f->cbSize->currentIndex());
    EXPECT_FALSE(autoSize->Value());
    EXPECT_EQ(Font()->Value().Size, 24);
    EXPECT_FALSE(form->vidman->Style.AutoSize);

    // Erasing and typing: nothing changes until Enter.
    QLineEdit* edit = f->cbSize->lineEdit();
    edit->setFocus();
    edit->selectAll();
    Key(edit, Qt::Key_Backspace);
    Key(edit, Qt::Key_3, QStringLiteral("3"));
    EXPECT_EQ(Font()->Value().Size, 24);
    Key(edit, Qt::Key_0, QStringLiteral("0"));
    Key(edit, Qt::Key_Return);
    EXPECT_EQ(Font()->Value().Size, 30);
    edit->selectAll();
    for (QChar c : QStringLiteral("abc"))
        Key(edit, 0, QString(c));
    Key(edit, Qt::Key_Return);
    EXPECT_EQ(Font()->Value().Size, 14);

    f->cbSize->setCurrentIndex(0);
    Q_EMIT f->cbSize->activated(0);
    EXPECT_TRUE(autoSize->Value());
    EXPECT_TRUE(form->vidman->Style.AutoSize);
    // A size from a script clears the automatic size.
    Int("iaInsertFontSize")->SetValue(40);
    EXPECT_FALSE(autoSize->Value());
    EXPECT_EQ(Font()->Value().Size, 40);
    EXPECT_EQ(f->cbSize->currentText(), QStringLiteral("40"));
    // Sizes and widths from anywhere stay drawable.
    Int("iaInsertFontSize")->SetValue(1000000);
    EXPECT_EQ(Font()->Value().Size, 1000);
    Int("iaInsertBorderWidth")->SetValue(100000);
    EXPECT_EQ(form->vidman->Style.BorderWidth, 20);
}

TEST_F(OnVideoText, StyleColourBorderAndTransparencyControlsAndTheirActions)
{
    Start(QString());
    TFontDesc font = Font()->Value();
    font.Bold = false;
    font.Italic = true;
    font.Name = QStringLiteral("DejaVu Sans");
    Font()->SetValue(font);
    EXPECT_FALSE(f->tbBold->isChecked());
    EXPECT_TRUE(f->tbItalic->isChecked());
    EXPECT_EQ(f->FontComboBox->currentText(), QStringLiteral("DejaVu Sans"));

    f->tbBold->click();
    EXPECT_TRUE(Bool("baInsertFontBold")->Value());
    EXPECT_TRUE(Font()->Value().Bold);
    EXPECT_TRUE(Font()->Value().Italic);
    f->tbStrikeOut->click();
    EXPECT_TRUE(Font()->Value().StrikeOut);
    Bool("baInsertFontItalic")->SetValue(false);
    EXPECT_FALSE(f->tbItalic->isChecked());
    Text("waInsertFontName")->SetValue(QStringLiteral("Liberation Serif"));
    EXPECT_EQ(Font()->Value().Name, QStringLiteral("Liberation Serif"));
    EXPECT_EQ(f->FontComboBox->currentText(), QStringLiteral("Liberation Serif"));
    // A font the list lacks is still shown.
    Text("waInsertFontName")->SetValue(QStringLiteral("Police Absente"));
    EXPECT_EQ(f->FontComboBox->currentText(), QStringLiteral("Police Absente"));
    // Typed: any installed family in any case; an unknown name changes nothing.
    const auto type = [this](const QString& aName) {
        f->FontComboBox->lineEdit()->setText(aName);
        Key(f->FontComboBox->lineEdit(), Qt::Key_Return);
    };
    type(QStringLiteral("dejavu serif"));
    EXPECT_EQ(Font()->Value().Name, QStringLiteral("DejaVu Serif"));
    type(QStringLiteral("Aucune Police Pareille"));
    EXPECT_EQ(Font()->Value().Name, QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(f->FontComboBox->currentText(), QStringLiteral("DejaVu Serif"));

    f->OnFontColor(QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(Action<TColorAction>("laInsertFontColor")->Value(), TColor(0x563412));
    EXPECT_EQ(Font()->Value().Color, TColor(0x563412));
    EXPECT_EQ(TIncrusterFrame::ShownColor(f->ColorButton), QColor(0x12, 0x34, 0x56));
    f->OnBorderColor(QColor(255, 0, 0));
    EXPECT_EQ(Action<TColorAction>("iaInsertBorderColor")->Value(), TColor(0x0000FF));
    EXPECT_EQ(TIncrusterFrame::ShownColor(f->InsertColorButton), QColor(255, 0, 0));

    f->pmBorder->actions().at(3)->trigger();
    EXPECT_EQ(Int("iaInsertBorderWidth")->Value(), 3);
    EXPECT_EQ(f->tbBorder->text(), QStringLiteral("3"));
    EXPECT_EQ(f->pmBorder->actions().at(0)->text(), QStringLiteral("Aucun bord"));

    f->seTransparency->setValue(40);
    EXPECT_DOUBLE_EQ(Action<TDoubleAction>("daInsertTransparency")->Value(), 0.4);
    Action<TDoubleAction>("daInsertTransparency")->SetValue(0.555);
    EXPECT_EQ(f->seTransparency->value(), 56);
    Action<TDoubleAction>("daInsertTransparency")->SetValue(100.0); // the stored default
    EXPECT_EQ(f->seTransparency->value(), 100);

    f->tbLeftAlign->click();
    EXPECT_EQ(Int("iaInsertAlignLines")->Value(), 0);
    f->tbRightAlign->click();
    EXPECT_EQ(Int("iaInsertAlignLines")->Value(), 1);
    EXPECT_TRUE(f->tbRightAlign->isChecked());
    EXPECT_FALSE(f->tbLeftAlign->isChecked());
}

TEST_F(OnVideoText, TheSettingsComeBackAtTheNextStart)
{
    Start(QString());
    Text("waInsertPerso1")->SetValue(QStringLiteral("Un été à Kyōto"));
    Text("waInsertPerso2")->SetValue(QStringLiteral("deux"));
    Text("waIncrustPattern1")->SetValue(QStringLiteral("%S"));
    Text("waIncrustPattern2")->SetValue(QStringLiteral("%N / %F"));
    Text("waInsertFontName")->SetValue(QStringLiteral("DejaVu Serif"));
    for (const char* id : {"baInsertFontBold", "baInsertFontItalic", "baInsertFontUnderline",
                           "baInsertFontStrikeOut"})
        Bool(id)->SetValue(true);
    Action<TColorAction>("laInsertFontColor")->SetValue(TColor(0x00FF00));
    Int("iaInsertFontSize")->SetValue(31);
    EXPECT_FALSE(Bool("baIncrustAutoSize")->Value());
    Check("caInsertTextOn")->SetChecked(true);
    form->close();
    form.reset();

    Start(QString());
    EXPECT_EQ(Text("waInsertPerso1")->Value(), QStringLiteral("Un été à Kyōto"));
    EXPECT_EQ(f->edPerso1->text(), QStringLiteral("Un été à Kyōto"));
    EXPECT_EQ(f->edPerso2->text(), QStringLiteral("deux"));
    EXPECT_EQ(form->vidman->TextSlots[0], QStringLiteral("%S"));
    EXPECT_EQ(form->vidman->TextSlots[1], QStringLiteral("%N / %F"));
    EXPECT_TRUE(form->NumberTokenUsed());
    EXPECT_FALSE(Bool("baIncrustAutoSize")->Value());
    const TFontDesc font = Font()->Value();
    EXPECT_EQ(font.Name, QStringLiteral("DejaVu Serif"));
    EXPECT_TRUE(font.Bold && font.Italic && font.Underline && font.StrikeOut);
    EXPECT_EQ(font.Color, TColor(0x00FF00));
    EXPECT_EQ(font.Size, 31);
    EXPECT_EQ(Int("iaInsertFontSize")->Value(), 31);
    EXPECT_TRUE(Bool("baInsertFontUnderline")->Value());
    EXPECT_EQ(f->cbSize->currentText(), QStringLiteral("31"));
    EXPECT_TRUE(f->tbUnderline->isChecked());
    EXPECT_EQ(TIncrusterFrame::ShownColor(f->ColorButton), QColor(0, 255, 0));
}

TEST_F(OnVideoText, TheClockTicksIntoPausedGrabs)
{
    Start(MediaMaker::DvType2Avi(dir.path(), 12));
    Int("iaNextNum")->SetValue(1);
    Int("iaImageAjouter")->SetValue(1);
    QDateTime now(QDate(2026, 12, 9), QTime(10, 0, 0));
    form->SystemClock = [&now] { return now; };
    Apply("naInsertSysdateTime");
    Apply("naGrab");
    now = now.addSecs(1);
    Settle(300); // the timer's next tick, no frame decoded
    Apply("naGrab");
    const QImage first(QDir(dir.path()).filePath(QStringLiteral("Tessarine_001.bmp")));
    const QImage second(QDir(dir.path()).filePath(QStringLiteral("Tessarine_002.bmp")));
    ASSERT_FALSE(first.isNull());
    ASSERT_EQ(first.size(), second.size());
    EXPECT_EQ(StripOf(first), StripOf(second)); // the same frame
    EXPECT_NE(first, second);                   // another second
    EXPECT_TRUE(Line(0).contains(QStringLiteral("10:00:01"))) << Line(0).toStdString();
}
