// The engine's small shared toolkit: counting allocator, string, list and path helpers,
// locale-independent number conversions and level units.
#include "tvr_utils.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <mutex>
#include <random>
#include <string>
#include <string_view>
#include <unistd.h>
#include <unordered_set>

namespace {

// Kept unsigned so that counting past 2^31 wraps without undefined behaviour.
std::atomic<uint32_t> g_allocations{0};
std::atomic<uint32_t> g_allocatedBytes{0};
std::atomic<uint32_t> g_releases{0};
std::atomic<uint32_t> g_releasedBytes{0};

// Counts a block the allocator returned, or writes the allocator's message for a failure.
void *countAllocation(void *block, size_t size)
{
    if (!block) {
        std::fputs(" *** ERROR - tvr_malloc() : cannot allocate memory !!! ***\n", stderr);
        return nullptr;
    }
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    g_allocatedBytes.fetch_add(static_cast<uint32_t>(size), std::memory_order_relaxed);
    return block;
}

// The C locale for number formatting; uselocale() switches only the calling thread.
locale_t cLocale()
{
    static locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    return locale;
}

// snprintf in the C locale whatever the process locale.
int formatC(char *buffer, size_t size, const char *format, ...)
{
    locale_t previous = uselocale(cLocale());
    va_list args;
    va_start(args, format);
    int written = std::vsnprintf(buffer, size, format, args);
    va_end(args);
    uselocale(previous);
    return written;
}

// New engine string holding the formatted value, at least minSize bytes long.
char *formatNew(size_t minSize, const char *format, ...)
{
    locale_t previous = uselocale(cLocale());
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int needed = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    char *result = nullptr;
    if (needed >= 0) {
        size_t size = static_cast<size_t>(needed) + 1 > minSize ? static_cast<size_t>(needed) + 1
                                                                 : minSize;
        result = static_cast<char *>(tvr_malloc(size));
        if (result)
            std::vsnprintf(result, size, format, args);
    }
    va_end(args);
    uselocale(previous);
    return result;
}

// Longest token stringToIntarray and stringToDoublearray convert.
constexpr size_t kMaxToken = 499;

// Calls convert on each blank-separated token of s, up to max tokens; stops at an empty or
// over-long token. Returns the number of tokens converted.
template <typename Convert> int forEachToken(const char *s, int max, Convert convert)
{
    if (!s || max <= 0)
        return 0;
    int stored = 0;
    const char *p = s;
    while (stored < max && *p) {
        const char *end = std::strchr(p, ' ');
        size_t length = end ? static_cast<size_t>(end - p) : std::strlen(p);
        if (length == 0 || length > kMaxToken)
            break;
        char token[kMaxToken + 1];
        std::memcpy(token, p, length);
        token[length] = '\0';
        convert(stored, token);
        ++stored;
        if (!end)
            break;
        p = end + 1;
    }
    return stored;
}

// Joins n values formatted by format (one of "%d", "%f") with single blanks.
template <typename T> char *joinValues(const T *values, int n, const char *format)
{
    if (!values || n < 0)
        return nullptr;
    std::string text;
    char buffer[512];
    for (int i = 0; i < n; ++i) {
        int written = formatC(buffer, sizeof buffer, format, values[i]);
        if (written < 0)
            return nullptr;
        if (i > 0)
            text.push_back(' ');
        if (static_cast<size_t>(written) < sizeof buffer) {
            text.append(buffer, static_cast<size_t>(written));
        } else {
            std::string big(static_cast<size_t>(written) + 1, '\0');
            formatC(&big[0], big.size(), format, values[i]);
            text.append(big.c_str(), static_cast<size_t>(written));
        }
    }
    return tvr_strndup(text.data(), text.size());
}

} // namespace

// --- Counting allocator ------------------------------------------------------------------------

void *tvr_malloc(size_t size)
{
    // A zero-byte request still gets a distinct block so that null always means failure.
    return countAllocation(std::calloc(1, size ? size : 1), size);
}

void *tvr_calloc(size_t count, size_t size)
{
    if (size != 0 && count > SIZE_MAX / size)
        return countAllocation(nullptr, 0);
    return tvr_malloc(count * size);
}

void *tvr_realloc(void *block, size_t size)
{
    g_allocatedBytes.fetch_sub(4, std::memory_order_relaxed);
    return countAllocation(std::realloc(block, size ? size : 1), size);
}

void tvr_free_called(void)
{
    // The size of the block is unknown here: each release counts 4 bytes.
    g_releases.fetch_add(1, std::memory_order_relaxed);
    g_releasedBytes.fetch_add(4, std::memory_order_relaxed);
}

