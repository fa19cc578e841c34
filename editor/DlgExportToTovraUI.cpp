#include "DlgExportToTovraUI.h"

#include "AppServices.h"
#include "KObjFile.h"
#include "KPrompt.h"
#include "ProgressThread.h"
#include "SonaricParams.h"
#include "WdgAudioFormat.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {
const QStringList TovraSuffixes = {"tovra", "tvr"};
constexpr int OptionRow = 2;
} // namespace

DlgExportToTovraUI::DlgExportToTovraUI(SonaricParams* params, QWidget* parent)
    : QDialog(parent), m_params(params)
{
    setObjectName("DlgExportToTovraUI");
    setWindowTitle(tr("Exporter en Tovra"));
    auto* column = new QVBoxLayout(this);

    m_grid = new QGridLayout;
    column->addLayout(m_grid);
    m_defMixLabel = new QLabel(tr("Tovix par défaut"), this);
    m_defMixLabel->setObjectName("defMixLabel");
    m_randomRadio = new QRadioButton(tr("Tovix aléatoire"), this);
    m_randomRadio->setObjectName("randomRadio");
    m_allTracksRadio = new QRadioButton(tr("Toutes les pistes"), this);
    m_allTracksRadio->setObjectName("allTracksRadio");
    m_defMixGroup = new QButtonGroup(this);
    m_defMixGroup->addButton(m_randomRadio);
    m_defMixGroup->addButton(m_allTracksRadio);
    m_grid->addWidget(m_defMixLabel, 0, 0);
    m_grid->addWidget(m_randomRadio, 0, 1);
    m_grid->addWidget(m_allTracksRadio, 0, 2);

    m_formatCombo = new QComboBox(this);
    m_formatCombo->setObjectName("formatComboBox");
    m_grid->addWidget(new QLabel(tr("Format des pistes"), this), 1, 0);
    m_grid->addWidget(m_formatCombo, 1, 1, 1, 2);
    m_optionLabel = new QLabel(this);
    m_optionLabel->setObjectName("optionLabel");
    m_grid->addWidget(m_optionLabel, OptionRow, 0);
    m_rateCombo = new QComboBox(this);
    m_rateCombo->setObjectName("rateComboBox");
    m_grid->addWidget(new QLabel(tr("Fréquence d'échantillonnage"), this), 3, 0);
    m_grid->addWidget(m_rateCombo, 3, 1, 1, 2);

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(new QLabel(tr("Fichier"), this));
    m_pathEdit = new QLineEdit(this);
    m_pathEdit->setObjectName("pathLineEdit");
    fileRow->addWidget(m_pathEdit, 1);
    m_fileButton = new QToolButton(this);
    m_fileButton->setObjectName("fileButton");
    m_fileButton->setIcon(AppServices::pictureIcon(":/Img/Folder22"));
    m_fileButton->setText("...");
    fileRow->addWidget(m_fileButton);
    column->addLayout(fileRow);

    m_progressBar = new QProgressBar(this);
    m_progressBar->setObjectName("progressBar");
    m_progressBar->setRange(0, 100);
    m_progressBar->setValue(0);
    column->addWidget(m_progressBar);
    m_progressText = new QLabel(this);
    m_progressText->setObjectName("progressText");
    column->addWidget(m_progressText);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_exportButton = new QPushButton(tr("Exporter"), this);
    m_exportButton->setObjectName("exportButton");
    m_exportButton->setDefault(true);
    m_cancelButton = new QPushButton(tr("Annuler"), this);
    m_cancelButton->setObjectName("cancelButton");
    buttons->addWidget(m_exportButton);
    buttons->addWidget(m_cancelButton);
    column->addLayout(buttons);

    setMode(ModeChooseDefault);
    setAvailableRates(SonaricDefines::ExportRates());
    connect(m_formatCombo, &QComboBox::currentIndexChanged, this, &DlgExportToTovraUI::formatChanged);
    connect(m_fileButton, &QToolButton::clicked, this, &DlgExportToTovraUI::openFileDlg);
    connect(m_exportButton, &QPushButton::clicked, this, &DlgExportToTovraUI::export_slot);
    connect(m_cancelButton, &QPushButton::clicked, this, &DlgExportToTovraUI::reject);
}

DlgExportToTovraUI::~DlgExportToTovraUI()
{
    stopProgress();
}

void DlgExportToTovraUI::setMode(int mode)
{
    m_mode = mode == ModeStoredMixes ? ModeStoredMixes : ModeChooseDefault;
    const bool choose = m_mode == ModeChooseDefault;
    m_defMixLabel->setVisible(choose);
    m_randomRadio->setVisible(choose);
    m_allTracksRadio->setVisible(choose);
    if (choose)
        m_randomRadio->setChecked(true);
}

void DlgExportToTovraUI::addFormat(WdgAudioFormat* format)
{
    if (!format)
        return;
    format->setParent(this);
    format->hide();
    m_grid->addWidget(format, OptionRow, 1, 1, 2);
    m_formats << format;
    m_formatCombo->addItem(format->getFormatName());
}

