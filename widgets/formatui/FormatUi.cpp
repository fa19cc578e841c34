#include "FormatUi.h"

#include "KPrompt.h"

void FormatUi::helloWorld()
{
    KPrompt::information(nullptr, "FormatUi Library", "Hello World !", QMessageBox::Ok);
}
