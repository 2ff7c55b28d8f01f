#include "dvCrypt.h"

#include "dvStrings_p.h"

namespace {

// The plain alphabet, and the permutation of it that scrambled texts use.
// Changing either makes every scrambled file unreadable.
constexpr QStringView PlainAlphabet =
    u" abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ~!@#$%^&*()-_=+/?.>,<"
    u"0123456789áÁéÉíÍóÓúÚãÃõÕñÑàÀèÈìÌòÒùÙ";
constexpr QStringView CipherAlphabet = u"bÌ~7òú?eÙ#FJu.!Oõ(-é)áè+y v2àc=3lãIóV^nYBZC<íhpXAP$wEU/"
                                       u"ÀWHÁÃgL%Íñì*,ÚDmMdzSxRÑGQÈÓ@0oq_TN9É&f>1rtjiaÒ546ùKÕs8k";
static_assert(PlainAlphabet.size() == 110 && CipherAlphabet.size() == 110);

enum class Direction { Scramble, Unscramble };

// Scrambling takes the character at position p of the plain alphabet to position
// p of the cipher alphabet rotated for the character's place; unscrambling goes
// the other way.
QString translate(const QString &text, Direction direction)
{
    const qsizetype n = PlainAlphabet.size();
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const qsizetype offset = dvt::detail::rotationOffset(n, i + 1);
        if (direction == Direction::Scramble) {
            const qsizetype p = PlainAlphabet.indexOf(c);
            result += p < 0 ? c : CipherAlphabet.at((p + offset) % n);
        } else {
            const qsizetype q = CipherAlphabet.indexOf(c);
            result += q < 0 ? c : PlainAlphabet.at((q - offset + n) % n);
        }
    }
    return result;
}

} // namespace

QString dvEnCrypt(const QString &text, int /*key*/)
{
    return translate(text, Direction::Scramble);
}

QString dvDeCrypt(const QString &text, int /*key*/)
{
    return translate(text, Direction::Unscramble);
}
