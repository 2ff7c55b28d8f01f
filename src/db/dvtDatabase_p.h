#pragma once

// Internal: the session of a connection, for the library's readers in higher
// layers that run a cursor of their own (the grid reads its result in pages).

#include "dvtDatabase.h"

namespace dvt {

// The open session of the connection, connecting on demand; nullptr, with the
// reason in the connection's LastError, when it cannot be made.
fb::Session *OpenSession(TDatabase &database);

} // namespace dvt
