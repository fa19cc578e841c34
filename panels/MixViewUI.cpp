#include "MixViewUI.h"

#include "AppServices.h"
#include "DlgSingleInputUI.h"
#include "KCheckMixTV.h"
#include "KCtrlFile.h"
#include "KAudioFilePlayer.h"
#include "KListWidget.h"
#include "KMasterMix.h"
#include "KPrompt.h"
#include "KSuperUI.h"
#include "MainEqualsUi.h"
#include "MiniPlayerUI.h"

#include <QAction>
#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QStackedWidget>
#include <QToolBar>
#include <QVBoxLayout>

namespace {
const int Columns = 7;
// The vertical pixel origin of each strip's controls in the console.
const int ConsoleOrigin = 186;
const int MasterWidth = 103;
const int StepMinimumHeight = 343;
const char* const ButtonStyle =
    "QPushButton { background: black; color: #99FF00; border: 1px solid #99FF00; border-radius: 6px;"
    " padding: 2px 4px; } QPushButton:disabled { color: #808080; border-color: #808080; }";
const char* const BoxStyle = "QCheckBox { color: #99FF00; } QCheckBox:disabled { color: #808080; }";
const char* const LabelStyle =
    "QLabel { color: #99FF00; min-height: 45px; background: url(:/Img/LabelBar); }";
const char* const ToolBarStyle =
    "QToolBar { background: url(:/Img/DWBar); border: 0px; } QToolButton { color: #A0A0A0; max-height: 19px; }"
    " QToolButton:hover { background: white; border-image: url(:/Img/MenuBar); }";
const char* const StepTexts[] = {QT_TRANSLATE_NOOP("MixViewUI", "  Etape 1 : Sélection des pistes"),
                                 QT_TRANSLATE_NOOP("MixViewUI", "  Etape 2 : Mixage des pistes"),
                                 QT_TRANSLATE_NOOP("MixViewUI", "  Etape 3 : Egalisation des pistes")};

const char* const WidthCap = "widthCap";

// A step button, at most `width` wide unless its text needs more (see fitStepButtons).
QPushButton* stepButton(const QString& text, const char* name, QWidget* parent, int width = 110)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setStyleSheet(ButtonStyle);
    button->setCursor(Qt::PointingHandCursor);
    button->setProperty(WidthCap, width);
    button->setMaximumWidth(width);
    return button;
}
} // namespace

MixViewUI::MixViewUI(KCtrlFile* file, KCheckableTreeView*, QWidget* parent) : QWidget(parent)
{
    setObjectName("MixViewUIClass");
    setWindowTitle("MixViewUI");
    auto* outer = new QGridLayout(this);
    outer->setObjectName("gridLayout");
    grid = new QGridLayout;
    grid->setObjectName("gridLayout1");
    outer->addLayout(grid, 0, 0);
    buildToolBar(grid);
    buildSteps(grid);
    if (parent)
        AppServices::setFontParent(this, parent->font());
    connectWidgets();
    // Checked only now that the box reaches the console: the console starts with the rules on.
    rulesBox->setChecked(true);
    setKFile(file);
    initUI();
    nextButton->setEnabled(false);
    previousButton->setEnabled(false);
    exportButton->setEnabled(false);
}

void MixViewUI::buildToolBar(QGridLayout* layout)
{
    auto* top = new QWidget(this);
    top->setObjectName("mixListContainer");
    auto* box = new QVBoxLayout(top);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(0);
    toolBar = new QToolBar(top);
    toolBar->setIconSize(QSize(16, 18));
    toolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    toolBar->setStyleSheet(ToolBarStyle);
    createAction = toolBar->addAction(AppServices::pictureIcon(":/Img/AddAudio"), tr("Créer un Tovix"));
    toolBar->addAction(AppServices::pictureIcon(":/Img/Customize"), tr("Modifier"), this, qOverload<>(&MixViewUI::modifyItem));
    toolBar->addAction(AppServices::pictureIcon(":/Img/Save"), tr("Enregistrer"), this, qOverload<>(&MixViewUI::save_slot));
    toolBar->addAction(AppServices::pictureIcon(":/Img/DeleteAudio"), tr("Supprimer "), this, &MixViewUI::removeItem);
    mixList = new KListWidget(top);
    mixList->setObjectName("mixList");
    mixList->setMaximumHeight(130);
    box->addWidget(toolBar);
    box->addWidget(mixList);
    layout->addWidget(top, 0, 0, 1, Columns);
}

