// The grab: the next image's name in the bottom bar, the frame taken from the renderer, its
// saved copy at the picture's aspect, the overwrite question and the thumbnail panel.
#include "app/QuietControls.h"
#include "app/TDossiersFrame.h"
#include "app/TExtraireFrame.h"
#include "app/TShowForm.h"
#include "app/TVideoPanel.h"
#include "app/Tnavframe.h"

#include "actions/TCheckAction.h"
#include "actions/TNopeAction.h"
#include "actions/ValueActions.h"
#include "base/TCommandQueue.h"
#include "files/ShellHelpers.h"
#include "files/TPathEdit.h"
#include "files/TUserQuestions.h"
#include "grab/ImageFiles.h"
#include "grab/ImageNames.h"
#include "grab/SavedImageSize.h"
#include "grab/TImageWriter.h"
#include "media/TNavMan.h"
#include "media/TVideoMan.h"
#include "media/core/FormatPosition.h"
#include "ui/UserMessages.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPixmap>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QUrl>

namespace {

enum { lookEmpty, lookNotSaved, lookSaved };

// While playing, the frame taken must be one drawn after the latest text change; a renderer
// that draws nothing more (end of file) must not hold the window forever.
constexpr int kDrawnWaitMs = 1000;

} // namespace

void TShowForm::BindGrab()
{
    naGrab = Need<TNopeAction>("naGrab");
    naCopy = Need<TNopeAction>("naCopy");
    baSauverQuandClic = Need<TBooleanAction>("baSauverQuandClic");
    baConfirmerImage = Need<TBooleanAction>("baConfirmerImage");
    baImageDeinterlacer = Need<TBooleanAction>("baImageDeinterlacer");
    waDossierSave = Need<TWidestringAction>("waDossierSave");
    waDefaultRacine = Need<TWidestringAction>("waDefaultRacine");
    iaNomFichierImage = Need<TIntegerAction>("iaNomFichierImage");
    baLimiterLongueur = Need<TBooleanAction>("baLimiterLongueur");
    iaRacineLength = Need<TIntegerAction>("iaRacineLength");
    iaImageAjouter = Need<TIntegerAction>("iaImageAjouter");
    iaNextNum = Need<TIntegerAction>("iaNextNum");
    iaDigits = Need<TIntegerAction>("iaDigits");
    iaImageExtension = Need<TIntegerAction>("iaImageExtension");
    iaJpegCompressionQuality = Need<TIntegerAction>("iaJpegCompressionQuality");
    baRAZWhenOpenFile = Need<TBooleanAction>("baRAZWhenOpenFile");

    waDossierSave->OnDefault = [](QString& v) {
        v = PictureFolder();
        return true;
    };
    waDossierSave->DefaultValue = PictureFolder();
    m_numberText = FormatNumber(iaNextNum->Value(), iaDigits->Value());

    BindDossiers();
    Need<TNopeAction>("naBmpExtension")->OnBeforeApply = [this] { iaImageExtension->SetValue(0); };
    Need<TNopeAction>("naJpegExtension")->OnBeforeApply = [this] { iaImageExtension->SetValue(1); };
    Need<TNopeAction>("naAjouterTimeStamp")->OnBeforeApply = [this] {
        iaImageAjouter->SetValue(0);
    };
    Need<TNopeAction>("naAjouterNumero")->OnBeforeApply = [this] { iaImageAjouter->SetValue(1); };

    naGrab->OnBeforeApply = [this] {
        if (iaPanneauActif->Value() != 2)
            m_panelCommands[2]->Apply();
        GrabFrame();
        ConfirmAndSave();
        ExtraireFrame->Bevel3->hide();
    };
    naCopy->OnBeforeApply = [this] {
        GrabFrame();
        if (!m_grabbed.isNull())
            QGuiApplication::clipboard()->setImage(m_grabbed);
    };

    // "Images > Désentrelacer" flips the option; it sits before the image settings' item.
    for (QAction* top : menuBar()->actions()) {
        QMenu* images = top->menu();
        if (!images || top->text() != u"Images")
            continue;
        QAction* before = m_panelCommands[1]->Action();
        auto* item = new QAction(QStringLiteral("Désentrelacer"), images);
        item->setObjectName(QStringLiteral("miDesentrelacer"));
        item->setCheckable(true);
        item->setToolTip(QStringLiteral("Désentrelacer les images extraites."));
        images->insertAction(images->actions().contains(before) ? before : nullptr, item);
        connect(item, &QAction::triggered, this,
                [this] { baImageDeinterlacer->SetValue(!baImageDeinterlacer->Value()); });
        connect(images, &QMenu::aboutToShow, item,
                [this, item] { item->setChecked(baImageDeinterlacer->Value()); });
    }

    QFont bold = ImageLab->font();
    bold.setBold(true);
    ImageLab->setFont(bold);
    ImageLab->setToolTip(
        QStringLiteral("Prochaine image enregistrée.\r\n"
                       "Cliquez dessus pour accéder au dossier qui la contiendra."));
    for (QObject* o :
         {static_cast<QObject*>(panelImage), static_cast<QObject*>(ImageLab),
          static_cast<QObject*>(videoPanel), static_cast<QObject*>(ExtraireFrame->Image),
          static_cast<QObject*>(ExtraireFrame->labsnapname)})
        o->installEventFilter(this);
    ClearThumbnail();
}

