// dvDeCrypt and dvEnCrypt: a key (4 bytes), then the text (UTF-8).

#include "dvCrypt.h"
#include "dvtFuzz.h"

using namespace Qt::StringLiterals;

namespace dvt::fuzz {

int fuzzDeCrypt(const uint8_t *data, size_t size)
{
    Input input(data, size);
    const int key = int(quint32(input.Bits(4)));
    const QString text = QString::fromUtf8(input.RestBytes());
    const QString plain = dvDeCrypt(text, key);
    const QString scrambled = dvEnCrypt(text, key);
    const auto fail = [&](const QString &what) {
        throw Violation(u"dvDeCrypt: %1 for '%2' with key %3"_s.arg(what, text).arg(key));
    };
    if (plain.size() != text.size() || scrambled.size() != text.size())
        fail(u"the length changes"_s);
    if (dvEnCrypt(plain, 0) != text || dvDeCrypt(scrambled, 0) != text)
        fail(u"no round trip"_s);
    if (plain != dvDeCrypt(text, 0))
        fail(u"the key matters"_s);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if ((c.unicode() < 32 || c == u'"' || c == u';' || c == u'\\') && plain[i] != c)
            fail(u"a character outside the alphabet changes"_s);
    }
    return 0;
}

} // namespace dvt::fuzz