void MixViewUI::buildSteps(QGridLayout* layout)
{
    auto* strip = new QLabel(this);
    strip->setObjectName("labelStrip");
    strip->setStyleSheet(LabelStyle);
    stepLabel = new QLabel(this);
    stepLabel->setObjectName("stepLabel");
    stepLabel->setStyleSheet(LabelStyle);
    createButton = stepButton(tr("Créer un Tovix ..."), "createButton", this);
    previousButton = stepButton(tr("<< Précédent"), "previousButton", this);
    nextButton = stepButton(tr("Suivant >>"), "nextButton", this);
    saveButton = stepButton(tr("Enregistrer"), "saveButton", this);
    // Its longer text needs more than the other buttons' width.
    exportButton = stepButton(tr("Exporter votre Tovix"), "exportButton", this, 170);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(stepLabel, 1);
    for (QPushButton* button : {createButton, previousButton, nextButton, saveButton, exportButton})
        buttons->addWidget(button);
    layout->addWidget(strip, 1, 0, 1, 4);
    layout->addLayout(buttons, 1, 0, 1, 4);

    constraintsBox = new QCheckBox(tr("Activer les contraintes de sélection"), this);
    constraintsBox->setObjectName("constraintsBox");
    constraintsBox->setToolTip(tr("Activer ou désactiver les contraintes pour la lecture dans le Sonaric"));
    rulesBox = new QCheckBox(tr("Activer les règles de mixage"), this);
    rulesBox->setObjectName("rulesBox");
    rulesBox->setToolTip(tr("Activer ou désactiver les règles de mixage pour la lecture dans le Sonaric"));
    for (QCheckBox* box : {constraintsBox, rulesBox})
        box->setStyleSheet(BoxStyle);
    constraintsBox->setChecked(true);
    constraintsBox->setEnabled(false);
    placeCheckBox(constraintsBox);

    pages = new QStackedWidget(this);
    pages->setObjectName("stepPages");
    auto* page1 = new QWidget(pages);
    page1Grid = new QGridLayout(page1);
    tree = new KCheckMixTV(document, page1);
    tree->setObjectName("mixTree");
    tree->setMinimumHeight(StepMinimumHeight);
    treeModel = tree->getKModel();
    page1Grid->addWidget(tree, 0, 0, 1, 4);
    pages->addWidget(page1);

    auto* splitter = new QSplitter(Qt::Horizontal, pages);
    splitter->setObjectName("levelSplitter");
    splitter->setHandleWidth(6);
    splitter->setStyleSheet("QSplitter::handle { image: url(:/Img/Splitter); }"
                            " QSplitter::handle:hover { image: url(:/Img/SplitterOverMix); }");
    levelList = new QListWidget(splitter);
    levelList->setObjectName("levelList");
    console = new KSuperUI(nullptr, ConsoleOrigin, KVirtualUI::LiveMix, splitter);
    console->setObjectName("mixConsole");
    splitter->addWidget(console);
    // The console takes the width the page gains; the level list keeps a narrow column.
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({160, 600});
    KMasterMix* master = console->master();
    master->setMaximumWidth(MasterWidth);
    master->setMinimumHeight(StepMinimumHeight);
    layout->addWidget(master, 3, 0);
    master->hide();
    pages->addWidget(splitter);

    miniPlayer = new MiniPlayerUI(nullptr, this);
    miniPlayer->setObjectName("mixPlayer");
    miniPlayer->setActiveObject(this);
    layout->addWidget(miniPlayer, 1, 4, 2, 3);

    auto* page3 = new QWidget(pages);
    page3Grid = new QGridLayout(page3);
    pages->addWidget(page3);
    placePages(false);
    // The step pages take the height the page gains: the list and the step row stay together
    // at the top.
    layout->setRowStretch(3, 1);
}

