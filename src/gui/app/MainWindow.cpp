#include "gui/app/MainWindow.h"

#include "gui/app/MessageListModel.h"
#include "gui/widgets/Pictures.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QStatusBar>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>

namespace mv::gui {

namespace {

constexpr int kBandHeight = 81;
constexpr QSize kButtonSize(45, 41);
constexpr QSize kButtonPicture(32, 32);
const char* const kListHint = "Right click for more options, double click to mark";
const char* const kSlogan = "Junk mail stays on the server: screened before your mail program "
                            "downloads a byte.";

// The explorer-style picture: `normal` under the mouse, `unfocused` otherwise.
QIcon hoverIcon(ButtonPicture normal, ButtonPicture unfocused) {
    QIcon icon;
    icon.addPixmap(buttonIcon(unfocused).pixmap(kButtonPicture), QIcon::Normal);
    icon.addPixmap(buttonIcon(normal).pixmap(kButtonPicture), QIcon::Active);
    return icon;
}

} // namespace

// The status line: a text wider than its panel is cut short with "..." and shown whole as the
// tooltip, so a long server answer never widens the window.
class StatusLabel final : public QLabel {
public:
    explicit StatusLabel(QWidget* parent) : QLabel(parent) {
        setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    }
    void setWholeText(const QString& text) {
        m_whole = text;
        setToolTip(text);
        fit();
    }
    const QString& wholeText() const { return m_whole; }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QLabel::resizeEvent(event);
        fit();
    }

private:
    void fit() { setText(fontMetrics().elidedText(m_whole, Qt::ElideRight, contentsRect().width())); }

    QString m_whole;
};

TfrmMain::TfrmMain(MessageListModel& model, QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("TfrmMain"));
    setWindowTitle(QStringLiteral("Mailvane"));
    setWindowIcon(programIcon());
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(makeBand());
    makeList(model);
    layout->addWidget(m_list, 1);
    setCentralWidget(central);
    m_popup = makeOptionsPanel();
    makeListMenu();

    auto* bar = new QStatusBar(this);
    bar->setObjectName(QStringLiteral("StatusBar1"));
    auto* hint = new QLabel(QString::fromLatin1(kListHint), bar);
    hint->setFixedWidth(300);
    m_status = new StatusLabel(bar);
    m_status->setObjectName(QStringLiteral("lblStatus"));
    bar->addWidget(hint);
    bar->addWidget(m_status, 1);
    setStatusBar(bar);

    resize(kWidth, kHeight);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

