// Parses arbitrary bytes as a tag tree; every tree that comes back must write, parse and write
// again to the same text.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "XmlObject.h"
#include "tvr_utils.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::vector<char> text(data, data + size);
    text.push_back('\0');
    XmlObject *tree = XmlParserFromString(text.data());
    if (!tree)
        return 0;
    char *first = XmlToString2(nullptr, tree);
    if (!first)
        std::abort();
    XmlObject *again = XmlParserFromString(first);
    if (!again)
        std::abort();
    char *second = XmlToString2(nullptr, again);
    if (!second || std::strcmp(first, second) != 0)
        std::abort();
    tvr_free(first);
    tvr_free(second);
    DeleteRecXmlObject(again);
    DeleteRecXmlObject(tree);
    return 0;
}
