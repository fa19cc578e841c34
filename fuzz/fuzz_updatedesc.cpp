// Reads arbitrary bytes as an update description fetched from the network: never a crash, and a
// description accepted as announcing a version always holds a valid one.
#include <cstdint>
#include <cstdlib>

#include <QByteArray>

#include "DlgUpdate.h"
#include "KXml.h"
#include "VersionRule.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    QString version;
    QString text;
    if (DlgUpdate::readDescription(bytes, version, text)) {
        if (!VersionRule::isValid(version))
            std::abort();
        // A version is never newer than itself.
        if (DlgUpdate::isMoreRecent(version, version))
            std::abort();
    }
    const KXml tree(QString::fromLatin1(bytes));
    (void)tree.cutSubOXml();
    (void)tree.getAllHeadersAndValues("TOVRA_VERSION");
    const KXml again(tree.exportToStream());
    if (again.exportToStream() != tree.exportToStream())
        std::abort();
    return 0;
}
