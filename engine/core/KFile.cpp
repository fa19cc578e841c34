#include "KFile.h"
