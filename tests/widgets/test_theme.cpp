// The palette, the style and the picture cache every window draws with.
#include "KPictureCache.h"
#include "KTheme.h"
#include "WidgetTestEnv.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QMap>
#include <QPainter>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QStyle>
#include <QVBoxLayout>

#include <cmath>

TEST(KTheme, PaletteRolesCarryTheThemeColours)
{
    const QPalette pal = KTheme::palette();
    const struct {
        QPalette::ColorGroup group;
        QPalette::ColorRole role;
        const char* colour;
    } cases[] = {
        {QPalette::Active, QPalette::Window, "#1f2125"},
        {QPalette::Active, QPalette::WindowText, "#e6e8eb"},
        {QPalette::Active, QPalette::Button, "#353941"},
        {QPalette::Active, QPalette::AlternateBase, "#2a2d33"},
        {QPalette::Active, QPalette::Highlight, "#3fa7d6"},
        {QPalette::Active, QPalette::Mid, "#4a4f59"},
        {QPalette::Active, QPalette::Light, "#414650"},
        {QPalette::Disabled, QPalette::Text, "#9aa0a8"},
        {QPalette::Disabled, QPalette::ButtonText, "#9aa0a8"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(pal.color(c.group, c.role).name(), QString(c.colour)) << c.colour;
    EXPECT_EQ(QApplication::palette().color(QPalette::Window).name(), QString("#1f2125"));
}

TEST(KTheme, StateAndMeterColours)
{
    EXPECT_EQ(KTheme::mute().name(), QString("#e0a030"));
    EXPECT_EQ(KTheme::solo().name(), QString("#4cc38a"));
    EXPECT_EQ(KTheme::accent().name(), QString("#3fa7d6"));
    EXPECT_EQ(KTheme::warning().name(), QString("#e5484d"));
    const struct {
        double dbfs;
        const char* colour;
    } levels[] = {{-60, "#4cc38a"}, {-18.01, "#4cc38a"}, {-18, "#e5c13b"},
                  {-6, "#e5c13b"},  {-5.99, "#e5484d"},  {0, "#e5484d"}};
    for (const auto& l : levels)
        EXPECT_EQ(KTheme::meter(l.dbfs).name(), QString(l.colour)) << l.dbfs;
}

TEST(KTheme, StyleIsFusionUnderneathAndTahomaResolves)
{
    auto* proxy = qobject_cast<QProxyStyle*>(QApplication::style());
    ASSERT_NE(proxy, nullptr);
    EXPECT_EQ(proxy->baseStyle()->name().toLower(), QString("fusion"));
    EXPECT_EQ(QFont::substitute("Tahoma").toLower(), QString("dejavu sans"));
}

TEST(KPictureCache, BuiltPicturesLoadAtTheirSizeAndScaleOncePerSize)
{
    const QPixmap folder = KPictureCache::pixmap("Img/Folder");
    ASSERT_FALSE(folder.isNull());
    EXPECT_EQ(folder.size(), QSize(32, 32));
    EXPECT_EQ(KPictureCache::pixmap(":/Img/Folder", QSize(32, 32)).size(), QSize(32, 32));

    const QPixmap small = KPictureCache::pixmap("Img/Folder", QSize(16, 16));
    EXPECT_EQ(small.size(), QSize(16, 16));
    EXPECT_EQ(KPictureCache::pixmap("Img/Folder", QSize(16, 16)).cacheKey(), small.cacheKey());

    const QPixmap dense = KPictureCache::pixmap("Img/Folder", QSize(32, 32), 2.0);
    EXPECT_EQ(dense.size(), QSize(64, 64));
    EXPECT_DOUBLE_EQ(dense.devicePixelRatio(), 2.0);

    // The picture is drawn, not blank: its body is the raised colour and the page is transparent.
    const QImage image = folder.toImage();
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    EXPECT_EQ(QColor(image.pixel(16, 20)).name(), QString("#e6e8eb"));

    EXPECT_TRUE(KPictureCache::pixmap("Img/NoSuchPicture", QSize(8, 8)).isNull());
}

TEST(KPictureCache, OpaquePicturesDropTheirAlphaAndDrawTheSame)
{
    // Opaque everywhere, semi-transparent in one pixel, transparent in one pixel.
    QImage opaque(6, 4, QImage::Format_ARGB32_Premultiplied);
    opaque.fill(QColor(40, 90, 160));
    opaque.setPixelColor(2, 1, QColor(200, 10, 10));
    QImage translucent = opaque;
    translucent.setPixelColor(5, 3, QColor(0, 0, 0, 128));
    QImage clear = opaque;
    clear.setPixelColor(0, 0, Qt::transparent);
    struct Case { const char* name; QImage image; bool keepsAlpha; };
    const Case cases[] = {{"opaque", opaque, false}, {"translucent", translucent, true}, {"clear", clear, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QPixmap picture = QPixmap::fromImage(c.image);
        picture.setDevicePixelRatio(2.0);
        const QPixmap result = KPictureCache::withoutUnusedAlpha(picture);
        EXPECT_EQ(result.hasAlphaChannel(), c.keepsAlpha);
        EXPECT_DOUBLE_EQ(result.devicePixelRatio(), 2.0);
        // Drawn over a coloured ground, both give the same pixels.
        const auto drawn = [](const QPixmap& shown) {
            QImage ground(6, 4, QImage::Format_RGB32);
            ground.fill(QColor(0, 200, 0));
            QPainter painter(&ground);
            painter.drawPixmap(QRect(0, 0, 6, 4), shown);
            return ground;
        };
        EXPECT_EQ(drawn(result), drawn(picture));
    }
    EXPECT_TRUE(KPictureCache::withoutUnusedAlpha(QPixmap()).isNull());
}

TEST(KTheme, SampleWindow)
{
    QWidget window;
    window.resize(360, 200);
    auto* layout = new QVBoxLayout(&window);
    auto* row = new QHBoxLayout;
    auto* plain = new QPushButton("Ok", &window);
    auto* checked = new QPushButton("Solo", &window);
    checked->setCheckable(true);
    checked->setChecked(true);
    auto* off = new QPushButton("Annuler", &window);
    off->setEnabled(false);
    row->addWidget(plain);
    row->addWidget(checked);
    row->addWidget(off);
    layout->addLayout(row);
    auto* box = new QGroupBox("Groupe", &window);
    auto* boxLayout = new QVBoxLayout(box);
    boxLayout->addWidget(new QLineEdit("Piste 1", box));
    boxLayout->addWidget(new QCheckBox("Ne plus afficher", box));
    auto* slider = new QSlider(Qt::Horizontal, box);
    slider->setValue(40);
    boxLayout->addWidget(slider);
    layout->addWidget(box);
    auto* icon = new QLabel(&window);
    icon->setPixmap(KPictureCache::pixmap("Img/Folder"));
    layout->addWidget(icon);
    grabScreen(window, "theme_sample");
    EXPECT_TRUE(pictureCheck::showsWhole(window, {plain, checked, off, box, slider, icon}));
    ASSERT_FALSE(icon->pixmap().isNull());
    EXPECT_GE(icon->width(), icon->pixmap().width());
}

namespace {
// The colours a picture holds, with how many pixels show each.
QMap<QRgb, int> colourCounts(const QImage& image, const QRect& area)
{
    QMap<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            ++counts[image.pixel(x, y) | 0xff000000u];
    return counts;
}
}

TEST(KTheme, TabPagesArePanelsAndTheCurrentTabIsMarked)
{
    QTabWidget tabs;
    tabs.addTab(new QLabel("a"), "General");
    tabs.addTab(new QLabel("b"), "Tracks");
    tabs.resize(300, 200);
    tabs.show();
    QApplication::processEvents();
    const QImage shown = tabs.grab().toImage();
    // The page is the panel colour, not a lighter grey.
    const QRect page = tabs.currentWidget()->geometry();
    EXPECT_EQ(QColor(shown.pixel(page.center().x(), page.bottom() - 2)).name(), KTheme::color(KTheme::Panel).name());
    // The current tab shows the accent, the other one does not.
    QTabBar* bar = tabs.tabBar();
    const auto accentIn = [&](int index) {
        const QRect at(bar->mapTo(&tabs, bar->tabRect(index).topLeft()), bar->tabRect(index).size());
        return colourCounts(shown, at).value(KTheme::accent().rgb() | 0xff000000u);
    };
    EXPECT_GT(accentIn(0), 20);
    EXPECT_EQ(accentIn(1), 0);
    grabScreen(tabs, "theme_tabs");
}

TEST(KTheme, YesAndNoButtonsCarrySingleColourGlyphs)
{
    for (const auto icon : {QStyle::SP_DialogYesButton, QStyle::SP_DialogNoButton}) {
        const QImage glyph = QApplication::style()->standardIcon(icon).pixmap(16, 16).toImage();
        ASSERT_FALSE(glyph.isNull()) << icon;
        int drawn = 0;
        for (int y = 0; y < glyph.height(); ++y)
            for (int x = 0; x < glyph.width(); ++x) {
                const QColor pixel = glyph.pixelColor(x, y);
                if (pixel.alpha() < 128)
                    continue;
                ++drawn;
                // The text colour only: no green or red disc.
                EXPECT_LT(std::abs(pixel.red() - pixel.green()) + std::abs(pixel.green() - pixel.blue()), 24)
                    << icon << " " << pixel.name().toStdString();
            }
        EXPECT_GT(drawn, 10) << icon;
    }
}
