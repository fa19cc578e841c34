#include "EngineText.h"

#include <cstdlib>

#include "AppServices.h"
#include "tvr_utils.h"

namespace EngineText {

QString fromEngine(const char* text)
{
    return text ? AppServices::KStringToQString(text) : QString();
}

QStringList takeNames(const char** names, const int& count)
{
    QStringList list;
    if (!names)
        return list;
    list.reserve(count > 0 ? count : 0);
    for (int i = 0; i < count; ++i)
        list.append(fromEngine(names[i]));
    release(static_cast<void*>(names));
    return list;
}

void release(void* block)
{
    if (block) {
        tvr_free_called();
        std::free(block);
    }
}

} // namespace EngineText
