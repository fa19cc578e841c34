#include "ConnexionWindowUi.h"
#include "StartWindowUi.h"
#include "UpdateWindowUi.h"
#include "UpdaterTestApp.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTextEdit>

namespace {

TEST(UpdateWindow, ShowsVersionsLogResultAndSwapsCancelForOk)
{
    UpdateWindowUi window("1.1.5", "?");
    window.show();
    EXPECT_EQ(window.objectName(), QStringLiteral("Form"));
    EXPECT_EQ(window.findChild<QLabel*>("version1")->text(), QStringLiteral("1.1.5"));
    EXPECT_EQ(window.findChild<QLabel*>("version2")->text(), QStringLiteral("?"));
    EXPECT_EQ(window.findChild<QLabel*>("maj")->text(), QStringLiteral("Updating files..."));
    window.setUpdateVersion("1.3");
    EXPECT_EQ(window.findChild<QLabel*>("version2")->text(), QStringLiteral("1.3"));
    window.addLine("Download: a");
    window.addLine("Install: a");
    EXPECT_EQ(window.log(), QStringLiteral("Download: a\nInstall: a\n"));
    window.setTotalOnBarFile(200);
    window.setProgressOnBarFile(50);
    EXPECT_EQ(window.findChild<QProgressBar*>("fileBar")->value(), 50);

    auto* ok = window.findChild<QPushButton*>("okButt");
    auto* cancel = window.findChild<QPushButton*>("cancelButt");
    EXPECT_FALSE(window.okEnabled());
    EXPECT_TRUE(cancel->isVisible());
    QSignalSpy cancelled(&window, &UpdateWindowUi::cancelled);
    QTest::mouseClick(cancel, Qt::LeftButton);
    EXPECT_EQ(cancelled.count(), 1);
    window.setOkEnabled(true);
    EXPECT_TRUE(window.okEnabled());
    EXPECT_FALSE(cancel->isVisible());
    QSignalSpy okSpy(&window, &UpdateWindowUi::ok);
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_EQ(okSpy.count(), 1);
}

TEST(UpdateWindow, QThenTShowsTheQtVersions)
{
    BoxRecorder boxes;
    UpdateWindowUi window("1", "2");
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_Q);
    QTest::keyClick(&window, Qt::Key_T);
    ASSERT_EQ(boxes.titles, QStringList{"Qt's Versions"});
    EXPECT_TRUE(boxes.texts.first().startsWith("Qt's run-time version : " + QString::fromLatin1(qVersion())));
}

TEST(ConnexionWindow, NextIsEmittedAtOnceAndCancelOnPress)
{
    ConnexionWindowUi window;
    QSignalSpy next(&window, &ConnexionWindowUi::nextPressed);
    QSignalSpy cancel(&window, &ConnexionWindowUi::cancelPressed);
    window.setNextEnabled(false);
    EXPECT_EQ(next.count(), 0);
    window.setNextEnabled(true);
    EXPECT_EQ(next.count(), 1);
    window.addStatusConnexion("Initialisation");
    EXPECT_EQ(window.statusLabel()->text(), QStringLiteral("Initialisation"));
    window.setTotalOnBarFile(10);
    window.setValueProgressBar(4);
    EXPECT_EQ(window.progressBar()->maximum(), 10);
    EXPECT_EQ(window.progressBar()->value(), 4);
    QTest::mousePress(window.cancelButton(), Qt::LeftButton);
    EXPECT_EQ(cancel.count(), 1);
    EXPECT_GE(window.minimumWidth(), 300);
}

} // namespace

TEST(StartWindow, FixedWindowWithItsTextsAndTwoReportingButtons)
{
    StartWindowUi window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_EQ(window.findChild<QLabel*>("headline")->text(), QStringLiteral("An Tovra Sonaric update is available."));
    EXPECT_EQ(window.findChild<QLabel*>("hint")->text(),
              QStringLiteral("Click on \"Next\" to download and install..."));
    // Every text shows whole inside the window.
    for (const QWidget* shown : window.findChildren<QWidget*>()) {
        EXPECT_TRUE(window.rect().contains(QRect(shown->mapTo(&window, QPoint(0, 0)), shown->size())))
            << shown->objectName().toStdString();
        if (const auto* label = qobject_cast<const QLabel*>(shown); label && !label->wordWrap()) {
            EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()));
        }
    }
    QSignalSpy next(&window, &StartWindowUi::continuerPressed);
    QSignalSpy exit(&window, &StartWindowUi::quitterPressed);
    QTest::mouseClick(window.nextButton(), Qt::LeftButton);
    EXPECT_EQ(next.count(), 1);
    EXPECT_EQ(exit.count(), 0);
    QTest::mouseClick(window.exitButton(), Qt::LeftButton);
    EXPECT_EQ(exit.count(), 1);
    EXPECT_EQ(window.nextButton()->text(), QStringLiteral("Next"));
    EXPECT_EQ(window.exitButton()->text(), QStringLiteral("Exit"));
}
