// Asks how one stereo audio file becomes mono (overwrite, new file with a suffix, new file under
// another name) and whether the answer is to be remembered.
#ifndef KCHECKBOXMULTIDLG_H
#define KCHECKBOXMULTIDLG_H

#include "SonaricParamsEnums.h"

#include <QDialog>

class QCheckBox;
class QPushButton;
class QVBoxLayout;
class KStereoConvertUI;

class KCheckBoxMultiDlg : public QDialog
{
    Q_OBJECT

public:
    KCheckBoxMultiDlg(const QString& fileName, QWidget* parent = nullptr);

    SonaricEnums::EImportStereo getChoose() const;
    void setChoose(SonaricEnums::EImportStereo choice);
    QString getLineEditText() const;
    void setLineEditText(const QString& text);
    bool isChecked() const;

public slots:
    // A suffix that is empty or names another folder would write over the source or outside
    // its folder: refused with a box, the dialog stays open.
    void accept() override;

private:
    KStereoConvertUI* convert;
    QVBoxLayout* verticalLayout;
    QCheckBox* checkBox;
    QPushButton* acceptButt;
    QPushButton* rejectButt;
};

#endif
