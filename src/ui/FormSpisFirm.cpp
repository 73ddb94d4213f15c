#include "ui/FormSpisFirm.h"

#include "ledger/CompanyList.h"
#include "ui/Beep.h"
#include "ui/CompanyListModel.h"
#include "ui/FilenameEdit.h"
#include "ui/WindowSettings.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace przenosnik {

namespace {
// Outer size of the dialog, also its smallest size, and its designed place.
constexpr QSize OuterSize(360, 310);
constexpr QPoint DesignedPosition(261, 137);
constexpr int TopPanelHeight = 57;
constexpr int MainPanelBorder = 5;

QFont dialogFont()
{
    // The designed font is "MS Sans Serif", 8 pt; where it is missing the
    // nearest sans-serif face takes its place.
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSize(8);
    font.setStyleHint(QFont::SansSerif);
    return font;
}
} // namespace

FormSpisFirm::FormSpisFirm(PolishEncoding encoding, QWidget* parent, const QString& settingsDirectory)
    : QDialog(parent), ledgerEncoding(encoding)
{
    setObjectName(QStringLiteral("FormSpisFirm"));
    setWindowTitle(QStringLiteral("SpisFirm wg KPR"));
    setFont(dialogFont());
    setSizeGripEnabled(false);
    resize(OuterSize);
    setMinimumSize(OuterSize);
    move(DesignedPosition);

    auto* panelTop = new QWidget(this);
    panelTop->setObjectName(QStringLiteral("PanelTop"));
    panelTop->setFixedHeight(TopPanelHeight);

    Label1 = new QLabel(QStringLiteral("Lokalizacja pliku SpisFirm.Dat"), panelTop);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(8, 8);
    Label1->adjustSize();

    FilenameEdit_ = new FilenameEdit(panelTop);
    FilenameEdit_->setObjectName(QStringLiteral("FilenameEdit"));
    FilenameEdit_->setGeometry(8, 24, 193, 21);
    FilenameEdit_->setText(QStringLiteral("spisfirm.dat"));
    FilenameEdit_->setFilter(QStringLiteral("Plik firm (gw KPR)|spisfirm.dat|Wszystkie (*.*)|*.*"));
    FilenameEdit_->setInitialDirectory(QStringLiteral("c:\\kpr_zn"));

    bb_Zaladuj = new QPushButton(QStringLiteral("Załaduj ..."), panelTop);
    bb_Zaladuj->setObjectName(QStringLiteral("bb_Zaladuj"));
    bb_Zaladuj->setAutoDefault(false);
    bb_Zaladuj->setDefault(false);
    // 75 × 25 as designed, wider when the caption needs it.
    const int captionWidth = bb_Zaladuj->sizeHint().width();
    bb_Zaladuj->setGeometry(216, 19, std::max(75, captionWidth), 25);
    connect(bb_Zaladuj, &QPushButton::clicked, this, &FormSpisFirm::bb_ZaladujClick);

    auto* panelMain = new QWidget(this);
    panelMain->setObjectName(QStringLiteral("PanelMain"));
    auto* mainLayout = new QVBoxLayout(panelMain);
    mainLayout->setContentsMargins(MainPanelBorder, MainPanelBorder, MainPanelBorder, MainPanelBorder);

    RxMD_Spis = new CompanyListModel(this);
    RxMD_Spis->setObjectName(QStringLiteral("RxMD_Spis"));
    DBGridLista = new QTableView(panelMain);
    DBGridLista->setObjectName(QStringLiteral("DBGridLista"));
    DBGridLista->setModel(RxMD_Spis);
    DBGridLista->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGridLista->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGridLista->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGridLista->setShowGrid(true);
    DBGridLista->setTabKeyNavigation(true);
    DBGridLista->setWordWrap(false);
    DBGridLista->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    DBGridLista->horizontalHeader()->setStretchLastSection(false);
    DBGridLista->horizontalHeader()->setHighlightSections(false);
    DBGridLista->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    DBGridLista->verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    DBGridLista->verticalHeader()->setHighlightSections(false);
    DBGridLista->viewport()->installEventFilter(this);
    mainLayout->addWidget(DBGridLista);
    connect(DBGridLista->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { RxMD_Spis->setIndicatorRow(current.row()); });
    sizeColumns();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(panelTop);
    layout->addWidget(panelMain, 1);

    setTabOrder(FilenameEdit_, bb_Zaladuj);
    setTabOrder(bb_Zaladuj, DBGridLista);
    DBGridLista->setFocus();

    StoredValueList values{StoredValue::string(
        QStringLiteral("FilenameEdit_FileName"), [this] { return FilenameEdit_->fileName(); },
        [this](const QString& fileName) { FilenameEdit_->setFileName(fileName); })};
    settings =
        std::make_unique<WindowSettings>(this, QStringLiteral("SPISCFG.INI"), QStringLiteral("SPISFIRM"),
                                         std::move(values), false, settingsDirectory);
}

