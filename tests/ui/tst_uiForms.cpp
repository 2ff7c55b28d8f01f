// A form made in Qt Designer and compiled by uic: allComponents.ui gives every
// visual component values other than its defaults, the way Designer saves them
// (enums short and qualified, colours, flags, strings marked notr), and each
// value has to arrive through the setter the generated code calls.

#include <QDomDocument>
#include <QFile>
#include <QMetaProperty>
#include <QtTest>

#include <memory>

#include "ui_allComponents.h"

using namespace Qt::StringLiterals;

namespace {

// The visual components: each is in the form, and fresh() makes one as its
// constructor leaves it.
template<class... Controls>
struct ControlTypes
{
    static QList<const QMetaObject *> types() { return {&Controls::staticMetaObject...}; }
    static std::unique_ptr<QWidget> fresh(const QMetaObject *type)
    {
        std::unique_ptr<QWidget> control;
        ((type == &Controls::staticMetaObject ? control.reset(new Controls) : void()), ...);
        return control;
    }
};
using VisualComponents =
    ControlTypes<TdvEdit, TdvValue, TdvDate, TdvTime, TdvKey, TdvMemo, TdvCheckBox, TdvRadioButton,
                 TdvComboBox, TdvCheckListBox, TdvButton, TdvGrid>;

// A property as the .ui file sets it on a visual component: the control, the
// property, the tag of the value element and its text (a colour as
// "red,green,blue").
struct DesignedProperty
{
    QString control;
    QByteArray name;
    QString kind;
    QString text;
};

QList<DesignedProperty> DesignedProperties()
{
    QFile file(QFINDTESTDATA("../package/allComponents.ui"));
    QDomDocument ui;
    if (!file.open(QIODevice::ReadOnly) || !ui.setContent(&file))
        qFatal("allComponents.ui cannot be read");
    QStringList visual;
    for (const QMetaObject *type : VisualComponents::types())
        visual << QString::fromLatin1(type->className());
    QList<DesignedProperty> properties;
    const QDomNodeList widgets = ui.elementsByTagName(u"widget"_s);
    for (int i = 0; i < widgets.size(); ++i) {
        const QDomElement widget = widgets.at(i).toElement();
        if (!visual.contains(widget.attribute(u"class"_s)))
            continue;
        for (QDomElement property = widget.firstChildElement(u"property"_s); !property.isNull();
             property = property.nextSiblingElement(u"property"_s)) {
            const QDomElement value = property.firstChildElement();
            QString text = value.text();
            if (value.tagName() == u"color") {
                text = QStringList{value.firstChildElement(u"red"_s).text(),
                                   value.firstChildElement(u"green"_s).text(),
                                   value.firstChildElement(u"blue"_s).text()}
                           .join(u',');
            }
            properties.append({widget.attribute(u"name"_s),
                               property.attribute(u"name"_s).toLatin1(), value.tagName(), text});
        }
    }
    return properties;
}

// The designed value in the property's own type. Enum and flag keys count
// without their scope, which uic passes on as written.
QVariant Expected(const QMetaProperty &property, const DesignedProperty &designed)
{
    if (designed.kind == u"bool")
        return designed.text == u"true";
    if (designed.kind == u"number")
        return designed.text.toInt();
    if (designed.kind == u"color") {
        const QStringList rgb = designed.text.split(u',');
        return QColor(rgb.at(0).toInt(), rgb.at(1).toInt(), rgb.at(2).toInt());
    }
    if (designed.kind == u"enum" || designed.kind == u"set") {
        int value = 0;
        for (const QString &key : designed.text.split(u'|'))
            value |= property.enumerator().keyToValue(key.section(u"::"_s, -1).toLatin1());
        return QVariant(property.metaType(), &value);
    }
    return designed.text;
}

bool IsOurs(const QMetaObject *type)
{
    return QByteArrayView(type->className()).startsWith("Tdv");
}

} // namespace

class tst_uiForms : public QObject
{
    Q_OBJECT

    QWidget m_form;
    Ui::OrderForm m_ui;

private Q_SLOTS:
    void initTestCase() { m_ui.setupUi(&m_form); }

    void propertiesArrive_data()
    {
        QTest::addColumn<DesignedProperty>("designed");
        for (const DesignedProperty &designed : DesignedProperties())
            QTest::addRow("%s.%s", qPrintable(designed.control), designed.name.constData())
                << designed;
    }
    void propertiesArrive()
    {
        QFETCH(DesignedProperty, designed);
        const auto *control = m_form.findChild<QWidget *>(designed.control);
        QVERIFY(control);
        const QMetaObject *type = control->metaObject();
        const QMetaProperty property = type->property(type->indexOfProperty(designed.name));
        QVERIFY(property.isValid());
        const QVariant expected = Expected(property, designed);
        QCOMPARE(property.read(control), expected);
        // Fresh from its constructor the control holds another value: the one
        // read above came from the form.
        const std::unique_ptr<QWidget> fresh = VisualComponents::fresh(type);
        QVERIFY(fresh);
        QVERIFY(property.read(fresh.get()) != expected);
    }

    // Every visual component is in the form, and every property it publishes
    // for Designer to store is set there (so the test above reaches it), in the
    // order Designer saves it (the class's), with a setter Designer treats as
    // standard: it saves the property without stdset="0" and uic calls the
    // setter by name. A property Designer does not store, it does not offer.
    void everyPublishedPropertyIsDesigned()
    {
        const QList<DesignedProperty> designed = DesignedProperties();
        QSet<const QMetaObject *> types;
        QSet<QByteArray> published;
        QSet<QByteArray> set;
        for (const QWidget *control : m_form.findChildren<QWidget *>()) {
            const QMetaObject *type = control->metaObject();
            if (!VisualComponents::types().contains(type))
                continue;
            types.insert(type);
            int previous = -1;
            for (const DesignedProperty &property : designed) {
                if (property.control != control->objectName())
                    continue;
                const int index = type->indexOfProperty(property.name);
                QVERIFY2(index > previous, property.name.constData());
                previous = index;
                set.insert(type->property(index).enclosingMetaObject()->className() + "::"_ba
                           + property.name);
            }
            for (const QMetaObject *own = type; IsOurs(own); own = own->superClass()) {
                for (int i = own->propertyOffset(); i < own->propertyCount(); ++i) {
                    const QMetaProperty property = own->property(i);
                    const QByteArray name = own->className() + "::"_ba + property.name();
                    if (!property.isWritable())
                        continue;
                    QVERIFY2(property.isStored() || !property.isDesignable(), name.constData());
                    if (!property.isStored())
                        continue;
                    QVERIFY2(property.hasStdCppSet(), name.constData());
                    published.insert(name);
                }
            }
        }
        for (const QMetaObject *type : VisualComponents::types())
            QVERIFY2(types.contains(type), type->className());
        for (const QByteArray &name : std::as_const(published))
            QVERIFY2(set.contains(name), name.constData());
    }
};

QTEST_MAIN(tst_uiForms)
#include "tst_uiForms.moc"
