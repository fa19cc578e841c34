// The properties of the selected track, over the project document: fills the track page from
// the document, turns its edits into document edits and follows the document's renamings.
// DlgProperty is the modal Ok/Cancel window that hosts it.
#ifndef ELTPROPUI_H
#define ELTPROPUI_H

#include <QDialog>
#include <QStackedWidget>
#include <QStringList>

class KCtrlFile;
class QVBoxLayout;
class TrackPropUI;

class EltPropUI : public QStackedWidget
{
    Q_OBJECT

public:
    EltPropUI(KCtrlFile* document, QWidget* parent);

    QString getName() const;
    void printTrackProp(const QString& name);
    TrackPropUI* getTrackPage() const { return trackPage; }

public slots:
    void setKFile(KCtrlFile* document);
    void setElement(const QStringList& names);
    void modifiedElement(const QString& name);
    void renamedElement(const QString& oldName, const QString& newName);
    void isStereo(bool stereo);
    void pathButtonTrackClicked();
    void trkChecked(const QString& name, bool on);
    void filePathChanged_slot(const QString& name);
    void stop();

private:
    // Asks the minimum-level policy of a track switched always on; the chosen mode (the level
    // in `level`), or the ask mode when the author declined.
    int askNotMuteMode(int& level);

    KCtrlFile* document = nullptr;
    TrackPropUI* trackPage;
    QString shownTrack;
};

class DlgProperty : public QDialog
{
    Q_OBJECT

public:
    explicit DlgProperty(QWidget* parent);
    void setCentralWidget(QWidget* widget);
    static void open(QWidget* widget, const QString& title, QWidget* parent);

private:
    QVBoxLayout* layout;
};

#endif
