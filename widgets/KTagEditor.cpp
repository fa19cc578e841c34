#include "KTagEditor.h"

#include "KitFonts.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {
void setField(QLineEdit* edit, const QString& text, bool editable)
{
    edit->setReadOnly(!editable);
    edit->setText(text);
}
}

KTagEditor::KTagEditor(QWidget* parent) : QDialog(parent)
{
    setObjectName("KTagEditor");
    setWindowTitle("KTagEditor");
    auto* layout = new QVBoxLayout(this);
    auto* fields = new QGridLayout;
    layout->addLayout(fields);
    m_file = addField(fields, tr("File"), "FileEdit");
    m_title = addField(fields, tr("Title"), "TitleEdit");
    m_artist = addField(fields, tr("Artist"), "ArtistEdit");
    m_bitrate = addField(fields, tr("Bitrate"), "BitrateEdit");
    fields->addWidget(new QLabel(tr("Kbps"), this), fields->rowCount() - 1, 2);
    m_album = addField(fields, tr("Album"), "AlbumEdit");
    m_year = addField(fields, tr("Year"), "YearEdit");
    m_genre = addField(fields, tr("Genre"), "GenreEdit");
    m_copyright = addField(fields, tr("Copyright"), "CopyRightEdit");

    auto* scroll = new QScrollArea(this);
    scroll->setObjectName("tagsScrollArea");
    scroll->setFrameShape(QFrame::Box);
    scroll->setWidgetResizable(true);
    auto* content = new QWidget(scroll);
    m_tagsGrid = new QGridLayout(content);
    m_tagsGrid->setObjectName("tagsGridLayout");
    scroll->setWidget(content);
    layout->addWidget(scroll, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->setObjectName("buttonBox");
    layout->addWidget(buttons);
    resize(389, 468);
    passParentFont(this, parent);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

QLineEdit* KTagEditor::addField(QGridLayout* grid, const QString& label, const char* name)
{
    const int row = grid->rowCount();
    auto* edit = new QLineEdit(this);
    edit->setObjectName(name);
    grid->addWidget(new QLabel(label, this), row, 0);
    grid->addWidget(edit, row, 1);
    return edit;
}

void KTagEditor::setFile(const QString& text, bool editable)
{
    setField(m_file, text, editable);
}

void KTagEditor::setTitle(const QString& text, bool editable)
{
    setField(m_title, text, editable);
}

void KTagEditor::setArtist(const QString& text, bool editable)
{
    setField(m_artist, text, editable);
}

void KTagEditor::setBitrate(const QString& text, bool editable)
{
    setField(m_bitrate, text, editable);
}

void KTagEditor::setAlbum(const QString& text, bool editable)
{
    setField(m_album, text, editable);
}

void KTagEditor::setYear(const QString& text, bool editable)
{
    setField(m_year, text, editable);
}

void KTagEditor::setGenre(const QString& text, bool editable)
{
    setField(m_genre, text, editable);
}

void KTagEditor::setCopyright(const QString& text, bool editable)
{
    setField(m_copyright, text, editable);
}

QString KTagEditor::getTitle() const
{
    return m_title->text();
}

QString KTagEditor::getArtist() const
{
    return m_artist->text();
}

QString KTagEditor::getAlbum() const
{
    return m_album->text();
}

QString KTagEditor::getYear() const
{
    return m_year->text();
}

QString KTagEditor::getGenre() const
{
    return m_genre->text();
}

QString KTagEditor::getCopyright() const
{
    return m_copyright->text();
}

void KTagEditor::setExtendedTags(const QStringList& tags)
{
    QWidget* content = m_tagsGrid->parentWidget();
    for (int i = 0; i < tags.size(); ++i) {
        QLabel* label;
        if (i % 2 == 0) {
            label = new QLabel(tags.at(i) + " :", content);
            label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        } else {
            label = new QLabel(tags.at(i), content);
            label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            QFont bold = label->font();
            bold.setWeight(QFont::Bold);
            label->setFont(bold);
        }
        m_tagsGrid->addWidget(label, i / 2, i % 2);
    }
    const int below = (tags.size() + 1) / 2;
    for (int column = 0; column < 2; ++column)
        m_tagsGrid->addItem(new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding),
                            below, column);
}
