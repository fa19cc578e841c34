// The dialog that gathers one export of the distributable file: the default-mix policy when
// the project has no stored mix, the tracks' format and its option, the sample rate and the
// target file; it shows the running export's progress. It only emits exported() and
// cancelled(); its controller runs the export.
#ifndef DLGEXPORTTOTOVRAUI_H
#define DLGEXPORTTOTOVRAUI_H

#include <QDialog>
#include <QList>

class KObjProgress;
class ProgressThread;
class QButtonGroup;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QToolButton;
class SonaricParams;
class WdgAudioFormat;

class DlgExportToTovraUI : public QDialog
{
    Q_OBJECT

public:
    // 1: the project has no stored mix, the author chooses the default mix; 0: it has some.
    enum EExportMode { ModeStoredMixes = 0, ModeChooseDefault = 1 };

    // params (not owned, may be null) keeps the last export folder.
    explicit DlgExportToTovraUI(SonaricParams* params, QWidget* parent = nullptr);
    ~DlgExportToTovraUI() override;

    void setMode(int mode);
    int getMode() const { return m_mode; }
    // Takes the option widget over and lists its format; the first one added is shown.
    void addFormat(WdgAudioFormat* format);
    // The offered rates, sorted, each once; the default export rate is selected when offered.
    void setAvailableRates(const QList<double>& rates);

    QString getPath() const;
    void setPath(const QString& path);
    // The current format's code, -1 without one.
    int getFormat() const;
    double getRate() const;
    bool getRandomMix() const;
    // The default-mix policy of the export (KObjFile::EDefMix).
    int getDefMixPolicy() const;
    bool inProgress() const { return m_poller != nullptr; }

public slots:
    void formatChanged(int index);
    void openFileDlg();
    // Polls the progress object (borrowed; it must outlive stopProgress()) into the bar.
    void beginProgress(KObjProgress* progress);
    void stopProgress();
    void setProgressValue(int percent);
    void setProgressText(const QString& text);
    // Cancel: emits cancelled(); the dialog closes only when no export runs.
    void reject() override;

signals:
    void exported();
    void cancelled();

private:
    void export_slot();
    void setInputsEnabled(bool enabled);

    SonaricParams* m_params;
    int m_mode = ModeChooseDefault;
    QList<WdgAudioFormat*> m_formats;
    QList<double> m_rates;
    QString m_confirmedPath; // the file the chooser confirmed, overwrite included
    ProgressThread* m_poller = nullptr;

    QLabel* m_defMixLabel;
    QRadioButton* m_randomRadio;
    QRadioButton* m_allTracksRadio;
    QButtonGroup* m_defMixGroup;
    QComboBox* m_formatCombo;
    QLabel* m_optionLabel;
    QGridLayout* m_grid;
    QComboBox* m_rateCombo;
    QLineEdit* m_pathEdit;
    QToolButton* m_fileButton;
    QPushButton* m_exportButton;
    QPushButton* m_cancelButton;
    QProgressBar* m_progressBar;
    QLabel* m_progressText;
};

#endif
