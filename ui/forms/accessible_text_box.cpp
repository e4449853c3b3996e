// SPDX-License-Identifier: GPL-3.0-or-later
#include "accessible_text_box.h"

#include "text_box.h"

#include <QLineEdit>

#include <algorithm>

namespace vostrel::forms {
namespace {

QAccessibleInterface* textBoxFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String(TextBox::staticMetaObject.className()) && object->isWidgetType()) {
        return new AccessibleTextBox(static_cast<QWidget*>(object));
    }
    return nullptr;
}

} // namespace

AccessibleTextBox::AccessibleTextBox(QWidget* widget)
    : QAccessibleWidget(widget, QAccessible::EditableText)
{ }

void AccessibleTextBox::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(textBoxFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

QLineEdit* AccessibleTextBox::lineEdit() const
{
    return static_cast<QLineEdit*>(widget());
}

int AccessibleTextBox::clamped(int offset) const
{
    return std::clamp(offset, 0, characterCount());
}

void* AccessibleTextBox::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface) {
        return static_cast<QAccessibleTextInterface*>(this);
    }
    if (type == QAccessible::EditableTextInterface) {
        return static_cast<QAccessibleEditableTextInterface*>(this);
    }
    return QAccessibleWidget::interface_cast(type);
}

QString AccessibleTextBox::text(QAccessible::Text t) const
{
    if (t == QAccessible::Value) {
        return lineEdit()->text();
    }
    return QAccessibleWidget::text(t);
}

void AccessibleTextBox::setText(QAccessible::Text t, const QString& text)
{
    if (t == QAccessible::Value && !lineEdit()->isReadOnly()) {
        lineEdit()->setText(text);
        return;
    }
    QAccessibleWidget::setText(t, text);
}

QAccessible::State AccessibleTextBox::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.editable = !lineEdit()->isReadOnly();
    state.readOnly = lineEdit()->isReadOnly();
    state.selectableText = true;
    state.focusable = (widget()->focusPolicy() & Qt::ClickFocus) != 0;
    return state;
}

QList<QPair<QAccessibleInterface*, QAccessible::Relation>> AccessibleTextBox::relations(
    QAccessible::Relation match) const
{
    auto relations = QAccessibleWidget::relations(match);
    const auto* box = qobject_cast<const TextBox*>(widget());
    if (match.testFlag(QAccessible::Label) && box != nullptr && box->captionBox() != nullptr) {
        if (QAccessibleInterface* caption = QAccessible::queryAccessibleInterface(box->captionBox())) {
            relations.append({caption, QAccessible::Label});
        }
    }
    return relations;
}

void AccessibleTextBox::selection(int selectionIndex, int* startOffset, int* endOffset) const
{
    *startOffset = *endOffset = 0;
    if (selectionIndex == 0 && lineEdit()->hasSelectedText()) {
        *startOffset = lineEdit()->selectionStart();
        *endOffset = *startOffset + lineEdit()->selectionLength();
    }
}

int AccessibleTextBox::selectionCount() const
{
    return lineEdit()->hasSelectedText() ? 1 : 0;
}

void AccessibleTextBox::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void AccessibleTextBox::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0) {
        lineEdit()->deselect();
    }
}

void AccessibleTextBox::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex == 0) {
        const int start = clamped(startOffset);
        lineEdit()->setSelection(start, clamped(endOffset) - start);
    }
}

int AccessibleTextBox::cursorPosition() const
{
    return lineEdit()->cursorPosition();
}

void AccessibleTextBox::setCursorPosition(int position)
{
    lineEdit()->setCursorPosition(clamped(position));
}

QString AccessibleTextBox::text(int startOffset, int endOffset) const
{
    const int start = clamped(startOffset);
    return lineEdit()->text().mid(start, std::max(0, clamped(endOffset) - start));
}

int AccessibleTextBox::characterCount() const
{
    return static_cast<int>(lineEdit()->text().size());
}

QRect AccessibleTextBox::characterRect(int offset) const
{
    // Measured from the start of the text box's contents; close enough for
    // a magnifier to follow the caret.
    offset = clamped(offset);
    const QFontMetrics metrics = lineEdit()->fontMetrics();
    const QString text = lineEdit()->text();
    const int x = metrics.horizontalAdvance(text.left(offset));
    const int width = offset < text.size() ? metrics.horizontalAdvance(text.at(offset)) : 1;
    const QRect contents = lineEdit()->contentsRect();
    const QRect local(contents.left() + x, contents.top(), width, contents.height());
    return {lineEdit()->mapToGlobal(local.topLeft()), local.size()};
}

int AccessibleTextBox::offsetAtPoint(const QPoint& point) const
{
    return lineEdit()->cursorPositionAt(lineEdit()->mapFromGlobal(point));
}

void AccessibleTextBox::scrollToSubstring(int startIndex, int endIndex)
{
    lineEdit()->setCursorPosition(clamped(endIndex));
    lineEdit()->setCursorPosition(clamped(startIndex));
}

QString AccessibleTextBox::attributes(int offset, int* startOffset, int* endOffset) const
{
    Q_UNUSED(offset);
    *startOffset = 0;
    *endOffset = characterCount();
    return {};
}

void AccessibleTextBox::deleteText(int startOffset, int endOffset)
{
    replaceText(startOffset, endOffset, {});
}

void AccessibleTextBox::insertText(int offset, const QString& text)
{
    replaceText(offset, offset, text);
}

void AccessibleTextBox::replaceText(int startOffset, int endOffset, const QString& text)
{
    if (lineEdit()->isReadOnly()) {
        return;
    }
    const int start = clamped(startOffset);
    QString value = lineEdit()->text();
    value.replace(start, std::max(0, clamped(endOffset) - start), text);
    lineEdit()->setText(value);
}

} // namespace vostrel::forms
