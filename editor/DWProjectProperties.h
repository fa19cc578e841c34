// A dock window with the project's song metadata: title, author, copyright, album, style, year
// and the band page link. It reads them from a document and writes them back; the other pairs
// of the document (further properties, other links) are kept as they are.
#ifndef DWPROJECTPROPERTIES_H
#define DWPROJECTPROPERTIES_H

#include <QDockWidget>
#include <QMap>
#include <QPointer>

class KCtrlFile;
class QLineEdit;
class QPushButton;
class QSpinBox;

class DWProjectProperties : public QDockWidget
{
    Q_OBJECT

public:
    explicit DWProjectProperties(QWidget* parent = nullptr);

    // Shows the document's values and remembers the document for init().
    void setMediaSong(KCtrlFile* document);
    // Writes the shown values into the document. On a refusal the document's metadata are put
    // back as they were and false is returned.
    bool saveMediaSong(KCtrlFile* document);
    // The value shown under a metadata key ("TITLE", "YEAR", "RAVERUREZI_BANDLINK"...).
    QString value(const QString& key) const;
    void setValue(const QString& key, const QString& text);

public slots:
    // Shows the remembered document's values again, or empty fields without one.
    void init();

private:
    QPointer<KCtrlFile> m_document; // cleared when the document goes
    QMap<QString, QLineEdit*> m_fields;
    QSpinBox* m_year;
    QPushButton* m_resetButton;
};

#endif
