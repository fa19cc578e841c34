#include "KDropArea.h"

#include "KTreeModel.h"

#include <QDragEnterEvent>
#include <QMimeData>

KDropArea::KDropArea(QWidget* parent)
    : QLabel(parent)
{
    QPalette pal = palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        pal.setColor(group, QPalette::Window, QColor(255, 255, 255, 0));
        pal.setColor(group, QPalette::WindowText, QColor(0, 0, 0));
    }
    setPalette(pal);
    setAutoFillBackground(true);
    setMinimumSize(20, 20);
    setFrameStyle(QFrame::StyledPanel | QFrame::Plain);
    setAlignment(Qt::AlignCenter);
    setAcceptDrops(true);
}

void KDropArea::dragEnterEvent(QDragEnterEvent* event)
{
    event->acceptProposedAction();
}

void KDropArea::dragMoveEvent(QDragMoveEvent* event)
{
    event->acceptProposedAction();
}

void KDropArea::dragLeaveEvent(QDragLeaveEvent* event)
{
    event->accept();
}

void KDropArea::dropEvent(QDropEvent* event)
{
    const QString text = QString::fromUtf8(event->mimeData()->data(KModels::EltsDragDropMimeType));
    if (text.isEmpty()) {
        event->ignore();
        return;
    }
    const QStringList names = text.split(KModels::EltNameSep, Qt::KeepEmptyParts, Qt::CaseSensitive);
    emit dropOnRoot(names);
    event->acceptProposedAction();
}
