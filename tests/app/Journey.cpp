// The journey tester: drives the real main window, off screen, with seeded random sequences of
// user commands (through their actions, the slider, the position box, drops), some of them
// arriving while the one before waits, and checks the window against a small model after each:
// playing or paused, the frame shown (read from its strip), the position box, what a grab saves,
// no message box, every command over within its bound. A failing sequence is shrunk and printed
// as a list that --replay runs again.
//
//   journey --media=h264 --seed=7 --steps=300
//   journey --media=dv --replay="open:0 end play type:12"
#include "MediaMaker.h"
#include "WindowTestSupport.h"
#include "app/TExtraireFrame.h"
#include "app/TOptionsFrame.h"
#include "app/TShowForm.h"
#include "app/TVideoPanel.h"
#include "app/Tnavframe.h"
#include "ui/TKoAppliMan.h"

#include "actions/TCheckAction.h"
#include "actions/TNopeAction.h"
#include "actions/ValueActions.h"
#include "base/TCommandQueue.h"
#include "files/TFichierMan.h"
#include "files/TUserQuestions.h"
#include "media/TNavMan.h"
#include "media/TVideoMan.h"
#include "media/core/FormatPosition.h"
#include <TestDirs.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDialog>
#include <QDir>
#include <QDropEvent>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QRegularExpression>
#include <QSlider>
#include <QTimer>
#include <QUrl>

#include <cstdio>
#include <functional>
#include <random>

namespace {

using namespace WindowTest;

constexpr int kRate = 25;
constexpr qint64 kFrame = 10'000'000 / kRate;

struct TMedium {
    QString Name;
    QString Path;
    int Frames = 0; // really in the file
    bool Video = true;
    bool PlainExact = true; // an accurate seek lands on its frame (not MPEG program streams)
    bool Whole = true;      // the length the file states is true
};

// Small clips, made once: H.264 with B-frames and a long GOP with sound, DV type 2, MPEG-2 PS
// with sound, MKV, sound only, a DV file cut in the middle.
QList<TMedium> MakeMedia(const QString& aFolder)
{
    const auto in = [&aFolder](const char* aSub) {
        const QString d = QDir(aFolder).filePath(QString::fromLatin1(aSub));
        QDir().mkpath(d);
        return d;
    };
    QList<TMedium> media;
    media.append({QStringLiteral("h264"), MediaMaker::H264LongGop(in("h264"), 75, 50), 75});
    media.append({QStringLiteral("dv"), MediaMaker::DvType2Avi(in("dv"), 40), 40});
    media.append(
        {QStringLiteral("mpeg2"), MediaMaker::Mpeg2Program(in("mpeg2"), 50), 50, true, false});
    media.append({QStringLiteral("mkv"), MediaMaker::MkvH264Vorbis(in("mkv"), 40), 40});
    media.append({QStringLiteral("sound"), MediaMaker::SoundOnlyMkv(in("sound")), 0, false});
    const QString whole = MediaMaker::DvType2Avi(in("cut"), 40);
    media.append({QStringLiteral("truncated"),
                  MediaMaker::Truncated(whole, 144000 * 20 + 20000, QStringLiteral("cut.avi")), 19,
                  true, true, false});
    return media;
}

struct TStep {
    QString Name;
    int Arg = 0;
    bool During = false; // comes while the step before waits
    int DelayMs = 0;     // that long after the step before began: races replay as they ran

