// Installs checked files into the editor folder as one step that survives an interruption.
// Everything to install is prepared in the work folder first; the list of renames and deletions
// is then written as a journal (the point of no return) with a checksum beside it, and applied.
// Every file that a step replaces or deletes is first moved into the work folder's backup
// folder, so a step that fails rolls the whole journal back. A run that was stopped after writing
// the journal is finished by resume() (or rolled back when it cannot be finished), so the editor
// is either the old one whole or the new one whole. The journal is removed only once it has been
// carried out completely in one direction.
#ifndef UPDATE_INSTALLER_H
#define UPDATE_INSTALLER_H

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class UpdateInstaller
{
public:
    struct Step {
        // Put: install staged as target. Delete: remove the file target. DeleteFolder: remove the
        // folder target when it is empty.
        enum Kind { Put, Delete, DeleteFolder } kind = Put;
        QString staged;       // Put: prepared file in the work folder
        QString target;       // absolute path inside the editor folder
        QString label;        // what the log shows
        QString version;      // the version that asked for it
        QString backup = {};  // where the replaced or deleted file waits until the end
        QStringList created = {}; // Put: folders the step makes, outermost first
    };

    UpdateInstaller(const QString& editorFolder, const QString& workFolder);

    // Plans to install the prepared file staged as editor folder + relative. False, with a
    // reason, when relative leaves the editor folder, lies in the work folder or passes through a
    // link, or when staged is not a regular file in the work folder on the editor folder's file
    // system.
    bool addFile(const QString& staged, const QString& relative, const QString& label,
                 const QString& version, QString* error);
    // Plans to delete editor folder + relative (a file, or a folder when empty).
    bool addDeletion(const QString& relative, const QString& version, QString* error);

    // Writes the journal and applies it. A deletion of a path that the same or a later version
    // installs, and an installation that a later version deletes, are dropped. log receives
    // each step's label as it is done; failures lists what could not be done. When a step fails
    // everything done is rolled back. Refused while an unfinished journal waits in the work folder.
    bool commit(const std::function<void(const Step&)>& log, QStringList* failures);

    // Finishes the steps of an interrupted commit, if the work folder holds one, or rolls them
    // back when they cannot be finished. The journal is refused (and kept) when its checksum does
    // not match or a step names a path outside the editor folder and the work folder. True when
    // no unfinished journal is left; false means the journal is still there.
    static bool resume(const QString& workFolder, QStringList* failures);

    static QString journalPath(const QString& workFolder);
    // True when the work folder holds a journal that has not been carried out completely.
    static bool hasUnfinishedJournal(const QString& workFolder);

    // Tests: called after each change of the file system that a journal step makes, with a
    // running count from 0 for the commit or resume in progress.
    static void setStepHook(std::function<void(int)> hook);

private:
    QString m_editorFolder;
    QString m_workFolder;
    QList<Step> m_steps;
};

#endif
