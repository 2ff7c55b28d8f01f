#pragma once

// Internal: the embedded engine's private configuration.

#include <QString>

namespace dvt::fb {

class Status;

// Points the engine at a configuration in which several processes can share a
// database file (SuperClassic server mode), unless the environment names one
// (FIREBIRD). The configuration lives in a folder only this account can write:
// $XDG_RUNTIME_DIR/dvtools-firebird, else dvtools-firebird in the per-user data
// folder. The lock folder, which every process that opens a file must share,
// is ~/.local/state/dvtools-firebird-lock of the account's home folder (as the
// account database names it, whatever HOME says), unless FIREBIRD_LOCK names
// one.
//
// Runs before every attachment. The engine reads its settings and loads its
// libraries from there, so anything another account could have planted or
// changed is refused: answers false, with the reason in status, and no
// connection may then be made.
bool PrepareEngineConfiguration(Status &status);

// With the account's own lock folder, only the account's own processes can
// coordinate over a file; another account's file is refused (answers false,
// with the reason in status) instead of being opened by two lock tables that
// do not know of each other. A missing file (about to be made) passes.
bool MayShareEmbeddedFile(const QString &path, Status &status);

} // namespace dvt::fb
