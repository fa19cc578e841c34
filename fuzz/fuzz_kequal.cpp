// Reads arbitrary bytes as an EQUAL tag tree; every curve that comes back must be sorted and
// finite, evaluate to finite non-negative values everywhere, and survive a write and re-read
// (points closer than the six written decimals may merge).
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "KEqual.h"
#include "XmlObject.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::vector<char> text(data, data + size);
    text.push_back('\0');
    XmlObject *tree = XmlParserFromString(text.data());
    _KEqualization *curve = extractXmlEqual(tree);
    DeleteRecXmlObject(tree);
    if (!curve)
        return 0;
    const int n = KEqual_getNbFreq(curve);
    if (n < 0 || n > KEQUAL_MAX_POINTS)
        std::abort();
    for (int i = 0; i < n; ++i) {
        const double f = KEqual_getFreqAt(curve, i), a = KEqual_getAmplAt(curve, i);
        if (!std::isfinite(f) || !std::isfinite(a) || f < 0 || a < 0 ||
            (i > 0 && !(KEqual_getFreqAt(curve, i - 1) < f)))
            std::abort();
    }
    for (double f : {0.0, 1.0, 99.5, 500.0, 1000.0, 22050.0, 1e9}) {
        const double v = KEqual_getAmplitude(curve, f);
        if (!std::isfinite(v) || v < 0)
            std::abort();
    }
    _KEqualization *bins = KEqual_getTotalEqual(curve, 0, 22050, 64);
    KEqual_delete(&bins);
    XmlObject *written = exportXmlEqual(curve);
    _KEqualization *again = extractXmlEqual(written);
    DeleteRecXmlObject(written);
    if (!again || KEqual_getNbFreq(again) > n || (n > 0 && KEqual_getNbFreq(again) < 1))
        std::abort();
    KEqual_delete(&again);
    KEqual_delete(&curve);
    return 0;
}
