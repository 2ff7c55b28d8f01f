#pragma once

#include <QTest>

#include <tuple>

namespace dvt::test {

// A data table of one bool column with two rows: false, then true.
inline void BoolRows(const char *column, const char *whenFalse, const char *whenTrue)
{
    QTest::addColumn<bool>(column);
    QTest::newRow(whenFalse) << false;
    QTest::newRow(whenTrue) << true;
}

} // namespace dvt::test

// A data table whose rows are tuples in the single column "row", a line each:
// the _data function adds its rows by the function it is given,
//   const auto row = RowColumn<KindAndText>();
//   row("date", {u"date"_s, u"1/1/2000"_s});
// and the test reads its row back with a structured binding,
//   const auto &[kind, text] = Row<KindAndText>();
template<class Tuple>
auto RowColumn()
{
    QTest::addColumn<Tuple>("row");
    return +[](const char *name, const Tuple &fields) { QTest::newRow(name) << fields; };
}
template<class Tuple>
const Tuple &Row()
{
    return *static_cast<const Tuple *>(QTest::qData("row", qMetaTypeId<Tuple>()));
}
