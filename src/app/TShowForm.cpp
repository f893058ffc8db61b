#include "app/TShowForm.h"
#include "ui/THelpForm.h"
#include "ui/TKoAppliMan.h"
#include "ui/TLinkEdit.h"
#include "ui/TScriptForm.h"

#include "app/ActionImages.h"
#include "app/ShowFormActions.h"
#include "app/ShowFormLayout.h"
#include "app/ShowFormMenus.h"
#include "app/TAboutFrame.h"
#include "app/TDVIncrustFrame.h"
#include "app/TDossiersFrame.h"
#include "app/TExtraireFrame.h"
#include "app/TFullscreenForms.h"
#include "app/TIncrusterFrame.h"
#include "app/TOptionsFrame.h"
#include "app/TRadioGroup.h"
#include "app/TVideoPanel.h"
#include "app/Tintervalloframe.h"
#include "app/Tnavframe.h"

#include "actions/ActionColors.h"
#include "actions/TNopeAction.h"
#include "actions/ValueActions.h"
#include "actions/uScriptAction.h"
#include "actions/uWndComponent.h"
#include "base/TCommandQueue.h"
#include "files/TFichierMan.h"
#include "files/TPathEdit.h"
#include "grab/TImageWriter.h"
#include "media/TAudioMan.h"
#include "media/TMediaFactory.h"
#include "media/TNavMan.h"
#include "media/TPrivateFilters.h"
#include "media/TVideoMan.h"
#include "prefs/TDravikPreferences.h"
#include "ui/uLinkEdit.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

namespace {

QWidget* Bar(QWidget* aParent, const char* aName)
{
    auto* w = new QFrame(aParent);
    w->setObjectName(QString::fromLatin1(aName));
    return w;
}

QLabel* Label(QWidget* aParent, const char* aName, const QString& aText = QString())
{
    auto* l = new QLabel(aText, aParent);
    l->setObjectName(QString::fromLatin1(aName));
    return l;
}

QFrame* Bevel(QWidget* aParent, const char* aName, QFrame::Shape aShape)
{
    auto* b = new QFrame(aParent);
    b->setObjectName(QString::fromLatin1(aName));
    b->setFrameShape(aShape);
    b->setFrameShadow(QFrame::Sunken);
    return b;
}

} // namespace

QString TShowForm::FullTitle()
{
    return TKoAppliMan::FullTitle();
}

TShowForm::TShowForm(TPrefsQuestion* aQuestion, QWidget* aParent)
    : QMainWindow(aParent)
    , m_question(aQuestion)
{
    setObjectName(QStringLiteral("ShowForm"));
    const QScreen* screen = QGuiApplication::primaryScreen();
    m_scale = (screen ? screen->logicalDotsPerInchY() : 96.0) / 96.0;
    CreateComponents();
    BindActions();
    BuildMenus();
    BindGrab();
    BindText();
    BindInterval();
    BindDvDate();
    BindScenes();
    GivePictures(ShowFormLists(), ImageList1);
    BuildButtonBar();
    TntFormCreate();
}

TShowForm::~TShowForm()
{
    // Nothing kept for later may reach a window that goes.
    TCommandQueue::Instance().Clear();
    // The managers that use the graph go before the one that owns it (children are deleted in
    // creation order, which is the other way round); nothing is repainted on the way.
    vidman->OnRepaint = nullptr;
    vidman->OnFullscreen = nullptr;
    vidman->OnPreviewForm = nullptr;
    // The navigation manager outlives them: its reports must not reach a window half gone.
    NavMan->OnDuration = nullptr;
    NavMan->OnGraphCompleted = nullptr;
    NavMan->OnError = nullptr;
    mf->OnReleaseDevice = nullptr;
    delete vidman;
    delete audman;
    // The factory's devices leave the graph before the graph goes.
    delete mf;
}

int TShowForm::Px(int aDesignPixels) const
{
    return qRound(aDesignPixels * m_scale);
}

