#pragma once

#include <QObject>
#include <QString>

#include <optional>

namespace dvt {

// The contract every data-entry control of the library implements. It is
// reachable from any QObject* with qobject_cast, so code that handles a form's
// controls without knowing their classes (the record routines, the command
// button's validation, an application's own loops) gets each control's own
// answer:
//
//   for (QObject *component : dvt::Components(form))
//       if (auto *control = qobject_cast<dvt::DataControl *>(component))
//           control->clearValue();
//
// No operation of the contract raises.
class DataControl
{
public:
    virtual ~DataControl() = default;

    // Whether the content is acceptable. For the edits this is the verdict the
    // command button's validation gives: a typed edit's own Valid() and then the
    // common test of the edit (NotNull, then OnValidation), both run; the memo
    // answers its Valid(); controls that cannot hold a wrong value answer true.
    virtual bool isValid() const = 0;

    // The literal that stands for the value in a statement of the record
    // routines, in the forms of dvSQL.h (dvRecords.h lists them per control);
    // std::nullopt for a control that has no column value (a radio button, a
    // check list box). table names the table written, for a combo box, whose
    // literal depends on the type of its column.
    virtual std::optional<QString> sqlLiteral(const QString &table) const = 0;

    // Takes a value read from a result column as text, as dvLoadRecord hands it
    // on (dvRecords.h lists how each control reads it).
    virtual void loadText(const QString &text) = 0;

    // Empties the control for the next entry (dvClearRecord).
    virtual void clearValue() = 0;

    // The value in the form the kept-values file holds it: the text of an edit,
    // "Yes" or "No" for a check box or radio button, the chosen position of a
    // combo box, the whole text of a memo, the checked rows of a check list box
    // ("0,2"); and the restoring of such a text.
    virtual QString keptValue() const = 0;
    virtual void restoreKeptValue(const QString &text) = 0;
};

} // namespace dvt

Q_DECLARE_INTERFACE(dvt::DataControl, "org.dvtools.DataControl/1.0")
