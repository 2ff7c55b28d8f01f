#pragma once

#include <QString>

namespace dvt {

// The per-user folder where the library keeps its files (kept values, the
// calculator's tape, the temporary folder, the default database): the generic
// data location of the user followed by "dvTools/", with its trailing "/".
// It is created, with its parents, when missing.
QString UserFolder();

} // namespace dvt
