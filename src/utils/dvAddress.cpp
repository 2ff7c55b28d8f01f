#include "dvAddress.h"

#include <algorithm>
#include <array>

#include "dvStrings.h"
#include "dvtFormat.h"

using namespace Qt::StringLiterals;

namespace {

// ---- Phonetic key

constexpr qsizetype MaxKeyLength = 6;

bool isVowel(QChar c)
{
    return QStringView(u"AEIOU").contains(c);
}

bool isSoft(QChar c)
{
    return QStringView(u"EIY").contains(c);
}

// The name's letters with their neighbours; positions are 1-based, and a
// position outside the name reads as the null character, which is no letter.
class Letters
{
public:
    explicit Letters(const QString &word) : m_word(word) {}

    qsizetype length() const { return m_word.size(); }
    QChar at(qsizetype i) const { return i >= 1 && i <= length() ? m_word.at(i - 1) : QChar(); }

private:
    const QString &m_word;
};

bool isSilentG(const Letters &w, qsizetype i)
{
    const QChar prev = w.at(i - 1), next = w.at(i + 1), after = w.at(i + 2);
    const qsizetype l = w.length();
    if (next == u'H' && isVowel(after))
        return true;
    if (i > 1 && i == l - 1)
        return true;
    if (i > 1 && prev == u'I' && next == u'N' && after == u'E' && w.at(i + 3) == u'D' && l == i + 3)
        return true;
    return i > 1 && prev == u'D' && isSoft(next);
}

// The code of the letter at position i; sets skipNext when the letter after it
// is part of the same sound.
QString letterCode(const Letters &w, qsizetype i, bool &skipNext)
{
    const QChar c = w.at(i), prev = w.at(i - 1), next = w.at(i + 1), after = w.at(i + 2);
    const qsizetype l = w.length();
    switch (c.unicode()) {
    case u'B':
        return i == l && prev == u'M' ? QString() : u"B"_s;
    case u'C':
        if (prev == u'S' && isSoft(next))
            return QString();
        if (next == u'I' && after == u'A')
            return u"X"_s;
        if (isSoft(next))
            return u"S"_s;
        if (next == u'H' && prev == u'S')
            return u"K"_s;
        if (next == u'H')
            return i == 1 && !after.isNull() && !isVowel(after) ? u"K"_s : u"X"_s;
        return u"K"_s;
    case u'D':
        return next == u'G' && isSoft(after) ? u"J"_s : u"T"_s;
    case u'F':
    case u'J':
    case u'L':
    case u'M':
    case u'N':
    case u'R':
        return QString(c);
    case u'G':
        if (isSilentG(w, i))
            return QString();
        return isSoft(next) ? u"J"_s : u"K"_s;
    case u'H':
        if (i == 1 || QStringView(u"CGST").contains(prev))
            return QString();
        return isVowel(next) ? u"H"_s : QString();
    case u'K':
        return prev == u'C' ? QString() : u"K"_s;
    case u'P':
        if (next == u'H') {
            skipNext = true;
            return u"F"_s;
        }
        return u"P"_s;
    case u'Q':
        return u"K"_s;
    case u'S':
        if (next == u'H' || (i > 1 && next == u'I' && (after == u'A' || after == u'O')))
            return u"X"_s;
        return u"S"_s;
    case u'T':
        if (i == 1 && next == u'H' && after == u'O')
            return u"T"_s;
        if (i > 1 && next == u'I' && (after == u'A' || after == u'O'))
            return u"X"_s;
        if (next == u'H')
            return u"O"_s;
        if (next == u'C' && after == u'H')
            return QString();
        return u"T"_s;
    case u'V':
        return u"F"_s;
    case u'W':
    case u'Y':
        return isVowel(next) ? QString(c) : QString();
    case u'X':
        return u"KS"_s;
    case u'Z':
        return u"S"_s;
    default: // vowels add nothing here; digits, punctuation, other letters nothing at all
        return QString();
    }
}

// ---- States and ZIP codes

// Membership in a "|"-separated list is a substring test of the list text.
bool isMember(const QString &text, QStringView list)
{
    return !text.isEmpty() && list.contains(text);
}

struct ZipRange
{
    QStringView state;
    int lowest;
    int highest;
};

constexpr std::array<ZipRange, 62> ZipPrefixes{{
    {u"AL", 350, 369}, {u"AK", 995, 999}, {u"HI", 967, 968}, {u"AS", 967, 967}, {u"ID", 832, 838},
    {u"AZ", 850, 865}, {u"IL", 600, 629}, {u"AR", 716, 725}, {u"IN", 460, 479}, {u"CA", 900, 966},
    {u"IA", 500, 528}, {u"CO", 800, 816}, {u"KS", 660, 679}, {u"CT", 60, 69},   {u"KY", 400, 427},
    {u"DE", 197, 199}, {u"LA", 700, 714}, {u"DC", 200, 205}, {u"ME", 39, 49},   {u"FM", 969, 969},
    {u"MH", 969, 969}, {u"FL", 320, 349}, {u"MD", 206, 219}, {u"GA", 300, 319}, {u"MA", 10, 27},
    {u"GU", 969, 969}, {u"ND", 580, 588}, {u"MI", 480, 499}, {u"MP", 969, 969}, {u"MN", 550, 567},
    {u"OH", 430, 458}, {u"MS", 386, 397}, {u"OK", 730, 749}, {u"MO", 630, 658}, {u"OR", 970, 979},
    {u"MT", 590, 599}, {u"PW", 969, 969}, {u"NE", 680, 693}, {u"PA", 150, 196}, {u"NV", 889, 898},
    {u"PR", 6, 9},     {u"NH", 30, 38},   {u"RI", 28, 29},   {u"NJ", 70, 89},   {u"SC", 290, 299},
    {u"NM", 870, 884}, {u"SD", 570, 577}, {u"NY", 90, 149},  {u"TN", 370, 385}, {u"NC", 269, 289},
    {u"TX", 750, 799}, {u"WA", 980, 994}, {u"UT", 840, 847}, {u"WI", 530, 549}, {u"VT", 50, 59},
    {u"WV", 247, 268}, {u"VA", 220, 246}, {u"WY", 820, 831}, {u"VI", 8, 8},     {u"AE", 90, 98},
    {u"AA", 340, 340}, {u"AP", 962, 966},
}};

struct ZipPrefix
{
    QStringView state;
    int prefix;
};

// Prefixes that lie outside their state's range but belong to it.
constexpr std::array<ZipPrefix, 6> ExtraPrefixes{{
    {u"AR", 755},
    {u"MA", 55},
    {u"TX", 885},
    {u"VA", 201},
    {u"NY", 4},
    {u"NY", 63},
}};

// Prefixes inside Florida's range that belong to no Florida ZIP code.
constexpr std::array<ZipPrefix, 3> RefusedPrefixes{{
    {u"FL", 343},
    {u"FL", 345},
    {u"FL", 348},
}};

template<std::size_t N>
bool listed(const std::array<ZipPrefix, N> &list, const QString &state, int prefix)
{
    return std::any_of(list.begin(), list.end(),
                       [&](const ZipPrefix &p) { return p.prefix == prefix && p.state == state; });
}

} // namespace

