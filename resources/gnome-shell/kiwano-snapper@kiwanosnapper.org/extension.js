// SPDX-License-Identifier: MIT
// Kiwano Snapper's shell extension: what the app cannot do itself under Mutter, done from inside
// the shell, and a top-bar menu since GNOME shows no tray icons.
//
// It owns org.kiwanosnapper.KiwanoSnapper.Shell on the session bus and serves one interface,
// org.kiwanosnapper.KiwanoSnapper.Shell1, at /org/kiwanosnapper/KiwanoSnapper/Shell:
//   Version() -> u                          the interface's version, 2
//   ClipboardTypes() -> as                  the MIME types the clipboard offers now
//   ClipboardData(s type) -> ay             one type's bytes (empty when the owner gives none)
//   SetClipboard(s type, ay data)           takes the clipboard and offers these bytes
//   Paste(b terminal) -> b                  types Ctrl+V (Ctrl+Shift+V) into the focused window
//                                           once no modifier is held; false when none is focused
//   SetShortcuts(a{ss} accelerators) -> as  replaces the caller's shortcuts (name -> "<Shift><Super>6");
//                                           returns the names the shell would not bind
//   Screenshot(s path) -> b                 the whole screen as a PNG at path
//   RaiseWindow(u pid, s title, b above) -> b  activates that process's window, kept above or not
//   signal ClipboardChanged(as types)       the clipboard changed hands; the types it offers now
//                                           (version 1 sent none: callers ask ClipboardTypes then)
//   signal ShortcutPressed(s name)          one of the caller's shortcuts was pressed
// A caller's shortcuts are dropped when it leaves the bus. Only Kiwano Snapper's own programs may
// call anything but Version: the shell keeps its screenshots and the clipboard from other
// programs, and so does this; others get AccessDenied.
const { Clutter, Gio, GLib, Meta, Shell, St } = imports.gi;
const Main = imports.ui.main;
const PanelMenu = imports.ui.panelMenu;
const PopupMenu = imports.ui.popupMenu;
const ExtensionUtils = imports.misc.extensionUtils;

Gio._promisify(Gio.DBusConnection.prototype, 'call');

const BUS_NAME = 'org.kiwanosnapper.KiwanoSnapper.Shell';
const OBJECT_PATH = '/org/kiwanosnapper/KiwanoSnapper/Shell';
const INTERFACE = `<node>
  <interface name="org.kiwanosnapper.KiwanoSnapper.Shell1">
    <method name="Version"><arg type="u" direction="out"/></method>
    <method name="ClipboardTypes"><arg type="as" direction="out"/></method>
    <method name="ClipboardData"><arg type="s" direction="in"/><arg type="ay" direction="out"/></method>
    <method name="SetClipboard"><arg type="s" direction="in"/><arg type="ay" direction="in"/></method>
    <method name="Paste"><arg type="b" direction="in"/><arg type="b" direction="out"/></method>
    <method name="SetShortcuts"><arg type="a{ss}" direction="in"/><arg type="as" direction="out"/></method>
    <method name="Screenshot"><arg type="s" direction="in"/><arg type="b" direction="out"/></method>
    <method name="RaiseWindow"><arg type="u" direction="in"/><arg type="s" direction="in"/>
      <arg type="b" direction="in"/><arg type="b" direction="out"/></method>
    <signal name="ClipboardChanged"><arg type="as"/></signal>
    <signal name="ShortcutPressed"><arg type="s"/></signal>
  </interface>
</node>`;

// The programs whose calls are served, by the name of their executable.
const OUR_PROGRAMS = ['kiwano-snapper-app', 'kiwano-capture'];

// How long a paste waits for the user to let go of the keys that chose the entry.
const MODIFIER_WAIT_MS = 1000;
const MODIFIERS = Clutter.ModifierType.SHIFT_MASK | Clutter.ModifierType.CONTROL_MASK |
    Clutter.ModifierType.MOD1_MASK | Clutter.ModifierType.SUPER_MASK | Clutter.ModifierType.MOD4_MASK;

