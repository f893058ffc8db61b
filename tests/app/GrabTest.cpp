// The grab in the main window with a real DV clip: F5 writes the named image at the picture's
// aspect, the file holds the frame on screen, the number advances only on a save, the overwrite
// question's four answers, the clipboard copy at the native size and a save that fails.
#include "FormFixture.h"
#include "TestPrinters.h"
#include "app/TExtraireFrame.h"
#include "app/TShowForm.h"
#include "app/TVideoPanel.h"

#include "actions/TCheckAction.h"
#include "actions/TNopeAction.h"
#include "actions/ValueActions.h"
#include "base/TBatchRun.h"
#include "files/TFichierMan.h"
#include "media/TNavMan.h"
#include "media/TVideoMan.h"
#include "prefs/TDravikPreferences.h"
#include <TestDirs.h>

#include <QAction>
#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QLabel>
#include <QMouseEvent>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

using namespace WindowTest;

// The frame aFrame of aFile decoded by the ffmpeg command line and scaled to aSize: the
// independent decode a grab is compared with.
QImage IndependentFrame(const QString& aFile, int aFrame, QSize aSize)
{
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 {QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"),
                  QStringLiteral("error"), QStringLiteral("-i"), aFile, QStringLiteral("-an"),
                  QStringLiteral("-vf"),
                  QStringLiteral("select=eq(n\\,%1),scale=%2:%3:flags=bilinear")
                      .arg(aFrame)
                      .arg(aSize.width())
                      .arg(aSize.height()),
                  QStringLiteral("-frames:v"), QStringLiteral("1"), QStringLiteral("-f"),
                  QStringLiteral("rawvideo"), QStringLiteral("-pix_fmt"), QStringLiteral("bgr0"),
                  QStringLiteral("pipe:1")});
    if (!ffmpeg.waitForFinished(60000))
        return {};
    const QByteArray bytes = ffmpeg.readAllStandardOutput();
    if (bytes.size() != qsizetype(aSize.width()) * aSize.height() * 4)
        return {};
    return QImage(reinterpret_cast<const uchar*>(bytes.constData()), aSize.width(), aSize.height(),
                  QImage::Format_RGB32)
        .copy();
}

// Mean absolute difference per channel, and the share of pixels off by more than aFar.
struct TDifference {
    double Mean = 255;
    double FarShare = 1;
};
TDifference Compare(const QImage& aOne, const QImage& aOther, int aFar = 40)
{
    if (aOne.size() != aOther.size() || aOne.isNull())
        return {};
    const QImage a = aOne.convertToFormat(QImage::Format_RGB32);
    const QImage b = aOther.convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    qint64 far = 0;
    for (int y = 0; y < a.height(); ++y) {
        const QRgb* ra = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const QRgb* rb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            const int d = std::max({std::abs(qRed(ra[x]) - qRed(rb[x])),
                                    std::abs(qGreen(ra[x]) - qGreen(rb[x])),
                                    std::abs(qBlue(ra[x]) - qBlue(rb[x]))});
            sum += std::abs(qRed(ra[x]) - qRed(rb[x])) + std::abs(qGreen(ra[x]) - qGreen(rb[x])) +
                   std::abs(qBlue(ra[x]) - qBlue(rb[x]));
            far += d > aFar;
        }
    }
    const double n = double(a.width()) * a.height();
    return {sum / (3 * n), double(far) / n};
}

class Grab : public TFormTest {
protected:
    QTemporaryDir images;

    void Start()
    {
        StartForm({Clips::Get().dv});
        Action<TNopeAction>("naAjouterNumero")->Apply();
        Int("iaNextNum")->SetValue(1);
        Text("waDossierSave")->SetValue(images.path());
        ASSERT_EQ(form->CurrentVideo(), Clips::Get().dv);
    }
    QString Image(const char* aName) const
    {
        return QDir(images.path()).filePath(QString::fromLatin1(aName));
    }
    void StepTo(int aFrame)
    {
        for (int i = 0; i < aFrame; ++i)
            Apply("naAvanceFrame");
    }
    void Screenshot(const char* aName) { WindowTest::Screenshot(*form, aName); }
};

} // namespace

