#include "WidgetKit.h"

#include "KPrompt.h"

void WidgetKit::helloWorld()
{
    KPrompt::information(nullptr, QString(), "Hello World !", QMessageBox::Ok);
}
