#pragma once
// The program's own artwork, compiled in from assets/pictures (resource prefix "/pictures").
#include <QIcon>
#include <QString>

namespace mv::gui {

// The fifteen mark pictures of message rows and rule rows, by `MarkState` index 0 to 14; a null
// icon for -1 (no mark) and anything out of range.
QIcon markIcon(int index);

// The button pictures by role.
enum class ButtonPicture { Check, Question, Stop, Bye, Up, Down, Door, Hammer };
QIcon buttonIcon(ButtonPicture picture);

// The program icon; the two frames of the automatic mode's tray animation (1 and 2).
QIcon programIcon();
QIcon trayFrame(int frame);

// The resource path of a picture file, e.g. ":/pictures/splash-1.svg" for "splash-1.svg".
QString picturePath(const QString& file);

} // namespace mv::gui
