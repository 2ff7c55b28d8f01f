#include "dvAboutForm.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TdvAboutForm::TdvAboutForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(u"dvAboutForm"_s);
    setWindowTitle(u"About dvTools"_s);

    auto *text =
        new QLabel(u"<h3>dvTools</h3>"
                   "<p>Data-entry components for Qt database applications</p>"
                   "<p>Version %1</p><p>%2</p>"_s.arg(Version(), Licence().toHtmlEscaped()),
                   this);
    text->setObjectName(u"Text"_s);
    text->setAlignment(Qt::AlignCenter);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(u"&OK"_s, QDialogButtonBox::AcceptRole);
    ok->setObjectName(u"OK"_s);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QString TdvAboutForm::Version()
{
    return QStringLiteral(DVTOOLS_VERSION);
}

QString TdvAboutForm::Licence()
{
    return QStringLiteral(DVTOOLS_LICENCE);
}

void TdvAboutForm::AddWindowMenu(QWidget *window)
{
    auto *about = new QAction(QStringLiteral("&About..."), window);
    QObject::connect(about, &QAction::triggered, window, [window] {
        auto *box = new TdvAboutForm(window);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
    });
    window->addAction(about);
    window->setContextMenuPolicy(Qt::ActionsContextMenu);
}
