// The player the transport drives: start, pause, stop, seek, volume and loop of the project's
// playback. The document owns the one player in use and replaces it after every load.
#ifndef KPLAYERFUNCTIONS_H
#define KPLAYERFUNCTIONS_H

#include "KPlayer.h"

class KObjFile;
class KObjProgress;

class KPlayerFunctions
{
public:
    virtual ~KPlayerFunctions() = default;

    virtual bool init() = 0;
    virtual bool close() = 0;
    // Toggles pause.
    virtual bool pause() = 0;
    virtual bool stop() = 0;
    // Starts playing the document's project; the progress (may be null) follows the loading.
    virtual bool playThread(KObjFile* file, KObjProgress* progress) = 0;
    virtual bool isPlay() = 0;
    virtual bool setVolume(double volume) = 0;
    virtual double getVolume() = 0;
    // Position as a fraction 0..1 of the piece.
    virtual bool setTime(double fraction) = 0;
    virtual double getTime(KObjFile* file) = 0;
    virtual bool setLoop(ESOLoop mode) = 0;
    virtual bool isLoop() = 0;
};

#endif
