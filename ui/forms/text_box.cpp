#include "text_box.h"

#include <QMouseEvent>

namespace vostrel::forms {

TextBox::TextBox(QWidget* parent)
    : QLineEdit(parent)
{ }

void TextBox::mouseReleaseEvent(QMouseEvent* event)
{
    QLineEdit::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit clicked();
    }
}

} // namespace vostrel::forms
