#include "KSuperUI.h"

#include "KMasterMix.h"
#include "KRubberBand.h"
#include "KSlider.h"
#include "KStripParts.h"
#include "KVolumeUI.h"

#include "KButton.h"
#include "KCtrlFile.h"
#include "KPrompt.h"

#include <QDragEnterEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QSet>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>

namespace {
const QString EltNamesFormat = QStringLiteral("Tovra/eltNames");
const QString StripFormat = QStringLiteral("VolumeWdg");
constexpr int Column = KVolumeUI::ColumnWidth;
constexpr int MarkerHeight = KVolumeUI::RowHeight;
}

// ---- drop marker

KRubberBand::KRubberBand(QRubberBand::Shape shape, QColor color, QWidget* parent)
    : QRubberBand(shape, parent), m_color(color)
{
    if (parent)
        resize(parent->size());
}

void KRubberBand::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(painted(), QBrush(m_color, Qt::SolidPattern));
}

// ---- console

KSuperUI::KSuperUI(KCtrlFile* document, int verticalOrigin, KVirtualUI::VolUIMode mode,
                   QWidget* parent)
    : QWidget(parent), m_document(document), m_origin(verticalOrigin), m_mode(mode)
{
    setAcceptDrops(true);
    QMap<QString, KStructVol> topRecords;
    if (document)
        topRecords = records(document->getTopElement());

    m_master = new KMasterMix(document, this);
    auto* masterGrid = new QGridLayout;
    masterGrid->setContentsMargins(0, 0, 0, 0);
    masterGrid->setSpacing(0);
    masterGrid->addWidget(m_master, 0, 0, 1, 7);

    m_row = new KVolumeUI(topRecords, false, verticalOrigin, mode, this);
    m_row->setKCtrlFile(document);
    connect(m_row, &KVolumeUI::addedElementWidget, this, &KSuperUI::addedWidgetSlot);
    connect(m_row, &KVolumeUI::removedElementWidget, this, &KSuperUI::removedWidgetSlot);

    m_up = new QPushButton(tr("Up"), this);
    m_up->setEnabled(false);
    m_up->hide();
    m_down = new QPushButton(tr("Down"), this);
    m_down->hide();
    m_rowBox = new QVBoxLayout;
    m_rowBox->setContentsMargins(0, 0, 0, 0);
    m_rowBox->setSpacing(0);
    if (mode == KVirtualUI::RuleEdit) {
        m_rowBox->addWidget(m_up, 0, Qt::AlignHCenter);
        m_rowBox->addWidget(m_row);
        m_rowBox->addWidget(m_down, 0, Qt::AlignHCenter);
    } else {
        m_rowBox->addWidget(m_row);
    }
    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addLayout(masterGrid);
    outer->addLayout(m_rowBox, 1);

    connect(m_up, &QPushButton::released, this, &KSuperUI::moveUp);
    connect(m_down, &QPushButton::released, this, &KSuperUI::moveDown);
    connect(m_master, &KMasterMix::panoValueChanged, this, &KSuperUI::masterPanChanged);
    connect(m_master, &KMasterMix::masterValueChanged, this, &KSuperUI::masterLvlChanged);
    connect(m_master->muteButton(), &QPushButton::clicked, this, &KSuperUI::allMute);
    connect(m_master->clearButton(), &KButton::isClicked, this, &KSuperUI::allClear);
}

KSuperUI::~KSuperUI()
{
    activeExternConnections(false);
    // The strips and the master report to this console while they go (a field losing focus):
    // they go first, while the console is whole.
    delete m_row;
    m_row = nullptr;
    m_master->disconnect(this);
    delete m_master;
}

// ---- strip records

KVirtualUI::KStructVol KSuperUI::record(const QString& name) const
{
    KStructVol r;
    if (!m_document)
        return r;
    r.level = m_mode == KVirtualUI::RuleEdit ? m_document->getDefEltLevel(name)
                                             : m_document->getElementLevel(name);
    r.min = m_document->getMinEltLevel(name);
    r.max = m_document->getMaxEltLevel(name);
    if (r.min == r.max)
        r.mode = 2;
    else if (m_document->isUnderEquivConst(name, m_currentRule))
        r.mode = 1;
    r.mute = m_document->getEltMute(name);
    r.solo = m_document->getEltSolo(name);
    r.pan = m_document->getPan(name);
    return r;
}

