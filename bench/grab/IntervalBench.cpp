// The interval capture of the main window beside the ffmpeg command line on the same file in the
// same run: the same frames (every 25 frames, every 2 s, every minute), the same size, JPEG at
// quality 90 against ffmpeg's select filter writing JPEGs at -q:v 2. Three minutes of DV PAL 4:3
// and of 640x480 H.264 with a key frame every 2 s.
// Each measure is the median of three turns (one with --quick).
// Run: bench_interval [--quick]  (--quick: 30 s files, the minute spacing left out)
#include "BenchPlayer.h"
#include "app/TShowForm.h"

#include "actions/TCheckAction.h"
#include "actions/TNopeAction.h"
#include "actions/ValueActions.h"
#include "media/TNavMan.h"
#include "prefs/TDravikPreferences.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

using namespace Bench;

class TQuiet : public TPrefsQuestion {
public:
    std::optional<TSavePreferences> AskSaveMode(const QString&) override { return spNone; }
    void Warn(const QString&) override {}
};

void Settle(int aMs)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < aMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

template <class A> A* Find(TShowForm& aForm, const char* aId)
{
    return qobject_cast<A*>(aForm.FindAction(QString::fromLatin1(aId)));
}

void IntervalRun(const QString& aName, const QString& aFile, int aDelay, int aUnit, int aEvery,
                 const QString& aOut, int aRepeats)
{
    TQuiet quiet;
    TShowForm form(&quiet);
    form.show();
    Settle(300);
    if (!form.openfile(aFile)) {
        std::printf("%s: cannot open\n", qPrintable(aName));
        return;
    }
    Settle(300);
    const QString ours = QDir(aOut).filePath(
        QStringLiteral("ours-%1-%2-%3").arg(QFileInfo(aFile).baseName()).arg(aDelay).arg(aUnit));
    const QString theirs = QDir(aOut).filePath(
        QStringLiteral("ff-%1-%2-%3").arg(QFileInfo(aFile).baseName()).arg(aDelay).arg(aUnit));
    QDir().mkpath(ours);
    QDir().mkpath(theirs);
    Find<TNopeAction>(form, "naJpegExtension")->Apply();
    Find<TNopeAction>(form, "naAjouterNumero")->Apply();
    Find<TIntegerAction>(form, "iaJpegCompressionQuality")->SetValue(90);
    Find<TBooleanAction>(form, "baConfirmerImage")->SetValue(false);
    Find<TWidestringAction>(form, "waDossierSave")->SetValue(ours + u'/');
    Find<TIntegerAction>(form, "iaIntervalloDelai")->SetValue(aDelay);
    Find<TIntegerAction>(form, "iaIntervalloUnit")->SetValue(aUnit);
    form.NavMan->GoToStart();
    Settle(100);
    form.UpdateIntervalCount();
    const qint64 count = form.IntervalCount();

    // Ours and ffmpeg in turn, so that a busy moment of the machine falls on both.
    TStats oursTimes;
    TStats ffTimes;
    QStringList saved;
    int wrong = 0;
    for (int rep = 0; rep < aRepeats; ++rep) {
        QDir(ours).removeRecursively();
        QDir().mkpath(ours);
        Find<TIntegerAction>(form, "iaNextNum")->SetValue(1);
        form.NavMan->GoToStart();
        Settle(100);
        form.UpdateIntervalCount();
        QElapsedTimer t;
        t.start();
        Find<TNopeAction>(form, "naIntervalloStart")->Apply();
        oursTimes.samples.push_back(Since(t));
        saved = QDir(ours).entryList(QDir::Files, QDir::Name);
        wrong = 0;
        QSize size;
        for (int i = 0; i < saved.size(); ++i) {
            const QImage image(QDir(ours).filePath(saved[i]));
            size = image.size();
            const int expected =
                qMin(i * aEvery, form.NavMan->RangeEnd() / form.NavMan->FrameDuration() - 1);
            wrong += StripOf(image) != expected;
        }
        ffTimes.samples.push_back(
            Ffmpeg({QStringLiteral("-i"), aFile, QStringLiteral("-an"), QStringLiteral("-vf"),
                    QStringLiteral("select=not(mod(n\\,%1)),scale=%2:%3")
                        .arg(aEvery)
                        .arg(size.width())
                        .arg(size.height()),
                    QStringLiteral("-fps_mode"), QStringLiteral("vfr"), QStringLiteral("-q:v"),
                    QStringLiteral("2"), QStringLiteral("-y"),
                    QDir(theirs).filePath(QStringLiteral("%04d.jpg"))}));
    }
    const qsizetype ffCount = QDir(theirs).entryList(QDir::Files).size();
    g_rows.push_back(
        {aName + QStringLiteral(" interval every %1 frames").arg(aEvery), oursTimes.Pct(0.5),
         oursTimes.Pct(0.95), ffTimes.Pct(0.5), ffTimes.Pct(0.95),
         QStringLiteral("%1/%2 images, ffmpeg %3%4")
             .arg(saved.size())
             .arg(count)
             .arg(ffCount)
             .arg(wrong ? QStringLiteral(", %1 wrong frames").arg(wrong) : QString())});
    form.close();
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool quick = app.arguments().contains(QStringLiteral("--quick"));
    QTemporaryDir dir;
    const int frames = quick ? 750 : 4500;
    const int repeats = quick ? 1 : 3;

    struct TFile {
        QString name;
        QString path;
    };
    const TFile files[] = {
        {QStringLiteral("DV PAL 4:3"), MediaMaker::DvType2Avi(dir.path(), frames)},
        {QStringLiteral("H.264 640x480"), MakeH264Clip(dir.path(), frames, 640, 480)}};
    for (const TFile& file : files) {
        if (file.path.isEmpty()) {
            std::printf("%s: cannot be made\n", qPrintable(file.name));
            continue;
        }
        IntervalRun(file.name, file.path, 25, 0, 25, dir.path(), repeats);
        IntervalRun(file.name, file.path, 2, 1, 50, dir.path(), repeats);
        if (!quick)
            IntervalRun(file.name, file.path, 1, 2, 1500, dir.path(), repeats);
    }
    Print();
    return 0;
}
