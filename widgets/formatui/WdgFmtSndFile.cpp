#include "WdgFmtSndFile.h"

#include "KRender.h"
#include "KTypes.h"
#include "KitFonts.h"

#include <QComboBox>
#include <QGridLayout>

namespace {
constexpr int Wav = 0x10000, Aiff = 0x20000, Au = 0x30000, Raw = 0x40000, Flac = 0x170000,
              Caf = 0x180000;
constexpr int SignedPcm8 = 1, SignedPcm16 = 2, UnsignedPcm8 = 5, ImaAdpcm = 0x12;
constexpr double CheckRate = 44100.0;

// The file major format a widget writes: the mobile compression is an AIFF file.
int fileMajor(int major)
{
    return major == WdgFmtSndFile::MobileCompression ? Aiff : major;
}
}

QList<int> WdgFmtSndFile::offeredEncodings(int major)
{
    QList<int> listed;
    switch (major) {
    case Wav:
        // 8-bit WAV files are unsigned.
        listed = {UnsignedPcm8, SignedPcm16, 3, 4, 6};
        break;
    case Aiff:
    case Au:
    case Raw:
    case Caf:
        listed = {SignedPcm8, SignedPcm16, 3, 4, 6};
        break;
    case Flac:
        listed = {SignedPcm8, SignedPcm16, 3};
        break;
    case MobileCompression:
        listed = {ImaAdpcm, 0x10, 0x11};
        break;
    default:
        break;
    }
    QList<int> offered;
    for (int encoding : listed)
        if (k_renderFormatCode(fileMajor(major) | encoding, CheckRate) != 0)
            offered << encoding;
    return offered;
}

WdgFmtSndFile::WdgFmtSndFile(int major, QWidget* parent)
    : WdgAudioFormat(parent), m_comboBox(new QComboBox(this)), m_major(major)
{
    setObjectName("WdgFmtSndFile");
    m_comboBox->setObjectName("comboBox");
    auto* layout = new QGridLayout(this);
    layout->setObjectName("gridLayout");
    layout->addWidget(m_comboBox, 0, 0);
    passParentFont(this, parent);

    m_encodings = offeredEncodings(major);
    for (int encoding : m_encodings)
        m_comboBox->addItem(QString::fromLatin1(KAudioFmt_getSubFmtName(encoding)));
    const int sixteen = m_encodings.indexOf(SignedPcm16);
    m_comboBox->setCurrentIndex(major != MobileCompression && sixteen >= 0 ? sixteen
                                : m_encodings.isEmpty()                   ? -1
                                                                          : 0);
}

int WdgFmtSndFile::getOptionValue()
{
    const int index = m_comboBox->currentIndex();
    return index < 0 ? -1 : m_encodings.at(index) + fileMajor(m_major);
}

QString WdgFmtSndFile::getOptionName()
{
    return tr("Taille des échantillons");
}

QString WdgFmtSndFile::getFormatName()
{
    if (m_major == MobileCompression)
        return tr("Compression Mobile");
    if ((m_major & KAUDIOFMT_MAJOR_MASK) == Raw)
        return tr("Non compressé");
    return QString::fromLatin1(KAudioFmt_getMajorFmtName(m_major));
}

QStringList WdgFmtSndFile::getExtensions()
{
    switch (m_major) {
    case Wav:
        return {"wav", "wave"};
    case Aiff:
        return {"aif", "aiff"};
    case Au:
        return {"au"};
    case Flac:
        return {"flac"};
    case Caf:
        return {"caf"};
    default:
        return {};
    }
}
