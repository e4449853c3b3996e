// SPDX-License-Identifier: GPL-3.0-or-later
#include "wheel_guarded_combo_box.h"

#include <QWheelEvent>

namespace vostrel::designer {

WheelGuardedComboBox::WheelGuardedComboBox(QWidget* parent)
    : QComboBox(parent)
{
    setFocusPolicy(Qt::StrongFocus); // not Qt::WheelFocus: the wheel alone gives no focus
}

void WheelGuardedComboBox::wheelEvent(QWheelEvent* event)
{
    if (!hasFocus()) {
        event->ignore(); // on to the scroll area around the form
        return;
    }
    QComboBox::wheelEvent(event);
}

} // namespace vostrel::designer
