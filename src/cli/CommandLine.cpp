#include "cli/CommandLine.h"

#include "ProgramInfo.h"
#include "cli/RunDefaults.h"
#include "conversion/KsefInvoiceBlock.h"
#include "report/ReportFile.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QtGlobal>

namespace przenosnik {
namespace {

struct Switch
{
    const char* on;
    const char* off;
    bool ConversionSettings::*field;
};

constexpr Switch Switches[] = {
    {"sym2006", "no-sym2006", &ConversionSettings::sym2006},
    {"szablon31", "no-szablon31", &ConversionSettings::szablon31},
    {"postal-code", "no-postal-code", &ConversionSettings::postalCode},
    {"always-description", "no-always-description", &ConversionSettings::alwaysDescription},
    {"skip-duplicates", "no-skip-duplicates", &ConversionSettings::skipDuplicates},
};

CommandLine invalid(const QString& reason)
{
    CommandLine result;
    result.action = CliAction::Invalid;
    result.error = reason;
    return result;
}

QString quoted(const QString& text)
{
    return QStringLiteral("\"%1\"").arg(text);
}

void addOptions(QCommandLineParser& parser)
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    parser.addOption({{QStringLiteral("n"), QStringLiteral("dry-run")}, QString()});
    parser.addOption({{QStringLiteral("h"), QStringLiteral("help")}, QString()});
    parser.addOption({QStringLiteral("version"), QString()});
    parser.addOption({QStringLiteral("no-journal"), QString()});
    parser.addOption({QStringLiteral("summary"), QString()});
    for (const char* name : {"codepage", "attribute", "register", "description", "settings", "companies",
                             "undo", "history", "report", "skip-documents", "nip"})
        parser.addOption({QString::fromLatin1(name), QString(), QStringLiteral("WARTOŚĆ")});
    for (const Switch& option : Switches) {
        parser.addOption({QString::fromLatin1(option.on), QString()});
        parser.addOption({QString::fromLatin1(option.off), QString()});
    }
}

// Applies the options given on the command line over the defaults; returns a reason when one is bad.
QString applyOptions(const QCommandLineParser& parser, ConversionSettings& settings)
{
    if (parser.isSet(QStringLiteral("codepage"))) {
        const QString value = parser.value(QStringLiteral("codepage")).trimmed().toLower();
        if (value == QLatin1String("852"))
            settings.ledgerEncoding = PolishEncoding::Cp852;
        else if (value == QLatin1String("maz"))
            settings.ledgerEncoding = PolishEncoding::Mazovia;
        else
            return QStringLiteral("nieznana strona kodowa %1 (dozwolone: 852, maz)")
                .arg(quoted(parser.value(QStringLiteral("codepage"))));
    }
    for (const Switch& option : Switches) {
        const bool on = parser.isSet(QString::fromLatin1(option.on));
        const bool off = parser.isSet(QString::fromLatin1(option.off));
        if (on && off)
            return QStringLiteral("opcje --%1 i --%2 wykluczają się").arg(option.on, option.off);
        if (on || off)
            settings.*option.field = on;
    }
    struct Text
    {
        const char* name;
        QString ConversionSettings::*field;
        int maxLength;
    };
    const Text texts[] = {
        {"attribute", &ConversionSettings::attribute, 1},
        {"register", &ConversionSettings::registerId, 1},
        {"description", &ConversionSettings::defaultDescription, MaxDescriptionLength},
    };
    for (const Text& text : texts) {
        const QString name = QString::fromLatin1(text.name);
        if (!parser.isSet(name))
            continue;
        const QString value = parser.value(name);
        if (value.size() > text.maxLength)
            return text.maxLength == 1 ? QStringLiteral("--%1 przyjmuje najwyżej jeden znak, podano %2")
                                             .arg(name, quoted(value))
                                       : QStringLiteral("--%1 przyjmuje najwyżej %2 znaków, podano %3")
                                             .arg(name)
                                             .arg(text.maxLength)
                                             .arg(value.size());
        settings.*text.field = value;
    }
    if (parser.isSet(QStringLiteral("nip"))) {
        const QString value = parser.value(QStringLiteral("nip"));
        settings.companyNip = normalizedNip(value);
        if (settings.companyNip.isEmpty())
            return QStringLiteral("--nip przyjmuje NIP z 10 cyfr, podano %1").arg(quoted(value));
    }
    return {};
}

// Takes --report and --summary; returns a reason when the report file cannot be written in any format.
QString applyReportOptions(const QCommandLineParser& parser, CommandLine& result)
{
    result.summary = parser.isSet(QStringLiteral("summary"));
    if (!parser.isSet(QStringLiteral("report")))
        return {};
    result.reportPath = parser.value(QStringLiteral("report"));
    switch (reportFormat(result.reportPath)) {
    case ReportFormat::Csv:
        return {};
    case ReportFormat::Pdf:
        if (pdfReportAvailable())
            return {};
        return QStringLiteral("ta wersja programu nie zapisuje raportu PDF (--report=%1)")
            .arg(result.reportPath);
    case ReportFormat::Unknown:
        break;
    }
    return QStringLiteral("--report przyjmuje plik .csv albo .pdf, podano %1").arg(quoted(result.reportPath));
}

} // namespace

