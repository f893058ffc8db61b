#include "app/TShowForm.h"

#include "actions/TKoSwitch.h"
#include "base/TBatchRun.h"
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
    const int status = QApplication::exec();
    return status != 0 ? status : TBatchRun::ExitStatus();
}
