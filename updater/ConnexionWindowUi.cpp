#include "ConnexionWindowUi.h"

#include "UpdaterTitle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

ConnexionWindowUi::ConnexionWindowUi(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint),
      m_title(new QLabel(tr("Connexion to Tovra Server"), this)),
      m_status(new QLabel(this)),
      m_bar(new QProgressBar(this)),
      m_cancel(new QPushButton(tr("Cancel"), this))
{
    QFont titleFont(QStringLiteral("Tahoma"), 9, QFont::Black);
    titleFont.setStretch(112);
    m_title->setFont(titleFont);
    m_title->setAlignment(Qt::AlignHCenter);
    m_status->setFont(QFont(QStringLiteral("Tahoma"), 9, QFont::Light));
    m_bar->setRange(0, 100);
    m_bar->setAlignment(Qt::AlignCenter);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cancel);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(5, 10, 5, 5);
    layout->addWidget(m_title);
    layout->addWidget(m_status);
    layout->addWidget(m_bar);
    layout->addLayout(buttons);
    setMinimumWidth(300);
    setWindowTitle(updaterTitle());

    connect(m_cancel, &QPushButton::pressed, this, &ConnexionWindowUi::cancelPressed);
}

void ConnexionWindowUi::setNextEnabled(bool enabled)
{
    if (enabled)
        emit nextPressed();
}

void ConnexionWindowUi::addStatusConnexion(const QString& text)
{
    m_status->setText(text);
}

void ConnexionWindowUi::setValueProgressBar(int value)
{
    m_bar->setValue(value);
}

void ConnexionWindowUi::setTotalOnBarFile(int total)
{
    m_bar->setMaximum(total);
}
