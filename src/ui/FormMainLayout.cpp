// The controls of the main window at their designed positions and sizes.
#include "ui/FormMain.h"

#include "ui/LimitedLineEdit.h"
#include "ui/ResultsPages.h"
#include "ui/ToolBarImages.h"
#include "ui/TraceLog.h"
#include "ui/TraceView.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace przenosnik {

namespace {
constexpr int ToolBarHeight = 29;
constexpr int ToolButtonWidth = 25;
constexpr int ToolButtonHeight = 22;
constexpr int StatusBarHeight = 19;
// Check boxes and radio buttons whose height the design leaves open.
constexpr int ChoiceHeight = 17;

// An auto-sized caption at its designed place.
QLabel* placeLabel(QWidget* parent, const char* name, const QString& text, int left, int top)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->move(left, top);
    label->resize(label->sizeHint());
    return label;
}

// Sizes a check box or radio button: at least its designed size, wider when
// the caption needs it.
void placeChoice(QWidget* choice, const char* name, int left, int top, int width = 0,
                 int height = ChoiceHeight)
{
    choice->setObjectName(QLatin1String(name));
    choice->setGeometry(left, top, qMax(width, choice->sizeHint().width()), height);
}

// An action of the tool bar; its shortcut works wherever the focus is in the
// window and is named in its hint.
QAction* makeAction(QWidget* window, const char* name, const QString& caption, const QString& hint,
                    ToolBarImage image, const QKeySequence& shortcut)
{
    auto* action = new QAction(toolBarImage(image), caption, window);
    action->setObjectName(QLatin1String(name));
    action->setShortcut(shortcut);
    action->setShortcutContext(Qt::WindowShortcut);
    action->setToolTip(QStringLiteral("%1 (%2)").arg(hint, shortcut.toString(QKeySequence::NativeText)));
    window->addAction(action);
    return action;
}
} // namespace

void FormMain::createActions()
{
    act_Konwert = makeAction(this, "act_Konwert", QStringLiteral("Konwersja"),
                             QStringLiteral("Konwersja danych Symfonia 2 KPR"),
                             ToolBarImage::FactoryWithArrows, QKeySequence(Qt::Key_F9));
    act_Cofnij = makeAction(this, "act_Cofnij", QStringLiteral("Cofnij"),
                            QStringLiteral("Cofa ostatnią konwersję do wybranego katalogu danych"),
                            ToolBarImage::UndoArrow, QKeySequence(Qt::CTRL | Qt::Key_Z));
    Act_FirmyKPR = makeAction(this, "Act_FirmyKPR", QStringLiteral("Firmy KPR"),
                              QStringLiteral("Ułatwia wybranie katalogu firmy z KPR"),
                              ToolBarImage::OpenFolder, QKeySequence(Qt::Key_F3));
    act_Help = makeAction(this, "act_Help", QStringLiteral("Włącza dymki podpowiedzi"),
                          QStringLiteral("Włącza dymki podpowiedzi"), ToolBarImage::QuestionMark,
                          QKeySequence(Qt::Key_F1));
    act_Help->setCheckable(true);
    act_WyczyscTrace = makeAction(this, "act_WyczyscTrace", QStringLiteral("Wyczyść"),
                                  QStringLiteral("Czyści pole śledzenia"), ToolBarImage::WasteBin,
                                  QKeySequence(Qt::CTRL | Qt::Key_L));
    act_Raport = makeAction(this, "act_Raport", QStringLiteral("Raport"),
                            QStringLiteral("Zapisuje raport z ostatniej konwersji (CSV albo PDF)"),
                            ToolBarImage::ReportSheet, QKeySequence(Qt::CTRL | Qt::Key_S));
    act_Drukuj = makeAction(this, "act_Drukuj", QStringLiteral("Drukuj"),
                            QStringLiteral("Drukuje raport z ostatniej konwersji"), ToolBarImage::Printer,
                            QKeySequence(Qt::CTRL | Qt::Key_P));
    // There is nothing to save or print before a run.
    act_Raport->setEnabled(false);
    act_Drukuj->setEnabled(false);
    act_Close =
        makeAction(this, "act_Close", QStringLiteral("Koniec"), QStringLiteral("Kończy prace programu"),
                   ToolBarImage::WalkingOut, QKeySequence(Qt::CTRL | Qt::Key_Q));

    connect(act_Konwert, &QAction::triggered, this, &FormMain::act_KonwertExecute);
    connect(act_Cofnij, &QAction::triggered, this, &FormMain::act_CofnijExecute);
    connect(Act_FirmyKPR, &QAction::triggered, this, &FormMain::Act_FirmyKPRExecute);
    // The action's checked state is set by the handler from the hints.
    connect(act_Help, &QAction::triggered, this, &FormMain::act_HelpExecute);
    connect(act_WyczyscTrace, &QAction::triggered, this, &FormMain::act_WyczyscTraceExecute);
    connect(act_Raport, &QAction::triggered, this, &FormMain::act_RaportExecute);
    connect(act_Drukuj, &QAction::triggered, this, &FormMain::act_DrukujExecute);
    connect(act_Close, &QAction::triggered, this, &FormMain::act_CloseExecute);
}