QWidget* TfrmMain::makeBand() {
    auto* band = new QFrame(this);
    band->setObjectName(QStringLiteral("band"));
    band->setFixedHeight(kBandHeight);
    band->setFrameShape(QFrame::NoFrame);
    band->setAutoFillBackground(true);
    auto* rows = new QVBoxLayout(band);
    rows->setContentsMargins(8, 0, 8, 4);
    rows->setSpacing(0);

    // The thin line along the top keeps the window's width as it is resized.
    auto* line = new QFrame(band);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    rows->addWidget(line);

    auto* titleRow = new QHBoxLayout;
    m_title = new QLabel(QStringLiteral("Mailvane"), band);
    m_title->setObjectName(QStringLiteral("lblTitle"));
    QFont titleFont = m_title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
    titleFont.setBold(true);
    m_title->setFont(titleFont);
    m_trademark = new QLabel(QStringLiteral("TM"), band);
    m_trademark->setObjectName(QStringLiteral("Label1"));
    QFont small = m_trademark->font();
    small.setPointSizeF(small.pointSizeF() * 0.7);
    m_trademark->setFont(small);
    m_trademark->setAlignment(Qt::AlignTop);
    titleRow->addWidget(m_title);
    titleRow->addWidget(m_trademark);
    titleRow->addStretch(1);
    rows->addLayout(titleRow);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(2);
    m_btList = addButton("btList", QStringLiteral("Check e-mail"), &TfrmMain::checkClicked);
    m_btOptions =
        addButton("btOptions", QStringLiteral("Settings and more"), &TfrmMain::showOptionsPanel);
    m_listButtons = {
        addButton("btMark", QStringLiteral("Mark messages"), &TfrmMain::markClicked),
        addButton("btDelete", QStringLiteral("Delete marked messages"), &TfrmMain::deleteClicked),
        addButton("btRemark", QStringLiteral("Auto-mark messages"), &TfrmMain::remarkClicked),
        addButton("btResetAll", QStringLiteral("Reset all marks"), &TfrmMain::resetClicked),
        addButton("btLaunch", QStringLiteral("Launch e-mail program"), &TfrmMain::launchClicked),
    };
    // Marking, deleting, re-marking, un-marking and the mail program, each its own picture.
    m_btOptions->setIcon(buttonIcon(ButtonPicture::Hammer));
    m_listButtons[0]->setIcon(buttonIcon(ButtonPicture::Check));
    m_listButtons[1]->setIcon(buttonIcon(ButtonPicture::Stop));
    m_listButtons[2]->setIcon(buttonIcon(ButtonPicture::Question));
    m_listButtons[3]->setIcon(
        buttonIcon(ButtonPicture::Check).pixmap(kButtonPicture, QIcon::Disabled));
    m_listButtons[4]->setIcon(buttonIcon(ButtonPicture::Down));
    m_btExit = addButton("btExit", QStringLiteral("Goodbye"), &TfrmMain::exitClicked);
    m_slogan = new QLabel(QString::fromLatin1(kSlogan), band);
    m_slogan->setObjectName(QStringLiteral("lblAd"));
    m_slogan->setWordWrap(true);

    buttons->addWidget(m_btList);
    buttons->addWidget(m_btOptions);
    for (QToolButton* button : m_listButtons)
        buttons->addWidget(button);
    buttons->addWidget(m_slogan, 1);
    buttons->addStretch(0);
    buttons->addWidget(m_btExit);
    rows->addLayout(buttons);

    setButtons({true, false});
    setExitCaption(QStringLiteral("Goodbye"));
    setCheckPicture(false);
    return band;
}

QToolButton* TfrmMain::addButton(const char* name, const QString& hint,
                                 void (TfrmMain::*clicked)()) {
    auto* button = new QToolButton(this);
    button->setObjectName(QString::fromLatin1(name));
    button->setFixedSize(kButtonSize);
    button->setIconSize(kButtonPicture);
    button->setAutoRaise(true);
    button->setToolTip(hint);
    button->setAccessibleName(hint);
    button->setFocusPolicy(Qt::TabFocus);
    connect(button, &QToolButton::clicked, this, clicked);
    return button;
}

QFrame* TfrmMain::makeOptionsPanel() {
    auto* panel = new QFrame(this, Qt::Popup);
    panel->setObjectName(QStringLiteral("popup1"));
    panel->setFrameShape(QFrame::StyledPanel);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(2);
    struct Item {
        const char* name;
        const char* caption;
        QIcon picture;
        void (TfrmMain::*clicked)();
    };
    const Item items[] = {
        {"btGeneral", "General settings", buttonIcon(ButtonPicture::Hammer),
         &TfrmMain::generalClicked},
        {"btSpamSetup", "Spam settings", buttonIcon(ButtonPicture::Check), &TfrmMain::spamClicked},
        {"btStats", "Stats", buttonIcon(ButtonPicture::Up), &TfrmMain::statsClicked},
        {"btAbout", "About", programIcon(), &TfrmMain::aboutClicked},
        {"btHelp", "Help", buttonIcon(ButtonPicture::Question), &TfrmMain::helpClicked},
    };
    for (const Item& item : items) {
        auto* button = new QToolButton(panel);
        button->setObjectName(QString::fromLatin1(item.name));
        button->setText(QString::fromLatin1(item.caption));
        button->setAccessibleName(button->text());
        button->setIcon(item.picture);
        button->setIconSize(QSize(24, 24));
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setAutoRaise(true);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        // The panel goes away first, so a window the command opens is not covered by it.
        connect(button, &QToolButton::clicked, panel, &QWidget::hide);
        connect(button, &QToolButton::clicked, this, item.clicked);
        layout->addWidget(button);
    }
    return panel;
}

