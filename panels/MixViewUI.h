// The mix editor: the project's stored mixes (Tovix) in a list with a tool bar, and a guided
// editor in three steps for the mix being edited: 1 which tracks play, 2 levels and pan on the
// console, shown one tree depth at a time, 3 the mastering equaliser. Every change goes through
// the project document; the panel keeps only the edited mix's name, an unsaved-changes flag and
// the equaliser values of that mix.
#ifndef MIXVIEWUI_H
#define MIXVIEWUI_H

#include "KIsActiveFuncClass.h"

#include <QList>
#include <QMap>
#include <QPointer>
#include <QStringList>
#include <QWidget>

class KCheckableTreeModel;
class KCheckableTreeView;
class KCheckMixTV;
class KCtrlFile;
class KListWidget;
class KSuperUI;
class MainEqualsUi;
class MiniPlayerUI;
class QAction;
class QCheckBox;
class QGridLayout;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QStackedWidget;
class QToolBar;

class MixViewUI : public QWidget, public KIsActiveFuncClass
{
    Q_OBJECT

public:
    MixViewUI(KCtrlFile* document, KCheckableTreeView* treeView, QWidget* parent);
    ~MixViewUI() override;

    // Back to the start state: step 1, nothing open for editing.
    void initUI();
    void setEquals(const QMap<int, double>& values);
    void openMix();
    void setCreateTovixAction(QAction* action);
    void expandAll();
    void setTreeView(KCheckableTreeView* treeView);
    bool isActive() override;

    KCheckMixTV* getKCheckableTV() const { return tree; }
    KSuperUI* getSuperUI() const { return console; }
    MiniPlayerUI* getMiniPlayer() const { return miniPlayer; }
    // Null until the first mix is opened.
    MainEqualsUi* getEqualizer() const { return equalizer; }
    QWidget* getMixPropUI() const { return nullptr; }
    KListWidget* getMixList() const { return mixList; }
    QListWidget* getLevelList() const { return levelList; }
    // 0, 1 or 2 for steps 1 to 3.
    int currentStep() const;
    QString getEditedMix() const { return editedMix; }
    bool hasUnsavedChanges() const { return unsaved; }
    // The tree depth the console shows; -1 before the first choice.
    int getShownDepth() const { return shownDepth; }
    QMap<int, double> getKeptEquals() const { return equalValues; }

    // The equaliser of a mix without mastering.
    static QMap<int, double> flatMastering();

public slots:
    void setKFile(KCtrlFile* document);
    // Asks a name and opens a new mix on it; false when the author cancelled.
    bool createMix();
    void itemActivated_slots(const QString& name);
    void modifyItem(const QString& name);
    void modifyItem();
    void removeItem();
    void removeMixWithConfirm(const QString& name);
    void save_slot(const QString& name);
    void save_slot();
    void saveEqual_slot();
    bool modifyMix(const QString& name);
    void saveMix();
    bool currentMixChanged(const QString& name);
    void currentMixChanged(const QStringList& names);
    void nextPage();
    void previousPage();
    void setListLevel();
    void displayItem(QListWidgetItem* item);
    void getEquals();
    void setSaveCheck(bool unsavedChanges);
    void setSaveCheck();
    void setConstraintsUse(bool on);
    void setMixRules(bool on);
    void addMixes(const QStringList& names);
    void addMix(const QString& name);
    void removeMix(const QString& name);
    void renameMix(const QString& oldName, const QString& newName);
    void printMixAsDefault(const QString& name);
    void resetMix();
    void masterPanChanged_slot(double pan);
    void masterLvlChanged_slot(int level);
    void setPixmapPath(const QString& path);
    void export_slot();

signals:
    void mixActivated(const QString& name);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void fitStepButtons();
    void buildToolBar(QGridLayout* grid);
    void buildSteps(QGridLayout* grid);
    void connectWidgets();
    // Pages over all seven columns (step 1) or from column 1 beside the master strip.
    void placePages(bool besideMaster);
    void placeCheckBox(QCheckBox* box);
    void setStepLabel(int step);
    // Shows the open mix's master level and pan on the master strip: the values set on the
    // console since the mix was opened, or else the stored ones.
    void refreshMaster();
    // The name dialog of a new or renamed mix; false when cancelled.
    bool askMixName(const QString& title, QString& name, bool& isDefault);

    QMap<int, double> equalValues;
    bool unsaved = false;
    KSuperUI* console;
    MiniPlayerUI* miniPlayer;
    MainEqualsUi* equalizer = nullptr;
    QStackedWidget* pages;
    KCheckMixTV* tree;
    QGridLayout* grid;
    KListWidget* mixList;
    QToolBar* toolBar;
    QPushButton* createButton;
    QPushButton* nextButton;
    QPushButton* previousButton;
    QPushButton* saveButton;
    QPushButton* exportButton;
    QGridLayout* page1Grid;
    QGridLayout* page3Grid;
    QListWidget* levelList;
    // Per block of the level list its first and last row; block 0 is the all-tracks row.
    QList<int> blockRows;
    QString editedMix;
    QLabel* stepLabel;
    QCheckBox* constraintsBox;
    QCheckBox* rulesBox;
    KCheckableTreeModel* treeModel;
    int levelRow = 0;
    int shownDepth = -1;
    // The master level and pan last set on the console for the open mix, not yet stored.
    bool masterTouched = false;
    int masterLevel = 0;
    double masterPan = 0.0;
    QAction* createAction;
    bool constraintsUse = true;
    QPointer<KCtrlFile> document;
};

#endif
