// The policy for a track switched always on: ask every time, set a minimum level (shown and
// typed in decibels), or set none.
#ifndef KNOTMUTELEVELUI_H
#define KNOTMUTELEVELUI_H

#include "SonaricParamsEnums.h"

#include <QWidget>

class KLevelSpinBox;
class QButtonGroup;
class QRadioButton;

class KNotMuteLevelUI : public QWidget
{
    Q_OBJECT

public:
    explicit KNotMuteLevelUI(QWidget* parent = nullptr);

    int getNotMuteLevelMode() const;
    void setNotMuteLevelMode(SonaricEnums::ENotMuteLevel mode);
    void setMinLevel(int level);
    int getMinLevelCB() const;
    void setVisibleAlwaysAsk(bool visible);

public slots:
    void buttonClicked_slot(int id);

private:
    QButtonGroup* group;
    QRadioButton* radioButton1;
    QRadioButton* radioButton2;
    QRadioButton* radioButton3;
    KLevelSpinBox* spinBox1;
};

#endif
