#!/usr/bin/env python3
"""corvida --watch --format jsonl on a model that a script saves again,
read back record by record as a script following it would. Run by ctest
with the executable's path."""
import json
import os
import select
import signal
import subprocess
import sys
import tempfile
import unittest

CORVIDA = sys.argv[1] if len(sys.argv) > 1 else "corvida"


def model(*objects):
    """A model of (name, faces, corners) objects, ending with Eof."""
    text = "Metasequoia Document\nFormat Text Ver 1.0\n"
    for name, faces, corners in objects:
        text += 'Object "%s" {\n\tvertex 4 {\n\t}\n\tface %d {\n' % (name, faces)
        text += "\t\t%d V(%s)\n" % (corners, " ".join(map(str, range(corners)))) * faces
        text += "\t}\n}\n"
    return (text + "Eof\n").encode()


def save(path, data):
    """Saves as modelling programs do: a new file renamed over the old."""
    with open(path + ".tmp", "wb") as f:
        f.write(data)
    os.rename(path + ".tmp", path)


class Watch(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.path = os.path.join(self.folder.name, "m.mqo")
        save(self.path, model(("a", 2, 4), ("b", 1, 3)))
        self.run_ = subprocess.Popen([CORVIDA, "--watch", "--format", "jsonl", self.path],
                                     stdout=subprocess.PIPE, stderr=subprocess.PIPE, bufsize=0)

    def tearDown(self):
        if self.run_.poll() is None:
            self.run_.kill()
            self.run_.wait()
        self.run_.stdout.close()
        self.run_.stderr.close()
        self.folder.cleanup()

    def records_until(self, kind):
        """The records up to and with the next one of kind; fails after 20 s
        of silence rather than hanging. Unbuffered, so that select sees
        every line not yet read."""
        records = []
        while not records or records[-1]["kind"] != kind:
            ready, _, _ = select.select([self.run_.stdout], [], [], 20)
            self.assertTrue(ready, "no record of kind %s came" % kind)
            line = self.run_.stdout.readline()
            self.assertTrue(line, "the output ended before a record of kind %s" % kind)
            records.append(json.loads(line))
        return records

    def test_each_save_is_reported_with_its_changes_and_sigterm_ends_it(self):
        first = self.records_until("total")
        # The report's names are as it joins them, quotes and all.
        self.assertEqual([(r["name"], r["faces"]) for r in first[:-1]], [('"a"', 2), ('"b"', 1)])
        save(self.path, model(("a", 3, 4), ("c", 1, 3)))
        again = self.records_until("changes")
        self.assertEqual(again[-2]["total"], 4)
        changes = again[-1]
        self.assertEqual(changes["path"], os.path.realpath(self.path))
        self.assertEqual(changes["objects"], [
            {"name": "a", "change": "changed", "faces": 1, "triangles": 2},
            {"name": "c", "change": "new", "faces": 1, "triangles": 1},
            {"name": "b", "change": "gone", "faces": -1, "triangles": -1},
        ])
        self.assertEqual(changes["total"], {"faces": 1, "triangles": 2})
        os.remove(self.path)
        self.assertEqual(self.records_until("gone")[-1]["path"], os.path.realpath(self.path))
        save(self.path, model(("a", 1, 3)))
        self.assertEqual(self.records_until("changes")[-1]["total"], {"faces": -3, "triangles": -6})
        self.run_.send_signal(signal.SIGTERM)
        self.assertEqual(self.run_.wait(20), 0)
        self.assertEqual(self.run_.stderr.read(), b"")

    def test_a_reader_that_goes_away_ends_it(self):
        self.records_until("total")
        self.run_.stdout.close()
        self.assertEqual(self.run_.wait(20), 0)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
