// Accepts a link to a band's page on the music site: the text must begin with one of three
// address prefixes of the site and go on after it; while typing, a beginning of a prefix passes.
#ifndef KBANDLINKVALID_H
#define KBANDLINKVALID_H

#include <QStringList>
#include <QValidator>

class KBandLinkValid : public QValidator
{
public:
    static const QStringList ValidPrefixes;

    explicit KBandLinkValid(QObject* parent);
    State validate(QString& input, int& pos) const override;
};

#endif
