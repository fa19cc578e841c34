// The project's song metadata: title, author, copyright, album, style, year, two links and a
// table of further named properties. Read from the document when a project is shown, written
// back into it before every save and every export of the distributable file.
#ifndef PROJECTPROPUI_H
#define PROJECTPROPUI_H

#include "SonaricParamsEnums.h"

#include <QStringList>
#include <QWidget>

class KObjFile;
class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;

class ProjectPropUI : public QWidget
{
    Q_OBJECT

public:
    // The parent is required: its font is given to the panel and every child.
    explicit ProjectPropUI(QWidget* parent);

    void init();
    bool setMediaSong(KObjFile* document);
    bool saveMediaSong(KObjFile* document);
    void setDefineInfo(Snc::EMediaSong item, const QString& text);
    QString getDefineInfo(Snc::EMediaSong item) const;
    void setUserValue(const QString& name, const QString& value);
    QStringList getUserLabels() const;
    QStringList getUserValues() const;

public slots:
    void addPropAction();
    void modifyAction();
    void deleteAction();
    void bandLinkChanged(const QString& text);
    void checkAction();
    void checkAction_2();
    void infoAction();
    void infoAction_2();

private:
    void buildForm();
    void setTexts();
    // Asks a property's name and value; empty when cancelled or refused.
    QStringList askProperty(const QString& name, const QString& value);
    void setRowButtonsEnabled(bool enabled);
    bool bandLinkAcceptable() const;

    QLineEdit* titleLineEdit;
    QLineEdit* albumLineEdit;
    QLineEdit* authorLineEdit;
    QLineEdit* copyrightLineEdit;
    QLineEdit* bandLinkLineEdit;
    QLineEdit* iTunesLink;
    QComboBox* styleComboBox;
    QSpinBox* yearSpinBox;
    QPushButton* checkButton;
    QPushButton* checkLink;
    QPushButton* addPropButton;
    QPushButton* modifyButton;
    QPushButton* deleteButton;
    QTableWidget* tableWidget;
};

#endif
