#pragma once

#include <array>

namespace dvt::detail {

// Room for FloatToStr's text of any finite number.
inline constexpr int MaxFloatText = 48;

// FloatToStr's text of a finite value in a buffer of the caller's, with no
// allocation (an export writes one per value); answers its length.
int FiniteFloatToStr(double value, std::array<char16_t, MaxFloatText> &out);

} // namespace dvt::detail
