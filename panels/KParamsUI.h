// The preferences panel of the settings dialog: four pages (general, stem tracks, Tovix,
// conversion) whose controls map to the preference values. Getters read the controls when
// called; setters only change the controls.
#ifndef KPARAMSUI_H
#define KPARAMSUI_H

#include "SonaricParamsEnums.h"

#include <QWidget>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QRadioButton;
class QTabWidget;
class KNotMuteLevelUI;
class KStereoConvertUI;

class KParamsUI : public QWidget
{
    Q_OBJECT

public:
    // Page requests of the settings dialog's commands.
    enum KParamsTab { GeneralTab = 0, TovixTab = 1, ConversionTab = 2 };

    explicit KParamsUI(QWidget* parent = nullptr);

    QString getLanguage() const;
    void setLanguage(const QString& code);
    bool mustRestart() const { return restart; }
    SonaricEnums::EUpdateSearch getUpdateSearch() const;
    void setUpdateSearch(SonaricEnums::EUpdateSearch mode);
    bool getUseCnsttSelection() const;
    void setUseCnsttSelection(bool use);
    bool getUseCnsttLevel() const;
    void setUseCnsttLevel(bool use);
    SonaricEnums::EImportStereo getImportStereoMode() const;
    void setImportStereoMode(SonaricEnums::EImportStereo mode);
    SonaricEnums::EImportStereo getImportStereoConvert() const;
    void setImportStereoConvert(SonaricEnums::EImportStereo choice);
    QString getImportStereoSuffix() const;
    void setImportStereoSuffix(const QString& suffix);
    int getNotMuteLevelMode() const;
    void setNotMuteLevelMode(SonaricEnums::ENotMuteLevel mode);
    int getNotMuteMinLevel() const;
    void setNotMuteMinLevel(int level);
    void openTabDefault(int index);
    // The page each request opens: the Tovix options on "Tovix", the conversion options on
    // "Conversion", anything else on "Général".
    static int getTabIndex(KParamsTab tab);

public slots:
    void message_restart(int index);

private:
    QTabWidget* tabWidget;
    QComboBox* langCB;
    QRadioButton* updateRB[3];
    QRadioButton* importStereoButt[3];
    QCheckBox* useCnsttSelectionCB;
    QCheckBox* useCnsttLevelCB;
    KStereoConvertUI* convert;
    KNotMuteLevelUI* notMute;
    bool restart = false;
};

#endif
