#include "KCheckBoxDlg.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

KCheckBoxDlg::KCheckBoxDlg(QWidget* parent)
    : QDialog(parent),
      m_layout(new QVBoxLayout(this)),
      m_label(new QLabel("label", this)),
      m_checkBox(new QCheckBox("checkBox", this)),
      m_acceptButton(new QPushButton("acceptButt", this)),
      m_rejectButton(new QPushButton("rejectButt", this)),
      m_ignoreAllButton(new QPushButton("IgnoreAllButton", this))
{
    setObjectName("KCheckBoxDlg");
    setWindowTitle("KCheckBoxDlg");
    m_label->setObjectName("label");
    m_label->setWordWrap(true);
    m_checkBox->setObjectName("checkBox");
    m_acceptButton->setObjectName("acceptButt");
    m_rejectButton->setObjectName("rejectButt");
    m_ignoreAllButton->setObjectName("ignoreAllButton");

    m_layout->addWidget(m_label);
    m_layout->addItem(new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding));
    auto* row = new QHBoxLayout;
    row->addWidget(m_checkBox);
    row->addStretch();
    row->addWidget(m_acceptButton);
    row->addWidget(m_rejectButton);
    row->addWidget(m_ignoreAllButton);
    m_layout->addLayout(row);
    resize(400, 89);

    setModal(true);
    connect(m_acceptButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_rejectButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_ignoreAllButton, &QPushButton::clicked, this, &KCheckBoxDlg::ignoreAll);
}

KCheckBoxDlg::KCheckBoxDlg(const QString& title, const QString& label, const QString& checkBoxText,
                           const QString& acceptText, const QString& rejectText, bool checked,
                           QWidget* parent, const QString& ignoreAllText)
    : KCheckBoxDlg(parent)
{
    setTitle(title);
    setLabel(label);
    setCheckBoxTxt(checkBoxText);
    setChecked(checked);
    setButtonsTxt(acceptText, rejectText);
    m_ignoreAllButton->setText(ignoreAllText);
    m_ignoreAllButton->setVisible(!ignoreAllText.isEmpty());
}

void KCheckBoxDlg::setTitle(const QString& text)
{
    setWindowTitle(text);
}

void KCheckBoxDlg::setLabel(const QString& text)
{
    m_label->setText(text);
    m_label->setVisible(!text.isEmpty());
}

void KCheckBoxDlg::setCheckBoxTxt(const QString& text)
{
    m_checkBox->setText(text);
}

void KCheckBoxDlg::setButtonsTxt(const QString& acceptText, const QString& rejectText)
{
    m_acceptButton->setText(acceptText);
    m_rejectButton->setText(rejectText);
}

void KCheckBoxDlg::setChecked(bool checked)
{
    m_checkBox->setChecked(checked);
}

bool KCheckBoxDlg::isChecked() const
{
    return m_checkBox->isChecked();
}

void KCheckBoxDlg::setWidget(QWidget* widget)
{
    if (widget)
        m_layout->insertWidget(1, widget);
}

// The start size fits a one-line message only. A longer, wrapped message or an inserted widget
// needs more height at the dialog's width, which the layout's minimum size does not ask for: the
// dialog grows to it before it shows, and never shrinks.
void KCheckBoxDlg::showEvent(QShowEvent* event)
{
    m_layout->activate();
    const int needed = std::max(minimumSizeHint().height(), heightForWidth(width()));
    if (needed > height())
        resize(width(), needed);
    QDialog::showEvent(event);
}

void KCheckBoxDlg::ignoreAll()
{
    done(2);
}
