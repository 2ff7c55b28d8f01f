#pragma once

#include <QPointer>
#include <QString>

#include "dvEdit.h"

class TdvQuery;
class TdvSelectionForm;

// The edit for a foreign-key code: the user types a numeric code, the control
// looks it up in a code table and shows the code followed by its descriptions,
// "12 Acme | Boston" for code 12 with the description columns NAME and CITY.
// The code is always the first blank-separated item of the text.
//
// - Look-ups (Valid, ReDrawText) run
//     select KeyDescription from KeyTable where KeyField=code
//   and, when that finds nothing, the same with the code in double quotes, for
//   code columns of a text type. A database error counts as a code that does
//   not exist and shows nothing.
// - Enter and leaving the field redraw the text: a known code shows its
//   descriptions; an unknown one (or no number, read as 0) empties the field
//   when NotNull is set (the default) and is left trimmed otherwise. Opening
//   the pick list is not leaving the field.
// - A trigger character (Trigger, "?") or a plain right click opens the pick
//   list (TdvSelectionForm) modally, once the key or click has been handled:
//   the rows that satisfy KeyWhere when it is set; otherwise the rows whose
//   description columns contain the typed text (the database's case-insensitive
//   "containing"; the text is a literal of dvSQL.h, so it never changes the
//   statement's shape), or every row when none does; sorted by KeyOrder when
//   set. The chosen row's code and descriptions replace the text; Esc in the
//   list leaves it as it was.
// - The text is drawn as every edit's is, with a one-pixel red outline at the
//   control's edge.
//
// The record routines store KeyText(), bare; loading a record puts the column's
// text into the field and redraws it; clearing a record only redraws it (the
// code stays). The command button's validation does not test key edits.
//
// Key is the USER property (the code as a number) with keyChanged(), emitted
// when the code in the text changes, not when descriptions are added.
// Misuse (a look-up with no KeyTable, KeyField or KeyDescription) is a warning
// on "dvtools.forms"; nothing is sent.
class TdvKey : public TdvEdit
{
    Q_OBJECT
    Q_PROPERTY(QString KeyTable READ KeyTable WRITE setKeyTable)
    Q_PROPERTY(QString KeyField READ KeyField WRITE setKeyField)
    Q_PROPERTY(QString KeyDescription READ KeyDescription WRITE setKeyDescription)
    Q_PROPERTY(QString KeyOrder READ KeyOrder WRITE setKeyOrder)
    Q_PROPERTY(QString KeyWhere READ KeyWhere WRITE setKeyWhere)
    Q_PROPERTY(QString Trigger READ Trigger WRITE setTrigger)
    Q_PROPERTY(
        int Key READ Key WRITE SetKey NOTIFY keyChanged USER true DESIGNABLE false STORED false)

public:
    // 240 pixels wide, NotNull set, Trigger "?".
    explicit TdvKey(QWidget *parent = nullptr);
    // Closes the pick list when it is open.
    ~TdvKey() override;

    // The code table and its code column.
    const QString &KeyTable() const { return m_keyTable; }
    void SetKeyTable(const QString &table) { m_keyTable = table; }
    const QString &KeyField() const { return m_keyField; }
    void SetKeyField(const QString &field) { m_keyField = field; }
    // The description column, or several separated by ",".
    const QString &KeyDescription() const { return m_keyDescription; }
    void SetKeyDescription(const QString &columns) { m_keyDescription = columns; }
    // The pick list's ORDER BY text, without the words "order by"; optional.
    const QString &KeyOrder() const { return m_keyOrder; }
    void SetKeyOrder(const QString &order) { m_keyOrder = order; }
    // The pick list's condition, without the word "where"; when set it replaces
    // the narrowing by the typed text.
    const QString &KeyWhere() const { return m_keyWhere; }
    void SetKeyWhere(const QString &condition) { m_keyWhere = condition; }
    // The characters that open the pick list; empty for none.
    const QString &Trigger() const { return m_trigger; }
    void SetTrigger(const QString &trigger) { m_trigger = trigger; }

    // The setters Qt Designer and uic call.
    DVT_QT_SETTER(KeyTable, const QString &)
    DVT_QT_SETTER(KeyField, const QString &)
    DVT_QT_SETTER(KeyDescription, const QString &)
    DVT_QT_SETTER(KeyOrder, const QString &)
    DVT_QT_SETTER(KeyWhere, const QString &)
    DVT_QT_SETTER(Trigger, const QString &)

    // The code as a statement needs it: the first blank-separated item of the
    // trimmed text, read with dvStrToInt (0 when it is no number), in decimal:
    // "007 Bond" gives "7".
    QString KeyText() const;

    // The code as a number (KeyText()), and its setter, which shows the code and
    // redraws the text.
    int Key() const;
    void SetKey(int code);

    // True when the code exists in the code table and the text is not blank.
    // Neither NotNull nor OnValidation is consulted.
    bool Valid() const override;

    // Looks the code up and shows it with its descriptions, trimmed and joined
    // by " | "; a code that does not exist empties the text when NotNull is set,
    // else leaves it trimmed.
    void ReDrawText();

    // Opens the pick list modally and returns when it is closed; the chosen
    // code is shown and redrawn.
    void CallSelection();

    // The contract: valid is Valid(); the literal is KeyText(), bare; a loaded
    // text is shown and redrawn; clearing redraws only.
    bool isValid() const override { return Valid(); }
    std::optional<QString> sqlLiteral(const QString &table) const override;
    void loadText(const QString &text) override;
    void clearValue() override;

Q_SIGNALS:
    // The code in the text (Key()) changed: typed, chosen, set, loaded or erased.
    void keyChanged(int code);

protected:
    void KeyDown(quint16 &key, dvt::TShiftState shift) override;
    void KeyPress(QChar &key) override;
    void BeforeExit() override;
    bool OpenPopup() override;
    void paintEvent(QPaintEvent *event) override;

private:
    // Whether the three names a look-up needs are set (warns when not) and the
    // control is not in a form designer, which never reaches a database.
    bool CanLookUp() const;
    // Runs the look-up of the code; when it answers true the query is open on
    // the descriptions, and the caller closes it.
    bool LookUp() const;
    // The pick list's statement: codes and descriptions, narrowed.
    QString SelectionStatement() const;
    // The typed text as a condition on the description columns; empty when
    // there are no rows it finds (or no description column).
    QString TypedTextCondition() const;

    QString m_keyTable;
    QString m_keyField;
    QString m_keyDescription;
    QString m_keyOrder;
    QString m_keyWhere;
    QString m_trigger;
    TdvQuery *m_query;
    QPointer<TdvSelectionForm> m_selection; // while the pick list is open
};
