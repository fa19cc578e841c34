// The start-up window shaped by its picture, with its step list and busy bar.
#include "KSplashScreen.h"
#include "WidgetTestEnv.h"

#include <QBitmap>
#include <QImage>
#include <QTemporaryDir>
#include <QProgressBar>
#include <QTextBlock>
#include <QTextEdit>

#include <functional>

TEST(KSplashScreen, PictureGivesSizeAndShape)
{
    for (const char* language : {"EN", "FR"}) {
        const QString path = QString(":/Intern/PubIntro") + language;
        KSplashScreen splash(path, "", nullptr);
        EXPECT_EQ(splash.size(), QSize(800, 600)) << language;
        EXPECT_FALSE(splash.mask().isEmpty());
        // Rounded corners are cut out of the window.
        EXPECT_FALSE(splash.mask().contains(QPoint(0, 0)));
        EXPECT_TRUE(splash.mask().contains(QPoint(400, 300)));
        EXPECT_TRUE(splash.windowFlags() & Qt::SplashScreen);
        EXPECT_FALSE(splash.isModal());

        splash.setListGeometry(QRect(223, 143, 355, 125));
        QFont bold = splash.font();
        bold.setBold(true);
        splash.setListFont(bold, Qt::black);
        splash.activePrg(true);
        splash.start();
        for (const auto& step : {std::pair{"Chargement des préférences", 0}, {"Ouverture", 10},
                                 {"Création de la fenêtre", 30}, {"Prêt", 95}})
            splash.setPrgText(QString::fromUtf8(step.first), step.second);
        EXPECT_EQ(splash.list()->geometry(), QRect(223, 143, 355, 125));
        const QTextCharFormat last =
            splash.list()->document()->lastBlock().previous().begin().fragment().charFormat();
        EXPECT_EQ(last.foreground().color(), QColor(Qt::black));
        EXPECT_TRUE(last.font().bold());
        grabScreen(splash, QString("splash_") + language);
        splash.finish();
        EXPECT_FALSE(splash.isVisible());
    }
    KSplashScreen plain("", "", nullptr);
    EXPECT_EQ(plain.size(), QSize(343, 180));
    EXPECT_TRUE(plain.mask().isEmpty());
}

// The window's shape is the picture's alpha mask, whatever the picture: corners cut round, holes
// inside, rows wholly transparent, alpha just under and at half, and several runs on one row.
TEST(KSplashScreen, ShapeIsThePicturesAlphaMask)
{
    const auto picture = [](const std::function<int(int, int)>& alpha) {
        QImage image(97, 61, QImage::Format_ARGB32);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, qRgba(40, 80, 120, alpha(x, y)));
        return image;
    };
    const QList<QImage> pictures = {
        picture([](int, int) { return 255; }),
        picture([](int x, int y) { return (x - 48) * (x - 48) + (y - 30) * (y - 30) < 700 ? 255 : 0; }),
        picture([](int x, int y) { return (x > 10 && x < 30 && y > 5 && y < 50) || y == 20 ? 0 : 255; }),
        picture([](int x, int y) { return y % 7 == 0 ? 0 : (x / 3) % 2 ? 127 : 128; }),
        picture([](int x, int y) { return (x * 7 + y * 3) % 256; }),
        picture([](int, int) { return 0; }),
    };
    QTemporaryDir dir;
    for (qsizetype i = 0; i < pictures.size(); ++i) {
        const QString path = dir.filePath(QString("shape%1.png").arg(i));
        ASSERT_TRUE(pictures[i].save(path));
        const QRegion expected(QBitmap::fromImage(QImage(path).createAlphaMask()));
        EXPECT_TRUE((KSplashScreen::shapeOf(QImage(path)) ^ expected).isEmpty()) << i;
        KSplashScreen splash(path, "", nullptr);
        EXPECT_TRUE((splash.mask() ^ expected).isEmpty()) << i;
        EXPECT_EQ(splash.mask().isEmpty(), expected.isEmpty()) << i;
    }
    // A picture without alpha gives no shape.
    EXPECT_TRUE(KSplashScreen::shapeOf(pictures[0].convertToFormat(QImage::Format_RGB32)).isEmpty());
}

TEST(KSplashScreen, BarFollowsValuesOnlyWhileActive)
{
    KSplashScreen splash("", "Démarrage", nullptr);
    splash.start();
    EXPECT_FALSE(splash.isBusyTimerRunning());
    splash.setPrgText("y", 50);
    EXPECT_FALSE(splash.progressBar()->isVisible());
    EXPECT_EQ(splash.progressBar()->value(), 0);
    splash.finish();

    splash.activePrg(true);
    splash.start();
    EXPECT_TRUE(splash.isBusyTimerRunning());
    EXPECT_TRUE(splash.progressBar()->isVisible());
    splash.setPrgText("x", -1);
    EXPECT_EQ(splash.progressBar()->value(), 0);
    splash.setPrgText("z", 98);
    EXPECT_EQ(splash.progressBar()->value(), 98);
    splash.timeout_slot();
    EXPECT_EQ(splash.progressBar()->value(), 99);
    splash.timeout_slot();
    EXPECT_EQ(splash.progressBar()->value(), 0); // the next would be the maximum: start again
    EXPECT_EQ(splash.list()->toPlainText(), QString("y\nx\nz\n"));
    splash.finish();
    EXPECT_FALSE(splash.isBusyTimerRunning());
}
