#include "ProjectPropUI.h"

#include <QDate>
#include <algorithm>

#include "AppServices.h"
#include "DlgInputUI.h"
#include "KBandLinkValid.h"
#include "KObjFile.h"
#include "KPrompt.h"
#include "SncButton.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace {
const QString BandLinkKey = "RAVERUREZI_BANDLINK";
const QString ITunesLinkKey = "iTUNES_LINK";
// The year box's value below 1900: no year, shown blank and never written.
const int NoYear = 1899;
const int RowHeight = 20;

QLabel* caption(QWidget* parent, const char* name, QGridLayout* grid, int row, int column)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(label, row, column);
    return label;
}

template <typename T>
T* named(QWidget* parent, const char* name)
{
    auto* widget = new T(parent);
    widget->setObjectName(name);
    return widget;
}
} // namespace

ProjectPropUI::ProjectPropUI(QWidget* parent) : QWidget(parent)
{
    // The style sheet before the form: set afterwards, it would polish every field again.
    setStyleSheet("QLabel {border: 0px;}QTableWidget {border: 1px solid darkgray;border-radius: 0px;}");
    buildForm();
    AppServices::setFontParent(this, parent->font());
    setTexts();
    bandLinkLineEdit->setValidator(new KBandLinkValid(this));

    auto* grid = findChild<QGridLayout*>("infoGrid");
    const QPixmap help(":/Img/Help");
    const QPixmap hand(":/Img/HandMouse");
    SncButton* helpButtons[2];
    for (int row : {3, 4}) {
        auto* button = new SncButton(this);
        button->setObjectName(row == 3 ? "helpBandLink" : "helpITunes");
        button->setIcon(help, help, help.isNull() ? QSize(16, 16) : help.size());
        button->setText(QString());
        if (!hand.isNull())
            button->setCursor(QCursor(hand, hand.width() / 2, hand.height() / 2));
        grid->addWidget(button, row, 4);
        helpButtons[row - 3] = button;
    }

    tableWidget->setColumnCount(2);
    tableWidget->setHorizontalHeaderLabels({tr("Nom de la propriété"), tr("Valeur de la propriété")});
    tableWidget->horizontalHeader()->setDefaultAlignment(Qt::AlignHCenter);
    tableWidget->setSelectionMode(QAbstractItemView::SingleSelection);
    tableWidget->verticalHeader()->setDefaultSectionSize(RowHeight);

    connect(addPropButton, &QPushButton::released, this, &ProjectPropUI::addPropAction);
    connect(modifyButton, &QPushButton::released, this, &ProjectPropUI::modifyAction);
    connect(deleteButton, &QPushButton::released, this, &ProjectPropUI::deleteAction);
    connect(bandLinkLineEdit, &QLineEdit::textChanged, this, &ProjectPropUI::bandLinkChanged);
    connect(checkButton, &QPushButton::released, this, &ProjectPropUI::checkAction);
    connect(checkLink, &QPushButton::released, this, &ProjectPropUI::checkAction_2);
    connect(helpButtons[0], &QPushButton::released, this, &ProjectPropUI::infoAction);
    connect(helpButtons[1], &QPushButton::released, this, &ProjectPropUI::infoAction_2);
    init();
    // At least 150 and 250 pixels, and never less than the column's whole title.
    const int names = std::max(150, tableWidget->horizontalHeader()->sectionSizeHint(0));
    const int values = std::max(250, tableWidget->horizontalHeader()->sectionSizeHint(1));
    tableWidget->setColumnWidth(0, names);
    tableWidget->setColumnWidth(1, values);
    tableWidget->setMinimumWidth(names + values + 2);
}

