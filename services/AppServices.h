// The services library's toolbox: text crossing into and out of the engine, level and decibel
// conversions, font propagation, file and path helpers, documents, the version number and the
// (empty) log. Every member is static; the class is never instantiated.
#ifndef APP_SERVICES_H
#define APP_SERVICES_H

#include <QFont>
#include <QIcon>
#include <QPixmap>
#include <QString>
#include <QStringList>

class KItem;
class KSingleApp;
class QObject;
class QStandardItem;
class QWidget;

class AppServices
{
public:
    AppServices() {}
    ~AppServices() {}

    // Text into the engine: a new NUL-terminated UTF-8 byte string from the engine's allocator
    // (tvr_malloc); null for an empty text. Release it with freeKString.
    static char* QStringToKString(const QString& text);
    // Text out of the engine: UTF-8, or Latin-1 for bytes that are not valid UTF-8 (older files).
    // A null pointer gives a null string.
    static QString KStringToQString(const char* text);
    // Releases a byte string made by the engine's allocator: tells the engine, then frees it.
    static void freeKString(char* text);

    // Linear gain to decibels in steps of one level unit (0.1 dB), and back; both cut toward 0.
    static double doubleToDecibel(double gain);
    static double decibelToDouble(double decibels);
    // Decibels of an amplitude gain, 20 x log10 (the equaliser's band gains), and back; a gain
    // that is not positive reads -240 dB. Read back to 0.0001 dB, so that a typed gain stored
    // with a file's six decimals comes back as typed.
    static double amplitudeToDecibel(double gain);
    static double decibelToAmplitude(double decibels);

    // Sets the font on the widget and on every widget below it.
    static void setFontParent(QWidget* widget, QFont font);
    // The icon of a picture file or resource, as QIcon(path) builds it (every image of the file,
    // and its "@Nx" form on a high-density screen), without asking the MIME database what a
    // name without extension holds: that check reads the picture against every known type,
    // about a million instructions per icon.
    static QIcon pictureIcon(const QString& path);
    // The picture at `path` (null when unreadable), decoded straight into its pixmap: unlike
    // QPixmap(path) it neither converts a second copy of the pixels nor keeps one in the pixmap
    // cache.
    static QPixmap picture(const QString& path);

    // Joins the first items with single blanks and returns the longest such text that names
    // an existing regular file; a null string when none does.
    static QString searchFileInList(const QStringList& items);
    static QString addExtIfNec(const QString& name, const QString& ext);
    // Deletes a file, or every file inside a folder (sub-folders emptied and kept). A symbolic
    // link is removed as a link and never followed. False for a missing path or at the first
    // entry that cannot be removed.
    static bool removeDir(const QString& path);
    static bool openDoc(const QString& path, bool relative);
    static bool openPdf(const QString& path);
    static QString getBaseName(const QString& path, const QString& base);

    // "Feb 17 2009" gives 90217: the year's last digit, the month and the day on two digits.
    static int dateToInt(const QString& date);
    static QString getVersion(const QString& base, const QString& date);

    // Update check: forwards to DlgUpdate::checkup.
    static bool versionCheckUp(bool& upToDate, const QString& current, const QString& descUrl,
                               const QString& product, const QString& server, const QString& infoUrl,
                               const QString& localFile, QWidget* parent, bool show,
                               bool* unreadable = nullptr);

    // Searches over checkable item trees; texts compare exactly. The start may be a model's
    // invisible root item.
    // Depth-first pre-order: the start, then each row's column-0 child in row order.
    static KItem* findNode(QStandardItem* root, const QString& name);
    // True when a descendant of the item (not the item itself) has the text.
    static bool isAParentNode(QStandardItem* item, const QString& name);
    // Appends, in pre-order, the text of every item that has children; the starting item is
    // left out when its text equals exclusion (descendants: when their text is empty).
    static void getParentNodes(QStandardItem* item, QStringList& names, const QString& exclusion);

    // Single-instance guard: null when another instance listening on the port took the
    // arguments (the caller should quit); otherwise a new listening guard the caller owns.
    static KSingleApp* getSingleApp(int port, const QStringList& args, QObject* parent);

    // The program keeps no log: these write nothing.
    static bool log(const QString& text, bool newLine = true);
    static bool log(const QStringList& lines);
    static void closelog();
};

// Plain entry points for callers that use neither classes nor Qt. Byte strings are UTF-8 (or
// Latin-1 when not valid UTF-8).
extern "C" {
int kQt_initAppServices(void);
int kQt_closeAppServices(void);
int kQt_openDoc(const char* path);
char* kQt_getVersion(const char* base, const char* date);
int kQt_versionCheckUp(const char* current, const char* descUrl, const char* product,
                       const char* server, const char* infoUrl, const char* localFile);
}

#endif
