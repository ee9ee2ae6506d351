#pragma once
// Every file and folder dialog of the desktop program goes through here. In test mode nothing is
// shown: each dialog returns the next name a test queued (empty, as on Cancel, when none is).
#include <QString>

class QWidget;

namespace mv::gui {

class FileDialog {
public:
    // `filter` in Qt's form, e.g. "Log files (*.txt);;All files (*)". Empty on Cancel.
    static QString openFileName(QWidget* parent, const QString& caption, const QString& start,
                                const QString& filter);
    // `selectedFilter`, when given, receives the filter left chosen, for callers that write the
    // format it names.
    static QString saveFileName(QWidget* parent, const QString& caption, const QString& start,
                                const QString& filter, QString* selectedFilter = nullptr);
    static QString existingFolder(QWidget* parent, const QString& caption, const QString& start);

    // --- Tests ---
    static void setTestMode(bool on);
    // `filter` is what a save dialog then reports as chosen; empty stands for the first offered.
    static void queueFileName(const QString& name, const QString& filter = {});
};

} // namespace mv::gui
