#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QRect>

#include "app/TScreenSaverInhibit.h"
#include "files/TSceneList.h"
#include "grab/TDeinterlacer.h"

#include <QDateTime>
#include <QImage>
#include <QStringList>

#include <functional>
#include <memory>

class QLabel;
class QMenu;
class QSlider;
class QTimer;
class QToolButton;
class TAboutFrame;
class TBooleanAction;
class TWidestringAction;
class TCheckAction;
class TColorAction;
class TDoubleAction;
class TFontAction;
class TPointAction;
struct TFontDesc;
class TCustomAbstractAction;
class TCustomKoActionList;
class TDossiersFrame;
class TImageWriter;
class TDravikPreferences;
class TDVIncrustFrame;
class TExtraireFrame;
class TFichierMan;
class TImageList;
class TIncrusterFrame;
class TIntegerAction;
class TKoActionList;
class TKoAppliMan;
class TKoBar;
class TKoScript;
class TMediaFactory;
class TAudioMan;
class TNavMan;
class TPreviewForm;
class TPrivateFilters;
class TVideoMan;
class TVideoPanel;
class Tplaque;
class TNopeAction;
class TOptionsFrame;
class TPrefsQuestion;
class TSideFrame;
class Tintervalloframe;
class Tnavframe;

// The main window: owns the managers, its own actions ("gpal"), the side panels, the menus and
// the button bar, and lays everything out from its client size.
class TShowForm : public QMainWindow {
    Q_OBJECT
public:
    // aQuestion answers the save-at-exit question (the dialog when null).
    explicit TShowForm(TPrefsQuestion* aQuestion = nullptr, QWidget* aParent = nullptr);
    ~TShowForm() override;

    static QString FullTitle();
    // The about page, each time it opens.
    void FillAbout(const QString& aCloseText);

    void LayoutPanels();
    void PlaceSliders();
    void HideActivePanel();
    void ShowPanel(int aPanel);
    void PanelHautResize();
    void TntFormResize();

    // An action of any list of the window, by internal identifier (exact case), or null.
    TCustomAbstractAction* FindAction(const QString& aId) const;
    // Every identifier the window binds behaviour to, whether its action exists yet or not.
    const QStringList& BoundActionIds() const { return m_boundIds; }
    // The lists of the main window's section, in their load order (saved in the reverse).
    QList<TCustomKoActionList*> ShowFormLists() const;
    // The same lists in the order they are attached to the script engine and the switches.
    QList<TCustomKoActionList*> AttachedLists() const;

    // Media files: opening and closing the current video, the command groups that need a
    // video or a sound stream.
    bool openfile(const QString& aFileName);
    void closefile();
    const QString& CurrentVideo() const { return m_currentVideo; }
    void EnableVideoCommands();
    void DisableVideoCommands();
    void EnableAudioCommands();
    void DisableAudioCommands();
    void applyeffects();
    // Volume and play keys off while a text box has the focus, back after.
    void shortcutsOff();
    void shortcutsOn(bool aPlayToo);
    void WatchTextBox(QWidget* aBox);
    double Scale() const { return m_scale; }
    bool PanelsRight() const { return m_panelsRight; }
    QWidget* ClientArea() const { return m_client; }
    TSideFrame* Panel(int aPanel) const;

    // Components, in their creation order.
    QWidget* Bevel1;
    QWidget* Bevel2;
    Tintervalloframe* intervalloframe;
    TVideoPanel* videoPanel;
    TDossiersFrame* SaveImagesFrame;
    QWidget* PanelTitre;
    QLabel* EnCoursLab;
    QLabel* scnLab;
    QLabel* srtlab;
    QLabel* moddlab;
    TExtraireFrame* ExtraireFrame;
    QWidget* PanelHaut;
    QLabel* labFormatVideo;
    QLabel* labDecoderVideo;
    QLabel* labFormatAudio;
    QLabel* labDecoderAudio;
    QWidget* panelImage;
    QLabel* ImageLab;
    QToolButton* tbDossiers;
    QSlider* Yslider;
    QSlider* Xslider;
    TOptionsFrame* OptionsFrame;
    TDVIncrustFrame* DVIncrustFrame;
    TIncrusterFrame* IncrusterFrame;
    Tnavframe* navframe;
    TAboutFrame* AboutFrame;
    TKoBar* barUnique;
    QMenu* PopupMenu;
    TImageList* ImageList1;
    QTimer* TimerSysDate;
    TKoActionList* gpal;
    TDravikPreferences* gp;
    TKoAppliMan* am;
    TKoScript* KoScript; // the script window's engine
    TMediaFactory* mf;
    TNavMan* NavMan;
    TVideoMan* vidman;
    TAudioMan* audman;
    TFichierMan* ficman;
    Tplaque* plaque;
    TPreviewForm* PreviewForm;