QMap<QString, KVirtualUI::KStructVol> KSuperUI::records(const QStringList& names) const
{
    QMap<QString, KStructVol> result;
    for (const QString& name : names)
        result.insert(name, record(name));
    return result;
}

QStringList KSuperUI::playing(const QStringList& names) const
{
    QStringList result;
    if (!m_document)
        return result;
    for (const QString& name : names)
        if (m_document->isPlay(name))
            result << name;
    return result;
}

// ---- KVirtualUI

void KSuperUI::changeVolume(const QString& name, int level)
{
    if (!m_document)
        return;
    bool accepted = true;
    if (m_mode == KVirtualUI::RuleEdit) {
        accepted = m_document->setElementLevel(name, level, TMS_ALL_BUT_MOVED, true);
        if (accepted)
            markModified();
    } else {
        if (m_rulesMix)
            accepted = m_document->setElementLevel(name, level, TMS_PLAYING_BUT_MOVED, false);
        else
            m_document->setEltLevel(name, level);
        if (accepted)
            emit changedMix();
    }
    // A refused move springs back to the level the document kept.
    if (!accepted)
        setVolume(name, m_document->getElementLevel(name));
}

void KSuperUI::setVolume(const QString& name, int level)
{
    if (m_row)
        m_row->setVolume(name, level);
}

QMap<QString, KVirtualUI::KStructVol> KSuperUI::getGroupInfos(const QString& group)
{
    return m_document ? records(m_document->getSubElt(group)) : QMap<QString, KStructVol>();
}

void KSuperUI::changeStatus(const QString& name, int lockMode, double)
{
    if (!m_document)
        return;
    saveDefaultLevels();
    if (lockMode == 1)
        m_document->addToEquivConst(name, m_currentRule);
    else if (lockMode == 0 || lockMode == 2)
        m_document->removeFromEquivConst(name, m_currentRule);
    markModified();
}

void KSuperUI::changeMin(const QString& name, int level)
{
    if (!m_document)
        return;
    m_document->setEltMinLevel(name, level);
    markModified();
}

void KSuperUI::changeMax(const QString& name, int level)
{
    if (!m_document)
        return;
    m_document->setEltMaxLevel(name, level);
    markModified();
}

void KSuperUI::changeMute(const QString& name, bool on)
{
    if (!m_document)
        return;
    m_document->setEltMute(name, on);
    if (m_bulkMute)
        return;
    if (m_row)
        m_row->updateMuteSolo();
    if (!on && m_allMuted) {
        showMasterMute(false);
        emit mutedState(-1.0);
    } else if (on && !m_allMuted && m_row && m_row->isAllMute()) {
        showMasterMute(true);
        emit mutedState(m_master->fader()->value());
    }
}

void KSuperUI::changeSolo(const QString& name, bool on)
{
    if (!m_document)
        return;
    m_document->setEltSolo(name, on);
    if (m_row)
        m_row->updateMuteSolo();
}

void KSuperUI::changeVisible(const QString& name, bool pinned)
{
    if (pinned)
        m_pinned << name;
    else
        m_pinned.removeOne(name);
}

void KSuperUI::changeName(const QString& oldName, const QString& newName)
{
    if (m_row)
        m_row->changeName(oldName, newName);
    markModified();
}

void KSuperUI::setPano(const QString& name, double pan)
{
    if (!m_document)
        return;
    m_document->setPan(name, pan);
    if (m_mode == KVirtualUI::LiveMix)
        emit changedMix();
}

void KSuperUI::endDrop()
{
    m_dragging = false;
    if (m_sourceMarker)
        m_sourceMarker->hide();
    if (m_dropMarker)
        m_dropMarker->hide();
}

// ---- public operations