void TShowForm::CreateComponents()
{
    using namespace ShowFormDesign;
    // The media managers first: the video panel paints through the video manager.
    NavMan = new TNavMan(this);
    NavMan->setObjectName(QStringLiteral("NavMan"));
    NavMan->Setup();
    vidman = new TVideoMan(this);
    vidman->setObjectName(QStringLiteral("vidman"));
    vidman->Setup();
    audman = new TAudioMan(this);
    audman->setObjectName(QStringLiteral("audman"));
    audman->Setup();
    mf = new TMediaFactory(this);
    mf->setObjectName(QStringLiteral("mf"));
    mf->GrapheMan = NavMan;
    CreateFileManager();
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    setCentralWidget(m_client);
    m_client->setAutoFillBackground(true);
    QPalette pal = m_client->palette();
    pal.setColor(QPalette::Window, ColorToQColor(TColor(0xFF00000C))); // application workspace
    m_client->setPalette(pal);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(Px(13));
    setFont(font);
    resize(Px(Width) - 8, Px(Height) - 31);
    setMinimumSize(Px(MinWidth) - 8, Px(MinHeight) - 31);

    Bevel1 = Bevel(m_client, "Bevel1", QFrame::VLine);
    Bevel2 = Bevel(m_client, "Bevel2", QFrame::HLine);
    intervalloframe = new Tintervalloframe(m_client);
    intervalloframe->hide();
    videoPanel = new TVideoPanel(vidman, m_client);
    videoPanel->setObjectName(QStringLiteral("videoPanel"));
    QPalette black = videoPanel->palette();
    black.setColor(QPalette::Window, Qt::black);
    videoPanel->setPalette(black);
    plaque = new Tplaque(vidman, this);
    PreviewForm = new TPreviewForm(vidman, this);
    SaveImagesFrame = new TDossiersFrame(m_client);

    PanelTitre = Bar(m_client, "PanelTitre");
    EnCoursLab = Label(PanelTitre, "EnCoursLab");
    QFont bold = EnCoursLab->font();
    bold.setBold(true);
    EnCoursLab->setFont(bold);
    EnCoursLab->setToolTip(
        QStringLiteral("Vidéo courante qui a été chargée dans Tessarine.\r\n"
                       "Cliquez dessus pour accéder au dossier qui la contient."));
    scnLab = Label(PanelTitre, "scnLab", QStringLiteral("scn"));
    srtlab = Label(PanelTitre, "srtlab", QStringLiteral("srt"));
    moddlab = Label(PanelTitre, "moddlab", QStringLiteral("modd"));
    for (QLabel* marker : {scnLab, srtlab, moddlab})
        marker->hide();

    ExtraireFrame = new TExtraireFrame(m_client);
    PanelHaut = Bar(m_client, "PanelHaut");
    labFormatVideo = Label(PanelHaut, "labFormatVideo");
    labDecoderVideo = Label(PanelHaut, "labDecoderVideo");
    labFormatAudio = Label(PanelHaut, "labFormatAudio");
    labDecoderAudio = Label(PanelHaut, "labDecoderAudio");
    // Two rows in the 24 pixels above the video.
    QFont small = font;
    small.setPixelSize(Px(10));
    for (QLabel* l : {labFormatVideo, labDecoderVideo, labFormatAudio, labDecoderAudio})
        l->setFont(small);
    PanelHaut->hide();

    panelImage = Bar(m_client, "panelImage");
    ImageLab = Label(panelImage, "ImageLab");
    tbDossiers = new QToolButton(panelImage);
    tbDossiers->setObjectName(QStringLiteral("tbDossiers"));
    tbDossiers->setCheckable(true);

    Yslider = new QSlider(Qt::Vertical, m_client);
    Yslider->setObjectName(QStringLiteral("Yslider"));
    Xslider = new QSlider(Qt::Horizontal, m_client);
    Xslider->setObjectName(QStringLiteral("Xslider"));
    for (QSlider* s : {Yslider, Xslider}) {
        s->setRange(0, 10000);
        s->hide();
    }

    OptionsFrame = new TOptionsFrame(m_client);
    OptionsFrame->hide();
    DVIncrustFrame = new TDVIncrustFrame(m_client);
    IncrusterFrame = new TIncrusterFrame(m_client);
    navframe = new Tnavframe(m_client);
    navframe->resize(Px(560), Px(NavHeight));
    navframe->hide();
    AboutFrame = new TAboutFrame(m_client);
    // The page's links work as the options page's: "cliquez ici" closes it, the others open.
    AboutFrame->CloseLab->OnCustomLinkClick = [this](const QString& aLink) {
        am->CloseLink(aLink);
    };
    AboutFrame->CloseLab->OnCustomLinkHint = [](const QString&, QString& aHint) {
        aHint = TKoAppliMan::CloseHint();
    };
    AboutFrame->InfoLab->OnUrlClick = [](const QString& aUrl) {
        QDesktopServices::openUrl(QUrl::fromUserInput(aUrl));
    };
    AboutFrame->InfoLab->OnUrlHint = [](const QString& aUrl, QString& aHint) { aHint = aUrl; };
    AboutFrame->hide();
    for (int i = 1; i <= 4; ++i)
        Panel(i)->hide();

    barUnique = new TKoBar(m_client);
    barUnique->setObjectName(QStringLiteral("barUnique"));
    barUnique->SetButtonHeight(Px(ButtonSize));
    barUnique->SetButtonWidth(Px(ButtonSize));
    barUnique->SetButtonTop(Px(2) - 1);
    PopupMenu = new QMenu(this);
    PopupMenu->setObjectName(QStringLiteral("PopupMenu"));
    ImageList1 = new TImageList(this);
    FillActionImages(*ImageList1);
    tbDossiers->setIcon(ImageList1->Icon(83));
    TimerSysDate = new QTimer(this);
    TimerSysDate->setInterval(250);

    gpal = new TKoActionList(this);
    gpal->setObjectName(QStringLiteral("gpal"));
    gpal->SetImages(ImageList1);
    CreateActions(ShowFormActionRows(), gpal);
    am = new TKoAppliMan(this, m_client);
    am->SetImages(ImageList1);
    am->Setup();
    FillScriptImages(*am->ScriptForm()->Images);
    am->TitreUses = {QStringLiteral("Qt"), QStringLiteral("GStreamer"),
                     QStringLiteral("libjpeg-turbo"), QStringLiteral("SQLite")};
    am->UrlUses = {
        QStringLiteral("https://www.qt.io/"), QStringLiteral("https://gstreamer.freedesktop.org/"),
        QStringLiteral("https://libjpeg-turbo.org/"), QStringLiteral("https://sqlite.org/")};
    am->SetOptionsFrame(OptionsFrame);
    am->SetAboutFrame(AboutFrame);
    am->OnFillAbout = [this](const QString& aCloseText) { FillAbout(aCloseText); };
    gp = new TDravikPreferences(this);
    gp->OnChangeMode = [this](TSavePreferences m) { gpChangeMode(int(m)); };
    gp->OnLoadPrefs = [this](TDravikPreferences& p) { gpLoadPrefs(p); };
    // Each manager's remembered decoders come with its own list, before the file manager's
    // list reopens the last video with them.
    vidman->OnLoadFromPrefs = [this](TDravikPreferences& p) {
        vidman->LoadPrefs(p);
        return true;
    };
    vidman->OnSaveToPrefs = [this](TDravikPreferences& p) { return vidman->SavePrefs(p); };
    audman->OnLoadFromPrefs = [this](TDravikPreferences& p) {
        audman->LoadPrefs(p);
        return true;
    };
    audman->OnSaveToPrefs = [this](TDravikPreferences& p) { return audman->SavePrefs(p); };
    gp->OnSavePrefs = [this](TDravikPreferences& p) { gpSavePrefs(p); };
    KoScript = am->ScriptForm()->KoScript;

    m_client->installEventFilter(this);
    PanelHaut->installEventFilter(this);
}

