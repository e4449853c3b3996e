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

#include <algorithm>
#include <cstring>

namespace vostrel::forms {
namespace {

QRect pixelRect(const ControlSpec& spec)
{
    return {twipsToPixels(spec.left), twipsToPixels(spec.top), twipsToPixels(spec.width), twipsToPixels(spec.height)};
}

bool takesFocus(ControlKind kind)
{
    return kind != ControlKind::Label;
}

} // namespace

Form::Form(const FormSpec& spec, QWidget* parent)
    : QWidget(parent)
    , m_spec(spec)
{
    setObjectName(QString::fromLatin1(spec.name));
    setWindowTitle(QString::fromUtf8(spec.caption));
    setFixedSize(twipsToPixels(spec.clientWidth), twipsToPixels(spec.clientHeight));
    setFont(standInFont(kDefaultFontPoints));

    AccessibleTextBox::install();
    for (const ControlSpec& control : spec.controls) {
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

QWidget* Form::createControl(const ControlSpec& spec)
{
    QWidget* parent = this;
    if (spec.parent != nullptr) {
        parent = control<PictureBox>(spec.parent);
    }
    const QString text = QString::fromUtf8(spec.text);

    QWidget* widget = nullptr;
    switch (spec.kind) {
    case ControlKind::TextBox: {
        auto* box = new TextBox(parent);
        box->setText(text);
        box->setAlignment(spec.alignment | Qt::AlignVCenter);
        box->setCursorPosition(0);
        widget = box;
        break;
    }
    case ControlKind::MultiLineTextBox: {
        auto* box = new MultiLineTextBox(parent);
        box->setTextAlignment(spec.alignment);
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
        if (spec.picture != nullptr) {
            picture->setPicture(QString::fromUtf8(spec.picture));
        }
        widget = picture;
        break;
    }
    case ControlKind::Label: {
        auto* label = new Label(parent);
        label->setText(text);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(spec.alignment | Qt::AlignTop);
        label->setWordWrap(spec.wordWrap);
        widget = label;
        break;
    }
    }

    widget->setObjectName(QString::fromLatin1(spec.name));
    QRect rect = pixelRect(spec);
    if (auto* frame = qobject_cast<PictureBox*>(parent)) {
        rect.translate(frame->contentsRect().topLeft());
    }
    widget->setGeometry(rect);
    widget->setFont(standInFont(spec.fontPoints, spec.underline));
    if (!takesFocus(spec.kind)) {
        widget->setFocusPolicy(Qt::NoFocus);
    } else if (spec.isStatic) {
        widget->setFocusPolicy(Qt::ClickFocus);
    } else {
        widget->setFocusPolicy(Qt::StrongFocus);
    }
    if (spec.accessibleName != nullptr) {
        widget->setAccessibleName(QString::fromUtf8(spec.accessibleName));
    }
    return widget;
}

void Form::applyColours()
{
    if (m_spec.background) {
        QPalette palette = this->palette();
        palette.setColor(QPalette::Window, resolveColour(*m_spec.background, QGuiApplication::palette()));
        setPalette(palette);
        setAutoFillBackground(true);
    }
    const QPalette desktop = QGuiApplication::palette(); // the user's colour scheme
    for (const auto& [widget, spec] : m_controls) {
        QPalette palette = widget->palette();
        const bool isBox = spec->kind == ControlKind::TextBox || spec->kind == ControlKind::MultiLineTextBox;
        if (spec->kind == ControlKind::PictureBox) {
            palette.setColor(QPalette::Window, resolveColour(SystemColour::ButtonFace, desktop));
        }
        if (spec->background) {
            palette.setColor(isBox ? QPalette::Base : QPalette::Window, resolveColour(*spec->background, desktop));
        }
        if (spec->foreground) {
            palette.setColor(isBox ? QPalette::Text : QPalette::WindowText, resolveColour(*spec->foreground, desktop));
        }
        widget->setPalette(palette);
    }
}

void Form::applyCursors()
{
    for (const auto& [widget, spec] : m_controls) {
        if (spec->cursor != nullptr) {
            widget->setCursor(loadCursor(QString::fromUtf8(spec->cursor), devicePixelRatioF()));
        }
    }
}

bool Form::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::ApplicationPaletteChange:
        applyColours();
        break;
    case QEvent::ScreenChangeInternal:
        applyCursors();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

} // namespace vostrel::forms
