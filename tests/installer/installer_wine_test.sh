#!/bin/sh
# TalvioSetup.exe under Wine: a silent install into a folder whose name holds
# a space; an upgrade while the program runs (Closo stops it, the files are
# replaced, the user's config.xml and rate table stay, the program starts
# again); a silent uninstall with /KEEPSETTINGS while it runs; a plain one.
#   installer_wine_test.sh <wine-run.sh> <TalvioSetup.exe> <program build folder>
#                          <Closo.dll> <FeeConf.xml shipped> <closo_call.exe>
# Every wait is bounded; a program still running at the end is killed.
set -u
wine_run=$1
setup=$2
built=$3
closo=$4
shipped_rates=$5
closo_call=$6
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\TalvioPhoneDriver'
failures=0

work=$(mktemp -d /tmp/talvio-setup-XXXXXX)
folder="$work/Talvio Phone"
cp "$setup" "$work/TalvioSetup.exe"
driver_pid=
# Copies of the program this test started, by their unique folder.
program_pids() { pgrep -f "$work/Talvio Phone/TalvioDriver.exe|${work##*/}.Talvio Phone.TalvioDriver.exe"; }
cleanup() {
    [ -n "$driver_pid" ] && kill "$driver_pid" 2>/dev/null
    for pid in $(program_pids); do kill "$pid" 2>/dev/null; done
    rm -rf "$work"
}
trap cleanup EXIT

wine_path() { "$wine_run" winepath -w "$1" 2>/dev/null | tr -d '\r'; }
reg() { "$wine_run" reg "$@" 2>/dev/null | tr -d '\r'; }
run_value() { reg query "$run_key" /v NXTalvioPhone | grep -E '^ +NXTalvioPhone ' | sed -E 's/^ +[^ ]+ +[^ ]+ +//'; }
fail() { printf 'FAIL: %s\n' "$*"; failures=$((failures + 1)); }
listing() { (cd "$1" && ls | tr '\n' ' '); }
windows_folder=$(wine_path "$folder")
start_menu=$("$wine_run" winepath -u 'C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Talvio Phone Driver' 2>/dev/null)

# NSIS takes /D= unquoted and last; Wine would quote an argument holding a
# space, so the command line goes through a batch file.
run_batch() {
    printf '@%s\r\n@exit /b %%errorlevel%%\r\n' "$1" >"$work/run.bat"
    "$wine_run" cmd /c "$(wine_path "$work/run.bat")" >/dev/null 2>&1
}
install() {
    run_batch "\"$(wine_path "$work/TalvioSetup.exe")\" /S /D=$windows_folder" || fail "setup ended with $?"
}
# The uninstaller runs on from a copy of itself; it deletes itself last.
uninstall() {
    run_batch "\"$windows_folder\\Uninstall.exe\" /S $1" || fail "uninstaller ended with $?"
    poll 150 '[ ! -e "$folder/Uninstall.exe" ]' || fail "uninstaller still not done after 30 s"
}

# poll <tries of 0.2 s> <shell condition>
poll() {
    tries=0
    until eval "$2"; do
        tries=$((tries + 1))
        [ $tries -gt "$1" ] && return 1
        sleep 0.2
    done
}

start_driver() {
    reg delete "$run_key" /v NXTalvioPhone /f >/dev/null
    timeout 90 "$wine_run" "$folder/TalvioDriver.exe" &
    driver_pid=$!
    # The program writes the Run value once it has read its settings.
    poll 150 '[ "$(run_value)" = "\"$windows_folder\\TalvioDriver.exe\"" ]' ||
        fail "the installed program did not start (Run value '$(run_value)')"
}

expect_same() {
    cmp -s "$1" "$2" || fail "$3"
}

