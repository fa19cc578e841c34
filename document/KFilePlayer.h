// The player over the engine's sound output: each operation is one engine playback call, true
// when the engine answered with a positive code.
#ifndef KFILEPLAYER_H
#define KFILEPLAYER_H

#include "KPlayerFunctions.h"

class KFilePlayer : public KPlayerFunctions
{
public:
    KFilePlayer() = default;

    bool init() override;
    bool close() override;
    bool pause() override;
    bool stop() override;
    bool playThread(KObjFile* file, KObjProgress* progress) override;
    bool isPlay() override;
    bool setVolume(double volume) override;
    double getVolume() override;
    bool setTime(double fraction) override;
    double getTime(KObjFile* file) override;
    bool setLoop(ESOLoop mode) override;
    bool isLoop() override;
};

#endif
