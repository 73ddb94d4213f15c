#!/usr/bin/env python3
"""Writes a realistic export file (Windows-1250, CR LF) of N documents for the benchmark.

Usage: make-bench-export.py N OUT [--older] [--mixed-months] [--year]

Sales and purchase invoices over three months (with --year: over the twelve months of
the year), in order of date (with --mixed-months each document falls into another month
than the one before it), Polish names and towns, one to three VAT
rates per invoice, a few cancelled and internal documents. Without --older the VAT part
is in repeated "Rejestr{" blocks with unnumbered keys (the default options); with
--older it is one block with numbered keys (run with --no-sym2006 --no-szablon31).
"""
import random
import sys

NAMES = ["Zakład Stolarski Jan Wiśniewski", "Piekarnia Kłos s.c. Zofia Żak", "Hurtownia Łąka Sp. z o.o.",
         "Usługi Remontowe Paweł Ćwik", "Sklep Spożywczy Źródełko", "Przedsiębiorstwo Ślusarskie Gęś",
         "Kancelaria Notarialna Małgorzata Nowak", "Apteka Pod Orłem", "Warsztat Samochodowy Bąk i Syn"]
STREETS = ["ul. Długa", "ul. Świętokrzyska", "Al. Jana Pawła II", "ul. Żeromskiego", "ul. Łąkowa", "pl. Rynek"]
TOWNS = [("Kraków", "30-001"), ("Łódź", "90-001"), ("Gdańsk", "80-001"), ("Poznań", "60-001"),
         ("Wrocław", "50-001"), ("Zielona Góra", "65-001"), ("Bielsko-Biała", "43-300")]
DESCRIPTIONS = ["Sprzedaż towarów", "Zakup materiałów biurowych", "Usługa transportowa", "Naprawa maszyn",
                "Sprzedaż mebli kuchennych", "Zakup paliwa"]
RATES = [(23, 0.23), (8, 0.08), (5, 0.05), (0, 0.0), (-1, 0.0)]


def money(value):
    return "%.2f" % value


def document(rng, number, count, older, mixed, months):
    if mixed:  # every document in another month than the one before
        month = 1 + number % months
        day = 1 + number % 28
    else:  # in order of date, as the exporter writes a quarter or a year
        share = (number - 1) * months / count
        month = 1 + int(share)
        day = 1 + int((share - int(share)) * 28)
    kind = "zakupu" if number % 3 == 2 else "sprzedaży"
    cancelled = 1 if number % 97 == 13 else 0
    if number % 101 == 7:
        kind = "wewnętrzny"
    town, postal = rng.choice(TOWNS)
    groups = rng.sample(RATES[:3], rng.randint(1, 2)) + ([rng.choice(RATES[3:])] if number % 5 == 0 else [])
    # Purchases carry their register amounts negative, so that they add up to the negated header.
    sign = -1 if kind == "zakupu" else 1
    parts = [(rate, round(rng.uniform(10, 20000), 2), share) for rate, share in groups]
    net = sum(p[1] for p in parts)
    vat = sum(round(p[1] * p[2], 2) for p in parts)
    date = "2014-%02d-%02d" % (month, day)
    lines = ["Dokument{", "\tanulowany = %d" % cancelled, "\trodzaj_dok = %s" % kind, "\tsymbol_dok = FVS",
             "\tkod = FVS %d/%02d/2014" % (number, month), "\tdata = " + date, "\tdatasp = " + date,
             "\topis = " + rng.choice(DESCRIPTIONS), "\tkhnazwa = " + rng.choice(NAMES),
             "\tkhadres = " + rng.choice(STREETS), "\tkhdom = %d" % rng.randint(1, 120),
             "\tkhlokal = %s" % (rng.randint(1, 40) if number % 2 else ""), "\tkhmiasto = " + town,
             "\tkhkodpocz = " + postal, "\tkhnip = %03d-%03d-%02d-%02d" % (
                 rng.randint(100, 999), rng.randint(100, 999), rng.randint(10, 99), rng.randint(10, 99)),
             "\tforma_platnosci = przelew", "\tplattermin = " + date, "\twaluta = PLN",
             "\tnetto = " + money(net), "\tvat = " + money(vat), "\tbrutto = " + money(net + vat),
             "\ttyp_rejestru_vat = 1"]
    if older:
        lines.append("\tRejestr{")
        by_rate = {rate: (n, round(n * share, 2)) for rate, n, share in parts}
        for index, rate in enumerate([22, 7, 3, 0], start=1):
            n, v = by_rate.get({22: 23, 7: 8, 3: 5, 0: None}[rate], (0.0, 0.0))
            lines += ["\t\tnetto%d = %s" % (index, money(sign * n)), "\t\tvat%d = %s" % (index, money(sign * v)),
                      "\t\tstawka%d = %d" % (index, rate)]
        lines += ["\t\tnetto0 = " + money(sign * by_rate.get(0, (0.0,))[0]),
                  "\t\tnettoWolne = " + money(sign * by_rate.get(-1, (0.0,))[0]), "\t\tnettoNieop = 0.00", "\t}"]
    else:
        for rate, n, share in parts:
            v = round(n * share, 2)
            lines += ["\tRejestr{", "\t\tstawka = %d" % rate, "\t\tnetto = " + money(sign * n),
                      "\t\tvat = " + money(sign * v), "\t\tbrutto = " + money(sign * (n + v)), "\t}"]
    lines.append("}")
    return lines


def main():
    args = [a for a in sys.argv[1:] if not a.startswith("--")]
    older = "--older" in sys.argv
    mixed = "--mixed-months" in sys.argv
    months = 12 if "--year" in sys.argv else 3
    count, out = int(args[0]), args[1]
    rng = random.Random(20140312 + count)
    lines = ["Info{", "\tNazwa programu =SAGE Symfonia Handel 2014.a", "\tOkres =2014-01-01 - 2014-%02d-%02d" % ((12, 31) if months == 12 else (3, 31)),
             "\tWersja szablonu =%d" % (2 if older else 3), "\tFirma =Biuro Rachunkowe Bilans", "}", ""]
    with open(out, "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("cp1250"))
        for number in range(1, count + 1):
            f.write(("\r\n".join(document(rng, number, count, older, mixed, months)) + "\r\n").encode("cp1250"))


if __name__ == "__main__":
    main()