void MixViewUI::connectWidgets()
{
    connect(mixList, &KListWidget::itemDeleted, this, &MixViewUI::removeMixWithConfirm);
    connect(mixList, &KListWidget::itemSelected, this, &MixViewUI::itemActivated_slots);
    connect(mixList, &KListWidget::itemModified, this, qOverload<const QString&>(&MixViewUI::modifyItem));
    connect(levelList, &QListWidget::itemClicked, this, &MixViewUI::displayItem);
    connect(constraintsBox, &QCheckBox::toggled, this, &MixViewUI::setConstraintsUse);
    connect(rulesBox, &QCheckBox::toggled, this, &MixViewUI::setMixRules);
    connect(nextButton, &QPushButton::released, this, &MixViewUI::nextPage);
    connect(previousButton, &QPushButton::released, this, &MixViewUI::previousPage);
    connect(saveButton, &QPushButton::released, this, &MixViewUI::saveEqual_slot);
    connect(exportButton, &QPushButton::released, this, &MixViewUI::export_slot);
    connect(miniPlayer, &MiniPlayerUI::muted, console, &KSuperUI::allMute);
    connect(console, &KSuperUI::mutedState, miniPlayer, &MiniPlayerUI::muteChange);
    connect(console, &KSuperUI::changedMix, this, qOverload<>(&MixViewUI::setSaveCheck));
    KAudioFilePlayer* player = miniPlayer->getKAFPlayer();
    connect(player, &KAudioFilePlayer::changedEltStatus, this,
            qOverload<const QStringList&>(&MixViewUI::currentMixChanged));
    connect(player, &KAudioFilePlayer::constraintsUsingChanged, this,
            [this](bool on) { treeModel->setConstraintsUse(on); });
    connect(console, &KSuperUI::masterPanChanged, this, &MixViewUI::masterPanChanged_slot);
    connect(console, &KSuperUI::masterLvlChanged, this, &MixViewUI::masterLvlChanged_slot);
}

// The console deletes its master strip itself, which sits in this panel's grid: the console goes
// first, while its master is still there.
MixViewUI::~MixViewUI()
{
    delete console;
}

void MixViewUI::setKFile(KCtrlFile* file)
{
    if (document)
        disconnect(document, nullptr, this, nullptr);
    disconnect(mixList, &KListWidget::itemSetAsDefault, nullptr, nullptr);
    document = file;
    if (document) {
        connect(this, &MixViewUI::mixActivated, document, &KCtrlFile::setCurrentMix);
        connect(mixList, &KListWidget::itemSetAsDefault, document, &KCtrlFile::setMixAsDefault);
        connect(document, &KCtrlFile::renamedMix, this, &MixViewUI::renameMix);
        connect(document, &KCtrlFile::eltStatusChanged, this, [this] {
            setListLevel();
            // Statuses changed on another page (a mixing rule being played) are no edit of the
            // mix open here.
            if (isVisible())
                setSaveCheck();
        });
        connect(document, &KCtrlFile::mixChanged, this, &MixViewUI::setListLevel);
        connect(document, &KCtrlFile::reloaded, this, &MixViewUI::resetMix);
        connect(document, &KCtrlFile::newDefaultMix, this, &MixViewUI::printMixAsDefault);
        connect(document, &KCtrlFile::mixAdded, this, &MixViewUI::addMix);
        connect(document, &KCtrlFile::mixRemoved, this, &MixViewUI::removeMix);
        // A document loaded before it reached the panel has announced its mixes already.
        resetMix();
    } else {
        mixList->reset();
    }
    tree->setKCtrlFile(document);
    KAudioFilePlayer* player = miniPlayer->getKAFPlayer();
    player->setKFile(document);
    console->setKCtrlFile(document);
    connect(player, &KAudioFilePlayer::newStatsView, console, &KSuperUI::updateSliders, Qt::UniqueConnection);
}

void MixViewUI::initUI()
{
    pages->setCurrentIndex(0);
    tree->hide();
    constraintsBox->setEnabled(false);
    rulesBox->setEnabled(false);
    placeCheckBox(constraintsBox);
    placePages(false);
    nextButton->hide();
    previousButton->hide();
    saveButton->hide();
    createButton->show();
    stepLabel->setText(tr("  Créez ou sélectionnez un Tovix"));
}

