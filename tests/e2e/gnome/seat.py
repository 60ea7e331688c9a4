#!/usr/bin/python3
# SPDX-License-Identifier: MIT
# Holds a Mutter remote desktop session for the headless test shell, which gives the seat a
# keyboard and a pointer: the seat has none until such a session taps a key, and the session lives
# as long as this program's bus connection. Tests type through it with
#   gdbus call --session --dest org.kiwano.TestSeat --object-path /org/kiwano/TestSeat \
#     --method org.kiwano.TestSeat.Keys 'super+shift+6'
# (keys as xdotool names them, combinations separated by spaces; each pressed and released in
# order) and move the pointer with Pointer 'move X Y' / 'press' / 'release'.
import sys
from gi.repository import Gio, GLib

MUTTER = 'org.gnome.Mutter.RemoteDesktop'
KEYSYMS = {
    'ctrl': 0xffe3, 'control': 0xffe3, 'shift': 0xffe1, 'alt': 0xffe9, 'super': 0xffeb,
    'logo': 0xffeb, 'return': 0xff0d, 'escape': 0xff1b, 'tab': 0xff09, 'backspace': 0xff08,
    'delete': 0xffff, 'space': 0x20, 'up': 0xff52, 'down': 0xff54, 'left': 0xff51,
    'right': 0xff53, 'home': 0xff50, 'end': 0xff57, 'print': 0xff61,
}
for n in range(1, 13):
    KEYSYMS['f%d' % n] = 0xffbe + n - 1

INTERFACE = '''
<node><interface name="org.kiwano.TestSeat">
  <method name="Keys"><arg type="s" direction="in"/></method>
  <method name="Type"><arg type="s" direction="in"/></method>
  <method name="Pointer"><arg type="s" direction="in"/></method>
</interface></node>'''

bus = Gio.bus_get_sync(Gio.BusType.SESSION)


def call(path, interface, method, args, reply='()'):
    return bus.call_sync(MUTTER, path, interface, method, args,
                         GLib.VariantType(reply) if reply else None,
                         Gio.DBusCallFlags.NONE, 5000, None)


def keysym(name):
    if name.lower() in KEYSYMS:
        return KEYSYMS[name.lower()]
    if len(name) == 1:
        return ord(name)
    raise ValueError('unknown key ' + name)


for _ in range(100):
    try:
        session = call('/org/gnome/Mutter/RemoteDesktop', MUTTER, 'CreateSession', None, '(o)').unpack()[0]
        break
    except GLib.Error:
        GLib.usleep(50000)
else:
    sys.exit('no remote desktop service')
SESSION = MUTTER + '.Session'
call(session, SESSION, 'Start', None)


def key(sym, down):
    call(session, SESSION, 'NotifyKeyboardKeysym', GLib.Variant('(ub)', (sym, down)))


def combo(text):
    parts = text.split('+')
    syms = [keysym(p) for p in parts]
    for s in syms:
        key(s, True)
    for s in reversed(syms):
        key(s, False)


combo('shift')
pointer = [0, 0]


def on_call(connection, sender, path, interface, method, args, invocation):
    try:
        text = args.unpack()[0]
        if method == 'Keys':
            for c in text.split():
                combo(c)
        elif method == 'Type':
            for ch in text:
                key(ord(ch), True)
                key(ord(ch), False)
        elif method == 'Pointer':
            words = text.split()
            if words[0] == 'move':
                x, y = int(words[1]), int(words[2])
                call(session, SESSION, 'NotifyPointerMotionRelative',
                     GLib.Variant('(dd)', (x - pointer[0], y - pointer[1])))
                pointer[0], pointer[1] = x, y
            elif words[0] in ('press', 'release'):
                call(session, SESSION, 'NotifyPointerButton',
                     GLib.Variant('(ib)', (0x110, words[0] == 'press')))
            elif words[0] == 'home':
                # Far to the top left: the pointer stops at the screen's corner.
                call(session, SESSION, 'NotifyPointerMotionRelative', GLib.Variant('(dd)', (-10000, -10000)))
                pointer[0] = pointer[1] = 0
        invocation.return_value(None)
    except Exception as error:
        invocation.return_dbus_error('org.kiwano.TestSeat.Failed', str(error))


node = Gio.DBusNodeInfo.new_for_xml(INTERFACE)
bus.register_object('/org/kiwano/TestSeat', node.interfaces[0], on_call, None, None)
Gio.bus_own_name_on_connection(bus, 'org.kiwano.TestSeat', Gio.BusNameOwnerFlags.NONE, None, None)
print('ready', flush=True)
GLib.MainLoop().run()
