// SPDX-License-Identifier: GPL-3.0-or-later
#include "label.h"

#include <QMouseEvent>

namespace vostrel::forms {

Label::Label(QWidget* parent)
    : QLabel(parent)
{ }

void Label::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit clicked();
    }
}

} // namespace vostrel::forms
