#include "dvKey.h"

#include <QLoggingCategory>
#include <QPainter>

#include "dvGrid.h"
#include "dvQuery.h"
#include "dvSQL.h"
#include "dvSelectionForm.h"
#include "dvStrings.h"
#include "dvtFormat.h"
#include "dvtLogging.h"

using namespace Qt::StringLiterals;

TdvKey::TdvKey(QWidget *parent) : TdvEdit(parent), m_trigger(u"?"_s), m_query(new TdvQuery(this))
{
    resize(240, height());
    SetNotNull(true);
    NotifyValueChanges(&TdvKey::Key, &TdvKey::keyChanged);
}

TdvKey::~TdvKey()
{
    // While this control is whole: closing the list moves the focus, which the
    // edit follows.
    delete m_selection;
}

QString TdvKey::KeyText() const
{
    return QString::number(Key());
}

int TdvKey::Key() const
{
    return dvStrToInt(dvStringItem(dvt::Trim(text()), 1, u' '));
}

void TdvKey::SetKey(int code)
{
    setText(QString::number(code));
    ReDrawText();
}

bool TdvKey::LookUp() const
{
    if (dvt::Trim(text()).isEmpty() || !CanLookUp())
        return false;
    // A code column of a text type is compared with the code as a text.
    const QString select = u"select "_s + m_keyDescription + u" from "_s + m_keyTable + u" where "_s
                           + m_keyField + u'=';
    const QString code = KeyText();
    return m_query->Select(select + code) || m_query->Select(select + dvSQLString(code));
}

bool TdvKey::Valid() const
{
    const bool found = LookUp();
    m_query->Close();
    return found;
}

void TdvKey::ReDrawText()
{
    if (LookUp()) {
        QString shown = KeyText();
        for (int field = 0; field < m_query->FieldCount(); ++field)
            shown += (field == 0 ? u" "_s : u" | "_s) + dvt::Trim(m_query->AsString(field));
        // The result holds a read transaction until it is closed.
        m_query->Close();
        setText(shown);
    } else if (NotNull()) {
        clear();
    } else {
        setText(dvt::Trim(text()));
    }
}

void TdvKey::CallSelection()
{
    if (!CanLookUp())
        return;
    const QString name = objectName();
    m_selection = new TdvSelectionForm(this);
    m_selection->setWindowTitle(u"Select "_s + name.left(1).toUpper() + name.mid(1).toLower()
                                + u':');
    m_selection->Grid()->SetSelect(SelectionStatement());
    m_selection->Grid()->Load();
    connect(m_selection, &TdvSelectionForm::codeChosen, this, [this](const QString &code) {
        setText(code);
        ReDrawText();
    });

    const QPointer<TdvKey> self(this);
    m_selection->exec();
    // Destroyed while the list was open: the list went with it.
    if (!self)
        return;
    delete m_selection;
    // Back to the field, as a window manager would do.
    if (window()->isVisible()) {
        window()->activateWindow();
        setFocus(Qt::ActiveWindowFocusReason);
    }
}

QString TdvKey::SelectionStatement() const
{
    QString statement =
        u"select "_s + m_keyField + u',' + m_keyDescription + u" from "_s + m_keyTable;
    const QString condition = m_keyWhere.isEmpty() ? TypedTextCondition() : m_keyWhere;
    if (!condition.isEmpty())
        statement += u" where "_s + condition;
    if (!m_keyOrder.isEmpty())
        statement += u" order by "_s + m_keyOrder;
    return statement;
}

QString TdvKey::TypedTextCondition() const
{
    const QString typed = dvSQLString(dvt::Trim(text()));
    QStringList terms;
    for (int item = 1;; ++item) {
        const QString column = dvt::Trim(dvStringItem(m_keyDescription, item, u','));
        if (column.isEmpty())
            break;
        terms << column + u" containing "_s + typed;
    }
    if (terms.isEmpty())
        return {};
    const QString condition = terms.join(u" or "_s);
    const bool found =
        m_query->Select(QStringList{u"select count("_s + m_keyField + u") as num"_s,
                                    u"from "_s + m_keyTable, u"where "_s + condition})
        && m_query->GetFieldValue(u"num"_s).toInt() > 0;
    m_query->Close();
    return found ? condition : QString();
}

bool TdvKey::CanLookUp() const
{
    if (dvt::IsDesigning(this))
        return false;
    if (!m_keyTable.isEmpty() && !m_keyField.isEmpty() && !m_keyDescription.isEmpty())
        return true;
    qCWarning(dvt::lcForms).noquote()
        << dvt::Describe(this) << "needs KeyTable, KeyField and KeyDescription to look a code up";
    return false;
}

std::optional<QString> TdvKey::sqlLiteral(const QString &) const
{
    return KeyText();
}

void TdvKey::loadText(const QString &text)
{
    setText(text);
    ReDrawText();
}

void TdvKey::clearValue()
{
    ReDrawText();
}

void TdvKey::KeyDown(quint16 &key, dvt::TShiftState shift)
{
    if (key == dvt::vk::Return)
        ReDrawText();
    TdvEdit::KeyDown(key, shift);
}

void TdvKey::KeyPress(QChar &key)
{
    HandleTrigger(key, m_trigger);
    TdvEdit::KeyPress(key);
}

void TdvKey::BeforeExit()
{
    TdvEdit::BeforeExit();
    // The pick list is not leaving the field: what was typed stays until the
    // user chooses, presses Enter or leaves.
    if (!m_selection)
        ReDrawText();
}

bool TdvKey::OpenPopup()
{
    // After the key or click that asked for it has been handled: the list's
    // event loop then never runs inside this control's own event handling.
    QMetaObject::invokeMethod(this, &TdvKey::CallSelection, Qt::QueuedConnection);
    return true;
}

void TdvKey::paintEvent(QPaintEvent *event)
{
    TdvEdit::paintEvent(event);
    QPainter painter(this);
    painter.setPen(QPen(QColor(255, 0, 0), 1));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
