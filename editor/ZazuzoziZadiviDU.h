// The editor's one main window, reached everywhere through getInstance(). It owns the
// preferences, the command controller, the workspace with its five pages, the menus and tool
// bars, and the one open project document; it keeps the saved state and the title, routes tab
// changes and decides whether the window may close.
#ifndef ZAZUZOZIZADIVIDU_H
#define ZAZUZOZIZADIVIDU_H

#include <QColor>
#include <QFont>
#include <QMainWindow>
#include <QMetaType>
#include <QPoint>
#include <QStringList>

class ExcluWidget;
class ExportUI;
class KAudioFilePlayer;
class KCtrlFile;
class KDDMenuTV;
class KDragDropTreeView;
class KDragMenuLV;
class KXml;
class PreMixView;
Q_DECLARE_OPAQUE_POINTER(KCtrlFile*)

class MixViewUI;
class ProjectPropUI;
class QLabel;
class QMenu;
class QToolBar;
class QVBoxLayout;
class SonaricParams;
class TVRAction;
class WorkSpaceUI;

class ZazuzoziZadiviDU : public QMainWindow
{
    Q_OBJECT

public:
    static ZazuzoziZadiviDU* getInstance();
    // Deletes the window if there is one; the next getInstance() builds a new one.
    static void deleteInstance();
    static bool hasInstance() { return instance != nullptr; }
    // The name shown for a project without a file.
    static QString DefaultProjetName();
    // The title for a project file path (empty for a project never saved).
    static QString titleFor(const QString& path, bool isSaved, const QString& softName);

    ~ZazuzoziZadiviDU() override;

    // Set when the window accepted its close event.
    bool isClosing() const { return closing; }
    void setUpdateTest(int mode) { updateTest = mode; }
    int getUpdateTest() const { return updateTest; }
    void changeLanguage(const QString& code);
    QString getLanguage() const { return language; }

    SonaricParams* getParams() const { return params; }
    KDragMenuLV* getLibraryView() const { return libraryView; }
    KDDMenuTV* getStructureView() const { return structureView; }
    PreMixView* getPreMixView() const;
    TVRAction* getActionManager() const { return controller; }
    KCtrlFile* getTovraFile() const { return document; }
    // The pages not shown at start are built when first shown or first asked for here.
    ProjectPropUI* getProjectProp() const;
    MixViewUI* getMixView() const;
    QString getCurPrjName() const;
    bool projectIsSaved() const { return saved; }
    bool hasTrack() const;
    bool hasTrackInStructure() const;
    // True when the path names the audio file of one of the project's tracks.
    bool isProjectAudioFile(const QString& path) const;
    ExportUI* getExportPage() const;
    // The player object of the mix editor's mini player.
    KAudioFilePlayer* getKAFPlayer() const;
    // A name a new element may take: not blank, and no element of the open project has it.
    bool grpNameIsValid(const QString& name) const;
    // A name a new stored mix may take: not blank, and no stored mix of the project has it.
    bool isValidMixName(const QString& name) const;

    void setCurrentTab(int index);
    int currentTab() const;
    void stopPlayers();
    bool createMixRule();
    bool createTovix();
    void refreshWindowTitle(bool isSaved);
    void resetUI();
    void initUIForOpenedProject();
    void updateUI();
    void setListViewVisible(bool visible);
    void setElementPropVisible(bool visible);
    void setPropWidget(int mode);
    // Menu entries the frame does not place itself: the create-rule command in "Projet", the
    // constraint commands in "Projet" and the rules tab in "Affichage".
    void addCreateRuleMenu();
    void addConstraintsProjectMenu();
    void addConstraintsViewMenu();

    // Project files.
    bool newProject(bool ask);
    bool openProject(bool ask);
    // A recent-list index (-1 or out of range: choose a file).
    bool openProject(int recent);
    // Loads the file into a new document that replaces the open project only on success; a
    // failure leaves the open project as it was.
    bool openTovraProject(const QString& path);
    // The deepest nesting of groups (levels of the element tree, the track included) that the
    // tree views lay out safely; a project nested deeper is refused at open.
    static constexpr int MaxShownDepth = 1000;
    bool saveProject(bool samePath);
    bool saveTovraProject(const QString& path);
    bool closeProject(bool ask);
    // Replaces the document by a new empty one and tells every view.
    void createFileObj();
    // Relocates or drops, through the missing-audio dialog, every audio file the description
    // names that cannot be found; false when the scan could not complete.
    bool checkAudioPath(KXml* description);
    QString getProjectPath() const { return projectPath; }

