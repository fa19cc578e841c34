#include "KSplashScreen.h"

#include <QImage>
#include <QList>
#include <QRegion>
#include <QLabel>
#include <QPixmap>
#include <QProgressBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>
#include <QVBoxLayout>

namespace {
constexpr int BusyTickMs = 100;
}

KSplashScreen::KSplashScreen(const QString& pixmapPath, const QString& labelText, QWidget* parent)
    : QDialog(parent, Qt::SplashScreen | Qt::WindowStaysOnTopHint),
      m_layout(new QVBoxLayout(this)),
      m_label(new QLabel(this)),
      m_list(new QTextEdit(this)),
      m_bar(new QProgressBar(this)),
      m_timer(new QTimer(this))
{
    setObjectName("KSplashScreen");
    m_label->setObjectName("label");
    m_list->setObjectName("prgList");
    m_bar->setObjectName("progressBar");
    m_layout->addWidget(m_label);
    m_layout->addWidget(m_list);
    m_layout->addItem(new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding));
    m_layout->addWidget(m_bar);
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    resize(343, 180);
    setModal(false);

    if (!pixmapPath.isEmpty()) {
        // The shape is read from the decoded picture before it becomes the pixmap, which takes
        // the picture's pixels over: QPixmap::mask() would first copy them all back.
        QImage decoded(pixmapPath);
        const QRegion shape = shapeOf(decoded);
        const QPixmap picture = QPixmap::fromImage(std::move(decoded));
        QPalette pal = palette();
        for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            pal.setBrush(group, backgroundRole(), QBrush(picture));
        setPalette(pal);
        setAutoFillBackground(true);
        setFixedSize(picture.size());
        setMask(shape);
    }
    if (labelText.isEmpty())
        m_label->hide();
    else
        m_label->setText(labelText);
    m_list->setReadOnly(true);
    m_list->setAlignment(Qt::AlignCenter);
    m_bar->hide();
    m_timer->setInterval(BusyTickMs);
    connect(m_timer, &QTimer::timeout, this, &KSplashScreen::timeout_slot);
}

QRegion KSplashScreen::shapeOf(const QImage& picture)
{
    if (!picture.hasAlphaChannel())
        return QRegion();
    const QImage argb = picture.format() == QImage::Format_ARGB32 || picture.format() == QImage::Format_ARGB32_Premultiplied
                            ? picture
                            : picture.convertToFormat(QImage::Format_ARGB32);
    // Each row's runs of pixels at least half opaque; rows with the same runs make one band.
    QList<QRect> rects;
    QList<QRect> band;
    QList<QPair<int, int>> runs;
    QList<QPair<int, int>> bandRuns;
    const auto closeBand = [&] {
        rects += band;
        band.clear();
    };
    const int width = argb.width();
    for (int y = 0; y < argb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        runs.clear();
        for (int x = 0; x < width;) {
            while (x < width && qAlpha(row[x]) < 128)
                ++x;
            const int start = x;
            while (x < width && qAlpha(row[x]) >= 128)
                ++x;
            if (x > start)
                runs.append({start, x - start});
        }
        if (runs == bandRuns && !band.isEmpty()) {
            for (QRect& rect : band)
                rect.setBottom(y);
            continue;
        }
        closeBand();
        bandRuns = runs;
        for (const auto& [start, length] : runs)
            band.append(QRect(start, y, length, 1));
    }
    closeBand();
    QRegion shape;
    shape.setRects(rects.constData(), int(rects.size()));
    return shape;
}

void KSplashScreen::activePrg(bool active)
{
    m_barActive = active;
    m_bar->setVisible(active);
}

void KSplashScreen::start()
{
    if (m_barActive)
        m_timer->start();
    show();
    activateWindow();
    repaint();
}

void KSplashScreen::finish()
{
    if (m_barActive)
        m_timer->stop();
    close();
}

void KSplashScreen::setPrgText(const QString& text, int value)
{
    if (m_barActive && value >= 0)
        m_bar->setValue(value);
    QTextCursor cursor(m_list->document());
    cursor.movePosition(QTextCursor::End);
    QTextBlockFormat centred = cursor.blockFormat();
    centred.setAlignment(Qt::AlignCenter);
    cursor.setBlockFormat(centred);
    cursor.insertText(text + "\n", m_lineFormat);
    m_list->setTextCursor(cursor);
    repaint();
}

void KSplashScreen::setListGeometry(const QRect& rect)
{
    m_layout->removeWidget(m_list);
    m_list->setParent(this);
    m_list->setStyleSheet("QTextEdit {border:0px; background-color: transparent;}");
    m_list->setGeometry(rect);
    m_list->show();
}

void KSplashScreen::setListFont(const QFont& font, const QColor& colour)
{
    m_lineFormat.setFont(font);
    m_lineFormat.setForeground(colour);
}

void KSplashScreen::setPause(int first, int second)
{
    m_pause1 = first;
    m_pause2 = second;
}

bool KSplashScreen::isBusyTimerRunning() const
{
    return m_timer->isActive();
}

void KSplashScreen::timeout_slot()
{
    const int next = m_bar->value() + 1;
    m_bar->setValue(next >= m_bar->maximum() ? m_bar->minimum() : next);
    m_bar->repaint();
}
