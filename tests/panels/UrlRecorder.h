// Keeps the addresses the desktop would have opened, for the schemes it is installed on.
#ifndef URL_RECORDER_H
#define URL_RECORDER_H

#include <QDesktopServices>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QUrl>

class UrlRecorder : public QObject
{
    Q_OBJECT
public:
    explicit UrlRecorder(const QStringList& schemes) : schemes(schemes)
    {
        for (const QString& scheme : schemes)
            QDesktopServices::setUrlHandler(scheme, this, "open");
    }
    ~UrlRecorder() override
    {
        for (const QString& scheme : schemes)
            QDesktopServices::unsetUrlHandler(scheme);
    }
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened << url; }

private:
    QStringList schemes;
};

#endif
