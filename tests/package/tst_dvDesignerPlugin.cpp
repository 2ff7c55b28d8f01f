// The Qt Designer plugin loaded as Designer loads it: the widget box group, the
// pictures, the fifteen components created in design mode with their defaults,
// and a designed form that never touches a database.

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPluginLoader>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>
#include <QXmlStreamReader>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

#include <memory>

#include "dvControlPanel.h"
#include "dvPackage.h"
#include "dvPopups.h"
#include "dvQuery.h"
#include "dvtComponent.h"
#include "dvtComponentFace.h"
#include "dvtControl.h"
#include "dvtPalette.h"
#include "dvtRecordsTestSupport.h"
#include "dvtRegistry.h"
#include "dvtTestKeys.h"
#include "dvtTestTables.h"

using namespace Qt::StringLiterals;

namespace {

// The package's units in the order it lists them.
const QStringList packageOrder = {
    u"TdvCheckListBox"_s, u"TdvControlPanel"_s, u"TdvQuery"_s,       u"TdvDate"_s,
    u"TdvGrid"_s,         u"TdvValue"_s,        u"TdvEdit"_s,        u"TdvMemo"_s,
    u"TdvCheckBox"_s,     u"TdvButton"_s,       u"TdvKey"_s,         u"TdvTime"_s,
    u"TdvComboBox"_s,     u"TdvShortCut"_s,     u"TdvRadioButton"_s,
};

// The component, a property of its, and whether it is kept out of translation.
using NotTranslated = std::tuple<QString, QString, bool>;
// The component, the property and its value when Designer makes the component.
using DesignDefault = std::tuple<QString, QByteArray, QVariant>;

} // namespace

class tst_dvDesignerPlugin : public QObject
{
    Q_OBJECT

    QPluginLoader m_loader{QStringLiteral(DVTOOLS_DESIGNER_PLUGIN)};
    QList<QDesignerCustomWidgetInterface *> m_widgets;

    // The widget box entry of a component class.
    QDesignerCustomWidgetInterface *entry(const QString &className) const
    {
        for (QDesignerCustomWidgetInterface *widget : m_widgets) {
            const std::optional<dvt::ComponentClass> registered =
                dvt::FindWidgetClass(widget->name());
            if (registered && registered->name() == className)
                return widget;
        }
        qFatal("No widget box entry for %s", qPrintable(className));
        return nullptr;
    }

    // A component as Designer makes it when it is dropped on the form.
    QWidget *drop(const QString &className, QWidget *form) const
    {
        return entry(className)->createWidget(form);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY2(m_loader.load(), qPrintable(m_loader.errorString()));
        auto *collection =
            qobject_cast<QDesignerCustomWidgetCollectionInterface *>(m_loader.instance());
        QVERIFY(collection);
        m_widgets = collection->customWidgets();
        // Designer initialises every entry before it creates a widget.
        for (QDesignerCustomWidgetInterface *widget : std::as_const(m_widgets)) {
            QVERIFY(!widget->isInitialized());
            widget->initialize(nullptr);
            QVERIFY(widget->isInitialized());
        }
        dvPopups::SetCalculatorOpener([](QWidget *) {});
        dvPopups::SetCalendarOpener([](QWidget *) {});
    }
    void init()
    {
        QTest::failOnWarning(QRegularExpression(u"^(?!This plugin does not support).*"_s));
    }

    void registryListsThePackageInOrder()
    {
        dvt::RegisterPackage(); // again: the plugin has registered the package already
        QStringList classes;
        for (const dvt::RegisteredClass &registered : dvt::RegisteredComponents()) {
            classes << registered.componentClass.name();
            QCOMPARE(registered.page, u"dvTools"_s);
        }
        QCOMPARE(classes, packageOrder);
        QCOMPARE(m_widgets.size(), packageOrder.size());
    }

