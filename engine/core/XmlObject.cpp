// The tag tree: nodes, the writer (which escapes "&", "<" and ">" in texts) and the parser
// (which decodes the predefined entities and numeric character references). Both work with an
// explicit stack, so neither deep trees nor long documents cost stack or quadratic time.
#include "XmlObject.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tvr_utils.h"

namespace {

// A node that takes over name (already an engine string).
XmlObject *newNode(char *name)
{
    XmlObject *node = static_cast<XmlObject *>(tvr_malloc(sizeof(XmlObject)));
    if (!node) {
        tvr_free(name);
        return nullptr;
    }
    node->name = name;
    return node;
}

void appendUtf8(std::string &out, unsigned long code)
{
    if (code < 0x80) {
        out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (code >> 6)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (code >> 12)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (code >> 18)));
        out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

// Value of a numeric character reference body ("#65", "#x41"); 0 when it is not a valid one.
// NUL, surrogates and values above U+10FFFF are not characters and stay as written.
unsigned long numericReference(const char *body, size_t length)
{
    if (length < 2 || body[0] != '#')
        return 0;
    size_t i = 1;
    int base = 10;
    if (body[1] == 'x' || body[1] == 'X') {
        base = 16;
        i = 2;
    }
    if (i >= length)
        return 0;
    unsigned long value = 0;
    for (; i < length; ++i) {
        char c = body[i];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return 0;
        value = value * base + digit;
        if (value > 0x10FFFF)
            return 0;
    }
    if (value >= 0xD800 && value <= 0xDFFF)
        return 0;
    return value;
}

// Longest entity body worth looking at ("#x10FFFF" with leading zeros to spare).
constexpr size_t kMaxEntity = 16;

// New engine string of the length bytes at s with entities decoded; an "&" that starts no
// known entity is kept as it stands.
char *decodeText(const char *s, size_t length)
{
    if (!std::memchr(s, '&', length))
        return tvr_strndup(s, length);
    std::string out;
    out.reserve(length);
    for (size_t i = 0; i < length; ++i) {
        if (s[i] != '&') {
            out.push_back(s[i]);
            continue;
        }
        size_t limit = length - i - 1 < kMaxEntity + 1 ? length - i - 1 : kMaxEntity + 1;
        const char *body = s + i + 1;
        const char *semicolon = static_cast<const char *>(std::memchr(body, ';', limit));
        if (!semicolon) {
            out.push_back('&');
            continue;
        }
        std::string_view entity(body, static_cast<size_t>(semicolon - body));
        char single = 0;
        if (entity == "amp")
            single = '&';
        else if (entity == "lt")
            single = '<';
        else if (entity == "gt")
            single = '>';
        else if (entity == "quot")
            single = '"';
        else if (entity == "apos")
            single = '\'';
        if (single) {
            out.push_back(single);
        } else if (unsigned long code = numericReference(entity.data(), entity.size())) {
            appendUtf8(out, code);
        } else {
            out.push_back('&');
            continue;
        }
        i += entity.size() + 1;
    }
    return tvr_strndup(out.data(), out.size());
}

void appendEscaped(std::string &out, const char *text)
{
    for (const char *p = text;;) {
        size_t run = std::strcspn(p, "&<>");
        out.append(p, run);
        p += run;
        switch (*p) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        default:
            return;
        }
        ++p;
    }
}

// Writes the text form of the tree into out; false for a node without a name.
bool writeTree(std::string &out, const XmlObject *root)
{
    std::vector<std::pair<const XmlObject *, int>> stack;
    stack.emplace_back(root, -1);
    while (!stack.empty()) {
        auto &top = stack.back();
        const XmlObject *node = top.first;
        if (top.second < 0) {
            if (!node->name)
                return false;
            out.push_back('<');
            out += node->name;
            out.push_back('>');
            if (node->text)
                appendEscaped(out, node->text);
            top.second = 0;
        }
        if (top.second < node->count) {
            const XmlObject *child = node->children[top.second++];
            if (child)
                stack.emplace_back(child, -1); // invalidates top
            continue;
        }
        out += "</";
        out += node->name;
        out.push_back('>');
        stack.pop_back();
    }
    return true;
}

