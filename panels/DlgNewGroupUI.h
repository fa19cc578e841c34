// The dialog that creates a group of elements or modifies one: its name, its location (parent
// group), its members and how many of them may be heard at once. Ok runs the whole edit through
// the document as one rule-checked step, so a refusal leaves the project as it was.
#ifndef DLGNEWGROUPUI_H
#define DLGNEWGROUPUI_H

#include <QDialog>
#include <QModelIndexList>
#include <QStringList>

class KCtrlFile;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QSpinBox;

// The widgets of the dialog, built in code under the names the rest of the editor knows.
struct Ui_Dialog {
    QLabel* nameLabel;
    QLineEdit* nameLineEdit;
    QLabel* locationLabel;
    QComboBox* comboBox;
    QGroupBox* compositionBox;
    QLabel* trackLabel;
    QListView* trackList;
    QLabel* groupLabel;
    QListView* groupList;
    QLabel* eltLabel;
    QListView* eltList;
    QPushButton* addTrackButton;
    QPushButton* addGrpButton;
    QPushButton* removeEltButton;
    QGroupBox* paramsBox;
    QLabel* minLabel;
    QSpinBox* minSpinBox;
    QLabel* maxLabel;
    QSpinBox* maxSpinBox;
    QCheckBox* checkBox;
    QPushButton* okButton;
    QPushButton* cancelButton;

    void setupUi(QDialog* dialog);
};

class DlgNewGroupUI : public QDialog
{
    Q_OBJECT

public:
    enum DlgNGMode { Create = 0, Modify = 1 };

    // The location list's name for the top of the project tree.
    static QString RootName();

    DlgNewGroupUI(KCtrlFile* document, DlgNGMode mode, QWidget* parent = nullptr);
    ~DlgNewGroupUI() override;

    // A modal create dialog over the given names: a group first becomes the location, otherwise
    // the names become the members. The result of exec().
    static int openCreateDlg(KCtrlFile* document, QWidget* parent, const QStringList& names);

    void setName(const QString& name);
    void setParent(const QString& parent);
    void setEltInGrp(const QStringList& names);
    void setMinMaxPlay(int min, int max);

    const Ui_Dialog& form() const { return *ui; }

public slots:
    void okCreate_clicked();
    void okModify_clicked();
    void cancel_clicked();
    void addTrack_clicked();
    void addGroup_clicked();
    void removeElt_clicked();
    void nameChanged(const QString& text);
    void minSpinBox_changed(int value);
    void maxSpinBox_changed(int value);
    void comBox_changed(const QString& location);
    void checkBox_slot(int state);

private:
    // What the dialog shows when Ok is pressed.
    struct Choice {
        QString name;
        QString location;
        QStringList members;
        int min;
        int max;
        bool alwaysOn;
    };
    Choice chosen() const;
    static void addEltInList(const QStringList& names, QListView* list);
    static void removeEltFromList(const QStringList& names, QListView* list);
    static void clearList(QListView* list);
    static int listCount(QListView* list);
    static QStringList listNames(QListView* list);
    static QStringList getListFormIndexes(const QModelIndexList& indexes, QListView* list);
    bool nameIsValid() const;
    void updateOk();
    // Moves the selected rows of an available list into the members.
    void moveToMembers(QListView* from, QPushButton* addButton);
    // After the members changed: maxima, enabled buttons and spin boxes, Ok.
    void membersChanged(int added);
    // Names dropped on the member list leave the available lists.
    void membersDropped();
    // Whether the group may be placed under that location: not itself, nor one of its own groups.
    bool isOwnSubtree(const QString& location) const;

    Ui_Dialog* ui;
    KCtrlFile* m_document;
    DlgNGMode m_mode;
    int m_initMin = 0;
    int m_initMax = 0;
    QString m_initName;
    QString m_initParent;
    QStringList m_candidateGroups;
    QStringList m_initElts;
    bool m_moving = false;
    int m_shownMembers = 0; // rows of the member list after its last change
};

#endif
