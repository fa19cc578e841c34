#include "DlgUpdate.h"

#include "AppServices.h"
#include "DlgHttpDownLoad.h"
#include "KPrompt.h"
#include "KXml.h"
#include "VersionRule.h"
#include "ui_DlgUpdate.h"

#include <QDesktopServices>
#include <QFile>
#include <QUrl>

namespace {
const int closedHeight = 75;
const int openHeight = 220;

// Removes the downloaded description on every way out of the check.
class FileRemover
{
public:
    explicit FileRemover(const QString& path) : m_path(path) {}
    ~FileRemover() { QFile::remove(m_path); }
    FileRemover(const FileRemover&) = delete;
    FileRemover& operator=(const FileRemover&) = delete;

private:
    QString m_path;
};

// The text at ROOT/first, or at ROOT/second when the first is empty.
QString fieldWithFallback(const KXml& xml, const char* first, const char* second)
{
    const QString text = xml.getStringField({"TOVRA_UPDATE", first});
    return text.isEmpty() ? xml.getStringField({"TOVRA_UPDATE", second}) : text;
}
} // namespace

DlgUpdate::DlgUpdate(QWidget* parent) : QDialog(parent), ui(new Ui::DlgUpdate)
{
    ui->setupUi(this);
    if (parent)
        AppServices::setFontParent(this, parent->font());
    ui->label->setText(tr("Une nouvelle version de ce logiciel est disponible sur le web."));
    ui->textBrowser->hide();
    ui->cancelButton->setText(tr("Annuler"));
    ui->updateButton->setText(tr("Mettre à jour"));
    ui->infoButton->setText(tr("Plus d'informations"));
    setWindowTitle(tr("Recherche de nouvelles versions..."));
    connect(ui->updateButton, &QPushButton::released, this, &DlgUpdate::update_action);
    connect(ui->cancelButton, &QPushButton::released, this, &DlgUpdate::cancel_action);
    connect(ui->infoButton, &QPushButton::released, this, &DlgUpdate::info_action);
    setWindowFlags(Qt::Tool);
    fitHeight();
}

DlgUpdate::~DlgUpdate()
{
    delete ui;
}

void DlgUpdate::setLinks(const QString& product, const QString& server, const QString& infoUrl)
{
    ui->label->setText(tr("Une nouvelle version d'") + product + tr(" est disponible sur ") + server + tr("."));
    m_infoUrl = infoUrl;
    fitHeight();
}

void DlgUpdate::setDesc(const QString& text)
{
    ui->textBrowser->setText(text);
}

void DlgUpdate::update_action()
{
    if (m_product.contains("Player", Qt::CaseSensitive))
        QDesktopServices::openUrl(QUrl(m_infoUrl));
    setResult(QDialog::Accepted);
    hide();
}

void DlgUpdate::cancel_action()
{
    setResult(QDialog::Rejected);
    hide();
}

void DlgUpdate::info_action()
{
    ui->textBrowser->setVisible(ui->textBrowser->isHidden());
    fitHeight();
}

// The fixed heights, grown when the message wraps onto more lines than they hold (a large font,
// a long product or server name).
void DlgUpdate::fitHeight()
{
    int height = ui->textBrowser->isHidden() ? closedHeight : openHeight;
    if (ui->textBrowser->isHidden() && layout()->hasHeightForWidth())
        height = qMax(height, layout()->totalHeightForWidth(width()));
    setMinimumHeight(height);
    setMaximumHeight(height);
}

bool DlgUpdate::isMoreRecent(const QString& remote, const QString& installed)
{
    return VersionRule::isNewer(remote, installed);
}

bool DlgUpdate::isMoreRecent(const QStringList& remote, const QStringList& installed)
{
    return VersionRule::isNewer(remote, installed);
}

bool DlgUpdate::readDescription(const QByteArray& bytes, QString& version, QString& text)
{
    const KXml description(AppServices::KStringToQString(bytes.constData()));
    if (description.isNull())
        return false;
    version = fieldWithFallback(description, "TOVRA_VERSION", "TVS_VERSION");
    text = fieldWithFallback(description, "TOVRA_DESC", "TVS_DESC");
    // A description without a valid version announces nothing.
    return VersionRule::isValid(version);
}

bool DlgUpdate::checkup(bool& upToDate, const QString& current, const QString& descUrl,
                        const QString& product, const QString& server, const QString& infoUrl,
                        const QString& localFile, QWidget* parent, bool show, bool* unreadable)
{
    DlgUpdate dialog(parent);
    dialog.m_product = product;
    dialog.setLinks(product, server, infoUrl);
    dialog.setModal(true);
    upToDate = false;
    if (unreadable)
        *unreadable = false;

    const QString fetched = DlgHttpDownLoad::download(descUrl, localFile, server, parent, MaxDescriptionBytes);
    if (fetched.isEmpty())
        return false;
    FileRemover remover(fetched);

    QFile file(fetched);
    if (!file.open(QIODevice::ReadOnly)) {
        KPrompt::critical(parent, tr("Recherche de nouvelles versions..."),
                          tr("Impossible de télécharger le fichier !"), QMessageBox::Ok);
        return false;
    }
    const QByteArray bytes = file.read(MaxDescriptionBytes);
    file.close();
    QString version;
    QString text;
    if (!readDescription(bytes, version, text)) {
        if (unreadable)
            *unreadable = true;
        return false;
    }
    if (isMoreRecent(version, current)) {
        if (!show)
            return true;
        dialog.setDesc(text);
        return KPrompt::exec(&dialog) == QDialog::Accepted;
    }
    upToDate = true;
    return false;
}
