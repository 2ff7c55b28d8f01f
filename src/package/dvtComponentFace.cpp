#include "dvtComponentFace.h"

#include <QPainter>

#include "dvtException.h"
#include "dvtPalette.h"

namespace dvt {

namespace {

constexpr int margin = 2;

} // namespace

ComponentFace::ComponentFace(const QMetaObject &componentClass, QObject *(*make)(QObject *owner),
                             void (*count)(int change), QWidget *parent)
    : QWidget(parent)
    , m_count(count)
    , m_picture(PalettePixmap(QString::fromLatin1(componentClass.className())))
{
    try {
        m_component = make(this);
    } catch (const Exception &e) {
        // The component has said why already (a second control panel warns).
        m_error = e.Message();
    }
    connect(this, &QObject::objectNameChanged, this, [this] {
        updateGeometry();
        update();
    });
    LoadOnFirstShow(this);
}

ComponentFace::~ComponentFace()
{
    // Counted again just before the component, a child, is destroyed.
    if (m_uncounted)
        m_count(+1);
}

void ComponentFace::SetDesigning()
{
    dvt::SetDesigning(this);
    if (!m_component)
        return;
    dvt::SetDesigning(m_component);
    if (!m_uncounted) {
        m_uncounted = true;
        m_count(-1);
    }
}

void ComponentFace::Loaded()
{
    if (IsDesigning(this))
        return;
    hide();
    QWidget *form = parentWidget();
    if (!form)
        return;
    if (m_component) {
        m_component->setObjectName(objectName());
        m_component->setParent(form);
        m_component = nullptr;
    }
    setObjectName(QString());
    deleteLater();
}

QSize ComponentFace::sizeHint() const
{
    const QFontMetrics metrics = fontMetrics();
    return {m_picture.width() + metrics.horizontalAdvance(caption()) + 5 * margin,
            qMax(m_picture.height(), metrics.height()) + 2 * margin};
}

QVariant ComponentFace::Forwarded(const char *property) const
{
    return m_component ? m_component->property(property) : QVariant();
}

void ComponentFace::Forward(const char *property, const QVariant &value)
{
    if (m_component)
        m_component->setProperty(property, value);
}

void ComponentFace::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect frame = rect().adjusted(0, 0, -1, -1);
    painter.setPen(palette().color(QPalette::Mid));
    painter.setBrush(palette().color(QPalette::Button));
    painter.drawRect(frame);
    const int pictureTop = (height() - m_picture.height()) / 2;
    painter.drawPixmap(margin, pictureTop, m_picture);
    const QRect text = frame.adjusted(m_picture.width() + 3 * margin, 0, -margin, 0);
    painter.setPen(m_error.isEmpty() ? palette().color(QPalette::ButtonText) : QColor(Qt::red));
    painter.drawText(text, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, caption());
}

QString ComponentFace::caption() const
{
    return m_error.isEmpty() ? objectName() : m_error;
}

} // namespace dvt