void KSuperUI::setKCtrlFile(KCtrlFile* document)
{
    deleteRow();
    if (document && document != m_document)
        m_master->setKCtrlFile(document);
    m_document = document;
    m_depthList = document ? document->getTopElement() : QStringList();
}

void KSuperUI::activeExternConnections(bool on)
{
    if (!m_document)
        return;
    KCtrlFile* doc = m_document;
    if (!on) {
        disconnect(doc, nullptr, this, nullptr);
        disconnect(this, &KSuperUI::needsSelectItem, this, &KSuperUI::selectItem);
        return;
    }
    const auto unique = Qt::UniqueConnection;
    if (m_mode == KVirtualUI::LiveMix) {
        connect(doc, &KCtrlFile::eltStatusChanged, this, &KSuperUI::selectItem,
                Qt::ConnectionType(Qt::DirectConnection | unique));
    } else {
        connect(this, &KSuperUI::needsSelectItem, this, &KSuperUI::selectItem,
                Qt::ConnectionType(Qt::QueuedConnection | unique));
    }
    connect(doc, &KCtrlFile::levelChanged, this, &KSuperUI::setChangedVolumes,
            Qt::ConnectionType(Qt::DirectConnection | unique));
    connect(doc, &KCtrlFile::renamedElement, this, &KSuperUI::changeName, unique);
    connect(doc, &KCtrlFile::removedElement, this, &KSuperUI::resetUI, unique);
    connect(doc, &KCtrlFile::modifiedElement, this, &KSuperUI::resetUI, unique);
    connect(doc, &KCtrlFile::removedEltFromGroup, this, &KSuperUI::resetUI, unique);
    connect(doc, &KCtrlFile::addedGroup, this, &KSuperUI::resetUI, unique);
    connect(doc, &KCtrlFile::addedTrack, this, &KSuperUI::resetUI, unique);
    connect(doc, &KCtrlFile::reloaded, this, &KSuperUI::resetUI, unique);
    if (m_mode == KVirtualUI::RuleEdit)
        emit needsSwitchToLAstRule();
}

int KSuperUI::getActiveElementsNb() const
{
    return m_document ? m_document->getGroupEltCount(m_currentRule) : 0;
}

bool KSuperUI::isFix(const QString& name) const
{
    return m_pinned.contains(name);
}

void KSuperUI::updateMasterInfo(double pan, int level)
{
    m_master->applyMasterValues(pan, level);
}

// ---- what is shown

void KSuperUI::setLevel(int depth)
{
    if (!m_document)
        return;
    m_depthList = m_document->getEltsInNthDepth(depth);
    if (m_depthList.isEmpty()) {
        for (int d = 0; d < depth; ++d)
            for (const QString& name : m_document->getEltsInNthDepth(d))
                if (m_document->isTrack(name))
                    m_depthList << name;
    }
    initVolUI(playing(m_depthList));
}

void KSuperUI::moveUp()
{
    // At the top nothing changes: the depth never goes below 0.
    if (m_depth <= 0)
        return;
    m_down->setEnabled(true);
    --m_depth;
    m_up->setEnabled(m_depth > 0);
    if (!m_document)
        return;
    m_depthList = m_document->getEltsInNthDepth(m_depth);
    for (const QString& name : std::as_const(m_pinned))
        if (!m_depthList.contains(name))
            m_depthList << name;
    initVolUI(playing(m_depthList));
}

void KSuperUI::moveDown()
{
    const int treeDepth = m_document ? m_document->getTreeDepth() : 0;
    if (m_depth + 1 >= treeDepth)
        return;
    m_up->setEnabled(true);
    ++m_depth;
    m_down->setEnabled(m_depth + 1 < treeDepth);
    m_depthList = m_document->getEltsInNthDepth(m_depth);
    for (const QString& name : std::as_const(m_pinned))
        if (!m_depthList.contains(name))
            m_depthList << name;
    initVolUI(playing(m_depthList));
}

