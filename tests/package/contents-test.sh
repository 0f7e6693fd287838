#!/usr/bin/env bash
# Checks the built packages without installing them: the installers' tables (files,
# shortcut, product entry, upgrade rules, removal of the autostart value) and the zip.
# usage: contents-test.sh PACKAGE_DIR VERSION BUILD_ROOT
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
# shellcheck source=common.sh
. "$here/common.sh"

packages=$(cd "$1" && pwd) version=$2 build=$3
x86msi="$packages/Vintrel-$version-x86.msi"
zip="$packages/Vintrel-$version-x86.zip"
sums="$packages/Vintrel-$version-SHA256SUMS.txt"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for f in "$x86msi" "$zip" "$sums"; do
    check "$(basename "$f") exists" test -s "$f"
done
[ "$failures" -eq 0 ] || finish
check "checksums match the release files" bash -c "cd '$packages' && sha256sum --quiet -c '$sums'"

# export_tables MSI ARCH: writes the tables the checks read to $work/ARCH.TABLE, with
# Unix line ends.
export_tables() {
    local t
    for t in Property File Component Directory Shortcut CustomAction InstallExecuteSequence \
        Upgrade LaunchCondition Registry RemoveFile Icon Binary; do
        msiinfo export "$1" "$t" 2>/dev/null | tr -d '\r' >"$work/$2.$t"
    done
    msiinfo suminfo "$1" >"$work/$2.suminfo" 2>/dev/null
}
export_tables "$x86msi" x86

# row ARCH TABLE FIELD...: the table has a row that starts with these tab-separated fields.
row() {
    local file=$work/$1.$2 line
    shift 2
    line=$(printf '%s\t' "$@")
    grep -qF -- "$line" <(sed 's/$/\t/' "$file")
}

t=x86
check "x86 installer is built for Intel (32-bit)" contains "$work/$t.suminfo" "Template: Intel;1033"
# Bit 8 of the source type: the package needs no elevation.
source_type=$(sed -n 's/^Source: \([0-9]*\).*/\1/p' "$work/$t.suminfo")
check "package asks for no elevation" test $((${source_type:-0} & 8)) -eq 8
check "per-user install (no ALLUSERS)" bash -c "! grep -q '^ALLUSERS' '$work/$t.Property'"
check "product name" row $t Property ProductName Vintrel
check "product version" row $t Property ProductVersion "$version"
check "publisher" row $t Property Manufacturer ZOREREV
check "Add/Remove Programs icon" row $t Property ARPPRODUCTICON Vintrel.ico
check "icon stored" row $t Icon Vintrel.ico
check "stable upgrade code" row $t Property UpgradeCode "{D1771EE0-F451-4D4E-88B7-0AA736BDD007}"
check "install folder LocalAppData\\Programs\\Vintrel" \
    bash -c "grep -qP '^INSTALLDIR\tUserProgramsFolder\tVintrel$' '$work/$t.Directory' &&
             grep -qP '^UserProgramsFolder\tLocalAppDataFolder\tPrograms$' '$work/$t.Directory'"
check "installs Vintrel.exe" bash -c "cut -f3 '$work/$t.File' | grep -qx Vintrel.exe"
check "installs LICENSE.txt" bash -c "cut -f3 '$work/$t.File' | grep -qx LICENSE.txt"
check "Start-menu shortcut \"Vintrel\" to the program" \
    row $t Shortcut VintrelStartMenu ProgramMenuFolder Vintrel VintrelExecutable "[#VintrelExe]"
check "install folder removed at uninstall" row $t RemoveFile RemoveInstallDir VintrelExecutable
check "older and same versions are replaced" \
    bash -c "grep -P '^\{D1771EE0-F451-4D4E-88B7-0AA736BDD007\}\t0\.0\.0\t\t\t256\t' '$work/$t.Upgrade' >/dev/null"
check "RemoveExistingProducts scheduled" row $t InstallExecuteSequence RemoveExistingProducts ""
check "a newer installed version stops the install" row $t LaunchCondition "NOT NEWERVERSIONFOUND"
check "uninstall deletes the Run value \"Vintrel\"" contains "$work/$t.CustomAction" \
    'delete "HKCU\Software\Microsoft\Windows\CurrentVersion\Run" /v Vintrel /f'
check "only a real uninstall, not an upgrade, deletes it" \
    row $t InstallExecuteSequence RemoveAutoStart 'REMOVE~="ALL" AND NOT UPGRADINGPRODUCTCODE'
# The 64-bit closer is the one the installer test runs; the 32-bit one only on 32-bit Windows.
check "the 32-bit closer runs on 32-bit Windows before the files are checked" \
    row $t InstallExecuteSequence CloseClocksX86 "NOT VersionNT64" 1350
check "the 64-bit closer runs on 64-bit Windows before the files are checked" \
    row $t InstallExecuteSequence CloseClocksX64 VersionNT64 1351
for arch in X86 X64; do
    check "the $arch closer is carried and run from the installer" \
        bash -c "grep -q '^Closer$arch' '$work/$t.Binary' && grep -qP '^CloseClocks$arch\t66\tCloser$arch\t' '$work/$t.CustomAction'"
done
check "the installed clock is started after install and upgrade, not after uninstall" \
    row $t InstallExecuteSequence StartClock 'NOT REMOVE~="ALL"' 6700
check "the installer owns nothing under the Run key" \
    bash -c "! grep -qi 'CurrentVersion.Run' '$work/$t.Registry'"

mkdir -p "$work/msi" "$work/zip"
msiextract -C "$work/msi" "$x86msi" >/dev/null 2>&1
installed_exe=$(find "$work/msi" -name Vintrel.exe | head -n 1)
check "x86 installer carries the 32-bit build" cmp -s "${installed_exe:-/nonexistent}" \
    "$build/i686/app/Vintrel.exe"

check "zip holds exactly Vintrel.exe, LICENSE.txt, README.txt" \
    bash -c "test \"\$(unzip -Z1 '$zip' | sort | tr '\n' ' ')\" = 'LICENSE.txt README.txt Vintrel.exe '"
unzip -q -d "$work/zip" "$zip"
check "zip carries the 32-bit build" cmp -s "$work/zip/Vintrel.exe" "$build/i686/app/Vintrel.exe"
check "zip licence is LICENSE" bash -c "tr -d '\r' <'$work/zip/LICENSE.txt' | cmp -s - '$top/LICENSE'"
check "zip text files have Windows line ends" contains "$work/zip/README.txt" $'Starting the clock\r'
check "readme says how to start the clock" contains "$work/zip/README.txt" "double-click Vintrel.exe"
check "readme says to remove the autostart entry first" contains "$work/zip/README.txt" \
    'File > "Remove from Startup"'
finish
