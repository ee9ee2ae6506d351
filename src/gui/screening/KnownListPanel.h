#pragma once
// The "BlackList" page: known.lst as plain text, read-only and grey until "&Edit", saved with
// "&Save" (the list rebuilt while "Re-building list ... stand by" shows) or dropped with "Cancel";
// the count of lines above "Spammers" and the switch that compares senders with the list. Built
// for lists of many thousand lines: the text goes into the view in one piece. Lives as long as
// the settings window; the page's logic is the KnownListPage it is given.
#include "screening/KnownListPage.h"

#include <QWidget>
#include <filesystem>

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace mv::gui {

class KnownListPanel : public QWidget {
    Q_OBJECT
public:
    // `lockFile`: the home lock, held while the list is saved.
    KnownListPanel(KnownListPage& page, std::filesystem::path lockFile, QWidget* parent = nullptr);

    QCheckBox* monitorBox() const { return m_monitor; }
    QPlainTextEdit* view() const { return m_view; }

    // Shows the file again (the window's show and the list's Cancel); false after telling the
    // user that it could not be read.
    bool reload();
    void beginEdit();
    // "&Save": false after telling the user why the file could not be written; the edit then
    // stays pending, the text as typed.
    bool saveEdit();
    void cancelEdit();
    // Hands the typed text to the page while an edit is pending (before the window's OK).
    void takeText();

signals:
    void countChanged(const QString& count);

private:
    void showLines();
    void setEditing(bool on);

    KnownListPage& m_page;
    std::filesystem::path m_lockFile;
    QPlainTextEdit* m_view;
    QPushButton* m_edit;
    QPushButton* m_save;
    QPushButton* m_cancel;
    QLabel* m_count;
    QLabel* m_panel;
    QCheckBox* m_monitor;
};

} // namespace mv::gui