expect_installed() {
    [ "$(listing "$folder")" = "Closo.dll FeeConf.xml Sonvar.exe TalvioDriver.exe Uninstall.exe $1locale.xml waves " ] ||
        fail "$2: installed files are: $(listing "$folder")"
    for file in TalvioDriver.exe Sonvar.exe locale.xml; do
        expect_same "$built/$file" "$folder/$file" "$2: $file is not the built one"
    done
    expect_same "$closo" "$folder/Closo.dll" "$2: Closo.dll is not the built one"
    for i in $(seq 0 16); do
        expect_same "$built/waves/ring$i.wav" "$folder/waves/ring$i.wav" "$2: waves/ring$i.wav is not the built one"
    done
    [ "$(ls "$folder/waves" | wc -l)" -eq 17 ] || fail "$2: waves holds $(listing "$folder/waves")"
    [ -f "$start_menu/Talvio Phone Driver.lnk" ] || fail "$2: no Start-menu entry"
    reg query "$uninstall_key" /v QuietUninstallString |
        grep -qF "\"$windows_folder\\Uninstall.exe\" /S" || fail "$2: no uninstall entry for the folder"
}

expect_uninstalled() {
    [ -z "$(program_pids)" ] || fail "$1: the program still runs"
    [ -z "$(run_value)" ] || fail "$1: Run value left: $(run_value)"
    [ ! -e "$start_menu" ] || fail "$1: Start-menu folder left"
    reg query "$uninstall_key" | grep -q '^HKEY' && fail "$1: uninstall entry left"
}

# A fresh install, and the program's first run from it: it writes config.xml
# in its own form at exit, which is what a user's file looks like.
install
expect_installed "" "fresh install"
expect_same "$shipped_rates" "$folder/FeeConf.xml" "fresh install: FeeConf.xml is not the shipped one"
printf "<Config><General><AutoStart value='1'/><Language value='3'/></General>\
<LCDLogo val='Upgrade &amp; keep'/><RingVolume val='12345'/></Config>" >"$folder/config.xml"
start_driver
"$wine_run" "$closo_call" >/dev/null 2>&1
wait "$driver_pid"
driver_pid=
grep -q "<LCDLogo val='Upgrade &amp; keep'/>" "$folder/config.xml" || fail "the first run did not save config.xml"
cp "$folder/config.xml" "$work/kept.xml"

# An older installation, running: a stale executable (trailing byte), an old
# locale.xml, and the user's own rate table.
printf 'x' >>"$folder/TalvioDriver.exe"
printf "<Locale/>" >"$folder/locale.xml"
printf "<Fees><AppItem item='poivy'><FeeItem item='44' value='0.02'/></AppItem></Fees>" >"$work/rates.xml"
cp "$work/rates.xml" "$folder/FeeConf.xml"
start_driver
install
if poll 50 '! kill -0 $driver_pid 2>/dev/null'; then
    wait "$driver_pid" || fail "the running copy ended with $? during the upgrade"
else
    fail "the running copy was not stopped by the upgrade"
fi
driver_pid=
expect_installed "config.xml " "upgrade"
expect_same "$work/kept.xml" "$folder/config.xml" "upgrade: config.xml changed"
expect_same "$work/rates.xml" "$folder/FeeConf.xml" "upgrade: the user's FeeConf.xml was replaced"
poll 150 '[ -n "$(program_pids)" ]' || fail "upgrade: the stopped program was not started again"
poll 150 '[ -n "$(run_value)" ]' || fail "upgrade: the restarted program did not read its settings"

# Uninstall while the restarted copy runs, keeping the settings: the copy's
# last save must neither bring the Run value back nor be lost.
uninstall /KEEPSETTINGS
poll 50 '[ -z "$(program_pids)" ]'
expect_uninstalled "uninstall /KEEPSETTINGS"
[ "$(listing "$folder")" = "FeeConf.xml config.xml " ] ||
    fail "uninstall /KEEPSETTINGS left: $(listing "$folder")"
expect_same "$work/kept.xml" "$folder/config.xml" "uninstall /KEEPSETTINGS: config.xml changed"

# Installed again over the kept settings, then a plain silent uninstall
# (nothing running) removes the settings and the folder.
install
expect_installed "config.xml " "install over kept settings"
uninstall ""
expect_uninstalled "uninstall"
[ ! -e "$folder" ] || fail "uninstall left: $(listing "$folder")"

[ $failures -eq 0 ] && echo "all installer checks passed" || echo "$failures installer checks failed"
exit $failures
