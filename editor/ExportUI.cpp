#include "ExportUI.h"
#include "KNameFit.h"

#include "AppServices.h"
#include "KPrompt.h"
#include "KTheme.h"
#include "KitFonts.h"
#include "SonaricParams.h"
#include "WdgFmtMpg.h"
#include "WdgFmtSndFile.h"
#include "WdgFmtVorbis.h"
#include "ZazuzoziZadiviDU.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>

#include <algorithm>

namespace {
// The sub-tabs in the theme's colours: the active one filled with the accent, the others raised
// with dim text; the pane framed by a 1 px line.
QString tabStyle()
{
    return QString("QTabBar::tab { color: %1; background: %2; border: 1px solid %3; border-bottom: none;"
                   " border-top-left-radius: 3px; border-top-right-radius: 3px; padding: 4px 12px;"
                   " margin-right: 2px; }"
                   " QTabBar::tab:selected { color: %4; background: %5; }"
                   " QTabBar::tab:hover:!selected { background: %6; }"
                   " QTabWidget::pane { border: 1px solid %3; border-radius: 3px; }")
        .arg(KTheme::color(KTheme::DimText).name(), KTheme::color(KTheme::Raised).name(),
             KTheme::color(KTheme::Line).name(), KTheme::color(KTheme::Text).name(),
             KTheme::color(KTheme::Accent).name(), KTheme::color(KTheme::Hover).name());
}
// Major format codes of the uncompressed mix formats: WAV, AIFF, AU and CAF.
const int MixSndFileMajors[] = {0x10000, 0x20000, 0x30000, 0x180000};
constexpr int RawMajor = 0x40000;

// The path in the same folder with the same base name and the given extension.
QString withExtension(const QString& path, const QString& extension)
{
    const QFileInfo info(path);
    return info.absolutePath() + "/" + info.completeBaseName() + "." + extension;
}
} // namespace

void Ui_ExportUIClass::setupUi(QWidget* page)
{
    page->setObjectName("ExportUIClass");
    auto* pageLayout = new QVBoxLayout(page);
    frame = new QFrame(page);
    frame->setObjectName("frame");
    frame->setStyleSheet(QString("QFrame#frame { border: 1px solid %1; border-radius: 3px; }")
                             .arg(KTheme::color(KTheme::Line).name()));
    pageLayout->addWidget(frame);
    auto* frameLayout = new QVBoxLayout(frame);
    tabWidget = new QTabWidget(frame);
    tabWidget->setObjectName("tabWidget");
    tabWidget->setStyleSheet(tabStyle());
    frameLayout->addWidget(tabWidget);
    tab = new QWidget;
    tab->setObjectName("tab");
    new QVBoxLayout(tab);
    tab_2 = new QWidget;
    tab_2->setObjectName("tab_2");
    new QVBoxLayout(tab_2);
    widget_3 = new QWidget(tab_2);
    widget_3->setObjectName("widget_3");
    tab_2->layout()->addWidget(widget_3);
    tabWidget->addTab(tab, QString());
    tabWidget->addTab(tab_2, QString());

    widgetExport = new QWidget(tab);
    widgetExport->setObjectName("widgetExport");
    tab->layout()->addWidget(widgetExport);
    exportLayout = new QVBoxLayout(widgetExport);

    groupBoxExport = new QGroupBox(widgetExport);
    groupBoxExport->setObjectName("groupBoxExport");
    auto* pathGrid = new QGridLayout(groupBoxExport);
    mixlabel = new QLabel(groupBoxExport);
    mixlabel->setObjectName("mixlabel");
    mixComboBox = new QComboBox(groupBoxExport);
    mixComboBox->setObjectName("mixComboBox");
    KNameFit::fitCombo(mixComboBox);
    fileLabel = new QLabel(groupBoxExport);
    fileLabel->setObjectName("label");
    lineEdit_2 = new QLineEdit(groupBoxExport);
    lineEdit_2->setObjectName("lineEdit_2");
    toolButton_2 = new QToolButton(groupBoxExport);
    toolButton_2->setObjectName("toolButton_2");
    toolButton_2->setIcon(AppServices::pictureIcon(":/Img/Folder22"));
    pathGrid->addWidget(mixlabel, 0, 0);
    pathGrid->addWidget(mixComboBox, 0, 1, 1, 2);
    pathGrid->addWidget(fileLabel, 1, 0);
    pathGrid->addWidget(lineEdit_2, 1, 1);
    pathGrid->addWidget(toolButton_2, 1, 2);
    exportLayout->addWidget(groupBoxExport);

    groupBoxOptions = new QGroupBox(widgetExport);
    groupBoxOptions->setObjectName("groupBoxOptions");
    optionsGrid = new QGridLayout(groupBoxOptions);
    label7_2 = new QLabel(groupBoxOptions);
    label7_2->setObjectName("label7_2");
    radioButton1_2 = new QRadioButton(groupBoxOptions);
    radioButton1_2->setObjectName("radioButton1_2");
    radioButton2_2 = new QRadioButton(groupBoxOptions);
    radioButton2_2->setObjectName("radioButton2_2");
    rateLabel = new QLabel(groupBoxOptions);
    rateLabel->setObjectName("label8_2");
    comboBox1_2 = new QComboBox(groupBoxOptions);
    comboBox1_2->setObjectName("comboBox1_2");
    formatLabel = new QLabel(groupBoxOptions);
    formatLabel->setObjectName("label9_2");
    comboBox2_2 = new QComboBox(groupBoxOptions);
    comboBox2_2->setObjectName("comboBox2_2");
    optionsGrid->addWidget(label7_2, 0, 0);
    optionsGrid->addWidget(radioButton1_2, 0, 1);
    optionsGrid->addWidget(radioButton2_2, 0, 2);
    optionsGrid->addWidget(rateLabel, 1, 0);
    optionsGrid->addWidget(comboBox1_2, 1, 1, 1, 2);
    optionsGrid->addWidget(formatLabel, 2, 0);
    optionsGrid->addWidget(comboBox2_2, 2, 1, 1, 2);
    exportLayout->addWidget(groupBoxOptions);

    okButton_2 = new QPushButton(widgetExport);
    okButton_2->setObjectName("okButton_2");
    exportLayout->addWidget(okButton_2, 0, Qt::AlignRight);
    exportLayout->addStretch(1);

    radioButtonExport1 = new QRadioButton(page);
    radioButtonExport1->setObjectName("radioButtonExport1");
    radioButtonExport2 = new QRadioButton(page);
    radioButtonExport2->setObjectName("radioButtonExport2");
    exportGroup = new QButtonGroup(page);
    exportGroup->setExclusive(true);
    exportGroup->addButton(radioButtonExport1);
    exportGroup->addButton(radioButtonExport2);
    radioButtonExport1->hide();
    radioButtonExport2->hide();
    retranslateUi(page);
}

