// The start-up splash screen: the picture of the interface language with a list of loading
// messages. Every message is also kept, so that the steps of a start can be read back.
#ifndef STARTUP_SPLASH_H
#define STARTUP_SPLASH_H

#include <QSplashScreen>
#include <QStringList>

class QLabel;

class StartupSplash : public QSplashScreen
{
    Q_OBJECT

public:
    explicit StartupSplash(const QString& pixmapPath);

    void setListGeometry(const QRect& rect);
    void setListFont(const QFont& font, const QColor& colour);
    // Appends the text to the message list; value is the progress in percent.
    void setPrgText(const QString& text, int value);
    void start();
    void finish();

    QStringList messages() const { return posted; }
    int progress() const { return value; }

private:
    QLabel* list;
    QStringList posted;
    int value = 0;
};

#endif
