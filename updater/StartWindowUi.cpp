#include "StartWindowUi.h"

#include "UpdaterTitle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

StartWindowUi::StartWindowUi(QWidget* parent)
    : QWidget(parent),
      m_next(new QPushButton(tr("Next"), this)),
      m_exit(new QPushButton(tr("Exit"), this))
{
    auto* headline = new QLabel(tr("An Tovra Sonaric update is available."), this);
    headline->setObjectName("headline");
    QFont headlineFont(QStringLiteral("Tahoma"), 9, QFont::Black);
    headline->setFont(headlineFont);
    auto* hint = new QLabel(tr("Click on \"Next\" to download and install..."), this);
    hint->setObjectName("hint");
    hint->setWordWrap(true);
    m_next->setObjectName("nextButton");
    m_exit->setObjectName("exitButton");
    m_next->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_exit);
    buttons->addWidget(m_next);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->addWidget(headline);
    layout->addWidget(hint);
    layout->addStretch();
    layout->addLayout(buttons);
    setWindowTitle(updaterTitle());
    // Fixed at the size its contents ask, never less than the form's.
    setFixedSize(layout->sizeHint().expandedTo(QSize(360, 140)));

    connect(m_next, &QPushButton::clicked, this, &StartWindowUi::continuerPressed);
    connect(m_exit, &QPushButton::clicked, this, &StartWindowUi::quitterPressed);
}
