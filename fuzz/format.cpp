// Format: a pattern (UTF-8 up to a zero byte), then arguments, each a kind byte
// (integer, floating or text) and its value.

#include <utility>
#include <vector>

#include "dvtFormat.h"
#include "dvtFuzz.h"

using namespace Qt::StringLiterals;

namespace dvt::fuzz {

namespace {

constexpr std::size_t MaxArgs = 6;

template<std::size_t... I>
QString formatWith(const QString &pattern, const std::vector<FormatArg> &args,
                   std::index_sequence<I...>)
{
    return Format(pattern, {args[I]...});
}

// Format takes its arguments as a list fixed at compile time: one call per count.
template<std::size_t... N>
QString formatAll(const QString &pattern, const std::vector<FormatArg> &args,
                  std::index_sequence<N...>)
{
    using Call = QString (*)(const QString &, const std::vector<FormatArg> &);
    static constexpr Call calls[] = {[](const QString &p, const std::vector<FormatArg> &a) {
        return formatWith(p, a, std::make_index_sequence<N>());
    }...};
    return calls[args.size()](pattern, args);
}

} // namespace

int fuzzFormat(const uint8_t *data, size_t size)
{
    Input input(data, size);
    const QString pattern = input.Text();
    std::vector<FormatArg> args;
    while (!input.AtEnd() && args.size() < MaxArgs) {
        switch (input.Byte() % 3) {
        case 0:
            args.emplace_back(qint64(input.Bits()));
            break;
        case 1:
            args.emplace_back(input.Float());
            break;
        default:
            args.emplace_back(input.Text());
            break;
        }
    }
    try {
        formatAll(pattern, args, std::make_index_sequence<MaxArgs + 1>());
    } catch (const EConvertError &) { // the one documented failure
    }
    // With every percent sign doubled the pattern is plain text.
    QString literal = pattern;
    literal.replace(u'%', u"%%"_s);
    if (Format(literal, {}) != pattern)
        throw Violation(u"Format: the doubled '%1' does not give itself"_s.arg(pattern));
    return 0;
}

} // namespace dvt::fuzz
