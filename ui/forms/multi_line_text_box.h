// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTextEdit>

namespace vostrel::forms {

// An editable plain-text box that wraps long lines at word boundaries and
// keeps its text with CR LF line ends, as the layout tables write it.
class MultiLineTextBox : public QTextEdit {
    Q_OBJECT
public:
    explicit MultiLineTextBox(QWidget* parent = nullptr);

    void setText(const QString& crlfText);
    QString text() const; // CR LF line ends
    void setTextAlignment(Qt::Alignment alignment);
};

} // namespace vostrel::forms