void KSuperUI::resetUI()
{
    deleteRow();
    m_currentRule.clear();
    delete m_sourceMarker;
    m_sourceMarker = nullptr;
    delete m_dropMarker;
    m_dropMarker = nullptr;
    m_dragging = false;
    if (m_document) {
        m_depth = std::clamp(m_depth, 0, std::max(m_document->getTreeDepth() - 1, 0));
        m_depthList = m_document->getEltsInNthDepth(m_depth);
        while (m_depthList.isEmpty() && m_depth > 0) {
            --m_depth;
            m_depthList = m_document->getEltsInNthDepth(m_depth);
        }
        m_up->setEnabled(m_depth > 0);
        const QStringList shown = playing(m_depthList);
        m_document->resetSoloMute();
        initVolUI(shown);
    } else {
        m_depthList.clear();
        initVolUI({});
    }
    m_modified = false;
}

void KSuperUI::deleteRow()
{
    if (!m_row)
        return;
    m_row->hide();
    m_rowBox->removeWidget(m_row);
    // The row may be the sender of the signal being handled: delete it once that returns.
    m_row->deleteLater();
    m_row = nullptr;
}

void KSuperUI::initVolUI(const QStringList& names)
{
    // The live console keeps its row: another level or mix mostly shows the same elements, and
    // rebuilding hundreds of strips would hold the window for a long moment.
    if (m_mode == KVirtualUI::LiveMix && m_row) {
        m_row->showRecords(records(names));
        return;
    }
    deleteRow();
    QMap<QString, KStructVol> shown;
    if (m_document) {
        shown = records(names);
        if (m_mode == KVirtualUI::RuleEdit) {
            for (const QString& name : names) {
                if (m_document->isPlay(name))
                    continue;
                m_document->setEltStatus(name, true, false);
                const QStringList children = m_document->getSubElt(name);
                if (m_document->isGroup(name) && !children.isEmpty())
                    m_document->setEltStatus(children.first(), true, false);
            }
        }
    }
    m_row = new KVolumeUI(shown, false, m_origin, m_mode, this);
    m_row->setKCtrlFile(m_document);
    m_row->setPixmapPath(m_pixmapSuffix);
    m_rowBox->insertWidget(m_mode == KVirtualUI::RuleEdit ? 1 : 0, m_row);
    m_row->show();
    connect(m_row, &KVolumeUI::addedElementWidget, this, &KSuperUI::addedWidgetSlot,
            Qt::DirectConnection);
    connect(m_row, &KVolumeUI::removedElementWidget, this, &KSuperUI::removedWidgetSlot,
            Qt::DirectConnection);
}

void KSuperUI::selectItem(QStringList names)
{
    if (!m_document || !m_row)
        return;
    if (m_mode == KVirtualUI::LiveMix) {
        QStringList kept;
        for (const QString& name : std::as_const(names))
            if (m_depthList.contains(name))
                kept << name;
        if (!kept.isEmpty())
            m_row->switchWidgets(records(kept), false, 0, -1);
        return;
    }
    // Drops are checked again here: the signal may come from elsewhere than this console's drop.
    const QStringList dropped = droppedNames(names.join(u'|'));
    if (dropped.isEmpty())
        return;
    markModified();
    m_row->switchWidgets(records(dropped), true, m_entryX, m_dropX);
}

void KSuperUI::setChangedVolumes(QStringList names)
{
    if (!m_document)
        return;
    for (const QString& name : std::as_const(names)) {
        setVolume(name, m_document->getElementLevel(name));
        if (m_mode == KVirtualUI::RuleEdit && !m_document->isUnderEquivConst(name, QString()))
            m_document->setDefEltLevel(name, m_document->getElementLevel(name));
    }
}

void KSuperUI::updateSliders(QMap<QString, QList<double>> meters, double left, double right)
{
    // The strips first, from left to right, the master's meters last: the window's repaint
    // region then grows by rectangles added to the right of its last one, which Qt appends
    // cheaply; the master's rows of another height first would split that region into bands
    // and make every strip's rectangle a full region join.
    if (m_row)
        m_row->setJauge(meters);
    m_master->meterLeft()->setLevel(int(left));
    m_master->meterRight()->setLevel(int(right));
}

