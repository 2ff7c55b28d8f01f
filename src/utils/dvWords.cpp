#include "dvWords.h"

#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

#include "dvStrings.h"
#include "dvtFormat.h"
#include "dvtFormatSettings.h"

using namespace Qt::StringLiterals;

namespace {

const std::array<QString, 10> &unitWords()
{
    static const std::array<QString, 10> words{
        QString(), u"One"_s, u"Two"_s,   u"Three"_s, u"Four"_s,
        u"Five"_s, u"Six"_s, u"Seven"_s, u"Eight"_s, u"Nine"_s,
    };
    return words;
}

// Indexed by a tens digit 2 to 9, or by a number 10 to 19.
const std::array<QString, 20> &tenWords()
{
    static const std::array<QString, 20> words{
        QString(),    QString(),    u"Twenty"_s,    u"Tirty"_s,    u"Fourty"_s,
        u"Fifty"_s,   u"Sixty"_s,   u"Seventy"_s,   u"Eighty"_s,   u"Ninety"_s,
        u"Ten"_s,     u"Eleven"_s,  u"Twelve"_s,    u"Tirteen"_s,  u"Fourteen"_s,
        u"Fifteen"_s, u"Sixteen"_s, u"Seventeen"_s, u"Eighteen"_s, u"Nineteen"_s,
    };
    return words;
}

// The amount as twelve integer digits, "." and two cent digits
// ("000000001234.56"), or nothing when the amount does not fit that layout.
std::optional<QString> digitText(double amount)
{
    static const QRegularExpression layout(u"^\\d{12}\\.\\d{2}$"_s);
    const dvt::TFormatSettings &fs = dvt::FormatSettings();
    QString text = dvStrTran(dvt::Format(u"%m"_s, {amount}), fs.CurrencyString, QString());
    text.remove(fs.ThousandSeparator);
    text = dvt::Trim(text);
    if (fs.DecimalSeparator != u'.')
        text.replace(fs.DecimalSeparator, u'.');
    if (!text.contains(u'.'))
        text += u".00"_s;
    text = text.rightJustified(15, u'0');
    if (!layout.match(text).hasMatch())
        return std::nullopt;
    return text;
}

int digitAt(QStringView digits, qsizetype index)
{
    return digits.at(index).digitValue();
}

struct Group
{
    qsizetype start; // first of the three digits in the digit text; -1 for the cents
    QString singular;
    QString plural;
};

const std::array<Group, 5> &groups()
{
    static const std::array<Group, 5> table{
        Group{0, u" Billion"_s, u" Billions"_s},  Group{3, u" Million"_s, u" Millions"_s},
        Group{6, u" Thousand"_s, u" Thousand"_s}, Group{9, QString(), QString()},
        Group{-1, u" Cent"_s, u" Cents"_s},
    };
    return table;
}

// The words of one three-digit group, without its scale word.
QString groupWords(QStringView g)
{
    if (g == u"100")
        return u" One Hundred "_s;
    const int hundreds = digitAt(g, 0);
    const int tens = digitAt(g, 1);
    const int units = digitAt(g, 2);
    QString w;
    if (hundreds != 0)
        w += unitWords()[hundreds] + u" Hundred"_s;
    if (tens == 1) {
        if (!w.isEmpty())
            w += u" and "_s;
        w += tenWords()[10 + units];
    } else if (tens >= 2) {
        if (!w.isEmpty())
            w += u", "_s;
        w += tenWords()[tens];
    }
    if (units != 0 && tens != 1) {
        if (!w.isEmpty())
            w += u' ';
        w += unitWords()[units];
    }
    return w;
}

QString collapseBlanks(QString text)
{
    while (text.contains(u"  "_s))
        text.replace(u"  "_s, u" "_s);
    return text;
}

bool allZero(QStringView digits)
{
    return std::all_of(digits.begin(), digits.end(), [](QChar c) { return c == u'0'; });
}

QString spell(double amount, const QString &digits, bool withCurrency)
{
    // W[0..3] are billions to units, W[4] the cents.
    std::array<QString, 5> w;
    for (std::size_t k = 0; k < groups().size(); ++k) {
        const Group &group = groups()[k];
        const QString g = group.start >= 0 ? digits.mid(group.start, 3) : u'0' + digits.mid(13, 2);
        if (g == u"000")
            continue;
        w[k] = groupWords(g);
        const bool isCents = group.start < 0;
        if (isCents
            && std::any_of(w.begin(), w.begin() + 4, [](const QString &s) { return !s.isEmpty(); }))
            w[k].prepend(u" and "_s);
        if (!w[k].isEmpty())
            w[k] += g == u"001" ? group.singular : group.plural;
    }

    const QStringView d(digits);
    const auto joiner = [](bool onlyUnitsFollow) { return onlyUnitsFollow ? u" and "_s : u", "_s; };
    if (!w[0].isEmpty() && (!w[1].isEmpty() || !w[2].isEmpty() || !w[3].isEmpty()))
        w[0] += joiner(allZero(d.mid(3, 6)));
    if (!w[1].isEmpty() && (!w[2].isEmpty() || !w[3].isEmpty()))
        w[1] += joiner(allZero(d.mid(6, 3)));
    if (!w[2].isEmpty() && !w[3].isEmpty())
        w[2] += joiner(d.at(9) == u'0' || allZero(d.mid(10, 2)));
    for (std::size_t k = 0; k + 1 < w.size(); ++k) {
        if (!w[k].isEmpty() && !w[k + 1].isEmpty())
            w[k] += u' ';
    }

    if (amount == 0) {
        w[0] = u"Zero"_s;
    } else if (withCurrency) {
        if (amount < 1)
            w[4] += u' ';
        else if (amount < 2)
            w[3] += u" Dollar "_s;
        else if (amount > 1000000 && w[3].isEmpty())
            w[3] = u" "_s;
        else
            w[3] += u" Dollars "_s;
    }

    QString result = w[0] + w[1] + w[2] + w[3];
    if (withCurrency)
        result += w[4];
    return collapseBlanks(result);
}

} // namespace

QString dvNumToWords(double amount, bool withCurrency)
{
    const double magnitude = std::fabs(amount);
    const std::optional<QString> digits = digitText(magnitude);
    if (!digits)
        return QString();
    const QString words = spell(magnitude, *digits, withCurrency);
    // Only an amount that has words of its own gets the sign word.
    const bool negative = amount < 0 && !dvt::Trim(words).isEmpty();
    return negative ? collapseBlanks(u"Minus "_s + words) : words;
}
