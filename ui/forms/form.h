// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "control_name.h"
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

    // The control the table calls `name`. A name the table does not have,
    // or a control of another type, stops the program with the name, in
    // every build: it is a fault in the program, not in its input.
    template <typename T> T* control(ControlName<T> name) const { return control<T>(name.objectName); }
    template <typename T> T* control(const char* name) const
    {
        T* widget = findChild<T*>(QString::fromLatin1(name));
        if (widget == nullptr) {
            missingControl(name);
        }
        return widget;
    }

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    [[noreturn]] void missingControl(const char* name) const;
    QWidget* createControl(const ControlLayout& entry);
    void applyColours();
    void applyCursors();

    const FormLayout& m_layout;
    std::vector<std::pair<QWidget*, const ControlLayout*>> m_controls;
};

} // namespace vostrel::forms
