#pragma once

#include <QObject>

namespace dvt {

namespace detail {

// The class an action handles: the pointee of its one parameter.
template<class Member>
struct ActionParameter;
template<class Lambda, class Result, class Control>
struct ActionParameter<Result (Lambda::*)(Control *) const>
{
    using type = Control;
};
template<class Action>
using ActionClass = typename ActionParameter<decltype(&Action::operator())>::type;

template<class Action>
bool ApplyIfInstance(QObject *control, const Action &action)
{
    auto *typed = qobject_cast<ActionClass<Action> *>(control);
    if (!typed)
        return false;
    action(typed);
    return true;
}

} // namespace detail

// Hands the control to the first action whose parameter's class it is an instance
// of (that class or a descendant) and answers whether one took it. The actions are
// lambdas taking one pointer each; their order is the order of the tests, so list
// the most specific classes first:
//
//   DispatchByClass(control, [](TdvDate *date) { ... }, [](QLineEdit *edit) { ... });
template<class... Actions>
bool DispatchByClass(QObject *control, const Actions &...actions)
{
    return (detail::ApplyIfInstance(control, actions) || ...);
}

} // namespace dvt
