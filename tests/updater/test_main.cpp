#include "UpdateSonaricPro.h"
#include "UpdaterMain.h"
#include "UpdaterTestApp.h"

#include <QDir>

namespace {

TEST(UpdaterCommandLine, OptionsAreReadInOrder)
{
    const QString own = QCoreApplication::applicationDirPath();
    const struct {
        QStringList arguments;
        bool run;
        QString base;
        bool test;
        QStringList boxes;
    } cases[] = {
        {{"-p", "\"/x y\""}, true, "/x y", false, {}},
        {{"-p", "/plain"}, true, "/plain", false, {}},
        {{"-p", "\"/x"}, true, "\"/x", false, {}},
        {{"-p", "/a", "-p", "/b"}, true, "/b", false, {}},
        {{"-c", "bad", "-p", "/d"}, true, "/d", false, {"Code Inconnu !"}},
        {{"-c", "EssaiDeMiseAJour", "-p", "\"/d\""}, true, "/d", true, {"Test en cours !"}},
        {{}, true, own, false, {}},
        {{"-x"}, false, own, false, {}},
        {{"-p"}, false, own, false, {}},
        {{"-p", "/a", "-c"}, false, "/a", false, {}},
        {{"-p", "/a", "-a", "s", "d"}, false, "/a", false, {}},
        {{"-a", "s"}, false, own, false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        BoxRecorder boxes;
        UpdateSonaricPro controller;
        const UpdaterCommand command = readCommandLine(QStringList{"SonaricUpdate"} + c.arguments, controller);
        EXPECT_EQ(command.run, c.run);
        EXPECT_EQ(command.exitCode, c.run ? 0 : -1);
        EXPECT_EQ(command.base, c.base);
        EXPECT_EQ(controller.isTest(), c.test);
        EXPECT_EQ(boxes.texts, c.boxes);
        if (c.run && c.base.startsWith('/')) {
            EXPECT_EQ(controller.applicationDirPath(), c.base);
        }
    }
}

TEST(UpdaterCommandLine, TheLanguageStepFindsItsCataloguesSoTheUpdateCanStart)
{
    BoxRecorder boxes;
    EXPECT_TRUE(langInit(QDir::tempPath()));
    EXPECT_TRUE(boxes.texts.isEmpty());
}

} // namespace