class ShellService {
    constructor() {
        this._clipboard = St.Clipboard.get_default();
        this._keyboard = Clutter.get_default_backend().get_default_seat()
            .create_virtual_device(Clutter.InputDeviceType.KEYBOARD_DEVICE);
        this._grabs = new Map(); // action -> name
        this._admitted = new Set(); // unique bus names of our programs
        this._owner = null;
        this._ownerWatch = 0;
        this._dbus = Gio.DBusExportedObject.wrapJSObject(INTERFACE, this);
        this._dbus.export(Gio.DBus.session, OBJECT_PATH);
        this._name = Gio.bus_own_name_on_connection(Gio.DBus.session, BUS_NAME,
            Gio.BusNameOwnerFlags.REPLACE, null, null);
        this._selectionChanged = global.display.get_selection().connect('owner-changed',
            (selection, type) => {
                // The types come with the news: the shell is often busy for a while just after
                // a change, and a call back for them would wait that out before any read began.
                if (type === Meta.SelectionType.SELECTION_CLIPBOARD) {
                    this._dbus.emit_signal('ClipboardChanged', new GLib.Variant('(as)',
                        [this._clipboard.get_mimetypes(St.ClipboardType.CLIPBOARD)]));
                }
            });
        this._accelerator = global.display.connect('accelerator-activated', (display, action) => {
            const name = this._grabs.get(action);
            if (name !== undefined)
                this._dbus.emit_signal('ShortcutPressed', new GLib.Variant('(s)', [name]));
        });
    }

    destroy() {
        this._dropShortcuts();
        global.display.disconnect(this._accelerator);
        global.display.get_selection().disconnect(this._selectionChanged);
        Gio.bus_unown_name(this._name);
        this._dbus.unexport();
        this._keyboard = null;
    }

    Version() {
        return 2;
    }

    // Whether the caller is one of our programs, told by its executable; answers AccessDenied
    // when it is not.
    async _admit(invocation) {
        const sender = invocation.get_sender();
        if (this._admitted.has(sender))
            return true;
        try {
            const reply = await Gio.DBus.session.call('org.freedesktop.DBus', '/org/freedesktop/DBus',
                'org.freedesktop.DBus', 'GetConnectionUnixProcessID', new GLib.Variant('(s)', [sender]),
                new GLib.VariantType('(u)'), Gio.DBusCallFlags.NONE, -1, null);
            const [pid] = reply.deepUnpack();
            // A program rebuilt while it runs reads "... (deleted)".
            const program = GLib.path_get_basename(GLib.file_read_link(`/proc/${pid}/exe`)).replace(/ \(deleted\)$/, '');
            if (OUR_PROGRAMS.includes(program)) {
                this._admitted.add(sender);
                return true;
            }
        } catch (e) {
            logError(e, 'Kiwano Snapper: who is calling');
        }
        invocation.return_dbus_error('org.freedesktop.DBus.Error.AccessDenied',
            'Only Kiwano Snapper may use this interface');
        return false;
    }

    async ClipboardTypesAsync(params, invocation) {
        if (!await this._admit(invocation))
            return;
        invocation.return_value(new GLib.Variant('(as)', [this._clipboard.get_mimetypes(St.ClipboardType.CLIPBOARD)]));
    }

    async ClipboardDataAsync([type], invocation) {
        if (!await this._admit(invocation))
            return;
        this._clipboard.get_content(St.ClipboardType.CLIPBOARD, type, (clipboard, bytes) => {
            const data = bytes ?? new GLib.Bytes(new Uint8Array(0));
            invocation.return_value(GLib.Variant.new_tuple([
                GLib.Variant.new_from_bytes(new GLib.VariantType('ay'), data, true)]));
        });
    }

    async SetClipboardAsync([type, data], invocation) {
        if (!await this._admit(invocation))
            return;
        this._clipboard.set_content(St.ClipboardType.CLIPBOARD, type, new GLib.Bytes(data));
        invocation.return_value(null);
    }

    async PasteAsync([terminal], invocation) {
        if (!await this._admit(invocation))
            return;
        const started = GLib.get_monotonic_time();
        const tryPaste = () => {
            const [, , mods] = global.get_pointer();
            if ((mods & MODIFIERS) && GLib.get_monotonic_time() - started < MODIFIER_WAIT_MS * 1000)
                return GLib.SOURCE_CONTINUE;
            if (!global.display.focus_window) {
                invocation.return_value(new GLib.Variant('(b)', [false]));
                return GLib.SOURCE_REMOVE;
            }
            const keys = [Clutter.KEY_Control_L];
            if (terminal)
                keys.push(Clutter.KEY_Shift_L);
            keys.push(Clutter.KEY_v);
            for (const key of keys)
                this._keyboard.notify_keyval(GLib.get_monotonic_time(), key, Clutter.KeyState.PRESSED);
            for (const key of keys.reverse())
                this._keyboard.notify_keyval(GLib.get_monotonic_time(), key, Clutter.KeyState.RELEASED);
            invocation.return_value(new GLib.Variant('(b)', [true]));
            return GLib.SOURCE_REMOVE;
        };
        if (tryPaste() === GLib.SOURCE_CONTINUE)
            GLib.timeout_add(GLib.PRIORITY_DEFAULT, 10, tryPaste);
    }