void FormMain::createToolBar(QWidget* panelTop)
{
    ToolBar1 = new QToolBar(panelTop);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    ToolBar1->setIconSize(QSize(16, 16));
    ToolBar1->setGeometry(0, 0, width(), ToolBarHeight);

    auto addButton = [this](QAction* action, const char* name) {
        ToolBar1->addAction(action);
        QWidget* button = ToolBar1->widgetForAction(action);
        button->setObjectName(QLatin1String(name));
        button->setFixedSize(ToolButtonWidth, ToolButtonHeight);
        // Reachable with Tab, pressed with the space bar.
        button->setFocusPolicy(Qt::TabFocus);
    };
    auto addSeparator = [this](int separatorWidth) {
        QAction* separator = ToolBar1->addSeparator();
        if (separatorWidth > 0) {
            ToolBar1->widgetForAction(separator)->setFixedWidth(separatorWidth);
        }
    };

    addButton(act_Konwert, "tk_KOnwersja");
    addButton(act_Cofnij, "tb_Cofnij");
    addSeparator(13);
    ch_sprawdz = new QCheckBox(QStringLiteral("symulacja"), ToolBar1);
    ch_sprawdz->setObjectName(QStringLiteral("ch_sprawdz"));
    ch_sprawdz->setToolTip(QStringLiteral("Przeprowadza konwersję bez zapisu danych na dysk"));
    ch_sprawdz->setFixedSize(qMax(72, ch_sprawdz->sizeHint().width()), 22);
    ToolBar1->addWidget(ch_sprawdz);
    addButton(Act_FirmyKPR, "ToolButton3");
    addSeparator(0);
    addButton(act_Help, "tb_Help");
    addButton(act_WyczyscTrace, "tb_ClearTrace");
    addSeparator(0);
    addButton(act_Raport, "tb_Raport");
    addButton(act_Drukuj, "tb_Drukuj");
    addSeparator(0);
    addButton(act_Close, "tb_koniec");
}

void FormMain::createEdits(QWidget* panelTop)
{
    Label1 = placeLabel(panelTop, "Label1", QStringLiteral("Katalog danych KPR"), 8, 32);
    Label1->installEventFilter(this);
    // The company's name, beside the caption in the free space over the edit.
    const int nameLeft = Label1->geometry().right() + 8;
    l_firma = new QLabel(panelTop);
    l_firma->setObjectName(QStringLiteral("l_firma"));
    l_firma->setGeometry(nameLeft, 32, 217 - nameLeft, Label1->height());
    QFont bold = l_firma->font();
    bold.setBold(true);
    l_firma->setFont(bold);
    QPalette blue = l_firma->palette();
    blue.setColor(QPalette::WindowText, QColor(0x00, 0x30, 0x9c));
    l_firma->setPalette(blue);

    de_KPR = new QLineEdit(panelTop);
    de_KPR->setObjectName(QStringLiteral("de_KPR"));
    de_KPR->setGeometry(8, 48, 209, 21);
    de_KPR->setToolTip(QStringLiteral("tj. katalog firmy do której importujemy dane"));
    QAction* browseFolder =
        de_KPR->addAction(style()->standardIcon(QStyle::SP_DirOpenIcon), QLineEdit::TrailingPosition);
    browseFolder->setObjectName(QStringLiteral("de_KPR_browse"));
    connect(browseFolder, &QAction::triggered, this, &FormMain::browseCompanyDirectory);
    connect(de_KPR, &QLineEdit::textChanged, this, &FormMain::showCompanyName);

    placeLabel(panelTop, "Label2", QStringLiteral("Plik FVS*.TXT"), 232, 32);

    FE_EPP = new QLineEdit(panelTop);
    FE_EPP->setObjectName(QStringLiteral("FE_EPP"));
    FE_EPP->setGeometry(232, 48, 209, 21);
    FE_EPP->setToolTip(QStringLiteral("tj. wybranie/ wskazanie jego lokalizacji\r\n"
                                      "Odczytywane są dane z wersji szablonu 2 i 3"));
    QAction* browseFile =
        FE_EPP->addAction(style()->standardIcon(QStyle::SP_FileDialogStart), QLineEdit::TrailingPosition);
    browseFile->setObjectName(QStringLiteral("FE_EPP_browse"));
    connect(browseFile, &QAction::triggered, this, &FormMain::browseExportFile);
}

