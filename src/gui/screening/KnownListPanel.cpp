#include "gui/screening/KnownListPanel.h"

#include "base/Files.h"
#include "gui/widgets/MessageBox.h"
#include "gui/widgets/Pictures.h"
#include "gui/widgets/SaveLock.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QVBoxLayout>

namespace mv::gui {
namespace {

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QPushButton* button(const QString& caption, const char* name, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

} // namespace

KnownListPanel::KnownListPanel(KnownListPage& page, std::filesystem::path lockFile, QWidget* parent)
    : QWidget(parent), m_page(page), m_lockFile(std::move(lockFile)),
      m_view(new QPlainTextEdit(this)), m_edit(button(QStringLiteral("&Edit"), "btEdit", this)),
      m_save(button(QStringLiteral("&Save"), "btSaveChanges", this)),
      m_cancel(button(QStringLiteral("Cancel"), "btCancelChanges", this)),
      m_count(new QLabel(this)), m_panel(new QLabel(qs(kRebuildingList), this)),
      m_monitor(new QCheckBox(
          QStringLiteral("Compare e-mail with this list of known spammers. Will be marked with :"),
          this)) {
    m_view->setObjectName(QStringLiteral("memo1"));
    m_view->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_count->setObjectName(QStringLiteral("lbKnownCount"));
    m_count->setAlignment(Qt::AlignCenter);
    m_panel->setObjectName(QStringLiteral("pnRebuilding"));
    m_panel->setAlignment(Qt::AlignCenter);
    m_panel->setFrameShape(QFrame::Panel);
    m_panel->setFrameShadow(QFrame::Raised);
    m_panel->setAutoFillBackground(true);
    m_panel->hide();
    m_monitor->setObjectName(QStringLiteral("cbMonitor"));

    auto* explanation = new QLabel(
        QStringLiteral("This is an editable list of the e-mail addresses and domain names of known "
                       "spammers collected from various public sources on the internet.   You may "
                       "add or delete from this list."),
        this);
    explanation->setWordWrap(true);
    auto* blackMark = new QLabel(this);
    blackMark->setPixmap(markIcon(kPictureKnownSpammer).pixmap(16, 16));

    auto* side = new QVBoxLayout;
    side->addWidget(m_count);
    side->addWidget(new QLabel(QStringLiteral("Spammers"), this), 0, Qt::AlignHCenter);
    side->addSpacing(12);
    side->addWidget(m_edit);
    side->addWidget(m_save);
    side->addWidget(m_cancel);
    side->addStretch();

    auto* main = new QGridLayout;
    main->addWidget(m_view, 0, 0);
    main->addWidget(m_panel, 0, 0, Qt::AlignCenter);
    main->addLayout(side, 0, 1);

    auto* monitorRow = new QHBoxLayout;
    monitorRow->addWidget(m_monitor);
    monitorRow->addWidget(blackMark);
    monitorRow->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(explanation);
    layout->addLayout(main, 1);
    layout->addLayout(monitorRow);

    connect(m_edit, &QPushButton::clicked, this, &KnownListPanel::beginEdit);
    connect(m_save, &QPushButton::clicked, this, &KnownListPanel::saveEdit);
    connect(m_cancel, &QPushButton::clicked, this, &KnownListPanel::cancelEdit);
    setEditing(false);
}

void KnownListPanel::setEditing(bool on) {
    m_view->setReadOnly(!on);
    QPalette palette = m_view->palette();
    palette.setColor(QPalette::Base, on ? Qt::white : palette.color(QPalette::Window));
    m_view->setPalette(palette);
    m_save->setEnabled(on);
    m_cancel->setEnabled(on);
}

void KnownListPanel::showLines() {
    const std::vector<std::string>& lines = m_page.lines();
    std::string joined;
    std::size_t size = 0;
    for (const std::string& line : lines)
        size += line.size() + 1;
    joined.reserve(size);
    for (const std::string& line : lines) {
        if (!joined.empty() || &line != &lines.front()) joined += '\n';
        joined += line;
    }
    m_view->setPlainText(QString::fromStdString(joined));
    m_count->setText(QString::fromStdString(m_page.countText()));
    const bool missing = m_page.fileMissing();
    m_panel->setText(qs(missing ? kBlacklistMissing : kRebuildingList));
    m_panel->setVisible(missing);
    m_edit->setVisible(!missing);
    m_save->setVisible(!missing);
    m_cancel->setVisible(!missing);
    emit countChanged(m_count->text());
}

bool KnownListPanel::reload() {
    try {
        m_page.load();
    } catch (const FileError& e) {
        MessageBox::error(this, QString::fromStdString(e.what()));
        return false;
    }
    setEditing(m_page.editing());
    showLines();
    return true;
}

void KnownListPanel::beginEdit() {
    m_page.beginEdit();
    if (!m_page.editing()) return;
    setEditing(true);
    m_view->setFocus();
}

void KnownListPanel::takeText() {
    if (!m_page.editing()) return;
    std::vector<std::string> lines;
    const QString text = m_view->toPlainText();
    if (!text.isEmpty()) {
        const QStringList split = text.split(QLatin1Char('\n'));
        lines.reserve(std::size_t(split.size()));
        for (const QString& line : split)
            lines.push_back(line.toStdString());
    }
    m_page.setLines(std::move(lines));
}

bool KnownListPanel::saveEdit() {
    if (!m_page.editing()) return true;
    std::unique_ptr<ScopedHomeLock> lock = lockForSave(this, m_lockFile);
    if (!lock) return false; // the edit stays pending, the text as typed
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_panel->setText(qs(kRebuildingList));
    m_panel->show();
    m_panel->repaint();
    const int top = m_view->verticalScrollBar()->value();
    setEditing(false);
    takeText();
    bool saved = true;
    try {
        m_page.save();
        showLines();
        m_view->verticalScrollBar()->setValue(top);
    } catch (const FileError& e) {
        saved = false;
        setEditing(true);
        MessageBox::error(this, QString::fromStdString(e.what()));
    }
    m_panel->setVisible(m_page.fileMissing());
    QApplication::restoreOverrideCursor();
    return saved;
}

void KnownListPanel::cancelEdit() {
    try {
        m_page.cancelEdit();
    } catch (const FileError& e) {
        MessageBox::error(this, QString::fromStdString(e.what()));
    }
    setEditing(false);
    showLines();
}

} // namespace mv::gui
