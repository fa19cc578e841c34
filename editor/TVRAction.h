// The editor's command controller: every user command as a QAction under a small integer id,
// registered once, and the slots those actions trigger. Menus, tool bars, context menus and key
// handlers take their actions from here and create none of their own.
#ifndef TVR_ACTION_H
#define TVR_ACTION_H

#include <QObject>

class ActionManager;
class QAction;

class TVRAction : public QObject
{
    Q_OBJECT

public:
    explicit TVRAction(QObject* parent = nullptr);

    // Null for an id that has no action.
    QAction* getAction(const int& id);

    // Pages of the settings dialog: general, tracks, Tovix, conversion.
    enum SettingsPage { PageGeneral = 0, PageTracks = 1, PageTovix = 2, PageConversion = 3 };

signals:
    void projectModified();

public slots:
    void updateTest(bool checked);
    void qtVersion(bool checked);
    void newProject(bool checked);
    void openProject(bool checked);
    void saveProject(bool checked);
    void saveProjectAs(bool checked);
    void closeProject(bool checked);
    void quit(bool checked);
    void viewTabGroups(bool checked);
    void viewTabConstraints(bool checked);
    void viewTabMix(bool checked);
    void viewTabTovix(bool checked);
    void viewTabExport(bool checked);
    void viewTrackList(bool checked);
    void viewTabProp(bool checked);
    void help(bool checked);
    void TovraWebSite(bool checked);
    void forums(bool checked);
    void about(bool checked);
    void bugReport(bool checked);
    void parameters(bool checked);
    void options_Tovix(bool checked);
    void options_conv(bool checked);
    void importAudio(bool checked);
    void modifyAudio(bool checked);
    void deleteAudio(bool checked);
    void modifyGroup(bool checked);
    void deleteGroup(bool checked);
    void nameMix(bool checked);
    void createGroup(bool checked);
    void createGroupRightButton(bool checked);
    void exportToTovraFile(bool checked);
    void createRule(bool checked);
    void createMix(bool checked);
    void createImply(bool checked);
    void createExclu(bool checked);
    void modifyImply(bool checked);
    void modifyExclu(bool checked);
    void deleteImply(bool checked);
    void deleteExclu(bool checked);
    void howStruct(bool checked = false);
    void howConstraints(bool checked = false);
    void howPreMix(bool checked = false);
    void howMix(bool checked = false);
    void howExport(bool checked = false);
    void trackProperty(bool checked = false);
    void groupProperty(bool checked = false);
    void update(bool checked);

private:
    void init();
    // Runs a command that needs imported tracks: marks the project modified first.
    template <typename Command> void withTracks(Command command);
    void modifyConstraint(int kind);
    void deleteConstraint(int kind, const QString& title, const QString& text);
    // Open a local documentation page or a web page; a page that does not open is reported.
    void openHelpPage(const QString& page);
    void openWebPage(const QString& address);
    void reportPageNotOpened(const QString& where);

    ActionManager* manager;
};

#endif
