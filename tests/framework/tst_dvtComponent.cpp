#include <QCheckBox>
#include <QFrame>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include "dvtComponent.h"

using namespace Qt::StringLiterals;

namespace {

QStringList names(const QList<QObject *> &objects)
{
    QStringList result;
    for (const QObject *o : objects)
        result << o->objectName();
    return result;
}

// Records the order in which its Loaded() calls arrive.
class Probe : public QObject, public dvt::Loadable
{
public:
    Probe(const QString &name, QObject *parent, QStringList *log) : QObject(parent), m_log(log)
    {
        setObjectName(name);
    }
    void Loaded() override { *m_log << objectName(); }

private:
    QStringList *m_log;
};

template<class T>
T *make(const QString &name, QWidget *parent)
{
    auto *w = new T(parent);
    w->setObjectName(name);
    return w;
}

} // namespace

class tst_dvtComponent : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void componentsFollowCreationOrderAcrossContainers()
    {
        QWidget form;
        form.setObjectName(QStringLiteral("OrderForm"));
        auto *layout = new QVBoxLayout(&form);
        layout->setObjectName(QStringLiteral("verticalLayout"));
        make<QLineEdit>(QStringLiteral("Customer"), &form);
        auto *panel = make<QFrame>(QStringLiteral("Panel"), &form);
        make<QLineEdit>(QStringLiteral("Street"), panel);
        make<QCheckBox>(QStringLiteral("Paid"), &form);
        new QLineEdit(&form); // unnamed: not a component

        QCOMPARE(names(dvt::Components(&form)),
                 QStringList({u"Customer"_s, u"Panel"_s, u"Street"_s, u"Paid"_s}));
        QCOMPARE(dvt::Owner(form.findChild<QLineEdit *>(QStringLiteral("Street"))), &form);
        QCOMPARE(dvt::Owner(&form), nullptr);
    }

    void nestedOwnerKeepsItsComponents()
    {
        QWidget form;
        auto *frame = make<QFrame>(QStringLiteral("AddressFrame"), &form);
        dvt::SetOwnerMark(frame);
        auto *street = make<QLineEdit>(QStringLiteral("Street"), frame);
        make<QLineEdit>(QStringLiteral("Name"), &form);

        QCOMPARE(names(dvt::Components(&form)), QStringList({u"AddressFrame"_s, u"Name"_s}));
        QCOMPARE(names(dvt::Components(frame)), QStringList({u"Street"_s}));
        QCOMPARE(dvt::Owner(street), frame);
        QCOMPARE(dvt::Owner(frame), &form);
    }

    void findComponent_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("found");
        QTest::newRow("exact") << u"CustomerName"_s << u"CustomerName"_s;
        QTest::newRow("upper") << u"CUSTOMERNAME"_s << u"CustomerName"_s;
        QTest::newRow("lower") << u"customername"_s << u"CustomerName"_s;
        QTest::newRow("inside container") << u"street"_s << u"Street"_s;
        QTest::newRow("missing") << u"Customer"_s << QString();
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("inside nested owner") << u"zip"_s << QString();
    }
    void findComponent()
    {
        QFETCH(QString, name);
        QFETCH(QString, found);
        QWidget form;
        make<QLineEdit>(QStringLiteral("CustomerName"), &form);
        make<QLineEdit>(QStringLiteral("Street"), make<QFrame>(QStringLiteral("Box"), &form));
        auto *frame = make<QFrame>(QStringLiteral("Frame"), &form);
        dvt::SetOwnerMark(frame);
        make<QLineEdit>(QStringLiteral("Zip"), frame);

        QObject *component = dvt::FindComponent(&form, name);
        QCOMPARE(component ? component->objectName() : QString(), found);
    }

    void designModeIsInheritedFromOwners()
    {
        QWidget form;
        auto *edit = make<QLineEdit>(QStringLiteral("Edit"), &form);
        QVERIFY(!dvt::IsDesigning(edit));
        dvt::SetDesigning(&form);
        QVERIFY(dvt::IsDesigning(edit));
        dvt::SetDesigning(&form, false);
        dvt::SetDesigning(edit);
        QVERIFY(dvt::IsDesigning(edit));
        QVERIFY(!dvt::IsDesigning(&form));
    }

    void loadFormDeliversOnceInOrder()
    {
        QStringList log;
        QWidget form;
        new Probe(QStringLiteral("Panel"), &form, &log);
        auto *frame = make<QFrame>(QStringLiteral("Frame"), &form);
        dvt::SetOwnerMark(frame);
        new Probe(QStringLiteral("InFrame"), frame, &log);
        new Probe(QStringLiteral("Last"), &form, &log);

        dvt::LoadForm(&form);
        QCOMPARE(log, QStringList({u"Panel"_s, u"InFrame"_s, u"Last"_s}));

        new Probe(QStringLiteral("Added"), &form, &log);
        dvt::LoadForm(&form);
        QCOMPARE(log, QStringList({u"Panel"_s, u"InFrame"_s, u"Last"_s, u"Added"_s}));
    }
};

QTEST_MAIN(tst_dvtComponent)
#include "tst_dvtComponent.moc"
