// SPDX-License-Identifier: GPL-3.0-or-later
#include "form.h"

#include "accessible_text_box.h"
#include "cursor_file.h"
#include "font.h"
#include "label.h"
#include "multi_line_text_box.h"
#include "picture_box.h"
#include "text_box.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPushButton>
#include <QWindow>

#include <algorithm>

namespace vostrel::forms {
namespace {

QRect pixelRect(const ControlLayout& entry)
{
    return {
        twipsToPixels(entry.left), twipsToPixels(entry.top), twipsToPixels(entry.width), twipsToPixels(entry.height)};
}

bool takesFocus(ControlKind kind)
{
    return kind != ControlKind::Label;
}

} // namespace

Form::Form(const FormLayout& layout, QWidget* parent)
    : QWidget(parent)
    , m_layout(layout)
{
    setObjectName(QString::fromLatin1(layout.name));
    setWindowTitle(QString::fromUtf8(layout.caption));
    setFixedSize(twipsToPixels(layout.clientWidth), twipsToPixels(layout.clientHeight));
    setFont(standInFont(kDefaultFontPoints));

    AccessibleTextBox::install();
    for (const ControlLayout& control : layout.controls) {
        m_controls.emplace_back(createControl(control), &control);
    }
    for (const auto& [widget, control] : m_controls) {
        if (auto* box = qobject_cast<TextBox*>(widget); box != nullptr && control->labelledBy != nullptr) {
            box->setCaptionBox(this->control<QWidget>(control->labelledBy));
        }
    }

    // Tab order follows the tab index; static boxes keep out of it.
    std::vector<std::pair<int, QWidget*>> stops;
    for (const auto& [widget, control] : m_controls) {
        if (takesFocus(control->kind) && !control->isStatic) {
            stops.emplace_back(control->tabIndex, widget);
        }
    }
    std::sort(stops.begin(), stops.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 1; i < stops.size(); ++i) {
        setTabOrder(stops[i - 1].second, stops[i].second);
    }

    applyColours();
    applyCursors();
}

void Form::missingControl(const char* name) const
{
    qFatal("Window '%s' has no control '%s' of the type asked for", qPrintable(objectName()), name);
}

QWidget* Form::createControl(const ControlLayout& entry)
{
    QWidget* parent = this;
    if (entry.parent != nullptr) {
        parent = control<PictureBox>(entry.parent);
    }
    const QString text = QString::fromUtf8(entry.text);

    QWidget* widget = nullptr;
    switch (entry.kind) {
    case ControlKind::TextBox: {
        auto* box = new TextBox(parent);
        box->setText(text);
        box->setAlignment(entry.alignment | Qt::AlignVCenter);
        box->setCursorPosition(0);
        widget = box;
        break;
    }
    case ControlKind::MultiLineTextBox: {
        auto* box = new MultiLineTextBox(parent);
        box->setTextAlignment(entry.alignment);
        box->setText(text);
        widget = box;
        break;
    }
    case ControlKind::Button: {
        auto* button = new QPushButton(text, parent);
        button->setAutoDefault(false);
        button->setDefault(false);
        widget = button;
        break;
    }
    case ControlKind::PictureBox: {
        auto* picture = new PictureBox(parent);
        if (entry.picture != nullptr) {
            picture->setPicture(QString::fromUtf8(entry.picture));
        }
        widget = picture;
        break;
    }
    case ControlKind::Label: {
        auto* label = new Label(parent);
        label->setText(text);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(entry.alignment | Qt::AlignTop);
        label->setWordWrap(entry.wordWrap);
        widget = label;
        break;
    }
    }

    widget->setObjectName(QString::fromLatin1(entry.name));
    QRect rect = pixelRect(entry);
    if (auto* frame = qobject_cast<PictureBox*>(parent)) {
        rect.translate(frame->contentsRect().topLeft());
    }
    widget->setGeometry(rect);
    widget->setFont(standInFont(entry.fontPoints, entry.underline));
    if (!takesFocus(entry.kind)) {
        widget->setFocusPolicy(Qt::NoFocus);
    } else if (entry.isStatic) {
        widget->setFocusPolicy(Qt::ClickFocus);
    } else {
        widget->setFocusPolicy(Qt::StrongFocus);
    }
    if (entry.accessibleName != nullptr) {
        widget->setAccessibleName(QString::fromUtf8(entry.accessibleName));
    }
    return widget;
}

void Form::applyColours()
{
    const QPalette desktop = QGuiApplication::palette(); // the user's colour scheme
    if (m_layout.background) {
        QPalette palette = this->palette();
        palette.setColor(QPalette::Window, resolveColour(*m_layout.background, desktop));
        setPalette(palette);
        setAutoFillBackground(true);
    }
    for (const auto& [widget, entry] : m_controls) {
        QPalette palette = widget->palette();
        const bool isBox = entry->kind == ControlKind::TextBox || entry->kind == ControlKind::MultiLineTextBox;
        if (entry->kind == ControlKind::PictureBox) {
            palette.setColor(QPalette::Window, resolveColour(SystemColour::ButtonFace, desktop));
        }
        if (entry->background) {
            palette.setColor(isBox ? QPalette::Base : QPalette::Window, resolveColour(*entry->background, desktop));
        }
        if (entry->foreground) {
            palette.setColor(isBox ? QPalette::Text : QPalette::WindowText, resolveColour(*entry->foreground, desktop));
        }
        widget->setPalette(palette);
    }
}

void Form::applyCursors()
{
    for (const auto& [widget, entry] : m_controls) {
        if (entry->cursor != nullptr) {
            widget->setCursor(loadCursor(QString::fromUtf8(entry->cursor), devicePixelRatioF()));
        }
    }
}

bool Form::event(QEvent* event)
{
    if (event->type() == QEvent::ApplicationPaletteChange) {
        applyColours();
    }
    return QWidget::event(event);
}

void Form::showEvent(QShowEvent* event)
{
    // A cursor picture is made for one pixel ratio: make it again when the
    // window moves to a screen of another.
    if (QWindow* handle = window()->windowHandle()) {
        connect(handle, &QWindow::screenChanged, this, &Form::applyCursors, Qt::UniqueConnection);
    }
    QWidget::showEvent(event);
}

} // namespace vostrel::forms