void Ui_ExportUIClass::retranslateUi(QWidget*)
{
    tabWidget->setTabText(0, ExportUI::tr("Exporter en Tovra"));
    tabWidget->setTabText(1, ExportUI::tr("Exporter en MP3, WAVE, AIFF, ..."));
    fileLabel->setText(ExportUI::tr("Fichier"));
    groupBoxOptions->setTitle(ExportUI::tr("Options d'export"));
    rateLabel->setText(ExportUI::tr("Fréquence d'échantillonnage"));
    formatLabel->setText(ExportUI::tr("Format des pistes"));
    okButton_2->setText(ExportUI::tr("Exporter"));
    radioButtonExport1->setText(ExportUI::tr("Exporter en Tovra"));
    radioButtonExport2->setText(ExportUI::tr("Exporter un Tovix"));
}

QString ExportUI::DefaultFileName()
{
    return tr("Cliquer sur le bouton pour sélectionner un fichier d'export >");
}

QList<double> ExportUI::mergeRates(const QList<double>& given)
{
    // The tracks give one rate each, in project order: the merge needs them sorted and unique.
    QList<double> merged = given;
    std::sort(merged.begin(), merged.end());
    merged.erase(std::unique(merged.begin(), merged.end()), merged.end());
    int cursor = 0;
    for (double rate : SonaricDefines::ExportRates()) {
        if (merged.contains(rate))
            continue;
        while (cursor < merged.size() && merged.at(cursor) < rate)
            ++cursor;
        merged.insert(cursor, rate);
    }
    return merged;
}

ExportUI::ExportUI(QWidget* parent) : QWidget(parent)
{
    ui.setupUi(this);
    passParentFont(this, parent);
    optionLabel = new QLabel(ui.groupBoxOptions);
    optionLabel->setObjectName("optionLabel");
    optionLabel->setFont(font());
    ui.optionsGrid->addWidget(optionLabel, 4, 0);

    containerFormats << new WdgFmtVorbis(false, this);
    mixFormats << new WdgFmtVorbis(true, this) << new WdgFmtMpg(this);
    for (int major : MixSndFileMajors)
        mixFormats << new WdgFmtSndFile(major, this);
    for (WdgAudioFormat* format : containerFormats + mixFormats) {
        ui.optionsGrid->addWidget(format, 4, 1, 1, 2);
        format->hide();
    }

    ui.tabWidget->setCurrentIndex(0);
    connect(ui.tabWidget, &QTabWidget::currentChanged, this, &ExportUI::changeView, Qt::DirectConnection);
    connect(ui.toolButton_2, &QToolButton::released, this, &ExportUI::openFileDlg);
    connect(ui.okButton_2, &QPushButton::clicked, this, &ExportUI::export_slot);
    connect(ui.comboBox2_2, qOverload<int>(&QComboBox::currentIndexChanged), this, &ExportUI::formatChanged);
    connect(ui.radioButtonExport1, &QRadioButton::clicked, this, &ExportUI::exportModeChanged);
    connect(ui.radioButtonExport2, &QRadioButton::clicked, this, &ExportUI::exportModeChanged);

    setAvailableRates({44100.0});
    setMode(ModeNoMix);
    exportModeChanged();
    ui.lineEdit_2->setText(DefaultFileName());
    ui.lineEdit_2->setAlignment(Qt::AlignRight);
}

