// Loads arbitrary bytes as a project description. Whatever loads must write, load and write
// again to the same text, and its clean form must load and write back as itself; whatever is
// refused must leave the project empty. Stderr diagnostics of refused inputs are expected.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "KFile.h"
#include "KZarkXml.h"
#include "tvr_utils.h"

namespace {

char *describe(KFile *file, int clean = 0)
{
    XmlObject *tree = exportXmlDesc(file, clean);
    if (!tree)
        return nullptr;
    char *text = XmlToString2(nullptr, tree);
    DeleteRecXmlObject(tree);
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::vector<char> text(data, data + size);
    text.push_back('\0');
    KFile *file = newZark("fuzz", 2.0);
    if (!file)
        return 0;
    if (LoadFromXmlDesc(file, text.data()) != 1) {
        if (getEltNbr(file) != 0 || getNbSlct(file) != 0)
            std::abort(); // a refused description left something behind
        _freeZark(file);
        return 0;
    }
    char *first = describe(file);
    if (!first)
        std::abort(); // a loaded project must be writable
    KFile *again = newZark("fuzz", 2.0);
    if (LoadFromXmlDesc(again, first) != 1)
        std::abort();
    char *second = describe(again);
    if (!second || std::strcmp(first, second) != 0)
        std::abort();
    // The clean form (a new ID, no empty groups) is a description of its own.
    char *clean = describe(file, 1);
    KFile *shipped = newZark("fuzz", 2.0);
    if (!clean || LoadFromXmlDesc(shipped, clean) != 1)
        std::abort();
    char *reread = describe(shipped);
    if (!reread || std::strcmp(clean, reread) != 0)
        std::abort();
    tvr_free(first);
    tvr_free(second);
    tvr_free(clean);
    tvr_free(reread);
    _freeZark(shipped);
    _freeZark(again);
    _freeZark(file);
    return 0;
}
