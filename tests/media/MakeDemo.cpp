// Makes the demo clip that scripts/run opens for a newcomer: tess_make_demo FOLDER prints the
// clip's path (made once; an existing clip is kept). With --raw-dv, a raw DV tape file instead
// (tape.dv, one second), as the README's example reads.
#include "MediaMaker.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    const bool raw = args.removeAll(QStringLiteral("--raw-dv")) > 0;
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: tess_make_demo [--raw-dv] FOLDER\n");
        return 2;
    }
    const QString folder = args[1];
    const QString existing =
        QDir(folder).filePath(raw ? QStringLiteral("tape.dv") : QStringLiteral("demo.avi"));
    if (QFileInfo(existing).size() > 0) {
        std::printf("%s\n", qPrintable(existing));
        return 0;
    }
    QDir().mkpath(folder);
    const QString made = raw ? MediaMaker::RawDv(folder, 25) : MediaMaker::DemoClip(folder);
    if (made.isEmpty()) {
        std::fprintf(stderr, "tess_make_demo: the clip could not be made (is ffmpeg there?)\n");
        return 1;
    }
    std::printf("%s\n", qPrintable(made));
    return 0;
}
