#!/usr/bin/env python3
"""Checks the winget and Scoop manifests package.sh wrote against the fields and patterns
their schemas (winget 1.10.0, Scoop's app manifest) require, and their hashes against
SHA256SUMS. Prints each failed check ("FAIL: ...") and exits 1 if there is one.
usage: manifests.py PACKAGE_DIR VERSION PRODUCT_CODE (the installer's, as msiinfo reads it)"""
import json
import re
import sys

import yaml

IDENTIFIER = r"^[^.\s\\/:*?\"<>|\x01-\x1f]{1,32}(\.[^.\s\\/:*?\"<>|\x01-\x1f]{1,32}){1,7}$"
VERSION = r"^[^\\/:*?\"<>|\x01-\x1f]+$"
LOCALE = r"^([a-zA-Z]{2,3}|[iI]-[a-zA-Z]+|[xX]-[a-zA-Z]{1,8})(-[a-zA-Z]{1,8})*$"
URL = r"^([Hh][Tt][Tt][Pp][Ss]?)://.+$"
SHA256 = r"^[A-Fa-f0-9]{64}$"
GUID = r"^\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\}$"
DATE = r"^\d{4}-\d{2}-\d{2}$"
MANIFEST_VERSION = r"^1\.10\.0$"

# What each winget file must hold: (path of keys, the schema's pattern or choice for its value
# as text). The values that come from the built files are compared with them in main().
COMMON = [
    (("PackageIdentifier",), IDENTIFIER),
    (("PackageVersion",), VERSION),
    (("ManifestVersion",), MANIFEST_VERSION),
]
WINGET = {
    "ZOREREV.Vintrel.yaml": COMMON + [
        (("ManifestType",), r"^version$"),
        (("DefaultLocale",), LOCALE),
    ],
    "ZOREREV.Vintrel.installer.yaml": COMMON + [
        (("ManifestType",), r"^installer$"),
        # What the package is: a per-user installer of the 32-bit program.
        (("InstallerType",), r"^msi$"),
        (("Scope",), r"^user$"),
        (("UpgradeBehavior",), r"^(install|uninstallPrevious|deny)$"),
        (("ReleaseDate",), DATE),
        (("Installers", 0, "Architecture"), r"^x86$"),
        (("Installers", 0, "InstallerUrl"), URL),
        (("Installers", 0, "InstallerSha256"), SHA256),
        (("Installers", 0, "AppsAndFeaturesEntries", 0, "DisplayName"), r"^.{1,256}$"),
        (("Installers", 0, "AppsAndFeaturesEntries", 0, "Publisher"), r"^.{1,256}$"),
        (("Installers", 0, "AppsAndFeaturesEntries", 0, "UpgradeCode"), GUID),
    ],
    "ZOREREV.Vintrel.locale.en-US.yaml": COMMON + [
        (("ManifestType",), r"^defaultLocale$"),
        (("PackageLocale",), LOCALE),
        (("Publisher",), r"^.{2,256}$"),
        (("PublisherUrl",), URL),
        (("PackageName",), r"^.{2,256}$"),
        (("PackageUrl",), URL),
        (("License",), r"^.{3,512}$"),
        (("ShortDescription",), r"^.{3,256}$"),
    ],
}
# Scoop's schema requires version, homepage and license.
SCOOP = [
    (("version",), r"^[\w\-.+_]+$"),
    (("homepage",), URL),
    (("url",), URL),
    (("hash",), SHA256),
    (("license",), r"^.+$"),
    (("bin",), r"\.exe$"),
    (("shortcuts", 0, 0), r"\.exe$"),
    (("shortcuts", 0, 1), r"^.+$"),
]
# Scoop's schema allows no other keys; settings live in the registry, so nothing persists.
SCOOP_KEYS = {"version", "description", "homepage", "license", "url", "hash", "bin",
              "shortcuts", "notes"}

checks = failures = 0


def report(ok, what):
    global checks, failures
    checks += 1
    if not ok:
        print("FAIL: " + what, file=sys.stderr)
        failures += 1


def lookup(doc, path):
    for key in path:
        try:
            doc = doc[key]
        except (KeyError, IndexError, TypeError):
            return None
    return doc


def check_fields(name, doc, table):
    for path, pattern in table:
        value = lookup(doc, path)
        where = name + ": " + ".".join(str(k) for k in path)
        report(isinstance(value, str) and re.search(pattern, value) is not None,
               f"{where} is text matching {pattern}" +
               ("" if isinstance(value, str) else f" (found {value!r})"))


def load(path, parse):
    try:
        with open(path, encoding="utf-8") as f:
            text = f.read()
        return text, parse(text)
    except (OSError, ValueError, yaml.YAMLError) as e:
        report(False, f"{path} parses: {e}")
        return None, None


def main():
    packages, version, product_code = sys.argv[1:4]
    sums = {}
    with open(f"{packages}/Vintrel-{version}-SHA256SUMS.txt", encoding="ascii") as f:
        for line in f:
            digest, _, name = line.strip().partition("  ")
            sums[name] = digest.lower()
    msi, zip_ = f"Vintrel-{version}-x86.msi", f"Vintrel-{version}-x86.zip"

    installer = None
    for name, table in WINGET.items():
        text, doc = load(f"{packages}/winget/{name}", yaml.safe_load)
        if doc is None:
            continue
        check_fields(name, doc, table)
        report(doc.get("PackageVersion") == version and
               re.search(rf"^PackageVersion: '{re.escape(version)}'$", text, re.M) is not None,
               f"{name}: PackageVersion is the quoted version {version}")
        if name.endswith(".installer.yaml"):
            installer = doc
    if installer is not None:
        entry = lookup(installer, ("Installers", 0)) or {}
        report(str(entry.get("InstallerSha256", "")).lower() == sums.get(msi),
               "winget InstallerSha256 is the installer's SHA256SUMS line")
        report(entry.get("InstallerUrl", "").endswith("/" + msi), f"winget InstallerUrl names {msi}")
        arp = lookup(entry, ("AppsAndFeaturesEntries", 0)) or {}
        report(entry.get("ProductCode") == product_code and arp.get("ProductCode") == product_code
               and arp.get("DisplayVersion") == version,
               f"winget installer and Apps & features entry have the installer's product code "
               f"{product_code} and the version")

    _, scoop = load(f"{packages}/scoop/vintrel.json", json.loads)
    if scoop is not None:
        check_fields("vintrel.json", scoop, SCOOP)
        report(scoop.get("version") == version, f"Scoop version is {version}")
        report(set(scoop) <= SCOOP_KEYS and "persist" not in scoop,
               f"Scoop manifest has only known keys and persists nothing ({sorted(scoop)})")
        report(str(scoop.get("hash", "")).lower() == sums.get(zip_),
               "Scoop hash is the zip's SHA256SUMS line")
        report(str(scoop.get("url", "")).endswith("/" + zip_), f"Scoop url names {zip_}")
    print(f"manifests: {checks - failures} of {checks} checks passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
