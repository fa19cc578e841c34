#include "UpdaterMain.h"

int main(int argc, char** argv)
{
    return updaterMain(argc, argv);
}
