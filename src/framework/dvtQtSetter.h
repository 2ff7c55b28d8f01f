#pragma once

// Declares set<Name>(value), the Qt-style setter of the published property Name,
// which forwards to the library's own Set<Name>(). Name it as the property's
// WRITE function: moc then marks the property as having a standard setter, so
// Qt Designer saves it as an ordinary property and the code uic generates from a
// .ui file calls set<Name>(). (With any other WRITE name Designer saves the
// property with stdset="0" and uic falls back to QObject::setProperty(), checked
// at run time only; a .ui file written without that mark does not compile.)
// Place it in a public section of the class.
//
// A property Designer is not to store (STORED false: the value, which the text
// already stands for, and other run-time state) is DESIGNABLE false as well, so
// that Designer does not offer an edit that saving would drop.
#define DVT_QT_SETTER(Name, Type)                                                                  \
    void set##Name(Type value)                                                                     \
    {                                                                                              \
        Set##Name(value);                                                                          \
    }
