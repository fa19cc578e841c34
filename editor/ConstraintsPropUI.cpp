#include "ConstraintsPropUI.h"

ConstraintsPropUI::ConstraintsPropUI(QWidget* parent) : QWidget(parent)
{
    setObjectName("ConstraintsPropUIClass");
    resize(400, 300);
}
