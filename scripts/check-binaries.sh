#!/usr/bin/env bash
# Checks the built executables with MinGW binutils:
#   - the shipped Vintrel.exe is a 32-bit (PE32, i386) GUI program;
#   - every .exe of both build trees imports Windows system DLLs only (no MinGW runtime);
#   - Vintrel.exe (both builds) and the benchmark's clock import exactly the DLLs that Windows
#     never takes from the program's folder: the others are loaded from the system folder;
#   - the shipped Vintrel.exe carries its manifest (with per-monitor DPI awareness), version
#     block, File menu, icon groups and Properties dialog; both icon groups share one set of
#     images.
#   scripts/check-binaries.sh SHIPPED_BUILD TEST_BUILD VERSION
# $VINTREL_SHIPPED_BUILD, when set, takes the place of SHIPPED_BUILD.
set -uo pipefail
shipped=${VINTREL_SHIPPED_BUILD:-${1:?shipped build tree}}
tests=${2:?test build tree}
version=${3:?version, e.g. 1.0.0.1}
objdump=i686-w64-mingw32-objdump
# The 64-bit objdump reads the import tables of both kinds of image.
imports_objdump=x86_64-w64-mingw32-objdump
windres=i686-w64-mingw32-windres
exe=$shipped/app/Vintrel.exe
failures=0

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
pass() { echo "ok: $*"; }

# expect DESCRIPTION COMMAND...: passes when the command succeeds.
expect() {
    local what=$1
    shift
    if "$@"; then
        pass "$what"
    else
        fail "$what"
    fi
}

# DLLs that come with every Windows the program supports.
system_dlls=" advapi32.dll bcrypt.dll comctl32.dll comdlg32.dll crypt32.dll dwmapi.dll gdi32.dll
    gdiplus.dll imm32.dll kernel32.dll msimg32.dll msvcrt.dll ntdll.dll ole32.dll oleaut32.dll
    rpcrt4.dll secur32.dll shell32.dll shlwapi.dll user32.dll uxtheme.dll version.dll
    wer.dll winmm.dll ws2_32.dll "
system_dlls=" $(tr -s '[:space:]' ' ' <<<"$system_dlls") "

check_header() {
    local f head
    f=$($objdump -f "$exe") || { fail "$exe: objdump cannot read it"; return; }
    head=$($objdump -p "$exe")
    expect "Vintrel.exe is an i386 image" grep -q 'file format pei-i386' <<<"$f"
    expect "Vintrel.exe is for machine i386" grep -q 'architecture: i386' <<<"$f"
    expect "Vintrel.exe is PE32" grep -Eq '^Magic[[:space:]]+010b[[:space:]]+\(PE32\)' <<<"$head"
    expect "Vintrel.exe is a GUI program" \
        grep -Eq '^Subsystem[[:space:]]+00000002[[:space:]]+\(Windows GUI\)' <<<"$head"
}

check_imports() {
    local file=$1 dll bad=0
    local names
    names=$($imports_objdump -p "$file" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr '[:upper:]' '[:lower:]')
    [ -n "$names" ] || { fail "$file: no imports found"; return; }
    for dll in $names; do
        case $dll in
        libstdc++* | libgcc* | libwinpthread*)
            fail "$file imports the MinGW runtime $dll"
            bad=1
            ;;
        *)
            if [[ $system_dlls != *" $dll "* ]]; then
                fail "$file imports $dll, not a Windows system DLL"
                bad=1
            fi
            ;;
        esac
    done
    [ $bad -eq 0 ] && pass "$file imports system DLLs only"
}

# The DLLs the clock imports: known DLLs, and comctl32.dll from the side-by-side store its
# manifest names. A planted DLL of any other name (wer, gdiplus, shell32, comdlg32, shcore)
# would be loaded at start if it were imported; those are loaded from the system folder.
clock_dlls="advapi32.dll comctl32.dll gdi32.dll kernel32.dll msvcrt.dll user32.dll"

# check_import_table FILE: FILE imports exactly the clock's DLLs.
check_import_table() {
    local file=$1 expected actual
    [ -f "$file" ] || { fail "$file not found"; return; }
    expected=$(tr -s '[:space:]' '\n' <<<"$clock_dlls" | sed '/^$/d' | sort | tr '\n' ' ')
    actual=$($imports_objdump -p "$file" | sed -n 's/^[[:space:]]*DLL Name: //p' |
        tr '[:upper:]' '[:lower:]' | sort -u | tr '\n' ' ')
    if [ "$actual" = "$expected" ]; then
        pass "$(basename "$file") imports $actual"
    else
        fail "$file imports $actual; expected $expected"
    fi
}

