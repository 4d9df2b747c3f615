"""Reads an iCalendar file with the python icalendar library and prints one line per
VEVENT: UID, SUMMARY, CATEGORIES, DTSTART, DTEND, tab-separated, names escaped with
repr() so line breaks stay on one line. Also checks the physical line rules."""
import sys

import icalendar

data = open(sys.argv[1], "rb").read()
for line in data.split(b"\r\n")[:-1]:
    if len(line) > 75 or b"\n" in line or b"\r" in line:
        sys.exit("bad physical line: %r" % line)
if not data.endswith(b"\r\n"):
    sys.exit("missing final CRLF")

cal = icalendar.Calendar.from_ical(data)
if str(cal["VERSION"]) != "2.0" or "PRODID" not in cal:
    sys.exit("VERSION or PRODID missing")
for ev in cal.walk("VEVENT"):
    for required in ("UID", "DTSTAMP", "DTSTART", "DTEND", "SUMMARY"):
        if required not in ev:
            sys.exit("%s missing" % required)
    if ev["DTSTART"].params.get("VALUE") != "DATE":
        sys.exit("DTSTART is not a date")
    cats = ev.get("CATEGORIES")
    # Older versions of the library split the list at escaped commas too; joining the
    # pieces again gives the one category we write either way.
    category = ",".join(str(c) for c in cats.cats) if cats is not None else ""
    print("\t".join([str(ev["UID"]), repr(str(ev["SUMMARY"])), repr(category),
                     ev.decoded("DTSTART").isoformat(), ev.decoded("DTEND").isoformat()]))
