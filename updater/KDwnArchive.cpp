#include "KDwnArchive.h"

#include <QFileInfo>

const QString KDwnArchive::DAT_targz_str = QStringLiteral("tar.gz");
const QString KDwnArchive::DAT_qtcomp_str = QStringLiteral("qtcomp");

void KDwnArchive::setType(const QString& type)
{
    if (type == DAT_targz_str)
        m_type = DAT_targz;
    else if (type == DAT_qtcomp_str)
        m_type = DAT_qtcomp;
    else
        m_type = DAT_none;
}

QString KDwnArchive::getName() const
{
    return QFileInfo(m_url).fileName();
}

bool KDwnArchive::isValid() const
{
    return !m_url.isEmpty() && !m_installDir.isEmpty() && !m_files.isEmpty() && m_type != DAT_none;
}
