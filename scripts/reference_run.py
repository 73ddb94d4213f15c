"""A second, independent model of a conversion run, used to write the expected
outputs of the command-line tests: the trace (as przenosnik-cli prints it) and
the monthly ledger files. It follows the program's documented rules, not its code."""
import os
import re
import struct

MARK = "SAGE"

# Windows-1250 byte -> (Mazovia, code page 852) for the 28 letters the ledger knows.
W1250 = [185, 230, 234, 179, 241, 243, 156, 191, 159, 252, 235, 228, 246, 245,
         165, 198, 202, 163, 209, 211, 140, 175, 143, 220, 203, 196, 214, 213]
MAZOVIA = [134, 141, 145, 146, 164, 162, 158, 167, 166, 129, 137, 132, 148, 139,
           143, 149, 144, 156, 165, 163, 152, 161, 160, 154, 211, 142, 153, 138]
CP852 = [165, 134, 169, 136, 228, 162, 152, 190, 171, 129, 137, 132, 148, 139,
         164, 143, 168, 157, 227, 224, 151, 189, 141, 154, 211, 142, 153, 138]
ROWS = {"852": CP852, "maz": MAZOVIA}


def to_ledger(text, codepage):
    raw = text.encode("cp1250", errors="replace")[:255]
    row = ROWS[codepage]
    return bytes(row[W1250.index(b)] if b in W1250 else b for b in raw)


def trim(text):
    start, end = 0, len(text)
    while start < end and ord(text[start]) <= 32:
        start += 1
    while end > start and ord(text[end - 1]) <= 32:
        end -= 1
    return text[start:end]


def group(digits):
    # Every group of three whole digits separated by a blank, as desktops show amounts.
    groups = []
    while len(digits) > 3:
        groups.insert(0, digits[-3:])
        digits = digits[:-3]
    return " ".join([digits] + groups)


def number(value):
    text = "%.2f" % abs(value)
    whole, frac = text.split(".")
    sign = "-" if value < 0 and text != "0.00" else ""
    return sign + group(whole) + "," + frac


def money(value):
    return number(value) + " zł"


INT_RE = re.compile(r"^[+-]?[0-9]+$")
AMOUNT_RE = re.compile(r"^[+-]?[0-9]+(\.[0-9]+)?([eE][+-]?[0-9]+)?$")
MAX_AMOUNT = 1e12


def parse_int(text):
    if INT_RE.match(text) and -2**31 <= int(text) < 2**31:
        return int(text)
    return None


class VersionNotADigit(Exception):
    pass


