#pragma once

#include <QTest>

namespace dvt::test {

// A data table of one bool column with two rows: false, then true.
inline void BoolRows(const char *column, const char *whenFalse, const char *whenTrue)
{
    QTest::addColumn<bool>(column);
    QTest::newRow(whenFalse) << false;
    QTest::newRow(whenTrue) << true;
}

} // namespace dvt::test