void KSuperUI::showMasterMute(bool on)
{
    m_allMuted = on;
    KStripParts::showChecked(m_master->muteButton(), on, QStringLiteral("Img/MuteOn"),
                             QStringLiteral("Img/MuteOff"));
}

void KSuperUI::allMute(bool on)
{
    showMasterMute(on);
    emit mutedState(on ? double(m_master->fader()->value()) : -1.0);
    if (!m_row)
        return;
    // The strips' reports only set the document; the row is refreshed once afterwards.
    m_bulkMute = true;
    m_row->setAllMute(on);
    m_bulkMute = false;
    m_row->updateMuteSolo();
}

void KSuperUI::allClear()
{
    if (m_row)
        m_row->clearAll();
    showMasterMute(false);
    emit mutedState(-1.0);
}

void KSuperUI::addedWidgetSlot(const QString& name)
{
    if (!m_document)
        return;
    m_document->addToRuleGroup(name, m_currentRule);
    markModified();
}

void KSuperUI::removedWidgetSlot(const QString& name, int count)
{
    if (m_document)
        m_document->removeFromRuleGroup(name, m_currentRule);
    markModified();
    if (count == 0)
        emit mustStopPlayer();
}

// ---- rules

void KSuperUI::markModified()
{
    if (m_mode == KVirtualUI::RuleEdit)
        m_modified = true;
}

void KSuperUI::saveDefaultLevels()
{
    if (!m_document)
        return;
    QStringList collected;
    for (const QString& name : m_document->getConstNames())
        if (name.startsWith(KObjFile::EquivConstPrefix))
            collected << m_document->getSubElt(name);
    if (!m_currentRule.isEmpty())
        collected << m_document->getSubElt(m_currentRule);
    collected.removeDuplicates();
    for (const QString& name : std::as_const(collected))
        m_document->setDefEltLevel(name, m_document->getElementLevel(name));
}

void KSuperUI::newRule_slot(const QString& rule, const QString& comment)
{
    if (!m_document || rule.isEmpty())
        return;
    // Only a new name or an existing rule group may be edited as a rule: never a track or an
    // ordinary group.
    if (m_document->contains(rule)
        && !(rule.startsWith(KObjFile::RuleGroupPrefix) && m_document->isGroup(rule)))
        return;
    emit mustStopPlayer();
    checkSaveForModidf();
    m_document->resetEltsStatus();
    m_document->ActiveBackup();
    m_document->createRuleGroup(rule, QStringList(), comment);
    m_document->createEquivConst(rule);
    resetUI();
    m_currentRule = rule;
    initVolUI(m_document->getSubElt(rule));
}

void KSuperUI::switchRule_slot(QString rule)
{
    if (rule == m_currentRule)
        return;
    emit mustStopPlayer();
    checkSaveForModidf();
    if (m_document) {
        m_document->resetEltsStatus();
        m_document->ActiveBackup();
    }
    resetUI();
    m_currentRule = rule;
    if (m_document)
        initVolUI(m_document->getSubElt(rule));
}

void KSuperUI::removeRule_slot(const QString& rule)
{
    emit mustStopPlayer();
    if (m_document) {
        if (rule == m_currentRule)
            m_document->resetEltsStatus();
        m_document->removeConstraint(rule);
        m_document->removeEquivConst(rule);
        m_document->ActiveBackup();
    }
    m_modified = false;
    m_currentRule.clear();
    resetUI();
}

void KSuperUI::renameRule_slot(const QString&, const QString&)
{
}

void KSuperUI::saveRule_slot()
{
    saveDefaultLevels();
    if (m_document)
        m_document->ActiveBackup();
    m_modified = false;
}

void KSuperUI::checkSaveForModidf()
{
    if (m_modified && m_mode == KVirtualUI::RuleEdit && m_document) {
        const auto answer = KPrompt::warning(
            this, tr("Enregistrement des modifications"),
            tr("Voulez-vous enregistrer les modifications ?"), QMessageBox::Yes | QMessageBox::No,
            QMessageBox::No);
        if (answer == QMessageBox::Yes)
            saveRule_slot();
        else
            m_document->RestoreBackup();
        emit needsRuleListUpdate();
    }
    m_modified = false;
}

