#include "UpdateWindowUi.h"

#include "UpdaterPrompt.h"
#include "UpdaterTitle.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpacerItem>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {
QSpacerItem* expandingSpacer()
{
    return new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum);
}
} // namespace

UpdateWindowUi::UpdateWindowUi(const QString& installedVersion, const QString& newVersion, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint),
      m_installedVersion(installedVersion),
      m_newVersion(newVersion)
{
    buildForm();
    versionLabel->setText(tr("Version :"));
    version1->setText(m_installedVersion);
    versionLabel2->setText(tr("to"));
    version2->setText(m_newVersion);
    maj->setText(tr("Updating files..."));
    cancelButt->setText(tr("Cancel"));
    okButt->setText(tr("Ok"));
    okButt->hide();
    setWindowTitle(updaterTitle());

    auto* versions = new QAction(QStringLiteral("Qt's Versions"), this);
    versions->setShortcut(QKeySequence(Qt::Key_Q, Qt::Key_T));
    addAction(versions);
    connect(versions, &QAction::triggered, this, &UpdateWindowUi::qtVersion);
    connect(cancelButt, &QPushButton::clicked, this, &UpdateWindowUi::cancelled);
    connect(okButt, &QPushButton::clicked, this, &UpdateWindowUi::ok);
}

void UpdateWindowUi::buildForm()
{
    setObjectName(QStringLiteral("Form"));
    resize(255, 217);
    versionLabel = new QLabel(this);
    versionLabel->setObjectName(QStringLiteral("versionLabel"));
    versionLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont bold = font();
    bold.setBold(true);
    version1 = new QLabel(this);
    version1->setObjectName(QStringLiteral("version1"));
    version1->setFont(bold);
    version1->setAlignment(Qt::AlignCenter);
    versionLabel2 = new QLabel(this);
    versionLabel2->setObjectName(QStringLiteral("versionLabel2"));
    versionLabel2->setAlignment(Qt::AlignCenter);
    version2 = new QLabel(this);
    version2->setObjectName(QStringLiteral("version2"));
    version2->setFont(bold);
    version2->setAlignment(Qt::AlignCenter);
    maj = new QLabel(this);
    maj->setObjectName(QStringLiteral("maj"));
    maj->setAlignment(Qt::AlignCenter);
    fileArea = new QTextEdit(this);
    fileArea->setObjectName(QStringLiteral("fileArea"));
    fileArea->setReadOnly(true);
    fileBar = new QProgressBar(this);
    fileBar->setObjectName(QStringLiteral("fileBar"));
    fileBar->setRange(0, 100);
    fileBar->setValue(0);
    fileBar->setAlignment(Qt::AlignCenter);
    label = new QLabel(this);
    label->setObjectName(QStringLiteral("label"));
    cancelButt = new QPushButton(this);
    cancelButt->setObjectName(QStringLiteral("cancelButt"));
    okButt = new QPushButton(this);
    okButt->setObjectName(QStringLiteral("okButt"));

    auto* versionRow = new QHBoxLayout;
    versionRow->addItem(expandingSpacer());
    versionRow->addWidget(versionLabel);
    versionRow->addWidget(version1);
    versionRow->addWidget(versionLabel2);
    versionRow->addWidget(version2);
    versionRow->addItem(expandingSpacer());
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addItem(expandingSpacer());
    buttonRow->addWidget(cancelButt);
    buttonRow->addWidget(okButt);
    buttonRow->addItem(expandingSpacer());
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(5);
    layout->setContentsMargins(5, 5, 5, 5);
    layout->addLayout(versionRow);
    layout->addWidget(maj);
    layout->addWidget(fileArea);
    layout->addWidget(fileBar);
    layout->addWidget(label);
    layout->addLayout(buttonRow);
}

void UpdateWindowUi::addLine(const QString& text)
{
    // Names come from the network: a long one is shown by its start and end.
    constexpr int Longest = 160;
    const QString shown = text.size() > Longest
                              ? text.left(Longest / 2 - 2) + QStringLiteral("...") + text.right(Longest / 2 - 1)
                              : text;
    fileArea->moveCursor(QTextCursor::End);
    fileArea->insertPlainText(shown + QLatin1Char('\n'));
    fileArea->moveCursor(QTextCursor::End);
    repaint();
}

void UpdateWindowUi::addConnexionResult(const QString& text)
{
    maj->setText(text);
    repaint();
}

void UpdateWindowUi::setOkEnabled(bool enabled)
{
    okButt->setVisible(enabled);
    cancelButt->setVisible(!enabled);
    repaint();
}

bool UpdateWindowUi::okEnabled() const
{
    return !okButt->isHidden();
}

void UpdateWindowUi::setTotalOnBarFile(int total)
{
    fileBar->setMaximum(total);
    repaint();
}

void UpdateWindowUi::setProgressOnBarFile(int value)
{
    fileBar->setValue(value);
    repaint();
}

void UpdateWindowUi::setUpdateVersion(const QString& version)
{
    m_newVersion = version;
    version2->setText(version);
    repaint();
}

QString UpdateWindowUi::resultLine() const
{
    return maj->text();
}

QString UpdateWindowUi::log() const
{
    return fileArea->toPlainText();
}

void UpdateWindowUi::qtVersion(bool)
{
    lower();
    UpdaterPrompt::information(this, QStringLiteral("Qt's Versions"),
                               QStringLiteral("Qt's run-time version : ") + QString::fromLatin1(qVersion())
                                   + QStringLiteral("\nQt's compiled version : ") + QStringLiteral(QT_VERSION_STR));
    raise();
}