void DlgExportToTovraUI::formatChanged(int index)
{
    for (WdgAudioFormat* format : m_formats)
        format->hide();
    if (index < 0 || index >= m_formats.size()) {
        m_optionLabel->clear();
        return;
    }
    m_optionLabel->setText(m_formats[index]->getOptionName());
    m_formats[index]->show();
}

void DlgExportToTovraUI::setAvailableRates(const QList<double>& rates)
{
    m_rates = rates;
    std::sort(m_rates.begin(), m_rates.end());
    m_rates.erase(std::unique(m_rates.begin(), m_rates.end()), m_rates.end());
    m_rateCombo->clear();
    for (double rate : m_rates)
        m_rateCombo->addItem(QString::number(rate, 'f', 0) + " Hz");
    m_rateCombo->setCurrentIndex(std::max(0, int(m_rates.indexOf(SonaricDefines::ExportDefaultRate()))));
}

QString DlgExportToTovraUI::getPath() const
{
    return m_pathEdit->text();
}

void DlgExportToTovraUI::setPath(const QString& path)
{
    m_pathEdit->setText(path);
}

int DlgExportToTovraUI::getFormat() const
{
    const int index = m_formatCombo->currentIndex();
    return index >= 0 && index < m_formats.size() ? m_formats[index]->getOptionValue() : -1;
}

double DlgExportToTovraUI::getRate() const
{
    const int index = m_rateCombo->currentIndex();
    return index >= 0 && index < m_rates.size() ? m_rates[index] : SonaricDefines::ExportDefaultRate();
}

bool DlgExportToTovraUI::getRandomMix() const
{
    return m_randomRadio->isChecked();
}

int DlgExportToTovraUI::getDefMixPolicy() const
{
    if (m_mode == ModeStoredMixes)
        return KObjFile::DefMixNone;
    return getRandomMix() ? KObjFile::DefMixPlain : KObjFile::DefMixAllTracks;
}

// The chooser confirms overwriting the name it gives; a suffix appended here makes another
// name, which export_slot confirms in its turn.
void DlgExportToTovraUI::openFileDlg()
{
    const QString chosen = KPrompt::getSaveFileName(this, tr("Exporter en Tovra"),
                                                    m_params ? m_params->getLastExportDirectory() : QString(),
                                                    " (*.tovra *.tvr)");
    if (chosen.isEmpty())
        return;
    const QFileInfo info(chosen);
    if (m_params)
        m_params->setLastExportDirectory(info.absolutePath());
    m_confirmedPath = chosen;
    setPath(TovraSuffixes.contains(info.suffix()) ? chosen : chosen + ".tovra");
}

void DlgExportToTovraUI::export_slot()
{
    const QString path = getPath().trimmed();
    if (path.isEmpty()) {
        KPrompt::warning(this, windowTitle(), tr("Vous devez spécifier un fichier de destination !"));
        return;
    }
    if (getFormat() < 0) {
        KPrompt::warning(this, windowTitle(), tr("Aucun format d'export disponible !"));
        return;
    }
    if (path != m_confirmedPath && QFileInfo::exists(path) &&
        KPrompt::question(this, windowTitle(), tr("Le fichier existe déjà. Voulez-vous le remplacer ?"),
                          QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
        return;
    emit exported();
}

void DlgExportToTovraUI::setInputsEnabled(bool enabled)
{
    for (QWidget* input : {static_cast<QWidget*>(m_randomRadio), static_cast<QWidget*>(m_allTracksRadio),
                           static_cast<QWidget*>(m_formatCombo), static_cast<QWidget*>(m_rateCombo),
                           static_cast<QWidget*>(m_pathEdit), static_cast<QWidget*>(m_fileButton),
                           static_cast<QWidget*>(m_exportButton)})
        input->setEnabled(enabled);
    for (WdgAudioFormat* format : m_formats)
        format->setEnabled(enabled);
}

void DlgExportToTovraUI::beginProgress(KObjProgress* progress)
{
    stopProgress();
    if (!progress)
        return;
    setProgressValue(0);
    setProgressText(QString());
    setInputsEnabled(false);
    m_poller = new ProgressThread(progress);
    connect(m_poller, &ProgThread::setProgress, this, &DlgExportToTovraUI::setProgressValue);
    connect(m_poller, &ProgThread::setText, this, &DlgExportToTovraUI::setProgressText);
    m_poller->start();
}

void DlgExportToTovraUI::stopProgress()
{
    if (!m_poller)
        return;
    disconnect(m_poller, nullptr, this, nullptr);
    delete m_poller; // stops the polling and waits for it
    m_poller = nullptr;
    setInputsEnabled(true);
}

void DlgExportToTovraUI::setProgressValue(int percent)
{
    m_progressBar->setValue(std::clamp(percent, 0, 100));
}

void DlgExportToTovraUI::setProgressText(const QString& text)
{
    m_progressText->setText(text);
}

void DlgExportToTovraUI::reject()
{
    emit cancelled();
    if (!inProgress())
        QDialog::reject();
}
