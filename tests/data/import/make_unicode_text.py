#!/usr/bin/env python3
"""Writes the statements that spreadsheet programs save as "Unicode text": UTF-16 with a byte order
mark, tab-separated, CRLF line ends, quotes only around fields that need them. Run it from anywhere;
the files land beside it."""
from pathlib import Path

HERE = Path(__file__).resolve().parent

# A German account sheet: a title row above the column titles, day-first dates, decimal commas.
GERMAN = [
    ["Kontoauszug März 2024", "", "", "", ""],
    ["Datum", "Name", "Verwendungszweck", "Betrag", "Bemerkung"],
    ["14.03.2024", "Metzgerei Müller", "Grillfleisch", "-23,40", ""],
    ["15.03.2024", "Café Olé", "Frühstück für zwei", "-18,90", 'Tisch "am Fenster"'],
    ["20.03.2024", "Musterfirma GmbH", "Gehalt März", "2.450,00", ""],
    ["28.03.2024", "Bücherstube", "Gutschein über 20 €", "-20,00", "Geschenk für Zoë"],
]

# An English one: ISO dates, separate money in and out columns, a balance to leave alone.
ENGLISH = [
    ["Transaction Date", "Description", "Name", "Money In", "Money Out", "Balance"],
    ["2024-05-02", "Coffee beans", "Café Olé", "", "12.50", "987.50"],
    ["2024-05-06", "Refund, returned kettle", "Müller & Söhne", "40.00", "", "1027.50"],
    ["2024-05-17", "Rent May", "Zoë Ångström", "", "750.00", "277.50"],
]


def field(text):
    if any(c in text for c in '\t"\r\n'):
        return '"' + text.replace('"', '""') + '"'
    return text


def write(name, rows, codec):
    text = "\ufeff" + "".join("\t".join(field(f) for f in row) + "\r\n" for row in rows)
    (HERE / name).write_bytes(text.encode(codec))


write("utf16le_unicode_text.txt", GERMAN, "utf-16-le")
write("utf16be_unicode_text.txt", ENGLISH, "utf-16-be")
