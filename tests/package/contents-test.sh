#!/usr/bin/env bash
# Checks the built packages without installing them: the installers' tables (files,
# shortcut, product entry, upgrade rules, removal of the autostart value, the rules Windows'
# validation applies to a per-user package), the zip, the times they carry, the winget and
# Scoop manifests, and a signed build of them.
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
# Unix line ends. The binary columns' streams land in the current folder: $work.
export_tables() (
    local t
    cd "$work" || exit 1
    for t in Property File Component Directory Shortcut CustomAction InstallExecuteSequence \
        Upgrade LaunchCondition Registry RemoveFile Icon Binary; do
        msiinfo export "$1" "$t" 2>/dev/null | tr -d '\r' >"$work/$2.$t"
    done
    TZ=UTC msiinfo suminfo "$1" >"$work/$2.suminfo" 2>/dev/null
)
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
check "the installer's registry values stay out of the settings key" \
    bash -c "! grep -qiF 'Software\SOFTWARE\ZOREREV' '$work/$t.Registry'"
check "Apps & features: no Modify button" row $t Property ARPNOMODIFY 1
check "Apps & features: no Repair button" row $t Property ARPNOREPAIR 1

# The rules Windows' validation (ICE38, ICE43, ICE57, ICE64, ICE91) applies to a per-user
# package, read from the tables.
profile_folders='AppDataFolder|LocalAppDataFolder|ProgramMenuFolder|StartMenuFolder|StartupFolder|DesktopFolder|PersonalFolder|FavoritesFolder|SendToFolder|TemplateFolder|NetHoodFolder|PrintHoodFolder|RecentFolder|MyPicturesFolder'
machine_folders='ProgramFilesFolder|ProgramFiles64Folder|CommonFilesFolder|CommonFiles64Folder|CommonAppDataFolder|SystemFolder|System64Folder|System16Folder|WindowsFolder|WindowsVolume|FontsFolder|AdminToolsFolder|TempFolder'

# field ARCH TABLE N: the table's Nth field, one row a line.
field() {
    tail -n +4 "$work/$1.$2" | cut -f"$3"
}

# profile_dirs ARCH: the package's folders that lie in the user's profile.
profile_dirs() {
    awk -F'\t' -v profile="^($profile_folders)\$" 'NR > 3 { parent[$1] = $2 }
        END { for (d in parent) {
                  k = 0
                  for (p = d; p != "" && k++ < 100; p = parent[p])
                      if (p ~ profile) { print d; break }
              } }' "$work/$1.Directory"
}

# hkcu_keyed ARCH: the components whose key path is a registry value under HKCU.
hkcu_keyed() {
    awk -F'\t' 'FNR == NR { if (FNR > 3 && $2 == 1) hkcu[$1] = 1; next }
        FNR > 3 && int($4 / 4) % 2 == 1 && ($6 in hkcu) { print $1 }' \
        "$work/$1.Registry" "$work/$1.Component"
}

# outside LIST SET: the lines of LIST that are not lines of SET.
outside() {
    awk 'FNR == NR { set[$0] = 1; next } $0 != "" && !($0 in set)' \
        <(printf '%s\n' "$2") <(printf '%s\n' "$1") | sort -u | tr '\n' ' '
}

in_profile=$(profile_dirs $t)
bad=$(outside "$(awk -F'\t' 'FNR == NR { p[$0] = 1; next } FNR > 3 && ($3 in p) { print $1 }' \
    <(echo "$in_profile") "$work/$t.Component")" "$(hkcu_keyed $t)")
check "every component in the user's profile is keyed to an HKCU registry value${bad:+ (not: $bad)}" \
    test -z "$bad"
created=$(grep -vxE "$profile_folders" <<<"$in_profile")
bad=$(outside "$created" "$(awk -F'\t' 'NR > 3 && $3 == "" && ($5 == 2 || $5 == 3) { print $4 }' \
    "$work/$t.RemoveFile")")
