// Equaliser curve: editing, evaluation on the Bark scale, resampling and the EQUAL tag tree.
// Every public operation holds the curve's recursive lock for its whole duration; the helpers
// in the anonymous namespace expect the caller to hold it.
#include "KEqual.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <climits>
#include <vector>

#include "KMutex.h"
#include "tvr_utils.h"

struct _KEqualization {
    int n;
    double *amplitudes;  // n values, owned
    int interpolation;
    double *frequencies; // n values, owned, ascending after every edit
    KMutex *lock;        // recursive
};

namespace {

// Amplitudes read from a tag tree are clamped to this range (0 .. +36 dB).
constexpr double kMaxAmplitude = 64.0;

class CurveLock {
public:
    explicit CurveLock(const _KEqualization *curve)
        : m_lock(curve->lock), m_held(KMutex_lock(m_lock) == 1)
    {
    }
    ~CurveLock()
    {
        if (m_held)
            KMutex_unlock(m_lock);
    }
    CurveLock(const CurveLock &) = delete;
    CurveLock &operator=(const CurveLock &) = delete;

private:
    KMutex *m_lock;
    bool m_held;
};

double *copyValues(const double *values, int n)
{
    double *copy = static_cast<double *>(tvr_calloc(static_cast<size_t>(n), sizeof(double)));
    if (copy && n > 0)
        std::memcpy(copy, values, static_cast<size_t>(n) * sizeof(double));
    return copy;
}

void dropPoints(_KEqualization *c)
{
    tvr_free(c->frequencies);
    tvr_free(c->amplitudes);
    c->frequencies = nullptr;
    c->amplitudes = nullptr;
    c->n = 0;
}

// First index whose frequency is at or above f; n when none.
int firstAtOrAbove(const _KEqualization *c, double f)
{
    int i = 0;
    while (i < c->n && !(c->frequencies[i] >= f))
        ++i;
    return i;
}

// Position t in 0..1 of f between the points around index i (the first at or above f).
double splinePosition(const _KEqualization *c, int i, double f)
{
    double t;
    if (i == 0) {
        double first = hertzToBark(c->frequencies[0]);
        t = first > 0.0 ? hertzToBark(f) / first : 0.0;
    } else if (i == c->n) {
        double here = hertzToBark(f);
        t = here > 0.0 ? hertzToBark(c->frequencies[c->n - 1]) / here : 0.0;
    } else {
        double low = hertzToBark(c->frequencies[i - 1]);
        double high = hertzToBark(c->frequencies[i]);
        t = high > low ? (hertzToBark(f) - low) / (high - low) : 0.0;
    }
    // Points read as they came (unsorted, duplicated) or odd frequencies must not leave 0..1.
    if (!(t >= 0.0))
        return 0.0;
    return t > 1.0 ? 1.0 : t;
}

double evaluate(const _KEqualization *c, double f)
{
    if (c->n < 1)
        return 1.0;
    if (c->n == 1)
        return c->amplitudes[0];
    const int n = c->n;
    const int i = firstAtOrAbove(c, f);
    if (i < n && c->frequencies[i] == f)
        return c->amplitudes[i];
    const double t = splinePosition(c, i, f);
    const double *a = c->amplitudes;
    const double p0 = a[std::max(i - 2, 0)];
    const double p1 = a[std::max(i - 1, 0)];
    const double p2 = a[std::min(i, n - 1)];
    const double p3 = a[std::min(i + 1, n - 1)];
    const double t2 = t * t;
    const double t3 = t2 * t;
    const double value = 0.5 * ((-t3 + 2.0 * t2 - t) * p0 + (3.0 * t3 - 5.0 * t2 + 2.0) * p1 +
                                (-3.0 * t3 + 4.0 * t2 + t) * p2 + (t3 - t2) * p3);
    return value >= 0.0 ? value : 0.0;
}

// Inserts (f, a) before index pos; false when the arrays cannot grow (the curve is unchanged).
bool insertPoint(_KEqualization *c, int pos, double f, double a)
{
    const size_t bytes = static_cast<size_t>(c->n + 1) * sizeof(double);
    double *frequencies = static_cast<double *>(tvr_realloc(c->frequencies, bytes));
    if (!frequencies)
        return false;
    c->frequencies = frequencies;
    double *amplitudes = static_cast<double *>(tvr_realloc(c->amplitudes, bytes));
    if (!amplitudes)
        return false; // the larger frequency block stays valid
    c->amplitudes = amplitudes;
    const size_t tail = static_cast<size_t>(c->n - pos) * sizeof(double);
    std::memmove(frequencies + pos + 1, frequencies + pos, tail);
    std::memmove(amplitudes + pos + 1, amplitudes + pos, tail);
    frequencies[pos] = f;
    amplitudes[pos] = a;
    ++c->n;
    return true;
}

void erasePoint(_KEqualization *c, int index)
{
    if (c->n == 1) {
        dropPoints(c); // an empty curve holds no arrays
        return;
    }
    const size_t tail = static_cast<size_t>(c->n - index - 1) * sizeof(double);
    std::memmove(c->frequencies + index, c->frequencies + index + 1, tail);
    std::memmove(c->amplitudes + index, c->amplitudes + index + 1, tail);
    --c->n;
    // Shrinking is only a saving: when it fails the larger blocks stay valid.
    const size_t bytes = static_cast<size_t>(c->n) * sizeof(double);
    if (void *shrunk = tvr_realloc(c->frequencies, bytes))
        c->frequencies = static_cast<double *>(shrunk);
    if (void *shrunk = tvr_realloc(c->amplitudes, bytes))
        c->amplitudes = static_cast<double *>(shrunk);
}

int setAmplitudeLocked(_KEqualization *c, double f, double a)
{
    if (!std::isfinite(f) || !std::isfinite(a))
        return 0;
    const int i = firstAtOrAbove(c, f);
    if (i < c->n && c->frequencies[i] == f) {
        c->amplitudes[i] = a;
        return 1;
    }
    return insertPoint(c, i, f, a) ? 1 : 0;
}

// A whole decimal integer, blanks around it allowed.
bool parseInt(const char *text, long *out)
{
    if (!text)
        return false;
    char *end = nullptr;
    errno = 0;
    long value = std::strtol(text, &end, 10);
    if (end == text || errno == ERANGE)
        return false;
    while (*end == ' ' || *end == '\t' || *end == '\n' || *end == '\r')
        ++end;
    if (*end != '\0')
        return false;
    *out = value;
    return true;
}

bool addTextChild(XmlObject *node, const char *name, char *ownedText)
{
    if (!ownedText)
        return false;
    XmlObject *child = CreateXmlObject(name, ownedText);
    tvr_free(ownedText);
    if (!child)
        return false;
    if (AddSubObject(node, child) != 1) {
        DeleteRecXmlObject(child);
        return false;
    }
    return true;
}

char *valuesText(const double *values, int n)
{
    return n > 0 ? doublearrayToString(values, n) : _tvr_strcpy("");
}

} // namespace

