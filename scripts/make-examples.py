#!/usr/bin/env python3
"""Writes the demo exports and company list of examples/ (Windows-1250, CR LF) and
the expected outputs of the command-line tests in tests/data/cli/, computed by the
independent model in reference_run.py. Run it again after changing an example."""
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import reference_run as ref  # noqa: E402
import ksef_reference as ksefref  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
EXAMPLES = os.path.join(ROOT, "examples")
CASES = os.path.join(ROOT, "tests", "data", "cli")


def header(version, period):
    return ["Info{",
            "\tNazwa programu =SAGE Symfonia Handel 2014.a",
            "\tOkres =%s" % period,
            "\tWersja szablonu =%d" % version,
            "\tFirma =Biuro Rachunkowe Bilans Anna Kowalczyk",
            "}",
            ""]


def document(kod, data, party, amounts, blocks, kind="sprzedaży", cancelled=0, opis="", datasp=None,
             termin=None, typ=1, older=False):
    name, street, house, flat, town, postal, nip = party
    net, vat = amounts
    lines = ["Dokument{",
             "\tanulowany = %d" % cancelled,
             "\trodzaj_dok = %s" % kind,
             "\tsymbol_dok = %s" % kod.split(" ")[0],
             "\tkod = %s" % kod,
             "\tdata = %s" % data,
             "\tdatasp = %s" % (datasp or data),
             "\topis = %s" % opis,
             "\tkhnazwa = %s" % name,
             "\tkhadres = %s" % (street if older else street),
             ]
    if not older:
        lines += ["\tkhdom = %s" % house, "\tkhlokal = %s" % flat]
    lines += ["\tkhmiasto = %s" % town,
              "\tkhkodpocz = %s" % postal,
              "\tkhnip = %s" % nip,
              "\tforma_platnosci = przelew",
              "\tplattermin = %s" % (termin or data),
              "\twaluta = PLN",
              "\tnetto = %.2f" % net,
              "\tvat = %.2f" % vat,
              "\tbrutto = %.2f" % (net + vat),
              "\ttyp_rejestru_vat = %d" % typ]
    for block in blocks:
        lines += ["\tRejestr{"] + ["\t\t%s = %s" % kv for kv in block] + ["\t}"]
    return lines + ["}"]


def sym(rate, net, vat):
    return [("stawka", rate), ("netto", "%.2f" % net), ("vat", "%.2f" % vat), ("brutto", "%.2f" % (net + vat))]


def older(groups, zero=0.0, exempt=0.0, outside=0.0):
    block = []
    for n, (rate, net, vat) in enumerate(groups, start=1):
        block += [("netto%d" % n, "%.2f" % net), ("vat%d" % n, "%.2f" % vat), ("stawka%d" % n, rate)]
    return block + [("netto0", "%.2f" % zero), ("nettoWolne", "%.2f" % exempt), ("nettoNieop", "%.2f" % outside)]


STOLARZ = ("Zakład Stolarski Jan Wiśniewski", "ul. Długa", "5", "3", "Kraków", "30-001", "676-101-12-34")
PIEKARNIA = ("Piekarnia Kłos s.c. Zofia Żak", "Al. Jana Pawła II", "12", "", "Łódź", "90-001", "725-200-33-44")
KSIEGARNIA = ("Księgarnia Źródło Małgorzata Ćwik", "Rynek Główny", "28", "", "Kraków", "31-010",
              "677-300-55-66")
ROLNIK = ("Gospodarstwo Rolne Stanisław Nowak", "Zielona", "7", "", "Sędziszów", "28-340", "656-120-00-11")
ZURAW = ("Przedsiębiorstwo Handlowo-Usługowe Żuraw Grzegorz Brzęczyszczykiewicz", "ul. Świętokrzyska", "14A",
         "7", "Warszawa", "00-050", "525-000-77-88")
ISKRA = ("Hurtownia Elektryczna Iskra Sp. z o.o.", "ul. Fabryczna", "2", "", "Wrocław", "50-001",
         "896-444-12-12")
STACJA = ("Stacja Paliw Pod Dębem Sp. j.", "Szosa Lubelska", "120", "", "Ożarów", "27-530", "863-500-60-70")
BIURO = ("Biuro Rachunkowe Bilans Anna Kowalczyk", "ul. Ogrodowa", "3", "1", "Kielce", "25-001",
         "657-999-00-01")
