#include "DWProjectProperties.h"

#include "KCtrlFile.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {
const QString BandLinkKey = QStringLiteral("RAVERUREZI_BANDLINK");
const QString YearKey = QStringLiteral("YEAR");
// The pairs setGenMediaInfo writes, which this window shows with the band link.
const QStringList GeneralKeys = {"TITLE", "AUTHOR", "COPYRIGHT", "ALBUM", "STYLE", "YEAR"};

// Every metadata pair of the document, general ones first: key, value, key, value...
QStringList allPairs(const KCtrlFile& document)
{
    QStringList pairs;
    for (const QString& key : GeneralKeys) {
        const QString text = document.getMediaInfo(key);
        if (!text.isEmpty())
            pairs << key << text;
    }
    return pairs + document.getOtherMediaInfos();
}

bool writePairs(KCtrlFile& document, const QStringList& pairs)
{
    for (int i = 0; i + 1 < pairs.size(); i += 2)
        if (!document.setMediaInfo(pairs[i], pairs[i + 1]))
            return false;
    return true;
}
} // namespace

DWProjectProperties::DWProjectProperties(QWidget* parent) : QDockWidget(parent)
{
    setObjectName("DWProjectProperties");
    setWindowTitle("Project Properties");
    auto* page = new QWidget(this);
    auto* column = new QVBoxLayout(page);
    auto* form = new QFormLayout;
    column->addLayout(form);
    const QPair<QString, QString> rows[] = {
        {"TITLE", tr("Titre :")},         {"AUTHOR", tr("Auteur :")}, {"COPYRIGHT", tr("Copyright :")},
        {"ALBUM", tr("Album :")},         {"STYLE", tr("Style :")},   {YearKey, tr("Année :")},
        {BandLinkKey, tr("Lien du groupe :")}};
    for (const auto& row : rows) {
        QWidget* field;
        if (row.first == YearKey) {
            m_year = new QSpinBox(page);
            m_year->setRange(0, 9999);
            field = m_year;
        } else {
            auto* edit = new QLineEdit(page);
            m_fields.insert(row.first, edit);
            field = edit;
        }
        field->setObjectName(row.first);
        form->addRow(row.second, field);
    }
    m_resetButton = new QPushButton(tr("Réinitialiser"), page);
    m_resetButton->setObjectName("resetButton");
    column->addWidget(m_resetButton, 0, Qt::AlignRight);
    column->addStretch(1);
    page->setStyleSheet("QLabel { background: lightgray; color: black; padding: 1px 3px; }");
    setWidget(page);
    connect(m_resetButton, &QPushButton::clicked, this, &DWProjectProperties::init);
}

QString DWProjectProperties::value(const QString& key) const
{
    if (key == YearKey)
        return m_year->value() ? QString::number(m_year->value()) : QString();
    const QLineEdit* field = m_fields.value(key);
    return field ? field->text() : QString();
}

void DWProjectProperties::setValue(const QString& key, const QString& text)
{
    if (key == YearKey)
        m_year->setValue(text.toInt());
    else if (QLineEdit* field = m_fields.value(key))
        field->setText(text);
}

void DWProjectProperties::setMediaSong(KCtrlFile* document)
{
    m_document = document;
    init();
}

void DWProjectProperties::init()
{
    for (const QString& key : m_fields.keys())
        setValue(key, m_document ? m_document->getMediaInfo(key) : QString());
    setValue(YearKey, m_document ? QString::number(m_document->getYear()) : QString());
}

bool DWProjectProperties::saveMediaSong(KCtrlFile* document)
{
    if (!document)
        return false;
    const QStringList before = allPairs(*document);
    // Pairs this window does not show travel through unchanged.
    const QStringList others = document->getOtherMediaInfos();
    QStringList kept;
    for (int i = 0; i + 1 < others.size(); i += 2)
        if (others[i] != BandLinkKey)
            kept << others[i] << others[i + 1];
    QStringList shown;
    if (!value(BandLinkKey).isEmpty())
        shown << BandLinkKey << value(BandLinkKey);

    document->clearMediaInfo();
    if (document->setGenMediaInfo(value("TITLE"), value("AUTHOR"), value("COPYRIGHT"), value("ALBUM"),
                                  value("STYLE"), m_year->value()) &&
        writePairs(*document, shown + kept))
        return true;
    document->clearMediaInfo();
    writePairs(*document, before);
    return false;
}
