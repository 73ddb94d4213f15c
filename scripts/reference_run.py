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
            return False
        self.kind = -1
        line1 = self.doc[1] if len(self.doc) > 1 else ""
        found, value = self.line_text("rodzaj_dok =", line1)
        if found:
            self.kind = {"sprzedaży": 1, "zakupu": 2}.get(value, -1)
            return self.kind > 0
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
                # A value too large for a double is no amount; a value too
                # small for one is the zero it rounds to.
                if AMOUNT_RE.match(value) and abs(float(value)) != float("inf"):
                    return float(value)
                self.trace.append("Błąd określenia wartości DOUBLE")
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
                        digits = re.match(r"[0-9]*", text).group(0)
                        parts.append(int(digits) if digits else 0)
                    else:
                        parts.append(parse_int(text))
                year, month, day = parts
                return (day & 0xFF, month & 0xFF, year & 0xFFFF)
        return None

    # --- the entry -------------------------------------------------------
    def put_text(self, offset, capacity, raw):
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

        def text(key, offset, capacity, required):
            nonlocal missing
            value = self.find_text(key)
            if value is None:
                missing = missing or required
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
            missing = True
            date = (0, 0, 0)
        for offset in (10, 14, 18):
            self.put_date(offset, date)
        sale = self.find_date("datasp =")
        if sale is None:
            missing = True
        else:
            self.put_date(22, sale)
        text("opis =", 148, 36, False)
        text("khnazwa =", 74, 36, True)
        street = self.find_text("khadres =")
        if street is None:
            missing = True
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
        self.trace.append(" z dnia %2d-%2d-%4d na kwotę netto=%s, vat=%s"
                          % (day, month, year, money(kol1), money(header_vat)))

        g = dict.fromkeys(["n1", "v1", "n2", "v2", "n0", "nw", "n3", "v3", "n4", "v4", "nn"], 0.0)
        s = [0, 0, 0]
        if register_type == 0 and not o["szablon31"]:
            self.trace.append("dokument bez części VAT !")
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
                    missing = True
                else:
                    self.older_block(g)
            net_sum = g["n1"] + g["n2"] + g["n0"] + g["n4"] + g["n3"] + g["nw"] + g["nn"]
            vat_sum = g["v1"] + g["v2"] + g["v4"] + g["v3"]
            if round(abs(net_sum - kol1) * 100) > 2:
                self.trace.append(" BŁĄD: suma pozycji netto inna od nagłowka !")
                self.trace.append("kol[1].W=%s, SumaVgStawek=%s" % (money(kol1), money(net_sum)))
                kol1 = net_sum
            if round(abs(vat_sum - header_vat) * 100) > 2:
                self.trace.append(" BŁĄD: suma pozycji vat inna od nagłowka !")
        for key, offset in (("n1", 248), ("v1", 256), ("n2", 264), ("v2", 272), ("n0", 280), ("nw", 288),
                            ("n3", 296), ("v3", 304), ("n4", 312), ("v4", 320), ("nn", 328)):
            e[offset:offset + 8] = struct.pack("<d", g[key])
        e[352:358] = struct.pack("<hhh", *s)
        e[369:377] = struct.pack("<d", kol1)

        for offset, capacity in ((32, 22), (74, 36), (111, 36)):
            self.put_text(offset, capacity, to_ledger(self.get_text(offset), o["codepage"]))
        if not self.get_text(148) or o["always"]:
            self.put_text(148, 36, o["description"][:36].encode("cp1250"))
        self.put_text(148, 36, to_ledger(self.get_text(148), o["codepage"]))
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
            added = {}  # path -> the entries a dry run would have appended
            while True:
                if not self.read_document():
                    if self.eof:
                        break
                    continue
                self.trace.append("")
                accepted, (year, month) = self.map_document()
                if not accepted:
                    continue
                path = "%s/%dT305.%d" % (o["dir"], year, month)
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
                        continue
                count += 1
                if o["dry"]:
                    if o["skip"]:
                        added[path] = added.get(path, 0) + 1
                        booked[path].append((mine, len(self.files.get(path, b"")) // 400 + added[path]))
                    continue
                if not 1 <= month <= 12 or path in o.get("unopenable", ()):
                    self.trace.append("Błąd otwarcia pliku %s !" % path)
                    self.trace.append(" * błąd otwarcia okresu *")
                    exit_code = 1
                    break
                f = self.files.setdefault(path, bytearray())
                n = len(f) // 400
                self.e[0:4] = struct.pack("<i", n + 1)
                del f[400 * n:]
                f += self.e
                if o["skip"]:
                    booked[path].append((mine, n + 1))
            self.trace.append(" *** Ilość dokumentów %d" % count)
        self.trace.append(" *** Koniec procedury sprawdzającej (BEZ ZAPISU ) ***" if o["dry"]
                          else " *** Koniec przetwarzania ***")
        return exit_code


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
             description="", always=False, dry=False, dir="@OUT@", skip=True)
    o.update(given)
    return o


def simulate(export_path, o, existing=None):
    """Runs the model; answers (exit code, stdout text, {file name: bytes})."""
    files = {}
    for name, content in (existing or {}).items():
        files["%s/%s" % (o["dir"], name)] = bytearray(content)
    with open(export_path, "rb") as f:
        run = Run(f.read(), o, files)
    code = run.run()
    out = "".join(line + "\n" for line in run.trace)
    written = {os.path.basename(p): bytes(v) for p, v in files.items()}
    return code, out, written
