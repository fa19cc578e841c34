// The workspace's strip of five picture tabs. Its own tab pages hold only their tool bars (the
// help command of each tab); the picture of the current tab and the titles are painted over the
// strip. A tab change goes straight to the main window.
#ifndef TABVIEWUI_H
#define TABVIEWUI_H

#include <QFont>
#include <QList>
#include <QPixmap>
#include <QStringList>
#include <QTabWidget>

class QToolBar;

class TabViewUI : public QTabWidget
{
    Q_OBJECT

public:
    static constexpr int TabCount = 5;
    // The tabs the pictures draw: the first at TitleLeft, TitleTop, TitleWidth x TitleHeight,
    // each next one TitleStep further. Titles are centred in them, so that no part of a letter
    // falls on the tool bar below the tabs.
    static constexpr int TitleLeft = 28;
    static constexpr int TitleStep = 142;
    static constexpr int TitleTop = 3;
    static constexpr int TitleWidth = 142;
    static constexpr int TitleHeight = 32;
    // The width a title may take within its tab.
    static constexpr int TitleRoom = TitleWidth - 8;

    explicit TabViewUI(QWidget* parent = nullptr);

    QToolBar* toolBar(int i) const { return toolBars.value(i); }
    QStringList titles() const { return tabTitles; }
    // The font of a title: the strip's own, made smaller (down to 8 pt) where the title would
    // not fit its tab whole; bold for the current tab.
    static QFont titleFont(const QString& title, bool current);
    // The title as the strip draws it: whole, or shortened where even the smallest font is too
    // wide.
    QString shownTitle(int index) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void buildPages();

    QList<QToolBar*> toolBars;
    QList<QPixmap> pictures;
    QStringList tabTitles;
};

#endif