// Finds the next tag at or after p: open at its "<", close at its ">". False when none is left.
bool findTag(const char *p, const char **open, const char **close)
{
    const char *lt = std::strchr(p, '<');
    if (!lt)
        return false;
    const char *gt = std::strchr(lt + 1, '>');
    if (!gt)
        return false;
    *open = lt;
    *close = gt;
    return true;
}

// The tag between open and close is "/" followed by a text that begins with name.
bool closesElement(const char *open, const char *close, const char *name)
{
    const char *tag = open + 1;
    if (tag >= close || *tag != '/')
        return false;
    size_t nameLength = std::strlen(name);
    return static_cast<size_t>(close - (tag + 1)) >= nameLength &&
           std::memcmp(tag + 1, name, nameLength) == 0;
}

} // namespace

XmlObject *CreateXmlObject(const char *name, const char *text)
{
    char *nameCopy = nullptr;
    if (name && !(nameCopy = _tvr_strcpy(name)))
        return nullptr;
    XmlObject *node = newNode(nameCopy);
    if (!node)
        return nullptr;
    if (text && !(node->text = _tvr_strcpy(text))) {
        DeleteXmlObject(node);
        return nullptr;
    }
    return node;
}

int AddSubObject(XmlObject *node, XmlObject *child)
{
    if (!node)
        return -1;
    if (!child)
        return 0;
    if (node->count >= node->capacity) {
        // Geometric growth keeps long child lists linear to build.
        int slots = node->capacity > node->count ? node->capacity : node->count;
        if (slots > INT_MAX / 2)
            return -999;
        int grown = slots < 4 ? 4 : slots * 2;
        void *children = tvr_realloc(node->children, static_cast<size_t>(grown) * sizeof(XmlObject *));
        if (!children)
            return -999;
        node->children = static_cast<XmlObject **>(children);
        node->capacity = grown;
    }
    node->children[node->count++] = child;
    return 1;
}

void DeleteXmlObject(XmlObject *node)
{
    if (!node)
        return;
    tvr_free(node->name);
    tvr_free(node->text);
    tvr_free(node->children);
    tvr_free(node);
}

void DeleteRecXmlObject(XmlObject *node)
{
    std::vector<XmlObject *> pending;
    if (node)
        pending.push_back(node);
    while (!pending.empty()) {
        XmlObject *current = pending.back();
        pending.pop_back();
        for (int i = 0; i < current->count; ++i)
            if (current->children[i])
                pending.push_back(current->children[i]);
        DeleteXmlObject(current);
    }
}

char *CreateBeginXmlFlag(const char *name)
{
    if (!name)
        return nullptr;
    std::string tag = std::string("<") + name + ">";
    return tvr_strndup(tag.data(), tag.size());
}

char *CreateEndXmlFlag(const char *name)
{
    if (!name)
        return nullptr;
    std::string tag = std::string("</") + name + ">";
    return tvr_strndup(tag.data(), tag.size());
}

char *XmlToString2(char *prefix, const XmlObject *node)
{
    std::string out;
    bool written = false;
    if (node) {
        try {
            written = writeTree(out, node);
        } catch (const std::bad_alloc &) {
            written = false;
        }
    }
    if (!written) {
        tvr_free(prefix); // the prefix is consumed either way
        return nullptr;
    }
    size_t prefixLength = prefix ? std::strlen(prefix) : 0;
    char *result = static_cast<char *>(tvr_realloc(prefix, prefixLength + out.size() + 1));
    if (!result) {
        tvr_free(prefix);
        return nullptr;
    }
    std::memcpy(result + prefixLength, out.data(), out.size());
    result[prefixLength + out.size()] = '\0';
    return result;
}

char *FindXmlFlag(const char **cursor)
{
    if (!cursor || !*cursor)
        return nullptr;
    const char *open;
    const char *close;
    if (!findTag(*cursor, &open, &close))
        return nullptr;
    *cursor = close + 1;
    return tvr_strndup(open + 1, static_cast<size_t>(close - open - 1));
}

int IsEndFlag(const char *tag)
{
    return tag && tag[0] == '/';
}

int IsEndFlagOf(const char *tag, const char *name)
{
    if (!tag || !name || tag[0] != '/')
        return 0;
    return std::strncmp(tag + 1, name, std::strlen(name)) == 0;
}

