#pragma once

#include <QString>

namespace dvt::detail {

// How many places dvRotate(text, start) rotates a text of the given length to
// the left, without building the rotated text.
qsizetype rotationOffset(qsizetype length, qsizetype start);

// A typed number without its money decoration (the currency symbol, thousands
// separators, "$" and blanks; parentheses as a minus sign), so that the strict
// conversion can read it. dvStrToFloat and the value edit read numbers so.
QString cleanNumber(const QString &text);

} // namespace dvt::detail