FormSpisFirm::~FormSpisFirm() = default;

void FormSpisFirm::sizeColumns()
{
    const QFontMetrics metrics(DBGridLista->font());
    QHeaderView* header = DBGridLista->horizontalHeader();
    for (int column = 0; column < CompanyListModel::ColumnCount; ++column) {
        const int byCharacters = metrics.averageCharWidth() * CompanyListModel::fieldSize(column) + 6;
        header->resizeSection(column, std::max(byCharacters, header->sectionSizeHint(column)));
    }
    const int rowHeight = metrics.height() + 4;
    DBGridLista->verticalHeader()->setDefaultSectionSize(rowHeight);
    DBGridLista->verticalHeader()->setMinimumSectionSize(rowHeight);
    DBGridLista->verticalHeader()->setFixedWidth(metrics.height());
}

void FormSpisFirm::widenShortColumns()
{
    // Directory names and notes are short: their columns grow to show them
    // whole rather than cut them. Company names keep their column's width.
    for (const int column : {CompanyListModel::KatalogColumn, CompanyListModel::InfoColumn}) {
        const int needed = static_cast<const QAbstractItemView*>(DBGridLista)->sizeHintForColumn(column);
        if (needed > DBGridLista->columnWidth(column))
            DBGridLista->setColumnWidth(column, needed);
    }
}

QString FormSpisFirm::fileName() const
{
    return FilenameEdit_->fileName();
}

QString FormSpisFirm::currentKatalog() const
{
    const QModelIndex current = DBGridLista->currentIndex();
    if (!current.isValid() || current.row() >= RxMD_Spis->rows().size())
        return {};
    return RxMD_Spis->rows().at(current.row()).katalog;
}

QString FormSpisFirm::currentFirma() const
{
    const QModelIndex current = DBGridLista->currentIndex();
    if (!current.isValid() || current.row() >= RxMD_Spis->rows().size())
        return {};
    return RxMD_Spis->rows().at(current.row()).firma.trimmed();
}

QString FormSpisFirm::shownFileName() const
{
    return loadedFileName.isEmpty() ? fileName() : loadedFileName;
}

std::optional<QString> FormSpisFirm::companyDirectory() const
{
    return przenosnik::companyDirectory(shownFileName(), currentKatalog());
}

void FormSpisFirm::LoadCompanyList()
{
    const QString name = fileName();
    const std::optional<QList<CompanyRow>> rows = przenosnik::loadCompanyList(name, ledgerEncoding);
    if (!rows) {
        beep();
        FilenameEdit_->setFocus();
        return;
    }
    loadedFileName = name;
    DBGridLista->setUpdatesEnabled(false);
    RxMD_Spis->setRows(*rows);
    if (!rows->isEmpty()) {
        DBGridLista->setCurrentIndex(RxMD_Spis->index(0, 0));
        DBGridLista->scrollToTop();
    }
    widenShortColumns();
    DBGridLista->setUpdatesEnabled(true);
    DBGridLista->setFocus();
}

void FormSpisFirm::FormActivate()
{
    if (!ActivateOne)
        return;
    ActivateOne = false;
    LoadCompanyList();
}

void FormSpisFirm::bb_ZaladujClick()
{
    LoadCompanyList();
}

void FormSpisFirm::DBGridListaDblClick()
{
    done(ModalResultOk);
}

void FormSpisFirm::reject()
{
    // The close box: cancelled, with the platform's "cancel" result.
    done(ModalResultCancel);
}

bool FormSpisFirm::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        FormActivate();
    return QDialog::event(event);
}

bool FormSpisFirm::eventFilter(QObject* watched, QEvent* event)
{
    // A double click anywhere in the grid's data area, on a row or below the
    // last one, closes with OK.
    if (watched == DBGridLista->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        // The row double-clicked is the chosen one, even when the press
        // before did not reach the grid.
        const QModelIndex row = DBGridLista->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint());
        if (row.isValid())
            DBGridLista->setCurrentIndex(row);
        DBGridListaDblClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void FormSpisFirm::keyPressEvent(QKeyEvent* event)
{
    // No key closes the dialog: Escape does not cancel, Enter does not accept.
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void FormSpisFirm::showEvent(QShowEvent* event)
{
    if (!shownOnce) {
        shownOnce = true;
        // The designed size is the outer size: take the frame off once the
        // platform tells how large it is, unless a stored size took its place.
        const QSize frame = frameGeometry().size() - geometry().size();
        if (frame.isValid() && !frame.isEmpty()) {
            const QSize client = OuterSize - frame;
            setMinimumSize(client);
            if (size() == OuterSize)
                resize(client);
        }
    }
    QDialog::showEvent(event);
}

} // namespace przenosnik
