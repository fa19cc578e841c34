#include "DlgAbout.h"

#include "KPrompt.h"
#include "KitFonts.h"

#include <QGridLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QTextCursor>
#include <QTextEdit>

namespace {
const char* const ButtonStyle =
    " QPushButton {background-color: black; border-style: outset; border-width: 2px; "
    "border-radius: 10px; border-color: %1; color : #FFFFFF; font : bold; font-family : Tahoma; "
    "min-width : 30px; padding: 4px; } QPushButton::hover { border-width: 3px; color : %1; }";
}

const QString DlgAbout::ProductName = QStringLiteral("Tovra Sonaric Free");

const QString DlgAbout::aboutTextEN = QStringLiteral(
    "<h3>Tovra Sonaric Free</h3>"
    "<p>Interactive multitrack music editor.</p>"
    "<p>This program, its pictures and its documentation are protected by copyright. Tovra and "
    "Sonaric are trademarks of their owner. All rights reserved.</p>"
    "<p><b>Warning:</b> copying or distributing this program, in whole or in part, without "
    "written permission is forbidden and may be prosecuted.</p>"
    "<h4>Credits</h4>"
    "<p>Development: the Tovra development team.<br>Design: the Tovra design team.<br>"
    "Outside contributions: the authors of the free libraries this program uses.<br>"
    "Idea: the founders of the Tovra project.<br>"
    "With thanks to the public bodies that supported this work.</p>");

const QString DlgAbout::aboutTextFR = QStringLiteral(
    "<h3>Tovra Sonaric Free</h3>"
    "<p>Éditeur de musique multipiste interactive.</p>"
    "<p>Ce programme, ses images et sa documentation sont protégés par le droit d'auteur. Tovra "
    "et Sonaric sont des marques de leur propriétaire. Tous droits réservés.</p>"
    "<p><b>Avertissement :</b> toute copie ou diffusion de ce programme, en tout ou en partie, "
    "sans autorisation écrite est interdite et peut faire l'objet de poursuites.</p>"
    "<h4>Remerciements</h4>"
    "<p>Développement : l'équipe de développement Tovra.<br>Conception graphique : l'équipe de "
    "conception Tovra.<br>Contributions extérieures : les auteurs des bibliothèques libres "
    "utilisées par ce programme.<br>Idée : les fondateurs du projet Tovra.<br>"
    "Avec nos remerciements aux organismes publics qui ont soutenu ce travail.</p>");

void DlgAbout::open(QWidget* parent, const QString& backgroundPixmap, const QString& appName,
                    const QString& version, const QString&, const QString& language,
                    const QString& iconPath)
{
    DlgAbout dialog(backgroundPixmap, appName, version, iconPath, language, parent);
    KPrompt::exec(&dialog);
}

DlgAbout::DlgAbout(const QString& backgroundPixmap, const QString& appName,
                   const QString& version, const QString& iconPath, const QString& language,
                   QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::Tool),
      m_versionLabel(new QLabel(this)),
      m_textEdit(new QTextEdit(this)),
      m_button(new QPushButton(this))
{
    setObjectName("DlgAbout");
    m_versionLabel->setObjectName("versionLabel");
    m_textEdit->setObjectName("textEdit");
    m_button->setObjectName("pushButton");
    auto* grid = new QGridLayout(this);
    grid->addWidget(m_versionLabel, 0, 0, 1, 3);
    grid->addWidget(m_textEdit, 1, 0, 1, 3);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(2, 1);
    grid->addWidget(m_button, 2, 1);
    resize(500, 400);
    passParentFont(this, parent);
    QFont versionFont("Microsoft Sans Serif", 8);
    versionFont.setBold(true);
    m_versionLabel->setFont(versionFont);
    QFont buttonFont = m_button->font();
    buttonFont.setPointSize(9);
    m_button->setFont(buttonFont);

    QPalette pal = palette();
    const QPixmap background(backgroundPixmap);
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        if (!background.isNull())
            pal.setBrush(group, QPalette::Window, QBrush(background));
        pal.setColor(group, QPalette::WindowText, Qt::white);
    }
    setPalette(pal);
    setAutoFillBackground(true);

    setWindowTitle(tr("A propos d'") + ProductName);
    if (!iconPath.isEmpty())
        setWindowIcon(QIcon(iconPath));

    m_versionLabel->setText(tr("Version courante : ") + version + "  " + ProductName);
    m_versionLabel->setAlignment(Qt::AlignCenter);
    m_versionLabel->setStyleSheet("QLabel {font : bold; color : white}");

    m_textEdit->setReadOnly(true);
    m_textEdit->setStyleSheet("QTextEdit {background : black; color : white}");
    m_textEdit->insertHtml(language == "EN" ? aboutTextEN : aboutTextFR);
    m_textEdit->moveCursor(QTextCursor::Start);

    m_button->setText(tr("Ok"));
    m_button->setStyleSheet(
        QString(ButtonStyle).arg(appName.contains("Player") ? "#99FF00" : "#FF9900"));
    m_button->setCursor(Qt::PointingHandCursor);

    setModal(true);
    connect(m_button, &QPushButton::released, this, &DlgAbout::okAction);
}

void DlgAbout::okAction()
{
    hide();
}
