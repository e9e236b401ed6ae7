#include "ui/main/locationdialog.h"

#include "store/ledgerlocation.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

LocationDialog::LocationDialog(const LedgerLocation& current, QWidget* parent, Purpose purpose)
    : QDialog(parent), text_(new QLineEdit(purpose == Purpose::Use ? current.text() : QString(), this))
{
    const bool use = purpose == Purpose::Use;
    setObjectName(QStringLiteral("LocationDialog"));
    setWindowTitle(use ? tr("Ledger location") : tr("Copy this ledger to a server"));
    auto* now = new QLabel(tr("The ledger is now %1.").arg(current.describe()), this);
    now->setObjectName(QStringLiteral("current"));
    now->setWordWrap(true);
    auto* label = new QLabel(use ? tr("&Server (a connection string such as postgresql://host/database; passwords go "
                                      "in ~/.pgpass or a service file), or empty for the private file:")
                                 : tr("&Server to copy it to (a connection string such as postgresql://host/database; "
                                      "passwords go in ~/.pgpass or a service file). Its ledger must be empty:"),
                             this);
    label->setWordWrap(true);
    label->setBuddy(text_);
    text_->setObjectName(QStringLiteral("location"));
    text_->setMinimumWidth(text_->fontMetrics().averageCharWidth() * 60);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(now);
    layout->addWidget(label);
    layout->addWidget(text_);
    layout->addWidget(buttons);
}

QString LocationDialog::text() const
{
    return text_->text().trimmed();
}
