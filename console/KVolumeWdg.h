// One channel strip of the console: an element's name, pan, level fader and text, limit
// handles, meters, mute and solo and, while editing a rule, its lock mode and a remove button.
// Every change goes to the strip's row; values shown from outside go nowhere.
#ifndef KVOLUMEWDG_H
#define KVOLUMEWDG_H

#include "KVirtualUI.h"

#include "KMeter.h"

#include <QWidget>

class KButton;
class KSlider;
class KSliderMax;
class KSliderMin;
class KSliderVol;
class KTextBox;
class KVolumeUI;
class QButtonGroup;
class QLineEdit;
class QSlider;

class KVolumeWdg : public QWidget
{
    Q_OBJECT
public:
    static constexpr int Width = 90;
    static constexpr int Height = 325;

    // The strip reports to `row` and is built inside `parent`, the row's strip container.
    KVolumeWdg(QString name, KVirtualUI::KStructVol record, int verticalOrigin,
               KVirtualUI::VolUIMode mode, KVolumeUI* row, QWidget* parent);
    ~KVolumeWdg() override;

    QString getElt() const { return m_name; }
    void changeName(const QString& name);
    double getVolume() const;
    bool isEltMute() const;
    int lockMode() const;

    void setJaugeLeft(double value);
    void setJaugeRight(double value);
    void setMuteUI(bool on);
    void setSoloUI(bool on);
    // Shows the element's level, pan, limits, lock mode, mute and solo as `record` gives them,
    // reporting nothing to the row: a strip kept while the console shows another mix.
    void showRecord(const KVirtualUI::KStructVol& record);
    void setMute(bool on);
    void setSolo(bool on);
    void zoom();
    void fixVisible(bool pinned);

    KSliderVol* fader() const { return m_fader; }
    // The limit handles; a live mix never shows them and builds them when first asked for.
    KSliderMax* maxHandle();
    KSliderMin* minHandle();
    QLineEdit* levelEdit() const { return m_levelEdit; }
    QLineEdit* panEdit() const { return m_panEdit; }
    KSlider* panSlider() const { return m_panSlider; }
    KMeter* meterLeft() const { return m_meterLeft; }
    KMeter* meterRight() const { return m_meterRight; }
    KButton* muteButton() const { return m_mute; }
    KButton* soloButton() const { return m_solo; }
    KButton* removeButton() const { return m_remove; }
    QButtonGroup* lockModes() const { return m_lockModes; }

public slots:
    void closeWdg();
    // Shows a level that changed elsewhere; nothing goes back to the row.
    void setVolume(int level);
    void changeVolume(int level);
    void setLabel();
    void setMin();
    void setMax();
    void radioButtCheck();
    void newUserPano(int value);
    void setPano();
    void changeMute(bool on);
    void changeSolo(bool on);
    void resetWdg();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void showName();
    void moveHandles(int min, int max);
    // The lowest and highest level the strip sends: its limit handles' levels.
    int lowestLevel() const;
    int highestLevel() const;
    void repaintMeters();

    KVolumeUI* m_row;
    QString m_name;
    KVirtualUI::VolUIMode m_mode;
    int m_origin;
    double m_min;
    double m_max;
    KTextBox* m_nameBox;
    QLineEdit* m_panEdit;
    KSlider* m_panSlider;
    QLineEdit* m_levelEdit;
    KSliderVol* m_fader;
    KSliderMax* m_maxHandle = nullptr;
    KSliderMin* m_minHandle = nullptr;
    KMeter* m_meterLeft;
    KMeter* m_meterRight;
    KButton* m_mute;
    KButton* m_solo;
    KButton* m_remove = nullptr;
    QButtonGroup* m_lockModes = nullptr;
};

#endif
