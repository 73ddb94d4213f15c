// The main window's controls as designed: places, captions, hints, the tool
// bar, the tab order, the hints switch and the trace log.
#include "FormMainTestTools.h"
#include "ui/FormMain.h"
#include "ui/TraceView.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>

#include <memory>

using namespace przenosnik;
using przenosnik::test::child;

class TestFormMainLayout : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;

    std::unique_ptr<FormMain> openWindow() { return test::openMainWindow(m_dir->path()); }

private Q_SLOTS:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }

    void controlsAtTheirDesignedPlaces_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("designed");
        QTest::newRow("de_KPR") << "de_KPR" << QRect(8, 48, 209, 21);
        QTest::newRow("FE_EPP") << "FE_EPP" << QRect(232, 48, 209, 21);
        QTest::newRow("gb_KPR") << "gb_KPR" << QRect(8, 72, 206, 56);
        QTest::newRow("gb_Symfonia") << "gb_Symfonia" << QRect(231, 72, 207, 56);
        QTest::newRow("gb_Autouzupelnianie") << "gb_Autouzupelnianie" << QRect(8, 128, 430, 78);
        QTest::newRow("Edit_Atrybut") << "Edit_Atrybut" << QRect(68, 14, 17, 21);
        QTest::newRow("Edit_REJ") << "Edit_REJ" << QRect(68, 34, 17, 21);
        QTest::newRow("Edit_OPIS") << "Edit_OPIS" << QRect(112, 33, 251, 21);
        QTest::newRow("mDokument") << "mDokument" << QRect(379, 32, 35, 33);
        // Positions only: the size follows the caption.
        QTest::newRow("Label1") << "Label1" << QRect(8, 32, 0, 0);
        QTest::newRow("Label2") << "Label2" << QRect(232, 32, 0, 0);
        QTest::newRow("Label5") << "Label5" << QRect(12, 16, 0, 0);
        QTest::newRow("RB_852") << "RB_852" << QRect(42, 16, 0, 0);
        QTest::newRow("RB_MAZ") << "RB_MAZ" << QRect(90, 16, 0, 0);
        QTest::newRow("chb_duplikaty") << "chb_duplikaty" << QRect(12, 36, 0, 0);
        QTest::newRow("l_sumfonia") << "l_sumfonia" << QRect(11, 16, 0, 0);
        QTest::newRow("chb_Szablon31") << "chb_Szablon31" << QRect(63, 16, 0, 0);
        QTest::newRow("chb_Sym2006") << "chb_Sym2006" << QRect(63, 36, 0, 0);
        QTest::newRow("l_atrybut") << "l_atrybut" << QRect(8, 16, 0, 0);
        QTest::newRow("l_rejestr") << "l_rejestr" << QRect(9, 36, 0, 0);
        QTest::newRow("l_brakOpisu") << "l_brakOpisu" << QRect(112, 15, 0, 0);
        QTest::newRow("chb_def_opis") << "chb_def_opis" << QRect(284, 14, 0, 0);
        QTest::newRow("chb_kod") << "chb_kod" << QRect(7, 56, 177, 17);
    }

    void controlsAtTheirDesignedPlaces()
    {
        QFETCH(QString, name);
        QFETCH(QRect, designed);
        auto window = openWindow();
        auto* control = window->findChild<QWidget*>(name);
        QVERIFY(control);
        QCOMPARE(control->pos(), designed.topLeft());
        if (designed.width() > 0) {
            // Never narrower than designed; wider only where a caption needs it.
            QVERIFY2(control->width() >= designed.width(), qPrintable(QString::number(control->width())));
            QCOMPARE(control->height(), designed.height());
            if (!qobject_cast<QAbstractButton*>(control)) {
                QCOMPARE(control->width(), designed.width());
            }
        }
    }

    // No caption is cut and no control covers another of the same panel.
    void captionsFitWithoutOverlap()
    {
        auto window = openWindow();
        const QList<QWidget*> parents{
            window->findChild<QWidget*>(QStringLiteral("PanelTop")), child<QGroupBox>(*window, "gb_KPR"),
            child<QGroupBox>(*window, "gb_Symfonia"), child<QGroupBox>(*window, "gb_Autouzupelnianie")};
        for (QWidget* parent : parents) {
            QVERIFY(parent);
            QList<QWidget*> controls;
            for (QWidget* control : parent->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
                if (!control->objectName().isEmpty() && control->isVisible() &&
                    (qobject_cast<QLabel*>(control) || qobject_cast<QAbstractButton*>(control) ||
                     qobject_cast<QLineEdit*>(control) || qobject_cast<QGroupBox*>(control))) {
                    controls << control;
                }
            }
            QVERIFY(controls.size() >= 3);
            for (QWidget* control : controls) {
                if (qobject_cast<QLabel*>(control) || qobject_cast<QAbstractButton*>(control)) {
                    QVERIFY2(control->width() >= control->sizeHint().width(),
                             qPrintable(control->objectName()));
                }
                QVERIFY2(parent->rect().contains(control->geometry()), qPrintable(control->objectName()));
                const bool caption = !qobject_cast<QLineEdit*>(control) && !qobject_cast<QGroupBox*>(control);
                for (QWidget* other : controls) {
                    // Edits and frames may touch; nothing may cover a caption.
                    if (other != control && caption) {
                        QVERIFY2(
                            !control->geometry().intersects(other->geometry()),
                            qPrintable(control->objectName() + QStringLiteral(" / ") + other->objectName()));
                    }
                }
            }
        }
    }

    void captionsAndHints_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("hint");
        QTest::newRow("Label1") << "Label1"
                                << "Katalog danych KPR"
                                << "";
        QTest::newRow("de_KPR") << "de_KPR"
                                << ""
                                << "tj. katalog firmy do której importujemy dane";
        QTest::newRow("Label2") << "Label2"
                                << "Plik FVS*.TXT"
                                << "";
        QTest::newRow("FE_EPP") << "FE_EPP"
                                << ""
                                << "tj. wybranie/ wskazanie jego lokalizacji\r\n"
                                   "Odczytywane są dane z wersji szablonu 2 i 3";
        QTest::newRow("gb_KPR") << "gb_KPR"
                                << " KPR "
                                << "";
        QTest::newRow("Label5") << "Label5"
                                << "PL="
                                << "";
        QTest::newRow("RB_852") << "RB_852"
                                << "852"
                                << "KPR_ZN PL=852";
        QTest::newRow("RB_MAZ") << "RB_MAZ"
                                << "MAZ"
                                << "KPR_ZN PL=MAZ";
        QTest::newRow("chb_duplikaty")
            << "chb_duplikaty"
            << "pomijaj już zapisane"
            << "Nie dopisuje dokumentu, który już jest w pliku miesięcznym (ten sam numer, data i NIP)";
        QTest::newRow("gb_Symfonia") << "gb_Symfonia"
                                     << " Symfonia "
                                     << "";
        QTest::newRow("l_sumfonia") << "l_sumfonia"
                                    << "Wersje :"
                                    << "";
        QTest::newRow("chb_Szablon31") << "chb_Szablon31"
                                       << "Szablon 3.1"
                                       << "";
        QTest::newRow("chb_Sym2006") << "chb_Sym2006"
                                     << "SYM 2006"
                                     << "Symfonia w wersji od 2006";
        QTest::newRow("gb_Autouzupelnianie") << "gb_Autouzupelnianie"
                                             << " autouzupełnianie "
                                             << "";
        QTest::newRow("l_atrybut") << "l_atrybut"
                                   << "Atrybut KPR"
                                   << "atrybut dokumentu w kpr";
        QTest::newRow("l_rejestr") << "l_rejestr"
                                   << "Rejestr( )"
                                   << "identyfikator rejestru";
        QTest::newRow("l_brakOpisu") << "l_brakOpisu"
                                     << "Opis operacji (w przypadku braku)"
                                     << "";
        QTest::newRow("Edit_OPIS") << "Edit_OPIS"
                                   << ""
                                   << "w treści KPR";
        QTest::newRow("chb_def_opis") << "chb_def_opis"
                                      << "wymuś zawsze"
                                      << "";
        QTest::newRow("chb_kod") << "chb_kod"
                                 << "Dodaj kod pocztowy do adresu"
                                 << "tj. adres = kod miejscowość, ulica numery";
        QTest::newRow("ch_sprawdz") << "ch_sprawdz"
                                    << "symulacja"
                                    << "Przeprowadza konwersję bez zapisu danych na dysk";
        QTest::newRow("MemoTrace") << "MemoTrace"
                                   << ""
                                   << "Okienko wyników pracy i przebiegu operacji";
    }

    void captionsAndHints()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, hint);
        FormMain window(m_dir->path());
        auto* control = window.findChild<QWidget*>(name);
        QVERIFY(control);
        QString shown;
        if (auto* label = qobject_cast<QLabel*>(control)) {
            shown = label->text();
        } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
            shown = button->text();
        } else if (auto* group = qobject_cast<QGroupBox*>(control)) {
            shown = group->title();
        }
        QCOMPARE(shown, caption);
        QCOMPARE(control->toolTip(), hint);
    }

    void windowAndStatusBar()
    {
        FormMain window(m_dir->path());
        QCOMPARE(window.windowTitle(), QStringLiteral("Przenosnik  | wersja 2014.02.12"));
        QCOMPARE(window.statusBar()->objectName(), QStringLiteral("StatusBar"));
        // The owner's text is fixed at build time; the placeholder is filled.
        const QString status = window.statusBar()->currentMessage();
        QVERIFY2(status.startsWith(QStringLiteral("Właściciel programu - ")), qPrintable(status));
        const QString owner = status.mid(22);
        QVERIFY(!owner.trimmed().isEmpty() && owner.size() <= 255);
        QVERIFY(!owner.contains(QLatin1Char('%')));
        QCOMPARE(window.minimumSize(), QSize(456, 428));
        QCOMPARE(window.pos(), QPoint(306, 145));

        auto* memo = child<TraceView>(window, "MemoTrace");
        QCOMPARE(memo->editTriggers(), QAbstractItemView::NoEditTriggers);
        QVERIFY(!memo->wordWrap());
        QCOMPARE(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        auto* document = child<QPlainTextEdit>(window, "mDokument");
        QVERIFY(document->isHidden());
        QCOMPARE(document->lineWrapMode(), QPlainTextEdit::NoWrap);
        QCOMPARE(document->toPlainText(), QStringLiteral("mDokument"));
    }

    void toolBarInOrder()
    {
        FormMain window(m_dir->path());
        auto* bar = window.findChild<QToolBar*>(QStringLiteral("ToolBar1"));
        QVERIFY(bar);
        QStringList order;
        for (QAction* action : bar->actions()) {
            if (action->isSeparator()) {
                order << QStringLiteral("|");
            } else {
                order << bar->widgetForAction(action)->objectName();
            }
        }
        QCOMPARE(order,
                 QStringList({"tk_KOnwersja", "tb_Cofnij", "|", "ch_sprawdz", "ToolButton3", "|", "tb_Help",
                              "tb_ClearTrace", "|", "tb_Raport", "tb_Drukuj", "|", "tb_koniec"}));
        QCOMPARE(bar->widgetForAction(bar->actions().at(2))->width(), 13);
        QCOMPARE(bar->geometry(), QRect(0, 0, 456, 29));
        window.resize(700, 500);
        window.show();
        QTRY_COMPARE(bar->width(), 700);
        for (const char* button : {"tk_KOnwersja", "tb_Cofnij", "ToolButton3", "tb_Help", "tb_ClearTrace",
                                   "tb_Raport", "tb_Drukuj", "tb_koniec"}) {
            QCOMPARE(child<QToolButton>(window, button)->width(), 25);
            QCOMPARE(child<QToolButton>(window, button)->toolButtonStyle(), Qt::ToolButtonIconOnly);
        }
    }

    void actions_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("hint");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("key"); // named in the hint too
        QTest::newRow("act_Konwert") << "act_Konwert"
                                     << "Konwersja"
                                     << "Konwersja danych Symfonia 2 KPR"
                                     << "tk_KOnwersja"
                                     << "F9";
        QTest::newRow("act_Cofnij") << "act_Cofnij"
                                    << "Cofnij"
                                    << "Cofa ostatnią konwersję do wybranego katalogu danych"
                                    << "tb_Cofnij"
                                    << "Ctrl+Z";
        QTest::newRow("Act_FirmyKPR") << "Act_FirmyKPR"
                                      << "Firmy KPR"
                                      << "Ułatwia wybranie katalogu firmy z KPR"
                                      << "ToolButton3"
                                      << "F3";
        QTest::newRow("act_Help") << "act_Help"
                                  << "Włącza dymki podpowiedzi"
                                  << "Włącza dymki podpowiedzi"
                                  << "tb_Help"
                                  << "F1";
        QTest::newRow("act_WyczyscTrace") << "act_WyczyscTrace"
                                          << "Wyczyść"
                                          << "Czyści pole śledzenia"
                                          << "tb_ClearTrace"
                                          << "Ctrl+L";
        QTest::newRow("act_Close") << "act_Close"
                                   << "Koniec"
                                   << "Kończy prace programu"
                                   << "tb_koniec"
                                   << "Ctrl+Q";
        QTest::newRow("act_Raport") << "act_Raport"
                                    << "Raport"
                                    << "Zapisuje raport z ostatniej konwersji (CSV albo PDF)"
                                    << "tb_Raport"
                                    << "Ctrl+S";
        QTest::newRow("act_Drukuj") << "act_Drukuj"
                                    << "Drukuj"
                                    << "Drukuje raport z ostatniej konwersji"
                                    << "tb_Drukuj"
                                    << "Ctrl+P";
    }

    void actions()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, hint);
        QFETCH(QString, button);
        QFETCH(QString, key);
        FormMain window(m_dir->path());
        auto* action = window.findChild<QAction*>(name);
        QVERIFY(action);
        QCOMPARE(action->text(), caption);
        QCOMPARE(action->toolTip(), QStringLiteral("%1 (%2)").arg(hint, key));
        QVERIFY(!action->icon().isNull());
        QCOMPARE(window.findChild<QToolButton*>(button)->defaultAction(), action);
        QCOMPARE(action->shortcut(), QKeySequence(key));
        QCOMPARE(action->shortcutContext(), Qt::WindowShortcut);
        QVERIFY(window.actions().contains(action));
    }

    void tabOrderFollowsTheDesign()
    {
        auto window = openWindow();
        // The tool bar first, then the options.
        const QStringList expected{"tk_KOnwersja", "tb_Cofnij",     "ch_sprawdz",    "ToolButton3",
                                   "tb_Help",      "tb_ClearTrace", "tb_koniec",     "de_KPR",
                                   "FE_EPP",       "RB_852",        "chb_duplikaty", "chb_Szablon31",
                                   "chb_Sym2006",  "Edit_Atrybut",  "Edit_REJ",      "Edit_OPIS",
                                   "chb_def_opis", "chb_kod",       "Edit_NIP",      "MemoTrace"};
        QWidget* start = child<QWidget>(*window, "tk_KOnwersja");
        start->setFocus();
        QStringList visited{start->objectName()};
        for (int i = 1; i < expected.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited, expected);
    }

    void helpKeyAndButtonToggleHints()
    {
        auto window = openWindow();
        auto* radio = child<QRadioButton>(*window, "RB_852");
        auto* help = child<QToolButton>(*window, "tb_Help");
        auto showHint = [](QWidget* widget) {
            QToolTip::hideText();
            QHelpEvent event(QEvent::ToolTip, QPoint(2, 2), widget->mapToGlobal(QPoint(2, 2)));
            QApplication::sendEvent(widget, &event);
            return QToolTip::isVisible() ? QToolTip::text() : QString();
        };

        QCOMPARE(showHint(radio), QString());
        QTest::keyClick(child<QLineEdit>(*window, "Edit_OPIS"), Qt::Key_F1);
        QVERIFY(window->hintsOn());
        QVERIFY(help->isChecked());
        QCOMPARE(showHint(radio), QStringLiteral("KPR_ZN PL=852"));
        // A hint of two lines shows as two lines.
        QCOMPARE(
            showHint(child<QLineEdit>(*window, "FE_EPP")),
            QStringLiteral(
                "tj. wybranie/ wskazanie jego lokalizacji\nOdczytywane są dane z wersji szablonu 2 i 3"));

        QTest::mouseClick(help, Qt::LeftButton);
        QVERIFY(!window->hintsOn());
        QVERIFY(!help->isChecked());
        QCOMPARE(showHint(help), QString());

        QTest::mouseClick(help, Qt::LeftButton);
        QVERIFY(window->hintsOn());
        QVERIFY(help->isChecked());
        QTest::keyClick(window.get(), Qt::Key_F1);
        QVERIFY(!window->hintsOn());
        QVERIFY(!help->isChecked());
    }

    void clearEmptiesTheTrace()
    {
        auto window = openWindow();
        window->appendTrace(QStringLiteral("pierwsza"));
        window->appendTrace(QString());
        window->appendTrace(QStringLiteral("trzecia"));
        QCOMPARE(window->traceLines(), QStringList({"pierwsza", "", "trzecia"}));
        QTest::mouseClick(child<QToolButton>(*window, "tb_ClearTrace"), Qt::LeftButton);
        QCOMPARE(window->traceLines(), QStringList());
        QCOMPARE(child<TraceView>(*window, "MemoTrace")->model()->rowCount(), 0);
        // A log that starts with an empty line keeps it.
        window->appendTrace(QString());
        window->appendTrace(QStringLiteral("druga"));
        QCOMPARE(window->traceLines(), QStringList({"", "druga"}));
        QTRY_COMPARE(child<TraceView>(*window, "MemoTrace")->model()->rowCount(), 2);
        QCOMPARE(child<TraceView>(*window, "MemoTrace")->selectedText(), QStringLiteral("\ndruga"));
    }

    void closeEndsTheWindow()
    {
        auto window = openWindow();
        QVERIFY(window->isVisible());
        QTest::mouseClick(child<QToolButton>(*window, "tb_koniec"), Qt::LeftButton);
        QVERIFY(!window->isVisible());
    }
};

QTEST_MAIN(TestFormMainLayout)
#include "test_form_main_layout.moc"
