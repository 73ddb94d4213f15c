#include "ui/ToolBarImages.h"

#include <QString>

// The images are compiled into the static library; its resources must be
// registered by name from outside any namespace.
static void registerImages()
{
    Q_INIT_RESOURCE(images);
}

namespace przenosnik {

namespace {
void ensureRegistered()
{
    static const bool registered = [] {
        registerImages();
        return true;
    }();
    Q_UNUSED(registered);
}
} // namespace

QIcon toolBarImage(int index)
{
    ensureRegistered();
    if (index < 0 || index >= ToolBarImageCount) {
        return QIcon();
    }
    return QIcon(QStringLiteral(":/images/%1.png").arg(index));
}

QIcon toolBarImage(ToolBarImage image)
{
    return toolBarImage(static_cast<int>(image));
}

QIcon applicationIcon()
{
    ensureRegistered();
    return QIcon(QStringLiteral(":/images/app-icon.png"));
}

} // namespace przenosnik
