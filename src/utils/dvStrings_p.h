#pragma once

#include <QtGlobal>

namespace dvt::detail {

// How many places dvRotate(text, start) rotates a text of the given length to
// the left, without building the rotated text.
qsizetype rotationOffset(qsizetype length, qsizetype start);

} // namespace dvt::detail