TEST_F(Grab, F5SavesTheFrameOnScreenAtThePicturesAspect)
{
    Start();
    StepTo(3);
    EXPECT_EQ(form->ImageLab->text(), Image("Tessarine_001.bmp"));
    Apply("naGrab");
    const QImage first(Image("Tessarine_001.bmp"));
    ASSERT_FALSE(first.isNull());
    EXPECT_EQ(first.size(), QSize(720, 540));
    EXPECT_EQ(StripOf(first), 3);
    EXPECT_EQ(Int("iaNextNum")->Value(), 2);
    EXPECT_EQ(form->ExtraireFrame->labImagetteTaille->text(), QStringLiteral("720 x 540"));
    EXPECT_EQ(form->ExtraireFrame->labsnapname->text(), QStringLiteral("Tessarine_001.bmp"));
    EXPECT_FALSE(form->ExtraireFrame->SnapLab->text().isEmpty());
    EXPECT_TRUE(form->ExtraireFrame->isVisible());
    EXPECT_FALSE(form->ExtraireFrame->Bevel3->isVisible());
    Screenshot("grab-4x3");

    Int("iaForcerAspectRatio")->SetValue(2);
    Settle();
    Apply("naAvanceFrame");
    Apply("naGrab");
    const QImage wide(Image("Tessarine_002.bmp"));
    ASSERT_FALSE(wide.isNull());
    EXPECT_EQ(wide.size(), QSize(720, 405));
    EXPECT_EQ(StripOf(wide), 4);
    EXPECT_EQ(form->ExtraireFrame->labImagetteTaille->text(), QStringLiteral("720 x 405"));
    EXPECT_EQ(Int("iaNextNum")->Value(), 3);
    Screenshot("grab-16x9");

    // The copy keeps the native size and neither saves nor counts.
    Apply("naCopy");
    const QImage copied = QGuiApplication::clipboard()->image();
    EXPECT_EQ(copied.size(), QSize(720, 576));
    EXPECT_EQ(StripOf(copied), 4);
    EXPECT_EQ(Int("iaNextNum")->Value(), 3);
    EXPECT_FALSE(QFile::exists(Image("Tessarine_003.bmp")));
}

TEST_F(Grab, ATypedPositionInEachFormatSavesTheFrameAnIndependentDecodeGives)
{
    Start();
    struct TCase {
        QString File;
        const char* Position;
        int Frame;
        QSize Size;
    };
    const Clips& clips = Clips::Get();
    const TCase cases[] = {
        {clips.dv, "0:00:00:07", 7, QSize(720, 540)},
        {clips.mp4, "0:00:00:17", 17, QSize(320, 240)}, // B-frames
        {clips.mpeg2, "0:00:00:13", 13, QSize(320, 240)},
        {clips.mkv, "0:00:00:21", 21, QSize(320, 240)},
        {clips.mp4, "0:00:00:03", 3, QSize(320, 240)}, // backwards, past a key frame
    };
    Bool("baConfirmerImage")->SetValue(false);
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.File.toStdString() + " " + c.Position);
        if (form->CurrentVideo() != c.File) {
            form->ficman->OpenFile(c.File);
            // The new file's first picture, however loaded the machine.
            QElapsedTimer wait;
            wait.start();
            while (!form->vidman->HasFrame() && wait.elapsed() < 10000)
                Settle(20);
        }
        ASSERT_EQ(form->CurrentVideo(), c.File);
        form->NavMan->waStrPosition->SetValue(QString::fromLatin1(c.Position));
        Settle();
        const QString name = form->ImageLab->text();
        Apply("naGrab");
        const QImage saved(name);
        ASSERT_FALSE(saved.isNull()) << name.toStdString();
        EXPECT_EQ(saved.size(), c.Size);
        EXPECT_EQ(StripOf(saved), c.Frame);
        const QImage reference = IndependentFrame(c.File, c.Frame, saved.size());
        ASSERT_FALSE(reference.isNull());
        EXPECT_EQ(StripOf(reference), c.Frame);
        const TDifference d = Compare(saved, reference);
        EXPECT_LT(d.Mean, 4.0);
        EXPECT_LT(d.FarShare, 0.01);
    }
}

TEST_F(Grab, JpegOrBmpAndAClickOnTheVideoCopiesOrSaves)
{
    Start();
    Apply("naJpegExtension");
    EXPECT_EQ(Int("iaImageExtension")->Value(), 1);
    StepTo(2);
    Apply("naGrab");
    QImageReader jpeg(Image("Tessarine_001.jpg"));
    EXPECT_EQ(jpeg.format(), "jpeg");
    const QImage saved = jpeg.read();
    EXPECT_EQ(saved.size(), QSize(720, 540));
    EXPECT_EQ(StripOf(saved), 2);
    Apply("naBmpExtension");

    // A click copies when saving is off, and saves when it is on.
    Bool("baSauverQuandClic")->SetValue(false);
    const QPointF at(form->videoPanel->width() / 2.0, form->videoPanel->height() / 2.0);
    const auto click = [&] {
        QMouseEvent press(QEvent::MouseButtonPress, at, form->videoPanel->mapToGlobal(at),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(form->videoPanel, &press);
        Settle();
    };
    click();
    EXPECT_EQ(Int("iaNextNum")->Value(), 2);
    EXPECT_FALSE(QFile::exists(Image("Tessarine_002.bmp")));
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(720, 576));
    // The copied grab is saved by a click on its name.
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(form->ExtraireFrame->labsnapname, &press);
    EXPECT_TRUE(QFile::exists(Image("Tessarine_002.bmp")));
    EXPECT_EQ(Int("iaNextNum")->Value(), 3);
    Bool("baSauverQuandClic")->SetValue(true);
    click();
    EXPECT_TRUE(QFile::exists(Image("Tessarine_003.bmp")));
    EXPECT_EQ(Int("iaNextNum")->Value(), 4);
}

