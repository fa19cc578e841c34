// The export page: gathers the target path, the sample rate, the format with its option, and
// either the default-mix policy of the distributable file or the stored mix to render. It only
// checks the choices; the main window runs the export when exported() is emitted.
#ifndef EXPORTUI_H
#define EXPORTUI_H

#include <QList>
#include <QStringList>
#include <QWidget>

class QButtonGroup;
class QComboBox;
class QFrame;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QToolButton;
class QVBoxLayout;
class WdgAudioFormat;

// The page's controls, named as the main window and the tests find them.
struct Ui_ExportUIClass {
    QFrame* frame;
    QTabWidget* tabWidget;
    QWidget* tab;
    QWidget* tab_2;
    QWidget* widget_3;
    QWidget* widgetExport;
    QVBoxLayout* exportLayout;
    QGroupBox* groupBoxExport;
    QLabel* mixlabel;
    QComboBox* mixComboBox;
    QLabel* fileLabel;
    QLineEdit* lineEdit_2;
    QToolButton* toolButton_2;
    QGroupBox* groupBoxOptions;
    QGridLayout* optionsGrid;
    QLabel* label7_2;
    QRadioButton* radioButton1_2;
    QRadioButton* radioButton2_2;
    QLabel* rateLabel;
    QComboBox* comboBox1_2;
    QLabel* formatLabel;
    QComboBox* comboBox2_2;
    QPushButton* okButton_2;
    QRadioButton* radioButtonExport1;
    QRadioButton* radioButtonExport2;
    QButtonGroup* exportGroup;

    void setupUi(QWidget* page);
    void retranslateUi(QWidget* page);
};

class ExportUI : public QWidget
{
    Q_OBJECT

public:
    // 1: no stored mix, the author chooses the default-mix policy; 0: the project has mixes.
    enum EExportMode { ModeMixes = 0, ModeNoMix = 1 };

    // The placeholder of the path field.
    static QString DefaultFileName();
    // The offered rates: the given ones, sorted and without repeats, merged with the standard
    // rates.
    static QList<double> mergeRates(const QList<double>& rates);

    explicit ExportUI(QWidget* parent = nullptr);

    void setAvailableRates(const QList<double>& rates);
    void setAvailableMix(const QStringList& names);
    void setMode(EExportMode mode);
    void setTovixChooseVisible(bool visible);
    void setCurrentIndex(int tab);
    // Places the project property panel right under the path group.
    void setProjetProp(QWidget* panel);

    bool exportTovra() const;
    int getExportMode() const { return mode; }
    bool getRandomMix() const;
    QString getPath() const;
    QString getSelectedMix() const;
    int getFormat() const;
    double getRate() const;

    void addCompressionOptions();
    void addButtonExportTovix();

    const Ui_ExportUIClass& form() const { return ui; }
    QList<WdgAudioFormat*> currentFormats() const { return formats; }

signals:
    void exported();

public slots:
    void changeView(int tab);
    void exportModeChanged();
    void formatChanged(int index);
    void openFileDlg();
    void export_slot();

private:
    void hideFormats();
    void setPathColor(const QColor& color);
    // The path with its suffix replaced, when one is set.
    void replacePathSuffix(const QString& extension);
    bool hasPath() const;

    Ui_ExportUIClass ui;
    int mode = ModeNoMix;
    // The file each tab writes, kept apart so that a mix export does not rename the
    // distributable file; empty until the tab had a file.
    QString tabPaths[2];
    int shownTab = 0;
    QList<WdgAudioFormat*> formats;
    QList<WdgAudioFormat*> containerFormats;
    QList<WdgAudioFormat*> mixFormats;
    QList<double> rates;
    QLabel* optionLabel;
};

#endif
