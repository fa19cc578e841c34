// The modal settings dialog: the preferences panel loaded from the preferences when it opens
// and written back, with the interface language into the language file, when confirmed. The new
// language is read at the next start.
#ifndef KPARAMSDLG_H
#define KPARAMSDLG_H

#include <QDialog>

class KParamsUI;
class SonaricParams;

class KParamsDlg : public QDialog
{
    Q_OBJECT

public:
    // Opens the dialog on the given page and saves when it is accepted; always true.
    static bool open(int tab, SonaricParams* params, QWidget* parent);

    explicit KParamsDlg(QWidget* parent = nullptr);

    void init(SonaricParams* params);
    // False when the language file could not be written; every other preference is stored.
    bool save(SonaricParams* params);

    KParamsUI* panel() const { return paramsUI; }

private:
    KParamsUI* paramsUI;
};

#endif
