// An empty property panel for the rules, sized to its place in a dock.
#ifndef CONSTRAINTSPROPUI_H
#define CONSTRAINTSPROPUI_H

#include <QWidget>

class ConstraintsPropUI : public QWidget
{
    Q_OBJECT

public:
    explicit ConstraintsPropUI(QWidget* parent = nullptr);
};

#endif
