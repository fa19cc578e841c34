// A group's properties: its name, its number of members, the minimum and maximum number of
// members that play at once, and whether the group is always on.
#ifndef GROUPPROPUI_H
#define GROUPPROPUI_H

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QSpinBox;

class GroupPropUI : public QWidget
{
    Q_OBJECT

public:
    explicit GroupPropUI(QWidget* parent = nullptr);

    QString getName() const;
    int getMinPlay() const;
    int getMaxPlay() const;
    void reset();

public slots:
    void setName(const QString& name);
    void setMinMaxPlay(int min, int max);
    void setCheckNotMute(bool on);
    // Shows n and bounds both spin boxes to 0..n.
    void setElementsNbr(int n);

signals:
    void nameChanged(QString oldName, QString newName);
    void minMaxPlayChanged(int min, int max);
    void grpCheckBoxChanged(QString name, bool checked);

private:
    void nameEdited();
    void minEdited();
    void maxEdited();

    QLineEdit* nameLE;
    QLabel* eltNbLabel;
    QSpinBox* minSP;
    QSpinBox* maxSP;
    QCheckBox* notMuteCB;
    QString m_name; // the name last shown or edited, the one the signals speak of
};

#endif
