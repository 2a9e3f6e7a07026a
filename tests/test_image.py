# SPDX-License-Identifier: MIT
"""The Windows executable, read rather than run: its header, manifest, version, DLLs and
signature; and the ZIP it is shipped in."""
import os
import re
import shutil
import subprocess
import zipfile
import xml.etree.ElementTree as ET
from pathlib import Path

import pytest

from conftest import HERE, given, need

try:
    import pefile
except ImportError:
    pefile = None

MACHINES = {"x86": (0x14C, 0x10B), "AMD64": (0x8664, 0x20B)}  # machine, PE32 or PE32+ magic
SYSTEM_DLL = re.compile(
    r"^(api-ms-|ext-ms-)|^(kernel32|msvcrt|ntdll|user32|advapi32|ucrtbase)\.dll$", re.I)
RT_MANIFEST = 24
ASM_V3 = "{urn:schemas-microsoft-com:asm.v3}"
COPYRIGHT = next(line for line in (HERE.parent / "LICENSE").read_text().splitlines()
                 if line.startswith("Copyright (c) "))[len("Copyright (c) "):]


@pytest.fixture(scope="module")
def exe(request):
    need(pefile, "the PE reader is missing (Debian: python3-pefile)")
    return Path(given(request, "exe"))


def load(path):
    return pefile.PE(str(path), fast_load=False)


def imports(pe):
    return [entry.dll.decode() for entry in getattr(pe, "DIRECTORY_ENTRY_IMPORT", [])]


def test_console_program_for_its_machine(exe, request):
    pe = load(exe)
    machine, magic = MACHINES[request.config.getoption("--machine")]
    assert (pe.FILE_HEADER.Machine, pe.OPTIONAL_HEADER.Magic) == (machine, magic)
    assert pe.OPTIONAL_HEADER.Subsystem == pefile.SUBSYSTEM_TYPE["IMAGE_SUBSYSTEM_WINDOWS_CUI"]


def test_hardened_as_windows_expects(exe, request):
    pe = load(exe)
    wanted = {"IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE", "IMAGE_DLLCHARACTERISTICS_NX_COMPAT",
              "IMAGE_DLLCHARACTERISTICS_TERMINAL_SERVER_AWARE"}
    x64 = request.config.getoption("--machine") == "AMD64"
    if x64:
        wanted.add("IMAGE_DLLCHARACTERISTICS_HIGH_ENTROPY_VA")
    flags = {name for name, value in pefile.DLL_CHARACTERISTICS.items()
             if isinstance(name, str) and pe.OPTIONAL_HEADER.DllCharacteristics & value}
    assert wanted <= flags
    assert x64 or not pe.FILE_HEADER.IMAGE_FILE_LARGE_ADDRESS_AWARE, "32 bits: 2 GiB at most"
    assert pe.FILE_HEADER.TimeDateStamp == 0, "a time stamp makes every build differ"


def test_manifest_asks_for_no_elevation(exe):
    pe = load(exe)
    manifests = [t for t in pe.DIRECTORY_ENTRY_RESOURCE.entries if t.id == RT_MANIFEST]
    assert len(manifests) == 1 and [e.id for e in manifests[0].directory.entries] == [1]
    data = manifests[0].directory.entries[0].directory.entries[0].data.struct
    xml = ET.fromstring(pe.get_data(data.OffsetToData, data.Size))
    levels = xml.findall(f".//{ASM_V3}requestedExecutionLevel")
    assert [(e.get("level"), e.get("uiAccess")) for e in levels] == [("asInvoker", "false")]


def test_version_resource_names_the_product(exe, request):
    pe = load(exe)
    strings, languages = {}, []
    for info in pe.FileInfo[0]:
        for table in getattr(info, "StringTable", []):
            strings.update({k.decode(): v.decode() for k, v in table.entries.items()})
        for var in getattr(info, "Var", []):
            languages += var.entry.values()
    version = request.config.getoption("--product-version")
    assert strings == {"CompanyName": "The hello authors",
                       "FileDescription": "Greets, then waits for a key", "FileVersion": version,
                       "InternalName": "hello", "OriginalFilename": "hello.exe",
                       "ProductName": "hello", "ProductVersion": version,
                       "LegalCopyright": f"Copyright (c) {COPYRIGHT}. MIT License."}
    fixed = pe.VS_FIXEDFILEINFO[0]
    numbers = [fixed.FileVersionMS >> 16, fixed.FileVersionMS & 0xFFFF, fixed.FileVersionLS >> 16]
    assert ".".join(map(str, numbers)) == version, "Explorer shows the version from these"
    assert languages == ["0x0409 0x04b0"], "English (United States), Unicode"


