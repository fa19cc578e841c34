// The identity class of the document library: the project file round trip (a description-only
// container) and the stereo-to-mono conversion of imported audio files. No state.
#ifndef TOVRAOLIB_H
#define TOVRAOLIB_H

#include <QString>

// An engine result code: 1 success, 0 or a negative code for failure.
typedef int EReturn;

class TovraOLib
{
public:
    TovraOLib() {}
    ~TovraOLib() {}

    // Writes a container holding only the text; the old file stays until the new one is complete.
    static bool writeStreamInFile(const QString& text, const QString& path);
    // The description text of a container file; empty when it cannot be read or holds none.
    static QString readStreamFromFile(const QString& path);
    static QString getMsgError(EReturn code);
    // A mono copy of a two-channel audio file. The same file as source and destination (compared
    // by canonical path) converts through a temporary file that atomically replaces the source;
    // on any failure the source is kept as it was and `cause` (may be null) gets the reason,
    // naming the file concerned.
    static bool convertStereoToMono(const QString& source, const QString& destination,
                                    QString* cause = nullptr);
};

#endif
