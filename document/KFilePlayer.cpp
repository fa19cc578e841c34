#include "KFilePlayer.h"

#include "KObjFile.h"
#include "KObjProgress.h"

bool KFilePlayer::init()
{
    return so_init() > 0;
}

bool KFilePlayer::close()
{
    return so_close() > 0;
}

bool KFilePlayer::pause()
{
    return so_pause() > 0;
}

bool KFilePlayer::stop()
{
    return so_stop() > 0;
}

bool KFilePlayer::playThread(KObjFile* file, KObjProgress* progress)
{
    // The engine reads the project until the play ended: a document without one cannot start.
    if (!file || !file->getKFile())
        return false;
    return so_outThread(file->getKFile(), progress ? progress->getKProg() : nullptr,
                        SO_MODE_SOUNDCARD) > 0;
}

bool KFilePlayer::isPlay()
{
    return so_isPlay() != 0;
}

bool KFilePlayer::setVolume(double volume)
{
    return so_setVolume(volume) > 0;
}

double KFilePlayer::getVolume()
{
    return so_getVolume();
}

bool KFilePlayer::setTime(double fraction)
{
    return so_setTime(fraction) > 0;
}

double KFilePlayer::getTime(KObjFile* file)
{
    return so_getTime(file ? file->getKFile() : nullptr);
}

bool KFilePlayer::setLoop(ESOLoop mode)
{
    return so_setLoop(mode) > 0;
}

bool KFilePlayer::isLoop()
{
    return so_isLoop() != 0;
}