    // The grab: the next image's name, the frame taken from the renderer, the image saved from
    // it and the thumbnail panel that shows it.
    // The bar's next image name, after the position given or the picture's own.
    void RefreshImageName(const QString& aPosition = QString());
    // The position of the picture on screen, taking the newest frame.
    QString PictureText() const;
    void ComputeImageSizes(int a, int b);
    void CaptureCurrentFrame();
    void GrabFrame();
    void ConfirmAndSave();
    bool SaveImage();
    // Whether aPath exists or waits to be written.
    bool ImageTaken(const QString& aPath) const;
    // The writer's first failure, told and undone: the run stops, the number goes back.
    bool TakeWriteFailure();
    void PlaceThumbnail();
    void ClearThumbnail();
    void panelImageClick();
    const QString& NextImagePath() const { return m_nextImagePath; }
    const QString& NumberText() const { return m_numberText; }
    const QImage& GrabbedFrame() const { return m_grabbed; }
    const QImage& SavedImage() const { return m_saved; }
    QSize SavedSize() const { return m_savedSize; }

    // The on-video text: the value sources its patterns need, and what feeds them.
    void UpdateOverlaySources();
    void TimerSysDateTimer();
    void SendNumberToOverlay();
    void SendFileNameToOverlay();
    void Soustitres();
    // The clock "%R" reads; the computer's when not set (tests set their own).
    std::function<QDateTime()> SystemClock;
    bool FileTokenUsed() const { return m_fileTokenUsed; }
    bool NumberTokenUsed() const { return m_numberTokenUsed; }

    // Window state.
    QRect VideoRect{0, 0, 0, 0}; // where the picture is drawn inside videoPanel
    bool IntervalStop = false;

protected:
    bool eventFilter(QObject* aWatched, QEvent* aEvent) override;

private:
    void CreateComponents();
    void TntFormCreate();
    void FormShow();
    void FormCloseQuery();
    void BindActions();
    void BindMedia();
    void CreateFileManager();
    void BindFiles();
    void BindOptions();
    void BindGrab();
    // The image-saving panel and the naming settings set each other.
    void BindDossiers();
    bool GrabClicked(QObject* aWatched, QEvent* aEvent);
    void SetNumberText(const QString& aText);
    void BindText();
    void ShowInsertFont(const TFontDesc& aFont);
    void SetDvReport(bool aOn);
    bool PlaceTextClicked(QObject* aWatched, QEvent* aEvent);
    void SnapNameLook(int aLook);
    void BindPrivate(TWidestringAction* aFolder, TBooleanAction* aUse);
    void SwitchPrivate(bool aOn);
    void SwitchPrivateNow(bool aOn);
    void RefreshPrivateSettings(const QString& aFolder);
    void PrivateAtExit();
    bool TitleClicked(QObject* aWatched, QEvent* aEvent);
    bool CloseWhenIdle(QObject* aWatched, QEvent* aEvent);
    bool TextBoxFocus(QObject* aWatched, QEvent* aEvent);
    void NavManGraphCompleted();
    void ShowFullscreen(bool aOn);
    void ShowPreview(bool aOn);
    // The preview window's place, kept for the next time it opens.
    void NotePreviewBounds();
    bool OpenNow(const QString& aFileName);
    void CloseNow();
    // The lookups of BindActions, which record the identifier. Need throws EActionNotFound when
    // the action is missing; Optional answers null then, for actions of components not built
    // yet. Both throw EActionWrongType for an action of another class.
    template <class A> A* Need(const char* aId);
    template <class A> A* Optional(const char* aId);
    TCustomKoActionList* ListHolding(const QString& aId) const;
    void BuildMenus();
    void BuildButtonBar();
    void gpLoadPrefs(TDravikPreferences& gp);
    void gpSavePrefs(TDravikPreferences& gp);
    void gpChangeMode(int aMode);
    int Px(int aDesignPixels) const;

    TPrefsQuestion* m_question;
    std::unique_ptr<TPrefsQuestion> m_ownQuestion;
    QWidget* m_client;
    double m_scale = 1.0;
    bool m_panelsRight = false;
    int m_videoOffset = 276;
    bool m_resizeBound = false;
    QList<QWidget*> m_separators;
    QStringList m_boundIds;
    QList<QPointer<QWidget>> m_textBoxes;

    TIntegerAction* iaLeftFrame = nullptr;
    TIntegerAction* iaPanneauActif = nullptr;
    TCheckAction* caBasculerVue = nullptr;
    TIntegerAction* iaForcerAspectRatio = nullptr;
    TNopeAction* naAbort = nullptr;
    TNopeAction* m_panelCommands[5] = {}; // by panel number, 1 to 4
    // Actions of components not built yet: null until they exist.
    QPointer<TCheckAction> caSliders;
    bool m_helpFilled = false;
    TCheckAction* caPlay = nullptr;
    TCheckAction* caFullscreen = nullptr;
    TCheckAction* caPreviewForm = nullptr;

