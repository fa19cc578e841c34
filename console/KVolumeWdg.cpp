#include "KVolumeWdg.h"
#include "KNameFit.h"

#include "KLevelText.h"
#include "KMeter.h"
#include "KSlider.h"
#include "KSliderMax.h"
#include "KSliderMin.h"
#include "KStripParts.h"
#include "KStyleMax.h"
#include "KStyleMin.h"
#include "KStylePano.h"
#include "KStyleVol.h"
#include "KValidator.h"
#include "KVolumeUI.h"

#include "KButton.h"
#include "KPictureCache.h"
#include "KSliderVol.h"
#include "KTextBox.h"

#include <QButtonGroup>
#include <QDoubleValidator>
#include <QDrag>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStyle>

#include <algorithm>

namespace {
// Room for "dB" up to the meters at 63, as on the master strip.
const QRect UnitArea(41, 57, 22, 17);
const QString MuteOn = QStringLiteral("Img/MuteOn");
const QString MuteOff = QStringLiteral("Img/MuteOff");
const QString SoloOn = QStringLiteral("Img/SoloOn");
const QString SoloOff = QStringLiteral("Img/SoloOff");

template <class Handle>
Handle* limitHandle(QWidget* parent, QStyle* style, int x, int y, int height)
{
    auto* handle = new Handle(parent);
    handle->setOrientation(Qt::Vertical);
    handle->setStyle(style);
    handle->setRange(-240, 60);
    handle->setPageStep(1);
    handle->setGeometry(x, y, 4, height);
    return handle;
}
}

