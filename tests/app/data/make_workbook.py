# Writes the workbooks that the workbook reader's tests open, as other
# programs write them: through openpyxl (a spreadsheet library that shares
# no code with the program), or part by part with zipfile where a case needs
# a form openpyxl does not write (inline strings, phonetic guides, damage).
#   make_workbook.py <case> <path>
import sys
import zipfile

import openpyxl

case, path = sys.argv[1], sys.argv[2]


def by_openpyxl(rows, more_sheets=(), formats=None):
    book = openpyxl.Workbook()
    sheet = book.active
    sheet.title = "Keywords"
    for row in rows:
        sheet.append(row)
    for ref, number_format in (formats or {}).items():
        sheet[ref].number_format = number_format
    for title, other in more_sheets:
        extra = book.create_sheet(title)
        for row in other:
            extra.append(row)
    book.save(path)


CONTENT_TYPES = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">
<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>
<Default Extension="xml" ContentType="application/xml"/>
<Override PartName="/book/main.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>
</Types>"""
PACKAGE_RELS = """<?xml version="1.0" encoding="UTF-8"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="book/main.xml"/>
</Relationships>"""
# The workbook is not at xl/workbook.xml and its first sheet is not
# sheet1: both are found through the relationships.
WORKBOOK = """<?xml version="1.0" encoding="UTF-8"?>
<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"
 xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">
<sheets><sheet name="First" sheetId="2" r:id="rId7"/><sheet name="Second" sheetId="1" r:id="rId3"/></sheets>
</workbook>"""
WORKBOOK_RELS = """<?xml version="1.0" encoding="UTF-8"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
<Relationship Id="rId3" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="sheets/one.xml"/>
<Relationship Id="rId7" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="/book/sheets/../sheets/two.xml"/>
<Relationship Id="rId9" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="strings.xml"/>
</Relationships>"""
STRINGS = """<?xml version="1.0" encoding="UTF-8"?>
<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">
<si><t>No</t></si><si><t>Keywords</t></si>
<si><r><t>golf </t></r><r><rPr><b/></rPr><t>clubs</t></r><rPh sb="0" eb="1"><t>GORUFU</t></rPh></si>
<si><t xml:space="preserve"> caf\u00e9 &amp; cr\u00e8me </t></si>
</sst>"""
SHEET_HEAD = """<?xml version="1.0" encoding="UTF-8"?>
<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>"""
# Shared and inline strings, a formula's kept value, cells without a
# reference, an error value, a boolean, and an empty row.
SHEET = SHEET_HEAD + """
<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" t="s"><v>1</v></c><c t="inlineStr"><is><t>Searches</t></is></c><c t="inlineStr"><is><t>Google</t></is></c><c t="inlineStr"><is><t>Yahoo</t></is></c><c t="inlineStr"><is><t>Msn</t></is></c></row>
<row r="2"><c r="A2"><v>1</v></c><c r="B2" t="s"><v>2</v></c><c r="C2"><f>10*12</f><v>120</v></c><c r="D2" t="e"><v>#N/A</v></c><c r="F2" t="b"><v>1</v></c></row>
<row r="4"><c r="A4"><v>2</v></c><c r="B4" t="s"><v>3</v></c><c r="E4" t="str"><f>"x"&amp;"y"</f><v>xy</v></c></row>
<row r="5"><c r="A5"><v>3</v></c><c r="B5" t="inlineStr"><is><r><t>ten</t></r><r><t>nis</t></r><rPh><t>TENISU</t></rPh></is></c></row>
</sheetData></worksheet>"""
OTHER_SHEET = SHEET_HEAD + """<row r="1"><c r="A1" t="inlineStr"><is><t>not, this; one</t></is></c><c r="B1"><v>5</v></c></row></sheetData></worksheet>"""
DOCTYPE_SHEET = """<?xml version="1.0"?>
<!DOCTYPE worksheet [<!ENTITY a "aaaaaaaaaa"><!ENTITY b "&a;&a;&a;&a;&a;&a;&a;&a;">]>
<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>
<row r="1"><c t="inlineStr"><is><t>&b;</t></is></c></row></sheetData></worksheet>"""


def by_parts(sheet, compression=zipfile.ZIP_DEFLATED):
    with zipfile.ZipFile(path, "w", compression) as z:
        z.writestr("[Content_Types].xml", CONTENT_TYPES)
        z.writestr("_rels/.rels", PACKAGE_RELS)
        z.writestr("book/main.xml", WORKBOOK)
        z.writestr("book/_rels/main.xml.rels", WORKBOOK_RELS)
        z.writestr("book/strings.xml", STRINGS)
        z.writestr("book/sheets/one.xml", OTHER_SHEET)
        z.writestr("book/sheets/two.xml", sheet)


header = ["No", "Keywords", "Searches", "Google", "Yahoo", "Msn"]
if case == "reordered":
    by_openpyxl(
        [["Keywords", "msn", "NO", "Google", "Searches", "Yahoo"],
         ["golf clubs", 7, 1, 1230000, 120, None],
         ["tees", None, 2, 12.5, 1234, True]],
        more_sheets=[("Notes", [["a", "b", "c"]])],
        formats={"D2": "#,##0"})
elif case == "numbers_as_text":
    by_openpyxl([header, ["1", "golf", "120", "1,230,000", "007", ""]])
elif case == "list":
    by_openpyxl([["golf clubs"], [None], ["=SUM(1)"], [42]])
elif case == "wide":
    by_openpyxl([header, [1, "golf"], [2, "tees", None, None, None, None, "stray"]])
elif case == "parts":
    by_parts(SHEET)
elif case == "doctype":
    by_parts(DOCTYPE_SHEET)
elif case == "crc":
    # Stored, not deflated, so that a changed byte still unpacks: only the
    # checksum tells.
    by_parts(SHEET, zipfile.ZIP_STORED)
    data = bytearray(open(path, "rb").read())
    at = data.index(b"ten</t>")
    data[at] = ord("T")
    open(path, "wb").write(bytes(data))
else:
    sys.exit("unknown case " + case)
