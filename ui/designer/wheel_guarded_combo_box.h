// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QComboBox>

namespace vostrel::designer {

// A combo box the mouse wheel turns only once it has the keyboard focus: a
// wheel step over it while the user scrolls the form goes to the form, and
// no input changes behind the user's back. A click or Tab gives it the
// focus, as for any field.
class WheelGuardedComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit WheelGuardedComboBox(QWidget* parent = nullptr);

protected:
    void wheelEvent(QWheelEvent* event) override;
};

} // namespace vostrel::designer
