// The tag tree: a minimal XML tree of named nodes holding text, children or both (no attributes),
// with its writer and its parsers. It carries the project description, the mix file and the
// update check file. The writer puts a node's text before its children; the plain parser keeps
// text only for nodes without children, the text-keeping one reads both back.
#ifndef XML_OBJECT_H
#define XML_OBJECT_H

typedef struct XmlObjectStruct {
    char *name;                          // tag name, owned
    char *text;                          // raw text between the tags, owned; null when absent
    struct XmlObjectStruct **children;   // owned array of owned children
    int count;                           // number of children
    int capacity;                        // slots allocated in children (AddSubObject grows it
                                         // geometrically); code that replaces children with its
                                         // own array must set it to that array's slot count
} XmlObject;

// Deepest nesting the parser accepts; deeper documents are refused as unreadable.
enum { XML_MAX_DEPTH = 256 };

XmlObject *CreateXmlObject(const char *name, const char *text);
int AddSubObject(XmlObject *node, XmlObject *child);
void DeleteXmlObject(XmlObject *node);
void DeleteRecXmlObject(XmlObject *node);
char *CreateBeginXmlFlag(const char *name);
char *CreateEndXmlFlag(const char *name);
char *XmlToString2(char *prefix, const XmlObject *node);
char *FindXmlFlag(const char **cursor);
int IsEndFlag(const char *tag);
int IsEndFlagOf(const char *tag, const char *name);
// Parses a whole document: one root element, only blanks around it. Null when the text is
// malformed (unterminated element, wrong or stray end tag, text or a second element around the
// root, nesting deeper than XML_MAX_DEPTH).
XmlObject *XmlParserFromString(const char *text);
// The same, but a node with children keeps the text that stands before its first child when that
// text is not blank, so a tree whose nodes hold both text and children reads back as written.
XmlObject *XmlParserFromStringKeepingText(const char *text);
// Parses one element at *cursor (its start tag already read when name is given) and leaves the
// cursor after its end tag; what follows is the caller's.
XmlObject *XmlParserFromString2(const char **cursor, const char *name);
void PrintXmlObject(void);
void PrintXmlObjectRec(const XmlObject *node, int depth);
void printNSpace(int n);

#endif