TSideFrame* TShowForm::Panel(int aPanel) const
{
    switch (aPanel) {
    case 1:
        return SaveImagesFrame;
    case 2:
        return ExtraireFrame;
    case 3:
        return IncrusterFrame;
    case 4:
        return DVIncrustFrame;
    }
    return nullptr;
}

namespace {
const char* const kPanelCommands[] = {nullptr, "naShowSaveImagesFrame", "naShowExtraireFrame",
                                      "naShowIncrustFrame", "naShowDVIncrustFrame"};
}

TCustomKoActionList* TShowForm::ListHolding(const QString& aId) const
{
    for (TCustomKoActionList* list : ShowFormLists())
        if (list->FindByInternalId(aId))
            return list;
    return nullptr;
}

template <class A> A* TShowForm::Need(const char* aId)
{
    const QString id = QString::fromLatin1(aId);
    m_boundIds << id;
    if (TCustomKoActionList* list = ListHolding(id))
        return list->Get<A>(id);
    QStringList lists;
    for (TCustomKoActionList* list : ShowFormLists())
        lists << list->ListName();
    throw EActionNotFound(id, lists.join(QStringLiteral(", ")));
}

template <class A> A* TShowForm::Optional(const char* aId)
{
    const QString id = QString::fromLatin1(aId);
    m_boundIds << id;
    TCustomKoActionList* list = ListHolding(id);
    return list ? list->Get<A>(id) : nullptr;
}

