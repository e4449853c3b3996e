// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

namespace vostrel::forms {

// Static text that reports mouse clicks on it.
class Label : public QLabel {
    Q_OBJECT
public:
    explicit Label(QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace vostrel::forms
