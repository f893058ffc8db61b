#include "app/CommandLineHelp.h"
#include "app/TShowForm.h"

#include "actions/TKoSwitch.h"
#include "base/TBatchRun.h"
#include "base/TSignalClose.h"
#include "ui/TSavePrefsForm.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

namespace {

// --help, --help-roff (the manual page, for the build) and --version: answered without a display
// and without reading or writing any preference.
int AnswerAbout(int argc, char** argv)
{
    const char* asked = nullptr;
    for (int i = 1; i < argc; ++i)
        for (const char* known : {"--help", "--help-roff", "--version"})
            if (std::strcmp(argv[i], known) == 0)
                asked = known;
    if (!asked)
        return -1;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int one = 1;
    QApplication app(one, argv);
    if (std::strcmp(asked, "--version") == 0) {
        std::fputs(qPrintable(TShowForm::FullTitle() + u'\n'), stdout);
        return 0;
    }
    TSavePrefsForm question;
    const TShowForm window(&question);
    const QString text = std::strcmp(asked, "--help") == 0 ? CommandLineHelp(window.AttachedLists())
                                                           : ManualPage(window.AttachedLists());
    std::fputs(text.toUtf8().constData(), stdout);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (const int answered = AnswerAbout(argc, argv); answered >= 0)
        return answered;
    // The switches need the arguments as given, before Qt takes its own out of argv.
    TKoSwitch::SaveProgramArguments(argc, argv);
    TBatchRun::SetActive(TBatchRun::AsksToQuit(TKoSwitch::ProgramArguments()));
    // A run that quits by itself needs no screen: on a machine without one (a server, a job)
    // it works off screen rather than failing to start.
    if (TBatchRun::Active() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tessarine"));
    QApplication::setOrganizationName(QStringLiteral("Orvalis"));
    QApplication::setApplicationVersion(QStringLiteral(TESS_VERSION));
    TSavePrefsForm question;
    TShowForm window(&question);
    window.show();
    // A second signal while the window asks where to keep the settings ends the program.
    int signals = 0;
    const TSignalClose onSignal([&window, &signals] {
        if (++signals > 1)
            QApplication::exit(1);
        else
            window.close();
    });
    const int status = QApplication::exec();
    return status != 0 ? status : TBatchRun::ExitStatus();
}
