"""scripts/package: the texts as Notepad reads them, and where the zip puts them."""
import importlib.machinery
import importlib.util
import pathlib
import unittest

SCRIPT = pathlib.Path(__file__).resolve().parents[2] / "scripts" / "package"
loader = importlib.machinery.SourceFileLoader("package_script", str(SCRIPT))
module_entry = importlib.util.spec_from_loader("package_script", loader)
package = importlib.util.module_from_spec(module_entry)
loader.exec_module(package)


class NotepadText(unittest.TestCase):
    def test_line_ends_become_crlf_once(self):
        self.assertEqual(package.for_notepad(b"a\nb\r\nc\n"), b"a\r\nb\r\nc\r\n")

    def test_utf8_gets_its_mark_ascii_does_not(self):
        self.assertEqual(package.for_notepad("36 \u00d7 24\n".encode()), b"\xef\xbb\xbf36 \xc3\x97 24\r\n")
        self.assertEqual(package.for_notepad(b"plain\n"), b"plain\r\n")

    def test_a_mark_already_there_is_not_doubled(self):
        self.assertEqual(package.for_notepad("\ufeffN\u00b7s\n".encode()), b"\xef\xbb\xbfN\xc2\xb7s\r\n")

    def test_the_shipped_page_and_licence(self):
        page = package.for_notepad((package.ROOT / "docs" / "ZolkMFD.md").read_bytes())
        self.assertTrue(page.startswith(b"\xef\xbb\xbf"))
        self.assertEqual(page.count(b"\n"), page.count(b"\r\n"))
        self.assertGreater(page.count(b"\r\n"), 50)


class ZipLayout(unittest.TestCase):
    def test_nothing_at_the_root_and_the_licence_under_doc(self):
        dll = package.ROOT / "build" / "host-abi-x86" / "ZolkMFD.dll"
        if not dll.exists():
            self.skipTest("no host-ABI build")
        names = [name for name, _ in package.entries("host-abi-x86")]
        self.assertEqual(names, ["Modules/Plugin/ZolkMFD.dll", "Doc/ZolkMFD.md", "Doc/ZolkMFD-LICENSE.txt"])


if __name__ == "__main__":
    unittest.main()