ZAKLAD_OLD = ("Zakład Ślusarski Edward Gęś", "ul. Kościuszki 15/2", "", "", "Poznań", "60-001", "778-100-20-30")
SKLEP_OLD = ("Sklep Spożywczy Żabka Tadeusz Łęcki", "Al. Niepodległości 8", "", "", "Gdańsk", "80-001",
             "583-200-30-40")
DRUK_OLD = ("Drukarnia Offsetowa Ćma", "Plac Wolności 1", "", "", "Opole", "45-001", "754-300-40-50")


def march_2014():
    docs = [
        document("FVS 1/03/2014", "2014-03-03", STOLARZ, (1250.00, 287.50), [sym(23, 1250.00, 287.50)],
                 opis="Sprzedaż mebli kuchennych", termin="2014-03-17"),
        document("FVS 2/03/2014", "2014-03-05", PIEKARNIA, (1900.00, 212.00),
                 [sym(23, 400.00, 92.00), sym(8, 1500.00, 120.00)], opis="Sprzedaż towarów"),
        document("FVS 3/03/2014", "2014-03-06", ROLNIK, (99.00, 22.77), [sym(23, 99.00, 22.77)],
                 cancelled=1, opis="Faktura anulowana"),
        document("FVS 4/03/2014", "2014-03-10", KSIEGARNIA, (400.00, 38.00),
                 [sym(5, 300.00, 15.00), sym(23, 100.00, 23.00)], opis="Książki i artykuły papiernicze"),
        document("FVS 5/03/2014", "2014-03-12", ROLNIK, (2150.00, 0.00),
                 [sym(0, 2000.00, 0.00), sym(-1, 150.00, 0.00)], opis="Dostawa wewnątrzwspólnotowa"),
        document("FVS 6/03/2014", "2014-03-14", BIURO, (12345.67, 2839.50), [sym(23, 12345.67, 2839.50)],
                 datasp="2014-03-13", termin="2014-03-28"),
        document("FVZ 17/03/2014", "2014-03-14", ISKRA, (-812.30, -186.83), [sym(23, 812.30, 186.83)],
                 kind="zakupu", opis="Zakup materiałów elektrycznych"),
        document("MM 4/03/2014", "2014-03-17", BIURO, (0.00, 0.00), [], kind="wewnętrzny",
                 opis="Przesunięcie międzymagazynowe"),
        document("FVS 7/03/2014", "2014-03-19", ZURAW, (3210.00, 738.33), [sym(23, 3210.00, 738.33)],
                 opis="Usługa montażu okien", termin="2014-04-02"),
        document("FVZ 233/2014/F", "2014-03-20", STACJA, (-650.41, -149.60), [sym(23, 650.41, 149.58)],
                 kind="zakupu", opis="Paliwo do samochodu firmowego"),
        document("FVS 8/03/2014", "2014-03-24", PIEKARNIA, (835.19, 66.82), [sym(8, 835.19, 66.79)],
                 opis="Sprzedaż mąki żytniej"),
        document("FVZ 0042/03/14", "2014-03-26", BIURO, (-500.00, -100.00),
                 [sym(23, 400.00, 92.00), sym(8, 100.00, 8.00)], kind="zakupu",
                 opis="Usługi księgowe za luty"),
        document("FVK 1/03/2014", "2014-03-28", STOLARZ, (-100.00, -23.00), [sym(23, -100.00, -23.00)],
                 opis="Korekta do FVS 1/03/2014"),
        document("FVS 9/03/2014", "2014-03-31", KSIEGARNIA, (57.00, 2.85), [sym(5, 57.00, 2.85)],
                 opis="Sprzedaż czasopism"),
    ]
    lines = header(3, "2014-03-01 - 2014-03-31")
    for doc in docs:
        lines += doc
    return lines


