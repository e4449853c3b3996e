// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLineEdit>
#include <QPointer>

namespace vostrel::forms {

// A single-line text box that reports mouse clicks inside it, and knows the
// caption box that labels it, for screen readers.
class TextBox : public QLineEdit {
    Q_OBJECT
public:
    explicit TextBox(QWidget* parent = nullptr);

    void setCaptionBox(QWidget* caption) { m_caption = caption; }
    QWidget* captionBox() const { return m_caption; }

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPointer<QWidget> m_caption;
};

} // namespace vostrel::forms