    QString Text() const
    {
        return (During ? u"~"_qs : QString()) + Name +
               (Arg ? u':' + QString::number(Arg) : QString()) +
               (During ? u'@' + QString::number(DelayMs) : QString());
    }
    static TStep Parse(const QString& aText)
    {
        TStep s;
        QString t = aText;
        s.During = t.startsWith(u'~');
        if (s.During)
            t.remove(0, 1);
        const qsizetype at = t.indexOf(u'@');
        if (at >= 0) {
            s.DelayMs = qBound(0, t.mid(at + 1).toInt(), 1000);
            t.truncate(at);
        }
        const qsizetype colon = t.indexOf(u':');
        s.Name = t.left(colon);
        if (colon >= 0)
            s.Arg = t.mid(colon + 1).toInt();
        return s;
    }
};

struct TModel {
    const TMedium* File = nullptr;
    bool Playing = false;
    int Frame = -1; // the frame shown, when the model knows it
};

class TJourney;

// One row per command: how often it is drawn, when it can run, its argument, what it does to the
// window (Act) and what the model expects of it (Expect).
struct TCommand {
    const char* Name;
    int Weight;
    // One trigger whose effect the model knows from the step before: it may arrive while that
    // step waits.
    bool Simple;
    std::function<bool(TJourney&)> Can;
    std::function<int(TJourney&, std::mt19937&)> Draw;
    std::function<void(TJourney&, int)> Act;
    std::function<void(TJourney&, int)> Expect;
};

class TNoQuestions : public TUserQuestions {
public:
    TAnswer Ask(QWidget*, const TQuestion&) override { return TAnswer::Yes; }
    bool AskOpenFile(QWidget*, TFileDialogRequest&) override { return false; }
    bool AskSaveFile(QWidget*, TFileDialogRequest&) override { return false; }
    bool AskFolder(QWidget*, TFolderDialogRequest&) override { return false; }
};

class TJourney {
public:
    TJourney(const QList<TMedium>& aMedia, int aPrimary)
        : Media(aMedia)
        , Primary(aPrimary)
    {
    }

    const QList<TMedium>& Media;
    const int Primary;
    std::unique_ptr<TShowForm> Form;
    TModel Model;
    QString Failure;
    QList<TStep> Ran; // the steps of the last run, as they were carried out
    static constexpr int kBoundMs = 15000;

    // Runs aSteps, or aCount steps drawn with aRandom, on a new window; false at the first check
    // that fails (Failure says which).
    bool Run(const QList<TStep>& aSteps, int aCount, std::mt19937* aRandom, bool aVerbose);

    // --- what the commands use
    template <class A> A* Action(const char* aId) const
    {
        auto* a = qobject_cast<A*>(Form->FindAction(QString::fromLatin1(aId)));
        if (!a)
            qFatal("no action %s", aId);
        return a;
    }
    void Trigger(const char* aId) { Action<TCustomAbstractAction>(aId)->Action()->trigger(); }
    bool Enabled(const char* aId) const { return Action<TCustomAbstractAction>(aId)->Enabled(); }
    bool HasVideo() const { return Model.File && Model.File->Video; }
    int Last() const { return Model.File ? qMax(0, Model.File->Frames - 1) : 0; }
    // Where the model's frame goes after a move to aFrame (a precise one unless aPlain).
    void MovedTo(int aFrame, bool aPlain = false)
    {
        if (!HasVideo())
            return;
        const bool known = aFrame <= Last() && (!aPlain || Model.File->PlainExact);
        Model.Frame = Model.Playing || !known ? -1 : qBound(0, aFrame, Last());
    }
    void Opened(int aMedium)
    {
        Model.File = &Media[aMedium];
        Model.Frame = Model.Playing ? -1 : 0;
    }
    int Shown() const
    {
        QImage image;
        return Form->vidman->GetCurrentImage(image) ? StripOf(image) : -2;
    }
    QString ImagesFolder() const { return m_images.path(); }
    // The frame a position text names.
    static qint64 FrameOf(const QString& aText)
    {
        return (ParsePosition(aText, kFrame) + kFrame / 2) / kFrame;
    }
    // The frame in the newest image saved; -3 when none.
    int SavedStrip() const
    {
        const QDir images(ImagesFolder());
        const QStringList saved = images.entryList(QDir::Files, QDir::Time);
        return saved.isEmpty() ? -3 : StripOf(QImage(images.filePath(saved.first())));
    }
    bool Fail(const QString& aWhy)
    {
        if (Failure.isEmpty())
            Failure = aWhy;
        return false;
    }

private:
    void Start();
    TStep Draw(std::mt19937& aRandom, bool aAfterWait);
    bool WaitIdle(int aBoundMs);
    bool Check(const TStep& aStep);
    void CloseBoxes();

