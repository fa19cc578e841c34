#include "TabViewUI.h"

#include "AppServices.h"
#include "TVRAction.h"
#include "ZazuzoziZadiviDU.h"

#include <QGridLayout>
#include <QPainter>
#include <QTabBar>
#include <QToolBar>

namespace {
// The tabs themselves are transparent and sit where the pictures draw them, so the picture of
// the current tab shows and a click lands on the tab it shows.
const char* const StripStyle =
    "QTabWidget::pane { left: 0px; right: 0px; top: 0em; }QTabBar::tab { border-top: 0px solid "
    "transparent; min-height: 35px; min-width: 142px; }QTabBar::tab:selected { font : bold; }QToolBar { "
    "border:0; min-height: 30px; background : url(:/Img/ToolBar); spacing: 0px; } QToolBar::handle { "
    "border:0; }"
    "QTabWidget::tab-bar { left: 28px; } QTabBar::tab { background: transparent; border: none; "
    "margin: 0px; padding: 0px; }";
constexpr int StripHeight = 66;
const char* const PictureNames[TabViewUI::TabCount] = {":/Tabs/StructOn", ":/Tabs/ConsttOn", ":/Tabs/PreMixOn",
                                                       ":/Tabs/TovixOn", ":/Tabs/ExportOn"};
// Tab i's tool bar carries the controller's help command for that tab.
constexpr int FirstHelpCommand = 41;
} // namespace

TabViewUI::TabViewUI(QWidget* parent) : QTabWidget(parent)
{
    setStyleSheet(StripStyle);
    setMaximumHeight(StripHeight);
    // Each tab's picture is read when its tab first shows.
    pictures.resize(TabCount);
    tabTitles = {tr("Structure"), tr("Contraintes"), tr("Règles de mixage"), tr("Tovix"), tr("Export")};
    setWindowTitle("TabViewUI");
    buildPages();
    setCurrentIndex(1);
    // Connected only now: building the strip never reaches the main window, which picks its
    // starting tab itself.
    connect(this, &QTabWidget::currentChanged, ZazuzoziZadiviDU::getInstance(),
            &ZazuzoziZadiviDU::changeViewIntermed, Qt::DirectConnection);
}

void TabViewUI::buildPages()
{
    TVRAction* controller = ZazuzoziZadiviDU::getInstance()->getActionManager();
    for (int i = 0; i < TabCount; ++i) {
        auto* page = new QWidget(this);
        page->setObjectName(QString("tab_%1").arg(i + 1));
        addTab(page, QString());
        auto* bar = new QToolBar;
        if (QAction* help = controller->getAction(FirstHelpCommand + i))
            bar->addAction(help);
        bar->setIconSize(QSize(18, 18));
        bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        auto* grid = new QGridLayout(page);
        grid->setObjectName("gridLayout");
        grid->setSpacing(0);
        grid->setContentsMargins(1, 1, 1, 1);
        grid->addWidget(bar, 0, 0);
        toolBars << bar;
    }
}

void TabViewUI::paintEvent(QPaintEvent* event)
{
    QTabWidget::paintEvent(event);
    const int current = currentIndex();
    if (current < 0 || current >= pictures.size())
        return;
    QPainter painter(this);
    if (pictures[current].isNull())
        pictures[current] = AppServices::picture(PictureNames[current]);
    const QPixmap& picture = pictures[current];
    painter.drawPixmap(0, 0, picture);
    for (int j = 0; j < pictures.size() && j < tabTitles.size(); ++j) {
        const bool isCurrent = j == current;
        painter.setFont(titleFont(tabTitles[j], isCurrent));
        painter.setPen(isCurrent ? Qt::black : Qt::white);
        const QRect box(TitleLeft + TitleStep * j, TitleTop, TitleWidth, TitleHeight);
        painter.drawText(box, Qt::AlignCenter, shownTitle(j));
    }
}

QFont TabViewUI::titleFont(const QString& title, bool current)
{
    QFont font("Tahoma", 11, current ? QFont::Bold : QFont::Normal);
    while (font.pointSizeF() > 8 && QFontMetrics(font).horizontalAdvance(title) > TitleRoom)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    return font;
}

QString TabViewUI::shownTitle(int index) const
{
    const QString title = tabTitles.value(index);
    return QFontMetrics(titleFont(title, index == currentIndex())).elidedText(title, Qt::ElideRight, TitleRoom);
}
