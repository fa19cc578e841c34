#include "TrackPropUI.h"

#include "AppServices.h"
#include "TrackPlayer.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>

#include <algorithm>

TrackPropUI::TrackPropUI(KCtrlFile* document, QWidget* parent) : QWidget(parent), document(document)
{
    buildForm();
    AppServices::setFontParent(this, parent->font());
    fileButton->setIcon(AppServices::pictureIcon(":/Img/OpenTV"));
    reset();
    connect(fileButton, &QToolButton::released, this, &TrackPropUI::buttonFileClicked);
    connect(nameLE, &QLineEdit::editingFinished, this, &TrackPropUI::nameEdited);

    // The track player takes the first place of the player row.
    player = new TrackPlayer(document, this);
    player->setObjectName("trackPlayer");
    playerRow->insertWidget(0, player);

    checkBox_visible->setText(tr("Piste invisible"));
    checkBox_notmute->setText(tr("Piste toujours allumée"));
    connect(checkBox_visible, &QCheckBox::clicked, this, &TrackPropUI::visibleClicked);
    connect(checkBox_notmute, &QCheckBox::clicked, this, &TrackPropUI::notMuteClicked);
    findChild<QLabel*>("label")->setText(tr("Nom"));
    findChild<QLabel*>("label_2")->setText(tr("Fichier"));
    const char* captions[] = {QT_TR_NOOP("Nombre d'échantillons"), QT_TR_NOOP("Canaux"),
                              QT_TR_NOOP("Durée"), nullptr, QT_TR_NOOP("Format"),
                              QT_TR_NOOP("Fréquence d'échantillonnage"),
                              QT_TR_NOOP("Taille du fichier")};
    for (int row = 0; row < 7; ++row)
        if (captions[row])
            findChild<QLabel*>(QString("label_%1").arg(row + 3))->setText(tr(captions[row]));
    infoGB->setTitle(tr("Détails du fichier"));
    paramGB->setTitle(tr("Paramètres"));
    monoConvertButt->setText(tr("Convertir en mono"));
    connect(monoConvertButt, &QPushButton::clicked, this, &TrackPropUI::monoClicked);
    fitDetails();
}

void TrackPropUI::buildForm()
{
    setObjectName("TrackPropUIClass");
    resize(320, 343);
    auto* grid = new QGridLayout(this);

    auto* nameGrid = new QGridLayout;
    nameGrid->setObjectName("gridLayout_2");
    auto* label = new QLabel(this);
    label->setObjectName("label");
    nameLE = new QLineEdit(this);
    nameLE->setObjectName("nameLE");
    auto* label2 = new QLabel(this);
    label2->setObjectName("label_2");
    fileLE = new QLineEdit(this);
    fileLE->setObjectName("fileLE");
    fileLE->setReadOnly(true);
    fileButton = new QToolButton(this);
    fileButton->setObjectName("fileButton");
    nameGrid->addWidget(label, 0, 0);
    nameGrid->addWidget(nameLE, 0, 1, 1, 2);
    nameGrid->addWidget(label2, 1, 0);
    nameGrid->addWidget(fileLE, 1, 1);
    nameGrid->addWidget(fileButton, 1, 2);
    grid->addLayout(nameGrid, 0, 0);

    playerRow = new QHBoxLayout;
    playerRow->setObjectName("horizontalLayout");
    playerRow->addStretch(1);
    grid->addLayout(playerRow, 1, 0);

    paramGB = new QGroupBox(this);
    paramGB->setObjectName("paramGB");
    auto* paramGrid = new QGridLayout(paramGB);
    monoConvertButt = new QPushButton(paramGB);
    monoConvertButt->setObjectName("monoConvertButt");
    checkBox_visible = new QCheckBox(paramGB);
    checkBox_visible->setObjectName("checkBox_visible");
    checkBox_notmute = new QCheckBox(paramGB);
    checkBox_notmute->setObjectName("checkBox_notmute");
    paramGrid->addWidget(monoConvertButt, 0, 0);
    paramGrid->addWidget(checkBox_visible, 1, 0);
    paramGrid->addWidget(checkBox_notmute, 1, 1);
    paramGrid->setColumnStretch(2, 1);
    grid->addWidget(paramGB, 2, 0, 2, 1);

    infoGB = new QGroupBox(this);
    infoGB->setObjectName("infoGB");
    auto* infoBox = new QVBoxLayout(infoGB);
    auto* scrollArea = new QScrollArea(infoGB);
    detailsArea = scrollArea;
    scrollArea->setObjectName("scrollArea");
    scrollArea->setFrameShape(QFrame::NoFrame);
    scrollArea->setWidgetResizable(true);
    auto* contents = new QWidget;
    contents->setObjectName("scrollAreaWidgetContents");
    auto* details = new QGridLayout(contents);
    details->setObjectName("gridLayout");
    details->setContentsMargins(5, 2, 2, 2);
    details->setHorizontalSpacing(5);
    details->setVerticalSpacing(5);
    QLabel** values[] = {&sizeLbl, &channelsLbl, &lengthLbl, &bitsLbl, &formatLbl, &rateLbl, &fileSizeLbl};
    const char* valueNames[] = {"sizeLbl", "channelsLbl", "lengthLbl", "bitsLbl", "formatLbl", "rateLbl", "fileSizeLbl"};
    for (int row = 0; row < 7; ++row) {
        auto* caption = new QLabel(contents);
        caption->setObjectName(QString("label_%1").arg(row + 3));
        *values[row] = new QLabel(contents);
        (*values[row])->setObjectName(valueNames[row]);
        details->addWidget(caption, row, 0);
        details->addWidget(*values[row], row, 1);
    }
    details->setColumnStretch(1, 1);
    // A long format name wraps within the box instead of widening it past its room.
    formatLbl->setWordWrap(true);
    scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    bitsCaption = contents->findChild<QLabel*>("label_6");
    // Until the first setBits or setKBPS, row 3 reads as the sample size.
    bitsCaption->setText(tr("Taille des échantillons"));
    scrollArea->setWidget(contents);
    infoBox->addWidget(scrollArea);
    grid->addWidget(infoGB, 4, 0);
}