def test_every_dll_it_needs_lies_beside_it(exe):
    assert "libstdc++-6.dll" in imports(load(exe)), "the C++ runtime must be linked as a DLL"
    beside = {p.name.lower(): p for p in exe.parent.iterdir()}
    todo, seen = [exe], set()
    while todo:
        for dll in imports(load(todo.pop())):
            if SYSTEM_DLL.match(dll) or dll.lower() in seen:
                continue
            assert dll.lower() in beside, f"{dll} is needed but not beside {exe.name}"
            seen.add(dll.lower())
            todo.append(beside[dll.lower()])


def test_signing_adds_the_signature_and_nothing_else(exe, request, tmp_path):
    build = given(request, "build-dir")
    for tool in ("openssl", "osslsigncode"):
        need(shutil.which(tool), f"{tool} is missing (Debian: {tool})")
    key, cert, p12 = tmp_path / "key.pem", tmp_path / "cert.pem", tmp_path / "cert.p12"
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key,
                    "-out", cert, "-days", "1", "-subj", "/CN=hello throwaway",
                    "-addext", "extendedKeyUsage=codeSigning"], check=True, capture_output=True)
    subprocess.run(["openssl", "pkcs12", "-export", "-inkey", key, "-in", cert, "-out", p12,
                    "-passout", "pass:throw away"], check=True, capture_output=True)
    env = {k: v for k, v in os.environ.items() if not k.startswith("HELLO_SIGN_")}

    def install(folder, **signing):  # as cpack does for the ZIP: stripped, at the commit's time
        done = subprocess.run(["cmake", "--install", build, "--prefix", tmp_path / folder,
                               "--strip"], check=True, capture_output=True,
                              env={**env, "SOURCE_DATE_EPOCH": "1796774400", **signing})
        install.said = done.stdout.decode()
        return tmp_path / folder / exe.name

    unsigned = install("unsigned", HELLO_SIGN_PKCS12="")  # empty, as CI passes a missing secret
    assert "Not signed" in install.said
    signed = install("signed", HELLO_SIGN_PKCS12=str(p12), HELLO_SIGN_PASSWORD="throw away")
    assert "hello throwaway" in install.said and "Signed:" in install.said, "the signer is named"
    verified = subprocess.run(["osslsigncode", "verify", "-CAfile", cert, "-in", signed],
                              capture_output=True)
    assert verified.returncode == 0, verified.stdout.decode(errors="replace")
    subprocess.run(["osslsigncode", "remove-signature", "-in", signed,
                    "-out", tmp_path / "removed.exe"], check=True, capture_output=True)
    assert (tmp_path / "removed.exe").read_bytes() == unsigned.read_bytes()
    assert not [*(tmp_path / "unsigned").rglob("password"), *Path(build).rglob("sign/password")]


def test_zip_holds_one_folder_with_all_a_user_needs(request):
    package = Path(given(request, "zip"))
    top = package.stem + "/"
    with zipfile.ZipFile(package) as z:
        assert all(name.startswith(top) for name in z.namelist()), "one folder, named as the ZIP"
        files = {name[len(top):]: z.read(name) for name in z.namelist() if not name.endswith("/")}
    dlls = [name for name in files if name.endswith(".dll")]
    assert dlls and set(files) == {"hello.exe", "README.txt", "LICENSE.txt", "RUNTIME-LICENSE.txt",
                                   "GPL-3.0.txt", "MINGW-W64-LICENSE.txt", *dlls}, "no bin/ in it"
    texts = {name: data.decode() for name, data in files.items() if name.endswith(".txt")}
    assert all("\n" not in text.replace("\r\n", "") for text in texts.values()), "Windows line ends"
    for name, source in (("LICENSE.txt", HERE.parent / "LICENSE"),
                         ("GPL-3.0.txt", Path("/usr/share/common-licenses/GPL-3"))):
        assert texts[name] == source.read_text().replace("\n", "\r\n")
    runtime = texts["RUNTIME-LICENSE.txt"]
    assert all(dll in runtime for dll in dlls), "the notice names every DLL it covers"
    assert "GCC RUNTIME LIBRARY EXCEPTION\r\n\r\nVersion 3.1" in runtime
    mingw = texts["MINGW-W64-LICENSE.txt"]  # the toolchain's package's own notices, whole
    assert "mingw-w64" in mingw and "License: ZPL-2.1" in mingw
    assert all("https://snapshot.debian.org/" in text for text in (runtime, mingw))
    words = (package.name, "certutil", "Get-FileHash", "SmartScreen")
    assert all(word in texts["README.txt"] for word in words)
