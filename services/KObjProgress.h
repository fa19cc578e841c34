// Qt-side owner of one engine progress record. A worker thread writes it while a polling thread
// reads it; the engine record makes that safe (atomic fields, superseded messages kept until
// the record is deleted). Never copied; passed by pointer.
#ifndef KOBJ_PROGRESS_H
#define KOBJ_PROGRESS_H

#include <QString>

struct KProgress;

// The engine's progress states: 0 new, 2 running, 3 finished, -1 stopped, -2 failed.
typedef int EProgress;

class KObjProgress
{
public:
    KObjProgress();
    ~KObjProgress();

    KObjProgress(const KObjProgress&) = delete;
    KObjProgress& operator=(const KObjProgress&) = delete;

    // Fraction done, 0.0 to 1.0; -1.0 once stopped or failed.
    double getProg() const;
    // Current message; a null string when there is none.
    QString getMsg() const;
    // -2 when there is no record.
    int getState() const;
    // The raw record for engine calls; it stays this object's.
    KProgress* getKProg() const;

    void setProg(double fraction);
    // An empty text clears the message.
    void setMsg(const QString& text);
    void setState(EProgress state);

private:
    KProgress* m_progress;
};

#endif