# Prints one resource of the decompiled script: its header line through its END.
resource() {
    awk -v head="$1" 'index($0, head) == 1 { on = 1 } on { print } on && /^END$/ { exit }' \
        "$rc"
}

expect_resource() {
    local what=$1 head=$2 expected=$3 actual
    actual=$(resource "$head")
    if [ "$actual" = "$expected" ]; then
        pass "$what"
    else
        fail "$what differs:"
        diff <(echo "$expected") <(echo "$actual") | sed 's/^/    /'
    fi
}

check_icon_group() {
    local id=$1 group
    group=$(resource "$id 14 /* RT_GROUP_ICON */")
    if ! grep -q 'Has 10 elements' <<<"$group"; then
        fail "icon group $id does not hold ten images"
        return
    fi
    local sizes
    sizes=$(grep -o '"\\[0-7]*\\[0-7]*\\000\\000", 1, 32,' <<<"$group" | cut -c2-5 | tr '\n' ' ')
    expect "icon group $id: 16 to 256 px at 32 bpp" \
        [ "$sizes" = '\020 \030 \040 \060 \100 \110 \120 \140 \200 \000 ' ]
}

# Prints "type id size" for each resource of the executable whose type and name are numbers.
resource_sizes() {
    local type name size
    $objdump -p "$exe" | awk '
        /Resource Directory section/ { on = 1; next }
        !on { next }
        /^$/ { exit }
        { gsub(/,/, "") }
        /^[0-9a-f]+   Entry: ID:/ { type = $4 }
        /^[0-9a-f]+     Entry: ID:/ { name = $4 }
        / Leaf: / { print type, name, $6 }' |
        while read -r type name size; do
            [[ "$type $name $size" =~ ^0x[0-9a-f]+\ 0x[0-9a-f]+\ 0x[0-9a-f]+$ ]] &&
                echo "$((type)) $((name)) $((size))"
        done
}

# The tray group (108) is a directory of its own over the images of the main group (128):
# both directories are the same, and the RT_ICON images are exactly the ones they list.
check_shared_icons() {
    local main tray listed stored
    main=$(resource "128 14 /* RT_GROUP_ICON */" | tail -n +2)
    tray=$(resource "108 14 /* RT_GROUP_ICON */" | tail -n +2)
    expect "icon groups 128 and 108 reference the same images" [ -n "$main" -a "$main" = "$tray" ]
    listed=$(sed -n 's/^ *"[^"]*", 1, 32, 0x\([0-9a-f]*\)L, \([0-9]*\),\{0,1\}\t.*/\2 \1/p' <<<"$main" |
        while read -r id bytes; do echo "$id $((16#$bytes))"; done | sort -n)
    stored=$(resource_sizes | awk '$1 == 3 { print $2, $3 }' | sort -n)
    if [ -n "$listed" ] && [ "$listed" = "$stored" ]; then
        pass "the ten icon images are stored once, with the sizes the groups list"
    else
        fail "icon images differ from what the groups list (id bytes):"
        diff <(echo "$listed") <(echo "$stored") | sed 's/^/    /'
    fi
}

check_manifest() {
    local xml comctl
    # Undo the decompiler's string quoting to get the XML back on one line.
    xml=$(resource '1 24 /* RT_MANIFEST */' | sed -n 's/^ *"\(.*\)"$/\1/p' | sed 's/""/"/g; s/\\n$//' |
        tr '\n' ' ')
    [ -n "$xml" ] || { fail "no manifest (RT_MANIFEST 1)"; return; }
    expect "manifest asks for asInvoker without uiAccess" \
        grep -q '<requestedExecutionLevel level="asInvoker" uiAccess="false"' <<<"$xml"
    comctl=$(grep -o '<assemblyIdentity[^>]*name="Microsoft.Windows.Common-Controls"[^>]*>' <<<"$xml")
    local attr ok=1
    for attr in 'version="6.0.0.0"' 'processorArchitecture="x86"' \
        'publicKeyToken="6595b64144ccf1df"' 'language="\*"' 'type="win32"'; do
        grep -q " $attr" <<<"$comctl" || { fail "manifest Common-Controls lacks $attr"; ok=0; }
    done
    [ $ok -eq 1 ] && pass "manifest depends on Common-Controls 6.0.0.0 for x86"
    local setting
    for setting in \
        '<dpiAwareness xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">PerMonitorV2, PerMonitor</dpiAwareness>' \
        '<dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">true/pm</dpiAware>'; do
        expect "manifest declares ${setting%%>*}>" grep -qF "$setting" <<<"$xml"
    done
    expect "manifest puts its DPI settings in an asm.v3 application element" \
        grep -q '<application xmlns="urn:schemas-microsoft-com:asm.v3">[[:space:]]*<windowsSettings>' <<<"$xml"
}

