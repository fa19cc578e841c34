#include "KMixFile.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "KContainer.h"
#include "KLevels.h"
#include "KMix.h"
#include "KZarkXml.h"
#include "tvr_utils.h"

namespace
{

bool named(const XmlObject *node, const char *name)
{
    return node && node->name && std::strcmp(node->name, name) == 0;
}

const XmlObject *firstChild(const XmlObject *node, const char *name)
{
    for (int i = 0; node && i < node->count; ++i)
        if (named(node->children[i], name))
            return node->children[i];
    return nullptr;
}

bool addTextChild(XmlObject *parent, const char *name, const char *text)
{
    XmlObject *child = CreateXmlObject(name, text);
    if (child && AddSubObject(parent, child) == 1)
        return true;
    DeleteRecXmlObject(child);
    return false;
}

// The checks every reader of a mix file makes: root, then VERSION. 1 or a KMIXFILE_ERR code.
int checkHeader(const XmlObject *root)
{
    if (!named(root, KMIXFILE_ROOT))
        return KMIXFILE_ERR_ROOT;
    const XmlObject *version = firstChild(root, "VERSION");
    double value = 0.0;
    if (!version || !version->text || !tvr_parseDouble(version->text, &value) ||
        oLVersIsOk(value) < 0)
        return KMIXFILE_ERR_VERSION;
    return 1;
}

// The parsed tree of a mix file's description; *code says why when null.
XmlObject *readMixTree(const char *path, int *code)
{
    char *text = extractXmlDescFromOgg(path);
    if (!text) {
        *code = KMIXFILE_ERR_NO_DESC;
        return nullptr;
    }
    XmlObject *root = XmlParserFromString(text);
    tvr_free(text);
    *code = root ? 1 : KMIXFILE_ERR_PARSE;
    return root;
}

bool sameFileId(const KFile *file, const XmlObject *root)
{
    const XmlObject *key = firstChild(root, "FKEY");
    return file->fileId && key && key->text && std::strcmp(key->text, file->fileId) == 0;
}

} // namespace

XmlObject *exportTovraMixToXml(KFile *file, const char *mixName, const char *rootName)
{
    if (!file || !mixName || !rootName)
        return nullptr;
    if (!file->fileId && !TovraGenerateFileId(file))
        return nullptr;
    XmlObject *mix = exportXmlSlcts(file, mixName);
    if (!mix)
        return nullptr;
    XmlObject *root = CreateXmlObject(rootName, nullptr);
    char *version = doubleToString(getZarkLibVersion());
    const bool ok = root && version && addTextChild(root, "VERSION", version) &&
                    addTextChild(root, "FKEY", file->fileId) && AddSubObject(root, mix) == 1;
    tvr_free(version);
    if (!ok) {
        DeleteRecXmlObject(mix);
        DeleteRecXmlObject(root);
        return nullptr;
    }
    return root;
}

int exportTovraMixToFile(KFile *file, const char *path, const char *mixName, int mode)
{
    if (!file || !path || !mixName || isValid(file) == 0)
        return KMIXFILE_ERR_PARAM;
    XmlObject *root = nullptr;
    if (mode == KMIXFILE_ADD) {
        int code = 1;
        root = readMixTree(path, &code);
        if (!root)
            return code;
        // Only a mix file of this very project is added to: anything else would be lost or mixed.
        code = checkHeader(root);
        if (code == 1 && !sameFileId(file, root))
            code = KMIXFILE_ERR_FILE_ID;
        if (code != 1) {
            std::fprintf(
                stderr,
                "!!! ERROR exportTovraMixToFile : \"%s\" is not a mix file of this project\n",
                path);
            DeleteRecXmlObject(root);
            return code;
        }
        XmlObject *mix = exportXmlSlcts(file, mixName);
        if (!mix || AddSubObject(root, mix) != 1) {
            DeleteRecXmlObject(mix);
            DeleteRecXmlObject(root);
            return KMIXFILE_ERR_NO_DESC;
        }
    } else {
        root = exportTovraMixToXml(file, mixName, KMIXFILE_ROOT);
        if (!root)
            return KMIXFILE_ERR_NO_DESC;
    }
    char *text = XmlToString2(nullptr, root);
    DeleteRecXmlObject(root);
    const int result =
        text ? MeskToOgg5(nullptr, path, nullptr, text, nullptr) : KMIXFILE_ERR_PARSE;
    tvr_free(text);
    if (result < 1) {
        std::fprintf(
            stderr,
            " !!! ERROR - int exportTovraMixToFile (KFile* file) :  error during codage (%d)\n",
            result);
        return KMIXFILE_ERR_PARSE;
    }
    return result;
}

