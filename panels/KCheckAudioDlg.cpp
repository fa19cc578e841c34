#include "KCheckAudioDlg.h"

#include "AppServices.h"
#include "KFile.h"
#include "KPrompt.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

KCheckAudioDlg::KCheckAudioDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName("KCheckAudioDlgClass");
    resize(306, 80);
    setMinimumHeight(80);
    setMaximumHeight(80);
    auto* grid = new QGridLayout(this);
    grid->setObjectName("gridLayout");
    grid->setSpacing(5);
    grid->setContentsMargins(5, 5, 5, 5);
    const auto label = [this](const char* name) {
        auto* shown = new QLabel(this);
        shown->setObjectName(name);
        return shown;
    };
    label1 = label("label1");
    labelIn1 = label("labelIn1");
    label2 = label("label2");
    labelIn2 = label("labelIn2");
    grid->addWidget(label1, 0, 0);
    grid->addWidget(labelIn1, 0, 1);
    grid->addWidget(label2, 1, 0);
    grid->addWidget(labelIn2, 1, 1);
    auto* row = new QHBoxLayout;
    row->setObjectName("horizontalLayout");
    relocateButt = new QPushButton(this);
    relocateButt->setObjectName("relocateButt");
    deleteButt = new QPushButton(this);
    deleteButt->setObjectName("deleteButt");
    row->addWidget(relocateButt);
    row->addWidget(deleteButt);
    grid->addLayout(row, 2, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    if (parent)
        AppServices::setFontParent(this, parent->font());

    label1->setText(tr("Fichier audio incorrect : "));
    label2->setText(tr("Dans la Piste : "));
    label2->hide();
    labelIn2->hide();
    relocateButt->setText(tr("Rechercher le Fichier"));
    deleteButt->setText(tr("Effacer la Piste"));
    setWindowFlags(windowFlags() | Qt::Tool);
    setWindowTitle(tr("Chargement d'un projet Tovra"));
    connect(relocateButt, &QPushButton::released, this, &KCheckAudioDlg::relocate_slot, Qt::DirectConnection);
    connect(deleteButt, &QPushButton::released, this, &KCheckAudioDlg::delete_slot, Qt::DirectConnection);
}

void KCheckAudioDlg::setTrack(const QString& track, const QString& file)
{
    chosen.clear();
    labelIn1->setText(file);
    labelIn2->setText(track);
}

void KCheckAudioDlg::setAudioDir(const QString& dir)
{
    audioDir = dir;
}

void KCheckAudioDlg::setFilter(const QString& filter, const KStreamFormat* accepted)
{
    fileFilter = filter;
    formats = accepted;
}

void KCheckAudioDlg::relocate_slot()
{
    // Without a format list the engine would judge by the extension alone: an empty format
    // makes it open the file.
    const KStreamFormat anyFormat{};
    const KStreamFormat* filter = formats ? formats : &anyFormat;
    for (;;) {
        chosen = KPrompt::getOpenFileName(this, tr("Rechercher Fichier Audio"), audioDir, fileFilter);
        if (chosen.isEmpty())
            break;
        char* path = AppServices::QStringToKString(chosen);
        const bool accepted = checkAudioPath(path, filter) == 1;
        AppServices::freeKString(path);
        if (accepted)
            break;
        KPrompt::critical(this, tr("Rechercher Fichier Audio"), tr("Fichier audio non supporté !"));
        chosen.clear();
    }
    // done() rather than close(): closing would count as a rejection and drop the answer.
    done(QDialog::Accepted);
}

void KCheckAudioDlg::delete_slot()
{
    chosen.clear();
    done(QDialog::Rejected);
}

void KCheckAudioDlg::reject()
{
    chosen.clear();
    QDialog::reject();
}
