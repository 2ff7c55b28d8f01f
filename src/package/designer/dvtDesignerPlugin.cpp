// The Qt Designer plugin: one generic widget interface per registered class of
// the palette page "dvTools", described by the table below, and the collection
// that offers them. Designer calls initialize() on every interface before it
// creates widgets; QUiLoader, which can use this plugin too, never does. So a
// widget made after initialize() is for the form editor and is marked as
// designing (with every object it holds, a face's component included, which then
// does not count as an instance), and one made without is an ordinary run-time
// widget.

#include <QIcon>
#include <QMetaProperty>
#include <QSize>
#include <QWidget>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

#include "dvPackage.h"
#include "dvtComponent.h"
#include "dvtComponentFace.h"
#include "dvtPalette.h"
#include "dvtRegistry.h"

namespace dvt {

namespace {

using namespace Qt::StringLiterals;

struct Description
{
    const char *className;
    const char *toolTip;
    const char *whatsThis;
    QSize size;
    const char *text; // the caption a new one shows, or nullptr
};

// clang-format off
constexpr Description descriptions[] = {
    {"TdvCheckListBox", "Check list box",
     "A list whose items carry check boxes; a right click selects all, none or the inverse.",
     {150, 100}, nullptr},
    {"TdvControlPanel", "Control panel (database connection)",
     "The application's one database connection, \"dvTools\", and the defaults of the data-entry "
     "controls. Invisible at run time; it connects when its form is loaded.",
     {150, 28}, nullptr},
    {"TdvQuery", "Query",
     "Runs statements on the \"dvTools\" connection. Invisible at run time.",
     {110, 28}, nullptr},
    {"TdvDate", "Date edit",
     "A date field: partial input, + and - step a day, the trigger character opens a calendar.",
     {90, 24}, nullptr},
    {"TdvGrid", "Data grid",
     "A grid that loads the rows of its Select lazily, with captions, formats and in-place editing.",
     {320, 200}, nullptr},
    {"TdvValue", "Number edit",
     "A numeric field formatted with FormatStr; the trigger character opens the calculator.",
     {100, 24}, nullptr},
    {"TdvEdit", "Edit",
     "A single-line field with Enter as Tab, Esc to close, focus colouring and kept values.",
     {120, 24}, nullptr},
    {"TdvMemo", "Memo",
     "A multi-line text field with the controls' common keyboard and focus behaviour.",
     {200, 80}, nullptr},
    {"TdvCheckBox", "Check box",
     "A check box that stores Y or N, marked in bold while focused.",
     {120, 22}, "CheckBox"},
    {"TdvButton", "Command button",
     "A button that can validate the form and ask for confirmation before its click.",
     {90, 28}, "Button"},
    {"TdvKey", "Lookup key edit",
     "A code field that shows its description from KeyTable and opens a pick list.",
     {160, 24}, nullptr},
    {"TdvTime", "Time edit",
     "A time field that normalises what is typed, formatted with FormatStr.",
     {70, 24}, nullptr},
    {"TdvComboBox", "Combo box",
     "A drop-down list that fills itself from its Select when its form is loaded.",
     {120, 24}, nullptr},
    {"TdvShortCut", "Keyboard shortcuts",
     "Gives every captioned control of its form a unique accelerator key when the form is "
     "loaded. Invisible at run time.",
     {130, 28}, nullptr},
    {"TdvRadioButton", "Radio button",
     "A radio button marked in bold while focused.",
     {120, 22}, "RadioButton"},
};
// clang-format on

const Description &describe(const QString &className)
{
    for (const Description &d : descriptions) {
        if (className == QLatin1String(d.className))
            return d;
    }
    static const Description none{};
    return none;
}

void markDesigning(QWidget *widget)
{
    if (auto *face = qobject_cast<ComponentFace *>(widget))
        face->SetDesigning();
    SetDesigning(widget);
    const QList<QObject *> held = widget->findChildren<QObject *>();
    for (QObject *object : held)
        SetDesigning(object);
}

class DesignerWidget : public QObject, public QDesignerCustomWidgetInterface
{
    Q_OBJECT
    Q_INTERFACES(QDesignerCustomWidgetInterface)

public:
    DesignerWidget(const RegisteredClass &registered, QObject *parent)
        : QObject(parent)
        , m_registered(registered)
        , m_description(describe(registered.componentClass.name()))
    {}

