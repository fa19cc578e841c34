// A label that reports a mouse press with a text of its own.
#ifndef KURLLABEL_H
#define KURLLABEL_H

#include <QLabel>

class KUrlLabel : public QLabel
{
    Q_OBJECT
public:
    explicit KUrlLabel(QWidget* parent = nullptr);
    KUrlLabel(const QString& text, QWidget* parent = nullptr);
    KUrlLabel(const QString& text, const QString& sendText, QWidget* parent = nullptr);

    void setSendText(const QString& sendText);
    QString sendText() const { return m_sendText; }

signals:
    void labelClicked();
    void labelClicked(const QString& sendText);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    QString m_sendText;
};

#endif
