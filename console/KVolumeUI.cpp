#include "KVolumeUI.h"

#include "KStripParts.h"
#include "KSuperUI.h"
#include "KVolumeWdg.h"

#include "KCtrlFile.h"
#include "KPictureCache.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>

#include <algorithm>

KVolumeUI::KVolumeUI(QMap<QString, KStructVol> records, bool closable, int verticalOrigin,
                     KVirtualUI::VolUIMode mode, KVolumeUI* parent)
    : KVolumeUI(std::move(records), closable, verticalOrigin, mode, static_cast<QWidget*>(parent),
                parent)
{
}

KVolumeUI::KVolumeUI(QMap<QString, KStructVol> records, bool closable, int verticalOrigin,
                     KVirtualUI::VolUIMode mode, KSuperUI* parent)
    : KVolumeUI(std::move(records), closable, verticalOrigin, mode, static_cast<QWidget*>(parent),
                parent)
{
}

KVolumeUI::KVolumeUI(QMap<QString, KStructVol> records, bool closable, int verticalOrigin,
                     KVirtualUI::VolUIMode mode, QWidget* parent, KVirtualUI* owner)
    : QWidget(parent), m_owner(owner), m_names(records.keys()), m_records(records.values()),
      m_origin(verticalOrigin), m_mode(mode)
{
    QPalette palette;
    palette.setColor(QPalette::WindowText, QColor(200, 200, 200, 50));
    palette.setColor(QPalette::Window, QColor(100, 100, 100));
    palette.setColor(QPalette::Base, QColor(32, 32, 32));

    m_outer = new QHBoxLayout(this);
    m_outer->setContentsMargins(0, 0, 0, 0);
    m_outer->setSpacing(0);
    m_scroll = new QScrollArea(this);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setWidgetResizable(false);
    setPixmapPath(QString());
    m_outer->addWidget(m_scroll);

    m_hint = new QLabel(mode == KVirtualUI::RuleEdit ? tr(" Glissez / Déposez vos pistes ici ")
                                                     : tr(" Cliquez sur un niveau "),
                        m_scroll);
    QFont hintFont = m_hint->font();
    hintFont.setBold(true);
    hintFont.setPointSize(14);
    m_hint->setFont(hintFont);
    m_hint->move(10, 50);
    m_hint->adjustSize();
    m_hint->hide();

    m_container = new QWidget;
    m_container->setPalette(palette);
    m_stripLayout = new QHBoxLayout(m_container);
    m_stripLayout->setContentsMargins(0, 0, 0, 0);
    m_stripLayout->setSpacing(0);
    m_stripLayout->setSizeConstraint(QLayout::SetNoConstraint);
    for (auto it = records.cbegin(); it != records.cend(); ++it)
        addStrip(it.key(), it.value(), m_strips.size());
    m_scroll->setWidget(m_container);
    // The row's background picture shows around the strips.
    m_container->setAutoFillBackground(false);

    if (closable) {
        auto* close = new QPushButton(this);
        close->setIcon(KStripParts::icon(QStringLiteral("Img/CloseGroup")));
        close->setFlat(true);
        m_outer->addWidget(close, 0, Qt::AlignTop);
        if (auto* opener = qobject_cast<KVolumeUI*>(parent))
            connect(close, &QPushButton::clicked, opener, &KVolumeUI::closeMePlease);
    }
    m_reset = new QPushButton(tr("Réinitialiser"), m_scroll);
    m_reset->move(10, verticalOrigin + (mode == KVirtualUI::RuleEdit ? 180 : 90));
    m_reset->hide();
    connect(m_reset, &QPushButton::released, this, &KVolumeUI::resetKVolUI);
    resizeContainer();
    setMinimumHeight(RowHeight + m_scroll->horizontalScrollBar()->sizeHint().height());
}

KVolumeUI::~KVolumeUI()
{
    // Strips report to this row while they go: they go first, while the row is whole.
    delete m_zoomed;
    m_zoomed = nullptr;
    const QList<KVolumeWdg*> strips = m_strips;
    m_strips.clear();
    m_byName.clear();
    qDeleteAll(strips);
}

// ---- passed to the owner

void KVolumeUI::changeVolume(const QString& name, int level)
{
    if (m_owner)
        m_owner->changeVolume(name, level);
}

QMap<QString, KVirtualUI::KStructVol> KVolumeUI::getGroupInfos(const QString& group)
{
    return m_owner ? m_owner->getGroupInfos(group) : QMap<QString, KStructVol>();
}

void KVolumeUI::changeStatus(const QString& name, int lockMode, double level)
{
    if (m_owner)
        m_owner->changeStatus(name, lockMode, level);
}