bool MixViewUI::isActive()
{
    return createButton->isHidden();
}

int MixViewUI::currentStep() const
{
    return pages->currentIndex();
}

QMap<int, double> MixViewUI::flatMastering()
{
    return {{20, 0.0}, {100, 0.0}, {1000, 0.0}, {20000, 0.0}};
}

void MixViewUI::placePages(bool besideMaster)
{
    grid->removeWidget(pages);
    if (besideMaster)
        grid->addWidget(pages, 3, 1, 1, Columns - 1);
    else
        grid->addWidget(pages, 3, 0, 1, Columns);
    console->master()->setVisible(besideMaster);
}

void MixViewUI::placeCheckBox(QCheckBox* box)
{
    QCheckBox* other = box == constraintsBox ? rulesBox : constraintsBox;
    grid->removeWidget(other);
    other->hide();
    // Across the columns left of the player: the whole label shows in either language.
    grid->addWidget(box, 2, 0, 1, 4);
    box->show();
}

void MixViewUI::setStepLabel(int step)
{
    stepLabel->setText(tr(StepTexts[step]));
    // The buttons beside it take their widths first: the step's text keeps room for all of it.
    const QMargins margins = stepLabel->contentsMargins();
    stepLabel->setMinimumWidth(stepLabel->fontMetrics().horizontalAdvance(stepLabel->text())
                               + margins.left() + margins.right() + 2 * stepLabel->margin());
}

void MixViewUI::refreshMaster()
{
    if (!document)
        return;
    const QString mix = mixList->getCurrentMix();
    if (masterTouched)
        console->updateMasterInfo(masterPan, masterLevel);
    else
        console->updateMasterInfo(document->getMixPan(mix), document->getMixLevel(mix));
}

bool MixViewUI::askMixName(const QString& title, QString& name, bool& isDefault)
{
    DlgSingleInputUI dialog(this);
    dialog.setTitle(title);
    dialog.setLabel(tr("Nom du Mix"));
    dialog.setEnabledCheckBox(true);
    dialog.setLabelCheckBox(tr("Mettre par défaut"));
    dialog.setText(name);
    dialog.setChecked(isDefault);
    dialog.show();
    dialog.activateWindow();
    if (KPrompt::exec(&dialog) != 1)
        return false;
    name = dialog.getText();
    isDefault = dialog.isChecked();
    return true;
}

bool MixViewUI::createMix()
{
    // Leaving the open mix asks about its unsaved changes first.
    if (unsaved)
        saveMix();
    unsaved = false;
    // A cancelled name changes nothing: the page and its step stay as they were.
    const QString title = tr("Nom du Mix");
    QString name;
    bool isDefault = false;
    if (!askMixName(title, name, isDefault))
        return false;
    while (name.trimmed().isEmpty() || mixList->contains(name)) {
        KPrompt::warning(this, tr("Créer un Tovix"), tr("Nom d'Tovix invalide !"));
        if (!askMixName(title, name, isDefault))
            return false;
    }
    placePages(false);
    if (pages->currentIndex() != 0)
        pages->setCurrentIndex(0);
    if (document) {
        document->resetElementsStatus();
        document->resetSoloMute();
    }
    tree->show();
    nextButton->setEnabled(true);
    nextButton->show();
    createButton->hide();
    previousButton->show();
    saveButton->hide();
    constraintsBox->setEnabled(true);
    exportButton->setEnabled(false);
    setStepLabel(0);
    editedMix = name;
    if (document)
        document->saveCurrentMix(name);
    mixList->setAsCurrentMix(name);
    unsaved = true;
    if (isDefault && document)
        document->setMixAsDefault(name);
    return true;
}