void TShowForm::BindActions()
{
    iaLeftFrame = Need<TIntegerAction>("iaLeftFrame");
    iaPanneauActif = Need<TIntegerAction>("iaPanneauActif");
    caBasculerVue = Need<TCheckAction>("caBasculerVue");
    iaForcerAspectRatio = Need<TIntegerAction>("iaForcerAspectRatio");
    naAbort = Need<TNopeAction>("naAbort");
    for (int n = 1; n <= 4; ++n)
        m_panelCommands[n] = Need<TNopeAction>(kPanelCommands[n]);
    caSliders = Optional<TCheckAction>("caSliders");

    iaLeftFrame->OnBeforeApply = [this](const qint32& x) {
        for (QWidget* w :
             {static_cast<QWidget*>(ExtraireFrame), static_cast<QWidget*>(SaveImagesFrame),
              static_cast<QWidget*>(IncrusterFrame)})
            w->move(x, w->y());
    };
    iaPanneauActif->OnBeforeApply = [this](const qint32& n) { ShowPanel(n); };
    for (int n = 1; n <= 4; ++n)
        m_panelCommands[n]->OnBeforeApply = [this, n] {
            HideActivePanel();
            iaPanneauActif->SetValue(n);
        };
    const auto side = [this](bool aRight) {
        m_panelsRight = aRight;
        LayoutPanels();
    };
    caBasculerVue->OnBeforeTrueApply = [side] { side(true); };
    caBasculerVue->OnBeforeFalseApply = [side] { side(false); };

    iaForcerAspectRatio->OnAfterApply = [this](const qint32& v) {
        OptionsFrame->rgForcerAspectRatio->SetItemIndex(v);
        vidman->SetForcedAspect(v);
    };
    connect(OptionsFrame->rgForcerAspectRatio, &TRadioGroup::Clicked, this,
            [this](int i) { iaForcerAspectRatio->SetValue(i); });
    const char* const aspects[] = {"naForcerNormal", "naForcer4x3", "naForcer16x9",
                                   "naForcerNative"};
    for (int i = 0; i < 4; ++i)
        Need<TNopeAction>(aspects[i])->OnBeforeApply = [this, i] {
            iaForcerAspectRatio->SetValue(i);
        };
    naAbort->Immediate = true; // it stops what is under way
    naAbort->OnAfterApply = [this] {
        IntervalStop = true;
        KoScript->Abort();
        if (caFullscreen)
            caFullscreen->SetChecked(false);
    };
    Need<TNopeAction>("naExecuteScript")->OnInternalApply = [this] {
        am->ScriptForm()->ExecuteMacro();
    };
    am->HelpForm()->Busy = [this] { return KoScript->Running(); };
    BindMedia();
    BindFiles();
    BindOptions();
    BindPrivate(Need<TWidestringAction>("waPrivateFolder"),
                Need<TBooleanAction>("baUsePrivateFilters"));
    connect(OptionsFrame->rgPrefs, &TRadioGroup::Clicked, this,
            [this](int i) { gp->SetMode(TSavePreferences(i)); });
}

