#include "StartupSplash.h"

#include <QApplication>
#include <QLabel>
#include <QPixmap>

StartupSplash::StartupSplash(const QString& pixmapPath)
    : QSplashScreen(QPixmap(pixmapPath)), list(new QLabel(this))
{
    list->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    list->setAttribute(Qt::WA_TranslucentBackground);
    list->setStyleSheet("background: transparent; border: none;");
}

void StartupSplash::setListGeometry(const QRect& rect)
{
    list->setGeometry(rect);
}

void StartupSplash::setListFont(const QFont& font, const QColor& colour)
{
    list->setFont(font);
    QPalette palette = list->palette();
    palette.setColor(QPalette::WindowText, colour);
    list->setPalette(palette);
    list->setStyleSheet(QString("background: transparent; border: none; color: %1;").arg(colour.name()));
}

void StartupSplash::setPrgText(const QString& text, int progress)
{
    if (progress >= 0)
        value = progress;
    posted << text;
    list->setText(list->text() + text + "\n");
    // Drawn at once: start-up runs before the event loop.
    if (isVisible())
        list->repaint();
}

void StartupSplash::start()
{
    show();
    activateWindow();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void StartupSplash::finish()
{
    close();
}