void tvr_free(void *block)
{
    if (!block)
        return;
    tvr_free_called();
    std::free(block);
}

void tvr_debug(const char *, ...) {}

void printMemory(void) {}

size_t oBZero(void *buffer, size_t length)
{
    if (!buffer)
        return 0;
    std::memset(buffer, 0, length);
    return length;
}

void tvr_memcpy(int *destination, const int *source)
{
    if (destination && source)
        *destination = *source;
}

int *tvr_memcln(const int *value)
{
    if (!value)
        return nullptr;
    int *copy = static_cast<int *>(tvr_malloc(sizeof(int)));
    if (copy)
        *copy = *value;
    return copy;
}

TvrMemoryCounters tvr_memoryCounters(void)
{
    return {static_cast<int32_t>(g_allocations.load()), static_cast<int32_t>(g_allocatedBytes.load()),
            static_cast<int32_t>(g_releases.load()), static_cast<int32_t>(g_releasedBytes.load())};
}

// --- Strings, lists and files ------------------------------------------------------------------

char *tvr_strndup(const char *s, size_t length)
{
    char *copy = static_cast<char *>(tvr_malloc(length + 1));
    if (copy) {
        if (length)
            std::memcpy(copy, s, length);
        copy[length] = '\0';
    }
    return copy;
}

char *_tvr_strcpy(const char *s)
{
    return s ? tvr_strndup(s, std::strlen(s)) : nullptr;
}

char *strConcat(char *s, const char *t)
{
    if (!s)
        return _tvr_strcpy(t ? t : "");
    if (!t)
        return s;
    size_t sLength = std::strlen(s);
    size_t tLength = std::strlen(t);
    char *grown = static_cast<char *>(tvr_realloc(s, sLength + tLength + 1));
    if (!grown) {
        tvr_free(s); // s is consumed either way
        return nullptr;
    }
    std::memcpy(grown + sLength, t, tLength + 1);
    return grown;
}

int tvr_strChrNbr(const char *s, char ch)
{
    int count = 0;
    for (; s && *s; ++s)
        if (*s == ch)
            ++count;
    return count;
}

int nbChar(int64_t value)
{
    int digits = 1;
    while (value >= 10) {
        value /= 10;
        ++digits;
    }
    return digits;
}

int k_tolower(int ch)
{
    return (ch >= 'A' && ch <= 'Z') ? ch - 'A' + 'a' : ch;
}

void k_sleep(unsigned int seconds)
{
    sleep(seconds);
}

int nameInList(GSList *list, const char *s)
{
    if (!s)
        return 0;
    for (GSList *node = list; node; node = node->next)
        if (node->data && std::strcmp(static_cast<const char *>(node->data), s) == 0)
            return 1;
    return 0;
}

int isInGSList(const char *s, GSList *list)
{
    return nameInList(list, s);
}

GSList *cleanStrList(GSList *list)
{
    std::unordered_set<std::string_view> seen;
    GSList *result = nullptr;
    for (GSList *node = list; node; node = node->next) {
        const char *s = static_cast<const char *>(node->data);
        if (!s || seen.insert(std::string_view(s)).second)
            result = g_slist_prepend(result, node->data);
    }
    g_slist_free(list);
    return g_slist_reverse(result);
}

char randChar(void)
{
    // One generator for the process, seeded once: IDs made in the same second still differ.
    static std::mutex mutex;
    static std::mt19937 generator{std::random_device{}()};
    static std::uniform_int_distribution<int> distribution(0, 73);
    int offset;
    {
        std::lock_guard<std::mutex> lock(mutex);
        offset = distribution(generator);
    }
    char ch = static_cast<char>('0' + offset);
    return (ch == '<' || ch == '>') ? '0' : ch;
}

char *cleanPathFile(char *s)
{
    if (!s)
        return s;
    size_t length = std::strlen(s);
    if (length >= 2 && s[0] == '"' && s[length - 1] == '"') {
        std::memmove(s, s + 1, length - 2);
        s[length - 2] = '\0';
    }
    return s;
}

long fileSize(FILE *file)
{
    if (!file)
        return -1;
    long position = std::ftell(file);
    if (position < 0 || std::fseek(file, 0, SEEK_END) != 0)
        return -1;
    long size = std::ftell(file);
    std::fseek(file, position, SEEK_SET);
    return size;
}

char *fileWithOutExt(const char *path)
{
    if (!path)
        return nullptr;
    // Only a dot in the last path component starts an extension.
    const char *dot = std::strrchr(path, '.');
    const char *slash = std::strrchr(path, '/');
    if (!dot || (slash && dot < slash))
        return _tvr_strcpy(path);
    return tvr_strndup(path, static_cast<size_t>(dot - path));
}