void FormMain::createCodePageGroup(QWidget* panelTop)
{
    gb_KPR = new QGroupBox(QStringLiteral(" KPR "), panelTop);
    gb_KPR->setObjectName(QStringLiteral("gb_KPR"));
    gb_KPR->setGeometry(8, 72, 206, 56);
    placeLabel(gb_KPR, "Label5", QStringLiteral("PL="), 12, 16);
    RB_852 = new QRadioButton(QStringLiteral("852"), gb_KPR);
    placeChoice(RB_852, "RB_852", 42, 16);
    RB_852->setToolTip(QStringLiteral("KPR_ZN PL=852"));
    RB_852->setChecked(true);
    RB_MAZ = new QRadioButton(QStringLiteral("MAZ"), gb_KPR);
    placeChoice(RB_MAZ, "RB_MAZ", 90, 16);
    RB_MAZ->setToolTip(QStringLiteral("KPR_ZN PL=MAZ"));
    // The names in the company list are in the ledger's code page.
    connect(RB_MAZ, &QRadioButton::toggled, this, &FormMain::showCompanyName);
    chb_duplikaty = new QCheckBox(QStringLiteral("pomijaj już zapisane"), gb_KPR);
    placeChoice(chb_duplikaty, "chb_duplikaty", 12, 36);
    chb_duplikaty->setToolTip(QStringLiteral(
        "Nie dopisuje dokumentu, który już jest w pliku miesięcznym (ten sam numer, data i NIP)"));
    chb_duplikaty->setChecked(true);
}

void FormMain::createSymfoniaGroup(QWidget* panelTop)
{
    gb_Symfonia = new QGroupBox(QStringLiteral(" Symfonia "), panelTop);
    gb_Symfonia->setObjectName(QStringLiteral("gb_Symfonia"));
    gb_Symfonia->setGeometry(231, 72, 207, 56);
    placeLabel(gb_Symfonia, "l_sumfonia", QStringLiteral("Wersje :"), 11, 16);
    chb_Szablon31 = new QCheckBox(QStringLiteral("Szablon 3.1"), gb_Symfonia);
    placeChoice(chb_Szablon31, "chb_Szablon31", 63, 16);
    chb_Szablon31->setChecked(true);
    chb_Sym2006 = new QCheckBox(QStringLiteral("SYM 2006"), gb_Symfonia);
    placeChoice(chb_Sym2006, "chb_Sym2006", 63, 36);
    chb_Sym2006->setToolTip(QStringLiteral("Symfonia w wersji od 2006"));
    chb_Sym2006->setChecked(true);
}

