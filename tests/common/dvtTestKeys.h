#pragma once

#include <QString>
#include <QTest>
#include <QWindow>

namespace dvt::test {

// Types the text into the window as a user would, one key click a character, so
// that the keys take the window's focus routing (QTest::keyClicks only takes a
// widget, which bypasses it).
inline void typeText(QWindow *window, const QString &text)
{
    for (const QChar c : text)
        QTest::keyClick(window, c.toLatin1());
}

} // namespace dvt::test