void TfrmMain::makeList(MessageListModel& model) {
    m_list = new QTreeView(this);
    m_list->setObjectName(QStringLiteral("ListView1"));
    m_list->setModel(&model);
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true); // thousands of rows stay cheap to lay out
    m_list->setAllColumnsShowFocus(true);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    m_list->header()->setSectionsClickable(false);
    m_list->header()->setSectionsMovable(false);
    const int widths[] = {220, 200, 60, 130};
    for (int column = 0; column < MessageListModel::ColumnCount; ++column)
        m_list->setColumnWidth(column, widths[column]);
    m_list->viewport()->installEventFilter(this);
    m_list->installEventFilter(this);
    connect(m_list, &QTreeView::doubleClicked, this, &TfrmMain::markClicked);
    connect(m_list, &QTreeView::customContextMenuRequested, this,
            [this](const QPoint& at) { m_listMenu->popup(m_list->viewport()->mapToGlobal(at)); });
}

void TfrmMain::makeListMenu() {
    m_listMenu = new QMenu(this);
    m_listMenu->setObjectName(QStringLiteral("PopupMenu1"));
    auto add = [this](const char* name, const char* text, void (TfrmMain::*signal)()) {
        QAction* action = m_listMenu->addAction(QString::fromLatin1(text));
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, signal);
    };
    add("Why1", "Why was this e-mail marked?", &TfrmMain::whyClicked);
    m_listMenu->addSeparator();
    add("AddtoExceptions1", "Add selected sender(s) to exceptions list",
        &TfrmMain::addExceptionsClicked);
    add("AddtoSPAMlist1", "Add selected message(s) to spam list", &TfrmMain::addSpamClicked);
    m_listMenu->addSeparator();
    add("ViewHeader1", "View selected message(s) headers", &TfrmMain::viewHeadersClicked);
    add("ViewMessages1", "View body of one message", &TfrmMain::viewBodyClicked);
}

void TfrmMain::setCaption(const QString& caption) {
    setWindowTitle(caption);
    m_title->setText(caption);
}

void TfrmMain::setStatus(const QString& text) {
    m_status->setWholeText(text);
}

QString TfrmMain::status() const {
    return m_status->wholeText();
}

void TfrmMain::setButtons(const ButtonStates& states) {
    // The focus would pass from the disabled buttons to the next one, "Goodbye", where a Space or
    // Enter meant for the list ends the program.
    if (!states.checkEnabled) m_list->setFocus();
    m_btList->setEnabled(states.checkEnabled);
    m_btOptions->setEnabled(states.checkEnabled);
    for (QToolButton* button : m_listButtons)
        button->setVisible(states.listButtonsShown);
    m_slogan->setVisible(!states.listButtonsShown);
}

void TfrmMain::setExitCaption(const QString& caption) {
    m_btExit->setToolTip(caption);
    m_btExit->setAccessibleName(caption);
    bool cancel = caption == QStringLiteral("Cancel");
    m_btExit->setIcon(cancel ? buttonIcon(ButtonPicture::Stop)
                             : hoverIcon(ButtonPicture::Bye, ButtonPicture::Door));
}

void TfrmMain::setCheckPicture(bool listHasRows) {
    m_btList->setIcon(buttonIcon(listHasRows ? ButtonPicture::Up : ButtonPicture::Down));
}

void TfrmMain::hideTrademark() {
    m_trademark->hide();
}

void TfrmMain::showOptionsPanel() {
    m_popup->adjustSize();
    m_popup->move(m_btOptions->mapToGlobal(QPoint(0, m_btOptions->height())));
    m_popup->show();
}

QWidget* TfrmMain::optionsPanel() const {
    return m_popup;
}

QMenu* TfrmMain::listMenu() const {
    return m_listMenu;
}

std::vector<int> TfrmMain::selectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : m_list->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void TfrmMain::closeEvent(QCloseEvent* event) {
    // The program ends the session and the application itself, after any running check.
    event->ignore();
    emit closeRequested();
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == m_list->viewport() && event->type() == QEvent::MouseButtonPress) ||
        (watched == m_list && event->type() == QEvent::KeyRelease))
        emit listTouched();
    return QMainWindow::eventFilter(watched, event);
}

} // namespace mv::gui
