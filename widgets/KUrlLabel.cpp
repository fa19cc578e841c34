#include "KUrlLabel.h"

KUrlLabel::KUrlLabel(QWidget* parent) : QLabel(parent)
{
}

KUrlLabel::KUrlLabel(const QString& text, QWidget* parent) : QLabel(text, parent)
{
}

KUrlLabel::KUrlLabel(const QString& text, const QString& sendText, QWidget* parent)
    : QLabel(text, parent), m_sendText(sendText)
{
}

void KUrlLabel::setSendText(const QString& sendText)
{
    m_sendText = sendText;
}

void KUrlLabel::mousePressEvent(QMouseEvent* event)
{
    QLabel::mousePressEvent(event);
    emit labelClicked();
    emit labelClicked(m_sendText);
}
