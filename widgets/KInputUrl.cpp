#include "KInputUrl.h"

#include "KPrompt.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

KInputUrl::KInputUrl(QWidget* parent) : QDialog(parent), m_comboBox(new QComboBox(this))
{
    setObjectName("KInputUrl");
    setWindowTitle("KInputUrl");
    m_comboBox->setObjectName("comboBox");
    m_comboBox->setEditable(true);
    m_comboBox->setMaxVisibleItems(5);
    auto* openButton = new QPushButton("Open", this);
    openButton->setObjectName("openButton");
    openButton->setDefault(true);
    auto* cancelButton = new QPushButton("Cancel", this);
    cancelButton->setObjectName("cancelButton");

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Enter a URL to open here:", this));
    layout->addWidget(m_comboBox);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(openButton);
    buttons->addWidget(cancelButton);
    layout->addLayout(buttons);
    resize(319, 99);
    setMaximumHeight(99);

    connect(openButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void KInputUrl::setItems(const QStringList& items)
{
    m_comboBox->addItems(items);
}

QString KInputUrl::getURL() const
{
    return m_comboBox->currentText();
}

QString KInputUrl::open(QWidget* parent, const QStringList& items)
{
    KInputUrl dialog(parent);
    dialog.setItems(items);
    dialog.setModal(true);
    return KPrompt::exec(&dialog) == QDialog::Accepted ? dialog.getURL() : QString();
}