KVolumeWdg::KVolumeWdg(QString name, KVirtualUI::KStructVol record, int verticalOrigin,
                       KVirtualUI::VolUIMode mode, KVolumeUI* row, QWidget* parent)
    // Built in the strip container and never moved: each child joins the palette, font and focus
    // chain of the container's window once, at the end. (A strip moved into the container after
    // it was built would take them all again, and one moved out of the window would walk the
    // window's whole focus chain, which makes a large console quadratic to build.)
    : QWidget(parent), m_row(row), m_name(std::move(name)), m_mode(mode), m_origin(verticalOrigin),
      m_min(record.min), m_max(record.max)
{
    using namespace KStripParts;
    const int o = verticalOrigin;
    setFixedSize(Width, Height);
    setAcceptDrops(true);
    // The strip's background pictures are painted by the strip itself (see paintEvent): the
    // background covers it whole, so nothing beneath needs painting.
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The font before the name: the name is measured once, in the font it is shown in.
    m_nameBox = new KTextBox(86, QString(), this);
    m_nameBox->setGeometry(2, 2, 86, 17);
    m_nameBox->setFont(QFont(QStringLiteral("Tahoma"), 11));
    showName();

    m_panEdit = valueField(this, QStringLiteral("#ffffff"), 4, 32, 30, 17);
    m_panEdit->setValidator(new KValidator(m_panEdit));
    m_panSlider = new KSlider(Qt::Horizontal, this);
    m_panSlider->setStyle(KStylePano::shared());
    m_panSlider->setRange(-100, 100);
    m_panSlider->setPageStep(1);
    m_panSlider->setGeometry(38, 32, 45, 17);

    m_levelEdit = valueField(this, QStringLiteral("#ff9900"), 3, 57, 32, 17);
    auto* levelValidator = new QDoubleValidator(m_levelEdit);
    levelValidator->setLocale(QLocale::c());
    m_levelEdit->setValidator(levelValidator);

    m_fader = new KSliderVol(Qt::Vertical, this);
    m_fader->setStyle(KStyleVol::shared());
    m_fader->setRange(-240, 60);
    m_fader->setPageStep(1);
    m_fader->setGeometry(38, 77, 20, o);
    if (mode == KVirtualUI::RuleEdit) {
        m_maxHandle = limitHandle<KSliderMax>(this, KStyleMax::shared(), 55, 77, o);
        m_minHandle = limitHandle<KSliderMin>(this, KStyleMin::shared(), 37, 77, o);
    }
    // The strip draws its two meters itself (see paintEvent): a level change takes one paint
    // event for the strip rather than one per meter, which counts with a hundred strips playing.
    m_meterLeft = meter(this, 63, 57);
    m_meterRight = meter(this, 74, 57);
    const auto repaint = [this](const QRect&) { repaintMeters(); };
    m_meterLeft->setDrawnByParent(repaint);
    m_meterRight->setDrawnByParent(repaint);

    m_mute = button(this, 2, 77, 33, 31, MuteOn, QStringLiteral("Img/MuteOver"), MuteOff,
                    QStringLiteral("Mute"));
    m_mute->setCheckable(true);
    m_solo = button(this, 2, 110, 33, 31, SoloOn, QStringLiteral("Img/SoloOver"), SoloOff,
                    QStringLiteral("Solo"));
    m_solo->setCheckable(true);

    connect(m_fader, &QSlider::valueChanged, this, &KVolumeWdg::changeVolume, Qt::DirectConnection);
    connect(m_panSlider, &QSlider::valueChanged, this, &KVolumeWdg::newUserPano,
            Qt::DirectConnection);
    connect(m_panEdit, &QLineEdit::editingFinished, this, &KVolumeWdg::setPano);
    connect(m_levelEdit, &QLineEdit::editingFinished, this, &KVolumeWdg::setLabel);
    connect(m_mute, &QPushButton::clicked, this, &KVolumeWdg::changeMute);
    connect(m_solo, &QPushButton::clicked, this, &KVolumeWdg::changeSolo);

    if (mode == KVirtualUI::RuleEdit) {
        const auto hiddenButton = [this](const QString& text, const QString& tip, QRect geometry) {
            auto* fix = new QPushButton(text, this);
            fix->setToolTip(tip);
            fix->setGeometry(geometry);
            fix->hide();
        };
        hiddenButton(QStringLiteral("Max>"), tr("Fixer max"), QRect(20, 40, 35, 20));
        hiddenButton(QStringLiteral("Min>"), tr("Fixer min"), QRect(20, o + 20, 35, 20));
        auto* maxLabel = new QLabel(KLevelText::levelText(record.max), this);
        maxLabel->setGeometry(55, 45, 25, 10);
        maxLabel->hide();
        auto* minLabel = new QLabel(KLevelText::levelText(record.min), this);
        minLabel->setGeometry(55, o + 25, 25, 10);
        minLabel->hide();

        m_lockModes = new QButtonGroup(this);
        const QString labels[] = {tr("Libre"), tr("Liée"), tr("Verrouillée")};
        for (int id = 0; id < 3; ++id) {
            auto* radio = new QRadioButton(labels[id], this);
            // Three rows above the remove button, each label whole within the strip: a longer
            // label takes a smaller font rather than running past the edge.
            QFont font = radio->font();
            while (radio->sizeHint().width() > Width - 8 && font.pointSize() > 6) {
                font.setPointSize(font.pointSize() - 1);
                radio->setFont(font);
            }
            radio->setGeometry(5, 262 + 15 * id, radio->sizeHint().width(),
                               std::min(radio->sizeHint().height(), 17));
            m_lockModes->addButton(radio, id);
            connect(radio, &QRadioButton::clicked, this, &KVolumeWdg::radioButtCheck);
        }

        m_remove = button(this, 78, 314, 10, 9, QString(), QStringLiteral("Img/CloseOver"),
                          QStringLiteral("Img/CloseOff"), tr("Supprimer l'élément"));
        connect(m_remove, &KButton::isClicked, this, &KVolumeWdg::closeWdg);
        connect(m_maxHandle, &QSlider::sliderReleased, this, &KVolumeWdg::setMax);
        connect(m_minHandle, &QSlider::sliderReleased, this, &KVolumeWdg::setMin);
    }
    showRecord(record);
}

KSliderMax* KVolumeWdg::maxHandle()
{
    if (!m_maxHandle) {
        m_maxHandle = limitHandle<KSliderMax>(this, KStyleMax::shared(), 55, 77, m_origin);
        m_maxHandle->hide();
        m_maxHandle->setValue(int(m_max));
    }
    return m_maxHandle;
}

KSliderMin* KVolumeWdg::minHandle()
{
    if (!m_minHandle) {
        m_minHandle = limitHandle<KSliderMin>(this, KStyleMin::shared(), 37, 77, m_origin);
        m_minHandle->hide();
        m_minHandle->setValue(int(m_min));
    }
    return m_minHandle;
}

int KVolumeWdg::lowestLevel() const
{
    // Without handles, the limits they would show, within their range.
    return m_minHandle ? m_minHandle->value() : std::clamp(int(m_min), -240, 60);
}

int KVolumeWdg::highestLevel() const
{
    return m_maxHandle ? m_maxHandle->value() : std::clamp(int(m_max), -240, 60);
}

KVolumeWdg::~KVolumeWdg()
{
    // A field losing focus while the strip goes must not reach it half-destroyed.
    m_levelEdit->disconnect(this);
    m_panEdit->disconnect(this);
}

void KVolumeWdg::changeName(const QString& name)
{
    m_name = name;
    showName();
}

