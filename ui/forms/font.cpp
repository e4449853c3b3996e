// SPDX-License-Identifier: GPL-3.0-or-later
#include "font.h"

#include <cmath>

namespace vostrel::forms {

QFont standInFont(double points, bool underline)
{
    QFont font(QString::fromLatin1(kStandInFace));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(static_cast<int>(std::lround(points * 96.0 / 72.0)));
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setUnderline(underline);
    return font;
}

} // namespace vostrel::forms