QString TrackPropUI::getName() const
{
    return nameLE->text();
}

QString TrackPropUI::getFilePath() const
{
    return fileLE->text();
}

void TrackPropUI::reset()
{
    const QSignalBlocker blockName(nameLE);
    nameLE->clear();
    fileLE->clear();
    for (QLabel* value : {sizeLbl, channelsLbl, lengthLbl, bitsLbl, formatLbl, rateLbl, fileSizeLbl})
        value->clear();
    checkBox_visible->setChecked(false);
    checkBox_notmute->setChecked(false);
}

void TrackPropUI::setContraintsEnabled(bool enabled)
{
    checkBox_notmute->setEnabled(enabled);
    checkBox_visible->setEnabled(enabled);
}

void TrackPropUI::hideNotMuteElementOption()
{
    checkBox_notmute->hide();
}

void TrackPropUI::setName(const QString& name)
{
    nameLE->setText(name);
    trackName = name;
    player->setTrackName(name);
}

void TrackPropUI::setFilePath(const QString& path)
{
    fileLE->setText(path);
}

void TrackPropUI::setFormat(const QString& format)
{
    formatLbl->setText(format);
    fitDetails();
}

void TrackPropUI::fitDetails()
{
    // A format name of usual length stays on one line; only a longer one wraps. The box asks
    // for the width and height of its rows, so that the window grows to show them rather than
    // scrolling (or wrapping every name) in a language with longer captions.
    const QFontMetrics metrics = formatLbl->fontMetrics();
    formatLbl->setMinimumWidth(
        std::min(metrics.horizontalAdvance(formatLbl->text()), metrics.averageCharWidth() * 26));
    QWidget* contents = detailsArea->widget();
    contents->layout()->activate();
    detailsArea->setMinimumSize(contents->minimumSizeHint().width() + detailsArea->verticalScrollBar()->sizeHint().width(),
                                contents->sizeHint().height());
}

void TrackPropUI::setSize(int frames)
{
    sizeLbl->setText(QString::number(frames));
}

void TrackPropUI::setChannels(int channels)
{
    // Only one and two channels have a name; other layouts show their count alone.
    QString text = QString::number(channels);
    if (channels == 1)
        text += " (Mono)";
    else if (channels == 2)
        text += " (Stereo)";
    channelsLbl->setText(text);
}

void TrackPropUI::setBits(int bits)
{
    bitsCaption->setText(tr("Taille des échantillons"));
    bitsLbl->setText(QString::number(bits) + " bit");
}

void TrackPropUI::setKBPS(const QString& kbps)
{
    bitsCaption->setText(tr("Bitrate"));
    bitsLbl->setText(kbps + " kbps");
}

void TrackPropUI::setRate(double rate)
{
    rateLbl->setText(QString::number(rate, 'g', 6) + " Hz");
}

void TrackPropUI::setLength(double seconds)
{
    lengthLbl->setText(QString::number(seconds, 'g', 6) + " sec");
}

QString TrackPropUI::fileSizeText(qint64 bytes)
{
    double size = bytes / 1024.0;
    QString unit = tr(" Ko");
    if (size >= 1024.0) {
        size /= 1024.0;
        unit = tr(" Mo");
    }
    return QString::number(size, 'f', 2) + unit;
}

void TrackPropUI::setFileSize()
{
    const QFileInfo file(fileLE->text());
    fileSizeLbl->setText(fileSizeText(file.isFile() ? file.size() : 0));
}

void TrackPropUI::setStereo(bool stereo)
{
    monoConvertButt->setEnabled(stereo);
}

void TrackPropUI::setCheckNotMute(bool on)
{
    checkBox_notmute->setChecked(on);
}

void TrackPropUI::setTrackVisible(bool visible)
{
    checkBox_visible->setChecked(!visible);
}

void TrackPropUI::stop()
{
    player->stop();
}

void TrackPropUI::nameEdited()
{
    const QString text = nameLE->text();
    emit nameChanged(trackName, text);
    // The kept name follows only a rename the document accepted (it comes back through
    // setName); a refused one puts the kept name back into the field.
    if (nameLE->text() != trackName)
        nameLE->setText(trackName);
}

void TrackPropUI::visibleClicked()
{
    stop();
    emit visibleChanged(trackName, !checkBox_visible->isChecked());
}

void TrackPropUI::notMuteClicked()
{
    stop();
    emit trkCheckBoxChanged(trackName, checkBox_notmute->isChecked());
}

void TrackPropUI::monoClicked()
{
    // The conversion replaces the file the player may be reading.
    stop();
    emit filePathChanged(nameLE->text());
}
