#include "gui/widgets/Pictures.h"

namespace mv::gui {

QString picturePath(const QString& file) { return QStringLiteral(":/pictures/") + file; }

QIcon markIcon(int index) {
    if (index < 0 || index > 14) return {};
    return QIcon(picturePath(QStringLiteral("marks/mark-%1.svg").arg(index)));
}

QIcon buttonIcon(ButtonPicture picture) {
    static const char* const names[] = {"check", "question", "stop", "bye",
                                        "up",    "down",     "door", "hammer"};
    return QIcon(picturePath(QStringLiteral("buttons/%1.svg").arg(names[int(picture)])));
}

QIcon programIcon() { return QIcon(picturePath(QStringLiteral("icon.svg"))); }

QIcon trayFrame(int frame) {
    return QIcon(picturePath(QStringLiteral("tray/frame-%1.svg").arg(frame)));
}

} // namespace mv::gui