    void pictures_data()
    {
        QTest::addColumn<QString>("className");
        for (const QString &className : packageOrder)
            QTest::newRow(qPrintable(className)) << className;
    }
    void pictures()
    {
        QFETCH(QString, className);
        const QString resource = u":/dvTools/palette/"_s + className.toUpper();
        QFile file(resource);
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(resource));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("BM"));
        QCOMPARE(quint8(bytes.at(28)), quint8(4)); // bits per pixel

        const QImage bitmap = dvt::PaletteBitmap(className);
        QCOMPARE(bitmap.size(), QSize(24, 24));
        QVERIFY(bitmap.colorCount() > 0 && bitmap.colorCount() <= 16);

        // The bitmap is its pixel art: each character stands for one colour and
        // each colour for one character.
        QFile art(QStringLiteral(DVTOOLS_SOURCE_DIR "/src/package/pics/") + className.toUpper()
                  + u".txt"_s);
        QVERIFY(art.open(QIODevice::ReadOnly | QIODevice::Text));
        const QStringList rows =
            QString::fromLatin1(art.readAll()).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(rows.size(), 24);
        QHash<QChar, QRgb> colourOf;
        QHash<QRgb, QChar> characterOf;
        for (int y = 0; y < 24; ++y) {
            QCOMPARE(rows.at(y).size(), 24);
            for (int x = 0; x < 24; ++x) {
                const QChar c = rows.at(y).at(x);
                const QRgb rgb = bitmap.pixel(x, y);
                QCOMPARE(colourOf.value(c, rgb), rgb);
                QCOMPARE(characterOf.value(rgb, c), c);
                colourOf.insert(c, rgb);
                characterOf.insert(rgb, c);
            }
        }
        // The background, shown transparent, is the bottom-left pixel's colour.
        const QImage shown = dvt::PalettePixmap(className).toImage();
        QCOMPARE(qAlpha(shown.pixel(0, 23)), 0);
        QCOMPARE(rows.at(23).at(0), u'.');
    }

    void widgetBox_data() { pictures_data(); }
    void widgetBox()
    {
        QFETCH(QString, className);
        QDesignerCustomWidgetInterface *widget = entry(className);
        QCOMPARE(widget->group(), u"dvTools"_s);
        QVERIFY(!widget->isContainer());
        QVERIFY(!widget->toolTip().isEmpty());
        QVERIFY(!widget->whatsThis().isEmpty());
        QCOMPARE(widget->icon().pixmap(24, 24).size(), QSize(24, 24));

        // uic includes the header that declares the widget class.
        const QDir src(QStringLiteral(DVTOOLS_SOURCE_DIR "/src"));
        bool found = false;
        for (const QString &layer : src.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            found = found || QFile::exists(src.filePath(layer + u'/' + widget->includeFile()));
        QVERIFY2(found, qPrintable(widget->includeFile()));

        // A new one gets a name and a size.
        QXmlStreamReader xml(widget->domXml());
        while (xml.readNextStartElement() && xml.name() != u"widget")
            ;
        QCOMPARE(xml.attributes().value(u"class"_s).toString(), widget->name());
        QVERIFY(!xml.attributes().value(u"name"_s).isEmpty());
        QVERIFY(widget->domXml().contains(u"<width>"_s));
        QVERIFY(!xml.hasError());
    }

    // Statements, formats and connection settings are no texts to translate:
    // Designer stores them with notr="true" and uic leaves them out of tr().
    void ownTextsAreNotTranslated_data()
    {
        const auto row = RowColumn<NotTranslated>();
        row("combo Select", {u"TdvComboBox"_s, u"Select"_s, true});
        row("date FormatStr", {u"TdvDate"_s, u"FormatStr"_s, true});
        row("key KeyWhere", {u"TdvKey"_s, u"KeyWhere"_s, true});
        row("panel ConnectionString", {u"TdvControlPanel"_s, u"ConnectionString"_s, true});
        row("edit text, a Qt property", {u"TdvEdit"_s, u"text"_s, false});
        row("button caption", {u"TdvButton"_s, u"text"_s, false});
    }
    void ownTextsAreNotTranslated()
    {
        const auto &[className, property, notTranslated] = Row<NotTranslated>();
        QXmlStreamReader xml(entry(className)->domXml());
        QStringList specified;
        while (!xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::StartElement
                && xml.name() == u"stringpropertyspecification"
                && xml.attributes().value(u"notr"_s) == u"true")
                specified << xml.attributes().value(u"name"_s).toString();
        }
        QVERIFY(!xml.hasError());
        QCOMPARE(specified.contains(property), notTranslated);
    }

    void designDefaults_data()
    {
        const auto row = RowColumn<DesignDefault>();
        const QVariant no(false);
        const QVariant window(dvt::ToPropertyColor(dvt::clWindow));
        const QVariant trigger(u"?"_s);
        row("edit NotNull", {u"TdvEdit"_s, "NotNull", no});
        row("edit KeepValue", {u"TdvEdit"_s, "KeepValue", no});
        row("edit Highlight", {u"TdvEdit"_s, "Highlight", window});
        row("value FormatStr", {u"TdvValue"_s, "FormatStr", u"%m"_s});
        row("value Trigger", {u"TdvValue"_s, "Trigger", trigger});
        row("date DefaultNow", {u"TdvDate"_s, "DefaultNow", no});
        row("date Trigger", {u"TdvDate"_s, "Trigger", trigger});
        row("time DefaultNow", {u"TdvTime"_s, "DefaultNow", no});
        row("key Trigger", {u"TdvKey"_s, "Trigger", trigger});
        row("memo NotNull", {u"TdvMemo"_s, "NotNull", no});
        row("check box KeepValue", {u"TdvCheckBox"_s, "KeepValue", no});
        row("radio EnterAsTab", {u"TdvRadioButton"_s, "EnterAsTab", no});
        row("combo Select", {u"TdvComboBox"_s, "Select", QString()});
        row("list CloseOnEsc", {u"TdvCheckListBox"_s, "CloseOnEsc", no});
        row("button Validate", {u"TdvButton"_s, "Validate", no});
        row("button Confirm", {u"TdvButton"_s, "Confirm", no});
        row("grid DefaultRowHeight", {u"TdvGrid"_s, "DefaultRowHeight", 18});
        row("grid FixedCols", {u"TdvGrid"_s, "FixedCols", 0});
        row("grid Trigger", {u"TdvGrid"_s, "Trigger", trigger});
        row("query DatabaseName", {u"TdvQuery"_s, "DatabaseName", u"dvTools"_s});
        row("query Unidirectional", {u"TdvQuery"_s, "Unidirectional", true});
        row("panel AliasName", {u"TdvControlPanel"_s, "AliasName", u"IBLocal"_s});
        row("panel DatabaseName", {u"TdvControlPanel"_s, "DatabaseName", u"dvTools"_s});
        row("panel EnterAsTab", {u"TdvControlPanel"_s, "EnterAsTab", no});
        row("panel Highlight", {u"TdvControlPanel"_s, "Highlight", window});
    }
    void designDefaults()
    {
        const auto &[className, property, expected] = Row<DesignDefault>();
        QWidget form;
        QWidget *widget = drop(className, &form);
        QVERIFY(dvt::IsDesigning(widget));
        QCOMPARE(QString::fromLatin1(widget->metaObject()->className()), entry(className)->name());
        // Designer's property editor lists writable, designable properties.
        const QMetaObject *meta = widget->metaObject();
        const QMetaProperty shown = meta->property(meta->indexOfProperty(property.constData()));
        QVERIFY(shown.isValid());
        QVERIFY(shown.isWritable());
        QVERIFY(shown.isDesignable());
        QVERIFY(shown.isStored());
        QCOMPARE(shown.read(widget), expected);
    }

    // A face offers every stored property of its component but the password,
    // and reads and writes the component's own.
    void facesForwardTheComponentsProperties_data()
    {
        QTest::addColumn<QString>("className");
        QTest::newRow("query") << u"TdvQuery"_s;
        QTest::newRow("panel") << u"TdvControlPanel"_s;
        QTest::newRow("shortcut") << u"TdvShortCut"_s;
    }
    void facesForwardTheComponentsProperties()
    {
        QFETCH(QString, className);
        QWidget form;
        auto *face = qobject_cast<dvt::ComponentFace *>(drop(className, &form));
        QVERIFY(face);
        QObject *component = face->component();
        QVERIFY(component);
        QCOMPARE(QString::fromLatin1(component->metaObject()->className()), className);
        QVERIFY(dvt::IsDesigning(component));
        const QMetaObject *meta = component->metaObject();
        for (int i = QObject::staticMetaObject.propertyCount(); i < meta->propertyCount(); ++i) {
            const QMetaProperty property = meta->property(i);
            if (!property.isWritable() || !property.isStored() || property.name() == "Password"_ba)
                continue;
            const QMetaProperty forwarded =
                face->metaObject()->property(face->metaObject()->indexOfProperty(property.name()));
            QVERIFY2(forwarded.isValid() && forwarded.isDesignable(), property.name());
            QCOMPARE(forwarded.metaType(), property.metaType());
            QCOMPARE(forwarded.read(face), property.read(component));
            const QVariant changed = property.metaType() == QMetaType::fromType<bool>()
                                         ? QVariant(!property.read(component).toBool())
                                     : property.metaType() == QMetaType::fromType<QColor>()
                                         ? QVariant(QColor(Qt::yellow))
                                         : QVariant(u"changed"_s);
            QVERIFY(forwarded.write(face, changed));
            QCOMPARE(property.read(component), changed);
        }
    }

    // Everything dropped on a form, set up as for a real one, and loaded and
    // shown as a tool might: nothing connects, nothing runs, nothing is lost.
    void designedFormNeedsNoDatabase()
    {
        dvt::test::MessageLog messages;
        QTemporaryDir folder;
        const QString missing = folder.filePath(u"orders/orders.fdb"_s);
        QWidget form;
        form.setObjectName(u"OrderForm"_s);
        QMap<QString, QWidget *> widgets;
        for (const QString &className : packageOrder) {
            widgets[className] = drop(className, &form);
            widgets[className]->setObjectName(className.mid(1).toUpper());
        }
        auto *panelFace = qobject_cast<dvt::ComponentFace *>(widgets[u"TdvControlPanel"_s]);
        auto *panel = qobject_cast<TdvControlPanel *>(panelFace->component());
        QVERIFY(panel);
        panelFace->setProperty("ConnectionString", missing);
        auto *combo = qobject_cast<QComboBox *>(widgets[u"TdvComboBox"_s]);
        combo->addItem(u"typed in the designer"_s);
        combo->setProperty("Select", u"select NAME from COLOURS"_s);
        widgets[u"TdvEdit"_s]->setProperty("text", u"designed text"_s);
        widgets[u"TdvDate"_s]->setProperty("DefaultNow", true);
        widgets[u"TdvButton"_s]->setProperty("text", u"E&xit"_s);
        widgets[u"TdvKey"_s]->setProperty("text", u"7"_s);
        widgets[u"TdvKey"_s]->setProperty("KeyTable", u"CUSTOMERS"_s);
        widgets[u"TdvKey"_s]->setProperty("KeyField", u"ID"_s);
        widgets[u"TdvKey"_s]->setProperty("KeyDescription", u"NAME"_s);
        QSignalSpy statements(panel, &dvt::TDatabase::statementExecuted);
        QSignalSpy connections(panel, &dvt::TDatabase::connectedChanged);

        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QVERIFY(!dvt::IsLoaded(widgets[u"TdvEdit"_s]));
        dvt::LoadForm(&form);

        QVERIFY(!panel->Connected());
        QVERIFY(!QFile::exists(missing));
        QCOMPARE(statements.count(), 0);
        QCOMPARE(connections.count(), 0);
        QCOMPARE(messages.texts, QStringList());
        QCOMPARE(combo->count(), 1);
        QCOMPARE(widgets[u"TdvEdit"_s]->property("text").toString(), u"designed text"_s);
        QCOMPARE(widgets[u"TdvDate"_s]->property("text").toString(), QString());
        QCOMPARE(widgets[u"TdvKey"_s]->property("text").toString(), u"7"_s);
        QCOMPARE(widgets[u"TdvButton"_s]->property("text").toString(), u"E&xit"_s);
        // The faces stay, with their components.
        for (const QString &className : {u"TdvQuery"_s, u"TdvControlPanel"_s, u"TdvShortCut"_s}) {
            auto *face = qobject_cast<dvt::ComponentFace *>(widgets[className]);
            QVERIFY(face->isVisible());
            QCOMPARE(face->component()->parent(), face);
            QVERIFY(face->sizeHint().width() > 24);
        }
    }

    // A connection that something else opened in the designer's process.
    void designedComboBoxShowsAnOpenConnectionsRows()
    {
        QTemporaryDir folder;
        dvt::TDatabase connection;
        connection.SetDatabaseName(u"dvTools"_s);
        connection.SetConnectionString(folder.filePath(u"colours.fdb"_s));
        QVERIFY(connection.Open());
        TdvQuery query;
        QVERIFY(query.Execute(u"create table COLOURS (NAME varchar(10))"_s));
        QVERIFY(query.Execute(u"insert into COLOURS values (\"red\")"_s));
        QWidget form;
        auto *combo = qobject_cast<QComboBox *>(drop(u"TdvComboBox"_s, &form));
        combo->addItem(u"typed in the designer"_s);
        combo->setProperty("Select", u"select NAME from COLOURS"_s);
        dvt::LoadForm(&form);
        QCOMPARE(combo->count(), 1);
        QCOMPARE(combo->itemText(0), u"red"_s);
    }

    // Focus marking and pop-ups belong to a running form: a designed control
    // shows neither, the same control at run time shows both.
    void designedControlsStayInert_data()
    {
        QTest::addColumn<QString>("className");
        QTest::addColumn<bool>("designing");
        for (const QString &className :
             {u"TdvEdit"_s, u"TdvCheckBox"_s, u"TdvValue"_s, u"TdvDate"_s}) {
            QTest::addRow("%s designed", qPrintable(className)) << className << true;
            QTest::addRow("%s running", qPrintable(className)) << className << false;
        }
    }
    void designedControlsStayInert()
    {
        QFETCH(QString, className);
        QFETCH(bool, designing);
        QWidget form;
        form.setObjectName(u"OrderForm"_s);
        new QVBoxLayout(&form);
        QWidget *control = dvt::FindWidgetClass(className)->create(&form);
        control->setObjectName(u"FIELD"_s);
        form.layout()->addWidget(control);
        QWidget *other = dvt::FindWidgetClass(u"TdvEdit"_s)->create(&form);
        form.layout()->addWidget(other);
        control->setProperty("Highlight", QColor(Qt::yellow));
        if (designing)
            dvt::SetDesigning(&form);
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        other->setFocus();

        const dvt::TColor colour = dvt::Color(control);
        const int popups = dvPopups::OpenRequests(dvPopups::Calculator)
                           + dvPopups::OpenRequests(dvPopups::Calendar);
        control->setFocus();
        QTRY_VERIFY(control->hasFocus());
        dvt::test::typeText(form.windowHandle(), u"?"_s);
        const bool marked = dvt::Color(control) != colour || control->font().bold();
        const bool poppedUp = dvPopups::OpenRequests(dvPopups::Calculator)
                                  + dvPopups::OpenRequests(dvPopups::Calendar)
                              > popups;
        QCOMPARE(marked, !designing);
        const bool hasPopup = className == u"TdvValue"_s || className == u"TdvDate"_s;
        QCOMPARE(poppedUp, hasPopup && !designing);
        other->setFocus();
        QCOMPARE(dvt::Color(control), colour);
        QVERIFY(!control->font().bold());
    }

    // Designer keeps copies of what it shows (a drag from the widget box leaves
    // one behind), so designed panels do not count and never refuse each other;
    // a panel made at run time still refuses a second.
    void designedPanelsDoNotCount()
    {
        auto form = std::make_unique<QWidget>();
        auto *first = qobject_cast<dvt::ComponentFace *>(drop(u"TdvControlPanel"_s, form.get()));
        auto *second = qobject_cast<dvt::ComponentFace *>(drop(u"TdvControlPanel"_s, form.get()));
        QVERIFY(first->component());
        QVERIFY(second->component());
        QVERIFY(second->error().isEmpty());
        QCOMPARE(TdvControlPanel::ObjCount(), 0);
        second->setProperty("ConnectionString", u"elsewhere.fdb"_s);
        QCOMPARE(first->property("ConnectionString"), QVariant(QString()));
        {
            TdvControlPanel running;
            QCOMPARE(TdvControlPanel::ObjCount(), 1);
        }
        delete first;
        QCOMPARE(TdvControlPanel::ObjCount(), 0);
        form.reset();
        QCOMPARE(TdvControlPanel::ObjCount(), 0);
    }

    // At run time the face of a second panel tells why it holds none instead of
    // failing the form's loading.
    void secondPanelAtRunTime()
    {
        QWidget form;
        TdvControlPanel panel;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"second TdvControlPanel"_s));
        auto *face = qobject_cast<dvt::ComponentFace *>(
            dvt::FindWidgetClass(u"TdvControlPanelFace"_s)->create(&form));
        QVERIFY(!face->component());
        QCOMPARE(face->error(), u"Only one instance allowed!"_s);
        QCOMPARE(face->property("DatabaseName"), QVariant(QString()));
        QCOMPARE(TdvControlPanel::ObjCount(), 1);
    }
};

QTEST_MAIN(tst_dvDesignerPlugin)
#include "tst_dvDesignerPlugin.moc"