void TShowForm::BindDossiers()
{
    TDossiersFrame* f = SaveImagesFrame;
    waDossierSave->OnBeforeApply = [this, f](const QString& v) {
        if (f->deDossierSave->Folder() != v)
            f->deDossierSave->SetFolder(v);
        RefreshImageName();
    };
    waDefaultRacine->OnBeforeApply = [this, f](const QString& v) {
        if (f->NomRacineEdit->text() != v) {
            const QSignalBlocker quiet(f->NomRacineEdit);
            f->NomRacineEdit->setText(v);
        }
        RefreshImageName();
    };
    iaNomFichierImage->OnBeforeApply = [this, f](const qint32& v) {
        // Any value but 0 takes the video's name.
        SetCheckedQuietly(v == 0 ? f->rbUtiliserRacine : f->rbUtiliserNomVideo, true);
        RefreshImageName();
    };
    baLimiterLongueur->OnBeforeApply = [this, f](const bool& v) {
        SetCheckedQuietly(f->cbLimiterLongueur, v);
        RefreshImageName();
    };
    iaRacineLength->OnBeforeApply = [this, f](const qint32& v) {
        SetValueQuietly(f->RacineLengthEdit, v);
        RefreshImageName();
    };
    iaImageAjouter->OnBeforeApply = [this, f](const qint32& v) {
        if (v == 0 || v == 1)
            SetCheckedQuietly(v == 0 ? f->rbTimestamp : f->rbNumero, true);
        RefreshImageName();
    };
    iaImageExtension->OnBeforeApply = [this, f](const qint32& v) {
        SetCheckedQuietly(f->ExtensionItems->button(v == 0 ? 0 : 1), true);
        RefreshImageName();
    };
    iaDigits->OnBeforeApply = [this, f](const qint32& v) {
        SetValueQuietly(f->DigitsEdit, v);
        SetNumberText(FormatNumber(iaNextNum->Value(), v));
        RefreshImageName();
    };
    // The path keeps the number just saved until the next grab or naming change.
    iaNextNum->OnBeforeApply = [this, f](const qint32& v) {
        SetValueQuietly(f->seNextNum, v);
        SetNumberText(FormatNumber(v, iaDigits->Value()));
    };
    iaJpegCompressionQuality->OnBeforeApply = [f](const qint32& v) {
        if (f->TrackBar1->value() != v) {
            const QSignalBlocker quiet(f->TrackBar1);
            f->TrackBar1->setValue(v);
        }
        f->labQuality->setText(QString::number(v));
    };

    f->deDossierSave->OnAfterDialog = [this](QObject*, const QString& v) {
        waDossierSave->SetValue(v.endsWith(u'/') ? v : v + u'/');
    };
    connect(f->NomRacineEdit, &QLineEdit::textChanged, this,
            [this](const QString& v) { waDefaultRacine->SetValue(v); });
    WatchTextBox(f->NomRacineEdit);
    connect(f->rbUtiliserRacine, &QRadioButton::clicked, this,
            [this] { iaNomFichierImage->SetValue(0); });
    connect(f->rbUtiliserNomVideo, &QRadioButton::clicked, this,
            [this] { iaNomFichierImage->SetValue(1); });
    connect(f->cbLimiterLongueur, &QCheckBox::clicked, this,
            [this](bool v) { baLimiterLongueur->SetValue(v); });
    // The spin box signals only valid numbers, its edit only what is typed: an emptied box too.
    const auto length = [this, f] { iaRacineLength->SetValue(SpinTextValue(f->RacineLengthEdit)); };
    connect(f->RacineLengthEdit, &QSpinBox::valueChanged, this, length);
    connect(f->RacineLengthEdit->findChild<QLineEdit*>(), &QLineEdit::textChanged, this, length);
    connect(f->rbTimestamp, &QRadioButton::clicked, this, [this] { iaImageAjouter->SetValue(0); });
    connect(f->rbNumero, &QRadioButton::clicked, this, [this] { iaImageAjouter->SetValue(1); });
    connect(f->seNextNum, &QSpinBox::valueChanged, this, [this](int v) { iaNextNum->SetValue(v); });
    connect(f->DigitsEdit, &QSpinBox::valueChanged, this, [this](int v) { iaDigits->SetValue(v); });
    connect(f->ExtensionItems, &QButtonGroup::idClicked, this, [this](int id) {
        iaImageExtension->SetValue(id);
        RefreshImageName();
    });
    connect(f->TrackBar1, &QSlider::valueChanged, this,
            [this](int v) { iaJpegCompressionQuality->SetValue(v); });

    // The controls start from the values the actions hold now.
    f->deDossierSave->SetFolder(waDossierSave->Value());
    f->NomRacineEdit->setText(waDefaultRacine->Value());
    SetCheckedQuietly(iaNomFichierImage->Value() == 0 ? f->rbUtiliserRacine : f->rbUtiliserNomVideo,
                      true);
    SetCheckedQuietly(f->cbLimiterLongueur, baLimiterLongueur->Value());
    SetValueQuietly(f->RacineLengthEdit, iaRacineLength->Value());
    if (iaImageAjouter->Value() == 0 || iaImageAjouter->Value() == 1)
        SetCheckedQuietly(iaImageAjouter->Value() == 0 ? f->rbTimestamp : f->rbNumero, true);
    SetValueQuietly(f->seNextNum, iaNextNum->Value());
    SetValueQuietly(f->DigitsEdit, iaDigits->Value());
    SetCheckedQuietly(f->ExtensionItems->button(iaImageExtension->Value() == 0 ? 0 : 1), true);
    iaJpegCompressionQuality->OnBeforeApply(iaJpegCompressionQuality->Value());
}