void ExportUI::setAvailableRates(const QList<double>& given)
{
    const double defaultRate = given.isEmpty() ? SonaricDefines::ExportDefaultRate() : given.last();
    rates = mergeRates(given);
    ui.comboBox1_2->clear();
    int selected = 0;
    for (int i = 0; i < rates.size(); ++i) {
        ui.comboBox1_2->addItem(QString::number(rates.at(i), 'f', 1) + " Hz");
        if (rates.at(i) == defaultRate)
            selected = i;
    }
    ui.comboBox1_2->setCurrentIndex(selected);
}

void ExportUI::setAvailableMix(const QStringList& names)
{
    if (names.isEmpty()) {
        setMode(ModeNoMix);
        return;
    }
    setMode(ModeMixes);
    exportModeChanged();
    ui.mixComboBox->clear();
    ui.mixComboBox->addItems(names);
}

void ExportUI::setMode(EExportMode newMode)
{
    mode = newMode;
    if (mode == ModeNoMix) {
        ui.radioButtonExport1->click();
        setTovixChooseVisible(true);
    } else {
        setTovixChooseVisible(false);
    }
}

void ExportUI::setTovixChooseVisible(bool visible)
{
    ui.mixlabel->hide();
    ui.mixComboBox->hide();
    ui.label7_2->setVisible(visible);
    ui.radioButton1_2->setVisible(visible);
    ui.radioButton2_2->setVisible(visible);
    if (!visible)
        return;
    ui.label7_2->setText(tr("Tovix par défaut"));
    ui.radioButton1_2->setText(tr("Tovix aléatoire"));
    ui.radioButton1_2->setChecked(true);
    ui.radioButton2_2->setText(tr("Toutes les pistes"));
    ui.radioButton2_2->setChecked(false);
    ui.optionsGrid->addWidget(ui.radioButton1_2, 0, 1);
    ui.optionsGrid->addWidget(ui.radioButton2_2, 0, 2);
}

void ExportUI::setCurrentIndex(int tab)
{
    hideFormats();
    ui.tabWidget->setCurrentIndex(tab);
}

void ExportUI::setProjetProp(QWidget* panel)
{
    ui.exportLayout->insertWidget(1, panel);
}

bool ExportUI::exportTovra() const
{
    return ui.radioButtonExport1->isChecked();
}

bool ExportUI::getRandomMix() const
{
    return ui.radioButton1_2->isChecked();
}

QString ExportUI::getPath() const
{
    return ui.lineEdit_2->text();
}

QString ExportUI::getSelectedMix() const
{
    return ui.mixComboBox->currentText();
}

int ExportUI::getFormat() const
{
    const int index = ui.comboBox2_2->currentIndex();
    return index >= 0 && index < formats.size() ? formats.at(index)->getOptionValue() : -1;
}

double ExportUI::getRate() const
{
    const int index = ui.comboBox1_2->currentIndex();
    return index >= 0 && index < rates.size() ? rates.at(index) : SonaricDefines::ExportDefaultRate();
}

void ExportUI::addCompressionOptions()
{
    auto* raw = new WdgFmtSndFile(RawMajor, this);
    ui.optionsGrid->addWidget(raw, 4, 1, 1, 2);
    raw->hide();
    containerFormats << raw;
}

void ExportUI::addButtonExportTovix()
{
    ui.tabWidget->setTabEnabled(1, true);
    ui.radioButtonExport2->setEnabled(true);
}

void ExportUI::hideFormats()
{
    for (WdgAudioFormat* format : formats)
        format->hide();
}

void ExportUI::changeView(int tab)
{
    // Each tab comes back to its own file; a tab without one starts from the other tab's.
    if (shownTab == 0 || shownTab == 1)
        tabPaths[shownTab] = hasPath() ? getPath() : QString();
    if ((tab == 0 || tab == 1) && !tabPaths[tab].isEmpty())
        ui.lineEdit_2->setText(tabPaths[tab]);
    shownTab = tab;
    hideFormats();
    if (tab == 0) {
        ui.tab->layout()->addWidget(ui.widgetExport);
        ui.radioButtonExport1->click();
    } else {
        ui.widget_3->hide();
        ui.tab_2->layout()->addWidget(ui.widgetExport);
        ui.radioButtonExport2->click();
    }
    // Moving to another parent hides a widget.
    ui.widgetExport->show();
}

