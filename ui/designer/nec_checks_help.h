// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace vostrel::designer {

// What the NEC-2 column's checks mean, in plain words, with what to do
// about each: the average gain test, the halved run and "doubtful". The
// limits are those refine() judges by (nec/refine.h), written in the
// window's locale. Plain text, paragraphs apart.
QString necChecksExplanation();

} // namespace vostrel::designer