void KVolumeWdg::showName()
{
    // A long name ends in an ellipsis, its start readable; the tooltip holds it whole.
    m_nameBox->setText(KNameFit::fitted(m_nameBox, m_name, m_nameBox->width() - 2));
    m_nameBox->setToolTip(m_name);
}

double KVolumeWdg::getVolume() const
{
    return m_fader->value();
}

bool KVolumeWdg::isEltMute() const
{
    return m_mute->isChecked();
}

int KVolumeWdg::lockMode() const
{
    return m_lockModes ? m_lockModes->checkedId() : 0;
}

void KVolumeWdg::setJaugeLeft(double value)
{
    m_meterLeft->setLevel(int(value));
}

void KVolumeWdg::setJaugeRight(double value)
{
    m_meterRight->setLevel(int(value));
}

void KVolumeWdg::setMuteUI(bool on)
{
    KStripParts::showChecked(m_mute, on, MuteOn, MuteOff);
}

void KVolumeWdg::setSoloUI(bool on)
{
    KStripParts::showChecked(m_solo, on, SoloOn, SoloOff);
}

void KVolumeWdg::showRecord(const KVirtualUI::KStructVol& record)
{
    m_min = record.min;
    m_max = record.max;
    {
        const QSignalBlocker faderBlocker(m_fader);
        const QSignalBlocker panBlocker(m_panSlider);
        m_fader->setValue(record.level);
        m_panSlider->setValue(KLevelText::panToSlider(record.pan));
        moveHandles(record.min, record.max);
    }
    m_levelEdit->setText(KLevelText::levelText(record.level));
    m_panEdit->setText(KLevelText::panText(m_panSlider->value()));
    setMuteUI(record.mute);
    setSoloUI(record.solo);
    if (m_lockModes)
        m_lockModes->button(record.mode == 1 || record.mode == 2 ? record.mode : 0)
            ->setChecked(true);
}

void KVolumeWdg::setMute(bool on)
{
    m_row->changeMute(m_name, on);
    setMuteUI(on);
}

void KVolumeWdg::setSolo(bool on)
{
    m_row->changeSolo(m_name, on);
    setSoloUI(on);
}

void KVolumeWdg::zoom()
{
    m_row->zoom(m_name);
}

void KVolumeWdg::fixVisible(bool pinned)
{
    m_row->changeVisible(m_name, pinned);
}

void KVolumeWdg::closeWdg()
{
    m_row->resetWidgets(m_name);
}

void KVolumeWdg::changeVolume(int level)
{
    level = std::max(std::min(level, highestLevel()), lowestLevel());
    m_row->changeVolume(m_name, level);
}

void KVolumeWdg::setVolume(int level)
{
    if (level < -240 || level > 60)
        return;
    {
        const QSignalBlocker blocker(m_fader);
        m_fader->setValue(level);
    }
    m_levelEdit->setText(KLevelText::levelText(level));
    if (lockMode() == 2) {
        m_min = m_max = level;
        m_row->changeMin(m_name, level);
        m_row->changeMax(m_name, level);
        moveHandles(level, level);
    }
}

void KVolumeWdg::setLabel()
{
    if (const std::optional<int> level = KStripParts::takeTypedLevel(m_levelEdit, m_fader))
        changeVolume(*level);
}

void KVolumeWdg::moveHandles(int min, int max)
{
    // Handles not built yet take the limits when they are.
    if (m_minHandle)
        m_minHandle->setValue(min);
    if (m_maxHandle)
        m_maxHandle->setValue(max);
}

void KVolumeWdg::setMin()
{
    m_min = minHandle()->value();
    if (m_min > m_max) {
        maxHandle()->setValue(int(m_min));
        setMax();
    }
    if (m_min > m_fader->value()) {
        m_fader->setValue(int(m_min));
        m_levelEdit->setText(KLevelText::levelText(m_fader->value()));
    }
    m_row->changeMin(m_name, int(m_min));
}

void KVolumeWdg::setMax()
{
    m_max = maxHandle()->value();
    if (m_min > m_max) {
        minHandle()->setValue(int(m_max));
        setMin();
    }
    if (m_max < m_fader->value()) {
        m_fader->setValue(int(m_max));
        m_levelEdit->setText(KLevelText::levelText(m_fader->value()));
    }
    m_row->changeMax(m_name, int(m_max));
}

void KVolumeWdg::radioButtCheck()
{
    const int mode = lockMode();
    const int level = m_fader->value();
    m_row->changeStatus(m_name, mode, level);
    if (mode == 2) {
        m_min = m_max = level;
    } else if (m_min == m_max) {
        m_min = -240;
        m_max = 60;
    } else {
        return;
    }
    m_row->changeMin(m_name, int(m_min));
    m_row->changeMax(m_name, int(m_max));
    moveHandles(int(m_min), int(m_max));
}

