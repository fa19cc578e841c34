// The update check: downloads the update description, compares the version it announces with
// the installed one and, when it is newer, offers the update (update, cancel, more
// information).
#ifndef DLG_UPDATE_H
#define DLG_UPDATE_H

#include <QDialog>
#include <QString>
#include <QStringList>

namespace Ui {
class DlgUpdate;
}

class DlgUpdate : public QDialog
{
    Q_OBJECT

public:
    // Largest update description accepted; anything bigger is not a description.
    static constexpr qint64 MaxDescriptionBytes = 1024 * 1024;

    explicit DlgUpdate(QWidget* parent = nullptr);
    ~DlgUpdate() override;

    // True when the caller should start the update. upToDate becomes true only when a valid
    // description announced a version that is not newer; unreadable (when given) only when the
    // server's answer arrived but is no update description with a valid version. Neither case
    // shows a message here: the caller decides whether the user is told.
    static bool checkup(bool& upToDate, const QString& current, const QString& descUrl,
                        const QString& product, const QString& server, const QString& infoUrl,
                        const QString& localFile, QWidget* parent, bool show,
                        bool* unreadable = nullptr);
    // Reads an update description: false when the bytes are not one, or announce no valid
    // version; otherwise the announced version and its text.
    static bool readDescription(const QByteArray& bytes, QString& version, QString& text);
    static bool isMoreRecent(const QString& remote, const QString& installed);
    static bool isMoreRecent(const QStringList& remote, const QStringList& installed);

    void setLinks(const QString& product, const QString& server, const QString& infoUrl);
    void setDesc(const QString& text);

public slots:
    void update_action();
    void cancel_action();
    void info_action();

private:
    void fitHeight();

    Ui::DlgUpdate* ui;
    QString m_infoUrl;
    QString m_product;
};

#endif
