// The editor's start-up: language, translations, splash screen, image bundle, main window,
// the project named on the command line, the update check and the start dialog, then the event
// loop. sonaric_main builds the application object and runs the rest; tests run the rest with
// their own application object.
#ifndef SONARIC_STARTUP_H
#define SONARIC_STARTUP_H

#include <QString>
#include <QStringList>

class QTranslator;

namespace SonaricStartup {
// Exit code of a start-up that could not go on.
constexpr int ExitStartupFailure = 1;

// The language code read from the language file: "EN" or "FR"; any other value, a missing
// file or a missing key give "EN".
QString languageCode(const QString& langFilePath);
QString langFilePath();
QString imageBundlePath();
// Loads the editor's and Qt's catalogues of the language; on failure the text of the error.
bool loadTranslations(const QString& code, QTranslator& editor, QTranslator& qt, QString* error);

// Steps 2 to 19 of the start, with the application object already built. arguments are the
// program's arguments without the program path. Returns the process exit code.
int run(const QStringList& arguments);
} // namespace SonaricStartup

int sonaric_main(int argc, char** argv);

#endif