int loadTovraMixFile(KFile *file, const char *path)
{
    if (!file || !path)
        return KMIXFILE_ERR_NO_DESC;
    int code = 1;
    XmlObject *root = readMixTree(path, &code);
    if (!root)
        return code;
    code = checkHeader(root);
    if (code == 1 && !sameFileId(file, root))
        code = KMIXFILE_ERR_FILE_ID;
    // Every mix is read before any is stored, so a bad one leaves the project as it was.
    struct Pending {
        KMix *mix;
        int isDefault;
    };
    std::vector<Pending> mixes;
    std::vector<const XmlObject *> songs;
    for (int i = 0; code == 1 && i < root->count; ++i) {
        const XmlObject *child = root->children[i];
        KMix *mix = nullptr;
        int isDefault = 0;
        if (named(child, "SONG")) {
            songs.push_back(child);
            continue;
        }
        if (named(child, "TOVIX"))
            mix = ExtractXmlMix(file, child, &isDefault);
        else if (named(child, "SLCT") || named(child, "SLCT_DEF"))
            mix = ExtractXmlSlct(file, child, &isDefault);
        else
            continue;
        if (!mix) {
            std::fprintf(stderr, "!!! ERROR loadTovraMixFile : child %d of \"%s\" cannot be read\n",
                         i, path);
            code = KMIXFILE_ERR_CHILD;
            break;
        }
        mixes.push_back({mix, isDefault});
    }
    for (size_t i = 0; code == 1 && i < songs.size(); ++i)
        if (ExtractXmlSong(file, songs[i]) != 1)
            code = KMIXFILE_ERR_CHILD;
    GSList *names = nullptr;
    for (Pending &pending : mixes) {
        if (code == 1) {
            names = g_slist_append(names, _tvr_strcpy(pending.mix->name));
            addSlct(file, pending.mix, pending.isDefault ? KSLCT_AS_DEFAULT : 0);
        } else {
            KMix_delete(&pending.mix);
        }
    }
    DeleteRecXmlObject(root);
    if (code == 1)
        code = updateSomeMix(file, names);
    for (GSList *l = names; l; l = l->next)
        tvr_free(l->data);
    g_slist_free(names);
    return code;
}

char *getIdFromMixTovraFile(const char *path)
{
    int code = 1;
    XmlObject *root = path ? readMixTree(path, &code) : nullptr;
    if (!root)
        return nullptr;
    char *id = nullptr;
    const XmlObject *key = firstChild(root, "FKEY");
    if (checkHeader(root) == 1 && key && key->text)
        id = _tvr_strcpy(key->text);
    DeleteRecXmlObject(root);
    return id;
}

// --- Levels of the current mix -------------------------------------------------------------------

int initializeLevel(KFile *file)
{
    if (!file || !file->mixes || !file->mixes->current)
        return -1;
    for (GSList *l = file->mixes->current->tracks; l; l = l->next) {
        KTrack *track = static_cast<KTrack *>(l->data);
        if (track && track->elt)
            changeLevel(track->elt, 0);
    }
    return 1;
}

double getTrackLevel(KFile *file, const char *name)
{
    KElement *elt = (file && name) ? giveElt(file, name) : nullptr;
    if (!elt || !elt->levels)
        return -1.0;
    return static_cast<double>(elt->levels->level);
}

int updateLevel(KElement *elt)
{
    if (!elt)
        return 0;
    for (GList *p = elt->parents.head; p; p = p->next) {
        KElement *parent = static_cast<KElement *>(p->data);
        if (parent->mixLawType != KMIXLAW_BALANCE && parent->mixLawType != KMIXLAW_EQUIV)
            continue;
        const KGroupData *group = static_cast<const KGroupData *>(parent->data);
        for (GList *m = group ? group->members.head : nullptr; m; m = m->next) {
            const KElement *member = static_cast<const KElement *>(m->data);
            if (member->status > 0)
                return member->status;
        }
    }
    return 0;
}

int randomMix(KFile *)
{
    std::fprintf(stderr, "!!! WARNING : int randomMix (KFile* file) is not implemented !!!\n");
    return 1;
}
