// The main window's part for KSeF invoices: the "NIP firmy" field, kept for
// each company directory, and taking a whole folder of invoices.
#include "ui/FormMain.h"

#include "conversion/KsefRun.h"
#include "settings/CompanyNip.h"
#include "ui/MessageBox.h"
#include "ui/WindowSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>

namespace przenosnik {

void FormMain::createNipField(QWidget* group)
{
    auto* label = new QLabel(QStringLiteral("NIP firmy"), group);
    label->setObjectName(QStringLiteral("l_nip"));
    label->move(236, 56);
    label->resize(label->sizeHint());
    Edit_NIP = new QLineEdit(group);
    Edit_NIP->setObjectName(QStringLiteral("Edit_NIP"));
    Edit_NIP->setGeometry(label->x() + label->width() + 6, 53, 86, 20);
    Edit_NIP->setMaxLength(10);
    Edit_NIP->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,10}")), Edit_NIP));
    Edit_NIP->setToolTip(QStringLiteral("NIP tej firmy (10 cyfr) dla faktur KSeF: sprzedawca - sprzedaż, "
                                        "nabywca - zakup;\r\npusty: NIP obecny w każdej fakturze"));
    label->setBuddy(Edit_NIP);
    connect(Edit_NIP, &QLineEdit::textEdited, this, [this](const QString& nip) {
        if (m_settings)
            storeCompanyNip(m_settings->store(), de_KPR->text(), nip);
    });
    connect(de_KPR, &QLineEdit::textChanged, this, &FormMain::showStoredCompanyNip);
}

void FormMain::showStoredCompanyNip()
{
    if (m_settings && Edit_NIP)
        Edit_NIP->setText(storedCompanyNip(m_settings->store(), de_KPR->text()));
}

QString FormMain::ksefInputFor(const QString& chosenFile)
{
    if (!chosenFile.endsWith(QLatin1String(".xml"), Qt::CaseInsensitive))
        return chosenFile;
    const QString folder = QFileInfo(chosenFile).absolutePath();
    const qsizetype invoices = ksefFiles(folder).size();
    if (invoices < 2)
        return chosenFile;
    const auto answer =
        MessageBox::show(this, QMessageBox::Question, QStringLiteral("Faktury KSeF"),
                         QStringLiteral("Przenieść wszystkie faktury z katalogu %1 (plików *.xml: %2)?")
                             .arg(QDir::toNativeSeparators(folder))
                             .arg(invoices),
                         QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes,
                         QStringLiteral("Nie: tylko wybrany plik %1").arg(QFileInfo(chosenFile).fileName()));
    return answer == QMessageBox::Yes ? folder : chosenFile;
}

} // namespace przenosnik
