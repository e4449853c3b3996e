// SPDX-License-Identifier: GPL-3.0-or-later
#include "multi_line_text_box.h"

#include <QTextDocument>
#include <QTextOption>

namespace vostrel::forms {

MultiLineTextBox::MultiLineTextBox(QWidget* parent)
    : QTextEdit(parent)
{
    setAcceptRichText(false);
    setLineWrapMode(QTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WordWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(true);
    document()->setDocumentMargin(1);
}

void MultiLineTextBox::setText(const QString& crlfText)
{
    QString plain = crlfText;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    setPlainText(plain);
}

QString MultiLineTextBox::text() const
{
    QString text = toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}

void MultiLineTextBox::setTextAlignment(Qt::Alignment alignment)
{
    QTextOption option = document()->defaultTextOption();
    option.setAlignment(alignment);
    document()->setDefaultTextOption(option);
}

} // namespace vostrel::forms
