#include "gui/screening/ImportDialog.h"

#include "screening/RuleImports.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace mv::gui {

ImportDialog::ImportDialog(const QString& title, QWidget* parent)
    : QDialog(parent), m_box(new QPlainTextEdit(this)) {
    setObjectName(QStringLiteral("TfrmImportSpam"));
    setWindowTitle(QStringLiteral("Import new keywords"));
    m_box->setObjectName(QStringLiteral("memo1"));
    m_box->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* heading = new QLabel(title, this);
    heading->setObjectName(QStringLiteral("lbTitle"));
    QFont bold = heading->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 2);
    heading->setFont(bold);
    auto* note = new QLabel(
        QStringLiteral("A quick way to enter new SPAM subject keywords is to paste them into the "
                       "box above or type them in.  They should be entered one per line.  This "
                       "will allow you to quickly expand the number of keywords that Mailvane "
                       "searches for."),
        this);
    note->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("btOK"));
    connect(buttons, &QDialogButtonBox::accepted, this, &ImportDialog::confirm);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(m_box, 1);
    layout->addWidget(note);
    layout->addWidget(buttons);
    resize(420, 380);
}

std::vector<std::string> ImportDialog::lines() const {
    std::vector<std::string> out;
    const QStringList lines = m_box->toPlainText().split(QLatin1Char('\n'));
    out.reserve(std::size_t(lines.size()));
    for (const QString& line : lines)
        out.push_back(line.toStdString());
    return out;
}

void ImportDialog::confirm() {
    QStringList kept;
    for (const std::string& line : dropRepeatedLines(lines()))
        kept << QString::fromStdString(line);
    m_box->setPlainText(kept.join(QLatin1Char('\n')));
    accept();
}

} // namespace mv::gui
