// An editable list of addresses to choose from or type into.
#ifndef KINPUTURL_H
#define KINPUTURL_H

#include <QDialog>
#include <QStringList>

class QComboBox;

class KInputUrl : public QDialog
{
    Q_OBJECT
public:
    explicit KInputUrl(QWidget* parent = nullptr);

    void setItems(const QStringList& items);
    QString getURL() const;

    // The chosen or typed address; a null string when refused.
    static QString open(QWidget* parent, const QStringList& items);

private:
    QComboBox* m_comboBox;
};

#endif