void MixViewUI::itemActivated_slots(const QString& name)
{
    // Only a listed mix can be opened: an empty request (a double click on empty space) or an
    // unknown name would open an editing session on no mix.
    if (name.isEmpty() || !mixList->contains(name))
        return;
    if (unsaved)
        saveMix();
    tree->show();
    nextButton->setEnabled(true);
    previousButton->setEnabled(true);
    if (pages->currentIndex() > 0) {
        refreshMaster();
    } else {
        placePages(false);
        setStepLabel(0);
        createButton->hide();
        nextButton->show();
        previousButton->show();
        saveButton->hide();
        previousButton->setEnabled(false);
    }
    constraintsBox->setEnabled(true);
    editedMix = name;
    levelRow = 0;
    masterTouched = false;
    emit mixActivated(name);
    // The equaliser shows and keeps the opened mix's own mastering.
    equalValues = document ? document->getMixMastering(name) : QMap<int, double>();
    if (equalValues.isEmpty())
        equalValues = flatMastering();
    setEquals(equalValues);
    tree->viewport()->update();
}

void MixViewUI::modifyItem()
{
    // A mix selected in the list but not open yet is opened for editing, as a double click
    // does; the open mix gets its rename and default dialog.
    const QList<QListWidgetItem*> selected = mixList->selectedItems();
    if (!selected.isEmpty()) {
        const QString name = mixList->getItemText(selected.first());
        if (!name.isEmpty() && name != mixList->getCurrentMix()) {
            mixList->setAsCurrentMix(name);
            return;
        }
    }
    modifyItem(QString());
}

void MixViewUI::modifyItem(const QString& given)
{
    const QString name = given.isEmpty() ? mixList->getCurrentMix() : given;
    if (name.isEmpty() || !document)
        return;
    const bool wasDefault = mixList->getDefaultMix() == name;
    QString text = name;
    bool isDefault = wasDefault;
    do {
        text = name;
        isDefault = wasDefault;
        if (!askMixName(tr("Modification d'un Tovix"), text, isDefault))
            return;
    } while (text.isEmpty() || (text != name && document->getMixNames().contains(text)));
    if (text != name)
        document->renameMix(name, text);
    if (isDefault)
        document->setMixAsDefault(text);
}

void MixViewUI::removeItem()
{
    if (!mixList->getCurrentMix().isEmpty())
        removeMixWithConfirm(mixList->getCurrentMix());
}

void MixViewUI::removeMixWithConfirm(const QString& name)
{
    if (name.isEmpty())
        return;
    const auto answer = KPrompt::warning(this, tr("Effacer un Tovix"),
                                         tr("Voulez-vous effacer l'Tovix ") + " \"" + name + "\" ?",
                                         QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer != QMessageBox::Yes || !document)
        return;
    const bool wasOpen = name == mixList->getCurrentMix() || name == editedMix;
    document->removeMix(name);
    if (!wasOpen)
        return;
    // Nothing is open any more: back to the start state, with nothing left to save.
    unsaved = false;
    editedMix.clear();
    initUI();
    nextButton->setEnabled(false);
    previousButton->setEnabled(false);
}

void MixViewUI::save_slot()
{
    save_slot(QString());
}

void MixViewUI::save_slot(const QString& given)
{
    miniPlayer->stop();
    if (mixList->count() == 0)
        return;
    const QString name = given.isEmpty() ? mixList->getCurrentMix() : given;
    // A refused store keeps the changes marked unsaved, so leaving still asks about them.
    if (modifyMix(name))
        unsaved = false;
}

void MixViewUI::saveEqual_slot()
{
    save_slot();
    initUI();
}

bool MixViewUI::modifyMix(const QString& name)
{
    if (name.isEmpty())
        return true;
    if (!document)
        return false;
    if (document->getPlayedTracks().isEmpty()) {
        KPrompt::warning(this, tr("Enregistrer l'Tovix"), tr("Sélectionnez vos pistes !"));
        return false;
    }
    if (!document->saveCurrentMix(name)) {
        KPrompt::critical(this, tr("Enregistrer l'Tovix"), tr("Erreur : impossible de sauver l'Tovix !"));
        return false;
    }
    document->setMixMastering(name, equalValues);
    return true;
}

void MixViewUI::saveMix()
{
    if (!mixList->contains(editedMix))
        return;
    const auto answer = KPrompt::warning(this, tr("Enregistrer un Tovix"),
                                         tr("Voulez-vous enregistrer cet Tovix") + " \"" + editedMix + "\"?",
                                         QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer == QMessageBox::Yes && document)
        save_slot(editedMix);
}

