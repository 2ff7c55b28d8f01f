#pragma once

#include <QString>

#include "dvtDateTime.h"

// Files, the environment, waiting and the busy cursor in one-line calls. The
// routines hold no state and, except dvFileDateTime, never raise.
//
// Paths: "/" and "\" both separate folders in every path argument (a "\" is
// never taken as part of a file name), and results use "/". The case of paths is
// kept, since on a case-sensitive file system another case names another file.

// ---- File operations
// With direct true each routine makes the plain file call. With direct false it
// acts as the desktop's file manager does for a user who answers every question
// with yes: deletion moves to the trash (so it can be undone), copies and moves
// create missing target folders, replace an existing target file without asking
// and, when the target is an existing folder, put the source into it; a folder
// as source is copied or moved with its contents. No dialog is shown. Each
// routine answers whether the operation succeeded.

// direct: copies a file, replacing an existing destination file.
bool dvFileCopy(const QString &source, const QString &destination, bool direct);

// direct: moves (renames) a file or folder, also to another file system; fails
// when the destination exists.
bool dvFileMove(const QString &source, const QString &destination, bool direct);

// direct: as dvFileMove with direct true. Otherwise the new name replaces an
// existing file of that name, and no folders are created.
bool dvFileRename(const QString &oldName, const QString &newName, bool direct);

// direct: deletes a file for good (folders are refused). Otherwise moves the file
// or folder to the user's trash.
bool dvFileDelete(const QString &name, bool direct);

// ---- Queries

// The attribute bits of the Windows file systems, as far as they have a meaning
// here; masks combine them with "|".
namespace dvFileAttribute {
inline constexpr quint16 ReadOnly = 0x0001;  // the owner may not write it
inline constexpr quint16 Hidden = 0x0002;    // its name begins with "."
inline constexpr quint16 System = 0x0004;    // never set
inline constexpr quint16 VolumeId = 0x0008;  // never set
inline constexpr quint16 Directory = 0x0010; // a folder, or a link to one
inline constexpr quint16 Archive = 0x0020;   // never set
inline constexpr quint16 Normal = 0x0080;    // none of the bits above is set
inline constexpr quint16 SymLink = 0x0400;   // a symbolic link (a reparse point there)
} // namespace dvFileAttribute

// Whether the entry (file, folder or link) has every attribute bit of the mask;
// false when it does not exist. A mask of 0 answers whether it exists. Bits
// without a meaning here (System, VolumeId, Archive, and those not listed:
// temporary, compressed, encrypted ...) are never set, so a mask with any of
// them answers false.
bool dvFileHasAttribute(const QString &name, quint16 mask);

// The file's last modification time as a local date-time. The file is opened
// for reading to ask; a file that cannot be opened (missing, a folder, not
// readable) raises dvt::EConvertError, as a date-time without a valid time stamp.
dvt::TDateTime dvFileDateTime(const QString &name);

// The size in bytes of the first directory entry that matches the name, whose
// last part may hold the wildcards "*" and "?" (hidden entries match too; the
// first in name order counts); -1 when nothing matches, the empty name included.
// A folder counts 0 bytes, and a file beyond 2147483647 bytes counts 2147483647.
int dvFileSize(const QString &name);

// ---- Environment

// The computer's host name.
QString dvComputerName();

// The login name of the user the program runs as.
QString dvUserName();

// The folder of the running program, with a trailing "/", in its real case.
QString dvEXEDir();

// The file name of the running program, without its folder, in lower case.
QString dvEXEName();

// The library's temporary folder, the per-user folder (dvt::UserFolder()) followed
// by "Temp/"; it is created, with its parents, when missing.
QString dvWindowsTemp();

// A file name in dvWindowsTemp: the current local date and time as
// "yyyymmddhhnnss", ".", and the extension with every "." removed:
// dvTempFile("..log") gives ".../Temp/19991231235958.log". The file is not
// created, and two calls in the same second give the same name.
QString dvTempFile(const QString &extension);

// Starts a program, or opens a document, folder or URL with the desktop's
// preferred application, and returns without waiting; failures are not reported.
// A program (an executable file, or a name without folder found on PATH) gets
// the parameters, split at blanks with double quotes grouping words, and starts
// in the directory (the current one when empty); a document gets neither, and a
// missing document opens nothing. The parameters are passed as written: a "\"
// in them stays a "\".
void dvExecute(const QString &file, const QString &parameters, const QString &directory);

// ---- Waiting and the cursor

// Handles the application's events (at least once, also for 0 or less) until at
// least the given number of milliseconds has passed on the monotonic clock.
// Other events of the application (timers, clicks, paints) run meanwhile.
void dvDelay(int milliseconds);

// The busy (hourglass) cursor for the whole application, and back to the normal
// cursor. Repeated calls of dvHourGlass need one dvArrow only.
void dvHourGlass();
void dvArrow();