void ProjectPropUI::buildForm()
{
    setObjectName("ProjectPropUIClass");
    resize(486, 358);
    auto* outer = new QVBoxLayout(this);
    auto* groupBox = named<QGroupBox>(this, "groupBox");
    outer->addWidget(groupBox);
    auto* box = new QVBoxLayout(groupBox);

    auto* grid = new QGridLayout;
    grid->setObjectName("infoGrid");
    titleLineEdit = named<QLineEdit>(groupBox, "titleLineEdit");
    albumLineEdit = named<QLineEdit>(groupBox, "albumLineEdit");
    authorLineEdit = named<QLineEdit>(groupBox, "authorLineEdit");
    styleComboBox = named<QComboBox>(groupBox, "styleComboBox");
    copyrightLineEdit = named<QLineEdit>(groupBox, "copyrightLineEdit");
    yearSpinBox = named<QSpinBox>(groupBox, "yearSpinBox");
    bandLinkLineEdit = named<QLineEdit>(groupBox, "bandLinkLineEdit");
    checkButton = named<QPushButton>(groupBox, "checkButton");
    iTunesLink = named<QLineEdit>(groupBox, "iTunesLink");
    checkLink = named<QPushButton>(groupBox, "checkLink");
    caption(groupBox, "titleLabel", grid, 0, 0);
    grid->addWidget(titleLineEdit, 0, 1);
    caption(groupBox, "albumLabel", grid, 0, 2);
    grid->addWidget(albumLineEdit, 0, 3, 1, 2);
    caption(groupBox, "authorLabel", grid, 1, 0);
    grid->addWidget(authorLineEdit, 1, 1);
    caption(groupBox, "styleLabel", grid, 1, 2);
    grid->addWidget(styleComboBox, 1, 3, 1, 2);
    caption(groupBox, "copyrightLabel", grid, 2, 0);
    grid->addWidget(copyrightLineEdit, 2, 1);
    caption(groupBox, "yearLabel", grid, 2, 2);
    grid->addWidget(yearSpinBox, 2, 3, 1, 2);
    caption(groupBox, "bandLinkLabel", grid, 3, 0);
    grid->addWidget(bandLinkLineEdit, 3, 1, 1, 2);
    grid->addWidget(checkButton, 3, 3);
    caption(groupBox, "iTunesLabel", grid, 4, 0);
    grid->addWidget(iTunesLink, 4, 1, 1, 2);
    grid->addWidget(checkLink, 4, 3);
    box->addLayout(grid);

    auto* line = named<QFrame>(groupBox, "line");
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setStyleSheet("QFrame {background: black; color: black; border: 2px solid black;}");
    box->addWidget(line);

    auto* tableGrid = new QGridLayout;
    auto* listLabel = named<QLabel>(groupBox, "listLabel");
    tableWidget = named<QTableWidget>(groupBox, "tableWidget");
    addPropButton = named<QPushButton>(groupBox, "AddProp_Button");
    modifyButton = named<QPushButton>(groupBox, "modifyButton");
    deleteButton = named<QPushButton>(groupBox, "deleteButton");
    tableGrid->addWidget(listLabel, 0, 0, 1, 4);
    tableGrid->addWidget(tableWidget, 1, 0, 5, 4);
    tableGrid->addWidget(addPropButton, 1, 4, 2, 1);
    tableGrid->addWidget(modifyButton, 3, 4);
    tableGrid->addWidget(deleteButton, 4, 4);
    tableGrid->addItem(new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Expanding), 5, 4);
    box->addLayout(tableGrid);

    yearSpinBox->setRange(NoYear, 2100);
    yearSpinBox->setSpecialValueText(" ");
    styleComboBox->setEditable(true);
    styleComboBox->addItem(QString());
    for (const char* style : {QT_TRANSLATE_NOOP("ProjectPropUIClass", "Blues"),
                              QT_TRANSLATE_NOOP("ProjectPropUIClass", "Classic"),
                              QT_TRANSLATE_NOOP("ProjectPropUIClass", "Hip-Hop"),
                              QT_TRANSLATE_NOOP("ProjectPropUIClass", "Jazz"),
                              QT_TRANSLATE_NOOP("ProjectPropUIClass", "Pop"),
                              QT_TRANSLATE_NOOP("ProjectPropUIClass", "Metal"),
                              QT_TRANSLATE_NOOP("ProjectPropUIClass", "Rap"),
                              QT_TRANSLATE_NOOP("ProjectPropUIClass", "RnB"),
                              QT_TRANSLATE_NOOP("ProjectPropUIClass", "Rock"),
                              QT_TRANSLATE_NOOP("ProjectPropUIClass", "Soul"),
                              QT_TRANSLATE_NOOP("ProjectPropUIClass", "World Music")})
        styleComboBox->addItem(QCoreApplication::translate("ProjectPropUIClass", style));
}

void ProjectPropUI::setTexts()
{
    findChild<QGroupBox*>("groupBox")->setTitle(tr("Propriétés du projet"));
    const QPair<const char*, QString> captions[] = {
        {"titleLabel", tr("Titre :")},         {"albumLabel", tr("Album :")},
        {"authorLabel", tr("Auteur :")},       {"styleLabel", tr("Style :")},
        {"copyrightLabel", tr("Copyright :")}, {"yearLabel", tr("Année :")},
        {"bandLinkLabel", tr("Lien permanent Raverurezi :")},
        {"iTunesLabel", tr("Lien iTunes :")},  {"listLabel", tr("Liste des propriétés :")}};
    for (const auto& entry : captions)
        findChild<QLabel*>(entry.first)->setText(entry.second);
    const QString bandTip = tr("Insérez le lien permanent de votre groupe, par exemple "
                               "http://www.raverurezi.example/mon-groupe");
    findChild<QLabel*>("bandLinkLabel")->setToolTip(bandTip);
    bandLinkLineEdit->setToolTip(bandTip);
    const QString iTunesTip = tr("Insérez votre lien iTunes.");
    findChild<QLabel*>("iTunesLabel")->setToolTip(iTunesTip);
    iTunesLink->setToolTip(iTunesTip);
    for (QPushButton* button : {checkButton, checkLink}) {
        button->setText(tr("Vérifiez URL"));
        button->setToolTip(tr("Ouvrir un navigateur Internet avec cette URL."));
    }
    addPropButton->setText(tr("Ajouter"));
    modifyButton->setText(tr("Modifier"));
    deleteButton->setText(tr("Supprimer"));
}