bool MixViewUI::currentMixChanged(const QString&)
{
    if (unsaved)
        saveMix();
    unsaved = false;
    return true;
}

void MixViewUI::currentMixChanged(const QStringList& names)
{
    treeModel->setHeader(names.isEmpty() ? QString() : names.first());
}

void MixViewUI::nextPage()
{
    miniPlayer->stop();
    const int step = pages->currentIndex();
    if (step == 2) {
        KPrompt::information(this, QString(), "Action impossible");
        return;
    }
    if (step == 0) {
        // The console is filled only while its page shows: the page turns first.
        pages->setCurrentIndex(1);
        setStepLabel(1);
        previousButton->setEnabled(true);
        nextButton->setEnabled(true);
        displayItem(levelList->item(levelRow));
        placeCheckBox(rulesBox);
        placePages(true);
        refreshMaster();
        return;
    } else {
        setStepLabel(2);
        previousButton->setEnabled(true);
        nextButton->setEnabled(false);
        nextButton->hide();
        saveButton->show();
        exportButton->setEnabled(true);
        if (document) {
            document->setMixOnPlay(editedMix);
            // Putting the mix on play reloads its stored master: the console's settings stay.
            if (masterTouched) {
                document->setMixLevel(QString(), masterLevel);
                document->setMixPan(QString(), masterPan);
            }
        }
    }
    pages->setCurrentIndex(step + 1);
}

void MixViewUI::previousPage()
{
    const int step = pages->currentIndex();
    if (step == 0) {
        KPrompt::information(this, QString(), "Action impossible");
        return;
    }
    if (step == 1) {
        setStepLabel(0);
        nextButton->setEnabled(true);
        previousButton->setEnabled(false);
        placeCheckBox(constraintsBox);
        placePages(false);
    } else {
        pages->setCurrentIndex(1);
        setStepLabel(1);
        displayItem(levelList->item(levelRow));
        nextButton->setEnabled(true);
        previousButton->setEnabled(true);
        saveButton->hide();
        exportButton->setEnabled(false);
        nextButton->show();
        refreshMaster();
        return;
    }
    pages->setCurrentIndex(step - 1);
}

void MixViewUI::setListLevel()
{
    blockRows = {0, 1};
    QStringList rows{tr("Toutes les pistes")};
    const QString levelText = tr("Niveau ");
    const int depth = document ? document->getTreeDepth() : 0;
    for (int d = 0; d < depth; ++d) {
        rows << "--------------------- ";
        blockRows << rows.size();
        rows << levelText + QString::number(d + 1);
        for (const QString& name : document->getEltsInNthDepth(d))
            if (document->isPlay(name))
                rows << "    - " + name;
        // A block ends on the next depth's dashed row, the last one on its own last row.
        blockRows << (d + 1 < depth ? rows.size() : rows.size() - 1);
    }
    levelList->clear();
    levelList->addItems(rows);
    displayItem(levelList->item(0));
}

void MixViewUI::displayItem(QListWidgetItem* item)
{
    if (!item)
        return;
    const int row = levelList->row(item);
    levelRow = row;
    int first = row;
    int last = row;
    const int blocks = blockRows.size() / 2;
    if (row <= 1) {
        // No element lies below the deepest level: the console shows the tracks of every depth.
        shownDepth = blocks - 1;
    } else {
        int block = 0;
        while (block < blocks && blockRows[2 * block + 1] < row)
            ++block;
        if (block < blocks) {
            shownDepth = block - 1;
            first = blockRows[2 * block];
            last = blockRows[2 * block + 1];
        } else {
            first = 0;
            last = -1;
        }
    }
    // The console follows the chosen depth while its page shows; turning to that page fills it.
    if (pages->currentIndex() == 1 && last >= first)
        console->setLevel(shownDepth);
    for (int i = 0; i < levelList->count(); ++i) {
        QListWidgetItem* entry = levelList->item(i);
        QFont font = entry->font();
        const QFont::Weight weight = i >= first && i <= last ? QFont::Bold : QFont::Normal;
        if (font.weight() != weight) {
            font.setWeight(weight);
            entry->setFont(font);
        }
    }
}