    // Structure, element and constraint edits.
    void importAudioPath(const QStringList& paths);
    void modifyAudio();
    void deleteAudio();
    void createGroup();
    bool modifyTreeViewElement();
    bool deleteTreeViewElement();
    // Moves the element into the group (out of its former parent first); leaves it.
    bool addEltInGroup(const QString& element, const QString& group);
    bool removeEltFromGroup(const QString& element, const QString& group);
    // Converts the track's file to mono as the preferences say; true when the track now plays
    // the mono file.
    bool convertStereoToMono(const QString& name);
    // The element and everything under it take the colour.
    void setElementColour(const QString& name, const QColor& colour);
    // The colours the colour box offers for elements.
    static QList<QColor> elementPalette();
    ExcluWidget* getExcluWidget() const;
    QString getCurrentDescription(int kind) const;
    void deleteCurrentImply();
    void deleteCurrentExclu();
    // The name of the constraint selected on the rules page (kind 0 implication, 1 exclusion).
    QString selectedConstraint(int kind) const;
    // Creates (empty name, modeless) or edits (modal) a constraint; true when an edit was
    // accepted.
    bool openConstraintDialog(int kind, const QString& name);
    void openGroupDialog();
    void openSettingsDialog(int page);
    // True when the updater has been started and the editor must end.
    bool checkForUpdate(bool fromMenu);
    void openStartDialog();

signals:
    void newKOFile(KCtrlFile* document);
    void collapsed(const QString& name);
    void expanded(const QString& name);
    void closed();

public slots:
    void setSavedProject(bool isSaved);
    void setUnsavedProject();
    void export_slot();
    void changeViewIntermed(int index);
    void changeViewMenu(int index);
    void beforeClosing();
    void listView_visibilityChanged(bool visible);
    void eltProp_visibilityChanged(bool visible);
    bool renameAudio(const QString& name);
    void collapse_slot(const QString& name);
    void expand_slot(const QString& name);
    void colorSelection_slot(const QString& name, const QPoint& position);
    void dropOnRootTV(const QStringList& names);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    ZazuzoziZadiviDU();
    void initUI();
    void createMenus();
    QToolBar* createPanelToolBar(const QList<int>& ids, const QSize& iconSize);
    QWidget* createPanel(QToolBar* toolBar, QWidget* view, const QString& caption);
    void setProjectCommandsEnabled(bool enabled);
    // The unsaved-work question of new, open and close; false when the operation must stop.
    bool askToSave(const QString& title);
    // Tells the views to let go of the document, deletes it, then installs the given one.
    void installDocument(KCtrlFile* replacement);
    // The selections of the track library and the structure tree.
    QStringList selectedLibraryTracks() const;
    QString currentTreeElement() const;
    void clearLibrarySelection();
    bool modifyGroup(const QString& name);
    void deleteCurrentConstraint(int kind);
    // One line per rule of the project that names one of the tracks (deleted with them).
    QStringList rulesNaming(const QStringList& tracks) const;
    // Builds the page of the tab if it is not built yet.
    void ensurePage(int index);
    void buildRulesPage();
    // Keeps the tree's branches open and closed as the other element trees'.
    void followTreeExpansion(KDragDropTreeView* elementTree);
    void buildRuleMixingPage();
    void buildMixEditorPage();
    void buildExportPage();

    static ZazuzoziZadiviDU* instance;
    static constexpr int RulesTab = 1;
    static constexpr int RuleMixingTab = 2;
    static constexpr int MixEditorTab = 3;
    static constexpr int ExportTab = 4;

    bool closing = false;
    int updateTest = 0;
    QString language;
    KDragMenuLV* libraryView = nullptr;
    KDDMenuTV* structureView = nullptr;
    PreMixView* preMixView = nullptr;
    QWidget* libraryPanel = nullptr;
    bool saved = false;
    bool audioPathsChanged = false; // the last checkAudioPath replaced a missing file's path
    TVRAction* controller = nullptr;
    WorkSpaceUI* workspace = nullptr;
    ExcluWidget* excluWidget = nullptr;
    QMenu* viewMenu = nullptr;
    QMenu* projectMenu = nullptr;
    SonaricParams* params = nullptr;
    KCtrlFile* document = nullptr;
    ProjectPropUI* projectProp = nullptr;
    MixViewUI* mixView = nullptr;
    QString projectPath;
    QFont windowFont;
    ExportUI* exportPage = nullptr;
    // Set while the song metadata panel shows the open project's (from its opening until the
    // next reset), so that a panel built later loads them as well.
    bool metadataShown = false;
    // Set once a project has been opened or made: the mix editor has left its empty state.
    bool mixEditorStarted = false;
};

#endif
