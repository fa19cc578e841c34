// Text crossing between the document and the engine: names and texts go in as UTF-8 byte
// strings and come back through AppServices, and the name arrays the engine builds are copied
// into Qt lists and released. Internal to the document library.
#ifndef ENGINE_TEXT_H
#define ENGINE_TEXT_H

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace EngineText {

// A temporary byte copy of a name for a lookup; valid while the returned array lives.
inline QByteArray key(const QString& name)
{
    return name.toUtf8();
}

// The engine's text as a QString (UTF-8, or Latin-1 for older bytes); empty for null.
QString fromEngine(const char* text);

// Copies the names of an engine name array and releases the array (not the names). The count is
// read by reference, so a call may fill it in the same expression: takeNames(f(&count), count).
QStringList takeNames(const char** names, const int& count);

// Releases a block from the engine's allocator; null is allowed.
void release(void* block);

} // namespace EngineText

#endif