bool TShowForm::GrabClicked(QObject* aWatched, QEvent* aEvent)
{
    if (aEvent->type() != QEvent::MouseButtonPress || !naGrab)
        return false;
    const auto* mouse = static_cast<QMouseEvent*>(aEvent);
    if (aWatched == videoPanel) {
        if (PlaceTextClicked(aWatched, aEvent))
            return true;
        if (mouse->button() != Qt::LeftButton)
            return false;
        TNopeAction* what = baSauverQuandClic->Value() ? naGrab : naCopy;
        if (what->Enabled())
            what->Execute(videoPanel);
        return false;
    }
    if (aWatched == panelImage || aWatched == ImageLab) {
        panelImageClick();
        return true;
    }
    if (aWatched == ExtraireFrame->Image) {
        const QString at = ExtraireFrame->SnapLab->text();
        if (!at.isEmpty())
            TCommandQueue::Instance().Submit(
                [this, at] {
                    if (NavMan->waStrPosition)
                        NavMan->waStrPosition->SetValue(at);
                    else
                        NavMan->SeekToText(at);
                },
                TCommandQueue::kSeek);
        return true;
    }
    if (aWatched == ExtraireFrame->labsnapname) {
        ConfirmAndSave();
        return true;
    }
    return false;
}

void TShowForm::RefreshImageName(const QString& aPosition)
{
    if (!waDossierSave || !iaDigits)
        return; // appliers run while the window binds its actions
    TImageNameSettings s;
    s.folder = waDossierSave->Value();
    s.rootSource = iaNomFichierImage->Value();
    s.fixedRoot = waDefaultRacine->Value();
    s.limitLength = baLimiterLongueur->Value();
    s.rootLength = iaRacineLength->Value();
    s.suffixKind = iaImageAjouter->Value();
    s.nextNumber = iaNextNum->Value();
    s.digits = iaDigits->Value();
    s.extension = iaImageExtension->Value();
    m_nextImagePath = ::NextImagePath(
        s, m_currentVideo, aPosition.isEmpty() ? PictureText() : aPosition, m_nextImagePath);
    ImageLab->setText(m_nextImagePath);
    ImageLab->setStyleSheet(ImageTaken(m_nextImagePath) ? QStringLiteral("color: #008000")
                                                        : QStringLiteral("color: #800000"));
}

