// The older tag-text project format. The writer builds the whole text in memory and saves it
// through KSafeFile; the readers walk the file tag by tag with readUntil.
#include "KZarkOld.h"

#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "KLevels.h"
#include "KSafeFile.h"
#include "KZarkXml.h"
#include "XmlObject.h"
#include "tvr_utils.h"

namespace {

constexpr size_t kFileIdLength = 128;
// Largest plain description file read whole.
constexpr long kMaxDescriptionBytes = 256L * 1024 * 1024;

enum {
    ERR_NULL_PATH = -301,
    ERR_OPEN = -302,
    ERR_VERSION = -102,
    ERR_INCORRECT = -201,
    ERR_FMT = -203,
    ERR_SONG = -204,
    ERR_CNST = -206,
    ERR_FKEY = -207,
    ERR_MIXLAW = -208,
    ERR_NCHANNELS = -209
};

struct FileCloser {
    void operator()(FILE *file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

// Opens a regular file for reading; null otherwise (a FIFO or a device would block or not end).
FILE *openRegular(const char *path)
{
    struct stat info;
    if (!path || stat(path, &info) != 0 || !S_ISREG(info.st_mode))
        return nullptr;
    return std::fopen(path, "rb");
}

std::string takeString(char *text)
{
    std::string out = text;
    tvr_free(text);
    return out;
}

// --- Writing --------------------------------------------------------------------------------------

// "<name>text</name>" with the text escaped as the tag-tree writer does.
bool appendElement(std::string &out, const char *name, const char *text)
{
    XmlObject *node = CreateXmlObject(name, text);
    char *written = node ? XmlToString2(nullptr, node) : nullptr;
    DeleteXmlObject(node);
    if (!written)
        return false;
    out += takeString(written);
    return true;
}

std::string createBeginFlag(const std::string &name)
{
    return "<" + name + ">";
}

std::string createEndFlag(const std::string &name)
{
    return "</" + name + ">";
}

int TovraWriteBeginFlag(std::string &out, const char *root)
{
    if (!root)
        return -1;
    out += createBeginFlag(root) + "\n";
    return 1;
}

int TovraWriteEndFlag(std::string &out, const char *root)
{
    if (!root)
        return -1;
    out += "\n" + createEndFlag(root);
    return 1;
}

void TovraWriteVersion(std::string &out)
{
    out += "<VERSION>2.000</VERSION>\n\n";
}

bool writeSongInfo(std::string &out, const char *key, const char *value)
{
    return isValidSongKey(key) && appendElement(out, key, value);
}

bool TovraWriteSongInfo(std::string &out, KFile *file)
{
    out += "<SONG>";
    for (GList *l = file->songKeys.head; l; l = l->next) {
        const char *key = static_cast<const char *>(l->data);
        if (!writeSongInfo(out, key, giveSongField(file, key))) {
            std::fprintf(stderr, "!!! ERROR TovraWriteSongInfo : song key \"%s\" cannot be written\n",
                         key ? key : "");
            return false;
        }
    }
    out += "</SONG>\n";
    return true;
}

bool TovraWriteSamples(std::string &out, const KElement *elt)
{
    const KTrack *track = static_cast<const KTrack *>(elt->data);
    char size[32];
    std::snprintf(size, sizeof size, "%10lu", static_cast<unsigned long>(track->length));
    out += "<TRCK>";
    bool ok = (!track->path || appendElement(out, "FILE", track->path)) &&
              appendElement(out, "NAME", elt->name) && appendElement(out, "SIZE", size);
    out += "</TRCK>";
    return ok;
}

// One track: left out of the distributable form when it belongs to no group.
bool oWEForeach(std::string &out, const KElement *elt, bool distributable)
{
    if (elt->type != KELT_TRACK || !elt->data)
        return true;
    if (distributable && elt->parents.length == 0)
        return true;
    return TovraWriteSamples(out, elt);
}

bool TovraWriteElts(std::string &out, KFile *file, bool distributable)
{
    for (const KElement *e = file->firstCreated; e; e = e->nextCreated)
        if (!oWEForeach(out, e, distributable))
            return false;
    return true;
}

int TovraWriteID(std::string &out, KFile *file)
{
    if (!file)
        return -1;
    if (!file->fileId)
        return -2;
    out += "\n";
    return appendElement(out, "FKEY", file->fileId) ? 1 : -3;
}

// --- Reading ---------------------------------------------------------------------------------------

// The next tag's name: skips to "<" and reads up to ">". False at the end or on a too long text.
bool nextTag(FILE *file, std::string *tag)
{
    char *skipped = readUntil(file, "<");
    if (!skipped)
        return false;
    tvr_free(skipped);
    char *name = readUntil(file, ">");
    if (!name)
        return false;
    *tag = takeString(name);
    return true;
}

// The text up to "</tag>", entities decoded. False when it is missing, too long or holds tags.
bool readSection(FILE *file, const std::string &tag, std::string *value)
{
    std::string end = createEndFlag(tag);
    char *raw = readUntil(file, end.c_str());
    if (!raw)
        return false;
    // The tag-tree parser decodes the text exactly as it decodes descriptions.
    std::string wrapped = "<v>" + takeString(raw) + "</v>";
    XmlObject *node = XmlParserFromString(wrapped.c_str());
    bool ok = node && node->count == 0 && node->text;
    if (ok)
        *value = node->text;
    DeleteRecXmlObject(node);
    return ok;
}

// Skips everything up to the end tag of `tag`, tag by tag.
bool skipSection(FILE *file, const std::string &tag)
{
    const std::string end = "/" + tag;
    std::string next;
    while (nextTag(file, &next))
        if (next == end)
            return true;
    return false;
}

bool parseInt(const std::string &text, long long min, long long max, int *out)
{
    errno = 0;
    char *end = nullptr;
    long long value = std::strtoll(text.c_str(), &end, 10);
    if (end == text.c_str() || errno == ERANGE || value < min || value > max)
        return false;
    while (*end == ' ' || *end == '\t' || *end == '\n' || *end == '\r')
        ++end;
    if (*end)
        return false;
    *out = static_cast<int>(value);
    return true;
}

int loadDescFmt(FILE *file)
{
    std::fprintf(stderr, "!!! Warning : int loadDescFmt (KFile* file, FILE* dFile) is not implemented !!!\n");
    return skipSection(file, "FMT") ? 1 : ERR_FMT;
}

int loadDescSong(KFile *project, FILE *file)
{
    std::string tag, value;
    while (nextTag(file, &tag)) {
        if (tag == "/SONG")
            return 1;
        if (!isValidSongKey(tag.c_str()) || !readSection(file, tag, &value) ||
            addSong(project, tag.c_str(), value.c_str()) != 1)
            return ERR_SONG;
    }
    return ERR_SONG;
}

int loadDescId(KFile *project, FILE *file)
{
    std::string id;
    if (!readSection(file, "FKEY", &id) || id.size() != kFileIdLength)
        return ERR_FKEY;
    char *copy = _tvr_strcpy(id.c_str());
    if (!copy)
        return ERR_FKEY;
    tvr_free(project->fileId);
    project->fileId = copy;
    return 1;
}

int loadDescConst(KFile *project, KPendingElts *pending, FILE *file)
{
    std::string tag, value, name, kind, implying;
    bool hasName = false, hasKind = false, hasImplying = false;
    int min = -1, max = -1, visible = 1;
    std::vector<std::string> members;
    for (;;) {
        if (!nextTag(file, &tag))
            return ERR_CNST;
        if (tag == "/CNST")
            break;
        const bool known = tag == "NAME" || tag == "S_CONST" || tag == "S_VISIBLE" ||
                           tag == "SUB_ELT" || tag == "S_MIN" || tag == "S_MAX" || tag == "S_IMPLY";
        if (!known) {
            std::fprintf(stderr, "!!! Warning loadDescConst : Unknowns datas (%s) !!!\n", tag.c_str());
            if (!skipSection(file, tag))
                return ERR_CNST;
            continue;
        }
        if (!readSection(file, tag, &value))
            return ERR_CNST;
        if (tag == "NAME") {
            name = value;
            hasName = true;
        } else if (tag == "S_CONST") {
            kind = value;
            hasKind = true;
        } else if (tag == "S_VISIBLE") {
            visible = !(value[0] == 'N' || value[0] == 'n');
        } else if (tag == "SUB_ELT") {
            if (value.empty())
                return ERR_CNST;
            members.push_back(value);
        } else if (tag == "S_IMPLY") {
            implying = value;
            hasImplying = true;
        } else if (!parseInt(value, -1, INT_MAX, tag == "S_MIN" ? &min : &max)) {
            return ERR_CNST;
        }
    }
    if (!hasName || !hasKind)
        return ERR_CNST;
    std::vector<const char *> memberNames;
    for (const std::string &m : members)
        memberNames.push_back(m.c_str());
    KConstDesc desc{};
    desc.name = name.c_str();
    desc.kindText = kind.c_str();
    desc.min = min; // absent: 0
    desc.max = max; // absent: the member count
    desc.implying = hasImplying ? implying.c_str() : nullptr;
    desc.members = memberNames.data();
    desc.memberCount = static_cast<int>(memberNames.size());
    desc.visible = visible;
    return makeTmpConst(project, pending, &desc) == 1 ? 1 : ERR_CNST;
}

int loadDescMixlaw(KPendingElts *pending, FILE *file)
{
    std::string tag, value, element;
    int law = KMIXLAW_NONE;
    int levels[3] = {KLEVEL_UNCHANGED, KLEVEL_UNCHANGED, KLEVEL_UNCHANGED}; // default, min, max
    double coefficient = 1.0;
    for (;;) {
        if (!nextTag(file, &tag))
            return ERR_MIXLAW;
        if (tag == "/MIXLAW")
            break;
        const char *const fields[] = {"M_DEFAULT", "M_MIN", "M_MAX"};
        int field = -1;
        for (int i = 0; i < 3; ++i)
            if (tag == fields[i])
                field = i;
        const bool known = field >= 0 || tag == "M_TYPE" || tag == "M_ELT" || tag == "M_UPCOEF";
        if (!known) {
            std::fprintf(stderr, "!!! Warning loadDescMixlaw : loadDescConst datas (%s) !!!\n",
                         tag.c_str());
            if (!skipSection(file, tag))
                return ERR_MIXLAW;
            continue;
        }
        if (!readSection(file, tag, &value))
            return ERR_MIXLAW;
        if (field >= 0) {
            if (!parseInt(value, INT_MIN, INT_MAX, &levels[field]))
                return ERR_MIXLAW;
        } else if (tag == "M_ELT") {
            element = value;
        } else if (tag == "M_UPCOEF") {
            if (!tvr_parseDouble(value.c_str(), &coefficient))
                return ERR_MIXLAW;
        } else if (value == "M_EQUIV") {
            law = KMIXLAW_EQUIV;
        } else if (value == "M_BALANCE") {
            law = KMIXLAW_BALANCE;
        } else if (value == "M_UPPER") {
            law = KMIXLAW_UPCOEF;
        } else {
            return ERR_MIXLAW;
        }
    }
    if (element.empty())
        return ERR_MIXLAW;
    return KPendingElts_addMixLaw(pending, element.c_str(), law, coefficient, levels[0], levels[1],
                                  levels[2]) == 1
               ? 1
               : ERR_MIXLAW;
}

int loadDescNChannels(KFile *project, FILE *file)
{
    std::string value;
    int channels;
    if (!readSection(file, "NCHANNELS", &value) || !parseInt(value, INT_MIN, 256, &channels))
        return ERR_NCHANNELS;
    project->format->channels = channels > 0 ? channels : -1;
    return 1;
}

// Reads the sections after VERSION up to the root's end tag; 1 or a load error code.
int readSections(KFile *project, KPendingElts *pending, FILE *file, const std::string &root,
                 const char *path, bool *hasId)
{
    const std::string end = "/" + root;
    std::string tag;
    for (;;) {
        if (!nextTag(file, &tag))
            return ERR_INCORRECT;
        int result = 1;
        if (tag == end)
            return 1;
        if (tag == "FMT") {
            result = loadDescFmt(file);
        } else if (tag == "SONG") {
            result = loadDescSong(project, file);
        } else if (tag == "FKEY") {
            result = loadDescId(project, file);
            *hasId = result == 1;
        } else if (tag == "CNST") {
            result = loadDescConst(project, pending, file);
        } else if (tag == "MIXLAW") {
            result = loadDescMixlaw(pending, file);
        } else if (tag == "NCHANNELS") {
            result = loadDescNChannels(project, file);
        } else {
            std::fprintf(stderr, "!!! Warning loadDPZark : unknown section (%s) in file %s !!!\n",
                         tag.c_str(), path);
            result = skipSection(file, tag) ? 1 : ERR_INCORRECT;
        }
        if (result != 1)
            return result;
    }
}

} // namespace

int saveDescSlct(KFile *file, FILE *dFile)
{
    if (!file || !file->mixes || !dFile)
        return -1;
    std::string out;
    for (GList *l = file->mixes->order.head; l; l = l->next) {
        const KMix *mix = static_cast<const KMix *>(l->data);
        const char *tag = mix == file->mixes->defaultMix ? "SLCT_DEF" : "SLCT";
        out += createBeginFlag(tag);
        if (!appendElement(out, "NAME", mix->name))
            return -1;
        for (GSList *t = mix->tracks; t; t = t->next) {
            const KTrack *track = static_cast<const KTrack *>(t->data);
            out += createBeginFlag("S_TRACK");
            if (!track || !track->elt || !appendElement(out, "NAME", track->elt->name))
                return -1;
            out += createEndFlag("S_TRACK");
        }
        out += createEndFlag(tag) + "\n";
    }
    return std::fwrite(out.data(), 1, out.size(), dFile) == out.size() ? 1 : -1;
}

int saveDescMixConfig(KFile *, FILE *)
{
    std::fprintf(stderr, "!!! WARNING : int saveDescMixConfig (KFile* file, FILE* dFile) is not "
                         "implemented.\n");
    return 0;
}

int TovraWriteSlctCnst(KFile *, FILE *)
{
    std::fprintf(stderr, "!!! WARNING : int TovraWriteSlctCnst (KFile* file, FILE* dFile) is not "
                         "implemented.\n");
    return 0;
}

int loadDescMixConfig(KFile *, FILE *)
{
    std::fprintf(stderr, "!!! WARNING : int loadDescMixConfig (KFile* file, FILE* dFile) is not "
                         "implemented.\n");
    return 0;
}

int TovraWriteGenDatas(KFile *file, const char *path, int distributable)
{
    if (!file || !path)
        return -2;
    if (file->groupCount > 0) {
        std::fprintf(stderr, "!!! ERROR TovraWriteGenDatas : groups and rules cannot be written\n");
        return -1;
    }
    const char *root = distributable ? "TOVRA" : "TVS_PROJECT";
    std::string out;
    bool ok = TovraWriteBeginFlag(out, root) == 1;
    TovraWriteVersion(out);
    ok = ok && TovraWriteSongInfo(out, file) && TovraWriteElts(out, file, distributable != 0);
    if (ok && distributable)
        ok = TovraGenerateFileId(file) && TovraWriteID(out, file) == 1;
    if (!ok || TovraWriteEndFlag(out, root) != 1)
        return -1;
    KSafeFile *target = KSafeFile_open(path);
    if (!target)
        return -3;
    if (!KSafeFile_write(target, out.data(), out.size())) {
        KSafeFile_discard(&target);
        return -1;
    }
    return KSafeFile_commit(&target) == 1 ? 1 : -1;
}

KFile *loadDPZark(const char *path, const char *root)
{
    if (!path || !root) {
        setZarkError(ERR_NULL_PATH);
        return nullptr;
    }
    FilePtr file(openRegular(path));
    if (!file) {
        std::fprintf(stderr, "!!! ERROR loadDPZark : cannot open file \"%s\"\n", path);
        setZarkError(ERR_OPEN);
        return nullptr;
    }
    auto failed = [path](int code) -> KFile * {
        std::fprintf(stderr, "!!! ERROR loadDPZark : file \"%s\" is incorrect (%d)\n", path, code);
        setZarkError(code);
        return nullptr;
    };
    const std::string begin = createBeginFlag(root);
    char *skipped = readUntil(file.get(), begin.c_str());
    if (!skipped)
        return failed(ERR_INCORRECT);
    tvr_free(skipped);
    skipped = readUntil(file.get(), "<VERSION>");
    std::string text;
    if (!skipped)
        return failed(ERR_INCORRECT);
    tvr_free(skipped);
    double version;
    if (!readSection(file.get(), "VERSION", &text) || !tvr_parseDouble(text.c_str(), &version))
        return failed(ERR_INCORRECT);
    if (oLVersIsOk(version) < 0)
        return failed(ERR_VERSION);
    KFile *project = newZark(path, version);
    KPendingElts *pending = KPendingElts_new();
    if (!project || !pending) {
        _freeZark(project);
        KPendingElts_delete(&pending);
        return failed(ERR_INCORRECT);
    }
    bool hasId = false;
    int result = readSections(project, pending, file.get(), root, path, &hasId);
    if (result == 1) {
        int links = updateElt(project, pending);
        result = links == 1 ? 1 : (links == -2 ? ERR_MIXLAW : ERR_CNST);
    }
    // An older file without an ID gets one in memory; the file itself is left as it is.
    if (result == 1 && !hasId && std::strcmp(root, "ZARK") == 0 && !TovraGenerateFileId(project))
        result = ERR_FKEY;
    KPendingElts_delete(&pending);
    if (result != 1) {
        _freeZark(project);
        return failed(result);
    }
    setZarkError(0);
    return project;
}

int loadMediaInfo(KFile *project, const char *path)
{
    if (!project)
        return TVR_ERR_PARAM;
    FilePtr file(openRegular(path));
    if (!file)
        return -51;
    std::string tag;
    do {
        if (!nextTag(file.get(), &tag))
            return -52;
    } while (!tag.empty() && tag[0] == '?'); // an XML declaration
    if (tag != "ZARK" && tag != "TOVRA")
        return -52;
    const std::string end = "/" + tag;
    for (;;) {
        std::string section;
        if (!nextTag(file.get(), &section) || section == end)
            return -53;
        if (section == "SONG")
            return loadDescSong(project, file.get()) == 1 ? 1 : -1;
        if (section[0] != '/' && !skipSection(file.get(), section))
            return -53;
    }
}

char **GetMediaInfoFromPath(const char *path, int *count)
{
    if (count)
        *count = -1;
    KFile *project = newZark(nullptr, 2.0);
    if (!project)
        return nullptr;
    int tags = 0;
    char **infos = nullptr;
    bool ok = loadMediaInfo(project, path) == 1;
    if (ok) {
        // Copies: the temporary project and its strings go away here.
        const char **fields = giveCompleteSongInfos(project, &tags);
        if (tags > 0) {
            infos = static_cast<char **>(tvr_calloc(static_cast<size_t>(tags), sizeof(char *)));
            for (int i = 0; infos && i < tags; ++i)
                ok = ok && (infos[i] = _tvr_strcpy(fields[i])) != nullptr;
        }
        tvr_free(fields);
        if (!ok || (tags > 0 && !infos)) {
            freeMediaInfo(infos, tags);
            infos = nullptr;
            ok = false;
        }
    }
    _freeZark(project);
    if (count)
        *count = ok ? tags : -1;
    return infos;
}

void freeMediaInfo(char **infos, int count)
{
    if (!infos)
        return;
    for (int i = 0; i < count; ++i)
        tvr_free(infos[i]);
    tvr_free(infos);
}

KFile *loadDTovraFile(const char *path)
{
    FilePtr file(openRegular(path));
    if (!file) {
        std::fprintf(stderr, "Cannot open file '%s' !\n", path ? path : "");
        return nullptr;
    }
    long size = fileSize(file.get());
    std::string text;
    size_t read = 0;
    if (size >= 0 && size <= kMaxDescriptionBytes) {
        text.resize(static_cast<size_t>(size));
        read = std::fread(&text[0], 1, text.size(), file.get());
    }
    if (size < 0 || size > kMaxDescriptionBytes || read != static_cast<size_t>(size)) {
        std::fprintf(stderr, "Cannot read file '%s' (err=%ld / size=%ld)!\n", path,
                     static_cast<long>(read), size);
        return nullptr;
    }
    KFile *project = newZark(path, 2.0);
    if (project && LoadFromXmlDesc(project, text.c_str()) != 1) {
        _freeZark(project);
        project = nullptr;
    }
    return project;
}
