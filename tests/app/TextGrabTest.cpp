// The on-video text reaches the saved image from the command line alone: a DV tape's recording
// date and timecode, drawn as the video manager draws them, over the very frame grabbed.
#include "TestPrinters.h"
#include "WindowTestSupport.h"

#include "base/ScriptDateTime.h"
#include "media/MediaInit.h"
#include "media/TTextLayer.h"
#include "media/TVideoMan.h"
#include "prefs/TDravikPreferences.h"
#include <TestDirs.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace WindowTest;

// Runs the program on aVideo with aSwitches and /quit, French and in Paris; the images saved.
QStringList RunProgram(const QString& aVideo, const QString& aFolder, QStringList aSwitches)
{
    QTemporaryDir home;
    aSwitches.prepend(QStringLiteral("/swi_savfold=") + aFolder);
    aSwitches.prepend(aVideo);
    aSwitches << QStringLiteral("/quit");
    const TProgramRun run = WindowTest::RunProgram(aSwitches, home.path(), true);
    if (!run.Finished || run.ExitCode != 0)
        ADD_FAILURE() << run.Errors.toStdString();
    QStringList images;
    for (const QString& name :
         QDir(aFolder).entryList({QStringLiteral("*.bmp")}, QDir::Files, QDir::Name))
        images << QDir(aFolder).filePath(name);
    return images;
}

// The two lines of aOne and aTwo as the video manager draws them with its stored defaults and
// aCodes, put onto aFrame as a grab puts them.
QImage Drawn(const QImage& aFrame, const QString& aOne, const QString& aTwo,
             const TIncrustDV& aCodes)
{
    TTestConfigHome home;
    TDravikPreferences gp;
    gp.SetProgramFolder(home.Path());
    gp.SetHiveFile(home.HiveFile());
    gp.ApplyMode(spRegistre);
    TVideoMan vm;
    vm.Setup();
    gp.OpenSection(QStringLiteral("ShowForm"));
    vm.LoadFromPrefs(gp);
    gp.CloseSection();
    vm.Style.AutoSize = true; // the window's default
    vm.TextSlots[0] = aOne;
    vm.TextSlots[1] = aTwo;
    vm.TextSlots[8] = QStringLiteral("ddddd");
    vm.TextSlots[9] = QStringLiteral("tt");
    vm.SetStreamCodes(aCodes);
    const TTextPart layer = RenderTextPart(aFrame.size(), vm.Lines, vm.Style);
    return ComposeCurrentImage(aFrame.convertToFormat(QImage::Format_RGB32), layer.Image,
                               TextOpacity(vm.Style.Transparency), layer.At);
}

// The recorded date over the time.
QImage DrawnDate(const QImage& aFrame, const QDateTime& aWhen)
{
    TIncrustDV codes;
    codes.dateValid = true;
    codes.date = ScriptDateTimeFromQt(aWhen);
    return Drawn(aFrame, QStringLiteral("%D"), QStringLiteral("%D"), codes);
}

int Differences(const QImage& aOne, const QImage& aOther)
{
    if (aOne.size() != aOther.size())
        return -1;
    const QImage a = aOne.convertToFormat(QImage::Format_RGB32);
    const QImage b = aOther.convertToFormat(QImage::Format_RGB32);
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            n += (a.pixel(x, y) & 0xFFFFFF) != (b.pixel(x, y) & 0xFFFFFF);
    return n;
}

} // namespace

TEST(TextFromTheCommandLine, ATapesDateAndTimecodeAreDrawnOverTheFrameGrabbed)
{
    EnsureMediaFramework();
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    QTemporaryDir dir;
    MediaMaker::TDvStamp stamp;
    stamp.Recorded = QDateTime(QDate(2003, 7, 14), QTime(9, 8, 7));
    stamp.Hours = 1;
    stamp.Minutes = 2;
    stamp.Seconds = 3;
    stamp.Frames = 4;
    const QString tape = MediaMaker::DvTape(dir.path(), 25, stamp);
    ASSERT_FALSE(tape.isEmpty());
    const QString out = dir.filePath(QStringLiteral("images"));
    ASSERT_TRUE(QDir().mkpath(out));

    // The same frame without text, with the date, with the timecode.
    const QStringList images =
        RunProgram(tape, out,
                   {QStringLiteral("/swi_arNat"), QStringLiteral("/swi_an"),
                    QStringLiteral("/swi_n=1"), QStringLiteral("/swi_StrPos=0:00:00:10"),
                    QStringLiteral("/swi_g"), QStringLiteral("/swi_id"), QStringLiteral("/swi_g"),
                    QStringLiteral("/swi_it"), QStringLiteral("/swi_g")});
    ASSERT_EQ(images.size(), 3);
    const QImage plain(images[0]), dated(images[1]), timed(images[2]);
    ASSERT_EQ(plain.size(), QSize(720, 576));
    EXPECT_EQ(StripOf(plain), 10);
    EXPECT_EQ(StripOf(dated), 10);
    EXPECT_GT(Differences(plain, dated), 200); // there is text
    EXPECT_EQ(Differences(dated, DrawnDate(plain, stamp.Recorded)), 0);
    TIncrustDV code;
    code.timecodeValid = true;
    code.timecodeText = QStringLiteral("1:02:03:14"); // frame 0 is 1:02:03:04
    EXPECT_EQ(Differences(timed, Drawn(plain, QStringLiteral("%T"), QString(), code)), 0);

    // Two hours later, once rounded to whole hours.
    const QString later = dir.filePath(QStringLiteral("later"));
    ASSERT_TRUE(QDir().mkpath(later));
    const QStringList shifted =
        RunProgram(tape, later,
                   {QStringLiteral("/swi_arNat"), QStringLiteral("/swi_an"),
                    QStringLiteral("/swi_dh=0.0833"), QStringLiteral("/swi_StrPos=0:00:00:10"),
                    QStringLiteral("/swi_id"), QStringLiteral("/swi_g")});
    ASSERT_EQ(shifted.size(), 1);
    EXPECT_EQ(Differences(QImage(shifted[0]), DrawnDate(plain, stamp.Recorded.addSecs(7200))), 0);
}
