// The company picker: lists the ledger program's companies from its company
// list file so that the user picks a company by name. Modal; closed with OK by
// a double click in the grid, cancelled by the close box. Remembers the list
// file's location in SPISCFG.INI, section SPISFIRM.
//
// Use: create one per use, show it modally, read the results, release it
// (its settings file is written when it is destroyed):
//
//     auto* picker = new FormSpisFirm(ledgerEncoding, this);
//     if (picker->exec() == FormSpisFirm::ModalResultOk)
//         if (const auto directory = picker->companyDirectory())
//             de_KPR->setText(*directory);
//     picker->deleteLater();
#pragma once

#include "encoding/PolishEncoding.h"

#include <QDialog>
#include <QString>

#include <memory>
#include <optional>

class QLabel;
class QPushButton;
class QTableView;

namespace przenosnik {

class CompanyListModel;
class FilenameEdit;
class WindowSettings;

class FormSpisFirm : public QDialog
{
    Q_OBJECT

public:
    static constexpr int ModalResultOk = 1;
    static constexpr int ModalResultCancel = 2;

    // ledgerEncoding is the code page of the company names and notes (Mazovia
    // or 852). The settings file lives in settingsDirectory, by default the
    // program's directory.
    explicit FormSpisFirm(PolishEncoding ledgerEncoding, QWidget* parent = nullptr,
                          const QString& settingsDirectory = QString());
    ~FormSpisFirm() override;

    // The encoding that the next load uses.
    void setLedgerEncoding(PolishEncoding encoding) { ledgerEncoding = encoding; }
    PolishEncoding encoding() const { return ledgerEncoding; }

    // What the caller reads after the dialog closed: result() (1 OK, else
    // cancelled), the list file's name (the value of the file name edit) and
    // the Katalog of the current row (empty for an empty list).
    QString fileName() const;
    QString currentKatalog() const;
    // The company name (Firma) of the current row; empty for an empty list.
    QString currentFirma() const;
    // The file whose rows the grid shows: the name loaded last, or the edit's
    // value while nothing has been loaded.
    QString shownFileName() const;
    // The chosen company's data directory: the folder of the file whose rows
    // are shown + Katalog; nothing when Katalog is not one directory name.
    std::optional<QString> companyDirectory() const;

    // Loads the list file named in the edit. A missing file beeps, moves the
    // focus to the edit and keeps the rows; otherwise the rows are replaced,
    // sorted by name, the first becomes current and the grid gets the focus.
    void LoadCompanyList();

    // True until the dialog's first activation, which loads the list.
    bool activateOne() const { return ActivateOne; }

    FilenameEdit* filenameEdit() const { return FilenameEdit_; }
    QTableView* grid() const { return DBGridLista; }
    QPushButton* loadButton() const { return bb_Zaladuj; }
    CompanyListModel* companies() const { return RxMD_Spis; }

public Q_SLOTS:
    void reject() override;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void FormActivate();
    void bb_ZaladujClick();
    void DBGridListaDblClick();
    void sizeColumns();
    void widenShortColumns();

    PolishEncoding ledgerEncoding;
    bool ActivateOne = true;
    bool shownOnce = false;
    // The file whose rows the grid shows; empty until a load succeeds.
    QString loadedFileName;
    QLabel* Label1;
    FilenameEdit* FilenameEdit_;
    QPushButton* bb_Zaladuj;
    QTableView* DBGridLista;
    CompanyListModel* RxMD_Spis;
    // Last: destroyed first, while the controls whose values it saves exist.
    std::unique_ptr<WindowSettings> settings;
};

} // namespace przenosnik
