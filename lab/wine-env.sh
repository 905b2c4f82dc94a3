# Sourced by the lab's Wine commands: the private prefix, a display, and the quiet Wine settings.
# shellcheck shell=bash

TOV_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${TOV_WINEPREFIX:-$TOV_ROOT/build/wine-prefix}
export WINEARCH=win32
export WINEDEBUG=${TOV_WINEDEBUG:--all}
# no Mono or Gecko install prompts
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
TOV_LAB_STATE=${TOV_LAB_STATE:-$TOV_ROOT/build/lab-state}
mkdir -p "$TOV_LAB_STATE"
# Where MPR finds the lab's network provider (the prefix names it by this variable): the one built
# beside the programs run, through the prefix's Z: drive.
TOV_NETPROVIDER=${TOV_NETPROVIDER:-Z:${TOV_BIN:-$TOV_ROOT/build/win32/bin}/tovnp.dll}
export TOV_NETPROVIDER=${TOV_NETPROVIDER//\//\\}

# Creates the prefix once; later calls find it ready. Serialised, since ctest runs tests in parallel.
tov_ensure_prefix() {
    if [ -f "$WINEPREFIX/.tov-ready" ] && [ -f "$WINEPREFIX/.tov-hooks-$TOV_HOOKS_VERSION" ]; then
        return 0
    fi
    mkdir -p "$(dirname "$WINEPREFIX")"
    (
        flock 9
        if [ ! -f "$WINEPREFIX/.tov-ready" ]; then
            echo "lab: creating the Wine prefix $WINEPREFIX" >&2
            rm -rf "$WINEPREFIX"
            wineboot -i </dev/null >"$TOV_LAB_STATE/wineboot.log" 2>&1
            # the program is made for Windows XP
            wine winecfg /v winxp </dev/null >>"$TOV_LAB_STATE/wineboot.log" 2>&1
            wineserver -w
            touch "$WINEPREFIX/.tov-ready"
        fi
        if [ ! -f "$WINEPREFIX/.tov-hooks-$TOV_HOOKS_VERSION" ]; then
            tov_prefix_hooks
            wineserver -w
            touch "$WINEPREFIX/.tov-hooks-$TOV_HOOKS_VERSION"
        fi
    ) 9>"$WINEPREFIX.lock"
}

# Lab settings that live in the prefix; raise the version when they change, and existing
# prefixes take them on their next use.
TOV_HOOKS_VERSION=6
tov_prefix_hooks() {
    local log="$TOV_LAB_STATE/wineboot.log"
    # a recorded browser instead of a real one
    wine reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /t REG_SZ /d "$TOV_ROOT/lab/lab-browser" /f \
        </dev/null >>"$log" 2>&1
    # without a window manager, windows managed by the X side take 2 s to go away when closed
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f </dev/null >>"$log" 2>&1
    # text documents as a Windows PC opens them (a fresh prefix has "txtfile" but no ".txt"),
    # with the lab's viewer, which records each file in lab-state/viewer.log
    local viewer="Z:$TOV_ROOT/build/win32/bin/tovviewer.exe" journal="Z:$TOV_LAB_STATE/viewer.log"
    viewer=${viewer//\//\\}
    journal=${journal//\//\\}
    wine reg add 'HKCR\.txt' /ve /t REG_SZ /d txtfile /f </dev/null >>"$log" 2>&1
    wine reg add 'HKCR\.txt' /v 'Content Type' /t REG_SZ /d text/plain /f </dev/null >>"$log" 2>&1
    wine reg add 'HKCR\txtfile\shell\open\command' /ve /t REG_SZ \
        /d "\"$viewer\" \"$journal\" \"%1\"" /f </dev/null >>"$log" 2>&1
    # help files (Wine's own hh.exe would show them) in the same viewer, recorded in
    # lab-state/help.log
    local help="Z:$TOV_LAB_STATE/help.log"
    help=${help//\//\\}
    wine reg add 'HKCR\chm.file\shell\open\command' /ve /t REG_SZ \
        /d "\"$viewer\" \"$help\" \"%1\"" /f </dev/null >>"$log" 2>&1
    # the user's shell folders as folders of the prefix, not links to the machine's home
    # directory: what programs put on the desktop stays in the lab
    local folder
    find "$WINEPREFIX/drive_c/users" -mindepth 2 -maxdepth 2 -type l 2>/dev/null |
        while read -r folder; do rm -f "$folder" && mkdir -p "$folder"; done
    # a folder the program opens is recorded in C:\lab-folders.txt, as the browser records pages;
    # the explorer's DDE conversation would never end without a desktop
    wine reg delete 'HKCR\Folder\shell\open\ddeexec' /f </dev/null >>"$log" 2>&1
    wine reg add 'HKCR\Folder\shell\open\command' /ve /t REG_SZ \
        /d 'C:\windows\system32\cmd.exe /c echo %1>>C:\lab-folders.txt' /f </dev/null >>"$log" 2>&1
    # the lab's network provider (lab/netprovider), the only one: drive letters for the shares
    local np='HKLM\System\CurrentControlSet\Services\tovnp\NetworkProvider'
    wine reg add 'HKLM\System\CurrentControlSet\Control\NetworkProvider\Order' /v ProviderOrder \
        /t REG_SZ /d tovnp /f </dev/null >>"$log" 2>&1
    wine reg add "$np" /v ProviderPath /t REG_EXPAND_SZ /d '%TOV_NETPROVIDER%' /f </dev/null >>"$log" 2>&1
    wine reg add "$np" /v Name /t REG_SZ /d 'Kelvox Lab Network' /f </dev/null >>"$log" 2>&1
    tov_register_engine
}

# The backup engine of this checkout's Windows build, registered as "tovengine.exe /RegServer"
# registers it (the class's local server, the interface's proxy/stub DLL), built yet or not.
tov_register_engine() {
    local bin reg
    # the Windows name of a Linux path is Z: and the path (no winepath: a Wine program's output
    # must never go to a pipe); a .reg file doubles its backslashes
    bin="Z:$TOV_ROOT/build/win32/bin"
    bin=${bin//\//\\\\}
    reg="$TOV_LAB_STATE/engine.reg"
    cat >"$reg" <<EOF
REGEDIT4

[HKEY_CLASSES_ROOT\\CLSID\\{BF647682-2FED-49CE-9429-912485AC040C}]
@="Kelvox TOV Backup Engine"

[HKEY_CLASSES_ROOT\\CLSID\\{BF647682-2FED-49CE-9429-912485AC040C}\\LocalServer32]
@="\"$bin\\\\tovengine.exe\""

[HKEY_CLASSES_ROOT\\Interface\\{A3C89DB2-11AA-43B2-BFB4-CBC19BBA3574}]
@="ITovEngine"

[HKEY_CLASSES_ROOT\\Interface\\{A3C89DB2-11AA-43B2-BFB4-CBC19BBA3574}\\NumMethods]
@="8"

[HKEY_CLASSES_ROOT\\Interface\\{A3C89DB2-11AA-43B2-BFB4-CBC19BBA3574}\\ProxyStubClsid32]
@="{A3C89DB2-11AA-43B2-BFB4-CBC19BBA3574}"

[HKEY_CLASSES_ROOT\\CLSID\\{A3C89DB2-11AA-43B2-BFB4-CBC19BBA3574}]
@="PSFactoryBuffer"

[HKEY_CLASSES_ROOT\\CLSID\\{A3C89DB2-11AA-43B2-BFB4-CBC19BBA3574}\\InProcServer32]
@="$bin\\\\tovengineps.dll"
"ThreadingModel"="Both"
EOF
    local name="Z:$reg"
    wine regedit /S "${name//\//\\}" </dev/null >>"$TOV_LAB_STATE/wineboot.log" 2>&1
}

# Gives Wine a display: the caller's, the session's Xvfb, or a new Xvfb of this command's own.
tov_ensure_display() {
    if [ -n "${DISPLAY:-}" ]; then return 0; fi
    if [ -f "$TOV_LAB_STATE/xvfb.display" ]; then
        local d pid
        d=$(cat "$TOV_LAB_STATE/xvfb.display")
        pid=$(cat "$TOV_LAB_STATE/xvfb.pid" 2>/dev/null)
        # The session's Xvfb while it lives. Its path socket may have gone (Xvfbs of other labs
        # that ended on the same display number remove it); its abstract one still serves this
        # network namespace, and a second Xvfb here would leave this command waiting, at its end,
        # for the session's persistent wineserver.
        # (an Xvfb that has ended but was not reaped keeps its name: its state is Z)
        if [ -n "$pid" ] && [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = Xvfb ] &&
            [ "$(awk '{print $3}' "/proc/$pid/stat" 2>/dev/null)" != Z ]; then
            export DISPLAY=":$d"
            return 0
        fi
    fi
    tov_start_xvfb
    TOV_OWN_XVFB=1
}

# Starts Xvfb on a free display; -displayfd reports the number once the server is ready.
tov_start_xvfb() {
    local fifo="$TOV_LAB_STATE/xvfb.fifo.$$"
    rm -f "$fifo"
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" </dev/null >"$TOV_LAB_STATE/xvfb.log" 2>&1 &
    local pid=$!
    local d
    read -r d <"$fifo"
    rm -f "$fifo"
    echo "$pid" >"$TOV_LAB_STATE/xvfb.pid"
    echo "$d" >"$TOV_LAB_STATE/xvfb.display"
    export DISPLAY=":$d"
}

tov_stop_xvfb() {
    if [ -f "$TOV_LAB_STATE/xvfb.pid" ]; then
        kill "$(cat "$TOV_LAB_STATE/xvfb.pid")" 2>/dev/null || true
        rm -f "$TOV_LAB_STATE/xvfb.pid" "$TOV_LAB_STATE/xvfb.display"
    fi
}
