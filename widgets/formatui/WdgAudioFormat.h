// One output format's option widget: the format code to export with, the option's label, the
// format's display name and its file extensions.
#ifndef WDGAUDIOFORMAT_H
#define WDGAUDIOFORMAT_H

#include <QStringList>
#include <QWidget>

class WdgAudioFormat : public QWidget
{
public:
    explicit WdgAudioFormat(QWidget* parent = nullptr) : QWidget(parent) {}

    // The format code; -1 when none can be given.
    virtual int getOptionValue() = 0;
    virtual QString getOptionName() = 0;
    virtual QString getFormatName() = 0;
    // Without dot, preferred first.
    virtual QStringList getExtensions() = 0;
};

#endif