QString TShowForm::PictureText() const
{
    if (!vidman->Source())
        return FormatPosition(NavMan->FrameDuration(), 0);
    // The picture's own time: while playing, the position box may be a frame ahead of it.
    return FormatPosition(NavMan->FrameDuration(), NavMan->PictureOrPosition());
}

void TShowForm::panelImageClick()
{
    TImageNameSettings s;
    s.rootSource = iaNomFichierImage->Value();
    s.fixedRoot = waDefaultRacine->Value();
    s.limitLength = baLimiterLongueur->Value();
    s.rootLength = iaRacineLength->Value();
    const TImageClickTarget target = ImageClickTarget(
        m_nextImagePath, ImageFolder(waDossierSave->Value()), ImageRoot(s, m_currentVideo));
    if (target.kind == TImageClickTarget::ShowFile)
        ShowInExplorer(target.path);
    else if (target.kind == TImageClickTarget::OpenFolder)
        QDesktopServices::openUrl(QUrl::fromLocalFile(target.path));
}

void TShowForm::ComputeImageSizes(int a, int b)
{
    m_savedSize = SavedImageSize(a, b, m_frameSize);
}

void TShowForm::CaptureCurrentFrame()
{
    // A failed capture leaves nothing to save: never the previous frame under a new name.
    if (vidman->DisplayState() != TVideoMan::dsVideo || !vidman->GetCurrentImage(m_grabbed))
        m_grabbed = QImage();
    m_frameSize = m_grabbed.size();
    const QSize aspect = vidman->Aspect();
    ComputeImageSizes(aspect.width(), aspect.height());
}

