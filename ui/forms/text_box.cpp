// SPDX-License-Identifier: GPL-3.0-or-later
#include "text_box.h"

#include <QMouseEvent>
#include <QRegularExpression>
#include <QValidator>

#include <algorithm>

namespace vostrel::forms {
namespace {

// A single line holds no line break. Text that brings one (a value pasted
// from a spreadsheet cell or a terminal ends in "\n" or "\r\n") keeps what
// came before the first break; what stood after the caret stays.
class SingleLine final : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString& input, int& pos) const override
    {
        static const QRegularExpression lineBreak(QStringLiteral("[\\r\\n\\x{2028}\\x{2029}]"));
        const qsizetype cut = input.indexOf(lineBreak);
        if (cut >= 0) {
            // The break came with the text that ends at the caret.
            const qsizetype insertedEnd = std::max<qsizetype>(pos, cut);
            input.remove(cut, insertedEnd - cut);
            input.remove(lineBreak);
            pos = static_cast<int>(cut);
        }
        return Acceptable;
    }
};

} // namespace

TextBox::TextBox(QWidget* parent)
    : QLineEdit(parent)
{
    setValidator(new SingleLine(this));
}

void TextBox::mouseReleaseEvent(QMouseEvent* event)
{
    QLineEdit::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit clicked();
    }
}

} // namespace vostrel::forms
