// The start-up window: frameless, shaped and filled by its picture, with a caption, a list to
// which each loading step appends a line and an optional busy bar.
#ifndef KSPLASHSCREEN_H
#define KSPLASHSCREEN_H

#include <QDialog>
#include <QTextCharFormat>

class QImage;
class QLabel;
class QProgressBar;
class QRegion;
class QTextEdit;
class QTimer;
class QVBoxLayout;

class KSplashScreen : public QDialog
{
    Q_OBJECT
public:
    KSplashScreen(const QString& pixmapPath, const QString& labelText, QWidget* parent = nullptr);

    // The window's shape for a picture: its pixels at least half opaque, as the picture's alpha
    // mask gives them (QBitmap::fromImage(picture.createAlphaMask())), read in runs along each
    // row, at a fraction of the mask's cost; empty (no shape) for a picture without alpha.
    static QRegion shapeOf(const QImage& picture);

    void activePrg(bool active);
    void start();
    void finish();
    void setPrgText(const QString& text, int value);
    void setListGeometry(const QRect& rect);
    void setListFont(const QFont& font, const QColor& colour);
    void setPause(int first, int second);

    bool isBusyTimerRunning() const;
    QProgressBar* progressBar() const { return m_bar; }
    QTextEdit* list() const { return m_list; }

public slots:
    void timeout_slot();

private:
    QVBoxLayout* m_layout;
    QLabel* m_label;
    QTextEdit* m_list;
    QProgressBar* m_bar;
    QTimer* m_timer;
    QTextCharFormat m_lineFormat; // font and colour of the lines appended from now on
    bool m_barActive = false;
    int m_pause1 = 0;
    int m_pause2 = 0;
};

#endif