    QString name() const override { return m_registered.componentClass.widgetClassName(); }
    QString group() const override { return m_registered.page; }
    QString toolTip() const override { return QString::fromUtf8(m_description.toolTip); }
    QString whatsThis() const override { return QString::fromUtf8(m_description.whatsThis); }
    // The header is named after the widget class: TdvEdit in dvEdit.h, TdvQueryFace
    // in dvQueryFace.h.
    QString includeFile() const override { return name().mid(1) + u".h"_s; }
    QIcon icon() const override { return PalettePixmap(m_registered.componentClass.name()); }
    bool isContainer() const override { return false; }
    bool isInitialized() const override { return m_initialized; }
    void initialize(QDesignerFormEditorInterface *) override { m_initialized = true; }

    QWidget *createWidget(QWidget *parent) override
    {
        QWidget *widget = m_registered.componentClass.create(parent);
        if (m_initialized)
            markDesigning(widget);
        return widget;
    }

    // A new component is named after its unit ("dvEdit"; Designer numbers the
    // next ones), which a form renames to the column it edits. A face shows the
    // component's class name in the widget box.
    QString domXml() const override
    {
        const QString className = m_registered.componentClass.name();
        QString xml = u"<ui language=\"c++\" displayname=\"%1\">\n"
                      u" <widget class=\"%2\" name=\"%3\">\n"
                      u"  <property name=\"geometry\"><rect><x>0</x><y>0</y>"
                      u"<width>%4</width><height>%5</height></rect></property>\n"_s
                          .arg(className, name(), className.mid(1))
                          .arg(m_description.size.width())
                          .arg(m_description.size.height());
        if (m_description.text)
            xml += u"  <property name=\"text\"><string>%1</string></property>\n"_s.arg(
                QString::fromUtf8(m_description.text));
        return xml + u" </widget>\n"_s + propertySpecifications() + u"</ui>\n"_s;
    }

private:
    // The library's own text properties are statements, column lists, formats,
    // trigger characters and connection settings: nothing a translator should
    // see, so Designer stores them with notr="true" and uic does not wrap them
    // in tr().
    QString propertySpecifications() const
    {
        const QMetaObject *widgetClass = m_registered.componentClass.widgetClass;
        QString specifications;
        for (int i = 0; i < widgetClass->propertyCount(); ++i) {
            const QMetaProperty property = widgetClass->property(i);
            if (property.metaType() == QMetaType::fromType<QString>() && isOwn(property))
                specifications +=
                    u"   <stringpropertyspecification name=\"%1\" notr=\"true\" "
                    u"type=\"singleline\"/>\n"_s.arg(QString::fromLatin1(property.name()));
        }
        if (specifications.isEmpty())
            return {};
        return u" <customwidgets>\n  <customwidget>\n   <class>%1</class>\n"
               u"   <propertyspecifications>\n%2   </propertyspecifications>\n"
               u"  </customwidget>\n </customwidgets>\n"_s.arg(name(), specifications);
    }

    // Whether the property is declared by one of the library's classes rather
    // than by Qt's.
    static bool isOwn(const QMetaProperty &property)
    {
        const QMetaObject *declaring = property.enclosingMetaObject();
        const QLatin1String className(declaring->className());
        return className.startsWith(QLatin1String("Tdv"))
               || className.startsWith(QLatin1String("dvt::"));
    }

    RegisteredClass m_registered;
    const Description &m_description;
    bool m_initialized = false;
};

class DesignerCollection : public QObject, public QDesignerCustomWidgetCollectionInterface
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QDesignerCustomWidgetCollectionInterface")
    Q_INTERFACES(QDesignerCustomWidgetCollectionInterface)

public:
    explicit DesignerCollection(QObject *parent = nullptr) : QObject(parent)
    {
        RegisterPackage();
        const QList<RegisteredClass> registered = RegisteredComponents();
        for (const RegisteredClass &r : registered)
            m_widgets.append(new DesignerWidget(r, this));
    }

    QList<QDesignerCustomWidgetInterface *> customWidgets() const override { return m_widgets; }

private:
    QList<QDesignerCustomWidgetInterface *> m_widgets;
};

} // namespace

} // namespace dvt

#include "dvtDesignerPlugin.moc"
