// SPDX-License-Identifier: GPL-3.0-or-later
#include "message_box_report.h"

#include <QApplication>
#include <QMessageBox>

namespace vostrel {

void MessageBoxReport::report(const Failure& failure)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Vostrel"), failureText(failure), QMessageBox::Ok,
        QApplication::activeWindow());
    box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box.exec();
}

} // namespace vostrel