void MixViewUI::setEquals(const QMap<int, double>& values)
{
    if (!equalizer) {
        int limits[] = {20, 100, 1000, 20000};
        int gains[] = {-12, 12};
        equalizer = new MainEqualsUi(3, limits, 1, gains, 4, this);
        equalizer->setObjectName("masteringEqualizer");
        connect(equalizer, &MainEqualsUi::equalValuesChanged, this, &MixViewUI::getEquals);
        page3Grid->addWidget(equalizer, 0, 0, 1, 4);
    }
    equalizer->openEqualisationButtons(values.isEmpty() ? flatMastering() : values);
}

void MixViewUI::getEquals()
{
    if (!equalizer)
        return;
    equalValues = equalizer->getEqualisationValues();
    if (document)
        document->setMixMastering(editedMix, equalValues);
    unsaved = true;
}

void MixViewUI::setSaveCheck(bool unsavedChanges)
{
    unsaved = unsavedChanges;
}

void MixViewUI::setSaveCheck()
{
    setSaveCheck(true);
}

void MixViewUI::setConstraintsUse(bool on)
{
    constraintsUse = on;
    treeModel->setConstraintsUse(on);
}

void MixViewUI::setMixRules(bool on)
{
    console->setRulesMix(on);
}

void MixViewUI::addMixes(const QStringList& names)
{
    mixList->addMixes(names);
}

void MixViewUI::addMix(const QString& name)
{
    mixList->addMixes({name});
}

void MixViewUI::removeMix(const QString& name)
{
    mixList->removeMix(name);
}

void MixViewUI::renameMix(const QString& oldName, const QString& newName)
{
    mixList->renameMix(oldName, newName);
    // The open mix keeps being the one edited under its new name.
    if (editedMix == oldName)
        editedMix = newName;
}

void MixViewUI::printMixAsDefault(const QString& name)
{
    mixList->setAsDefault(name);
}

void MixViewUI::resetMix()
{
    mixList->reset();
    if (!document)
        return;
    const QStringList names = document->getMixNames();
    mixList->addMixes(names);
    const QString byDefault = document->getDefaultMixName();
    if (!names.isEmpty())
        mixList->setAsDefault(byDefault.isEmpty() ? names.first() : byDefault);
}

void MixViewUI::masterPanChanged_slot(double pan)
{
    if (!document)
        return;
    masterPan = pan;
    if (!masterTouched)
        masterLevel = document->getMixLevel(editedMix);
    masterTouched = true;
    document->setMixPan(QString(), pan);
}

void MixViewUI::masterLvlChanged_slot(int level)
{
    if (!document)
        return;
    masterLevel = level;
    if (!masterTouched)
        masterPan = document->getMixPan(editedMix);
    masterTouched = true;
    document->setMixLevel(QString(), level);
}

void MixViewUI::setPixmapPath(const QString& path)
{
    console->setPixmapPath(path);
}

void MixViewUI::export_slot()
{
    KPrompt::information(this, QString(), "A implémenter : Renvoie vers l'onglet Export");
}

void MixViewUI::openMix()
{
    if (mixList->count() > 0 && !mixList->getCurrentMix().isEmpty())
        itemActivated_slots(mixList->getCurrentMix());
}

void MixViewUI::setCreateTovixAction(QAction* action)
{
    connect(createAction, &QAction::triggered, action, &QAction::trigger);
    connect(createButton, &QPushButton::released, action, &QAction::trigger);
    connect(mixList, &KListWidget::itemCreated, action, &QAction::trigger);
}

void MixViewUI::expandAll()
{
    tree->expandAll();
}

void MixViewUI::setTreeView(KCheckableTreeView*)
{
    page1Grid->addWidget(tree, 0, 0, 1, 4);
}

void MixViewUI::showEvent(QShowEvent* event)
{
    fitStepButtons();
    QWidget::showEvent(event);
}

void MixViewUI::fitStepButtons()
{
    // The window's font is known only once the page shows: a button's text may need more room
    // than its usual width.
    for (QPushButton* button : {createButton, previousButton, nextButton, saveButton, exportButton}) {
        button->ensurePolished();
        button->setMaximumWidth(
            std::max(button->property(WidthCap).toInt(), button->sizeHint().width()));
    }
}
