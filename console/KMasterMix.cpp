#include "KMasterMix.h"

#include "KLevelText.h"
#include "KSlider.h"
#include "KStripParts.h"
#include "KStyleJaugeStereo.h"
#include "KStylePano.h"
#include "KStyleSlider.h"
#include "KValidator.h"

#include "KAudioFilePlayer.h"
#include "KCtrlFile.h"
#include "KButton.h"
#include "KPictureCache.h"
#include "KTextBox.h"

#include <QDoubleValidator>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

KMasterMix::KMasterMix(KCtrlFile* document, QWidget* parent)
    : QWidget(parent), m_document(document), m_transport(new KAudioFilePlayer(document, this))
{
    using namespace KStripParts;
    setFixedSize(103, 347);
    picture(this, QStringLiteral("Img/MasterBG"), 0, 0, 94, 347);
    QLabel* edge = picture(this, QStringLiteral("Img/LabelBG"), 94, 0, 9, 347);
    edge->setStyleSheet(QStringLiteral("QLabel { background : #202020}"));

    auto* title = new KTextBox(86, QStringLiteral("MASTER"), this);
    title->setGeometry(5, 5, 86, 17);
    QFont titleFont(QStringLiteral("Tahoma"), 11);
    titleFont.setBold(true);
    title->setFont(titleFont);
    QPalette titlePalette = title->palette();
    titlePalette.setColor(QPalette::WindowText, QColor(153, 153, 153));
    title->setPalette(titlePalette);

    picture(this, QStringLiteral("Img/PanoBG"), 6, 30, 84, 22);
    m_panEdit = valueField(this, QStringLiteral("#ffffff"), 7, 32, 30, 17);
    m_panEdit->setValidator(new KValidator(m_panEdit));
    m_panEdit->setText(QStringLiteral("C"));
    m_panSlider = new KSlider(Qt::Horizontal, this);
    m_panSlider->setStyle(KStylePano::shared());
    m_panSlider->setRange(-100, 100);
    m_panSlider->setValue(0);
    m_panSlider->setGeometry(41, 32, 45, 17);

    picture(this, QStringLiteral("Img/ValueBG"), 6, 57, 32, 17);
    auto* unit = new QLabel(QStringLiteral("dB"), this);
    // Room for "dB" in the larger fonts a page may give; the meters start at 65.
    unit->setGeometry(42, 57, 22, 17);
    m_levelEdit = valueField(this, QStringLiteral("#ff9900"), 6, 57, 32, 17);
    auto* levelValidator = new QDoubleValidator(m_levelEdit);
    levelValidator->setLocale(QLocale::c());
    m_levelEdit->setValidator(levelValidator);
    m_levelEdit->setText(KLevelText::levelText(0)); // as every strip reads its level

    m_fader = new KSlider(Qt::Vertical, this);
    m_fader->setStyle(KStyleSlider::shared());
    m_fader->setRange(-240, 60);
    m_fader->setValue(0);
    m_fader->setGeometry(39, 77, 20, 184);
    m_meterLeft = meter(this, 65, 57);
    m_meterRight = meter(this, 75, 57);

    m_mute = button(this, 5, 77, 33, 31, QStringLiteral("Img/MuteOn"),
                    QStringLiteral("Img/MuteOver"), QStringLiteral("Img/MuteOff"),
                    QStringLiteral("Mute"));
    m_mute->setCheckable(true);
    m_clear = button(this, 5, 110, 33, 31, QString(), QStringLiteral("Img/ClearOver"),
                     QStringLiteral("Img/ClearOff"), tr("Réinitialiser"));
    m_equaliser = button(this, 9, 145, 26, 22, QString(), QStringLiteral("Img/EQOver"),
                         QStringLiteral("Img/EQOff"), tr("Egalisation"));
    m_equaliser->hide();

    connect(m_fader, &QSlider::valueChanged, this, &KMasterMix::newUserVolume);
    connect(m_panSlider, &QSlider::valueChanged, this, &KMasterMix::newUserPano);
    connect(m_panEdit, &QLineEdit::editingFinished, this, &KMasterMix::setPano);
    connect(m_levelEdit, &QLineEdit::editingFinished, this, &KMasterMix::setLabel);
}

KMasterMix::~KMasterMix()
{
    // A field losing focus while the window closes must not reach this half-destroyed strip.
    m_levelEdit->disconnect(this);
    m_panEdit->disconnect(this);
    // This transport never plays: unbound, it leaves the engine's output open for the players
    // that do.
    m_transport->setKFile(nullptr);
}

void KMasterMix::setKCtrlFile(KCtrlFile* document)
{
    m_transport->setKFile(document);
    m_document = document;
}

void KMasterMix::newUserVolume(int level)
{
    m_levelEdit->setText(KLevelText::levelText(level));
    emit masterValueChanged(level);
}

void KMasterMix::setLabel()
{
    if (const std::optional<int> level = KStripParts::takeTypedLevel(m_levelEdit, m_fader))
        newUserVolume(*level);
}

void KMasterMix::newUserPano(int value)
{
    m_panEdit->setText(KLevelText::panText(value));
    emit panoValueChanged(value / 100.0);
}

void KMasterMix::setPano()
{
    newUserPano(KStripParts::takeTypedPan(m_panEdit, m_panSlider));
}

void KMasterMix::applyMasterValues(double pan, int level)
{
    const QSignalBlocker blocker(this);
    const QSignalBlocker faderBlocker(m_fader);
    const QSignalBlocker panBlocker(m_panSlider);
    m_fader->setValue(level);
    m_levelEdit->setText(KLevelText::levelText(m_fader->value()));
    m_panSlider->setValue(KLevelText::panToSlider(pan));
    m_panEdit->setText(KLevelText::panText(m_panSlider->value()));
}
