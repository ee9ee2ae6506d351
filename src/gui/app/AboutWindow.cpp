#include "gui/app/AboutWindow.h"

#include "gui/widgets/Help.h"
#include "gui/widgets/Pictures.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace mv::gui {
namespace {

// The width of the text beside the picture; long lines wrap to it.
constexpr int kTextWidth = 320;

QLabel* label(QWidget* parent, const char* name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

// A label that wraps at kTextWidth and is as tall as its wrapped lines: a wrapped label left to
// the layout gets the height of a guessed width and draws over its neighbours.
QLabel* wrappedLabel(QWidget* parent, const char* name, const QString& text) {
    QLabel* wrapped = label(parent, name, text);
    wrapped->setWordWrap(true);
    wrapped->setFixedWidth(kTextWidth);
    wrapped->setFixedHeight(wrapped->heightForWidth(kTextWidth));
    return wrapped;
}

} // namespace

QString AboutWindow::versionText() {
    return QStringLiteral("Version %1").arg(QStringLiteral(MAILVANE_VERSION));
}

AboutWindow::AboutWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TfrmAbout"));
    setWindowTitle(QStringLiteral("About Mailvane"));

    QLabel* picture = label(this, "imIcon", {});
    picture->setPixmap(programIcon().pixmap(64, 64));
    picture->setAlignment(Qt::AlignTop);

    QLabel* name = label(this, "lblName", QStringLiteral("Mailvane"));
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 1.8);
    big.setBold(true);
    name->setFont(big);

    QLabel* help =
        label(this, "lblHelp", QStringLiteral("<a href=\"help\">How to use Mailvane</a>"));
    help->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    connect(help, &QLabel::linkActivated, this, [this] { openHelp(this, HelpTopic::Contents); });

    QLabel* purpose =
        wrappedLabel(this, "lblPurpose",
                     QStringLiteral("Screens POP3 mailboxes for junk mail and deletes it on "
                                    "the server before your e-mail program downloads it."));

    auto* text = new QVBoxLayout;
    text->addWidget(name);
    text->addWidget(label(this, "lblVersion", versionText()));
    text->addWidget(purpose);
    text->addWidget(wrappedLabel(
        this, "lblLicence",
        QStringLiteral("Copyright © 2026 the Mailvane developers. All rights reserved.")));
    text->addWidget(help);

    auto* top = new QHBoxLayout;
    top->addWidget(picture);
    top->addSpacing(12);
    top->addLayout(text, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("btOK"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace mv::gui