void ProjectPropUI::init()
{
    for (QLineEdit* edit : {titleLineEdit, authorLineEdit, copyrightLineEdit, albumLineEdit,
                            bandLinkLineEdit, iTunesLink})
        edit->clear();
    // A new song is dated this year.
    yearSpinBox->setValue(QDate::currentDate().year());
    styleComboBox->setCurrentIndex(0);
    styleComboBox->setEditText(QString());
    setRowButtonsEnabled(false);
    checkButton->setEnabled(false);
    tableWidget->setRowCount(0);
}

bool ProjectPropUI::setMediaSong(KObjFile* document)
{
    // The table shows the document's properties once, also when shown again.
    tableWidget->setRowCount(0);
    setRowButtonsEnabled(false);
    setDefineInfo(Snc::Album, document->getAlbum());
    setDefineInfo(Snc::Year, QString::number(document->getYear()));
    setDefineInfo(Snc::Title, document->getTitle());
    setDefineInfo(Snc::Copyright, document->getCopyright());
    setDefineInfo(Snc::Author, document->getAuthor());
    setDefineInfo(Snc::Style, document->getStyle());
    setDefineInfo(Snc::BandLink, document->getMediaInfo(BandLinkKey));
    setDefineInfo(Snc::ITunesLink, document->getMediaInfo(ITunesLinkKey));
    const QStringList others = document->getOtherMediaInfos();
    for (int i = 0; i + 1 < others.size(); i += 2)
        if (others[i] != BandLinkKey && others[i] != ITunesLinkKey)
            setUserValue(others[i], others[i + 1]);
    return true;
}

bool ProjectPropUI::saveMediaSong(KObjFile* document)
{
    if (!document)
        return false;
    const QStringList names = getUserLabels();
    const QStringList values = getUserValues();
    // A property the document would refuse fails the save before anything is removed.
    for (int row = 0; row < names.size(); ++row)
        if (names[row].isEmpty() || values[row].isEmpty())
            return false;
    document->clearMediaInfo();
    const QString title = getDefineInfo(Snc::Title);
    const QString author = getDefineInfo(Snc::Author);
    const QString copyright = getDefineInfo(Snc::Copyright);
    const QString album = getDefineInfo(Snc::Album);
    const QString style = getDefineInfo(Snc::Style);
    if (yearSpinBox->value() != NoYear) {
        if (!document->setGenMediaInfo(title, author, copyright, album, style, yearSpinBox->value()))
            return false;
    } else {
        const QPair<const char*, QString> fields[] = {{"TITLE", title},         {"AUTHOR", author},
                                                      {"COPYRIGHT", copyright}, {"ALBUM", album},
                                                      {"STYLE", style}};
        for (const auto& field : fields)
            if (!field.second.isEmpty() && !document->setMediaInfo(field.first, field.second))
                return false;
    }
    const QString bandLink = getDefineInfo(Snc::BandLink);
    if (!bandLink.isNull() && !document->setMediaInfo(BandLinkKey, bandLink))
        return false;
    if (!iTunesLink->text().isEmpty() && !document->setMediaInfo(ITunesLinkKey, iTunesLink->text()))
        return false;
    for (int row = 0; row < names.size(); ++row)
        if (!document->setMediaInfo(names[row], values[row]))
            return false;
    return true;
}

void ProjectPropUI::setDefineInfo(Snc::EMediaSong item, const QString& text)
{
    switch (item) {
    case Snc::Album:
        albumLineEdit->setText(text);
        break;
    case Snc::Title:
        titleLineEdit->setText(text);
        break;
    case Snc::Year: {
        // 0 or a text that is no number: the project has no year.
        const int year = text.toInt();
        yearSpinBox->setValue(year == 0 ? NoYear : qMax(year, 1900));
        break;
    }
    case Snc::Author:
        authorLineEdit->setText(text);
        break;
    case Snc::Copyright:
        copyrightLineEdit->setText(text);
        break;
    case Snc::Style:
        styleComboBox->setEditText(text);
        break;
    case Snc::BandLink:
        bandLinkLineEdit->setText(text);
        break;
    case Snc::ITunesLink:
        iTunesLink->setText(text);
        break;
    }
}

