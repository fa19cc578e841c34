#include "KObjProgress.h"

#include "AppServices.h"
#include "KTypes.h"

KObjProgress::KObjProgress() : m_progress(KProgress_new()) {}

KObjProgress::~KObjProgress()
{
    KProgress_delete(&m_progress);
}

double KObjProgress::getProg() const
{
    return KProgress_getProg(m_progress);
}

QString KObjProgress::getMsg() const
{
    return AppServices::KStringToQString(KProgress_getMsg(m_progress));
}

int KObjProgress::getState() const
{
    return KProgress_getState(m_progress);
}

KProgress* KObjProgress::getKProg() const
{
    return m_progress;
}

void KObjProgress::setProg(double fraction)
{
    KProgress_setDProg(m_progress, fraction);
}

void KObjProgress::setMsg(const QString& text)
{
    char* bytes = AppServices::QStringToKString(text);
    KProgress_setMsg(m_progress, bytes);
    AppServices::freeKString(bytes);
}

void KObjProgress::setState(EProgress state)
{
    KProgress_setState(m_progress, state);
}