void TShowForm::TntFormCreate()
{
    setWindowTitle(QStringLiteral("%1 de %2").arg(FullTitle(), QStringLiteral("Orvalis")));
    gp->titre = QStringLiteral("Tessarine");
    gp->version = FullTitle() + QStringLiteral(" de ") + QStringLiteral("Orvalis");
    gp->Question = m_question;
    gp->HookOwner(
        this, [this] { FormShow(); }, [this] { FormCloseQuery(); });
    // Seen before the preferences' close step: a close during a command waits for its end.
    installEventFilter(this);
    for (TCustomKoActionList* list : AttachedLists()) {
        list->SetSwitch(am->SwitchComponent());
        list->SetPascalScript(KoScript);
    }
    // Every shortcut works wherever the focus is in the window, and in the other windows
    // where they bind no key of their own.
    for (TCustomKoActionList* list : ShowFormLists())
        for (TCustomAbstractAction* a : list->TypedActions())
            addAction(a->Action());
    am->ShareShortcuts(actions());
}

QList<TCustomKoActionList*> TShowForm::ShowFormLists() const
{
    return {am, vidman, audman, NavMan, gpal, ficman};
}

QList<TCustomKoActionList*> TShowForm::AttachedLists() const
{
    return {am, gpal, vidman, audman, NavMan, ficman, am->ScriptForm()->al_script};
}

void TShowForm::FillAbout(const QString& aCloseText)
{
    AboutFrame->TitleLab->setText(FullTitle());
    QString info = QStringLiteral("<b>Tessarine</b>, le lecteur vidéo qui extrait les images, "
                                  "de Orvalis.<br>Dernière mise à jour le %1.<br><br>")
                       .arg(TKoAppliMan::UpdateDate());
    if (!TKoAppliMan::HomePage().isEmpty())
        info += QStringLiteral("<url %1>Page d'accueil</url><br><br>").arg(TKoAppliMan::HomePage());
    AboutFrame->InfoLab->SetRichText(info + am->UsesText());
    AboutFrame->CloseLab->SetRichText(aCloseText);
}

TCustomAbstractAction* TShowForm::FindAction(const QString& aId) const
{
    for (TCustomKoActionList* list : ShowFormLists())
        if (TCustomAbstractAction* a = list->FindByInternalId(aId))
            return a;
    return nullptr;
}

void TShowForm::FormShow()
{
    // The help lists every action of the window's lists, on one page.
    if (!m_helpFilled) {
        m_helpFilled = true;
        for (TCustomKoActionList* list :
             QList<TCustomKoActionList*>{am, gpal, vidman, audman, NavMan, ficman})
            am->HelpForm()->AddGroup(QStringLiteral("Tessarine"), list);
    }
    shortcutsOn(false);
    LayoutPanels();
    m_screenSaver.Inhibit(QStringLiteral("Lecture vidéo"));
    m_resizeBound = true;
    applyeffects();
}