check_resources() {
    # windres writes the icons it finds as files beside its output: keep them in a scratch dir.
    local scratch
    scratch=$(mktemp -d)
    rc=$scratch/Vintrel.rc
    trap 'rm -rf "$scratch"' RETURN
    if ! (cd "$scratch" && $windres -i "$(realpath "$exe")" -O rc -o "$rc" 2>/dev/null); then
        fail "windres cannot read the resources of $exe"
        return
    fi
    check_manifest
    local v=${version//./, }
    expect "file version $version" grep -q "^ FILEVERSION $v\$" "$rc"
    expect "product version $version" grep -q "^ PRODUCTVERSION $v\$" "$rc"
    local value
    for value in "\"FileVersion\", \"$version\"" "\"ProductVersion\", \"$version\"" \
        '"CompanyName", "ZOREREV"' '"ProductName", "Vintrel"' '"LegalCopyright", "MIT ZOREREV"' \
        '"OriginalFilename", "Vintrel.exe"'; do
        expect "version value $value" grep -qF "VALUE $value" "$rc"
    done
    expect_resource "menu 128" "128 MENU" '128 MENU
BEGIN
  POPUP "&File"
  BEGIN
    MENUITEM "Remove from Startup", 32777
    MENUITEM "Make Transparent", 32773
    MENUITEM SEPARATOR
    MENUITEM "Options...", 32771
    MENUITEM SEPARATOR
    MENUITEM "Help", 32774
    MENUITEM "E&xit", 105
  END
END'
    expect_resource "dialog 142" "142 DIALOGEX" '142 DIALOGEX 0, 0, 311, 90
STYLE 0x80c800c8
CAPTION "Vintrel (Properties)"
FONT 8, "MS Shell Dlg", 400, 0, 1
BEGIN
  CONTROL "ClockColor", 1000, "BUTTON", 0x50010000, 21, 12, 50, 14
  CONTROL "Fonts", 1001, "BUTTON", 0x50010000, 21, 34, 50, 14
  CONTROL "Show GMT and Local Time", 1004, "BUTTON", 0x50000009, 117, 12, 98, 10
  CONTROL "Show GMT only", 1005, "BUTTON", 0x50000009, 117, 26, 65, 10
  CONTROL "Show Local Only", 1006, "BUTTON", 0x50000009, 117, 40, 68, 10
  CONTROL "OK", 1, "BUTTON", 0x50010001, 254, 7, 50, 14
  CONTROL "Cancel", 2, "BUTTON", 0x50010000, 254, 24, 50, 14
  CONTROL "Add at the End of time LOC or GMT", 1007, "BUTTON", 0x50010003, 117, 62, 128, 10
  CONTROL "Step aside for full-screen programs", 1008, "BUTTON", 0x50010003, 117, 76, 160, 10
END'
    expect "dialog 142 is English (United States)" \
        grep -q '^LANGUAGE 9, 1$' <(grep -B2 '^142 DIALOGEX' "$rc")
    check_icon_group 128
    check_icon_group 108
    check_shared_icons
}

if [ ! -f "$exe" ]; then
    fail "$exe not found"
else
    check_header
    check_resources
fi

# The benchmark's clock links as Vintrel.exe does.
for file in "$exe" "$tests/app/Vintrel.exe" "$tests/bench/vintrel_bench_clock.exe"; do
    check_import_table "$file"
done

# The project's own executables: not CMake's probes, not the Wine prefix kept beside them.
mapfile -t exes < <(find "$shipped" "$tests" \( -name CMakeFiles -o -name wineprefix \) -prune \
    -o -name '*.exe' -type f -print | sort -u)
[ ${#exes[@]} -gt 0 ] || fail "no executables found"
for file in "${exes[@]}"; do
    check_imports "$file"
done

if [ $failures -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all binary checks passed"
