// The tool bar's image list (16 x 16 pixels) and the program's icon.
#pragma once

#include <QIcon>

namespace przenosnik {

enum class ToolBarImage
{
    GridWithArrow = 0,
    DottedSheet = 1,
    WalkingOut = 2,
    DocumentToDisk = 3,
    FactoryWithArrows = 4,
    WasteBin = 5,
    QuestionMark = 6,
    OpenFolder = 7,
    UndoArrow = 8,
    ReportSheet = 9,
    Printer = 10,
};

constexpr int ToolBarImageCount = 11;

// The image of that position in the list.
QIcon toolBarImage(ToolBarImage image);
QIcon toolBarImage(int index);
QIcon applicationIcon();

} // namespace przenosnik
