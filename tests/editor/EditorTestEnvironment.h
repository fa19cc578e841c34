// One application object for a whole editor test program, with the settings store in a
// temporary XDG_CONFIG_HOME, the update search set to "only when asked", and a staged program
// folder whose ../Frameworks/ holds the built image bundle and ../Resources/ the language file.
// An update check finds no server (a closed local port), and no program or page is ever opened.
#ifndef EDITOR_TEST_ENVIRONMENT_H
#define EDITOR_TEST_ENVIRONMENT_H

#include "AppPaths.h"
#include "KPrompt.h"
#include "KTheme.h"
#include "SonaricParams.h"
#include "UpdateLauncher.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTranslator>
#include <QUrl>
#include <QWidget>

#include <gtest/gtest.h>

#include <ostream>
#include <utility>

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

class EditorTestEnvironment : public ::testing::Environment
{
public:
    static EditorTestEnvironment* get() { return current; }

    void SetUp() override
    {
        current = this;
        configHome = new QTemporaryDir;
        qputenv("XDG_CONFIG_HOME", configHome->path().toUtf8());
        static int argc = 1;
        static char name[] = "editor_test";
        static char* argv[] = {name, nullptr};
        app = new QApplication(argc, argv);
        KTheme::apply(*app);
        stage = new QTemporaryDir;
        QDir(stage->path()).mkpath("bin");
        QDir(stage->path()).mkpath("Resources");
        QDir(stage->path()).mkpath("Frameworks");
        QFile::copy(TOVRA_IMAGE_BUNDLE, bundlePath());
        writeLanguage("EN");
        AppPaths::setProgramDir(programDir());
        QSettings store(QSettings::NativeFormat, QSettings::UserScope, Snc::CompanyName,
                        Snc::ApplicationName);
        store.setValue(Snc::SonaricParams + "UpdateSearch", int(SonaricParams::UpdateOnRequest));
        const QString closed = "http://127.0.0.1:1/";
        UpdateLauncher::setEndpoints({closed + "release.update", closed + "test.update", closed + "news",
                                      "127.0.0.1", closed + "installer.tar.gz"});
        UpdateLauncher::setStarter([](const QString&, const QStringList&, const QString&) { return false; });
        UpdateLauncher::setPageOpener([](const QUrl&) { return false; });
    }

    void TearDown() override
    {
        AppPaths::setProgramDir(QString());
        delete app;
        app = nullptr;
        delete stage;
        delete configHome;
        current = nullptr;
    }

    QString programDir() const { return stage->path() + "/bin"; }
    QString bundlePath() const { return stage->path() + "/Frameworks/TovraDream.eus"; }
    QString langFile() const { return stage->path() + "/Resources/lang.ini"; }
    QString configDir() const { return configHome->path(); }
    void writeLanguage(const QString& code) const
    {
        QFile::remove(langFile());
        QSettings file(langFile(), QSettings::IniFormat);
        file.setValue("LANG", code);
    }

private:
    static inline EditorTestEnvironment* current = nullptr;
    QTemporaryDir* configHome = nullptr;
    QTemporaryDir* stage = nullptr;
    QApplication* app = nullptr;
};

static ::testing::Environment* const editorTestEnvironment =
    ::testing::AddGlobalTestEnvironment(new EditorTestEnvironment);

// Answers the program's prompts with `handler` while it lives; the previous handler comes back
// when it goes.
class ScopedPromptHandler
{
public:
    explicit ScopedPromptHandler(KPrompt::Handler handler)
        : previous(KPrompt::setHandler(std::move(handler)))
    {
    }
    ~ScopedPromptHandler() { KPrompt::setHandler(previous); }
    ScopedPromptHandler(const ScopedPromptHandler&) = delete;
    ScopedPromptHandler& operator=(const ScopedPromptHandler&) = delete;

private:
    KPrompt::Handler previous;
};

// The texts of the message boxes among `asked` (our own dialogs left out), in the order shown.
inline QStringList messageTexts(const QList<KPrompt::Request>& asked)
{
    QStringList all;
    for (const KPrompt::Request& request : asked)
        if (request.kind != KPrompt::Dialog)
            all << request.text;
    return all;
}

// Answers every prompt with its default (or the given button) and keeps what was asked.
class PromptRecorder
{
public:
    explicit PromptRecorder(int button = QMessageBox::Ok)
        : scope([this, button](const KPrompt::Request& request) {
              asked << request;
              KPrompt::Answer answer;
              answer.button = button;
              return answer;
          })
    {
    }

    QList<KPrompt::Request> asked;

private:
    ScopedPromptHandler scope;
};

// Saves a grab of the widget as screens/<name>.png.
inline bool grabToScreens(QWidget* widget, const QString& name)
{
    return widget->grab().save(QString(TOVRA_SCREENS_DIR) + "/" + name + ".png");
}

#endif