void KVolumeWdg::resetWdg()
{
    if (m_lockModes)
        m_lockModes->button(0)->click();
    minHandle()->setValue(minHandle()->minimum());
    setMin();
    maxHandle()->setValue(maxHandle()->maximum());
    setMax();
    changeMute(false);
    changeSolo(false);
    changeVolume(0);
}

void KVolumeWdg::newUserPano(int value)
{
    m_panEdit->setText(KLevelText::panText(value));
    m_row->setPano(m_name, value / 100.0);
}

void KVolumeWdg::setPano()
{
    newUserPano(KStripParts::takeTypedPan(m_panEdit, m_panSlider));
}

void KVolumeWdg::changeMute(bool on)
{
    m_row->changeMute(m_name, on);
    if (on) {
        m_row->changeSolo(m_name, false);
        setSoloUI(false);
    }
}

void KVolumeWdg::changeSolo(bool on)
{
    m_row->changeSolo(m_name, on);
    if (on) {
        m_row->changeMute(m_name, false);
        setMuteUI(false);
    }
}

void KVolumeWdg::repaintMeters()
{
    // Any change repaints both meters whole, one rectangle the same on every strip: a tick
    // changes the meters of a hundred strips at once, and rectangles sharing their top and
    // bottom join into one band of the window's repaint region, cheaply, where rectangles of
    // different heights make a region of many bands whose joins cost more than the painting.
    update(m_meterLeft->geometry() | m_meterRight->geometry());
}

void KVolumeWdg::paintEvent(QPaintEvent* event)
{
    // The strip's background, the pan box, the level box, the level's unit and the meters,
    // beneath every child. The unit is drawn as a label in the strip's font and palette would
    // draw it, without a label widget of its own.
    // Each rectangle on its own: a rectangle clip keeps the pictures' blits plain copies.
    static const QString backgroundName = QStringLiteral("Img/VolumeBG");
    static const QString panBoxName = QStringLiteral("Img/PanoBG");
    static const QString levelBoxName = QStringLiteral("Img/ValueBG");
    static const QString unit = QStringLiteral("dB");
    // A meter tick repaints the meters alone: where both meters cover an area with opaque
    // pictures, the background, boxes and unit beneath are neither looked up nor painted.
    const QRect meters = m_meterLeft->geometry() | m_meterRight->geometry();
    const bool metersOpaque = m_meterLeft->paintsOpaque() && m_meterRight->paintsOpaque()
                              && m_meterLeft->geometry().right() + 1 >= m_meterRight->x()
                              && m_meterLeft->y() == m_meterRight->y()
                              && m_meterLeft->height() == m_meterRight->height();
    QPixmap background;
    QPixmap panBox;
    QPixmap levelBox;
    QPainter painter(this);
    for (const QRect& area : event->region()) {
        painter.setClipRect(area);
        if (!metersOpaque || !meters.contains(area)) {
            if (background.isNull()) {
                background = KPictureCache::opaquePixmap(backgroundName);
                panBox = KPictureCache::opaquePixmap(panBoxName);
                levelBox = KPictureCache::opaquePixmap(levelBoxName);
            }
            const QRect panArea(QPoint(3, 30), panBox.deviceIndependentSize().toSize());
            const QRect levelArea(QPoint(3, 57), levelBox.deviceIndependentSize().toSize());
            painter.drawPixmap(0, 0, background);
            if (area.intersects(panArea))
                painter.drawPixmap(panArea.topLeft(), panBox);
            if (area.intersects(levelArea))
                painter.drawPixmap(levelArea.topLeft(), levelBox);
            if (area.intersects(UnitArea))
                style()->drawItemText(&painter, UnitArea,
                                      Qt::AlignLeft | Qt::AlignVCenter | Qt::TextForceLeftToRight,
                                      palette(), isEnabled(), unit, QPalette::WindowText);
        }
        m_meterLeft->paintInParent(painter, area);
        m_meterRight->paintInParent(painter, area);
    }
}

void KVolumeWdg::mousePressEvent(QMouseEvent* event)
{
    if (m_mode != KVirtualUI::RuleEdit || event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    auto* data = new QMimeData;
    data->setData(QStringLiteral("VolumeWdg"), m_name.toUtf8());
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    drag->setPixmap(grab());
    drag->setHotSpot(event->position().toPoint());
    if (drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction) == Qt::MoveAction)
        hide();
    else
        show();
    m_row->endDrop();
}
