// The main window's choice of documents before booking: the exclusions made
// on the dry run's table hold for the next real run with the same export file
// and the same options, and go when either changes.
#include "ui/FormMain.h"

#include "ui/LimitedLineEdit.h"
#include "ui/ResultsPages.h"

#include "conversion/ExportFileName.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDateTime>
#include <QFileInfo>
#include <QLineEdit>
#include <QRadioButton>

namespace przenosnik {

QString FormMain::exclusionKey() const
{
    const ConversionSettings settings = conversionSettings();
    const QFileInfo file(stripExportFileQuotes(settings.exportFile));
    const auto flag = [](bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); };
    return QStringList{file.absoluteFilePath(),
                       QString::number(file.size()),
                       QString::number(file.lastModified().toMSecsSinceEpoch()),
                       settings.companyDirectory,
                       QString::number(int(settings.ledgerEncoding)),
                       flag(settings.sym2006),
                       flag(settings.szablon31),
                       flag(settings.postalCode),
                       settings.attribute,
                       settings.registerId,
                       settings.defaultDescription,
                       flag(settings.alwaysDescription),
                       flag(settings.skipDuplicates)}
        .join(QChar(0x1f));
}

void FormMain::dropExclusions()
{
    m_excluded = {};
    m_exclusionKey.clear();
    tabs_Wyniki->setChoosing(false);
}

void FormMain::optionsChanged()
{
    if (!m_running && !m_exclusionKey.isEmpty() && exclusionKey() != m_exclusionKey) {
        dropExclusions();
    }
}

void FormMain::watchOptions()
{
    for (QLineEdit* edit : {de_KPR, FE_EPP, static_cast<QLineEdit*>(Edit_Atrybut),
                            static_cast<QLineEdit*>(Edit_REJ), static_cast<QLineEdit*>(Edit_OPIS)}) {
        connect(edit, &QLineEdit::textChanged, this, &FormMain::optionsChanged);
    }
    for (QAbstractButton* box : std::initializer_list<QAbstractButton*>{
             RB_MAZ, chb_Sym2006, chb_Szablon31, chb_kod, chb_def_opis, chb_duplikaty}) {
        connect(box, &QAbstractButton::toggled, this, &FormMain::optionsChanged);
    }
    connect(tabs_Wyniki, &ResultsPages::exclusionsChanged, this,
            [this](const DocumentSelection& excluded) { m_excluded = excluded; });
    // The history shown follows the company directory.
    connect(de_KPR, &QLineEdit::textChanged, this, [this](const QString& directory) {
        if (tabs_Wyniki->currentIndex() == ResultsPages::HistoryPageIndex) {
            tabs_Wyniki->showHistory(directory);
        }
    });
    connect(tabs_Wyniki, &QTabWidget::currentChanged, this, [this](int page) {
        if (page == ResultsPages::HistoryPageIndex) {
            tabs_Wyniki->showHistory(de_KPR->text());
        }
    });
}

} // namespace przenosnik
