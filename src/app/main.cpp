#include "app/TShowForm.h"

#include "actions/TKoSwitch.h"
#include "base/TBatchRun.h"
#include "base/TSignalClose.h"
#include "ui/TSavePrefsForm.h"

#include <QApplication>

int main(int argc, char** argv)
{
    // The switches need the arguments as given, before Qt takes its own out of argv.
    TKoSwitch::SaveProgramArguments(argc, argv);
    TBatchRun::SetActive(TBatchRun::AsksToQuit(TKoSwitch::ProgramArguments()));
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
