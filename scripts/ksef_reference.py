"""The independent model of a run over KSeF invoices (FA(2), FA(3) XML), built on reference_run.py:
each invoice is written as the block the sales program would export for it, and the export model
books it. It follows the program's documented rules, not its code."""
import os
import re
import xml.etree.ElementTree as ET

import reference_run as ref

NAMESPACES = ("http://crd.gov.pl/wzor/2023/06/29/12648/", "http://crd.gov.pl/wzor/2025/06/25/13775/")
KSEF_NUMBER = re.compile(r"(?<![0-9A-Fa-f])[0-9]{10}-[0-9]{8}-[0-9A-Fa-f]{12}-[0-9A-Fa-f]{2}(?![0-9A-Fa-f])")
GROUPS = [("23", ["P_13_1"], "P_14_1"), ("8", ["P_13_2"], "P_14_2"), ("5", ["P_13_3"], "P_14_3"),
          ("4", ["P_13_4"], "P_14_4"), ("0", ["P_13_6_1", "P_13_6_2", "P_13_6_3"], None), ("-1", ["P_13_7"], None)]
NOT_SUBJECT = ["P_13_5", "P_13_8", "P_13_9", "P_13_10"]


def grosze(text):
    whole, _, frac = text.strip().lstrip("-").partition(".")
    value = int(whole) * 100 + int((frac + "00")[:2])
    return -value if text.strip().startswith("-") else value