def january_2010():
    docs = [
        document("FVS 1/01/2010", "2010-01-04", ZAKLAD_OLD, (1000.00, 220.00),
                 [older([(22, 1000.00, 220.00), (7, 0, 0), (3, 0, 0), (0, 0, 0)])],
                 opis="Naprawa bramy wjazdowej", older=True),
        document("FVS 2/01/2010", "2010-01-08", SKLEP_OLD, (1535.50, 180.00),
                 [older([(22, 500.00, 110.00), (7, 1000.00, 70.00), (3, 0, 0), (0, 0, 0)], exempt=35.50)],
                 opis="Sprzedaż artykułów spożywczych", older=True),
        document("FVS 3/01/2010", "2010-01-11", DRUK_OLD, (300.00, 66.00),
                 [older([(22, 300.00, 66.00), (7, 0, 0), (3, 0, 0), (0, 0, 0)])],
                 cancelled=1, opis="Faktura anulowana", older=True),
        document("FVS 4/01/2010", "2010-01-15", DRUK_OLD, (2480.00, 74.40),
                 [older([(22, 0, 0), (7, 0, 0), (3, 2480.00, 74.40), (0, 0, 0)])],
                 opis="Druk ulotek", older=True),
        document("FVZ 12/2010", "2010-01-18", ZAKLAD_OLD, (-4500.00, -990.00),
                 [older([(22, 4500.00, 990.00), (7, 0, 0), (3, 0, 0), (0, 0, 0)])],
                 kind="zakupu", opis="Zakup wiertarki stołowej", older=True),
        document("R 1/01/2010", "2010-01-20", SKLEP_OLD, (120.00, 0.00), [], typ=0,
                 opis="Rachunek bez VAT", older=True),
        document("PZ 3/01/2010", "2010-01-22", SKLEP_OLD, (0.00, 0.00), [], kind="magazynowy", typ=0,
                 opis="Przyjęcie zewnętrzne", older=True),
        document("FVS 5/01/2010", "2010-01-29", SKLEP_OLD, (800.00, 0.00),
                 [older([(22, 0, 0), (7, 0, 0), (3, 0, 0), (0, 0, 0)], zero=800.00)],
                 datasp="2010-01-27", opis="", older=True),
    ]
    lines = header(2, "2010-01-01 - 2010-01-31")
    for doc in docs:
        lines += doc
    return lines


