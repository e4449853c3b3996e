#pragma once

#include <QLineEdit>

namespace vostrel::forms {

// A single-line text box that reports mouse clicks inside it.
class TextBox : public QLineEdit {
    Q_OBJECT
public:
    explicit TextBox(QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace vostrel::forms
