// Identity of the format option library.
#ifndef FORMATUI_H
#define FORMATUI_H

class FormatUi
{
public:
    FormatUi() = default;
    ~FormatUi() = default;
    void helloWorld();
};

#endif