def amount_text(value):
    return "%s%d.%02d" % ("-" if value < 0 else "", abs(value) // 100, abs(value) % 100)


def read_invoice(path):
    """(root, namespace) of a KSeF invoice, or (None, the remark of its rejection)."""
    with open(path, "rb") as f:
        data = f.read()
    if len(data) > 10 * 1024 * 1024:
        return None, "plik większy niż 10 MB"
    try:
        root = ET.fromstring(data)
    except ET.ParseError as error:
        return None, "błędny XML (wiersz %d)" % error.position[0]
    ns = root.tag[1:].split("}")[0] if root.tag.startswith("{") else ""
    if ns not in NAMESPACES or root.tag.split("}")[-1] != "Faktura":
        return None, "to nie jest faktura KSeF"
    return root, ns


class Invoice:
    def __init__(self, root, ns):
        self.root, self.ns = root, ns

    def find(self, path):
        node = self.root.find("/".join("{%s}%s" % (self.ns, p) for p in path.split("/")))
        return None if node is None else (node.text or "")

    def amount(self, name):
        text = self.find("Fa/" + name)
        return grosze(text) if text else 0

    def nip(self, party):
        return self.find(party + "/DaneIdentyfikacyjne/NIP") or ""


class KsefRun(ref.Run):
    def __init__(self, folder, names, o, company, files):
        super().__init__(b"", o, files)
        self.folder, self.names, self.company = folder, list(names), company
        self.rejected_files = []

    def read_header(self):
        self.trace.append("Faktury KSeF: %s" % self.o["input"])
        return 3

    def read_document(self):
        self.doc, self.cursor, self.nieop = [], 0, 0.0
        if not self.names:
            self.eof = True
            return False
        self.name = self.names.pop(0)
        root, ns = read_invoice(os.path.join(self.folder, self.name))
        if root is None:
            return self.reject(ns)
        inv = Invoice(root, ns)
        if inv.nip("Podmiot1") == self.company:
            self.kind, party, sign = 1, "Podmiot2", 1
        elif inv.nip("Podmiot2") == self.company:
            self.kind, party, sign = 2, "Podmiot1", -1
        else:
            return self.reject("faktura innej firmy")
        self.foreign = False

        def line(key, value):
            value = "".join(" " if ord(c) < 32 else c for c in value)
            raw = value.encode("cp1250", errors="replace")
            if raw.decode("cp1250") != value:
                self.foreign = True
            self.doc.append(("%s = " % key + raw.decode("cp1250"))[:255])

        line("anulowany", "0")
        line("rodzaj_dok", "sprzedaży" if self.kind == 1 else "zakupu")
        for key, path in (("kod", "Fa/P_2"), ("data", "Fa/P_1")):
            if inv.find(path) is not None:
                line(key, inv.find(path))
        for path in ("Fa/P_6", "Fa/OkresFa/P_6_Do", "Fa/P_1"):
            if inv.find(path) is not None:
                line("datasp", inv.find(path))
                break
        line("opis", inv.find("Fa/FaWiersz/P_7") or "")
        name = inv.find(party + "/DaneIdentyfikacyjne/Nazwa")
        if name is not None:
            line("khnazwa", name)
        address = " ".join(t for t in (inv.find(party + "/Adres/AdresL1"), inv.find(party + "/Adres/AdresL2")) if t)
        line("khadres", address)
        for key in ("khdom", "khlokal", "khmiasto", "khkodpocz"):
            line(key, "")
        ident = party + "/DaneIdentyfikacyjne/"
        nip = inv.find(ident + "NIP")
        if nip:
            line("khnip", nip)
        elif inv.find(ident + "NrVatUE"):
            line("khnip", inv.find(ident + "KodUE") + inv.find(ident + "NrVatUE"))
        elif inv.find(ident + "NrID"):
            line("khnip", (inv.find(ident + "KodKraju") or "") + inv.find(ident + "NrID"))
        else:
            line("khnip", "")
        line("plattermin", inv.find("Fa/Platnosc/TerminPlatnosci/Termin") or "")
        net = vat = 0
        registers = []
        for rate, nets, tax in GROUPS:
            n = sum(inv.amount(p) for p in nets)
            v = inv.amount(tax) if tax else 0
            if n or v:
                net, vat = net + n, vat + v
                registers += ["Rejestr{", "\tstawka = " + rate, "\tnetto = " + amount_text(sign * n),
                              "\tvat = " + amount_text(sign * v), "}"]
        nieop = sum(inv.amount(p) for p in NOT_SUBJECT)
        line("netto", amount_text(net + nieop))
        line("vat", amount_text(vat))
        line("typ_rejestru_vat", "1")
        self.doc += registers
        self.nieop = sign * nieop / 100.0

        kind, currency = inv.find("Fa/RodzajFaktury"), inv.find("Fa/KodWaluty")
        self.skip = None
        if kind in ("ZAL", "KOR_ZAL"):
            self.skip = "faktura zaliczkowa"
        elif kind in ("ROZ", "KOR_ROZ"):
            self.skip = "faktura rozliczeniowa"
        elif kind not in ("VAT", "UPR", "KOR"):
            self.skip = "rodzaj faktury %s" % kind
        elif currency != "PLN":
            self.skip = "waluta %s" % currency
        elif inv.amount("P_13_11") or inv.find("Fa/Adnotacje/PMarzy/P_PMarzy") == "1":
            self.skip = "procedura marży"
        self.extra = (["korekta"] if kind == "KOR" else []) + (["OSS"] if inv.amount("P_13_5") else []) \
            + (["znaki spoza strony kodowej"] if self.foreign else [])
        return True

    def reject(self, remark):
        self.rejected[1] += 1
        self.rejected_files.append((self.name, remark))
        return False

    def not_subject_net(self):
        return self.nieop

    def before_mapping(self):
        self.trace.append("Plik: %s" % self.name)

    def after_mapping(self):
        remarks = self.result["remarks"]
        if self.skip:
            self.trace.append(" * %s - dokument pominięty *" % self.skip)
            remarks.append(self.skip)
        remarks += [r for r in self.extra if r not in remarks]
        number = KSEF_NUMBER.search(self.name)
        if number:
            remarks.append("KSeF: " + number.group(0))
        return self.skip is None


def invoice_names(folder):
    return sorted(n for n in os.listdir(folder)
                  if n.lower().endswith(".xml") and os.path.isfile(os.path.join(folder, n)))


def company_nip(folder, names):
    """The one NIP that every invoice holds as seller or buyer, or None."""
    common = None
    for name in names:
        root, ns = read_invoice(os.path.join(folder, name))
        if root is None:
            continue
        inv = Invoice(root, ns)
        nips = {inv.nip("Podmiot1"), inv.nip("Podmiot2")} - {""}
        common = nips if common is None else common & nips
    return next(iter(common)) if common and len(common) == 1 else None


def simulate_run(path, shown, o, company=None, existing=None):
    """Runs the model over the invoice file, or the folder's invoices, as if named shown.
    Answers (exit code, the run), or (1, None) when the company's side is unknown."""
    if os.path.isdir(path):
        folder, names = path, invoice_names(path)
    else:
        folder, names = os.path.dirname(path), [os.path.basename(path)]
    company = company or company_nip(folder, names)
    if company is None:
        return 1, None
    files = {}
    for name, content in (existing or {}).items():
        files["%s/%s" % (o["dir"], name) if o["dir"] else name] = bytearray(content)
    run = KsefRun(folder, names, dict(o, input=shown), company, files)
    return run.run(), run