def write_export(path, lines):
    with open(path, "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("cp1250"))


def company(firma, katalog, info, codepage="852"):
    record = bytearray(103)
    for offset, width, raw in ((0, 31, ref.to_ledger(firma, codepage)), (32, 8, katalog.encode("ascii")),
                               (41, 10, ref.to_ledger(info, codepage))):
        record[offset] = len(raw)
        record[offset + 1:offset + 1 + len(raw)] = raw[:width]
    return bytes(record)


COMPANIES = [("Zakład Stolarski Wiśniewski", "STOLARZ", "KPR 2014"),
             ("Łódzka Piekarnia Kłos", "KLOS", "VAT mies."),
             ("Biuro Rachunkowe Bilans", "BILANS", "własna"),
             ("Lubelskie Sady Owocowe", "SADY", "ryczałt"),
             ("Apteka Pod Orłem", "APTEKA", ""),
             ("Księgarnia Źródło", "ZRODLO", "VAT kw.")]


def main():
    os.makedirs(EXAMPLES, exist_ok=True)
    write_export(os.path.join(EXAMPLES, "FVS0314.TXT"), march_2014())
    write_export(os.path.join(EXAMPLES, "FVS0110.TXT"), january_2010())
    with open(os.path.join(EXAMPLES, "SPISFIRM.DAT"), "wb") as f:
        f.write(b"".join(company(*c) for c in COMPANIES))


if __name__ == "__main__":
    main()


# --- expected outputs of the command-line tests ---------------------------------

def small_export(version, *blocks, mark=True, tail="\r\n"):
    lines = (["Eksport faktur", "Program =SAGE Symfonia" if mark else "Program =eksport"]
             + (["Wersja szablonu =%s" % version] if version is not None else []))
    for block in blocks:
        lines += block
    return ("\r\n".join(lines) + tail).encode("cp1250")


def sale(kod, data, netto="100.00", vat="23.00", blocks=(("23", "100.00", "23.00"),), kind="sprzedaży",
         extra=(), opis="Towar", numbered=False, typ=1):
    lines = ["Dokument{", "\tanulowany = 0", "\trodzaj_dok = %s" % kind] + list(extra) + [
        "\tkod = %s" % kod, "\tdata = %s" % data, "\tdatasp = %s" % data, "\topis = %s" % opis,
        "\tkhnazwa = Firma Żółć", "\tkhadres = ul. Polna", "\tkhdom = 1", "\tkhlokal = ",
        "\tkhmiasto = Łódź", "\tkhkodpocz = 90-001", "\tkhnip = 111-222-33-44",
        "\tplattermin = %s" % data, "\tnetto = %s" % netto, "\tvat = %s" % vat, "\ttyp_rejestru_vat = %d" % typ]
    n = "1" if numbered else ""
    for rate, net, tax in blocks:
        keys = (["\t\tstawka%s = %s" % (n, rate)] if rate is not None else []) + [
            "\t\tnetto%s = %s" % (n, net), "\t\tvat%s = %s" % (n, tax)]
        lines += ["\tRejestr{"] + keys + ["\t}"]
    return lines + ["}"]


def write_case(name, args, export=None, o=None, before=None, before_dirs=(), expect_code=None, stdout=None,
               stderr=None, stderr_nonempty=False, model_existing=None, report=None, summary=False,
               report_fails=False, ksef=None):
    """One case directory: args, exit, stdout.txt, stderr.txt, before/ and after/.
    report names the CSV report the run writes into @OUT@; summary: the totals are on stderr;
    report_fails: the report cannot be written, which turns the exit code to 1."""
    case = os.path.join(CASES, name)
    if os.path.isdir(case):
        for root, dirs, files in os.walk(case, topdown=False):
            for f in files:
                os.remove(os.path.join(root, f))
            for d in dirs:
                os.rmdir(os.path.join(root, d))
    os.makedirs(case, exist_ok=True)
    if export is not None:
        with open(os.path.join(case, "export.txt"), "wb") as f:
            f.write(export)
    code, out, written = expect_code, stdout, {}
    if o is not None:
        if ksef:
            # KSeF invoices: (the input as the arguments name it, the company's NIP or None)
            shown, company = ksef
            source = os.path.normpath(shown.replace("@CASE@", case))
            code, run = ksefref.simulate_run(source, shown, o, company, existing=model_existing or before)
        else:
            source = args_export_path(args, case)
            code, run = ref.simulate_run(source, o, existing=model_existing or before)
        out = "".join(line + "\n" for line in run.trace)
        written = {os.path.basename(p): bytes(v) for p, v in run.files.items()}
        if o.get("dry"):
            written = dict(before or {})
        if report:
            written[report] = ref.report_csv(run.results)
        if ksef and run.rejected_files:
            stderr = "".join("Pominięty plik %s: %s\n" % f for f in run.rejected_files)
        if summary:
            stderr = (stderr or "") + ref.summary(run)
        if report_fails:
            code = 1
    with open(os.path.join(case, "args"), "w", encoding="utf-8") as f:
        f.write("".join(a + "\n" for a in args))
    with open(os.path.join(case, "exit"), "w") as f:
        f.write("%d\n" % code)
    with open(os.path.join(case, "stdout.txt"), "w", encoding="utf-8", newline="") as f:
        f.write(out)
    if stderr is not None:
        with open(os.path.join(case, "stderr.txt"), "w", encoding="utf-8", newline="") as f:
            f.write(stderr)
    if stderr_nonempty:
        open(os.path.join(case, "stderr-nonempty"), "w").close()
    for sub, content in (("before", before or {}), ("after", written)):
        for fname, data in content.items():
            os.makedirs(os.path.join(case, sub), exist_ok=True)
            with open(os.path.join(case, sub, fname), "wb") as f:
                f.write(data)
    for d in before_dirs:
        os.makedirs(os.path.join(case, "before", d), exist_ok=True)
        open(os.path.join(case, "before", d, "PUSTY"), "w").close()
        os.makedirs(os.path.join(case, "after", d), exist_ok=True)
        open(os.path.join(case, "after", d, "PUSTY"), "w").close()


def args_export_path(args, case):
    for a in args:
        a = a.strip('"')
        if a.startswith("@EXAMPLES@/"):
            return os.path.join(EXAMPLES, a[len("@EXAMPLES@/"):])
        if a == "@CASE@/export.txt":
            return os.path.join(case, "export.txt")
    raise ValueError(args)


def cases():
    march, january = "@EXAMPLES@/FVS0314.TXT", "@EXAMPLES@/FVS0110.TXT"
    export = "@CASE@/export.txt"
    write_case("march-dry-run", ["-n", march], o=ref.options(dry=True))
    write_case("march", [march, "@OUT@"], o=ref.options())
    write_case("report-not-written", ["-n", march, "--report=@OUT@/BRAK/raport.csv"], o=ref.options(dry=True),
               stderr='Błąd zapisu raportu "@OUT@/BRAK/raport.csv"\n', report_fails=True)
    write_case("march-report", ["-n", march, "--summary", "--report=@OUT@/raport.csv"],
               o=ref.options(dry=True, dir=""), report="raport.csv", summary=True)
    write_case("march-mazovia-options",
               ["--codepage=maz", "--postal-code", "--attribute=K", "--register=S",
                "--description=Sprzedaż towarów i usług", "--always-description", march, "@OUT@"],
               o=ref.options(codepage="maz", postal=True, attribute="K", register="S",
                             description="Sprzedaż towarów i usług", always=True))
    write_case("january-older-layout", ["--no-sym2006", "--no-szablon31", january, "@OUT@"],
               o=ref.options(sym2006=False, szablon31=False))
    write_case("january-as-szablon31", ["--no-sym2006", january, "@OUT@", "--dry-run"],
               o=ref.options(sym2006=False, dry=True))

    # The same export again into the directory the first run wrote: every invoice is already booked.
    _, _, booked = ref.simulate(os.path.join(EXAMPLES, "FVS0314.TXT"), ref.options())
    write_case("march-second-run", [march, "@OUT@"], o=ref.options(), before=booked)
    write_case("march-second-dry-run", ["-n", march, "@OUT@"], o=ref.options(dry=True), before=booked)
    write_case("march-second-run-report", [march, "@OUT@", "--summary", "--report=@OUT@/raport.csv"],
               o=ref.options(), before=booked, report="raport.csv", summary=True)
    write_case("march-skip-documents",
               [march, "@OUT@", "--skip-documents=3, 7-9", "--summary", "--report=@OUT@/raport.csv"],
               o=ref.options(excluded={3, 7, 8, 9}), report="raport.csv", summary=True)
    write_case("march-second-run-booked-again", ["--no-skip-duplicates", march, "@OUT@"],
               o=ref.options(skip=False), before=booked)

    # March, March, April, March, May: existing files of 1000, 57 records and 0 bytes.
    months = small_export(3, sale("A/1", "2014-03-02"), sale("A/2", "2014-03-09"), sale("B/1", "2014-04-01"),
                          sale("A/3", "2014-3-5"), sale("C/1", "2014-05-31"))
    partial = bytes(range(256)) * 3 + bytes(232)
    full = b"".join(struct.pack("<i", n) + bytes([0x5A]) * 396 for n in range(1, 58))
    write_case("existing-month-files", [export, "@OUT@"], export=months, o=ref.options(),
               before={"2014T305.3": partial, "2014T305.4": full, "2014T305.5": b""})
    write_case("existing-month-files-dry-run", ["-n", export, "@OUT@"], export=months,
               o=ref.options(dry=True), before={"2014T305.3": partial})

    # The second document's month cannot be opened: the first entry stays written, the count reads 2.
    two = small_export(3, sale("L/1", "2014-02-27"), sale("M/1", "2014-03-03"), sale("M/2", "2014-03-04"))
    write_case("month-file-cannot-be-opened", [export, "@OUT@"], export=two,
               o=ref.options(unopenable={"@OUT@/2014T305.3"}), before_dirs=("2014T305.3",))
    write_case("report-after-stop", [export, "@OUT@", "--summary", "--report=@OUT@/Raport.CSV"], export=two,
               o=ref.options(unopenable={"@OUT@/2014T305.3"}), before_dirs=("2014T305.3",), report="Raport.CSV",
               summary=True)
    write_case("month-13", [export, "@OUT@"], export=small_export(3, sale("X/1", "2014-13-05"),
                                                                   sale("X/2", "2014-01-05")),
               o=ref.options())

    # Keys inside longer keys, a missing key losing the rest, sums off by 0.02 and 0.03, purchases.
    tricky = small_export(
        3,
        sale("K/1", "2014-06-02", extra=["\tkhkod = KONTRAHENT-7"]),
        [line for line in sale("K/2", "2014-06-03") if not line.startswith("\topis")],
        sale("K/3", "2014-06-04", netto="100.02", vat="23.02"),
        sale("K/4", "2014-06-05", netto="100.03", vat="23.03"),
        sale("K/5", "2014-06-06", kind="zakupu"),
        sale("K/6", "2014-06-07", kind="zakupu", netto="-150.00", vat="-19.50",
             blocks=(("8", "100.00", "8.00"), ("6", "50.00", "11.50"))),
        sale("K/7", "2014-06-08", kind="Sprzedaży"),
        ["Dokument{", "\tanulowany = tak", "\tinny = 1", "\tkod = K/8", "\tdata = 2014-06-09",
         "\tdatasp = ", "\topis = ", "\tkhnazwa = Bez rodzaju", "\tkhadres = Aleja Róż 3",
         "\tkhdom = ", "\tkhlokal = ", "\tkhmiasto = Toruń", "\tkhnip = 9", "\tnetto = 5.00", "\tvat = 1.15", "\ttyp_rejestru_vat = 1", "\tRejestr{",
         "\t\tstawka = 23", "\t\tnetto = 5,00", "\t\tnetto = 5.00", "\t\tvat = 1.15", "\t}", "}"],
        sale("K/9", "2014-06-10", netto="60.00", vat="0.00",
             blocks=(("0", "10.00", "0.00"), ("-1", "20.00", "0.00"), ("", "30.00", "0.00"))),
    )
    write_case("lookups-and-sums", ["-n", export], export=tricky, o=ref.options(dry=True))
    write_case("lookups-and-sums-report", ["-n", export, "--report=@OUT@/raport.csv"], export=tricky,
               o=ref.options(dry=True, dir=""), report="raport.csv")
    write_case("lookups-and-sums-written", [export, "@OUT@", "--attribute=Ż", "--description=Domyślny opis"],
               export=tricky, o=ref.options(attribute="Ż", description="Domyślny opis"))

    # Ctrl-Z, a lone CR, blocks before the version line, a file ending inside a block.
    odd = small_export(3, sale("Z/1", "2014-07-01"), sale("Z/2", "2014-07-02"))
    odd = odd.replace(b"Firma \xbf", b"Fir\rma \xbf", 1)
    odd = small_export(None, sale("Z/0", "2014-07-01"))[:-2] + b"\r\n" + odd + b"\x1a" + b"\r\n".join(
        l.encode("cp1250") for l in sale("Z/3", "2014-07-03")) + b"\r\n"
    write_case("ctrl-z-and-lone-cr", ["-n", export], export=odd, o=ref.options(dry=True))
    cut = small_export(3, sale("E/1", "2014-08-01"), sale("E/2", "2014-08-02")[:-1])
    write_case("ends-inside-block", [export, "@OUT@"], export=cut, o=ref.options())

    # "SYM 2006" blocks with numbered keys: a block without its rate key keeps the rate before it,
    # and a VAT register type 0 means a document without VAT part.
    numbered = small_export(
        3,
        sale("N/1", "2014-09-01", netto="150.00", vat="19.00", numbered=True,
             blocks=(("23", "50.00", "11.50"), ("8", "90.00", "7.20"), (None, "10.00", "0.80"))),
        sale("N/2", "2014-09-02", netto="100.00", vat="23.00", numbered=True, typ=0, blocks=()),
        sale("N/3", "2014-09-03", netto="40.00", vat="0.00", numbered=True, blocks=((None, "40.00", "0.00"),)),
        sale("N/4", "2014-09-04", kind="zakupu", netto="-100.00", vat="-23.00", numbered=True, typ=0,
             blocks=(("23", "100.00", "23.00"),)),
    )
    write_case("sym2006-numbered-keys", ["--no-szablon31", export, "@OUT@"], export=numbered,
               o=ref.options(szablon31=False))
    # Amounts of a trillion or more are no amounts: no sum of them can overflow.
    huge = small_export(
        3,
        sale("H/1", "2014-10-01", netto="1e308", vat="23.00"),
        sale("H/2", "2014-10-02", netto="0.00", vat="0.00",
             blocks=(("23", "1.7976931348623157e308", "0.00"), ("23", "1.7976931348623157e308", "0.00"))),
        sale("H/3", "2014-10-03", netto="999999999999.99", vat="0.00",
             blocks=(("23", "999999999999.99", "1000000000000"),)),
    )
    write_case("amounts-out-of-range", [export, "@OUT@"], export=huge, o=ref.options())
    write_case("no-version-line", [export, "@OUT@"], export=small_export(None, sale("V/1", "2014-01-01")),
               o=ref.options())
    write_case("version-4", ["-n", export], export=small_export("4", sale("V/1", "2014-01-01")),
               o=ref.options(dry=True))
    write_case("report-without-documents", ["-n", export, "--report=@OUT@/raport.csv", "--summary"],
               export=small_export("4", sale("V/1", "2014-01-01")), o=ref.options(dry=True), report="raport.csv",
               summary=True)
    write_case("version-31-is-3", ["-n", export], export=small_export("3.1", sale("V/1", "2014-01-01")),
               o=ref.options(dry=True))
    write_case("version-not-a-digit", ["-n", export], export=small_export("x3", sale("V/1", "2014-01-01")),
               o=ref.options(dry=True), stderr_nonempty=True)

    write_case("missing-export-file", ["@OUT@/FVS9999.TXT", "@OUT@"], expect_code=1, stdout="",
               stderr='Nie ma pliku eksportu "@OUT@/FVS9999.TXT"\n')
    write_case("missing-company-directory", [march, "@OUT@/BRAK"], expect_code=1, stdout="",
               stderr='Nie ma katalogu firmy "@OUT@/BRAK"\n')
    write_case("quoted-export-file", ['"' + march + '"', "-n"], o=ref.options(dry=True))

    # --settings: the stored options of the window, overridden on the command line.
    ini = ("[MAIN]\r\nFormVersion=0\r\nRB_852_Checked=FALSE\r\nRB_MAZ_Checked=TRUE\r\n"
           "Edit_Atrybut_Text=P\r\nEdit_OPIS_Text=  Sprzedaż detaliczna  \r\nEdit_REJ_Text=R\r\n"
           "chb_kod_Checked=yes\r\nchb_Sym2006_Checked=TRUE\r\nchb_def_opis_Checked=Q\r\n"
           "chb_Szablon31_Checked=1\r\n\r\n[Inna]\r\nchb_kod_Checked=FALSE\r\n").encode("cp1250")
    write_case("settings-file", ["--settings=@CASE@/PRZENOSN.INI", "--codepage=852", "--register=", march,
                                 "@OUT@"], o=ref.options(postal=True, attribute="P",
                                                         description="Sprzedaż detaliczna"))
    with open(os.path.join(CASES, "settings-file", "PRZENOSN.INI"), "wb") as f:
        f.write(ini)

    # KSeF invoices: a folder of them, read as the sales program's export of the same invoices.
    ksef = "@CASE@/../../ksef"
    write_case("ksef-folder", ["--nip=6761011234", ksef, "@OUT@"], o=ref.options(), ksef=(ksef, "6761011234"))
    write_case("ksef-folder-report", ["--nip=676-101-12-34", "-n", "--report=@OUT@/raport.csv", ksef],
               o=ref.options(dry=True, dir=""), report="raport.csv", ksef=(ksef, "6761011234"))
    write_case("ksef-company-unknown", ["-n", ksef], expect_code=1, stdout="",
               stderr="Nie wiadomo, która strona faktur to ta firma: podaj NIP firmy.\n")
    one = "@CASE@/../../ksef/6761011234-20260306-2A3B4C5D6E7F-56.xml"
    write_case("ksef-single-file", ["--codepage=maz", one, "@OUT@"], o=ref.options(codepage="maz"),
               ksef=(one, None))

    listing = sorted(COMPANIES, key=lambda c: polish_key(c[0]))
    out = "".join("%s\t%s\t%s\t@EXAMPLES@/%s\n" % (firma, katalog, info, katalog) for firma, katalog, info in listing)
    write_case("companies", ["--companies=@EXAMPLES@/SPISFIRM.DAT"], expect_code=0, stdout=out)
    write_case("companies-directory", ["--companies=@EXAMPLES@"], expect_code=0, stdout=out)
    write_case("companies-missing", ["--companies=@OUT@/SPISFIRM.DAT"], expect_code=1, stdout="",
               stderr='Nie ma listy firm "@OUT@/SPISFIRM.DAT"\n')


POLISH = "aąbcćdeęfghijklłmnńoóprsśtuvwxyzźż"


def polish_key(text):
    return [(POLISH.index(ch.lower()) if ch.lower() in POLISH else 100 + ord(ch)) for ch in text]


if __name__ == "__main__":
    cases()
