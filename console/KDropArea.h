// A framed label that takes element names dragged from the element trees and lists and reports
// them as a list; its owner decides what a drop there means. GUI thread only.
#ifndef KDROPAREA_H
#define KDROPAREA_H

#include <QLabel>
#include <QStringList>

class KDropArea : public QLabel
{
    Q_OBJECT
public:
    explicit KDropArea(QWidget* parent = nullptr);

signals:
    void dropOnRoot(QStringList names);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};

// The console library's identity.
class SncUiPro
{
public:
    SncUiPro() = default;
    ~SncUiPro() = default;
};

#endif