check "every folder the package creates in the profile is removed at uninstall${bad:+ (left: $bad)}" \
    test -z "$bad"
bad=$(outside "$(field $t Shortcut 4)" "$(hkcu_keyed $t)")
check "the Start-menu shortcut's component is keyed to HKCU${bad:+ (not: $bad)}" test -z "$bad"
bad=$(grep -xE "$machine_folders" <(field $t Directory 1) | tr '\n' ' ')
check "no per-machine folder${bad:+ ($bad)}" test -z "$bad"
bad=$(field $t Registry 2 | grep -vx 1 | sort -u | tr '\n' ' ')
check "registry values under HKCU only${bad:+ (also roots $bad)}" test -z "$bad"

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

echo "-- one date for the build, nothing else of it"
date=$(sed -n 's/^VINTREL_BUILD_DATE:INTERNAL=//p' "$build/i686/CMakeCache.txt")
check "the build tree records its build date" test -n "$date"
date=${date:-0}

# pe_stamp FILE: the time stamp of a PE file's header, in seconds since 1970.
pe_stamp() {
    local header
    header=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
    od -An -tu4 -j$((header + 8)) -N4 "$1" | tr -d ' '
}
for f in i686/app/Vintrel.exe x86_64/app/Vintrel.exe i686/packaging/closer/VintrelCloser.exe \
    x86_64/packaging/closer/VintrelCloser.exe; do
    check "$f: its PE time stamp is the build date" test "$(pe_stamp "$build/$f")" = "$date"
