// The file name held by a file name edit with a browse button, as opposed to
// the text shown in it: a chosen name with blanks is shown in double
// quotation marks, while the value the program uses has none.
#pragma once

#include <QString>

namespace przenosnik {

// The value of the edit's text: the text itself when it names an existing
// file; the text with a path separator appended when it names an existing
// directory; otherwise the inside of a leading double-quoted part, or the
// part before the first blank. Names are found in any letter case on disk.
QString fileNameValue(const QString& text);

// The text that shows a file name: in double quotation marks when it holds a
// blank, as it stands otherwise.
QString fileNameText(const QString& fileName);

} // namespace przenosnik