TEST_F(Grab, TheOverwriteQuestionsFourAnswers)
{
    Start();
    Bool("baConfirmerImage")->SetValue(true);
    Apply("naGrab");
    ASSERT_TRUE(QFile::exists(Image("Tessarine_001.bmp")));
    EXPECT_TRUE(questions.Asked.isEmpty());
    const auto again = [&](TAnswer aAnswer) {
        Int("iaNextNum")->SetValue(1);
        questions.Answers = {aAnswer};
        Apply("naGrab");
    };

    again(TAnswer::No);
    ASSERT_EQ(questions.Asked.size(), 1);
    EXPECT_EQ(questions.Asked[0].Buttons, TQuestionButtons::YesNoCancelYesToAll);
    EXPECT_EQ(questions.Asked[0].Text,
              QStringLiteral("Le fichier %1 existe déjà. Voulez-vous le remplacer?\r\n\r\n"
                             "Cliquez sur \"Oui à Tous\" pour ne plus être interrogé.")
                  .arg(Image("Tessarine_001.bmp")));
    EXPECT_EQ(Int("iaNextNum")->Value(), 1);

    form->IntervalStop = false;
    again(TAnswer::Cancel);
    EXPECT_TRUE(form->IntervalStop);
    EXPECT_EQ(Int("iaNextNum")->Value(), 1);

    again(TAnswer::Yes);
    EXPECT_EQ(Int("iaNextNum")->Value(), 2);
    EXPECT_TRUE(Bool("baConfirmerImage")->Value());

    again(TAnswer::YesToAll);
    EXPECT_EQ(Int("iaNextNum")->Value(), 2);
    EXPECT_FALSE(Bool("baConfirmerImage")->Value());
    Int("iaNextNum")->SetValue(1);
    Apply("naGrab");
    EXPECT_EQ(questions.Asked.size(), 4); // no question once switched off
    EXPECT_EQ(Int("iaNextNum")->Value(), 2);
}

TEST_F(Grab, ASaveThatFailsKeepsTheNumber)
{
    Start();
    const QString notAFolder = Image("plain-file");
    QFile file(notAFolder);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    Text("waDossierSave")->SetValue(notAFolder);
    TBatchRun::SetActive(true); // the warning goes to the standard error, not a box
    form->IntervalStop = false;
    Apply("naGrab");
    EXPECT_TRUE(form->IntervalStop);
    const int status = TBatchRun::ExitStatus();
    TBatchRun::SetActive(false);
    TBatchRun::Reset();
    EXPECT_NE(status, 0);
    EXPECT_EQ(Int("iaNextNum")->Value(), 1);
    EXPECT_EQ(form->ExtraireFrame->labsnapname->text(), QStringLiteral("Tessarine_001.bmp"));
}

TEST_F(Grab, TheThumbnailSeeksBackAndGoesWithItsVideo)
{
    Start();
    Bool("baImageDeinterlacer")->SetValue(true);
    StepTo(5);
    Apply("naGrab");
    TExtraireFrame* panel = form->ExtraireFrame;
    EXPECT_EQ(panel->SnapLab->text(), QStringLiteral("0:00:00:05"));
    EXPECT_EQ(StripOf(QImage(Image("Tessarine_001.bmp"))), 5);
    StepTo(3);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(panel->Image, &press);
    Settle(300);
    QImage shown;
    ASSERT_TRUE(form->vidman->GetCurrentImage(shown));
    EXPECT_EQ(StripOf(shown), 5);

    // Reopening the video drops the thumbnail of the grab made before; closing does too.
    form->openfile(Clips::Get().dv);
    Settle();
    EXPECT_TRUE(panel->SnapLab->text().isEmpty());
    EXPECT_TRUE(panel->labsnapname->text().isEmpty());
    EXPECT_TRUE(panel->Bevel3->isVisible());
    EXPECT_EQ(Int("iaNextNum")->Value(), 1);
    Apply("naGrab");
    EXPECT_FALSE(panel->SnapLab->text().isEmpty());
    form->closefile();
    Settle();
    EXPECT_TRUE(panel->SnapLab->text().isEmpty());
    EXPECT_TRUE(panel->labImagetteTaille->text().isEmpty());
    EXPECT_TRUE(panel->Image->pixmap().isNull());
}