CommandLine parseCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    addOptions(parser);
    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty()) {
            const QString& name = unknown.first();
            return invalid(
                QStringLiteral("nieznana opcja %1").arg(name.size() == 1 ? "-" + name : "--" + name));
        }
        return invalid(QStringLiteral("błędna opcja: %1").arg(parser.errorText()));
    }

    CommandLine result;
    if (parser.isSet(QStringLiteral("help"))) {
        result.action = CliAction::Help;
        return result;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        result.action = CliAction::Version;
        return result;
    }

    // An option with a value given twice would leave it unclear which value counts.
    for (const QString& name : parser.optionNames()) {
        if (parser.values(name).size() > 1)
            return invalid(QStringLiteral("opcja %1 podana więcej niż raz")
                               .arg(name.size() == 1 ? "-" + name : "--" + name));
    }

    ConversionSettings& settings = result.settings;
    if (parser.isSet(QStringLiteral("settings"))) {
        QString reason;
        if (!applyStoredRunOptions(parser.value(QStringLiteral("settings")), settings, reason))
            return invalid(reason);
    }
    QString reason = applyOptions(parser, settings);
    if (reason.isEmpty())
        reason = applyReportOptions(parser, result);
    if (!reason.isEmpty())
        return invalid(reason);
    if (parser.isSet(QStringLiteral("skip-documents"))) {
        QString error;
        const std::optional<DocumentSelection> excluded =
            DocumentSelection::parse(parser.value(QStringLiteral("skip-documents")), &error);
        if (!excluded)
            return invalid(QStringLiteral("--skip-documents: ") + error);
        settings.excludedDocuments = *excluded;
    }
    settings.dryRun = parser.isSet(QStringLiteral("dry-run"));
    settings.keepJournal = !parser.isSet(QStringLiteral("no-journal"));

    const QStringList positional = parser.positionalArguments();
    for (const char* name : {"undo", "history"}) {
        const QString option = QString::fromLatin1(name);
        if (!parser.isSet(option))
            continue;
        if (parser.isSet(QStringLiteral("undo")) && parser.isSet(QStringLiteral("history")))
            return invalid(QStringLiteral("opcje --undo i --history wykluczają się"));
        if (!positional.isEmpty() || parser.isSet(QStringLiteral("companies")) ||
            parser.isSet(QStringLiteral("skip-documents")))
            return invalid(QStringLiteral("--%1 przyjmuje tylko katalog firmy").arg(option));
        result.journalDirectory = parser.value(option);
        if (result.journalDirectory.isEmpty())
            return invalid(QStringLiteral("--%1 wymaga katalogu firmy").arg(option));
        result.action = option == QLatin1String("undo") ? CliAction::Undo : CliAction::History;
        return result;
    }
    if (parser.isSet(QStringLiteral("companies"))) {
        if (!positional.isEmpty())
            return invalid(QStringLiteral("--companies nie przyjmuje pliku eksportu ani katalogu firmy"));
        if (result.summary || parser.isSet(QStringLiteral("report")))
            return invalid(QStringLiteral("--report i --summary dotyczą tylko konwersji"));
        if (parser.isSet(QStringLiteral("skip-documents")))
            return invalid(QStringLiteral("--skip-documents dotyczy tylko konwersji"));
        result.companiesPath = parser.value(QStringLiteral("companies"));
        if (result.companiesPath.isEmpty())
            return invalid(QStringLiteral("--companies wymaga ścieżki pliku SPISFIRM.DAT"));
        result.action = CliAction::ListCompanies;
        return result;
    }

    if (positional.size() > 2)
        return invalid(QStringLiteral("za dużo argumentów: %1").arg(quoted(positional.at(2))));
    if (!positional.isEmpty())
        settings.exportFile = positional.at(0);
    else if (settings.exportFile.isEmpty())
        return invalid(QStringLiteral("brak pliku eksportu"));
    if (positional.size() > 1)
        settings.companyDirectory = positional.at(1);
    else if (settings.companyDirectory.isEmpty() && !settings.dryRun)
        return invalid(QStringLiteral("brak katalogu firmy (można go pominąć tylko w symulacji, -n)"));
    // The window's "NIP firmy" of that directory, unless --nip names one.
    if (parser.isSet(QStringLiteral("settings")) && !parser.isSet(QStringLiteral("nip")))
        settings.companyNip =
            storedCompanyNipIn(parser.value(QStringLiteral("settings")), settings.companyDirectory);
    result.action = CliAction::Convert;
    return result;
}