    std::unique_ptr<TTestConfigHome> m_home;
    TSaveToRegistry m_answer;
    TNoQuestions m_questions;
    QTemporaryDir m_images;
    QStringList m_boxes;
    QHash<QString, QString> m_firstDecoder; // by file
    int m_ends = 0;       // ends of the file reached, counted as the window hears of them
    int m_endsAtPlay = 0; // the count when the model last began to play
};

const char* StepAction(int aFrames)
{
    switch (aFrames) {
    case 1:
        return "naAvanceFrame";
    case -1:
        return "naReculeFrame";
    case 10:
        return "naAvance10Frames";
    case -10:
        return "naRecule10Frames";
    case kRate:
        return "naAvanceSeconde";
    case -kRate:
        return "naReculeSeconde";
    case 10 * kRate:
        return "naAvance10Secondes";
    case -10 * kRate:
        return "naRecule10Secondes";
    case 60 * kRate:
        return "naAvanceMinute";
    default:
        return "naReculeMinute";
    }
}

const QList<TCommand>& Commands()
{
    using TJ = TJourney;
    const auto always = [](TJ&) { return true; };
    const auto file = [](TJ& j) { return j.Model.File != nullptr; };
    const auto video = [](TJ& j) { return j.HasVideo() && j.Enabled("naGrab"); };
    const auto none = [](TJ&, std::mt19937&) { return 0; };
    const auto nothing = [](TJ&, int) {};
    const auto medium = [](TJ& j, std::mt19937& r) {
        // Mostly the medium of the run, sometimes another one.
        if (std::uniform_int_distribution<int>(0, 3)(r) > 0)
            return j.Primary;
        return std::uniform_int_distribution<int>(0, int(j.Media.size()) - 1)(r);
    };
    const auto trigger = [](const char* aId) { return [aId](TJ& j, int) { j.Trigger(aId); }; };
    static const QList<TCommand> commands = {
        {"play", 8, true, file, none, trigger("caPlay"),
         [](TJ& j, int) {
             j.Model.Playing = !j.Model.Playing;
             j.Model.Frame = -1;
         }},
        {"step", 16, true, file,
         [](TJ&, std::mt19937& r) {
             static const int amounts[] = {1,          -1,          1,          -1,
                                           10,         -10,         kRate,      -kRate,
                                           10 * kRate, -10 * kRate, 60 * kRate, -60 * kRate};
             return amounts[std::uniform_int_distribution<int>(0, 11)(r)];
         },
         [](TJ& j, int aFrames) { j.Trigger(StepAction(aFrames)); },
         [](TJ& j, int aFrames) {
             if (j.Model.Frame >= 0)
                 j.MovedTo(qBound(0, j.Model.Frame + aFrames, j.Last()));
         }},
        {"start", 3, true, file, none, trigger("naReculeDebut"), [](TJ& j, int) { j.MovedTo(0); }},
        {"end", 3, true, file, none, trigger("naAvanceFin"),
         [](TJ& j, int) { j.MovedTo(j.Model.File->Whole ? j.Last() : j.Last() + 1); }},
        {"type", 5, false, file,
         [](TJ& j, std::mt19937& r) {
             return std::uniform_int_distribution<int>(0, qMax(0, j.Last()))(r);
         },
         [](TJ& j, int aFrame) {
             QLineEdit* box = j.Form->navframe->CurrentEdit;
             box->setFocus();
             box->setText(FormatPosition(kFrame, aFrame * kFrame));
             Q_EMIT box->returnPressed();
         },
         [](TJ& j, int aFrame) { j.MovedTo(aFrame); }},
        {"slider", 5, false, file,
         [](TJ&, std::mt19937& r) { return std::uniform_int_distribution<int>(0, 1000)(r); },
         [](TJ& j, int aPermille) {
             // Pressed, dragged through two places, let go at the third.
             QSlider* s = j.Form->navframe->tb;
             s->setSliderDown(true);
             for (int p : {(aPermille * 7919) % 1001, (aPermille * 104729) % 1001, aPermille})
                 s->setValue(s->minimum() + int(qint64(s->maximum() - s->minimum()) * p / 1000));
             s->setSliderDown(false);
         },
         [](TJ& j, int) {
             const QSlider* s = j.Form->navframe->tb;
             if (s->value() >= s->maximum()) {
                 j.MovedTo(j.Model.File->Whole ? j.Last() : j.Last() + 1);
                 return;
             }
             const qint64 end = j.Form->NavMan->RangeEnd() - kFrame;
             const qint64 p = qMax<qint64>(0, qMin(qint64(s->value()) * 1024, end));
             j.MovedTo(int((p + kFrame / 2) / kFrame), true);
         }},
        {"toend", 2, false, file, none,
         [](TJ& j, int) {
             if (!j.Form->NavMan->caPlay->Checked())
                 j.Trigger("caPlay");
             QElapsedTimer t;
             t.start();
             while (j.Form->NavMan->caPlay->Checked() && t.elapsed() < 20000)
                 QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
         },
         [](TJ& j, int) {
             j.Model.Playing = false;
             j.Model.Frame = j.HasVideo() && j.Model.File->Whole ? j.Last() : -1;
         }},
        {"open", 3, false, always, medium,
         [](TJ& j, int aMedium) { j.Form->ficman->OpenFile(j.Media[aMedium].Path); },
         [](TJ& j, int aMedium) { j.Opened(aMedium); }},
        {"drop", 2, false, always, medium,
         [](TJ& j, int aMedium) {
             QMimeData data;
             data.setUrls({QUrl::fromLocalFile(j.Media[aMedium].Path)});
             const QPoint at = j.Form->videoPanel->rect().center();
             QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
             QCoreApplication::sendEvent(j.Form->videoPanel, &enter);
             QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
             QCoreApplication::sendEvent(j.Form->videoPanel, &drop);
         },
         [](TJ& j, int aMedium) {
             // The file already open is not opened again by a drop.
             if (j.Model.File != &j.Media[aMedium])
                 j.Opened(aMedium);
         }},
        {"close", 1, false, file, none, [](TJ& j, int) { j.Form->ficman->CloseFile(); },
         [](TJ& j, int) { j.Model = TModel(); }},
        {"nextvideo", 2, true, video, none, trigger("naNextDecoderVideo"), nothing},
        {"nextaudio", 1, true, file, none, trigger("naNextDecoderAudio"), nothing},
        {"fullscreen", 1, true, video, none, trigger("caFullscreen"), nothing},
        {"preview", 1, true, file, none, trigger("caPreviewForm"), nothing},
        {"text", 2, true, always, none, trigger("caInsertTextOn"), nothing},
        {"flip", 1, true, always, none, trigger("caFlipVertical"), nothing},
        {"mute", 1, true, always, none, trigger("caMute"), nothing},
        {"volume", 1, true, always, none, trigger("naDecVolume"), nothing},
        {"grab", 5, true, video, none, trigger("naGrab"), nothing},
        {"copy", 2, true, video, none, trigger("naCopy"), nothing},
        {"interval", 2, false, video,
         [](TJ&, std::mt19937& r) { return std::uniform_int_distribution<int>(1, 400)(r); },
         [](TJ& j, int aMs) {
             // Esc a moment later, as a user who changed their mind.
             QTimer::singleShot(aMs, j.Form.get(), [&j] { j.Trigger("naAbort"); });
             j.Trigger("naIntervalloStart");
         },
         [](TJ& j, int) {
             j.Model.Playing = false;
             j.MovedTo(0);
         }},
        {"private", 1, false, always, none,
         [](TJ& j, int) { j.Form->OptionsFrame->cbUsePrivateFilters->click(); },
         [](TJ& j, int) {
             j.Model.Playing = false;
             j.MovedTo(0);
         }},
    };
    return commands;
}

const TCommand* Find(const QString& aName)
{
    for (const TCommand& c : Commands())
        if (aName == QLatin1String(c.Name))
            return &c;
    return nullptr;
}

TStep TJourney::Draw(std::mt19937& aRandom, bool aAfterWait)
{
    QList<const TCommand*> can;
    int total = 0;
    for (const TCommand& c : Commands())
        if (c.Can(*this) && (!aAfterWait || c.Simple)) {
            can << &c;
            total += c.Weight;
        }
    int pick = std::uniform_int_distribution<int>(0, qMax(0, total - 1))(aRandom);
    const TCommand* chosen = can.value(0, &Commands().first());
    for (const TCommand* c : std::as_const(can)) {
        if (pick < c->Weight) {
            chosen = c;
            break;
        }
        pick -= c->Weight;
    }
    TStep step;
    step.Name = QString::fromLatin1(chosen->Name);
    step.Arg = chosen->Draw(*this, aRandom);
    return step;
}

void TJourney::Start()
{
    m_home = std::make_unique<TTestConfigHome>();
    SetUserQuestions(&m_questions);
    Form = std::make_unique<TShowForm>(&m_answer);
    Form->gp->SetProgramFolder(m_home->Path());
    Form->gp->SetHiveFile(m_home->HiveFile());
    Form->show();
    Form->resize(1200, 900);
    Settle(300);
    Action<TWidestringAction>("waDossierSave")->SetValue(m_images.path());
    Action<TIntegerAction>("iaImageAjouter")->SetValue(1); // numbered: every grab a new file
    Action<TBooleanAction>("baConfirmerImage")->SetValue(false);
    Action<TIntegerAction>("iaIntervalloDelai")->SetValue(7);
    Action<TIntegerAction>("iaIntervalloUnit")->SetValue(0);
    Action<TWidestringAction>("waPrivateFolder")->SetValue(QStringLiteral(TESS_PRIVATE_SET_DIR));
    Action<TBooleanAction>("baUsePrivateFilters")->SetValue(false);
    WaitIdle(kBoundMs);
    auto completed = Form->NavMan->OnGraphCompleted;
    Form->NavMan->OnGraphCompleted = [this, completed] {
        ++m_ends;
        if (completed)
            completed();
    };
    Model = TModel();
    m_boxes.clear();
    m_firstDecoder.clear();
}

void TJourney::CloseBoxes()
{
    // A box the model never expects: noted and closed, so that the journey goes on to its check.
    while (QWidget* w = QApplication::activeModalWidget()) {
        QString text = w->windowTitle();
        for (const QLabel* l : w->findChildren<QLabel*>())
            text += u' ' + l->text();
        m_boxes << text;
        if (auto* box = qobject_cast<QDialog*>(w))
            box->reject();
        else
            w->close();
    }
}

bool TJourney::WaitIdle(int aBoundMs)
{
    QElapsedTimer t;
    t.start();
    // Idle, then the frames and reports already on their way.
    while (t.elapsed() < aBoundMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        if (TCommandQueue::Instance().Idle()) {
            Settle(20);
            if (TCommandQueue::Instance().Idle())
                return true;
        }
    }
    return false;
}

bool TJourney::Check(const TStep& aStep)
{
    if (!m_boxes.isEmpty())
        return Fail(u"a message box after "_qs + aStep.Text() + u": " + m_boxes.join(u" | "));
    TNavMan* nav = Form->NavMan;
    const bool playing = nav->caPlay->Checked();
    const bool grabbedPlaying = Model.Playing; // a grab or copy; the end may have come since
    // Playing on to the end is a pause on the last frame: it may come at any moment.
    const qint64 last = nav->TotalDuration() - 2 * qMax<qint64>(kFrame, nav->FrameDuration());
    if (Model.Playing && !playing && (nav->AtEnd() || nav->CurrentPosition() >= last)) {
        Model.Playing = false;
        Model.Frame = HasVideo() && Model.File->Whole ? Last() : -1;
    } else if (Model.Playing && !playing && m_ends != m_endsAtPlay) {
        // The end came while playing, then a move back that now stands paused.
        Model.Playing = false;
        Model.Frame = -1;
    }
    if (Model.File && playing != Model.Playing)
        return Fail(QStringLiteral("after %1: %2 where the model says %3")
                        .arg(aStep.Text(), playing ? u"playing"_qs : u"paused"_qs,
                             Model.Playing ? u"playing"_qs : u"paused"_qs));
    // Another decoder than the one first chosen for the file may show other pictures (the
    // alternatives are tried, not trusted; the choice is remembered across opens): not checked.
    const QString decoder = HasVideo() ? Form->vidman->Branch().Found() : QString();
    const QString first = Model.File ? m_firstDecoder.value(Model.File->Path, decoder) : decoder;
    if (Model.File)
        m_firstDecoder.insert(Model.File->Path, first);
    // Playing or not, a grab is named after the frame it holds.
    const int grabbed = aStep.Name == u"grab" && decoder == first ? SavedStrip() : -1;
    if (grabbed >= 0 && FrameOf(Form->ExtraireFrame->SnapLab->text()) != grabbed)
        return Fail(QStringLiteral("the grab of frame %1 is labelled %2")
                        .arg(grabbed)
                        .arg(Form->ExtraireFrame->SnapLab->text()));
    if (!Model.File || !HasVideo() || Model.Playing || !Form->vidman->HasFrame())
        return true;
    if (decoder != first) {
        Model.Frame = -1;
        return true;
    }
    // A pause lets the sink show the frame it stopped on a moment after the box names it: what
    // stays on screen is checked, not that moment.
    int shown = Shown();
    const auto boxFrame = [this] { return FrameOf(Form->navframe->CurrentEdit->text()); };
    QElapsedTimer settling;
    settling.start();
    while (shown != boxFrame() && settling.elapsed() < 1000) {
        Settle(20);
        shown = Shown();
    }
    if (shown < 0)
        return Fail(u"after "_qs + aStep.Text() + u": no frame strip on the picture");
    if (Model.Frame >= 0 && shown != Model.Frame)
        return Fail(QStringLiteral("after %1: frame %2 shown where the model says %3")
                        .arg(aStep.Text())
                        .arg(shown)
                        .arg(Model.Frame));
    Model.Frame = shown;
    if (!Form->navframe->CurrentEdit->hasFocus() && boxFrame() != shown)
        return Fail(QStringLiteral("after %1: the position box says %2 over frame %3")
                        .arg(aStep.Text(), Form->navframe->CurrentEdit->text())
                        .arg(shown));
    // The thumb where the picture is: the slider counts 1024 units of 100 ns.
    const QSlider* slider = Form->navframe->tb;
    const qint64 thumb = qint64(slider->value()) * 1024;
    if (!slider->isSliderDown() && slider->value() < slider->maximum() &&
        std::abs(thumb - shown * kFrame) > kFrame)
        return Fail(QStringLiteral("after %1: the slider's thumb stands at %2 ms over frame %3")
                        .arg(aStep.Text())
                        .arg(thumb / 10000)
                        .arg(shown));
    if (aStep.Name == u"grab" && !grabbedPlaying && grabbed != shown)
        return Fail(
            QStringLiteral("the grab saved frame %1 over frame %2").arg(grabbed).arg(shown));
    if (aStep.Name == u"copy" && !grabbedPlaying &&
        StripOf(QGuiApplication::clipboard()->image()) != shown)
        return Fail(u"the copy holds another frame than the one shown"_qs);
    return true;
}

bool TJourney::Run(const QList<TStep>& aSteps, int aCount, std::mt19937* aRandom, bool aVerbose)
{
    Failure.clear();
    Ran.clear();
    Start();
    QTimer boxes;
    QObject::connect(&boxes, &QTimer::timeout, &boxes, [this] { CloseBoxes(); });
    boxes.start(20);
    const int count = aRandom ? aCount : int(aSteps.size());
    bool ok = true;
    for (int i = 0; ok && i < count; ++i) {
        TStep step =
            aRandom ? (i == 0 ? TStep{u"open"_qs, Primary} : Draw(*aRandom, false)) : aSteps[i];
        if (step.During)
            continue; // carried out with the step before
        // The next one may come while this one waits (or just after it, when it waits for
        // nothing): it must run after it all the same.
        std::optional<TStep> next;
        static const QStringList waits = {u"play"_qs, u"step"_qs,      u"start"_qs,
                                          u"end"_qs,  u"nextvideo"_qs, u"nextaudio"_qs};
        if (aRandom && waits.contains(step.Name) && i + 1 < count &&
            std::uniform_int_distribution<int>(0, 3)(*aRandom) == 0) {
            next = Draw(*aRandom, true);
            next->During = true;
            next->DelayMs = i % 7;
        } else if (!aRandom && i + 1 < count && aSteps[i + 1].During) {
            next = aSteps[i + 1];
        }
        const TCommand* c = Find(step.Name);
        const TCommand* n = next ? Find(next->Name) : nullptr;
        if (!c || !c->Can(*this))
            continue; // a replayed list may name one that cannot run here
        const bool nextCan = n && n->Can(*this);
        QElapsedTimer t;
        t.start();
        if (nextCan)
            QTimer::singleShot(next->DelayMs, Form.get(),
                               [this, n, next] { n->Act(*this, next->Arg); });
        if (!Model.Playing)
            m_endsAtPlay = m_ends;
        c->Act(*this, step.Arg);
        Ran << step;
        const bool idle = WaitIdle(kBoundMs);
        c->Expect(*this, step.Arg);
        if (nextCan) {
            n->Expect(*this, next->Arg);
            Ran << *next;
        }
        if (aVerbose)
            std::printf("%4d %-16s %6lld ms\n", i,
                        qPrintable(step.Text() + (next ? u' ' + next->Text() : QString())),
                        qint64(t.elapsed()));
        if (!idle)
            ok = Fail(u"still busy "_qs + QString::number(kBoundMs) + u" ms after " + step.Text());
        ok = ok && Check(nextCan ? *next : step);
        if (next)
            ++i;
    }
    Form->close();
    Form.reset();
    SetUserQuestions(nullptr);
    return ok && Failure.isEmpty();
}

// The shortest failing list: the steps up to the failure, then without the runs of steps the
// same failure does not need, halving the runs (a bounded number of tries: each is a whole run).
QList<TStep> Shrink(TJourney& aJourney, QList<TStep> aSteps)
{
    static const QRegularExpression digits(u"[0-9]+"_qs);
    const QString kind = QString(aJourney.Failure).remove(digits);
    int tries = 0;
    for (int chunk = int(aSteps.size()) / 2; chunk >= 1 && tries < 60; chunk /= 2) {
        for (int i = int(aSteps.size()) - 1 - chunk; i >= 1 && tries < 60; i -= chunk) {
            QList<TStep> shorter = aSteps;
            int n = chunk;
            // A step goes with the one that came during it.
            while (i + n < shorter.size() && shorter[i + n].During)
                ++n;
            if (shorter[i].During)
                continue;
            shorter.remove(i, n);
            ++tries;
            if (!aJourney.Run(shorter, 0, nullptr, false) &&
                QString(aJourney.Failure).remove(digits) == kind)
                aSteps = shorter;
        }
    }
    return aSteps;
}

QString Listed(const QList<TStep>& aSteps)
{
    QStringList out;
    for (const TStep& s : aSteps)
        out << s.Text();
    return out.join(u' ');
}

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!qEnvironmentVariableIsSet("GST_REGISTRY") && argc > 0)
        qputenv("GST_REGISTRY", QByteArray(argv[0]) + ".gst-registry.bin");
    QApplication app(argc, argv);
    quint32 seed = 1;
    int steps = 100;
    QString mediaName = QStringLiteral("h264");
    QString replay;
    for (const QString& a : app.arguments().mid(1)) {
        if (a.startsWith(u"--seed="))
            seed = a.mid(7).toUInt();
        else if (a.startsWith(u"--steps="))
            steps = a.mid(8).toInt();
        else if (a.startsWith(u"--media="))
            mediaName = a.mid(8);
        else if (a.startsWith(u"--replay="))
            replay = a.mid(9);
    }
    QTemporaryDir folder;
    const QList<TMedium> media = MakeMedia(folder.path());
    int primary = -1;
    for (int i = 0; i < media.size(); ++i) {
        if (media[i].Path.isEmpty()) {
            std::fprintf(stderr, "journey: the clip %s could not be made\n",
                         qPrintable(media[i].Name));
            return 2;
        }
        if (media[i].Name == mediaName)
            primary = i;
    }
    if (primary < 0) {
        std::fprintf(stderr, "journey: no medium %s\n", qPrintable(mediaName));
        return 2;
    }
    TJourney journey(media, primary);
    std::mt19937 random(seed);
    QList<TStep> list;
    for (const QString& s : replay.split(u' ', Qt::SkipEmptyParts))
        list << TStep::Parse(s);
    const bool ok = replay.isEmpty() ? journey.Run({}, steps, &random, true)
                                     : journey.Run(list, 0, nullptr, true);
    if (ok) {
        std::printf("journey %s seed %u: %lld steps\n1 passed, 0 failed\n", qPrintable(mediaName),
                    seed, qint64(journey.Ran.size()));
        return 0;
    }
    std::printf("FAILED (%s seed %u): %s\n", qPrintable(mediaName), seed,
                qPrintable(journey.Failure));
    std::fflush(stdout);
    const QList<TStep> shortest = Shrink(journey, journey.Ran);
    std::printf("shortest failing list (%lld steps):\n  journey --media=%s --replay=\"%s\"\n",
                qint64(shortest.size()), qPrintable(mediaName), qPrintable(Listed(shortest)));
    std::printf("0 passed, 1 failed\n");
    return 1;
}
