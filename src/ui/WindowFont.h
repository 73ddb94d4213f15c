// The windows' font: the nearest installed sans-serif to the 8-point
// "MS Sans Serif" the layout was designed for.
#pragma once

#include <QFont>

namespace przenosnik {

// A face with the metrics of the designed one when such a face is installed,
// otherwise the default sans-serif; narrowed where needed so that the captions
// fit between the controls at their designed positions.
QFont windowFont();

// The stretch (percent) at which the tight captions of the main window fit in
// the given font; 100 when they fit as they are.
int fittingStretch(const QFont& font);

} // namespace przenosnik