done
when=$(date -u -d "@$date" '+%a %b %e %H:%M:%S %Y')
check "installer created at the build date" contains "$work/$t.suminfo" "Created: $when"
check "installer last saved at the build date" contains "$work/$t.suminfo" "Last saved: $when"
# at_build_date TIME...: each time (UTC, as date -d reads it) is the build date, to the two
# seconds of a DOS time.
at_build_date() {
    local t s
    [ $# -gt 0 ] || return 1
    for t; do
        s=$(date -u -d "$t" +%s) && [ $((s - date)) -ge -1 ] && [ $((s - date)) -le 1 ] || return 1
    done
}
msiinfo extract "$x86msi" Vintrel.cab >"$work/Vintrel.cab" 2>/dev/null
mapfile -t cab_times < <(cabextract -l "$work/Vintrel.cab" 2>/dev/null |
    sed -n 's/^ *[0-9]* | \(..\)\.\(..\)\.\(....\) \(..:..:..\) | .*/\3-\2-\1 \4/p')
check "installer's files carry the build date (UTC)" at_build_date "${cab_times[@]}"
mapfile -t zip_times < <(zipinfo -T "$zip" |
    sed -n 's/^-.* \(........\)\.\(..\)\(..\)\(..\) .*/\1 \2:\3:\4/p')
check "zip entries carry the build date (UTC)" at_build_date "${zip_times[@]}"
check "zip entries are in name order, plain files readable by all" \
    test "$(zipinfo "$zip" | awk '$1 ~ /^-/ { print $1, $9 }' | tr '\n' ' ')" = \
    "-rw-r--r-- LICENSE.txt -rw-r--r-- README.txt -rw-r--r-- Vintrel.exe "

echo "-- winget and Scoop manifests"
# Debian's Python, which has python3-yaml.
python=/usr/bin/python3
[ -x "$python" ] || python=python3
check "manifests follow their schemas and name the release files' hashes" \
    "$python" "$here/manifests.py" "$packages" "$version" "$(awk -F'\t' '$1 == "ProductCode" { print $2 }' "$work/$t.Property")"

echo "-- a signed build"
# unsigned FILE: the file carries no signature at all.
unsigned() {
    ! osslsigncode extract-signature -in "$1" -out "$work/extracted.sig" >/dev/null 2>&1
}
check "without a key the program is not signed" unsigned "$work/zip/Vintrel.exe"
signing=$work/signing
mkdir -p "$signing/msi"
# A throwaway code-signing certificate issued by a throwaway CA.
make_certificate() (
    cd "$signing" &&
        openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.pem -days 3650 \
            -subj "/CN=Vintrel test CA" -addext basicConstraints=critical,CA:true \
            -addext keyUsage=critical,keyCertSign &&
        openssl req -newkey rsa:2048 -nodes -keyout key.pem -out cert.csr -subj "/O=ZOREREV/CN=ZOREREV" &&
        openssl x509 -req -in cert.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 3650 \
            -out cert.pem -extfile <(printf 'keyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n')
) >"$signing/openssl.log" 2>&1
check "a throwaway code-signing certificate is made" make_certificate
signed_packages() {
    SIGN_KEY="$signing/key.pem" SIGN_CERT="$signing/cert.pem" \
        bash "$top/scripts/package.sh" --out "$signing/out" "$build" >"$signing/package.log" 2>&1
}
check "the packages are built signed" signed_packages
signed_msi="$signing/out/Vintrel-$version-x86.msi"
msiextract -C "$signing/msi" "$signed_msi" >/dev/null 2>&1
unzip -q -d "$signing" "$signing/out/Vintrel-$version-x86.zip" Vintrel.exe 2>/dev/null
for id in X86 X64; do
    msiinfo extract "$signed_msi" "Binary.Closer$id" >"$signing/Closer$id.exe" 2>/dev/null
done
# verify FILE: the signature holds with the throwaway CA; its output is kept beside the file.
verify() {
    osslsigncode verify -CAfile "$signing/ca.pem" -in "$1" >"$1.verify" 2>&1
}
signed=("$signed_msi" "$signing/Vintrel.exe" "$(find "$signing/msi" -name Vintrel.exe | head -n 1)"
    "$signing/CloserX86.exe" "$signing/CloserX64.exe")
for f in "${signed[@]}"; do
    check "signed: ${f#"$signing/"} verifies" verify "${f:-/nonexistent}"
done
check "the signing time is the build date" \
    contains "$signing/Vintrel.exe.verify" "Signing time: $(date -u -d "@$date" '+%b %e %H:%M:%S %Y') GMT"
check "the signed zip's checksum is in its SHA256SUMS" bash -c "cd '$signing/out' &&
    sha256sum --quiet -c 'Vintrel-$version-SHA256SUMS.txt'"
# flip FILE OFFSET: a copy of the file with the byte at OFFSET inverted.
flip() {
    perl -e 'my ($in, $at) = @ARGV; local $/; open(my $f, "<:raw", $in) or die; my $d = <$f>;
        substr($d, $at, 1) = chr(255 - ord(substr($d, $at, 1))); print $d;' "$1" "$2" >"$1.flipped"
}
flip "$signing/Vintrel.exe" 4096
refute "a flipped byte in the signed Vintrel.exe fails verification" verify "$signing/Vintrel.exe.flipped"
text_at=$(grep -obaF 'Vintrel desktop clock' "$signed_msi" | head -n 1 | cut -d: -f1)
flip "$signed_msi" "${text_at:-4096}"
refute "a flipped byte in the signed installer fails verification" verify "$signed_msi.flipped"

echo "-- a signing that fails"
# Over the files of an earlier run: a failed run leaves neither its own nor those.
failed=$signing/failed
mkdir -p "$failed"
cp -r "$x86msi" "$zip" "$sums" "$packages/winget" "$packages/scoop" "$failed/"
failed_packages() {
    SIGN_KEY="$signing/cert.pem" SIGN_CERT="$signing/cert.pem" \
        bash "$top/scripts/package.sh" --out "$failed" "$build" >"$signing/failed.log" 2>&1
}
refute "a key that is no key stops the packaging" failed_packages
check "the message names the file whose signing failed" \
    contains "$signing/failed.log" "signing Vintrel.exe failed"
check "no release file is left in the output folder (found: $(ls -A "$failed" | tr '\n' ' '))" \
    test -z "$(ls -A "$failed")"
finish
