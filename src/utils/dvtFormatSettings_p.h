#pragma once

#include <array>

namespace dvt::detail {

// The money forms that TFormatSettings::CurrencyFormat and NegCurrFormat select,
// in that order; "$" stands for the currency string and "1" for the amount.
inline constexpr std::array<const char16_t *, 4> PositiveCurrencyForms = {u"$1", u"1$", u"$ 1",
                                                                          u"1 $"};
inline constexpr std::array<const char16_t *, 16> NegativeCurrencyForms = {
    u"($1)", u"-$1",  u"$-1",  u"$1-",  u"(1$)", u"-1$",  u"1-$",   u"1$-",
    u"-1 $", u"-$ 1", u"1 $-", u"$ 1-", u"$ -1", u"1- $", u"($ 1)", u"(1 $)"};

} // namespace dvt::detail