double hertzToBark(double hertz)
{
    return hertz <= 500.0 ? hertz / 100.0 : 9.0 + 4.0 * std::log2(hertz / 1000.0);
}

double barkToHertz(double bark)
{
    return bark <= 5.0 ? 100.0 * bark : 1000.0 * std::exp2((bark - 9.0) / 4.0);
}

_KEqualization *KEqual_new(void)
{
    _KEqualization *c = static_cast<_KEqualization *>(tvr_malloc(sizeof(_KEqualization)));
    if (!c)
        return nullptr;
    c->lock = KMutex_create();
    if (!c->lock) {
        tvr_free(c);
        return nullptr;
    }
    c->interpolation = KEQUAL_INTERPOL_SPLINE;
    return c;
}

_KEqualization *KEqual_init(_KEqualization *curve)
{
    if (!curve)
        return nullptr;
    CurveLock guard(curve);
    dropPoints(curve);
    curve->interpolation = KEQUAL_INTERPOL_SPLINE;
    return curve;
}

void KEqual_delete(_KEqualization **curve)
{
    if (!curve || !*curve)
        return;
    _KEqualization *c = *curve;
    dropPoints(c);
    _KMutex_destroy(c->lock);
    tvr_free(c);
    *curve = nullptr;
}

_KEqualization *KEqual_initAmplitudes(const double *frequencies, const double *amplitudes, int n)
{
    if (n < 0 || (n > 0 && (!frequencies || !amplitudes)))
        return nullptr;
    _KEqualization *c = KEqual_new();
    if (!c || n == 0)
        return c;
    c->frequencies = copyValues(frequencies, n);
    c->amplitudes = copyValues(amplitudes, n);
    if (!c->frequencies || !c->amplitudes) {
        KEqual_delete(&c);
        return nullptr;
    }
    c->n = n;
    return c;
}

