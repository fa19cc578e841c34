#include "DlgOpenSonaric.h"

#include "AppServices.h"
#include "KPrompt.h"
#include "KUrlLabel.h"
#include "SonaricParams.h"
#include "TVRAction.h"
#include "ZazuzoziZadiviDU.h"

#include <QAction>
#include <QGridLayout>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpacerItem>

#include <algorithm>

namespace {
constexpr int IconSize = 22;
// Commands of the main window's action table.
constexpr int OpenProjectAction = 1;
constexpr int HelpAction = 10;
constexpr int WebSiteAction = 34;

QLabel* picture(const QString& name, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setPixmap(AppServices::picture(name).scaled(IconSize, IconSize, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    label->setFixedSize(IconSize, IconSize);
    return label;
}

void triggerAction(int id)
{
    if (QAction* action = ZazuzoziZadiviDU::getInstance()->getActionManager()->getAction(id))
        action->trigger();
}
} // namespace

QPointer<DlgOpenSonaric> DlgOpenSonaric::instance;

int DlgOpenSonaric::open(QWidget* parent)
{
    closeWindow();
    auto* dialog = new DlgOpenSonaric(parent);
    instance = dialog;
    dialog->setModal(false);
    dialog->show();
    const int result = KPrompt::exec(dialog);
    const std::function<void()> command = dialog->pending;
    if (instance == dialog)
        instance = nullptr;
    // Deleted later: a caller further up may still be inside one of its events.
    dialog->hide();
    dialog->deleteLater();
    if (command)
        command();
    return result;
}

void DlgOpenSonaric::closeWindow()
{
    if (!instance)
        return;
    DlgOpenSonaric* dialog = instance;
    instance = nullptr;
    dialog->pending = nullptr;
    dialog->done(0);
    dialog->close();
}

DlgOpenSonaric::DlgOpenSonaric(QWidget* parent) : QDialog(parent), grid(nullptr)
{
    setObjectName("DlgOpenSonaric");
    resize(584, 518);
    setMinimumSize(200, 200);
    setMaximumSize(600, 600);
    SonaricParams* params = ZazuzoziZadiviDU::getInstance()->getParams();
    setWindowTitle(params->getSoftName());
    setWindowIcon(AppServices::pictureIcon(":/Img/SonaricIcon"));
    QPalette background = palette();
    background.setBrush(backgroundRole(), QBrush(AppServices::picture(":/Window/OpenFree" + params->getLanguage())));
    setPalette(background);
    setAutoFillBackground(true);
    setFont(QFont("Tahoma", 11, QFont::Normal));
    recent = params->getRecentPrj();

    QLabel* create = addLink(":/Img/Icon", tr("Projet Tovra"), tr("Cliquer ici pour créer un nouveau projet Tovra"),
                             QRect(320, 120, 200, 22));
    create->setObjectName("newProjectLink");
    connect(static_cast<KUrlLabel*>(create), qOverload<>(&KUrlLabel::labelClicked), this, &DlgOpenSonaric::newProject);

    auto* scroll = new QScrollArea(this);
    scroll->setObjectName("scrollArea");
    scroll->setGeometry(320, 170, 240, 220);
    scroll->setFrameShape(QFrame::Box);
    scroll->setWidgetResizable(true);
    auto* contents = new QWidget(scroll);
    contents->setObjectName("scrollAreaWidgetContents");
    grid = new QGridLayout(contents);
    grid->setObjectName("gridLayout");
    grid->setColumnStretch(1, 1);
    scroll->setWidget(contents);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // A long project name is shortened to the list's width (the tool tip gives its path); the
    // link still opens the project by its path.
    const int margins = grid->contentsMargins().left() + grid->contentsMargins().right();
    const int nameRoom = scroll->width() - 2 * scroll->frameWidth() - margins - IconSize
                         - std::max(grid->horizontalSpacing(), 0)
                         - scroll->verticalScrollBar()->sizeHint().width();
    int row = 0;
    for (int i = 0; i + 1 < recent.size(); i += 2, ++row) {
        const QString name = QFontMetrics(font()).elidedText(recent.at(i), Qt::ElideRight, nameRoom);
        auto* link = new KUrlLabel(name, recent.at(i + 1), contents);
        link->setToolTip(recent.at(i + 1));
        link->setCursor(Qt::PointingHandCursor);
        link->setFont(font());
        grid->addWidget(picture(":/Img/Icon", contents), row, 0);
        grid->addWidget(link, row, 1);
        connect(link, qOverload<const QString&>(&KUrlLabel::labelClicked), this, &DlgOpenSonaric::recentPrjClicked);
    }
    auto* other = new KUrlLabel(tr("Ouvrir..."), contents);
    other->setObjectName("openLink");
    other->setToolTip(tr("Cliquer ici pour rechercher un projet Tovra existant"));
    other->setCursor(Qt::PointingHandCursor);
    other->setFont(font());
    grid->addWidget(picture(":/Img/Folder22", contents), row, 0);
    grid->addWidget(other, row, 1);
    connect(other, qOverload<>(&KUrlLabel::labelClicked), this, &DlgOpenSonaric::openProject);
    grid->addItem(new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Expanding), row + 1, 0, 1, 2);

    QLabel* news = addLink(":/Img/WebSite", tr("Lire les dernières news"),
                           tr("Cliquer ici pour lire les dernières news à propos de Tovra Sonaric"),
                           QRect(320, 420, 230, 22));
    news->setObjectName("newsLink");
    connect(static_cast<KUrlLabel*>(news), qOverload<>(&KUrlLabel::labelClicked), this, &DlgOpenSonaric::openNews);
    QLabel* doc = addLink(":/Img/Help", tr("Lire la documentation"),
                          tr("Cliquer ici pour ouvrir la documentation de Tovra Sonaric"), QRect(320, 455, 230, 22));
    doc->setObjectName("docLink");
    connect(static_cast<KUrlLabel*>(doc), qOverload<>(&KUrlLabel::labelClicked), this, &DlgOpenSonaric::openDoc);
}

QLabel* DlgOpenSonaric::addLink(const QString& icon, const QString& text, const QString& tip, const QRect& where)
{
    picture(icon, this)->move(where.left() - 30, where.top());
    auto* link = new KUrlLabel(text, this);
    link->setGeometry(where);
    link->setToolTip(tip);
    link->setCursor(Qt::PointingHandCursor);
    link->setFont(font());
    return link;
}

void DlgOpenSonaric::finishWith(std::function<void()> command)
{
    pending = std::move(command);
    hide();
    done(0);
}

void DlgOpenSonaric::newProject()
{
    finishWith([] { ZazuzoziZadiviDU::getInstance()->newProject(true); });
}

void DlgOpenSonaric::openProject()
{
    finishWith([] { triggerAction(OpenProjectAction); });
}

void DlgOpenSonaric::recentPrjClicked(const QString& path)
{
    const int index = recent.indexOf(path);
    if (index < 1)
        return;
    // A project that cannot be opened leaves the user at a fresh start dialog (openProject
    // offers it again when no project is open).
    finishWith([index] { ZazuzoziZadiviDU::getInstance()->openProject((index - 1) / 2); });
}

void DlgOpenSonaric::openNews()
{
    finishWith([] { triggerAction(WebSiteAction); });
}

void DlgOpenSonaric::openDoc()
{
    finishWith([] { triggerAction(HelpAction); });
}