QString ProjectPropUI::getDefineInfo(Snc::EMediaSong item) const
{
    switch (item) {
    case Snc::Album:
        return albumLineEdit->text();
    case Snc::Title:
        return titleLineEdit->text();
    case Snc::Year:
        return yearSpinBox->value() == NoYear ? QString("") : QString::number(yearSpinBox->value());
    case Snc::Author:
        return authorLineEdit->text();
    case Snc::Copyright:
        return copyrightLineEdit->text();
    case Snc::Style:
        return styleComboBox->currentText();
    case Snc::BandLink:
        return bandLinkAcceptable() ? bandLinkLineEdit->text() : QString();
    case Snc::ITunesLink:
        return iTunesLink->text();
    }
    return QString();
}

// The link alone decides, wherever the cursor stands in the field.
bool ProjectPropUI::bandLinkAcceptable() const
{
    QString text = bandLinkLineEdit->text();
    int end = text.size();
    return bandLinkLineEdit->validator()->validate(text, end) == QValidator::Acceptable;
}

void ProjectPropUI::setUserValue(const QString& name, const QString& value)
{
    tableWidget->insertRow(0);
    tableWidget->setItem(0, 0, new QTableWidgetItem(name));
    tableWidget->setItem(0, 1, new QTableWidgetItem(value));
    tableWidget->setRowHeight(0, RowHeight);
    tableWidget->sortItems(0, Qt::AscendingOrder);
    setRowButtonsEnabled(true);
}

QStringList ProjectPropUI::getUserLabels() const
{
    QStringList names;
    for (int row = 0; row < tableWidget->rowCount(); ++row)
        names << tableWidget->item(row, 0)->text();
    return names;
}

QStringList ProjectPropUI::getUserValues() const
{
    QStringList values;
    for (int row = 0; row < tableWidget->rowCount(); ++row)
        values << tableWidget->item(row, 1)->text();
    return values;
}

QStringList ProjectPropUI::askProperty(const QString& name, const QString& value)
{
    QString first = name;
    QString second = value;
    const bool preset = !name.isNull();
    const QStringList texts = DlgInputUI::openInputDialog(
        tr("Nom de la propriété"), tr("Valeur de la propriété"), preset ? &first : nullptr,
        preset ? &second : nullptr, nullptr);
    if (texts.size() != 2)
        return {};
    // The project keeps no property without a name or a value: such a row would make every
    // later save fail.
    if (texts[0].trimmed().isEmpty() || texts[1].isEmpty()) {
        KPrompt::warning(this, tr("Propriétés du projet"),
                         tr("Une propriété doit avoir un nom et une valeur."));
        return {};
    }
    return texts;
}

void ProjectPropUI::addPropAction()
{
    const QStringList texts = askProperty(QString(), QString());
    if (texts.isEmpty())
        return;
    const int row = tableWidget->rowCount();
    tableWidget->insertRow(row);
    tableWidget->setItem(row, 0, new QTableWidgetItem(texts[0]));
    tableWidget->setItem(row, 1, new QTableWidgetItem(texts[1]));
    tableWidget->setRowHeight(row, RowHeight);
    tableWidget->sortItems(0, Qt::AscendingOrder);
    if (row == 0)
        setRowButtonsEnabled(true);
}

void ProjectPropUI::modifyAction()
{
    const int row = tableWidget->currentRow();
    if (row < 0)
        return;
    const QStringList texts =
        askProperty(tableWidget->item(row, 0)->text(), tableWidget->item(row, 1)->text());
    if (texts.isEmpty())
        return;
    tableWidget->item(row, 0)->setText(texts[0]);
    tableWidget->item(row, 1)->setText(texts[1]);
}

void ProjectPropUI::deleteAction()
{
    const int row = tableWidget->currentRow();
    if (row < 0)
        return;
    tableWidget->removeRow(row);
    if (tableWidget->rowCount() == 0)
        setRowButtonsEnabled(false);
}

void ProjectPropUI::setRowButtonsEnabled(bool enabled)
{
    modifyButton->setEnabled(enabled);
    deleteButton->setEnabled(enabled);
}

void ProjectPropUI::bandLinkChanged(const QString&)
{
    checkButton->setEnabled(bandLinkAcceptable());
}

void ProjectPropUI::checkAction()
{
    QDesktopServices::openUrl(QUrl(bandLinkLineEdit->text()));
}

void ProjectPropUI::checkAction_2()
{
    QDesktopServices::openUrl(QUrl(iTunesLink->text()));
}

void ProjectPropUI::infoAction()
{
    KPrompt::information(this, tr("Aide"),
                         tr("Insérez le lien permanent de la page de votre groupe sur Raverurezi, "
                            "par exemple http://www.raverurezi.example/mon-groupe"));
}

void ProjectPropUI::infoAction_2()
{
    KPrompt::information(this, tr("Aide"), tr("Insérez votre lien iTunes."));
}
