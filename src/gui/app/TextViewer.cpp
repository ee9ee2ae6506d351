#include "gui/app/TextViewer.h"

#include "gui/app/DialogButtons.h"

#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTimer>
#include <QVBoxLayout>

namespace mv::gui {

TfrmViewHeader::TfrmViewHeader(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TfrmViewHeader"));
    setWindowTitle(QStringLiteral("View Selected Headers"));
    m_heading = new QLabel(this);
    m_heading->setObjectName(QStringLiteral("lblHeading"));
    QFont bold = m_heading->font();
    bold.setBold(true);
    m_heading->setFont(bold);
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("Memo1"));
    m_text->setReadOnly(true);
    m_text->setUndoRedoEnabled(false); // read-only: nothing to undo, and no copy of the text
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto* buttons = dialogButtons(*this, QDialogButtonBox::Ok);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_heading);
    layout->addWidget(m_text, 1);
    layout->addWidget(buttons);
    setFixedSize(560, 420);
}

QString TfrmViewHeader::heading(ViewerMode mode) {
    switch (mode) {
    case ViewerMode::Headers:
        return QStringLiteral("Contents of selected e-mail headers");
    case ViewerMode::Reasons:
        return QStringLiteral("Reasons that e-mail is marked or not marked");
    case ViewerMode::Body:
        break;
    }
    return QStringLiteral("Contents of e-mail");
}

void TfrmViewHeader::setContent(ViewerMode mode, const QString& text) {
    m_heading->setText(heading(mode));
    m_text->clear();
    m_whole = text;
    m_shown = 0;
    appendPiece();
}

void TfrmViewHeader::appendPiece() {
    // A piece ends at a line end where there is one: a few milliseconds of work each.
    constexpr qsizetype kPiece = 64 * 1024;
    qsizetype end = m_whole.size();
    if (end - m_shown > kPiece) {
        const qsizetype lineEnd = m_whole.lastIndexOf(QLatin1Char('\n'), m_shown + kPiece);
        end = lineEnd > m_shown ? lineEnd + 1 : m_shown + kPiece;
    }
    QTextCursor cursor(m_text->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(m_whole.mid(m_shown, end - m_shown));
    m_shown = end;
    if (m_shown < m_whole.size())
        QTimer::singleShot(0, this, &TfrmViewHeader::appendPiece);
    else
        m_whole.clear();
}

} // namespace mv::gui