TEST_F(Grab, TheBottomBarShowsTheNextNameAndWhetherItExists)
{
    Start();
    StepTo(5);
    Apply("naAjouterTimeStamp");
    const QString stamped = Image("Tessarine_0.00.00.05.bmp");
    EXPECT_EQ(form->ImageLab->text(), stamped);
    EXPECT_TRUE(form->ImageLab->styleSheet().contains(QStringLiteral("#800000")));
    Apply("naGrab");
    EXPECT_TRUE(QFile::exists(stamped));
    // Once saved, the bar says at once that the next name (the same time stamp) exists.
    EXPECT_EQ(form->ImageLab->text(), stamped);
    EXPECT_TRUE(form->ImageLab->styleSheet().contains(QStringLiteral("#008000")));

    Int("iaNomFichierImage")->SetValue(1);
    Apply("naAjouterNumero");
    const QString video = QFileInfo(Clips::Get().dv).completeBaseName();
    EXPECT_EQ(form->ImageLab->text(), QDir(images.path()).filePath(video + u"_002.bmp"));
    Bool("baLimiterLongueur")->SetValue(true);
    Int("iaRacineLength")->SetValue(2);
    EXPECT_EQ(QFileInfo(form->ImageLab->text()).fileName(), video.left(2) + u"_002.bmp");
}

TEST_F(Grab, WhilePlayingTheGrabStillTakesAFrame)
{
    Start();
    auto* play = Action<TCheckAction>("caPlay");
    play->ApplyChecked(true);
    Settle(200);
    Apply("naGrab");
    play->ApplyChecked(false);
    const QImage saved(Image("Tessarine_001.bmp"));
    EXPECT_EQ(saved.size(), QSize(720, 540));
    EXPECT_GE(StripOf(saved), 0);
}

TEST_F(Grab, TheImagesMenuFlipsDeinterlacing)
{
    Start();
    auto* item = form->findChild<QAction*>(QStringLiteral("miDesentrelacer"));
    ASSERT_NE(item, nullptr);
    EXPECT_FALSE(Bool("baImageDeinterlacer")->Value());
    item->trigger();
    EXPECT_TRUE(Bool("baImageDeinterlacer")->Value());
    item->trigger();
    EXPECT_FALSE(Bool("baImageDeinterlacer")->Value());
}

TEST_F(Grab, NothingIsSavedWithoutAGrabOfTheCurrentFile)
{
    Start();
    StepTo(2);
    Apply("naCopy"); // a grab that is not saved
    form->closefile();
    Settle();
    // A script's Grab with no video, then a click on the (cleared) name: nothing is written,
    // not the previous frame under a new name.
    Apply("naGrab");
    QMouseEvent click(QEvent::MouseButtonRelease, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(form->ExtraireFrame->labsnapname, &click);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(form->ExtraireFrame->labsnapname, &press);
    Settle();
    EXPECT_TRUE(QDir(images.path()).entryList(QDir::Files).isEmpty());
    EXPECT_EQ(Int("iaNextNum")->Value(), 1);
}

TEST(GrabFromTheCommandLine, SwitchesAloneSaveTheFrameTheyNameAndTheProgramEnds)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("images à voir"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const TProgramRun run =
        RunProgram({Clips::Get().dv, QStringLiteral("/swi_savfold=") + folder,
                    QStringLiteral("/swi_root=R"), QStringLiteral("/swi_an"),
                    QStringLiteral("/swi_n=7"), QStringLiteral("/swi_StrPos=0:00:00:10"),
                    QStringLiteral("/swi_g"), QStringLiteral("/quit")},
                   dir.path());
    ASSERT_TRUE(run.Finished) << run.Errors.toStdString();
    EXPECT_EQ(run.ExitCode, 0) << run.Errors.toStdString();
    const QImage saved(QDir(folder).filePath(QStringLiteral("R_007.bmp")));
    ASSERT_FALSE(saved.isNull()) << QDir(folder).entryList().join(u' ').toStdString();
    EXPECT_EQ(saved.size(), QSize(720, 540));
    EXPECT_EQ(StripOf(saved), 10);
}
