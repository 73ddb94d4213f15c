// The export file's name as the user typed it or a file dialog put it into the
// edit, where a name with blanks stands in double quotation marks.
#pragma once

#include <QString>

namespace przenosnik {

// At most this many characters follow a leading quotation mark.
inline constexpr qsizetype MaxExportFileNameLength = 255;

// The name without its quotation marks: a leading one is dropped and what
// follows cut to MaxExportFileNameLength characters; then a trailing one is
// dropped. A name with only one of them loses only that one.
QString stripExportFileQuotes(const QString& text);

} // namespace przenosnik
