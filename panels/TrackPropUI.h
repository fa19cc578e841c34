// The properties of one track: its name, its audio file and the file's details, and three
// track settings. The panel never touches the project itself: its owner fills it through the
// setters and turns its signals into document edits.
#ifndef TRACKPROPUI_H
#define TRACKPROPUI_H

#include <QString>
#include <QWidget>

class KCtrlFile;
class TrackPlayer;
class QCheckBox;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QToolButton;

class TrackPropUI : public QWidget
{
    Q_OBJECT

public:
    // The parent is required: its font is given to the panel and every child.
    TrackPropUI(KCtrlFile* document, QWidget* parent);
    TrackPlayer* getTrackPlayer() const { return player; }

    QString getName() const;
    QString getFilePath() const;
    // Empties the fields and both boxes; the kept name and the row-3 caption stay.
    void reset();
    void setContraintsEnabled(bool enabled);
    void hideNotMuteElementOption();
    // The bytes of a file as shown: Ko below 1024 Ko, Mo above, two decimals.
    static QString fileSizeText(qint64 bytes);

public slots:
    void setName(const QString& name);
    void setFilePath(const QString& path);
    void setFormat(const QString& format);
    void setSize(int frames);
    void setChannels(int channels);
    void setBits(int bits);
    void setKBPS(const QString& kbps);
    void setRate(double rate);
    void setLength(double seconds);
    void setFileSize();
    void setStereo(bool stereo);
    void setCheckNotMute(bool on);
    void setTrackVisible(bool visible);
    void stop();

signals:
    void nameChanged(const QString& oldName, const QString& newName);
    void visibleChanged(const QString& name, bool visible);
    void trkCheckBoxChanged(const QString& name, bool on);
    void filePathChanged(const QString& name);
    void buttonFileClicked();
    void isStereo(bool stereo);

private:
    void buildForm();
    void nameEdited();
    void visibleClicked();
    void notMuteClicked();
    void monoClicked();
    // Sizes the file details box to its rows.
    void fitDetails();

    QLineEdit* nameLE;
    QLineEdit* fileLE;
    QToolButton* fileButton;
    QHBoxLayout* playerRow;
    QGroupBox* paramGB;
    QGroupBox* infoGB;
    QScrollArea* detailsArea;
    QPushButton* monoConvertButt;
    QCheckBox* checkBox_visible;
    QCheckBox* checkBox_notmute;
    QLabel* bitsCaption;
    QLabel* sizeLbl;
    QLabel* channelsLbl;
    QLabel* lengthLbl;
    QLabel* bitsLbl;
    QLabel* formatLbl;
    QLabel* rateLbl;
    QLabel* fileSizeLbl;
    TrackPlayer* player;
    KCtrlFile* document;
    QString trackName;
};

#endif
