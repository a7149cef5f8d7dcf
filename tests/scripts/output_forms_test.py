#!/usr/bin/env python3
"""The output forms of corvida --stats and --report read back by real parsers:
Python's json and csv modules. Run by ctest with the executable's path."""
import csv
import io
import json
import os
import subprocess
import sys
import tempfile
import unittest

CORVIDA = sys.argv[1] if len(sys.argv) > 1 else "corvida"

# A hidden object named in Shift-JIS (帽子), a mirrored one whose name holds a
# comma and a quote-free "odd" byte, and a UTF-8 document named 한국어.
SJIS_MODEL = (
    b'Metasequoia Document\r\nMaterial 2 {\r\n\t"m0"\r\n\t"m1"\r\n}\r\n'
    b'Object "\x96\x58\x8e\x71" {\r\n\tvisible 0\r\n\tvertex 4 {\r\n\t}\r\n\tface 2 {\r\n'
    b'\t\t4 V(0 1 2 3) M(0)\r\n\t\t5 V(0 1 2 3 0) M(1)\r\n\t}\r\n}\r\n'
    b'Object "a,b\x81" {\r\n\tmirror 1\r\n\tmirror_axis 7\r\n\tvertex 3 {\r\n\t}\r\n\tface 1 {\r\n'
    b'\t\t3 V(0 1 2)\r\n\t}\r\n}\r\nEof\r\n'
)
UTF8_MODEL = (
    'Metasequoia Document\nCodePage utf8\nObject "한국어" {\n\tvertex 3 {\n\t}\n\tface 1 {\n'
    '\t\t3 V(0 1 2) M(0)\n\t}\n}\nEof\n'
).encode()
BROKEN_MODEL = b'Object "x" {\n\tface 1 {\n'


class OutputForms(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.TemporaryDirectory()
        cls.files = []
        for name, data in [("hat, \"quoted\".mqo", SJIS_MODEL), ("utf8.mqo", UTF8_MODEL), ("broken.mqo", BROKEN_MODEL)]:
            path = os.path.join(cls.folder.name, name)
            with open(path, "wb") as f:
                f.write(data)
            cls.files.append(path)

    @classmethod
    def tearDownClass(cls):
        cls.folder.cleanup()

    def run_corvida(self, *args):
        done = subprocess.run([CORVIDA, *args, *self.files], capture_output=True)
        return done.returncode, done.stdout.decode("utf-8"), done.stderr.decode("utf-8")

    def test_stats_json_is_one_document_with_every_file(self):
        status, out, err = self.run_corvida("--stats", "--format", "json", "--max-triangles", "3")
        self.assertEqual(status, 1, err)
        files = json.loads(out)["files"]
        self.assertEqual([f["path"] for f in files], self.files)
        hat, utf8, broken = files
        self.assertEqual(list(hat.keys()), ["path", "codepage", "objects", "totals", "material_entries", "warnings",
                                            "warnings_left_out", "over", "error", "error_line"])
        self.assertEqual(hat["codepage"], "cp932")
        first, second = hat["objects"]
        self.assertEqual((first["name"], first["faces"], first["triangles"], first["materials"], first["visible"]),
                         ("帽子", 2, 5, 2, False))
        self.assertNotIn("name_hex", first)
        self.assertEqual((second["name"], second["name_hex"]), ("a,b\ufffd", "612c6281"))
        self.assertEqual(second["mirror"], {"mode": 1, "axis": 7})
        self.assertEqual((second["exported_triangles"], second["exported_estimate"]), (8, False))
        self.assertEqual(hat["totals"]["visible"], {"objects": 1, "faces": 1, "triangles": 1, "vertices": 3,
                                                    "materials": 1, "exported_triangles": 8})
        self.assertEqual(hat["totals"]["hidden"]["triangles"], 5)
        self.assertEqual(hat["material_entries"], 2)
        self.assertEqual(hat["over"], [{"figure": "exported_triangles", "value": 8, "limit": 3}])
        self.assertEqual((utf8["codepage"], utf8["objects"][0]["name"], utf8["over"]), ("utf8", "한국어", []))
        self.assertEqual((broken["objects"], broken["totals"], broken["error_line"]), ([], None, 2))
        self.assertIn("ends inside", broken["error"])
        self.assertIn(f"corvida: {self.files[2]}:2: ", err)

    def test_stats_json_lines_give_a_record_per_object_and_per_file(self):
        status, out, _ = self.run_corvida("--stats", "--format", "jsonl", "--sort", "desc")
        self.assertEqual(status, 1)
        records = [json.loads(line) for line in out.splitlines()]
        self.assertEqual([r["kind"] for r in records], ["object", "object", "file", "object", "file", "file"])
        self.assertEqual([r["index"] for r in records[:2]], [0, 1])
        self.assertTrue(all("path" in r for r in records))
        self.assertEqual(records[2]["totals"]["visible"]["exported_triangles"], 8)
        self.assertIsNotNone(records[5]["error"])

    def test_stats_csv_quotes_names_and_paths(self):
        status, out, _ = self.run_corvida("--stats", "--format", "csv")
        self.assertEqual(status, 1)
        rows = list(csv.DictReader(io.StringIO(out, newline="")))
        self.assertEqual([r["kind"] for r in rows],
                         ["object", "object", "visible_total", "hidden_total", "object", "visible_total",
                          "hidden_total", "error"])
        self.assertEqual(rows[0]["path"], self.files[0])
        self.assertEqual((rows[1]["name"], rows[1]["name_hex"], rows[1]["exported_triangles"]), ("a,b\ufffd", "612c6281", "8"))
        self.assertEqual((rows[3]["objects"], rows[3]["triangles"]), ("1", "5"))
        self.assertEqual(rows[4]["name"], "한국어")
        self.assertIn("ends inside", rows[7]["error"])

    def test_report_forms_carry_the_reports_own_figures(self):
        status, out, _ = self.run_corvida("--report", "--format", "json")
        self.assertEqual(status, 0)
        hat, utf8, broken = json.loads(out)["files"]
        self.assertEqual([(o["name"], o["faces"]) for o in hat["objects"]], [('"帽子"', 2), ('"a,b\ufffd"', 1)])
        self.assertEqual((hat["total"], utf8["total"], broken["total"]), (3, 1, 1))
        status, out, _ = self.run_corvida("--report", "--format", "csv", "--sort", "asc")
        rows = list(csv.DictReader(io.StringIO(out, newline="")))
        self.assertEqual([(r["kind"], r["index"], r["faces"]) for r in rows[:3]],
                         [("object", "1", "1"), ("object", "0", "2"), ("total", "", "3")])
        status, out, _ = self.run_corvida("--report", "--format", "jsonl")
        records = [json.loads(line) for line in out.splitlines()]
        self.assertEqual([r["kind"] for r in records], ["object", "object", "total", "object", "total", "object", "total"])


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
