#include "KBandLinkValid.h"

namespace {
const QString MusicSiteHost = "raverurezi.example";
}

const QStringList KBandLinkValid::ValidPrefixes = {"www." + MusicSiteHost + "/",
                                                   "http://" + MusicSiteHost + "/",
                                                   "http://www." + MusicSiteHost + "/"};

KBandLinkValid::KBandLinkValid(QObject* parent) : QValidator(parent)
{
}

QValidator::State KBandLinkValid::validate(QString& input, int& pos) const
{
    for (const QString& prefix : ValidPrefixes) {
        if (pos > prefix.size()) {
            if (input.startsWith(prefix))
                return Acceptable;
        } else if (prefix.left(pos) == input) {
            return Intermediate;
        }
    }
    return Invalid;
}
