#pragma once
// The About window: the program's name, version and licence, and the way to its help.
#include <QDialog>

namespace mv::gui {

class AboutWindow : public QDialog {
    Q_OBJECT
public:
    explicit AboutWindow(QWidget* parent = nullptr);

    static QString versionText();
};

} // namespace mv::gui
