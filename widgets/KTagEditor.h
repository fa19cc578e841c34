// Shows, and where the caller allows edits, the descriptive tags of one audio file, followed by
// a scrolling list of further tags.
#ifndef KTAGEDITOR_H
#define KTAGEDITOR_H

#include <QDialog>

class QGridLayout;
class QLineEdit;

class KTagEditor : public QDialog
{
    Q_OBJECT
public:
    explicit KTagEditor(QWidget* parent = nullptr);

    void setFile(const QString& text, bool editable);
    void setTitle(const QString& text, bool editable);
    void setArtist(const QString& text, bool editable);
    void setBitrate(const QString& text, bool editable);
    void setAlbum(const QString& text, bool editable);
    void setYear(const QString& text, bool editable);
    void setGenre(const QString& text, bool editable);
    void setCopyright(const QString& text, bool editable);

    QString getTitle() const;
    QString getArtist() const;
    QString getAlbum() const;
    QString getYear() const;
    QString getGenre() const;
    QString getCopyright() const;

    // Names and values alternate: name, value, name, value...
    void setExtendedTags(const QStringList& tags);

private:
    QLineEdit* addField(QGridLayout* grid, const QString& label, const char* name);

    QLineEdit* m_file;
    QLineEdit* m_title;
    QLineEdit* m_artist;
    QLineEdit* m_bitrate;
    QLineEdit* m_album;
    QLineEdit* m_year;
    QLineEdit* m_genre;
    QLineEdit* m_copyright;
    QGridLayout* m_tagsGrid;
};

#endif
