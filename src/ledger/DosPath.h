// Paths that come from the DOS ledger program (its company list, a company's
// directory name) name files in whatever letter case DOS felt like; on a
// case-sensitive file system they are found here in the case they have on disk.
#pragma once

#include <QString>

namespace przenosnik {

// The path as it exists on disk: each component that does not exist as
// written is matched without regard to letter case against the entries of
// its directory (the exact name wins; among several case variants the first
// by name). A path that cannot be found this way is returned unchanged, and
// so is every path on a system whose file names ignore case.
// A trailing separator is kept.
QString resolvePathCase(const QString& path);

} // namespace przenosnik