void FormMain::createAutoFillGroup(QWidget* panelTop)
{
    gb_Autouzupelnianie = new QGroupBox(QStringLiteral(" autouzupełnianie "), panelTop);
    gb_Autouzupelnianie->setObjectName(QStringLiteral("gb_Autouzupelnianie"));
    gb_Autouzupelnianie->setGeometry(8, 128, 430, 78);
    QWidget* group = gb_Autouzupelnianie;

    placeLabel(group, "l_atrybut", QStringLiteral("Atrybut KPR"), 8, 16)
        ->setToolTip(QStringLiteral("atrybut dokumentu w kpr"));
    Edit_Atrybut = new LimitedLineEdit(1, group);
    Edit_Atrybut->setObjectName(QStringLiteral("Edit_Atrybut"));
    Edit_Atrybut->setGeometry(68, 14, 17, 21);

    placeLabel(group, "l_rejestr", QStringLiteral("Rejestr( )"), 9, 36)
        ->setToolTip(QStringLiteral("identyfikator rejestru"));
    Edit_REJ = new LimitedLineEdit(1, group);
    Edit_REJ->setObjectName(QStringLiteral("Edit_REJ"));
    Edit_REJ->setGeometry(68, 34, 17, 21);

    placeLabel(group, "l_brakOpisu", QStringLiteral("Opis operacji (w przypadku braku)"), 112, 15);
    Edit_OPIS = new LimitedLineEdit(36, group);
    Edit_OPIS->setObjectName(QStringLiteral("Edit_OPIS"));
    Edit_OPIS->setGeometry(112, 33, 251, 21);
    Edit_OPIS->setToolTip(QStringLiteral("w treści KPR"));

    chb_def_opis = new QCheckBox(QStringLiteral("wymuś zawsze"), group);
    placeChoice(chb_def_opis, "chb_def_opis", 284, 14);

    chb_kod = new QCheckBox(QStringLiteral("Dodaj kod pocztowy do adresu"), group);
    placeChoice(chb_kod, "chb_kod", 7, 56, 177, 17);
    chb_kod->setToolTip(QStringLiteral("tj. adres = kod miejscowość, ulica numery"));

    createNipField(group);

    mDokument = new QPlainTextEdit(group);
    mDokument->setObjectName(QStringLiteral("mDokument"));
    mDokument->setGeometry(379, 32, 35, 33);
    mDokument->setLineWrapMode(QPlainTextEdit::NoWrap);
    mDokument->setUndoRedoEnabled(false);
    mDokument->setPlainText(QStringLiteral("mDokument"));
    mDokument->setVisible(false);
}

void FormMain::createTracePanel(QWidget* panelMain)
{
    auto* mainLayout = new QVBoxLayout(panelMain);
    mainLayout->setContentsMargins(0, 0, 0, 0);
    auto* panelLeft = new QWidget(panelMain);
    panelLeft->setObjectName(QStringLiteral("Panel_Main_LEft"));
    mainLayout->addWidget(panelLeft);

    auto* leftLayout = new QVBoxLayout(panelLeft);
    leftLayout->setContentsMargins(3, 3, 3, 3);
    MemoTrace = new TraceView(panelLeft);
    MemoTrace->setObjectName(QStringLiteral("MemoTrace"));
    MemoTrace->setToolTip(QStringLiteral("Okienko wyników pracy i przebiegu operacji"));
    tabs_Wyniki = new ResultsPages(
        MemoTrace, [this](int first, int count) { return m_trace->lines(first, count); },
        [this] { act_CofnijExecute(); }, panelLeft);
    leftLayout->addWidget(tabs_Wyniki);
}

void FormMain::createStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar"));
    bar->setFixedHeight(StatusBarHeight);
    bar->showMessage(
        QStringLiteral("Właściciel programu - %1").arg(QString::fromUtf8(PRZENOSNIK_OWNER).left(255)));
}

void FormMain::setTabOrder()
{
    QList<QWidget*> chain;
    // The tool bar first, button by button in its order, then the options.
    for (QAction* action : ToolBar1->actions()) {
        QWidget* widget = ToolBar1->widgetForAction(action);
        if (widget && !action->isSeparator()) {
            chain.append(widget);
        }
    }
    chain += QList<QWidget*>{de_KPR,        FE_EPP,      RB_852,       RB_MAZ,    chb_duplikaty,
                             chb_Szablon31, chb_Sym2006, Edit_Atrybut, Edit_REJ,  Edit_OPIS,
                             chb_def_opis,  chb_kod,     Edit_NIP,     mDokument, MemoTrace};
    for (qsizetype i = 1; i < chain.size(); ++i) {
        QWidget::setTabOrder(chain[i - 1], chain[i]);
    }
}

} // namespace przenosnik
