// mailvane: the desktop program.
#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("mailvane"));
    QApplication::setApplicationDisplayName(QStringLiteral("Mailvane"));
    return 0;
}