bool ExportUI::hasPath() const
{
    const QString path = getPath();
    return !path.isEmpty() && path != DefaultFileName();
}

void ExportUI::replacePathSuffix(const QString& extension)
{
    if (hasPath())
        ui.lineEdit_2->setText(withExtension(getPath(), extension));
}

void ExportUI::exportModeChanged()
{
    formatChanged(-1);
    if (!exportTovra()) {
        setTovixChooseVisible(false);
        ui.mixlabel->setText(tr("Tovix à exporter"));
        ui.mixlabel->show();
        ui.mixComboBox->show();
        formats = mixFormats;
    } else {
        setTovixChooseVisible(mode == ModeNoMix);
        ui.mixlabel->setText(tr("Tovix par défaut"));
        ui.mixlabel->hide();
        ui.mixComboBox->hide();
        formats = containerFormats;
        replacePathSuffix("tovra");
    }
    // Refilling the combo must not run formatChanged for each item: it runs once below.
    const QSignalBlocker blocker(ui.comboBox2_2);
    ui.comboBox2_2->clear();
    for (WdgAudioFormat* format : formats)
        ui.comboBox2_2->addItem(format->getFormatName());
    ui.comboBox2_2->setCurrentIndex(formats.isEmpty() ? -1 : 0);
    formatChanged(0);
}

void ExportUI::formatChanged(int index)
{
    for (WdgAudioFormat* format : formats)
        if (!format->isHidden()) {
            format->hide();
            break;
        }
    if (index < 0 || index >= formats.size())
        return;
    WdgAudioFormat* format = formats.at(index);
    optionLabel->setText(format->getOptionName());
    format->show();
    if (ui.radioButtonExport2->isChecked() && !format->getExtensions().isEmpty())
        replacePathSuffix(format->getExtensions().first());
}

void ExportUI::setPathColor(const QColor& color)
{
    // The text takes the colour that reads on the field's background.
    QPalette palette = ui.lineEdit_2->palette();
    palette.setColor(QPalette::All, QPalette::Window, color);
    palette.setColor(QPalette::All, QPalette::Base, color);
    palette.setColor(QPalette::All, QPalette::Text, color.lightness() > 150 ? QColor(Qt::black) : QColor(Qt::white));
    ui.lineEdit_2->setPalette(palette);
}

void ExportUI::openFileDlg()
{
    const bool container = exportTovra();
    const int index = ui.comboBox2_2->currentIndex();
    const QStringList formatExtensions =
        index >= 0 && index < formats.size() ? formats.at(index)->getExtensions() : QStringList();
    QString filter;
    if (container) {
        filter = " (*.tovra *.tvr)";
    } else {
        filter = "(";
        for (const QString& extension : formatExtensions)
            filter += " *." + extension;
        filter += ")";
    }
    SonaricParams* params =
        ZazuzoziZadiviDU::hasInstance() ? ZazuzoziZadiviDU::getInstance()->getParams() : nullptr;
    QString path = KPrompt::getSaveFileName(this, tr("Exporter en Tovra"),
                                            params ? params->getLastExportDirectory() : QString(), filter);
    if (path.isEmpty())
        return;
    setPathColor(KTheme::color(KTheme::Panel));
    ui.lineEdit_2->setAlignment(Qt::AlignLeft);
    if (params)
        params->setLastExportDirectory(QFileInfo(path).absolutePath());
    const QStringList allowed = container ? QStringList{"tovra"} : formatExtensions;
    const QString suffix = QFileInfo(path).suffix();
    if (!allowed.isEmpty() && (suffix.isEmpty() || !allowed.contains(suffix)))
        path += "." + allowed.first();
    ui.lineEdit_2->setText(path);
}

void ExportUI::export_slot()
{
    ZazuzoziZadiviDU* window = ZazuzoziZadiviDU::hasInstance() ? ZazuzoziZadiviDU::getInstance() : nullptr;
    if (!window || !window->hasTrackInStructure()) {
        KPrompt::information(window, tr("Export"), tr("Aucune piste dans la structure !"));
        return;
    }
    if (!hasPath()) {
        setPathColor(Qt::red);
        KPrompt::warning(this, tr("Export"), tr("Vous devez spécifier un fichier de destination !"));
        return;
    }
    // The path may have been completed or rewritten after the file chooser confirmed it.
    if (QFileInfo::exists(getPath())
        && KPrompt::question(this, tr("Export"),
                             tr("Le fichier \"%1\" existe déjà. Voulez-vous le remplacer ?").arg(getPath()),
                             QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
               != QMessageBox::Yes)
        return;
    emit exported();
}