namespace {

bool blank(const char *p, const char *end)
{
    for (; p < end; ++p)
        if (*p != ' ' && *p != '\t' && *p != '\n' && *p != '\r')
            return false;
    return true;
}

bool blank(const char *p)
{
    return blank(p, p + std::strlen(p));
}

// Parses one element from *cursor (its start tag already read when name is given). A wrong end
// tag refuses the whole element. With keepText, a node with children also keeps the text that
// stands before its first child when that text is not blank (the writer puts a node's text
// there).
XmlObject *parseElement(const char **cursor, const char *name, bool keepText)
{
    if (!cursor || !*cursor)
        return nullptr;
    const char *p = *cursor;
    XmlObject *root;
    if (name) {
        root = CreateXmlObject(name, nullptr);
    } else {
        const char *open;
        const char *close;
        if (!findTag(p, &open, &close))
            return nullptr;
        p = close + 1;
        root = newNode(tvr_strndup(open + 1, static_cast<size_t>(close - open - 1)));
    }
    if (!root || !root->name) {
        DeleteXmlObject(root);
        return nullptr;
    }

    // Open elements, innermost last; each remembers where its content starts and where its first
    // child's start tag stands. Children are attached to their parent when they close, so every
    // open element owns its subtree.
    struct Frame {
        XmlObject *node;
        const char *content;
        const char *firstChild;
    };
    Frame stack[XML_MAX_DEPTH];
    int depth = 0;
    stack[depth++] = {root, p, nullptr};
    XmlObject *result = nullptr;
    bool failed = false;

    while (!failed && !result) {
        const char *open;
        const char *close;
        if (!findTag(p, &open, &close)) { // unterminated
            p += std::strlen(p);
            failed = true;
            break;
        }
        p = close + 1;
        if (open[1] != '/') {
            if (depth == XML_MAX_DEPTH) {
                failed = true;
                break;
            }
            XmlObject *child = newNode(tvr_strndup(open + 1, static_cast<size_t>(close - open - 1)));
            if (!child || !child->name) {
                DeleteXmlObject(child);
                failed = true;
                break;
            }
            if (!stack[depth - 1].firstChild)
                stack[depth - 1].firstChild = open;
            stack[depth++] = {child, p, nullptr};
            continue;
        }
        Frame top = stack[--depth];
        if (!closesElement(open, close, top.node->name)) {
            DeleteRecXmlObject(top.node);
            failed = true;
            break;
        }
        const char *textEnd = top.node->count == 0 ? open : top.firstChild;
        bool withText = top.node->count == 0 || (keepText && !blank(top.content, textEnd));
        if (withText &&
            !(top.node->text = decodeText(top.content, static_cast<size_t>(textEnd - top.content)))) {
            DeleteRecXmlObject(top.node);
            failed = true;
            break;
        }
        if (depth == 0) {
            result = top.node;
        } else if (AddSubObject(stack[depth - 1].node, top.node) != 1) {
            DeleteRecXmlObject(top.node);
            failed = true;
        }
    }
    while (depth > 0)
        DeleteRecXmlObject(stack[--depth].node);
    *cursor = p;
    return result;
}

// A whole document: one root element with nothing but blanks before and after it.
XmlObject *parseDocument(const char *text, bool keepText)
{
    if (!text)
        return nullptr;
    const char *lt = std::strchr(text, '<');
    if (!lt || !blank(text, lt))
        return nullptr;
    const char *cursor = text;
    XmlObject *root = parseElement(&cursor, nullptr, keepText);
    if (root && !blank(cursor)) {
        DeleteRecXmlObject(root);
        return nullptr;
    }
    return root;
}

} // namespace

XmlObject *XmlParserFromString(const char *text)
{
    return parseDocument(text, false);
}

XmlObject *XmlParserFromStringKeepingText(const char *text)
{
    return parseDocument(text, true);
}

XmlObject *XmlParserFromString2(const char **cursor, const char *name)
{
    return parseElement(cursor, name, false);
}

void PrintXmlObject(void) {}

void printNSpace(int n)
{
    for (int i = 0; i < n; ++i)
        std::fputs("  ", stdout);
}

void PrintXmlObjectRec(const XmlObject *node, int depth)
{
    if (!node)
        return;
    printNSpace(depth);
    std::printf("header : %s\n", node->name ? node->name : "");
    if (node->text) {
        printNSpace(depth + 1);
        std::printf("body   : %s\n", node->text);
    }
    for (int i = 0; i < node->count; ++i)
        PrintXmlObjectRec(node->children[i], depth + 1);
}