    TNopeAction* naGrab = nullptr;
    TNopeAction* naCopy = nullptr;
    TBooleanAction* baSauverQuandClic = nullptr;
    TBooleanAction* baConfirmerImage = nullptr;
    TBooleanAction* baImageDeinterlacer = nullptr;
    TWidestringAction* waDossierSave = nullptr;
    TWidestringAction* waDefaultRacine = nullptr;
    TIntegerAction* iaNomFichierImage = nullptr;
    TBooleanAction* baLimiterLongueur = nullptr;
    TIntegerAction* iaRacineLength = nullptr;
    TIntegerAction* iaImageAjouter = nullptr;
    TIntegerAction* iaNextNum = nullptr;
    TIntegerAction* iaDigits = nullptr;
    TIntegerAction* iaImageExtension = nullptr;
    TIntegerAction* iaJpegCompressionQuality = nullptr;
    TBooleanAction* baRAZWhenOpenFile = nullptr;
    QString m_nextImagePath;
    QString m_numberText;
    QImage m_grabbed;
    QImage m_saved;
    QSize m_frameSize;
    QSize m_savedSize;
    TDeinterlacer m_deinterlacer;
    // During an interval run the images are written on their own thread.
    std::unique_ptr<TImageWriter> m_writer;

    TWidestringAction* waIncrustPattern1 = nullptr;
    TWidestringAction* waIncrustPattern2 = nullptr;
    TWidestringAction* waInsertPerso1 = nullptr;
    TWidestringAction* waInsertPerso2 = nullptr;
    TCheckAction* caInsertTextOn = nullptr;
    TBooleanAction* baIncrustAutoSize = nullptr;
    TFontAction* faInsertFont = nullptr;
    TIntegerAction* iaInsertAlignLines = nullptr;
    TIntegerAction* iaInsertBorderWidth = nullptr;
    TPointAction* paInsertPosition = nullptr;
    QString m_pattern1;
    QString m_pattern2;
    bool m_fileTokenUsed = false;
    bool m_numberTokenUsed = false;

    QString m_currentVideo;
    TScreenSaverInhibit m_screenSaver;
    std::unique_ptr<TPrivateFilters> m_private;
    QString m_privateFolderDone; // the folder whose settings were imported last

    // DV date panel.
public:
    // The panel's recorded date of the frame shown, as the stream notifier read it, or the
    // fictitious date; the DV text commands follow whether a DV date can be read.
    void UpdateVideoDate();

private:
    void BindDvDate();
    void ApplyDateOffset(double aDays);
    template <class A> A* NeedDvAction(const char* aId);
    TCheckAction* caDecalageAvance = nullptr;
    class TDoubleAction* daDecalageHoraire = nullptr;
    TWidestringAction* waFormatDatecode1 = nullptr;
    TWidestringAction* waFormatDatecode2 = nullptr;

    // Interval capture.
public:
    // The start position and the number of images of the next run, from the position now.
    void UpdateIntervalCount();
    void EndIntervalRun();
    bool IntervalRunning() const { return m_ivRunning; }
    qint64 IntervalStart() const { return m_ivStart; }
    qint64 IntervalCount() const { return m_ivCount; }
    qint64 IntervalPeriod() const { return m_ivPeriod; }

private:
    void BindInterval();
    void RunInterval();
    void ShowIntervallo(bool aOn);
    TCheckAction* caIntervalloShow = nullptr;
    TIntegerAction* iaIntervalloDelai = nullptr;
    TIntegerAction* iaIntervalloUnit = nullptr;
    TNopeAction* naIntervalloStart = nullptr;
    TNopeAction* naIntervalloBreak = nullptr;
    qint64 m_ivStart = 0;
    qint64 m_ivCount = 0;
    qint64 m_ivPeriod = 0;
    qint64 m_ivFrameDuration = 0; // the one the last count used
    bool m_ivRunning = false;
    int m_ivVolume = 0; // the volume before the run

    // Scenes.
public:
    // The scenes of the current video: read from its ".scn" file as it opens, gone with it.
    const TSceneList& Scenes() const { return m_scenes; }

private:
    void BindScenes();
    void LoadVideoScenes(const QString& aVideo);
    void CloseScenes();
    void JumpToScene(bool aForward);
    TSceneList m_scenes;
    TNopeAction* naAvanceTrack = nullptr;
    TNopeAction* naReculeTrack = nullptr;
    TNopeAction* naAvanceFin = nullptr;
    TNopeAction* naReculeDebut = nullptr;
};
