// The about box: the product's name and version over a background picture, and the notice and
// credits in English or French.
#ifndef DLGABOUT_H
#define DLGABOUT_H

#include <QDialog>

class QLabel;
class QPushButton;
class QTextEdit;
class QUrl;

class DlgAbout : public QDialog
{
    Q_OBJECT
public:
    static const QString aboutTextEN;
    static const QString aboutTextFR;
    static const QString ProductName;

    // reserved is not read.
    static void open(QWidget* parent, const QString& backgroundPixmap, const QString& appName,
                     const QString& version, const QString& reserved, const QString& language,
                     const QString& iconPath);

    DlgAbout(const QString& backgroundPixmap, const QString& appName, const QString& version,
             const QString& iconPath, const QString& language, QWidget* parent);

    void initUI(const QString&, const QString&, const QString&) {}
    void initUI(const QString&, const QUrl&, const QString&) {}

public slots:
    void okAction();

private:
    QLabel* m_versionLabel;
    QTextEdit* m_textEdit;
    QPushButton* m_button;
};

#endif
