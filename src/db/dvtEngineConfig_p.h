#pragma once

// Internal: the embedded engine's private configuration.

namespace dvt::fb {

class Status;

// Points the engine at a configuration in which several processes can share a
// database file (SuperClassic server mode), unless the environment names one
// (FIREBIRD). The configuration lives in a folder only this account can write:
// $XDG_RUNTIME_DIR/dvtools-firebird, else dvtools-firebird in the per-user data
// folder; the lock folder, which every process of every account must share, is
// /tmp/dvtools-firebird-lock unless FIREBIRD_LOCK names one.
//
// Runs before every attachment. The engine reads its settings and loads its
// libraries from there, so anything another account could have planted or
// changed is refused: answers false, with the reason in status, and no
// connection may then be made.
bool PrepareEngineConfiguration(Status &status);

} // namespace dvt::fb