_KEqualization *KEqual_clone(const _KEqualization *curve)
{
    if (!curve)
        return nullptr;
    CurveLock guard(curve);
    _KEqualization *c = KEqual_initAmplitudes(curve->frequencies, curve->amplitudes, curve->n);
    if (c)
        c->interpolation = curve->interpolation;
    return c;
}

_KEqualization *KEqual_copy(_KEqualization *target, const _KEqualization *source)
{
    if (!target || !source)
        return nullptr;
    if (target == source)
        return target;
    // Take a copy of the source under its lock, then install it under the target's: the two
    // locks are never held together, so copies in both directions cannot deadlock.
    _KEqualization *snapshot = KEqual_clone(source);
    if (!snapshot)
        return nullptr;
    {
        CurveLock guard(target);
        std::swap(target->n, snapshot->n);
        std::swap(target->frequencies, snapshot->frequencies);
        std::swap(target->amplitudes, snapshot->amplitudes);
        target->interpolation = snapshot->interpolation;
    }
    KEqual_delete(&snapshot); // frees the target's former arrays
    return target;
}

int KEqual_getNbFreq(const _KEqualization *curve)
{
    if (!curve)
        return 0;
    CurveLock guard(curve);
    return curve->n;
}

double KEqual_getFreqAt(const _KEqualization *curve, int index)
{
    if (!curve)
        return 0.0;
    CurveLock guard(curve);
    return index >= 0 && index < curve->n ? curve->frequencies[index] : 0.0;
}

double KEqual_getAmplAt(const _KEqualization *curve, int index)
{
    if (!curve)
        return 0.0;
    CurveLock guard(curve);
    return index >= 0 && index < curve->n ? curve->amplitudes[index] : 0.0;
}

int KEqual_setAmplitude(_KEqualization *curve, double frequency, double amplitude)
{
    if (!curve)
        return 0;
    CurveLock guard(curve);
    return setAmplitudeLocked(curve, frequency, amplitude);
}

int KEqual_eraseFreq(_KEqualization *curve, double frequency)
{
    if (!curve)
        return 0;
    CurveLock guard(curve);
    for (int i = 0; i < curve->n; ++i) {
        if (curve->frequencies[i] == frequency) {
            erasePoint(curve, i);
            return 1;
        }
    }
    return 0;
}

int KEqual_removeAmplAt(_KEqualization *curve, int index)
{
    if (!curve)
        return 0;
    CurveLock guard(curve);
    if (index < 0 || index >= curve->n)
        return 0;
    erasePoint(curve, index);
    return 1;
}

int KEqual_setAmplitudeAt(_KEqualization *curve, double frequency, double amplitude, int index)
{
    if (!curve || !(frequency >= 0.0) || !std::isfinite(frequency) || !std::isfinite(amplitude))
        return 0;
    CurveLock guard(curve);
    if (index < 0 || index >= curve->n)
        return setAmplitudeLocked(curve, frequency, amplitude);
    const bool afterPrevious = index == 0 || curve->frequencies[index - 1] <= frequency;
    const bool beforeNext = index == curve->n - 1 || curve->frequencies[index + 1] >= frequency;
    if (afterPrevious && beforeNext) {
        curve->frequencies[index] = frequency;
        curve->amplitudes[index] = amplitude;
        return 1;
    }
    erasePoint(curve, index);
    return setAmplitudeLocked(curve, frequency, amplitude);
}

double KEqual_getAmplitude(const _KEqualization *curve, double frequency)
{
    if (!curve)
        return 1.0;
    // The point count is read under the lock: an edit may reallocate the arrays meanwhile.
    CurveLock guard(curve);
    return evaluate(curve, frequency);
}

