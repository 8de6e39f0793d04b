#!/bin/sh
# TalvioDriver.exe under Wine, run from a private folder whose path holds a
# space: config.xml's AutoStart decides the per-user Run value, and quitting
# through Closo rewrites config.xml with the values the program read.
#   driver_settings_wine_test.sh <wine-run.sh> <TalvioDriver.exe> <closo_call.exe>
# Every wait is bounded; a driver still running at the end is killed.
set -u
wine_run=$1
driver=$2
closo_call=$3
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
failures=0

work=$(mktemp -d /tmp/talvio-driver-settings-XXXXXX)
folder="$work/Talvio Driver"
mkdir -p "$folder"
cp "$driver" "$folder/TalvioDriver.exe"
driver_pid=
cleanup() {
    [ -n "$driver_pid" ] && kill "$driver_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

reg() { "$wine_run" reg "$@" 2>/dev/null | tr -d '\r'; }
run_value() { reg query "$run_key" /v NXTalvioPhone | grep -E '^ +NXTalvioPhone ' | sed -E 's/^ +[^ ]+ +[^ ]+ +//'; }
fail() { printf 'FAIL: %s\n' "$*"; failures=$((failures + 1)); }

# Polls (at most 30 s) until run_value equals $1 ("" for no value).
wait_for_run_value() {
    tries=0
    while [ "$(run_value)" != "$1" ]; do
        tries=$((tries + 1))
        [ $tries -gt 150 ] && return 1
        sleep 0.2
    done
    return 0
}

start_driver() {
    timeout 90 "$wine_run" "$folder/TalvioDriver.exe" &
    driver_pid=$!
}

quit_driver() {
    "$wine_run" "$closo_call" >/dev/null || fail "closo_call did not reach the driver"
    wait "$driver_pid"
    code=$?
    driver_pid=
    [ $code -eq 0 ] || fail "TalvioDriver.exe ended with $code"
}

printf "<Fees><AppItem item='voipbuster'><FeeItem item='44' value='0.01'/></AppItem></Fees>" \
    >"$folder/FeeConf.xml"

# AutoStart=1: the quoted path appears; at exit the file is written in its own form.
reg delete "$run_key" /v NXTalvioPhone /f >/dev/null
cat >"$folder/config.xml" <<'XML'
<?xml version="1.0"?>
<Config>
  <General><AutoStart value="1"/><CheckVer value="0"/><PlayDTMF value="1"/><Language value="2"/></General>
  <AutoAnswer value="1"><AutoBusy value="1" txt="Busy &amp; &apos;away&apos;"/></AutoAnswer>
  <AppSwitch value="3"><AppItem item="VoipStunt" value="7" dialtone="4" ringtone="12"/></AppSwitch>
  <AppCallOut value="2" free="0"/>
  <LCDLogo val="Test Logo"/>
  <RingVolume val="30000"/>
</Config>
XML
windows_path=$("$wine_run" winepath -w "$folder/TalvioDriver.exe" 2>/dev/null | tr -d '\r')
start_driver
if wait_for_run_value "\"$windows_path\""; then
    printf 'ok: Run value NXTalvioPhone = "%s"\n' "$windows_path"
else
    fail "Run value is '$(run_value)', expected '\"$windows_path\"'"
fi
quit_driver

items=""
id=0
for name in skype voipbuster voipstunt voipcheap sparvoip voipdiscount internetcalls netappel \
            freecall voipcheapcom poivy webcalldirect; do
    id=$((id + 1))
    if [ $name = voipstunt ]; then
        items="$items\n\t\t<AppItem item='voipstunt' value='7' dialtone='4' ringtone='12'/>"
    else
        items="$items\n\t\t<AppItem item='$name' value='$id' dialtone='$((id - 1))' ringtone='$((id - 1))'/>"
    fi
done
printf "%b" "<?xml version='1.0' encoding='utf-8'?>\n<Config>\n\t<General>\
\n\t\t<AutoStart value='1' />\n\t\t<CheckVer value='0' />\n\t\t<PlayDTMF value='1' />\
\n\t\t<PreferredUSB value='0' />\n\t\t<Language value='2' />\n\t\t<CallerIDType value='0' />\
\n\t</General>\n\t<AutoAnswer value='1'>\
\n\t\t<AutoBusy value='1' txt='Busy &amp; &apos;away&apos;' />\
\n\t\t<AutoAway value='0' txt='' />\n\t</AutoAnswer>\n\t<AppSwitch value='3'>$items\
\n\t</AppSwitch>\n\t<AppCallOut value='2' free='0' >\n\t</AppCallOut>\
\n\t<LCDLogo val='Test Logo'/>\n\t<RingVolume val='30000'/>\n</Config>" >"$work/expected.xml"
if cmp -s "$work/expected.xml" "$folder/config.xml"; then
    echo "ok: config.xml rewritten at exit with the values read"
else
    fail "config.xml after exit differs from the expected bytes:"
    diff "$work/expected.xml" "$folder/config.xml" | head -20
fi
[ "$(ls "$folder" | sort | tr '\n' ' ')" = "FeeConf.xml TalvioDriver.exe config.xml " ] ||
    fail "unexpected files beside the program: $(ls "$folder")"

# AutoStart=0: an existing value goes.
printf "<Config><General><AutoStart value='0'/></General></Config>" >"$folder/config.xml"
reg add "$run_key" /v NXTalvioPhone /t REG_SZ /d '"C:\old\TalvioDriver.exe"' /f >/dev/null
start_driver
if wait_for_run_value ""; then
    echo "ok: Run value NXTalvioPhone removed"
else
    fail "Run value still '$(run_value)' with AutoStart=0"
fi
quit_driver
grep -q "<AutoStart value='0' />" "$folder/config.xml" || fail "AutoStart=0 not written back"
[ -z "$(run_value)" ] || fail "Save with AutoStart=0 wrote the Run value"

[ $failures -eq 0 ] && echo "all driver settings checks passed" || echo "$failures driver settings checks failed"
exit $failures
