// The image-saving panel and the naming settings: each control sets its setting, each setting
// shows in its control, and the bottom bar follows what is typed.
#include "TestPrinters.h"
#include "WindowTestSupport.h"
#include "app/TDossiersFrame.h"
#include "app/TShowForm.h"

#include "actions/TNopeAction.h"
#include "actions/ValueActions.h"
#include "files/TPathEdit.h"
#include "prefs/TDravikPreferences.h"
#include <TestDirs.h>

#include <QButtonGroup>
#include <QCheckBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>

#include <gtest/gtest.h>

namespace {

using namespace WindowTest;

class DossiersFrame : public ::testing::Test {
protected:
    TTestConfigHome home;
    TSaveToRegistry answer;
    std::unique_ptr<TShowForm> form;
    TDossiersFrame* f = nullptr;

    void SetUp() override
    {
        form = std::make_unique<TShowForm>(&answer);
        form->gp->SetProgramFolder(home.Path());
        form->gp->SetHiveFile(home.HiveFile());
        form->show();
        Settle(200);
        f = form->SaveImagesFrame;
        Int("iaNomFichierImage")->SetValue(0);
        Int("iaImageAjouter")->SetValue(1);
    }
    void TearDown() override
    {
        form->close();
        form.reset();
    }
    template <class A> A* Action(const char* aId)
    {
        return qobject_cast<A*>(form->FindAction(QString::fromLatin1(aId)));
    }
    TIntegerAction* Int(const char* aId) { return Action<TIntegerAction>(aId); }
    TBooleanAction* Bool(const char* aId) { return Action<TBooleanAction>(aId); }
    TWidestringAction* Text(const char* aId) { return Action<TWidestringAction>(aId); }
};

TEST_F(DossiersFrame, TheControlsHoldTheirRanges)
{
    EXPECT_EQ(f->seNextNum->minimum(), 0);
    EXPECT_EQ(f->seNextNum->maximum(), 999999);
    EXPECT_EQ(f->DigitsEdit->minimum(), 1);
    EXPECT_EQ(f->DigitsEdit->maximum(), 16);
    EXPECT_EQ(f->TrackBar1->minimum(), 1);
    EXPECT_EQ(f->TrackBar1->maximum(), 100);
    EXPECT_EQ(f->ExtensionItems->button(0)->text(), u"bmp");
    EXPECT_EQ(f->ExtensionItems->button(1)->text(), u"jpeg");
}

TEST_F(DossiersFrame, EachControlSetsItsSetting)
{
    f->rbUtiliserNomVideo->click();
    EXPECT_EQ(Int("iaNomFichierImage")->Value(), 1);
    f->rbUtiliserRacine->click();
    EXPECT_EQ(Int("iaNomFichierImage")->Value(), 0);
    f->NomRacineEdit->setText(QStringLiteral("vacances"));
    EXPECT_EQ(Text("waDefaultRacine")->Value(), u"vacances");
    const bool limit = Bool("baLimiterLongueur")->Value();
    f->cbLimiterLongueur->click();
    EXPECT_EQ(Bool("baLimiterLongueur")->Value(), !limit);
    f->RacineLengthEdit->setValue(5);
    EXPECT_EQ(Int("iaRacineLength")->Value(), 5);
    f->rbTimestamp->click();
    EXPECT_EQ(Int("iaImageAjouter")->Value(), 0);
    f->rbNumero->click();
    EXPECT_EQ(Int("iaImageAjouter")->Value(), 1);
    f->seNextNum->setValue(42);
    EXPECT_EQ(Int("iaNextNum")->Value(), 42);
    f->DigitsEdit->setValue(6);
    EXPECT_EQ(Int("iaDigits")->Value(), 6);
    f->ExtensionItems->button(1)->click();
    EXPECT_EQ(Int("iaImageExtension")->Value(), 1);
    EXPECT_TRUE(form->ImageLab->text().endsWith(u"vacances_000042.jpg"))
        << form->ImageLab->text().toStdString();
    f->ExtensionItems->button(0)->click();
    EXPECT_EQ(Int("iaImageExtension")->Value(), 0);
    f->TrackBar1->setValue(77);
    EXPECT_EQ(Int("iaJpegCompressionQuality")->Value(), 77);
    EXPECT_EQ(f->labQuality->text(), u"77");
}

TEST_F(DossiersFrame, TheFolderDialogSetsTheFolderWithATrailingSlash)
{
    ASSERT_TRUE(f->deDossierSave->OnAfterDialog);
    f->deDossierSave->OnAfterDialog(f->deDossierSave, QStringLiteral("/tmp/images"));
    EXPECT_EQ(Text("waDossierSave")->Value(), u"/tmp/images/");
    EXPECT_TRUE(form->ImageLab->text().startsWith(u"/tmp/images/"))
        << form->ImageLab->text().toStdString();
}

TEST_F(DossiersFrame, EachSettingShowsInItsControl)
{
    Text("waDossierSave")->SetValue(QStringLiteral("/tmp/ailleurs/"));
    EXPECT_EQ(f->deDossierSave->Folder(), u"/tmp/ailleurs/");
    Text("waDefaultRacine")->SetValue(QStringLiteral("plage"));
    EXPECT_EQ(f->NomRacineEdit->text(), u"plage");
    Int("iaNomFichierImage")->SetValue(1);
    EXPECT_TRUE(f->rbUtiliserNomVideo->isChecked());
    Int("iaNomFichierImage")->SetValue(0);
    EXPECT_TRUE(f->rbUtiliserRacine->isChecked());
    Bool("baLimiterLongueur")->SetValue(true);
    EXPECT_TRUE(f->cbLimiterLongueur->isChecked());
    Bool("baLimiterLongueur")->SetValue(false);
    EXPECT_FALSE(f->cbLimiterLongueur->isChecked());
    Int("iaRacineLength")->SetValue(12);
    EXPECT_EQ(f->RacineLengthEdit->value(), 12);
    Int("iaImageAjouter")->SetValue(0);
    EXPECT_TRUE(f->rbTimestamp->isChecked());
    Int("iaImageAjouter")->SetValue(1);
    EXPECT_TRUE(f->rbNumero->isChecked());
    Int("iaNextNum")->SetValue(321);
    EXPECT_EQ(f->seNextNum->value(), 321);
    Int("iaDigits")->SetValue(4);
    EXPECT_EQ(f->DigitsEdit->value(), 4);
    Action<TNopeAction>("naJpegExtension")->Apply();
    EXPECT_TRUE(f->ExtensionItems->button(1)->isChecked());
    Action<TNopeAction>("naBmpExtension")->Apply();
    EXPECT_TRUE(f->ExtensionItems->button(0)->isChecked());
    Int("iaJpegCompressionQuality")->SetValue(90);
    EXPECT_EQ(f->TrackBar1->value(), 90);
    EXPECT_EQ(f->labQuality->text(), u"90");
    EXPECT_EQ(form->ImageLab->text(), u"/tmp/ailleurs/plage_0321.bmp");
}

TEST_F(DossiersFrame, TypingARootKeepsTheCursorAndRenamesTheNextImage)
{
    Text("waDossierSave")->SetValue(QStringLiteral("/tmp/d/"));
    Int("iaDigits")->SetValue(3);
    Int("iaNextNum")->SetValue(7);
    Int("iaImageExtension")->SetValue(0);
    Text("waDefaultRacine")->SetValue(QStringLiteral("ab"));
    QLineEdit* box = f->NomRacineEdit;
    box->setFocus();
    box->setCursorPosition(1);
    Key(box, Qt::Key_X, QStringLiteral("x"));
    Key(box, Qt::Key_Y, QStringLiteral("y"));
    EXPECT_EQ(box->text(), u"axyb");
    EXPECT_EQ(box->cursorPosition(), 3);
    EXPECT_EQ(Text("waDefaultRacine")->Value(), u"axyb");
    EXPECT_EQ(form->ImageLab->text(), u"/tmp/d/axyb_007.bmp");
}

TEST_F(DossiersFrame, AnEmptiedLengthGivesZero)
{
    Int("iaRacineLength")->SetValue(8);
    QSpinBox* spin = f->RacineLengthEdit;
    spin->setFocus();
    spin->selectAll();
    Key(spin, Qt::Key_Delete);
    ASSERT_TRUE(spin->text().isEmpty()) << spin->text().toStdString();
    EXPECT_EQ(Int("iaRacineLength")->Value(), 0);
    // The box is left as typed.
    EXPECT_TRUE(spin->text().isEmpty());
}

} // namespace
