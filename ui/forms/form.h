#pragma once

#include "layout.h"

#include <QWidget>

#include <vector>

namespace vostrel::forms {

// A fixed-size window built from one layout table: every control at its
// place with its text, colours, font and place in the tab order. Controls
// are found by their table names (their object names).
class Form : public QWidget {
    Q_OBJECT
public:
    // The layout is kept, not copied: it must outlive the window (the
    // tables are static).
    explicit Form(const FormLayout& layout, QWidget* parent = nullptr);
    Form(FormLayout&&, QWidget* = nullptr) = delete;

    // The control of the table called `name`; it must exist.
    template <typename T> T* control(const char* name) const
    {
        T* widget = findChild<T*>(QString::fromLatin1(name));
        Q_ASSERT_X(widget != nullptr, "Form::control", name);
        return widget;
    }

protected:
    bool event(QEvent* event) override;

private:
    QWidget* createControl(const ControlLayout& entry);
    void applyColours();
    void applyCursors();

    const FormLayout& m_layout;
    std::vector<std::pair<QWidget*, const ControlLayout*>> m_controls;
};

} // namespace vostrel::forms