    async SetShortcutsAsync([accelerators], invocation) {
        if (!await this._admit(invocation))
            return;
        this._dropShortcuts();
        this._owner = invocation.get_sender();
        this._ownerWatch = Gio.bus_watch_name_on_connection(Gio.DBus.session, this._owner,
            Gio.BusNameWatcherFlags.NONE, null, () => this._dropShortcuts());
        const refused = [];
        for (const [name, accelerator] of Object.entries(accelerators)) {
            const action = global.display.grab_accelerator(accelerator, Meta.KeyBindingFlags.NONE);
            if (action === Meta.KeyBindingAction.NONE) {
                refused.push(name);
                continue;
            }
            // Never on the lock screen.
            Main.wm.allowKeybinding(Meta.external_binding_name_for_action(action),
                Shell.ActionMode.NORMAL | Shell.ActionMode.OVERVIEW | Shell.ActionMode.POPUP);
            this._grabs.set(action, name);
        }
        invocation.return_value(new GLib.Variant('(as)', [refused]));
    }

    _dropShortcuts() {
        for (const action of this._grabs.keys()) {
            global.display.ungrab_accelerator(action);
            Main.wm.allowKeybinding(Meta.external_binding_name_for_action(action), Shell.ActionMode.NONE);
        }
        this._grabs.clear();
        if (this._ownerWatch)
            Gio.bus_unwatch_name(this._ownerWatch);
        this._ownerWatch = 0;
        this._owner = null;
    }

    async ScreenshotAsync([path], invocation) {
        if (!await this._admit(invocation))
            return;
        try {
            const file = Gio.File.new_for_path(path);
            const stream = file.replace(null, false, Gio.FileCreateFlags.NONE, null);
            await new Shell.Screenshot().screenshot(false, stream);
            stream.close(null);
            invocation.return_value(new GLib.Variant('(b)', [true]));
        } catch (e) {
            logError(e, 'Kiwano Snapper: screenshot');
            invocation.return_value(new GLib.Variant('(b)', [false]));
        }
    }

    async RaiseWindowAsync([pid, title, above], invocation) {
        if (!await this._admit(invocation))
            return;
        invocation.return_value(new GLib.Variant('(b)', [this._raise(pid, title, above)]));
    }

    _raise(pid, title, above) {
        const window = global.get_window_actors().map(actor => actor.meta_window)
            .find(w => w.get_pid() === pid && (title === '' || w.get_title() === title));
        if (!window)
            return false;
        if (above)
            window.make_above();
        else
            window.unmake_above();
        Main.activateWindow(window);
        return true;
    }
}

// The tray menu's commands, run through the program's command line (which starts the app first
// when it is not running).
const MENU = [
    ['Grab Region', '--region'],
    ['Grab Window', '--window'],
    ['Grab Screen', '--screen'],
    null,
    ['Clipboard History', '--clipboard'],
    null,
    ['Open Kiwano Snapper', null],
    ['Settings', '--settings'],
    ['Quit', '--quit'],
];

function runProgram(argument) {
    try {
        const argv = ['kiwano-snapper'];
        if (argument)
            argv.push(argument);
        Gio.Subprocess.new(argv, Gio.SubprocessFlags.NONE);
    } catch (e) {
        Main.notifyError('Kiwano Snapper', e.message);
    }
}

function makeIndicator(path) {
    const indicator = new PanelMenu.Button(0.0, 'Kiwano Snapper');
    indicator.add_child(new St.Icon({
        gicon: Gio.icon_new_for_string(`${path}/kiwano-snapper-symbolic.svg`),
        style_class: 'system-status-icon',
    }));
    for (const entry of MENU) {
        if (!entry) {
            indicator.menu.addMenuItem(new PopupMenu.PopupSeparatorMenuItem());
            continue;
        }
        const [label, argument] = entry;
        indicator.menu.addAction(label, () => runProgram(argument));
    }
    return indicator;
}

class Extension {
    enable() {
        this._service = new ShellService();
        this._indicator = makeIndicator(ExtensionUtils.getCurrentExtension().path);
        Main.panel.addToStatusArea('kiwano-snapper', this._indicator);
    }

    disable() {
        this._indicator?.destroy();
        this._indicator = null;
        this._service?.destroy();
        this._service = null;
    }
}

function init() {
    return new Extension();
}
