// The start dialog shown when the editor starts without a project: links to a new project, the
// recent projects, another project, the news and the documentation. Each link ends the dialog
// first and then runs its command of the main window, so that the command may close or open
// a start dialog again without pulling the running one from under its own slot.
#ifndef DLGOPENSONARIC_H
#define DLGOPENSONARIC_H

#include <QDialog>
#include <QPointer>
#include <QStringList>

#include <functional>

class QGridLayout;
class QLabel;

class DlgOpenSonaric : public QDialog
{
    Q_OBJECT

public:
    // Replaces any start dialog by a new one and runs it; returns its result.
    static int open(QWidget* parent);
    // Ends the start dialog, if one is shown, with result 0.
    static void closeWindow();
    static DlgOpenSonaric* current() { return instance; }

    QGridLayout* recentGrid() const { return grid; }

public slots:
    void newProject();
    void openProject();
    void recentPrjClicked(const QString& path);
    void openNews();
    void openDoc();

private:
    explicit DlgOpenSonaric(QWidget* parent);
    // A picture and a link at a fixed place of the background.
    QLabel* addLink(const QString& icon, const QString& text, const QString& tip, const QRect& where);
    // Ends the dialog; the command runs once it is gone.
    void finishWith(std::function<void()> command);

    static QPointer<DlgOpenSonaric> instance;

    QStringList recent; // name, path, name, path, ...
    QGridLayout* grid;
    std::function<void()> pending;
};

#endif
