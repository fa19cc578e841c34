// A main window built in-process with the English catalogue and the image bundle, deleted after
// each test.
#ifndef MAIN_WINDOW_FIXTURE_H
#define MAIN_WINDOW_FIXTURE_H

#include "EditorTestEnvironment.h"
#include "SonaricStartup.h"
#include "TVRAction.h"
#include "ZazuzoziZadiviDU.h"

#include <QResource>
#include <QSignalSpy>
#include <QTranslator>

#include <memory>

class MainWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QString error;
        ASSERT_TRUE(SonaricStartup::loadTranslations("EN", editorTr, qtTr, &error)) << error.toStdString();
        QCoreApplication::installTranslator(&editorTr);
        ASSERT_TRUE(QResource::registerResource(EditorTestEnvironment::get()->bundlePath()));
        window = ZazuzoziZadiviDU::getInstance();
        actions = window->getActionManager();
    }
    void TearDown() override
    {
        ZazuzoziZadiviDU::deleteInstance();
        QResource::unregisterResource(EditorTestEnvironment::get()->bundlePath());
        QCoreApplication::removeTranslator(&editorTr);
    }

    QTranslator editorTr;
    QTranslator qtTr;
    ZazuzoziZadiviDU* window = nullptr;
    TVRAction* actions = nullptr;
};

#endif
