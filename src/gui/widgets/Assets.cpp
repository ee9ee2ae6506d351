#include "gui/widgets/Assets.h"

#include <QCoreApplication>
#include <QDir>

namespace mv::gui {

QString assetPath(const QString& relative) {
    QDir share(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/mailvane"));
    return QDir::cleanPath(share.absoluteFilePath(relative));
}

} // namespace mv::gui