void TShowForm::FormCloseQuery()
{
    TimerSysDate->stop();
    NotePreviewBounds(); // the preview open at exit is where it opens next time
    naAbort->Apply();
    m_resizeBound = false;
    if (caFullscreen)
        caFullscreen->SetChecked(false);
    {
        const TCommandQueue::TWait wait;
        QCoreApplication::processEvents();
    }
    NavMan->Stop();
    vidman->DisconnectVideo(true);
    audman->DisconnectAudio();
    PrivateAtExit();
    m_screenSaver.Release();
}

void TShowForm::gpLoadPrefs(TDravikPreferences& p)
{
    am->ScriptForm()->LoadPrefs(p);
    p.OpenSection(objectName());
    for (TCustomKoActionList* list : ShowFormLists())
        list->LoadFromPrefs(p);
    p.CloseSection();
    am->SwitchComponent()->MainWindowShown();
}

void TShowForm::gpSavePrefs(TDravikPreferences& p)
{
    p.OpenSection(objectName());
    const QList<TCustomKoActionList*> lists = ShowFormLists();
    for (auto it = lists.crbegin(); it != lists.crend(); ++it)
        (*it)->SaveToPrefs(p);
    p.CloseSection();
    am->ScriptForm()->SavePrefs(p);
}

void TShowForm::gpChangeMode(int aMode)
{
    OptionsFrame->rgPrefs->SetItemIndex(aMode);
}

void TShowForm::LayoutPanels()
{
    TShowFormLayoutInput in;
    in.Client = m_client->size();
    in.PanelsRight = m_panelsRight;
    in.SlidersShown = caSliders && caSliders->Checked();
    in.NavWidth = navframe->width();
    in.Scale = m_scale;
    const TShowFormLayout l = ComputeShowFormLayout(in);

    {
        const TMacroPause pause; // the layout is the program's, not the user's
        iaLeftFrame->SetValue(l.LeftFrame);
    }
    m_videoOffset = l.VideoOffset;
    PanelTitre->setGeometry(l.PanelTitre);
    panelImage->setGeometry(l.PanelImage);
    videoPanel->setGeometry(l.VideoPanel);
    scnLab->move(l.ScnLeft, scnLab->y());
    srtlab->move(l.SrtLeft, srtlab->y());
    moddlab->move(l.ModdLeft, moddlab->y());
    navframe->setGeometry(l.Nav);
    intervalloframe->setGeometry(l.Intervallo);
    PanelHaut->setGeometry(l.PanelHaut);
    for (int i = 1; i <= 4; ++i)
        Panel(i)->setGeometry(l.SidePanel);
    ExtraireFrame->setGeometry(l.Extraire);
    OptionsFrame->resize(l.SidePanel.size()); // centred on its page
    Bevel1->setGeometry(l.Bevel1);
    Bevel2->setGeometry(l.Bevel2);
    barUnique->setGeometry(l.Bar);
    for (QWidget* sep : std::as_const(m_separators))
        sep->resize(qMax(0, l.SeparatorWidth), sep->height());
    EnCoursLab->setGeometry(Px(8), 0, qMax(0, l.ModdLeft - Px(16)), l.PanelTitre.height());
    ImageLab->setGeometry(Px(8), 0, l.PanelImage.width() - Px(40), l.PanelImage.height());
    tbDossiers->setGeometry(l.PanelImage.width() - Px(28), Px(1), Px(24),
                            l.PanelImage.height() - Px(2));
    // Hand the new layout to the video area.
    VideoRect = QRect(QPoint(0, 0), videoPanel->size());
    PlaceSliders();
    videoPanel->update();
}

void TShowForm::PlaceSliders()
{
    // Along the picture itself: on letterboxed video the ends meet its edges, where the text's
    // positions 0 and 10000 are.
    const QRect picture = vidman->VideoRect(videoPanel->rect());
    const TSliderPlaces s =
        PlaceSliderRects(videoPanel->geometry(), picture.isEmpty() ? VideoRect : picture, m_scale);
    Yslider->setGeometry(s.Y);
    Xslider->setGeometry(s.X);
}

