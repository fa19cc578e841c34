// Started by bench_editor, offscreen, in one of two modes:
//   editor    the editor's whole start-up without a project: splash, main window, start dialog;
//   settings  writes the editor's settings for the timed starts (no update search) and ends.
// Right after the main window's first paint has been flushed it writes "first_paint" with its
// CPU time and peak memory so far on the standard output; it then ends by its ordinary way out
// once its start dialog has shown, and writes its peak memory again ("maxrss_kb=<n>").
#include "StartChildWatch.h"

#include "AppPaths.h"
#include "KTheme.h"
#include "SonaricParams.h"
#include "SonaricStartup.h"

#include <QSettings>

#include <cstring>

int main(int argc, char** argv)
{
    startchild::reportPeakAtExit();
    startchild::WatchedApplication app(argc, argv, "DlgOpenSonaric");
    AppPaths::setProgramDir(TOVRA_BENCH_PROGRAM_DIR);
    if (argc > 1 && std::strcmp(argv[1], "settings") == 0) {
        // Run once before the timed starts: the editor looks for updates only when asked.
        QSettings(QSettings::NativeFormat, QSettings::UserScope, Snc::CompanyName, Snc::ApplicationName)
            .setValue(Snc::SonaricParams + "UpdateSearch", int(SonaricParams::UpdateOnRequest));
        return 0;
    }
    KTheme::apply(app);
    return SonaricStartup::run({});
}
