#include "UpdaterMain.h"

#include "QtComp.h"
#include "UpdateInstaller.h"
#include "UpdateSonaricPro.h"
#include "UpdaterPrompt.h"

#include <QApplication>
#include <QCoreApplication>
#include <QSettings>
#include <QTranslator>

#include <csignal>
#include <cstdio>

namespace {

const QString LangKey;
const QString LangFileName;
const QString LangDirPath;

void warningLine(const QString& text)
{
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

QString tr(const char* text)
{
    return QCoreApplication::translate("UpdateSonaricPro", text);
}

} // namespace

QString updaterTestCode()
{
    return QStringLiteral("EssaiDeMiseAJour");
}

int usage(const QString& program)
{
    warningLine(QStringLiteral("Usage : "));
    warningLine(QStringLiteral("   ") + program
                + QStringLiteral(" [[-p tovrasonaric_exec_path] [-c mdp]] | [-a src_file dst_file]"));
    return -1;
}

bool qt_compress(const QString& source, const QString& target, int level)
{
    QString error;
    if (QtComp::compressFile(source, target, level, &error))
        return true;
    warningLine(error);
    return false;
}

UpdaterCommand readCommandLine(const QStringList& arguments, UpdateSonaricPro& controller)
{
    UpdaterCommand command;
    command.base = QCoreApplication::applicationDirPath();
    const QString program = arguments.value(0);
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& option = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (option == QLatin1String("-p") && hasValue) {
            QString folder = arguments[++i];
            if (folder.size() >= 2 && folder.startsWith(QLatin1Char('"')) && folder.endsWith(QLatin1Char('"')))
                folder = folder.mid(1, folder.size() - 2);
            controller.setApplicationDirPath(folder);
            command.base = folder;
        } else if (option == QLatin1String("-c") && hasValue) {
            const bool test = arguments[++i] == updaterTestCode();
            UpdaterPrompt::information(&controller, tr("Update Sonaric"),
                                       test ? tr("Test en cours !") : tr("Code Inconnu !"));
            controller.setTest(test);
        } else if (option == QLatin1String("-a") && i == 1 && arguments.size() >= 4) {
            const QString source = arguments[2];
            const QString target = arguments[3];
            std::fprintf(stderr, "Compress : %s to %s ... ", source.toLocal8Bit().constData(),
                         target.toLocal8Bit().constData());
            const int level = arguments.size() > 4 ? arguments[4].toInt() : 9;
            const bool ok = qt_compress(source, target, level);
            warningLine(ok ? QStringLiteral(" Ok !") : QStringLiteral(" ERROR !"));
            command.exitCode = ok ? 0 : -1;
            return command;
        } else {
            // Also "-p" or "-c" without their value.
            command.exitCode = usage(program);
            return command;
        }
    }
    command.run = true;
    return command;
}

bool langInit(const QString& base)
{
    // With no key configured the language is the default one.
    QString language = QStringLiteral("EN");
    if (!LangKey.isEmpty()) {
        const QSettings file(base + QLatin1Char('/') + LangDirPath + LangFileName, QSettings::IniFormat);
        language = file.value(LangKey, language).toString();
    }
    QTranslator program;
    QTranslator qt;
    if (!program.load(QStringLiteral(":/TovraTr/") + language)) {
        UpdaterPrompt::critical(nullptr, tr("Error"), tr("Cannot open Tovra languages files!"));
        return false;
    }
    if (!qt.load(QStringLiteral(":/QtTr/") + language)) {
        UpdaterPrompt::critical(nullptr, tr("Error"), tr("Cannot open Qt languages files!"));
        return false;
    }
    QCoreApplication::installTranslator(&program);
    QCoreApplication::installTranslator(&qt);
    return true;
}

int updaterMain(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    UpdateSonaricPro* controller = UpdateSonaricPro::getInstance();
    const UpdaterCommand command = readCommandLine(arguments, *controller);
    if (!command.run)
        return command.exitCode;
    if (!langInit(command.base))
        return 0;
    // The test of interrupted installations stops the program the hard way after the given
    // change of the installation, as a power cut or a kill would.
    bool killAt = false;
    const int change = qEnvironmentVariableIntValue("TOVRA_UPDATER_KILL_AT_CHANGE", &killAt);
    if (killAt) {
        UpdateInstaller::setStepHook([change](int done) {
            if (done == change)
                std::raise(SIGKILL);
        });
    }
    app.setQuitOnLastWindowClosed(true);
    QObject::connect(controller, &UpdateSonaricPro::closed, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    if (!controller->start())
        return 0;
    return app.exec();
}