void TShowForm::HideActivePanel()
{
    const int n = iaPanneauActif->Value();
    if (TSideFrame* p = Panel(n)) {
        p->hide();
        m_panelCommands[n]->SetPlatformChecked(false);
    }
    for (TCheckAction* page : {am->caOptions, am->caAbout})
        page->SetChecked(false);
}

void TShowForm::ShowPanel(int aPanel)
{
    TSideFrame* p = Panel(aPanel);
    if (!p)
        return;
    p->raise();
    p->show();
    m_panelCommands[aPanel]->SetPlatformChecked(true);
}

void TShowForm::PanelHautResize()
{
    const int half = PanelHaut->width() / 2 - 2;
    const int row = PanelHaut->height() / 2;
    labFormatVideo->setGeometry(2, 0, half - 2, row);
    labDecoderVideo->setGeometry(2, row, half - 2, row);
    labFormatAudio->setGeometry(half, 0, half - 2, row);
    labDecoderAudio->setGeometry(half, row, half - 2, row);
}

void TShowForm::TntFormResize()
{
    LayoutPanels();
}

bool TShowForm::CloseWhenIdle(QObject* aWatched, QEvent* aEvent)
{
    TCommandQueue& commands = TCommandQueue::Instance();
    if (aWatched != this || aEvent->type() != QEvent::Close || !commands.Waiting())
        return false;
    // Closing would pull the managers from under the command under way: it stops, and the
    // window closes once it has returned.
    aEvent->ignore();
    naAbort->Apply();
    NavMan->AbortWait();
    commands.Post([self = QPointer(this)] {
        if (self)
            self->close();
    });
    return true;
}

bool TShowForm::eventFilter(QObject* aWatched, QEvent* aEvent)
{
    if (CloseWhenIdle(aWatched, aEvent) || TitleClicked(aWatched, aEvent) ||
        TextBoxFocus(aWatched, aEvent) || GrabClicked(aWatched, aEvent))
        return true;
    if (aEvent->type() == QEvent::Resize) {
        if (aWatched == m_client && m_resizeBound)
            TntFormResize();
        else if (aWatched == PanelHaut)
            PanelHautResize();
    }
    return QMainWindow::eventFilter(aWatched, aEvent);
}

void TShowForm::BuildMenus()
{
    const auto find = [this](const QString& id) { return FindAction(id); };
    FillMenuBar(*menuBar(), find);
    FillContextMenu(*PopupMenu, find);
    // The same menu over the video in full screen and in the preview window.
    for (QWidget* w :
         {m_client, static_cast<QWidget*>(plaque), static_cast<QWidget*>(PreviewForm)}) {
        w->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(w, &QWidget::customContextMenuRequested, this,
                [this, w](const QPoint& p) { PopupMenu->popup(w->mapToGlobal(p)); });
    }
}

void TShowForm::BuildButtonBar()
{
    m_separators = FillButtonBar(*barUnique, [this](const QString& id) { return FindAction(id); });
}

// The grab binds its actions in its own file.
template TNopeAction* TShowForm::Need<TNopeAction>(const char*);
template TBooleanAction* TShowForm::Need<TBooleanAction>(const char*);
template TIntegerAction* TShowForm::Need<TIntegerAction>(const char*);
template TWidestringAction* TShowForm::Need<TWidestringAction>(const char*);
template TFontAction* TShowForm::Need<TFontAction>(const char*);
template TPointAction* TShowForm::Need<TPointAction>(const char*);
template TColorAction* TShowForm::Need<TColorAction>(const char*);
template TDoubleAction* TShowForm::Need<TDoubleAction>(const char*);
template TCheckAction* TShowForm::Need<TCheckAction>(const char*);
