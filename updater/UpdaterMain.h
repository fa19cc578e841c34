// The updater's command line: "-p" editor folder, "-c" test access code, or the compressor mode
// "-a" source target [level].
#ifndef UPDATER_MAIN_H
#define UPDATER_MAIN_H

#include <QString>
#include <QStringList>

class UpdateSonaricPro;

struct UpdaterCommand {
    bool run = false;  // start the update; otherwise end with exitCode
    int exitCode = 0;
    QString base;      // the folder the language step reads from
};

// The test access code that "-c" must give.
QString updaterTestCode();

// Reads arguments (the program path first) and applies "-p" and "-c" to controller.
UpdaterCommand readCommandLine(const QStringList& arguments, UpdateSonaricPro& controller);

int usage(const QString& program);
bool langInit(const QString& base);
bool qt_compress(const QString& source, const QString& target, int level);

// The whole program; main() calls it.
int updaterMain(int argc, char** argv);

#endif