char *makeRelativePath(const char *path, const char *base)
{
    if (!path || !base)
        return nullptr;
    size_t baseLength = std::strlen(base);
    if (std::strncmp(path, base, baseLength) != 0)
        return nullptr;
    return _tvr_strcpy(path + baseLength);
}

char *makePath(const char *dir, const char *name)
{
    if (!name)
        return nullptr;
    // An empty folder is the current one: the name alone, never a path from the root.
    if (!dir || !*dir)
        return _tvr_strcpy(name);
    size_t dirLength = std::strlen(dir);
    size_t nameLength = std::strlen(name);
    bool slash = dir[dirLength - 1] != '/';
    char *path = static_cast<char *>(tvr_malloc(dirLength + slash + nameLength + 1));
    if (!path)
        return nullptr;
    std::memcpy(path, dir, dirLength);
    if (slash)
        path[dirLength] = '/';
    std::memcpy(path + dirLength + slash, name, nameLength + 1);
    return path;
}

char *returnFile(const char *path)
{
    if (!path)
        return nullptr;
    const char *slash = std::strrchr(path, '/');
    return _tvr_strcpy(slash ? slash + 1 : path);
}

char *returnDir(const char *path)
{
    if (!path)
        return nullptr;
    const char *slash = std::strrchr(path, '/');
    return tvr_strndup(path, slash ? static_cast<size_t>(slash - path) + 1 : 0);
}

char *readUntil(FILE *file, const char *delimiter)
{
    if (!file || !delimiter)
        return nullptr;
    const size_t delimiterLength = std::strlen(delimiter);
    const size_t maxPrefix = 499;
    std::string bytes;
    for (;;) {
        if (bytes.size() >= delimiterLength &&
            bytes.compare(bytes.size() - delimiterLength, delimiterLength, delimiter) == 0) {
            return tvr_strndup(bytes.data(), bytes.size() - delimiterLength);
        }
        // Any later match would have more than maxPrefix bytes before it.
        if (bytes.size() >= maxPrefix + delimiterLength)
            return nullptr;
        int ch = std::fgetc(file);
        if (ch == EOF)
            return nullptr;
        bytes.push_back(static_cast<char>(ch));
    }
}

// --- Numbers and text --------------------------------------------------------------------------

char *doubleToString(double x)
{
    return formatNew(50, "%f", x);
}

char *intToString(int n)
{
    return formatNew(50, "%d", n);
}

char *doublearrayToString(const double *values, int n)
{
    return joinValues(values, n, "%f");
}

char *intarrayToString(const int *values, int n)
{
    return joinValues(values, n, "%d");
}

int stringToIntarray(const char *s, int *out, int max)
{
    if (!out)
        return 0;
    return forEachToken(s, max, [out](int i, const char *token) {
        // atoi semantics without its undefined behaviour on overflow.
        long value = std::strtol(token, nullptr, 10);
        if (value > INT_MAX)
            value = INT_MAX;
        if (value < INT_MIN)
            value = INT_MIN;
        out[i] = static_cast<int>(value);
    });
}

int stringToDoublearray(const char *s, double *out, int max)
{
    if (!out)
        return 0;
    return forEachToken(s, max, [out](int i, const char *token) {
        out[i] = g_ascii_strtod(token, nullptr);
    });
}

bool tvr_parseDouble(const char *s, double *out)
{
    if (!s || !out)
        return false;
    char *end = nullptr;
    errno = 0;
    double value = g_ascii_strtod(s, &end);
    if (end == s)
        return false;
    while (*end == ' ' || *end == '\t' || *end == '\n' || *end == '\r')
        ++end;
    if (*end != '\0' || !std::isfinite(value))
        return false;
    *out = value;
    return true;
}

// --- Level units -------------------------------------------------------------------------------

int doubleToCB(double x)
{
    // Negative and NaN gains are "no level": below silence, as callers that test for it expect.
    if (std::isnan(x) || x < 0.0)
        return -241;
    if (x == 0.0)
        return -240;
    // The level of the largest gains (30 x 1024), far from integer overflow.
    if (std::isinf(x))
        return 30720;
    // Truncated toward zero, except that a value within 0.01 of a whole level is that level: a
    // level turned into a gain (and stored with six decimals) must come back unchanged.
    double level = 30.0 * std::log2(x);
    double nearest = std::nearbyint(level);
    if (std::fabs(level - nearest) < 0.01)
        return static_cast<int>(nearest);
    return static_cast<int>(std::trunc(level));
}

double cBToDouble(int units)
{
    return std::exp2(static_cast<double>(units) / 30.0);
}
