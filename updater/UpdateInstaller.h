// Installs checked files into the editor folder as one step that survives an interruption.
// Everything to install is prepared in the work folder first; the list of renames and deletions
// is then written as a journal (the point of no return), applied, and removed. A run that was
// stopped after writing the journal is finished by resume(), so the editor is either the old
// one whole or the new one whole.
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
        enum Kind { Put, Delete } kind = Put;
        QString staged;  // Put: prepared file in the work folder
        QString target;  // absolute path inside the editor folder
        QString label;   // what the log shows
        QString version; // the version that asked for it
    };

    UpdateInstaller(const QString& editorFolder, const QString& workFolder);

    // Plans to install the prepared file staged as editor folder + relative. False, with a
    // reason, when relative leaves the editor folder or passes through a link, or when staged is
    // not a regular file in the work folder on the editor folder's file system.
    bool addFile(const QString& staged, const QString& relative, const QString& label,
                 const QString& version, QString* error);
    // Plans to delete editor folder + relative (a file, or a folder when empty).
    bool addDeletion(const QString& relative, const QString& version, QString* error);

    // Writes the journal and applies it. A deletion of a path that the same or a later version
    // installs, and an installation that a later version deletes, are dropped. log receives
    // each step's label as it is done; failures lists what could not be done.
    bool commit(const std::function<void(const Step&)>& log, QStringList* failures);

    // Finishes the steps of an interrupted commit, if the work folder holds one.
    static bool resume(const QString& workFolder, QStringList* failures);

    static QString journalPath(const QString& workFolder);

    // Tests: called after each applied step with its index.
    static void setStepHook(std::function<void(int)> hook);

private:
    QString m_editorFolder;
    QString m_workFolder;
    QList<Step> m_steps;
};

#endif
