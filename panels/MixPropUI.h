// A summary of the project's stored mixes: the default mix (chosen here), the current mix
// (renamed here) and their number. It follows the document's mix signals.
#ifndef MIXPROPUI_H
#define MIXPROPUI_H

#include <QPointer>
#include <QWidget>

class KCtrlFile;
class QComboBox;
class QLabel;
class QLineEdit;

class MixPropUI : public QWidget
{
    Q_OBJECT

public:
    MixPropUI(KCtrlFile* document, QWidget* parent = nullptr);

    // Binds the panel to a document (null unbinds) and lists its stored mixes with its default
    // mix selected.
    void setKFile(KCtrlFile* document);
    QStringList getMixes() const;
    QString getDefaultMix() const;
    QString getCurrentMix() const;

public slots:
    void addMix(const QString& name, bool setCurrent, bool setDefault);
    void setCurrentMix(const QString& name);
    void currentMixChanged(const QString& name);
    void currentMixChanged(const QStringList& names);
    void removeMix(const QString& name);

private:
    void defaultChosen(int index);
    void defaultChanged(const QString& name);
    void mixRenamed(const QString& oldName, const QString& newName);
    void currentEdited();
    void showCount();

    QPointer<KCtrlFile> m_document; // cleared when the document goes
    QComboBox* defMixComboBox;
    QLineEdit* curMixLineEdit;
    QLabel* mixNbLabel;
    QString m_current; // the name of the mix the line edit stands for
};

#endif