void KVolumeUI::changeMin(const QString& name, int level)
{
    if (m_owner)
        m_owner->changeMin(name, level);
}

void KVolumeUI::changeMax(const QString& name, int level)
{
    if (m_owner)
        m_owner->changeMax(name, level);
}

void KVolumeUI::changeMute(const QString& name, bool on)
{
    if (m_owner)
        m_owner->changeMute(name, on);
}

void KVolumeUI::changeSolo(const QString& name, bool on)
{
    if (m_owner)
        m_owner->changeSolo(name, on);
}

void KVolumeUI::changeVisible(const QString& name, bool pinned)
{
    if (m_owner)
        m_owner->changeVisible(name, pinned);
}

void KVolumeUI::setPano(const QString& name, double pan)
{
    if (m_owner)
        m_owner->setPano(name, pan);
}

void KVolumeUI::endDrop()
{
    if (m_owner)
        m_owner->endDrop();
}

// ---- shown here

void KVolumeUI::setVolume(const QString& name, int level)
{
    if (KVolumeWdg* shown = strip(name))
        shown->setVolume(level);
    if (m_zoomed)
        m_zoomed->setVolume(name, level);
}

void KVolumeUI::changeName(const QString& oldName, const QString& newName)
{
    KVolumeWdg* shown = m_byName.take(oldName);
    if (!shown)
        return;
    shown->changeName(newName);
    m_byName.insert(newName, shown);
}

void KVolumeUI::setKCtrlFile(KCtrlFile* document)
{
    m_document = document;
}

double KVolumeUI::getEltVolume(const QString& name) const
{
    return m_document ? m_document->getElementLevel(name) : 0.0;
}

QStringList KVolumeUI::getListElt() const
{
    QStringList names;
    for (const KVolumeWdg* shown : m_strips)
        names << shown->getElt();
    return names;
}

int KVolumeUI::horizontalScroll() const
{
    return m_scroll->horizontalScrollBar()->isVisible() ? m_scroll->horizontalScrollBar()->value()
                                                        : 0;
}

bool KVolumeUI::isAllMute() const
{
    return std::all_of(m_strips.cbegin(), m_strips.cend(),
                       [](const KVolumeWdg* shown) { return shown->isEltMute(); });
}

void KVolumeUI::setAllMute(bool on)
{
    for (KVolumeWdg* shown : m_strips)
        shown->setMute(on);
}

void KVolumeUI::clearAll()
{
    for (KVolumeWdg* shown : m_strips) {
        shown->setMute(false);
        shown->setSolo(false);
    }
}

void KVolumeUI::resetKVolUI()
{
    for (KVolumeWdg* shown : m_strips)
        shown->resetWdg();
}

void KVolumeUI::updateMuteSolo()
{
    if (!m_document)
        return;
    for (KVolumeWdg* shown : m_strips) {
        shown->setMuteUI(m_document->getEltMute(shown->getElt()));
        shown->setSoloUI(m_document->getEltSolo(shown->getElt()));
    }
}

void KVolumeUI::setPixmapPath(const QString& suffix)
{
    const QString name = m_mode == KVirtualUI::RuleEdit ? QStringLiteral("Img/VolumeBGOut") + suffix
                                                        : QStringLiteral("Img/VolumeMixOut");
    QPalette palette = m_scroll->palette();
    palette.setBrush(m_scroll->backgroundRole(), QBrush(KPictureCache::pixmap(name)));
    m_scroll->setPalette(palette);
    m_scroll->setAutoFillBackground(true);
    m_scroll->viewport()->setPalette(palette);
    m_scroll->viewport()->setAutoFillBackground(true);
}

void KVolumeUI::setJauge(const QMap<QString, QList<double>>& meters)
{
    // One look-up per meter entry: the map holds every element of the project, the row only
    // the shown ones.
    for (auto it = meters.cbegin(); it != meters.cend(); ++it) {
        KVolumeWdg* shown = m_byName.value(it.key());
        if (!shown)
            continue;
        const QList<double>& values = it.value();
        if (!values.isEmpty())
            shown->setJaugeLeft(values.at(0));
        if (values.size() > 1)
            shown->setJaugeRight(values.at(1));
    }
}

void KVolumeUI::zoom(const QString& group)
{
    if (group.isEmpty() || m_zoomed)
        return;
    m_zoomed = new KVolumeUI(getGroupInfos(group), true, m_origin, m_mode, this);
    m_zoomed->setKCtrlFile(m_document);
    m_outer->insertWidget(0, m_zoomed);
    m_zoomed->show();
    m_scroll->hide();
}