_KEqualization *KEqual_getTotalEqual(const _KEqualization *curve, double low, double high,
                                     int count)
{
    if (!curve || !(low >= 0.0) || !(high >= 0.0) || low > high || count < 1 ||
        !std::isfinite(high))
        return nullptr;
    _KEqualization *result = KEqual_new();
    if (!result)
        return nullptr;
    const size_t points = static_cast<size_t>(count);
    result->frequencies = static_cast<double *>(tvr_calloc(points, sizeof(double)));
    result->amplitudes = static_cast<double *>(tvr_calloc(points, sizeof(double)));
    if (!result->frequencies || !result->amplitudes) {
        KEqual_delete(&result);
        return nullptr;
    }
    result->n = count;
    const double step = count > 1 ? (high - low) / (count - 1) : 0.0;
    CurveLock guard(curve);
    for (int k = 0; k < count; ++k) {
        const double f = k == count - 1 ? high : low + k * step;
        result->frequencies[k] = f;
        result->amplitudes[k] = evaluate(curve, f);
    }
    return result;
}

double KEqual_getAmplitude_parabol(void)
{
    return 0.0;
}

XmlObject *exportXmlEqual(const _KEqualization *curve)
{
    if (!curve)
        return nullptr;
    XmlObject *node = CreateXmlObject("EQUAL", nullptr);
    if (!node)
        return nullptr;
    CurveLock guard(curve);
    if (!addTextChild(node, "NBFREQ", intToString(curve->n)) ||
        !addTextChild(node, "INTERPOL", intToString(curve->interpolation)) ||
        !addTextChild(node, "FREQ", valuesText(curve->frequencies, curve->n)) ||
        !addTextChild(node, "AMPL", valuesText(curve->amplitudes, curve->n))) {
        DeleteRecXmlObject(node);
        return nullptr;
    }
    return node;
}

_KEqualization *extractXmlEqual(const XmlObject *tree)
{
    if (!tree || !tree->name || std::strcmp(tree->name, "EQUAL") != 0)
        return nullptr;
    const XmlObject *nbFreq = nullptr, *interpol = nullptr, *freq = nullptr, *ampl = nullptr;
    for (int i = 0; i < tree->count; ++i) {
        const XmlObject *child = tree->children[i];
        if (!child || !child->name)
            continue;
        if (std::strcmp(child->name, "NBFREQ") == 0)
            nbFreq = child;
        else if (std::strcmp(child->name, "INTERPOL") == 0)
            interpol = child;
        else if (std::strcmp(child->name, "FREQ") == 0)
            freq = child;
        else if (std::strcmp(child->name, "AMPL") == 0)
            ampl = child;
    }
    long count = 0;
    if (!nbFreq || !freq || !ampl || !parseInt(nbFreq->text, &count) || count < 0 ||
        count > KEQUAL_MAX_POINTS)
        return nullptr;
    const int n = static_cast<int>(count);
    // The count is capped above, so these are small; each list must hold count numbers.
    std::vector<double> frequencies(static_cast<size_t>(n)), amplitudes(static_cast<size_t>(n));
    if (n > 0 && (stringToDoublearray(freq->text, frequencies.data(), n) != n ||
                  stringToDoublearray(ampl->text, amplitudes.data(), n) != n))
        return nullptr;

    // Keep the points with a usable frequency, ascending; for equal frequencies the last one.
    std::vector<int> order;
    for (int i = 0; i < n; ++i)
        if (std::isfinite(frequencies[i]) && frequencies[i] >= 0.0 && std::isfinite(amplitudes[i]))
            order.push_back(i);
    if (n > 0 && order.empty())
        return nullptr;
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return frequencies[a] < frequencies[b]; });
    std::vector<double> f, a;
    for (size_t k = 0; k < order.size(); ++k) {
        const int i = order[k];
        if (k + 1 < order.size() && frequencies[order[k + 1]] == frequencies[i])
            continue;
        f.push_back(frequencies[i]);
        a.push_back(std::clamp(amplitudes[i], 0.0, kMaxAmplitude));
    }
    _KEqualization *curve = KEqual_initAmplitudes(f.data(), a.data(), static_cast<int>(f.size()));
    long type = 0;
    if (curve && interpol && parseInt(interpol->text, &type) && type >= INT_MIN &&
        type <= INT_MAX)
        curve->interpolation = static_cast<int>(type);
    return curve;
}
