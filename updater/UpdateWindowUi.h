// The second window of an update run: the versions, the log of what is done, the file progress
// and the Cancel / Ok buttons.
#ifndef UPDATE_WINDOW_UI_H
#define UPDATE_WINDOW_UI_H

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;
class QTextEdit;

class UpdateWindowUi : public QDialog
{
    Q_OBJECT

public:
    UpdateWindowUi(const QString& installedVersion, const QString& newVersion, QWidget* parent = nullptr);

    void addLine(const QString& text);
    void addConnexionResult(const QString& text);
    // Shows Ok and hides Cancel for true, the reverse for false.
    void setOkEnabled(bool enabled);
    bool okEnabled() const;
    void setTotalOnBarFile(int total);
    void setProgressOnBarFile(int value);
    void setUpdateVersion(const QString& version);

    QString resultLine() const;
    QString log() const;

public slots:
    void qtVersion(bool checked);

signals:
    void ok();
    void cancelled();

private:
    void buildForm();

    QString m_installedVersion;
    QString m_newVersion;
    QLabel* versionLabel;
    QLabel* version1;
    QLabel* versionLabel2;
    QLabel* version2;
    QLabel* maj;
    QTextEdit* fileArea;
    QProgressBar* fileBar;
    QLabel* label;
    QPushButton* cancelButt;
    QPushButton* okButt;
};

#endif