QString versionText()
{
    return QStringLiteral("przenosnik-cli %1 (Qt %2)\n")
        .arg(QStringLiteral(PRZENOSNIK_VERSION), QString::fromLatin1(qVersion()));
}

QString helpText()
{
    return QStringLiteral(
        "Użycie: przenosnik-cli [OPCJE] PLIK_EKSPORTU [KATALOG_FIRMY]\n"
        "        przenosnik-cli --companies=SPISFIRM.DAT [--codepage=852|maz]\n"
        "        przenosnik-cli [-n] --undo=KATALOG_FIRMY\n"
        "        przenosnik-cli --history=KATALOG_FIRMY\n"
        "\n"
        "Przenosi faktury z pliku eksportu (FVS*.TXT, Windows-1250) do miesięcznych plików\n"
        "KPR w katalogu firmy, tak jak przycisk \"Konwersja\" okna programu, bez pytania\n"
        "o potwierdzenie. Przebieg trafia na standardowe wyjście (UTF-8), komunikaty okien\n"
        "na standardowe wyjście błędów. PLIK_EKSPORTU może też być fakturą KSeF (FA(2), FA(3),\n"
        "plik *.xml) albo katalogiem: wtedy wszystkie jego pliki *.xml w kolejności nazw.\n"
        "\n"
        "Opcje:\n"
        "  -n, --dry-run               symulacja: wszystko czyta i sprawdza, nic nie zapisuje\n"
        "                              (KATALOG_FIRMY można wtedy pominąć)\n"
        "  --codepage=852|maz          strona kodowa KPR: 852 (domyślnie) albo Mazovia\n"
        "  --sym2006, --no-sym2006     \"SYM 2006\": VAT w powtarzanych blokach Rejestr{ (domyślnie\n"
        "                              włączone); wyłączone: starszy układ bloku VAT\n"
        "  --szablon31, --no-szablon31 \"Szablon 3.1\": klucze bez numerów (domyślnie włączone);\n"
        "                              wyłączone: klucze numerowane, typ rejestru VAT 0 oznacza\n"
        "                              dokument bez części VAT\n"
        "  --postal-code, --no-postal-code\n"
        "                              \"Dodaj kod pocztowy do adresu\" (domyślnie wyłączone)\n"
        "  --attribute=Z               \"Atrybut KPR\": jeden znak (domyślnie pusty)\n"
        "  --register=Z                \"Rejestr( )\": jeden znak (domyślnie pusty)\n"
        "  --description=TEKST         \"Opis operacji (w przypadku braku)\", najwyżej 36 znaków\n"
        "  --always-description, --no-always-description\n"
        "                              \"wymuś zawsze\": opis domyślny dla każdego dokumentu\n"
        "  --skip-duplicates, --no-skip-duplicates\n"
        "                              \"pomijaj już zapisane\": nie dopisuje dokumentu, który już\n"
        "                              jest w pliku miesięcznym (ten sam numer, data i NIP);\n"
        "                              domyślnie włączone\n"
        "  --skip-documents=LISTA      nie zapisuje dokumentów o podanych numerach (kolumna Lp\n"
        "                              raportu), np. 3,7-9; w przebiegu każdy ma wiersz\n"
        "                              \" * dokument wyłączony przez użytkownika - pominięty *\",\n"
        "                              w raporcie stan \"wyłączony\"; działa także w symulacji\n"
        "  --nip=NIP                   NIP firmy (10 cyfr): która strona faktur KSeF to ta firma;\n"
        "                              bez niego NIP obecny w każdej fakturze przebiegu\n"
        "  --settings=PLIK             ustawienia z sekcji MAIN pliku PRZENOSN.INI okna programu;\n"
        "                              opcje podane w wierszu poleceń mają pierwszeństwo, a plik\n"
        "                              eksportu i katalog firmy można wtedy pominąć\n"
        "  --report=PLIK               po konwersji zapisuje raport: dokumenty ze stanem i uwagami\n"
        "                              oraz podsumowanie; PLIK.csv (UTF-8, średniki) albo PLIK.pdf\n"
        "                              (A4 poziomo); zapisywany także po przerwanej konwersji\n"
        "  --summary                   po konwersji wypisuje podsumowanie (liczby dokumentów i sumy\n"
        "                              kwot wg plików miesięcznych i rodzajów) na wyjście błędów\n"
        "  --companies=ŚCIEŻKA         wypisuje listę firm z pliku SPISFIRM.DAT (lub z katalogu,\n"
        "                              w którym leży), posortowaną wg nazwy: Firma, Katalog, Info\n"
        "                              i katalog danych firmy, rozdzielone tabulatorami\n"
        "  --undo=KATALOG_FIRMY        cofa ostatnią konwersję do katalogu firmy: skraca pliki\n"
        "                              miesięczne do długości sprzed niej, o ile od tamtej pory\n"
        "                              nic ich nie zmieniło; z -n tylko wypisuje, co by usunęła\n"
        "  --history=KATALOG_FIRMY     wypisuje konwersje z dziennika katalogu firmy, od\n"
        "                              najnowszej: identyfikator, wynik (zakończona, zatrzymana,\n"
        "                              przerwana, cofnięta), plik eksportu i liczbę wpisów\n"
        "                              w każdym pliku, rozdzielone tabulatorami\n"
        "  --no-journal                konwersja bez dziennika i kopii plików: nie da się jej\n"
        "                              potem cofnąć\n"
        "  -h, --help                  ta pomoc\n"
        "  --version                   wersja programu i biblioteki Qt\n"
        "\n"
        "Kod wyjścia: 0 - plik eksportu przeczytany do końca; 1 - konwersja nie ruszyła albo\n"
        "przerwała się (brak pliku lub katalogu, nieodpowiednia wersja pliku, błąd pliku\n"
        "miesięcznego, błąd zapisu dziennika, nieudany zapis raportu; cofnięcie odmówione albo nie ma czego "
        "cofać);\n"
        "2 - błędny wiersz poleceń.\n"
        "\n"
        "Każda konwersja z zapisem prowadzi w katalogu firmy dziennik PRZENOSN.JRN, a kopie\n"
        "plików sprzed niej trzyma w PRZENOSN.BAK (z 20 ostatnich konwersji).\n");
}

} // namespace przenosnik