class Run:
    def __init__(self, export_bytes, options, files):
        self.o = options
        self.files = files  # path -> bytearray, the monthly files
        self.trace = []
        data = export_bytes
        if b"\x1a" in data:
            data = data[:data.index(b"\x1a")]
        lines, current = [], bytearray()
        for b in data:
            if b == 0x0A:
                lines.append(bytes(current))
                current = bytearray()
            elif b != 0x0D:
                current.append(b)
        if current:
            lines.append(bytes(current))
        self.lines = [line.decode("cp1250") for line in lines]
        self.next = 0
        self.eof = False
        self.quiet = False
        self.version = -1
        self.results = []       # one per block let through, as the report lists them
        self.rejected = [0, 0]  # cancelled, neither sales nor purchase
        self.notes = set()

    # --- reading -------------------------------------------------------
    def read_line(self):
        self.eof = False
        if self.next >= len(self.lines):
            self.trace += ["", "Osiągnięto fizyczny koniec pliku "]
            self.eof = True
            return ""
        self.next += 1
        return self.lines[self.next - 1]

    @staticmethod
    def line_text(key, line):
        at = line.find(key)
        if at < 0:
            return False, ""
        return True, trim(line[at + len(key):][:255])

    def read_header(self):
        version = -1
        while True:
            line = self.read_line()
            if self.eof:
                return version
            if MARK in line:
                self.trace.append(trim(line))
            found, value = self.line_text("Wersja szablonu =", line)
            if found:
                if value:
                    if not value[0].isdigit() or not value[0].isascii():
                        raise VersionNotADigit()
                    version = int(value[0])
                self.trace.append(trim(line))
                return version

    def read_document(self):
        self.doc, self.cursor = [], 0
        while True:
            line = self.read_line()
            if self.eof:
                return False
            if line.startswith("Dokument{"):
                break
        while True:
            line = self.read_line()
            if self.eof:
                return False
            if line.startswith("\t"):
                self.doc.append(line[1:][:255])
            elif line.startswith("}"):
                break
        line0 = self.doc[0] if self.doc else ""
        found, value = self.line_text("anulowany =", line0)
        if found and parse_int(value) is not None and parse_int(value) != 0:
            self.rejected[0] += 1
            return False
        self.kind = -1
        line1 = self.doc[1] if len(self.doc) > 1 else ""
        found, value = self.line_text("rodzaj_dok =", line1)
        if found:
            self.kind = {"sprzedaży": 1, "zakupu": 2}.get(value, -1)
            if self.kind < 0:
                self.rejected[1] += 1
            return self.kind > 0
        return True

    # What a source of documents other than an export file adds (KSeF invoices).
    def not_subject_net(self):
        return 0.0

    def before_mapping(self):
        pass

    def after_mapping(self):
        return True

    # --- document lookups ------------------------------------------------
    def find_text(self, key):
        while self.cursor < len(self.doc):
            line = self.doc[self.cursor]
            self.cursor += 1
            found, value = self.line_text(key, line)
            if found:
                self.quiet = False
                return value
        if not self.quiet:
            self.trace.append('* nie odnaleziono "%s"' % key)
        self.quiet = False
        return None

    def find_integer(self, key):
        while self.cursor < len(self.doc):
            line = self.doc[self.cursor]
            self.cursor += 1
            found, value = self.line_text(key, line)
            if found and parse_int(value) is not None:
                return parse_int(value)
        return None

    def find_amount(self, key):
        while self.cursor < len(self.doc):
            line = self.doc[self.cursor]
            self.cursor += 1
            found, value = self.line_text(key, line)
            if found:
                # A value of a trillion or more (also one too large for a
                # double) is no amount; a value too small for a double is the
                # zero it rounds to.
                if AMOUNT_RE.match(value) and abs(float(value)) < MAX_AMOUNT:
                    return float(value)
                self.trace.append("Błąd określenia wartości DOUBLE")
                self.notes.add("błąd kwoty")
        return None

    def find_date(self, key):
        while self.cursor < len(self.doc):
            line = self.doc[self.cursor]
            self.cursor += 1
            found, value = self.line_text(key, line)
            if found:
                if not value:
                    return (0, 0, 0)
                parts = []
                for (start, end), name in (((0, 4), "ROKU"), ((5, 7), "MIESIĄCA"), ((8, 10), "DNIA")):
                    text = value[start:end]
                    if parse_int(text) is None:
                        self.trace.append('Błąd określenia %s w "%s"' % (name, value))
                        self.notes.add("błąd daty")
                        digits = re.match(r"[0-9]*", text).group(0)
                        parts.append(int(digits) if digits else 0)
                    else:
                        parts.append(parse_int(text))
                year, month, day = parts
                return (day & 0xFF, month & 0xFF, year & 0xFFFF)
        return None

    # --- the entry -------------------------------------------------------
    def put_text(self, offset, capacity, raw):
        if len(raw) > capacity and offset in CUT_NOTES:
            self.notes.add(CUT_NOTES[offset])
        n = min(len(raw), capacity)
        self.e[offset] = n
        self.e[offset + 1:offset + 1 + n] = raw[:n]

    def get_text(self, offset):
        return bytes(self.e[offset + 1:offset + 1 + self.e[offset]]).decode("cp1250")

    def put_date(self, offset, date):
        self.e[offset:offset + 4] = struct.pack("<BBH", *date)

    def map_document(self):
        o = self.o
        self.e = bytearray(400)
        e = self.e
        e[237], e[367] = 3, 2
        missing = False
        self.notes = set()

        def lacks(key):
            nonlocal missing
            if not missing:
                self.notes.add("brak klucza %s" % key)
            missing = True
        if o["attribute"]:
            e[236] = ord(o["attribute"][0]) & 0xFF
        if o["register"]:
            e[245] = ord(o["register"][0]) & 0xFF
        if self.kind == 1:
            e[242], e[368] = 1, 7
        elif self.kind == 2:
            e[242], e[368] = 7, 10
        else:
            self.trace.append("Nieokreślony typ rejestru !")
            self.notes.add("nieokreślony rodzaj")

        def text(key, offset, capacity, required):
            value = self.find_text(key)
            if value is None:
                if required:
                    lacks(key)
                return False
            self.put_text(offset, capacity, value.encode("cp1250"))
            return True

        def address(value, before):
            old = self.get_text(111)
            joined = trim(value + " " + old if before else old + " " + value)
            self.put_text(111, 36, joined.encode("cp1250"))

        text("kod =", 32, 22, True)
        date = self.find_date("data =")
        if date is None:
            lacks("data =")
            date = (0, 0, 0)
        for offset in (10, 14, 18):
            self.put_date(offset, date)
        sale = self.find_date("datasp =")
        if sale is None:
            lacks("datasp =")
        else:
            self.put_date(22, sale)
        text("opis =", 148, 36, False)
        text("khnazwa =", 74, 36, True)
        street = self.find_text("khadres =")
        if street is None:
            lacks("khadres =")
        else:
            # Upper-cased letter by letter, so that positions stay the same
            # ("ß".upper() would be two letters).
            upper = "".join(c.upper() if len(c.upper()) == 1 else c for c in street)
            at = upper.find("UL.")
            if at < 0:
                at = upper.find("AL.")
            if at >= 0:
                street = street[:at] + street[at + 3:]
            self.put_text(111, 36, trim(street).encode("cp1250"))
        if self.version == 3:
            for key in ("khdom =", "khlokal ="):
                value = self.find_text(key)
                if value is not None:
                    address(value, False)
        value = self.find_text("khmiasto =")
        if value is not None:
            address(value, True)
        if o["postal"]:
            value = self.find_text("khkodpocz =")
            if value is not None:
                address(value, True)
        text("khnip =", 55, 18, True)
        due = self.find_date("plattermin =")
        if due is not None:
            self.put_date(206, due)
        net = self.find_amount("netto =")
        kol1 = 0.0 if net is None else (-net if self.kind == 2 else net)
        vat = self.find_amount("vat =")
        header_vat = 0.0 if vat is None else (-vat if self.kind == 2 else vat)
        register_type = self.find_integer("typ_rejestru_vat =") or 0

        day, month, year = date
        self.trace.append("* Dokument nr:%s | Firma:%s | NIP:%s"
                          % (self.get_text(32), self.get_text(74), self.get_text(55)))
        self.trace.append("  %s" % self.get_text(111))
        shown = [self.get_text(offset) for offset in (32, 74, 55, 111)]
        self.trace.append(" z dnia %2d-%2d-%4d na kwotę netto=%s, vat=%s"
                          % (day, month, year, money(kol1), money(header_vat)))

        g = dict.fromkeys(["n1", "v1", "n2", "v2", "n0", "nw", "n3", "v3", "n4", "v4", "nn"], 0.0)
        g["nn"] = self.not_subject_net()
        s = [0, 0, 0]
        if register_type == 0 and not o["szablon31"]:
            self.trace.append("dokument bez części VAT !")
            self.notes.add("bez części VAT")
            kol1 += header_vat
            header_vat = 0.0
            e[237], e[242] = 1, 0
        else:
            if o["sym2006"]:
                w = {"rate": 0.0, "net": 0.0, "vat": 0.0}
                self.quiet = True
                while self.find_text("Rejestr{") is not None:
                    self.register_block(w, g, s)
                    self.quiet = True
            else:
                if self.find_text("Rejestr{") is None:
                    lacks("Rejestr{")
                else:
                    self.older_block(g)
            net_sum = g["n1"] + g["n2"] + g["n0"] + g["n4"] + g["n3"] + g["nw"] + g["nn"]
            vat_sum = g["v1"] + g["v2"] + g["v4"] + g["v3"]
            if round(abs(net_sum - kol1) * 100) > 2:
                self.trace.append(" BŁĄD: suma pozycji netto inna od nagłowka !")
                self.trace.append("kol[1].W=%s, SumaVgStawek=%s" % (money(kol1), money(net_sum)))
                self.notes.add("różnica netto")
                kol1 = net_sum
            if round(abs(vat_sum - header_vat) * 100) > 2:
                self.trace.append(" BŁĄD: suma pozycji vat inna od nagłowka !")
                self.notes.add("różnica VAT")
        for key, offset in (("n1", 248), ("v1", 256), ("n2", 264), ("v2", 272), ("n0", 280), ("nw", 288),
                            ("n3", 296), ("v3", 304), ("n4", 312), ("v4", 320), ("nn", 328)):
            e[offset:offset + 8] = struct.pack("<d", g[key])
        e[352:358] = struct.pack("<hhh", *s)
        e[369:377] = struct.pack("<d", kol1)

        texts = [self.get_text(offset) for offset in (32, 74, 111)]
        for offset, capacity in ((32, 22), (74, 36), (111, 36)):
            self.put_text(offset, capacity, to_ledger(self.get_text(offset), o["codepage"]))
        if not self.get_text(148) or o["always"]:
            self.put_text(148, 36, o["description"][:36].encode("cp1250"))
        texts.append(self.get_text(148))
        self.put_text(148, 36, to_ledger(self.get_text(148), o["codepage"]))
        if not is_calendar_date(date):
            self.notes.add("data spoza kalendarza")
        if any(ord(c) > 127 and c not in POLISH_LETTERS for text in texts for c in text):
            self.notes.add("znaki spoza strony kodowej")
        self.result = dict(kind=self.kind, texts=shown, date=date, state="pominięty", file="", position=None,
                           amounts=[g[k] for k in ("n1", "v1", "n2", "v2", "n3", "v3", "n4", "v4", "n0", "nw", "nn")]
                           + [kol1, g["v1"] + g["v2"] + g["v3"] + g["v4"]],
                           remarks=sorted(n for n in self.notes if n.startswith("brak klucza"))
                           + [token for token in REMARKS if token in self.notes])
        self.results.append(self.result)
        return not missing, (year, month)

    def register_block(self, w, g, s):
        if self.o["szablon31"]:
            keys = (("\tstawka =", self.find_amount), ("\tnetto =", self.find_amount), ("\tvat =", self.find_amount))
        else:
            keys = (("\tstawka1 =", self.find_integer), ("\tnetto1 =", self.find_amount),
                    ("\tvat1 =", self.find_amount))
        for (key, lookup), slot in zip(keys, ("rate", "net", "vat")):
            value = lookup(key)
            if value is not None:
                w[slot] = float(value)
        r = w["rate"]
        if 22 <= r <= 24:
            g["n1"] += w["net"]; g["v1"] += w["vat"]; s[0] = round(r * 100)
        elif 7 <= r <= 9:
            g["n2"] += w["net"]; g["v2"] += w["vat"]; s[1] = round(r * 100)
        elif 3 <= r <= 5:
            g["n3"] += w["net"]; g["v3"] += w["vat"]; s[2] = round(r * 100)
        elif r == 0:
            g["n0"] += w["net"]
        elif r == -1:
            g["nw"] += w["net"]
        else:
            self.trace.append("Nieokreślona stawka VAT = %s" % number(r))
            self.notes.add("nieokreślona stawka")
        self.find_text("}")

    def older_block(self, g):
        net = vat = 0.0
        for n, expected in ((1, 22), (2, 7), (3, None), (4, None)):
            value = self.find_amount("\tnetto%d =" % n)
            net = net if value is None else value
            value = self.find_amount("\tvat%d =" % n)
            vat = vat if value is None else value
            rate = self.find_integer("\tstawka%d =" % n)
            if rate is None:
                continue
            if expected is not None:
                if rate == expected:
                    g["n%d" % n], g["v%d" % n] = net, vat
                else:
                    self.trace.append("stawka %d%% - nie na swoim miejscu !" % expected)
                    self.notes.add("nieokreślona stawka")
            elif net != 0 or vat != 0:
                g["n%d" % n], g["v%d" % n] = net, vat
        for key, slot in (("\tnetto0 =", "n0"), ("\tnettoWolne =", "nw"), ("\tnettoNieop =", "nn")):
            value = self.find_amount(key)
            if value is not None:
                g[slot] = value

    # --- the run ---------------------------------------------------------
    def run(self):
        """Answers the exit code of przenosnik-cli."""
        o = self.o
        if o["dry"]:
            self.trace.append(" *** Procedura sprawdzająca (BEZ ZAPISU ) ***")
        try:
            self.version = self.read_header()
        except VersionNotADigit:
            return 1
        exit_code = 0
        if self.version not in (2, 3):
            self.trace.append(" *** Nieodpowiednia, różna od (2) lub (3) wersja pliku źródłowego *** ")
            exit_code = 1
        else:
            self.trace.append(" *** Rozpoczynam konwersję ...")
            count = 0
            booked = {}  # path -> [(invoice, position)], the file's records and this run's entries
            planned = {}  # path -> the position of the last entry a dry run would have appended
            while True:
                if not self.read_document():
                    if self.eof:
                        break
                    continue
                self.trace.append("")
                self.before_mapping()
                accepted, (year, month) = self.map_document()
                accepted = self.after_mapping() and accepted
                if not accepted:
                    continue
                if len(self.results) in o["excluded"]:
                    # Left out by the user: no file, no position, not counted.
                    self.trace.append(" * dokument wyłączony przez użytkownika - pominięty *")
                    self.result["state"] = "wyłączony"
                    continue
                name = "%dT305.%d" % (year, month)
                path = "%s/%s" % (o["dir"], name) if o["dir"] else name
                self.result["file"] = path
                mine = invoice(self.e)
                if o["skip"]:
                    if path not in booked:
                        f = self.files.get(path, b"")
                        booked[path] = [(invoice(f[400 * k:400 * k + 400]), k + 1)
                                        for k in range(len(f) // 400)]
                    match = min((p for i, p in booked[path] if same_invoice(i, mine)), default=0)
                    if match:
                        self.trace.append(" * dokument już jest w KPR: plik %s, pozycja %d - pominięty *"
                                          % (path, match))
                        self.result.update(state="duplikat", position=match)
                        self.result["remarks"].append("jak pozycja %d" % match)
                        continue
                count += 1
                if o["dry"]:
                    planned[path] = planned.get(path, len(self.files.get(path, b"")) // 400) + 1
                    self.result.update(state="do zapisu", position=planned[path])
                    if o["skip"]:
                        booked[path].append((mine, planned[path]))
                    continue
                if not 1 <= month <= 12 or path in o.get("unopenable", ()):
                    self.trace.append("Błąd otwarcia pliku %s !" % path)
                    self.trace.append(" * błąd otwarcia okresu *")
                    self.result["state"] = "niezapisany"
                    exit_code = 1
                    break
                f = self.files.setdefault(path, bytearray())
                n = len(f) // 400
                self.result["state"], self.result["position"] = "zapisany", n + 1
                self.e[0:4] = struct.pack("<i", n + 1)
                del f[400 * n:]
                f += self.e
                if o["skip"]:
                    booked[path].append((mine, n + 1))
            self.trace.append(" *** Ilość dokumentów %d" % count)
        self.trace.append(" *** Koniec procedury sprawdzającej (BEZ ZAPISU ) ***" if o["dry"]
                          else " *** Koniec przetwarzania ***")
        return exit_code


CUT_NOTES = {32: "obcięty numer", 74: "obcięta nazwa", 111: "obcięty adres", 148: "obcięty opis"}
POLISH_LETTERS = "ąćęłńóśźżĄĆĘŁŃÓŚŹŻ"
REMARKS = ["nieokreślony rodzaj", "bez części VAT", "nieokreślona stawka", "błąd kwoty", "błąd daty",
           "data spoza kalendarza", "różnica netto", "różnica VAT", "obcięty numer", "obcięta nazwa",
           "obcięty adres", "obcięty opis", "znaki spoza strony kodowej"]


def is_calendar_date(date):
    day, month, year = date
    if not (1 <= month <= 12 and 1 <= year <= 9999):
        return False
    leap = year % 4 == 0 and (year % 100 != 0 or year % 400 == 0)
    days = [31, 29 if leap else 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31][month - 1]
    return 1 <= day <= days


def reduced(text):
    # Blanks dropped, ASCII letters upper-cased, every other byte as it is.
    return bytes(c - 32 if 97 <= c <= 122 else c for c in text if c != 32)


def short_string(record, offset, capacity):
    return bytes(record[offset + 1:offset + 1 + min(record[offset], capacity)])


def invoice(record):
    """Date, number, NIP digits and name of a 400-byte record: what makes an invoice the same."""
    nip = bytes(c for c in short_string(record, 55, 18) if 48 <= c <= 57)
    return (bytes(record[18:22]), reduced(short_string(record, 32, 22)), nip,
            reduced(short_string(record, 74, 36)))


def same_invoice(a, b):
    if a[:2] != b[:2]:
        return False
    return a[2] == b[2] if a[2] and b[2] else a[3] == b[3]


def options(**given):
    o = dict(codepage="852", sym2006=True, szablon31=True, postal=False, attribute="", register="",
             description="", always=False, dry=False, dir="@OUT@", skip=True, excluded=())
    o.update(given)
    return o


def simulate(export_path, o, existing=None):
    """Runs the model; answers (exit code, stdout text, {file name: bytes})."""
    code, run = simulate_run(export_path, o, existing)
    out = "".join(line + "\n" for line in run.trace)
    written = {os.path.basename(p): bytes(v) for p, v in run.files.items()}
    return code, out, written


def simulate_run(export_path, o, existing=None):
    """Runs the model; answers (exit code, the run with its trace, files and results)."""
    files = {}
    for name, content in (existing or {}).items():
        files["%s/%s" % (o["dir"], name) if o["dir"] else name] = bytearray(content)
    with open(export_path, "rb") as f:
        run = Run(f.read(), o, files)
    return run.run(), run


# --- the saved report and the totals ------------------------------------------

AMOUNT_CAPTIONS = ["Netto 23/22%", "VAT 23/22%", "Netto 8/7%", "VAT 8/7%", "Netto 5/3%", "VAT 5/3%",
                   "Netto gr. 4", "VAT gr. 4", "Netto 0%", "Netto zw.", "Netto np.", "Netto razem", "VAT razem"]
KINDS = {1: "sprzedaż", 2: "zakup"}
KIND_ORDER = ["sprzedaż", "zakup", "nieokreślony"]
STATES = ["zapisany", "do zapisu", "pominięty", "niezapisany", "duplikat"]
OCCASIONAL_STATES = ["konflikt", "wyłączony", "cofnięty"]  # listed only when a document has them


def report_amount(value):
    text = ("%.2f" % value).replace(".", ",")
    return "0,00" if text == "-0,00" else text


def csv_field(text):
    if any(c in text for c in ';"\r\n'):
        return '"' + text.replace('"', '""') + '"'
    return text


def report_csv(results):
    """The CSV report of a run's results: bytes, UTF-8 with a byte-order mark."""
    lines = [["Lp", "Numer", "Data", "Rodzaj", "Kontrahent", "NIP"] + AMOUNT_CAPTIONS
             + ["Plik", "Pozycja", "Stan", "Uwagi"]]
    for ordinal, r in enumerate(results, start=1):
        day, month, year = r["date"]
        number, name, nip, _ = r["texts"]
        lines.append([str(ordinal), number, "%04d-%02d-%02d" % (year, month, day) if any(r["date"]) else "",
                      KINDS.get(r["kind"], "nieokreślony"), name, nip]
                     + [report_amount(a) for a in r["amounts"]]
                     + [os.path.basename(r["file"]), "" if r["position"] is None else str(r["position"]),
                        r["state"], ", ".join(r["remarks"])])
    text = "".join(";".join(csv_field(f) for f in line) + "\r\n" for line in lines)
    return b"\xef\xbb\xbf" + text.encode("utf-8")


def summary(run):
    """The totals as --summary prints them on standard error."""
    results = run.results
    written = [r for r in results if r["state"] in ("zapisany", "do zapisu")]
    counted = [r for r in results if r["state"] in ("zapisany", "do zapisu", "niezapisany")]
    lines = ["Bloków w pliku: %d" % (len(results) + sum(run.rejected)),
             "Anulowanych: %d" % run.rejected[0],
             "Innego rodzaju: %d" % run.rejected[1],
             "Dokumentów przeniesionych: %d" % len(counted)]
    lines += ["%s: %d" % (state, sum(r["state"] == state for r in results)) for state in STATES]
    lines += ["%s: %d" % (state, sum(r["state"] == state for r in results)) for state in OCCASIONAL_STATES
              if any(r["state"] == state for r in results)]

    def kind_line(kind, rows):
        sums = [0.0] * len(AMOUNT_CAPTIONS)
        for r in rows:
            sums = [s + a for s, a in zip(sums, r["amounts"])]
        return "  " + "; ".join(["%s: dokumentów %d" % (kind, len(rows))]
                                + ["%s %s" % (c, report_amount(v)) for c, v in zip(AMOUNT_CAPTIONS, sums)])

    files = []
    for r in written:
        if r["file"] not in files:
            files.append(r["file"])
    for path in files:
        lines.append("Plik %s" % path)
        for kind in KIND_ORDER:
            rows = [r for r in written if r["file"] == path and KINDS.get(r["kind"], "nieokreślony") == kind]
            if rows:
                lines.append(kind_line(kind, rows))
    lines.append("Razem")
    for kind in KIND_ORDER:
        lines.append(kind_line(kind, [r for r in written if KINDS.get(r["kind"], "nieokreślony") == kind]))
    return "".join(line + "\n" for line in lines)