QString dvSoundex(const QString &name)
{
    QString w = dvt::Trim(dvt::UpperCase(name));
    if (w.isEmpty())
        return QString();
    const QString p = w.left(2);
    if (QStringView(u"KN|GN|PN|AE|WR").contains(p))
        w.remove(0, 1);
    if (w.startsWith(u'X'))
        w[0] = u'S';
    if (p == u"WH")
        w.remove(1, 1);

    const Letters letters(w);
    QString key;
    for (qsizetype i = 1; i <= letters.length() && key.size() < MaxKeyLength; ++i) {
        const QChar c = letters.at(i);
        if (i == 1 && isVowel(c))
            key = c;
        bool skipNext = false;
        key += letterCode(letters, i, skipNext);
        if (skipNext)
            ++i;
    }
    return key;
}

bool dvValidState(const QString &state, const QString &country)
{
    const QString c = dvt::Trim(dvt::UpperCase(country));
    const QString s = dvt::UpperCase(state);
    bool valid = true;
    if (isMember(c, u"US|U.S.|U.S.A.|USA|UNITED STATES|UNITED STATES OF AMERICA")) {
        valid = isMember(s, u"AL|AK|AZ|AR|CA|CO|CT|DE|DC|FL|GA|HI|ID|IL|IN|IA|KS|KY|LA|ME|MD|MA|MI|"
                            u"MN|MS|MO|MT|NE|NV|NH|NJ|NM|NY|NC|ND|OH|OK|OR|PA|RI|SC|SD|TN|TX|UT|VT|"
                            u"VA|WA|WV|WI|WY");
        if (!valid && country == u"US")
            valid = isMember(s, u"AS|FM|GU|MH|MP|PW|PR|VI");
    }
    if (isMember(c, u"CA|CANADA"))
        valid = isMember(s, u"AB|BC|MB|NB|NF|NS|ON|PE|PQ|SN|YT|NT");
    if (isMember(c, u"MX|MEXICO"))
        valid = isMember(s, u"AG|BA|BJ|CE|CI|CH|CU|CL|DF|DO|GU|GR|HL|JL|MX|MC|MR|NA|NL|OA|PB|QU|"
                            u"QR|SL|SI|SO|TB|TA|TL|VC|YU|ZA");
    return valid;
}

bool dvValidUSZip(const QString &zip, const QString &state)
{
    const int prefix = dvStrToInt(zip.left(3));
    // When a state had several rows the last one would count.
    const auto row = std::find_if(ZipPrefixes.rbegin(), ZipPrefixes.rend(),
                                  [&](const ZipRange &r) { return r.state == state; });
    if (row == ZipPrefixes.rend())
        return false;
    bool valid = prefix >= row->lowest && prefix <= row->highest;
    if (listed(ExtraPrefixes, state, prefix))
        valid = true;
    if (listed(RefusedPrefixes, state, prefix))
        valid = false;
    return valid;
}
