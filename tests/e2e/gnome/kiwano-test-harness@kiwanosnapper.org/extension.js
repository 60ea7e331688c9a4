// SPDX-License-Identifier: MIT
// Loaded only by the headless shell the tests start (scripts/gnome-session.sh), never installed.
// The shell starts in the Overview, where no window takes the keys; this leaves it as soon as the
// shell is up. It also turns on the shell's unsafe mode so that the tests may ask what the shell
// shows (org.gnome.Shell.Eval: the focused window's title, the Overview's state).
const Main = imports.ui.main;

class Harness {
    enable() {
        global.context.unsafe_mode = true;
        const leave = () => Main.overview.hide();
        if (Main.layoutManager._startingUp)
            this._startup = Main.layoutManager.connect('startup-complete', leave);
        else
            leave();
    }

    disable() {
        if (this._startup)
            Main.layoutManager.disconnect(this._startup);
        this._startup = 0;
    }
}

function init() {
    return new Harness();
}
