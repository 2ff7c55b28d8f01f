#include "dvShortCut.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextEdit>

#include <optional>

#include "dvtFormat.h"

namespace {

// Keys that are never chosen: punctuation (the asterisk twice) and the blank.
const QString initialUsedKeys = QStringLiteral("!@#$%^&**()_-+={[}]:;\"'<,>.?/~` ");
const QString initialSpareKeys = QStringLiteral("1234567890ABCDEFGHIJKLMNOPQRSTUVWXYZ");

// The tab widget that shows the page, and the page's index there.
std::pair<QTabWidget *, int> tabOf(QWidget *page)
{
    QWidget *stack = page->parentWidget();
    auto *tabs = qobject_cast<QTabWidget *>(stack ? stack->parentWidget() : nullptr);
    const int index = tabs ? tabs->indexOf(page) : -1;
    return {index >= 0 ? tabs : nullptr, index};
}

std::optional<QString> caption(QWidget *control)
{
    if (auto *button = qobject_cast<QAbstractButton *>(control))
        return button->text();
    if (auto *label = qobject_cast<QLabel *>(control))
        return label->text();
    if (auto *box = qobject_cast<QGroupBox *>(control))
        return box->title();
    if (const auto [tabs, index] = tabOf(control); tabs)
        return tabs->tabText(index);
    return std::nullopt;
}

void setCaption(QWidget *control, const QString &text)
{
    if (auto *button = qobject_cast<QAbstractButton *>(control))
        button->setText(text);
    else if (auto *label = qobject_cast<QLabel *>(control))
        label->setText(text);
    else if (auto *box = qobject_cast<QGroupBox *>(control))
        box->setTitle(text);
    else if (const auto [tabs, index] = tabOf(control); tabs)
        tabs->setTabText(index, text);
}

// Deletes every single "&", keeps every "&&".
QString withoutMarkers(const QString &text)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) != u'&') {
            result += text.at(i);
        } else if (i + 1 < text.size() && text.at(i + 1) == u'&') {
            result += QStringLiteral("&&");
            ++i;
        }
    }
    return result;
}

// Only the letters A to Z have two cases here.
QChar asciiLower(QChar c)
{
    return c >= u'A' && c <= u'Z' ? QChar(c.unicode() + 32) : c;
}

bool isPushButton(const QObject *object)
{
    return qobject_cast<const QPushButton *>(object);
}

bool isLeadingLabel(const QObject *object)
{
    const auto *label = qobject_cast<const QLabel *>(object);
    return label && label->buddy();
}

// Controls whose text is their value, not a caption, and labels and buttons,
// which the first two passes serve.
bool isSkippedByLastPass(const QObject *object)
{
    return qobject_cast<const QLineEdit *>(object) || qobject_cast<const QPlainTextEdit *>(object)
           || qobject_cast<const QTextEdit *>(object)
           || qobject_cast<const QAbstractSpinBox *>(object)
           || qobject_cast<const QComboBox *>(object) || qobject_cast<const QStatusBar *>(object)
           || qobject_cast<const QPushButton *>(object) || qobject_cast<const QLabel *>(object);
}

QList<QWidget *> childWidgets(const QWidget *parent)
{
    QList<QWidget *> widgets;
    for (QObject *child : parent->children()) {
        if (child->isWidgetType())
            widgets.append(static_cast<QWidget *>(child));
    }
    return widgets;
}

} // namespace

TdvShortCut::TdvShortCut(QObject *owner) : QObject(owner)
{
    setObjectName(QStringLiteral("dvShortCut"));
}

void TdvShortCut::Loaded()
{
    Refresh(dvt::Owner(this));
}

void TdvShortCut::Refresh(QObject *owner)
{
    if (!owner || dvt::IsDesigning(this))
        return;
    QString spareKeys = initialSpareKeys;
    QString usedKeys = initialUsedKeys;
    const QList<QObject *> components = dvt::Components(owner);

    QList<QTabWidget *> pageControls;
    QSet<const QObject *> pageChildren;
    for (QObject *component : components) {
        if (auto *tabs = qobject_cast<QTabWidget *>(component)) {
            pageControls.append(tabs);
            for (int page = 0; page < tabs->count(); ++page) {
                for (QWidget *child : childWidgets(tabs->widget(page)))
                    pageChildren.insert(child);
            }
        }
    }

    // The three passes over a list of objects; exclude tells which of them are
    // served elsewhere and get no key here.
    const auto serve = [&](const auto &objects, const auto &exclude) {
        const auto insertKey = [&](QObject *object) {
            if (object->isWidgetType() && !exclude(object))
                InsertKey(static_cast<QWidget *>(object), spareKeys, usedKeys);
        };
        for (QObject *object : objects) {
            if (isPushButton(object))
                insertKey(object);
        }
        for (QObject *object : objects) {
            if (isLeadingLabel(object))
                insertKey(object);
        }
        for (QObject *object : objects) {
            if (isSkippedByLastPass(object))
                continue;
            if (dvt::IsOwner(object))
                Refresh(object);
            else
                insertKey(object);
        }
    };

    serve(components, [&](const QObject *object) { return pageChildren.contains(object); });
    if (pageChildren.isEmpty())
        return;
    const QString formSpareKeys = spareKeys;
    const QString formUsedKeys = usedKeys;
    for (QTabWidget *tabs : pageControls) {
        for (int page = 0; page < tabs->count(); ++page) {
            spareKeys = formSpareKeys;
            usedKeys = formUsedKeys;
            serve(childWidgets(tabs->widget(page)), [](const QObject *) { return false; });
        }
    }
}

void TdvShortCut::InsertKey(QWidget *control, QString &spareKeys, QString &usedKeys)
{
    const std::optional<QString> text = caption(control);
    if (!text || dvt::Trim(*text).isEmpty())
        return;
    QString result = withoutMarkers(*text);

    qsizetype position = -1;
    QChar key;
    for (qsizetype i = 0; i < result.size(); ++i) {
        if (!usedKeys.contains(result.at(i))) {
            position = i;
            key = result.at(i);
            break;
        }
    }
    if (key.isNull()) {
        for (qsizetype i = 0; i < spareKeys.size(); ++i) {
            if (!usedKeys.contains(spareKeys.at(i))) {
                key = spareKeys.at(i);
                spareKeys.remove(i, 1);
                break;
            }
        }
    }
    if (!key.isNull()) {
        usedKeys += asciiLower(key);
        usedKeys += dvt::UpperCase(QString(key));
        if (position >= 0)
            result.insert(position, u'&');
        else
            result += QStringLiteral(" (&") + key + u')';
    }
    setCaption(control, result);
}
