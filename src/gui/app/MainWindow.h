#pragma once
// The main window "Mailvane": the top band with title, slogan and picture buttons, the drop-down
// panel of "Settings and more", the message list with its context menu, and the status bar. It only
// presents and reports: every command leaves as a signal, and the program decides what follows.
#include "app/View.h"

#include <QMainWindow>
#include <QString>
#include <vector>

class QFrame;
class QLabel;
class QMenu;
class QToolButton;
class QTreeView;

namespace mv::gui {

class MessageListModel;
class StatusLabel;

class TfrmMain final : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kWidth = 650;
    static constexpr int kHeight = 409;

    explicit TfrmMain(MessageListModel& model, QWidget* parent = nullptr);

    // --- What the program shows ---
    // The window title; the title label repeats it.
    void setCaption(const QString& caption);
    void setStatus(const QString& text);
    QString status() const;
    void setButtons(const ButtonStates& states);
    // "Cancel" gives the stop picture, any other caption the goodbye picture.
    void setExitCaption(const QString& caption);
    void setCheckPicture(bool listHasRows);
    void hideTrademark();
    // Drops the "Settings and more" panel down below its button.
    void showOptionsPanel();
    QWidget* optionsPanel() const;
    QMenu* listMenu() const;
    QTreeView* list() const { return m_list; }
    // The selected row indexes in list order.
    std::vector<int> selectedRows() const;

signals:
    void checkClicked();
    void exitClicked();
    void markClicked();
    void deleteClicked();
    void remarkClicked();
    void resetClicked();
    void launchClicked();
    void generalClicked();
    void spamClicked();
    void statsClicked();
    void aboutClicked();
    void helpClicked();
    void whyClicked();
    void addExceptionsClicked();
    void addSpamClicked();
    void viewHeadersClicked();
    void viewBodyClicked();
    // A click or released key in the list, or the title bar's close: the program decides.
    void listTouched();
    void closeRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* makeBand();
    QFrame* makeOptionsPanel();
    void makeList(MessageListModel& model);
    void makeListMenu();
    QToolButton* addButton(const char* name, const QString& hint, void (TfrmMain::*clicked)());
    QToolButton* addPanelButton(QFrame* panel, const char* name, const QString& caption,
                                void (TfrmMain::*clicked)());

    QLabel* m_title = nullptr;
    QLabel* m_trademark = nullptr;
    QLabel* m_slogan = nullptr;
    QToolButton* m_btList = nullptr;
    QToolButton* m_btOptions = nullptr;
    QToolButton* m_btExit = nullptr;
    std::vector<QToolButton*> m_listButtons; // shown only while the list has rows
    QFrame* m_popup = nullptr;
    QTreeView* m_list = nullptr;
    QMenu* m_listMenu = nullptr;
    StatusLabel* m_status = nullptr;
};

} // namespace mv::gui