void TShowForm::GrabFrame()
{
    if (caPlay && caPlay->Checked()) {
        // At the end of the file no frame comes: the last one is the one to take.
        QElapsedTimer waited;
        waited.start();
        const TCommandQueue::TWait wait;
        while (vidman->FramesDrawn() == vidman->NotedFramesDrawn() && caPlay->Checked() &&
               !NavMan->AtEnd() && waited.elapsed() < kDrawnWaitMs)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    // Named and labelled after the frame captured: read together, before a newer one comes.
    const QString at = PictureText();
    CaptureCurrentFrame();
    RefreshImageName(at);
    if (baImageDeinterlacer->Value())
        m_deinterlacer.Deinterlace(m_grabbed, m_grabbed);
    if (m_grabbed.height() <= 0) {
        m_saved = QImage();
        return;
    }
    // A run scales on the writer's thread; the thumbnail's label scales what it shows.
    m_saved = m_writer ? m_grabbed : TImageWriter::Prepared(m_grabbed, m_savedSize);
    ExtraireFrame->labImagetteTaille->setText(
        QStringLiteral("%1 x %2").arg(m_savedSize.width()).arg(m_savedSize.height()));
    ExtraireFrame->Image->setPixmap(QPixmap::fromImage(m_saved));
    ExtraireFrame->SnapLab->setText(at);
    ExtraireFrame->labsnapname->setText(QFileInfo(m_nextImagePath).fileName());
    SnapNameLook(lookNotSaved);
    PlaceThumbnail();
}

void TShowForm::SnapNameLook(int aLook)
{
    QLabel* name = ExtraireFrame->labsnapname;
    QPalette pal = name->palette();
    switch (aLook) {
    case lookEmpty:
        pal.setColor(QPalette::Window, ExtraireFrame->palette().color(QPalette::Window));
        name->setToolTip(QString());
        name->unsetCursor();
        break;
    case lookNotSaved:
        pal.setColor(QPalette::Window, pal.color(QPalette::Button));
        name->setToolTip(QStringLiteral("Cette image n'a pas encore été enregistrée\r\n"
                                        "Cliquez sur ce label pour l'enregistrer"));
        name->setCursor(Qt::PointingHandCursor);
        break;
    default:
        pal.setColor(QPalette::Window, QColor(0xC0, 0xDC, 0xC0));
        name->setToolTip(QStringLiteral("Cette image a déjà été enregistrée"));
        name->unsetCursor();
        break;
    }
    name->setPalette(pal);
}

void TShowForm::ConfirmAndSave()
{
    // Only a grab of the current file is saved (not a cleared one, not an empty one).
    if (m_saved.isNull() || m_nextImagePath.isEmpty())
        return;
    if (baConfirmerImage->Value() && ImageTaken(m_nextImagePath)) {
        const QString text = QStringLiteral("Le fichier %1 existe déjà. Voulez-vous le "
                                            "remplacer?\r\n\r\nCliquez sur \"Oui à Tous\" pour "
                                            "ne plus être interrogé.")
                                 .arg(m_nextImagePath);
        switch (UserQuestions().YesNoCancelYesToAll(this, text)) {
        case TAnswer::Yes:
            SaveImage();
            break;
        case TAnswer::YesToAll:
            baConfirmerImage->SetValue(false);
            SaveImage();
            break;
        case TAnswer::No:
            break;
        case TAnswer::Cancel:
            IntervalStop = true;
            break;
        }
        return;
    }
    SaveImage();
}

bool TShowForm::ImageTaken(const QString& aPath) const
{
    return ImageFileExists(aPath) || (m_writer && m_writer->Pending(aPath));
}

bool TShowForm::TakeWriteFailure()
{
    if (!m_writer)
        return false;
    const auto failure = m_writer->Failure();
    if (!failure)
        return false;
    m_writer->Reset();
    IntervalStop = true;
    // The images after the failed one were dropped: the numbering goes on from it.
    iaNextNum->SetValue(failure->number);
    RefreshImageName();
    WarnUser(this, failure->error);
    return true;
}

bool TShowForm::SaveImage()
{
    const TImageFileFormat format =
        iaImageExtension->Value() != 0 ? TImageFileFormat::Jpeg : TImageFileFormat::Bmp;
    if (m_writer) {
        // The number is taken now, in the order of the grabs.
        if (TakeWriteFailure())
            return false;
        const qint32 number = iaNextNum->Value();
        if (!m_writer->Queue({m_saved, m_savedSize, m_nextImagePath, format,
                              iaJpegCompressionQuality->Value(), number})) {
            TakeWriteFailure();
            return false;
        }
        SnapNameLook(lookSaved);
        iaNextNum->SetValue(number + 1);
        RefreshImageName();
        return true;
    }
    QString error;
    if (!SaveImageFile(m_saved, m_nextImagePath, format, iaJpegCompressionQuality->Value(),
                       error)) {
        IntervalStop = true; // an interval run must not fail once per image
        WarnUser(this, error);
        return false;
    }
    SnapNameLook(lookSaved);
    iaNextNum->SetValue(iaNextNum->Value() + 1);
    // The bar names the next image again, in green when that file now exists.
    RefreshImageName();
    return true;
}

void TShowForm::PlaceThumbnail()
{
    TExtraireFrame* f = ExtraireFrame;
    const QRect inner = f->rect().adjusted(12, 12, -12, -12);
    QRect image = inner;
    if (m_savedSize.width() > 0 && m_savedSize.height() > 0) {
        QSize fitted = m_savedSize.scaled(inner.size(), Qt::KeepAspectRatio);
        image = QRect(QPoint(0, 0), fitted);
        image.moveCenter(inner.center());
    }
    f->Image->setGeometry(image);
    f->labsnapname->setGeometry(image.left(), image.bottom() + 1, image.width(),
                                f->labsnapname->height());
    f->SnapLab->setGeometry(inner.left() + 2, image.top() - 34, inner.width() - 4,
                            f->SnapLab->height());
    f->Bevel1->setGeometry(inner.left(), image.top() - 42, inner.width(), f->Bevel1->height());
    f->Bevel3->setGeometry(image);
    HideActivePanel();
    iaPanneauActif->SetValue(2);
    f->labImagetteTaille->move(image.left(), image.top() - 12);
    f->labImagetteTaille->adjustSize();
}

void TShowForm::ClearThumbnail()
{
    TExtraireFrame* f = ExtraireFrame;
    m_saved = QImage();
    f->Image->clear();
    f->labImagetteTaille->clear();
    f->labsnapname->clear();
    f->SnapLab->clear();
    SnapNameLook(lookEmpty);
    f->Bevel3->show();
    f->Bevel3->raise();
}
