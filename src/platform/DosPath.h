// Paths that come from the DOS ledger program (its company list, a company's
// directory name) name files in whatever letter case DOS felt like; on a
// case-sensitive file system they are found here in the case they have on disk.
#pragma once

#include <QString>

namespace przenosnik {

// Which entries of a directory a look-up that ignores letter case may find.
enum class EntryKinds
{
    Any,                    // files, directories, symbolic links, special files
    NoDirectories,          // all but real directories: a symbolic link counts, whatever it points to
    NoDirectoryOrLinkToOne, // files, links to files, special files and dangling links
};

// The name of the entry of the directory (empty: the current one) that equals
// name but for letter case, hidden entries included; among several case
// variants the first by name. Empty when there is none of those kinds.
QString findEntryIgnoringCase(const QString& directory, const QString& name, EntryKinds kinds);

// The path as it exists on disk: each component that does not exist as
// written is matched without regard to letter case against the entries of
// its directory (the exact name wins; among several case variants the first
// by name). A path that cannot be found this way is returned unchanged, and
// so is every path on a system whose file names ignore case.
// A trailing separator is kept.
QString resolvePathCase(const QString& path);

} // namespace przenosnik
