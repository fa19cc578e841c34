// Shown while a project opens, for each audio file that cannot be found: the user searches a
// replacement (an audio file the engine accepts) or drops the file.
#ifndef KCHECKAUDIODLG_H
#define KCHECKAUDIODLG_H

#include <QDialog>

struct KStreamFormat;
class QLabel;
class QPushButton;

class KCheckAudioDlg : public QDialog
{
    Q_OBJECT

public:
    explicit KCheckAudioDlg(QWidget* parent = nullptr);

    // Shows the file (and the track, when the track row is shown). Also forgets the answer of
    // the previous file, so one dialog serves a whole scan.
    void setTrack(const QString& track, const QString& file);
    void setAudioDir(const QString& dir);
    // The chooser's filter and the formats a chosen file must have (not owned; null accepts any
    // audio file the engine can open).
    void setFilter(const QString& filter, const KStreamFormat* formats);
    QString getAudioFile() const { return chosen; }
    bool getClick() const { return !chosen.isEmpty(); }

public slots:
    void relocate_slot();
    void delete_slot();
    // Closing the dialog any other way drops the file as well.
    void reject() override;

private:
    QLabel* label1;
    QLabel* labelIn1;
    QLabel* label2;
    QLabel* labelIn2;
    QPushButton* relocateButt;
    QPushButton* deleteButt;
    QString audioDir;
    QString fileFilter;
    const KStreamFormat* formats = nullptr;
    QString chosen;
};

#endif
