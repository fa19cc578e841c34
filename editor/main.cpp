#include "AppServices.h"
#include "SonaricStartup.h"

int main(int argc, char** argv)
{
    const int code = sonaric_main(argc, argv);
    AppServices::closelog();
    return code;
}
