// Where the program finds the folders laid out beside it: bin/ holds the programs, and
// ../Resources/, ../Frameworks/ and ../documentation/ sit next to bin/.
#ifndef APP_PATHS_H
#define APP_PATHS_H

#include <QString>

class AppPaths
{
public:
    // The folder of the running program (QCoreApplication::applicationDirPath()), unless a test
    // or a tool set another one.
    static QString programDir();
    // An empty text goes back to the running program's folder.
    static void setProgramDir(const QString& dir);

    // Each ends with "/" so that a file name can be appended directly.
    static QString resourcesDir();
    static QString frameworksDir();
    static QString documentationDir();

private:
    static QString besideProgram(const QString& folder);
};

#endif