// ---- drag and drop

QStringList KSuperUI::droppedNames(const QString& text) const
{
    QStringList names;
    if (!m_document)
        return names;
    const QString reserved[] = {KObjFile::UnvisibleGrpName, KObjFile::ImportAudioGrpName,
                                KObjFile::DefaultCsttName,  KObjFile::NotMutePrefix,
                                KObjFile::EquivConstPrefix, KObjFile::RuleGroupPrefix};
    QSet<QString> seen;
    for (const QString& name : text.split(u'|', Qt::SkipEmptyParts)) {
        if (seen.contains(name) || !m_document->contains(name))
            continue;
        if (std::any_of(std::begin(reserved), std::end(reserved),
                        [&](const QString& prefix) { return name.startsWith(prefix); }))
            continue;
        seen.insert(name);
        names << name;
    }
    return names;
}

void KSuperUI::dragEnterEvent(QDragEnterEvent* event)
{
    const int scroll = m_row ? m_row->horizontalScroll() : 0;
    const int x = event->position().toPoint().x();
    const int count = m_row ? m_row->getNbElt() : 0;
    const bool names = !event->mimeData()->data(EltNamesFormat).isEmpty();
    if (!m_dragging) {
        m_dragging = true;
        m_entryX = x;
    }
    const int entryColumn = (m_entryX + scroll) / Column;
    const QSize markerSize((count + 1) * Column, MarkerHeight);
    if (!names) {
        if (!m_sourceMarker)
            m_sourceMarker = new KRubberBand(QRubberBand::Line, QColor(100, 100, 100, 100), this);
        m_sourceMarker->resize(markerSize);
        m_sourceMarker->x = entryColumn * Column - scroll;
        m_sourceMarker->y = 0;
        m_sourceMarker->w = Column;
        m_sourceMarker->h = MarkerHeight;
        m_sourceMarker->show();
        m_sourceMarker->update();
    }
    if (!m_dropMarker)
        m_dropMarker = new KRubberBand(QRubberBand::Line, QColor(204, 0, 0, 128), this);
    m_dropMarker->resize(markerSize);
    const int target = std::min((x + scroll) / Column, count);
    m_dropMarker->y = 0;
    m_dropMarker->h = MarkerHeight;
    if (!names && (target == entryColumn || target == entryColumn + 1)) {
        m_dropMarker->x = entryColumn * Column - scroll;
        m_dropMarker->w = Column;
    } else {
        m_dropMarker->x = target * Column - scroll;
        m_dropMarker->w = 3;
    }
    m_dropMarker->show();
    m_dropMarker->update();
    if (m_mode == KVirtualUI::RuleEdit)
        event->acceptProposedAction();
    else
        event->ignore();
}

void KSuperUI::dragMoveEvent(QDragMoveEvent* event)
{
    event->setDropAction(Qt::MoveAction);
    if (m_mode == KVirtualUI::RuleEdit)
        event->acceptProposedAction();
}

void KSuperUI::dragLeaveEvent(QDragLeaveEvent*)
{
    // A drag that leaves without dropping must not leave its entry column for the next one.
    endDrop();
}

void KSuperUI::dropEvent(QDropEvent* event)
{
    const int scroll = m_row ? m_row->horizontalScroll() : 0;
    const int x = event->position().toPoint().x();
    m_dropX = x;
    endDrop();
    QString text = QString::fromUtf8(event->mimeData()->data(EltNamesFormat));
    if (!text.isEmpty()) {
        m_entryX = -1;
    } else {
        text = QString::fromUtf8(event->mimeData()->data(StripFormat));
        if ((x + scroll) / Column > (m_entryX + scroll) / Column)
            m_dropX = x - Column;
    }
    if (text.isEmpty())
        return;
    const QStringList names = droppedNames(text);
    if (names.isEmpty())
        return;
    if (m_currentRule.isEmpty())
        emit dropWithoutRule(names);
    else
        emit needsSelectItem(names);
    event->acceptProposedAction();
}