void KVolumeUI::closeMePlease()
{
    if (!m_zoomed)
        return;
    m_zoomed->hide();
    // The close button that asked is the zoomed row's own.
    m_zoomed->deleteLater();
    m_zoomed = nullptr;
    m_scroll->show();
}

void KVolumeUI::resetWidgets(const QString& name)
{
    KVolumeWdg* shown = strip(name);
    if (!shown)
        return;
    if (m_document)
        m_document->setEltStatus(name, false, false);
    emit removedElementWidget(name, m_strips.size() - 1);
    removeStrip(shown);
}

KVolumeWdg* KVolumeUI::addStrip(const QString& name, const KStructVol& record, int column)
{
    column = std::clamp(column, 0, int(m_strips.size()));
    auto* shown = new KVolumeWdg(name, record, m_origin, m_mode, this, m_container);
    m_stripLayout->insertWidget(column, shown);
    m_strips.insert(column, shown);
    m_byName.insert(name, shown);
    m_lastCreated = shown;
    m_hint->hide();
    return shown;
}

void KVolumeUI::removeStrip(KVolumeWdg* shown)
{
    shown->close();
    m_stripLayout->removeWidget(shown);
    m_strips.removeOne(shown);
    if (m_byName.value(shown->getElt()) == shown)
        m_byName.remove(shown->getElt());
    if (m_lastCreated == shown)
        m_lastCreated = nullptr;
    shown->deleteLater();
    resizeContainer();
}

void KVolumeUI::resizeContainer()
{
    const int width = std::max(int(m_strips.size()), 1) * ColumnWidth;
    m_container->setFixedSize(width, RowHeight);
}

QStringList KVolumeUI::switchedOnForRule(const QString& name) const
{
    if (m_mode != KVirtualUI::RuleEdit || !m_document)
        return {};
    const QStringList children = m_document->getSubElt(name);
    if (m_document->isGroup(name) && !children.isEmpty())
        return {name, children.first()};
    return {name};
}

void KVolumeUI::switchWidgets(const QMap<QString, KStructVol>& records, bool fromDrop,
                              int entryX, int dropX)
{
    Q_UNUSED(entryX); // a moved strip is found by its name, whatever column the drag entered
    int target = std::min((horizontalScroll() + std::max(dropX, 0)) / ColumnWidth,
                          int(m_strips.size()));
    // The row is laid out once, when every strip is in place: laying it out for each strip
    // shown and each width of the container would cost the whole row per strip.
    m_stripLayout->setEnabled(false);
    bool changed = false;
    QStringList switchOn;
    for (auto it = records.cbegin(); it != records.cend(); ++it) {
        const QString& name = it.key();
        KVolumeWdg* shown = strip(name);
        if (fromDrop) {
            if (shown) {
                const int to = std::min(target, int(m_strips.size()) - 1);
                m_strips.move(m_strips.indexOf(shown), to);
                m_stripLayout->removeWidget(shown);
                m_stripLayout->insertWidget(to, shown);
                shown->show();
            } else {
                addStrip(name, it.value(), target)->show();
            }
        } else if (!m_document) {
            continue;
        } else if (!m_document->isPlay(name)) {
            if (shown)
                removeStrip(shown);
            continue;
        } else if (!shown) {
            addStrip(name, it.value(), target)->show();
        } else {
            continue;
        }
        changed = true;
        switchOn << switchedOnForRule(name);
        if (fromDrop)
            emit addedElementWidget(name);
        ++target;
    }
    // Switched on without the rules, as one run of the document.
    if (!switchOn.isEmpty())
        m_document->setEltsStatus(switchOn, true, false);
    m_stripLayout->setEnabled(true);
    resizeContainer();
    m_stripLayout->activate();
    if (!changed)
        return;
    if (m_lastCreated)
        m_scroll->ensureWidgetVisible(m_lastCreated);
    update();
}

void KVolumeUI::showRecords(const QMap<QString, KStructVol>& records)
{
    closeMePlease();
    for (KVolumeWdg* shown : QList<KVolumeWdg*>(m_strips))
        if (!records.contains(shown->getElt()))
            removeStrip(shown);
    int column = 0;
    for (auto it = records.cbegin(); it != records.cend(); ++it, ++column) {
        KVolumeWdg* shown = strip(it.key());
        if (!shown) {
            addStrip(it.key(), it.value(), column)->show();
            continue;
        }
        shown->showRecord(it.value());
        const int at = int(m_strips.indexOf(shown));
        if (at != column) {
            m_strips.move(at, column);
            m_stripLayout->removeWidget(shown);
            m_stripLayout->insertWidget(column, shown);
        }
    }
    resizeContainer();
}
