<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>Announcer</name>
    <message>
        <source>No file manager could show %1.</source>
        <translation>Kein Dateimanager konnte %1 zeigen.</translation>
    </message>
    <message>
        <source>Copy Path</source>
        <translation>Pfad kopieren</translation>
    </message>
    <message>
        <source>The grab didn&apos;t work: %1</source>
        <translation>Die Aufnahme hat nicht geklappt: %1</translation>
    </message>
    <message>
        <source>Copies can&apos;t be stored: something that isn&apos;t a folder stands where the clipboard history should be (%1).</source>
        <translation>Kopien können nicht gespeichert werden: Wo der Zwischenablage-Verlauf liegen sollte, steht etwas, das kein Ordner ist (%1).</translation>
    </message>
    <message>
        <source>The clipboard history couldn&apos;t be read. It was set aside unchanged, and a new history has begun.</source>
        <translation>Der Zwischenablage-Verlauf konnte nicht gelesen werden. Er wurde unverändert beiseitegelegt, und ein neuer Verlauf hat begonnen.</translation>
    </message>
    <message>
        <source>A copy couldn&apos;t be stored. Is the disk full?</source>
        <translation>Eine Kopie konnte nicht gespeichert werden. Ist die Festplatte voll?</translation>
    </message>
</context>
<context>
    <name>AppChooser</name>
    <message>
        <source>Ignore</source>
        <translation>Ignorieren</translation>
    </message>
    <message>
        <source>Never record copies from</source>
        <translation>Kopien nie aufzeichnen aus</translation>
    </message>
    <message>
        <source>Choose an app whose copies are never recorded.</source>
        <translation>Wählen Sie eine App, deren Kopien nie aufgezeichnet werden.</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Suchen</translation>
    </message>
    <message>
        <source>Search applications</source>
        <translation>Anwendungen durchsuchen</translation>
    </message>
    <message>
        <source>Applications</source>
        <translation>Anwendungen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>AppDelegate</name>
    <message>
        <source>Couldn&apos;t pin %1: it isn&apos;t an image Kiwano Snapper can open.</source>
        <translation>%1 lässt sich nicht anheften: Kiwano Snapper kann es nicht als Bild öffnen.</translation>
    </message>
    <message>
        <source>There is no region to grab again yet: drag one, and the next time it is grabbed again at once.</source>
        <translation>Es gibt noch keinen Bereich, der erneut aufgenommen werden kann: Ziehen Sie einen auf, beim nächsten Mal wird er sofort wieder aufgenommen.</translation>
    </message>
</context>
<context>
    <name>Autostart</name>
    <message>
        <source>Cannot create the folder %1</source>
        <translation>Der Ordner %1 kann nicht angelegt werden</translation>
    </message>
</context>
<context>
    <name>CanvasArea</name>
    <message>
        <source>Scroll horizontally</source>
        <translation>Waagerecht blättern</translation>
    </message>
    <message>
        <source>Scroll vertically</source>
        <translation>Senkrecht blättern</translation>
    </message>
    <message>
        <source>Zoom</source>
        <translation>Zoom</translation>
    </message>
    <message>
        <source>Zoom in</source>
        <translation>Vergrößern</translation>
    </message>
    <message>
        <source>Zoom out</source>
        <translation>Verkleinern</translation>
    </message>
    <message>
        <source>Fit to window</source>
        <translation>An Fenster anpassen</translation>
    </message>
    <message>
        <source>Actual pixels</source>
        <translation>Originalpixel</translation>
    </message>
    <message>
        <source>%1 %</source>
        <extracomment>The editor&apos;s zoom, in percent of one image pixel per screen pixel.</extracomment>
        <translation>%1 %</translation>
    </message>
</context>
<context>
    <name>CaptureTool</name>
    <message>
        <source>The capture tool is missing (looked for %1). Reinstall Kiwano Snapper to grab the screen.</source>
        <translation>Das Aufnahmewerkzeug fehlt (gesucht: %1). Installieren Sie Kiwano Snapper neu, um den Bildschirm aufzunehmen.</translation>
    </message>
</context>
<context>
    <name>ClipListView</name>
    <message>
        <source>Clipboard history</source>
        <translation>Zwischenablage-Verlauf</translation>
    </message>
</context>
<context>
    <name>ClipboardPanel</name>
    <message>
        <source>Clipboard</source>
        <translation>Zwischenablage</translation>
    </message>
    <message>
        <source>Clipboard history</source>
        <translation>Zwischenablage-Verlauf</translation>
    </message>
</context>
<context>
    <name>ClipboardPickerView</name>
    <message>
        <source>Removed 1 item</source>
        <translation>1 Eintrag entfernt</translation>
    </message>
    <message numerus="yes">
        <source>Removed %n items</source>
        <translation>
            <numerusform>%n Eintrag entfernt</numerusform>
            <numerusform>%n Einträge entfernt</numerusform>
        </translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Rückgängig</translation>
    </message>
    <message>
        <source>Clipboard history</source>
        <translation>Zwischenablage-Verlauf</translation>
    </message>
    <message>
        <source>Clipboard</source>
        <translation>Zwischenablage</translation>
    </message>
    <message>
        <source>Type to search...</source>
        <translation>Tippen zum Suchen…</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Suchen</translation>
    </message>
    <message>
        <source>Copy something, and it shows up here.</source>
        <translation>Kopieren Sie etwas, dann erscheint es hier.</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Leeren</translation>
    </message>
    <message>
        <source>Clear everything except pinned items (Ctrl+Shift+⌫)</source>
        <translation>Alles außer angehefteten Einträgen löschen (Strg+Umschalt+⌫)</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>No match. It&apos;s an illusion.</source>
        <translation>Kein Treffer. Alles nur Einbildung.</translation>
    </message>
    <message>
        <source>Nothing copied yet</source>
        <translation>Noch nichts kopiert</translation>
    </message>
</context>
<context>
    <name>ClipboardSection</name>
    <message>
        <source>Keep fewer</source>
        <translation>Weniger behalten</translation>
    </message>
    <message>
        <source>Keep more</source>
        <translation>Mehr behalten</translation>
    </message>
    <message>
        <source>Keep %1</source>
        <translation>%1 behalten</translation>
    </message>
    <message numerus="yes">
        <source>%n items</source>
        <translation>
            <numerusform>%Ln Eintrag</numerusform>
            <numerusform>%Ln Einträge</numerusform>
        </translation>
    </message>
    <message>
        <source>Remember what I copy, including images</source>
        <translation>Merken, was ich kopiere, auch Bilder</translation>
    </message>
    <message>
        <source>Return pastes into the app I was in (Alt+Return just copies)</source>
        <translation>Eingabe fügt in die App ein, in der ich war (Alt+Eingabe kopiert nur)</translation>
    </message>
    <message>
        <source>Clear history when Kiwano Snapper quits (keeps pinned items)</source>
        <translation>Verlauf leeren, wenn Kiwano Snapper beendet wird (angeheftete Einträge bleiben)</translation>
    </message>
    <message>
        <source>Clear History</source>
        <translation>Verlauf leeren</translation>
    </message>
    <message>
        <source>Keep</source>
        <translation>Behalten</translation>
    </message>
    <message>
        <source>Anything an app marks as private (most password managers do) isn&apos;t saved, and nothing is saved while a password manager app is in front. A password copied as plain text from a web page looks like any other text, so delete it with Alt+⌫ in the picker. History stays on this computer, in a private folder that isn&apos;t backed up. Turning history off doesn&apos;t erase it; Clear History does.</source>
        <translation>Was eine App als privat kennzeichnet (das tun die meisten Passwortmanager), wird nicht gespeichert, und solange ein Passwortmanager im Vordergrund ist, wird gar nichts gespeichert. Ein als einfacher Text von einer Webseite kopiertes Passwort sieht aus wie jeder andere Text: Löschen Sie es in der Auswahl mit Alt+⌫. Der Verlauf bleibt auf diesem Computer, in einem privaten Ordner, der nicht gesichert wird. Das Ausschalten des Verlaufs löscht ihn nicht; „Verlauf leeren“ schon.</translation>
    </message>
    <message>
        <source>Plus password managers (KeePassXC, 1Password, Bitwarden, Seahorse...) built in. For a one-off, use Ignore Next Copy or Pause in the 🥝 menu.</source>
        <translation>Dazu kommen fest eingebaute Passwortmanager (KeePassXC, 1Password, Bitwarden, Seahorse…). Für einmal nutzen Sie „Nächste Kopie ignorieren“ oder „Pausieren“ im 🥝-Menü.</translation>
    </message>
    <message>
        <source>Pasting for you needs an X11 session. Until then, items are just copied.</source>
        <translation>Das Einfügen für Sie braucht eine X11-Sitzung. Bis dahin werden Einträge nur kopiert.</translation>
    </message>
    <message>
        <source>Clipboard History</source>
        <translation>Zwischenablage-Verlauf</translation>
    </message>
</context>
<context>
    <name>ColorChip</name>
    <message>
        <source>No color</source>
        <translation>Keine Farbe</translation>
    </message>
</context>
<context>
    <name>ColorPanelBridge</name>
    <message>
        <source>Colors</source>
        <translation>Farben</translation>
    </message>
</context>
<context>
    <name>CommandShortcuts</name>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <source>Copied!</source>
        <translation>Kopiert!</translation>
    </message>
    <message>
        <source>Copy command %1</source>
        <translation>Befehl %1 kopieren</translation>
    </message>
</context>
<context>
    <name>CountdownWindow</name>
    <message>
        <source>Kiwano Snapper Countdown</source>
        <translation>Kiwano Snapper Countdown</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Cancel the timed grab</source>
        <translation>Zeitgesteuerte Aufnahme abbrechen</translation>
    </message>
    <message>
        <source>Esc cancels</source>
        <translation>Esc bricht ab</translation>
    </message>
</context>
<context>
    <name>CropBar</name>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Apply Crop</source>
        <translation>Zuschneiden</translation>
    </message>
</context>
<context>
    <name>DesktopBindings</name>
    <message>
        <source>no reason given</source>
        <translation>ohne Angabe von Gründen</translation>
    </message>
</context>
<context>
    <name>EditorActions</name>
    <message>
        <source>Watermark</source>
        <translation>Wasserzeichen</translation>
    </message>
    <message>
        <source>Add the ZOG kiwano as a layer</source>
        <translation>Die ZOG-Kiwano als Ebene einfügen</translation>
    </message>
    <message>
        <source>Resize</source>
        <translation>Größe ändern</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Rückgängig</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Wiederholen</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Bring forward (Ctrl+])</source>
        <translation>Nach vorne (Strg+])</translation>
    </message>
    <message>
        <source>Send backward (Ctrl+[)</source>
        <translation>Nach hinten (Strg+[)</translation>
    </message>
    <message>
        <source>Delete layer (⌫)</source>
        <translation>Ebene löschen (⌫)</translation>
    </message>
    <message>
        <source>Flatten: bake every layer into the image</source>
        <translation>Reduzieren: alle Ebenen fest ins Bild übernehmen</translation>
    </message>
    <message>
        <source>Pin</source>
        <translation>Anheften</translation>
    </message>
    <message>
        <source>Pin the grab on the screen, above other windows</source>
        <translation>Die Aufnahme über allen anderen Fenstern an den Bildschirm heften</translation>
    </message>
</context>
<context>
    <name>EditorModel</name>
    <message>
        <source>Resized to %1 × %2</source>
        <translation>Größe geändert auf %1 × %2</translation>
    </message>
    <message>
        <source>not enough memory to flatten the image</source>
        <translation>nicht genug Speicher, um das Bild zu reduzieren</translation>
    </message>
    <message>
        <source>PNG image (*.png)</source>
        <translation>PNG-Bild (*.png)</translation>
    </message>
    <message>
        <source>Couldn&apos;t copy: %1</source>
        <translation>Kopieren fehlgeschlagen: %1</translation>
    </message>
    <message>
        <source>Copied!</source>
        <translation>Kopiert!</translation>
    </message>
    <message>
        <source>Couldn&apos;t save: %1</source>
        <translation>Speichern fehlgeschlagen: %1</translation>
    </message>
    <message>
        <source>Nothing to paste</source>
        <translation>Nichts zum Einfügen</translation>
    </message>
    <message>
        <source>Saved %1 default</source>
        <translation>Standard für %1 gespeichert</translation>
    </message>
    <message>
        <source>Saved %1</source>
        <translation>%1 gespeichert</translation>
    </message>
    <message>
        <source>Show</source>
        <translation>Zeigen</translation>
    </message>
</context>
<context>
    <name>EmptyState</name>
    <message>
        <source>Kiwano</source>
        <translation>Kiwano</translation>
    </message>
    <message>
        <source>No grabs yet</source>
        <translation>Noch keine Aufnahmen</translation>
    </message>
    <message>
        <source>Press %1 to grab a region of your screen.</source>
        <translation>Drücken Sie %1, um einen Bereich des Bildschirms aufzunehmen.</translation>
    </message>
    <message>
        <source>Click the kiwano in the menu bar to grab your screen.</source>
        <translation>Klicken Sie auf die Kiwano in der Menüleiste, um den Bildschirm aufzunehmen.</translation>
    </message>
    <message>
        <source>Grab a Region</source>
        <translation>Bereich aufnehmen</translation>
    </message>
    <message>
        <source>Grab a region of the screen</source>
        <translation>Einen Bereich des Bildschirms aufnehmen</translation>
    </message>
</context>
<context>
    <name>GeneralSection</name>
    <message>
        <source>Open Kiwano Snapper when I log in</source>
        <translation>Kiwano Snapper beim Anmelden öffnen</translation>
    </message>
    <message>
        <source>Check for updates automatically</source>
        <translation>Automatisch nach Updates suchen</translation>
    </message>
    <message>
        <source>Check Now</source>
        <translation>Jetzt suchen</translation>
    </message>
    <message>
        <source>Quit Kiwano Snapper</source>
        <translation>Kiwano Snapper beenden</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Allgemein</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Version %1</translation>
    </message>
    <message>
        <source>Couldn&apos;t change it: %1</source>
        <translation>Konnte nicht geändert werden: %1</translation>
    </message>
</context>
<context>
    <name>GnomeKeybindings</name>
    <message>
        <source>GNOME&apos;s settings refused them (%1)</source>
        <translation>die Einstellungen von GNOME haben sie abgelehnt (%1)</translation>
    </message>
    <message>
        <source>gsettings is not installed</source>
        <translation>gsettings ist nicht installiert</translation>
    </message>
    <message>
        <source>GNOME&apos;s keyboard settings cannot be read here</source>
        <translation>die Tastatureinstellungen von GNOME sind hier nicht lesbar</translation>
    </message>
</context>
<context>
    <name>GnomeShell</name>
    <message>
        <source>GNOME Shell did not answer (%1)</source>
        <translation>GNOME Shell hat nicht geantwortet (%1)</translation>
    </message>
    <message>
        <source>GNOME Shell doesn&apos;t know it yet: log out and back in, then try again</source>
        <translation>GNOME Shell kennt sie noch nicht: Melden Sie sich ab und wieder an und versuchen Sie es dann erneut</translation>
    </message>
</context>
<context>
    <name>GrabPlaceholder</name>
    <message>
        <source>Opening grab</source>
        <translation>Aufnahme wird geöffnet</translation>
    </message>
</context>
<context>
    <name>HexField</name>
    <message>
        <source>#hex or r,g,b</source>
        <translation>#hex oder r,g,b</translation>
    </message>
    <message>
        <source>Hex color</source>
        <translation>Hex-Farbe</translation>
    </message>
</context>
<context>
    <name>History</name>
    <message>
        <source>it is not a grab file</source>
        <translation>es ist keine Aufnahmedatei</translation>
    </message>
    <message>
        <source>there is no Trash for it here</source>
        <translation>hier gibt es keinen Papierkorb dafür</translation>
    </message>
    <message>
        <source>there is no Trash for it here; it is in %1</source>
        <translation>hier gibt es keinen Papierkorb dafür; sie liegt in %1</translation>
    </message>
    <message>
        <source>it is no longer in the Trash</source>
        <translation>sie ist nicht mehr im Papierkorb</translation>
    </message>
    <message>
        <source>another file has taken its place</source>
        <translation>eine andere Datei hat ihren Platz eingenommen</translation>
    </message>
</context>
<context>
    <name>HotKey</name>
    <message>
        <source>Ctrl+</source>
        <translation>Strg+</translation>
    </message>
    <message>
        <source>Alt+</source>
        <translation>Alt+</translation>
    </message>
    <message>
        <source>Shift+</source>
        <translation>Umschalt+</translation>
    </message>
    <message>
        <source>Super+</source>
        <translation>Super+</translation>
    </message>
</context>
<context>
    <name>HotKeyActions</name>
    <message>
        <source>Grab Region</source>
        <translation>Bereich aufnehmen</translation>
    </message>
    <message>
        <source>Grab Window</source>
        <translation>Fenster aufnehmen</translation>
    </message>
    <message>
        <source>Grab Whole Screen</source>
        <translation>Ganzen Bildschirm aufnehmen</translation>
    </message>
    <message>
        <source>Clipboard History</source>
        <translation>Zwischenablage-Verlauf</translation>
    </message>
</context>
<context>
    <name>HotKeyRecorder</name>
    <message>
        <source>Click a shortcut, then press the new keys. Delete clears it, Esc cancels.</source>
        <translation>Klicken Sie auf ein Tastenkürzel und drücken Sie dann die neuen Tasten. Entf löscht es, Esc bricht ab.</translation>
    </message>
    <message>
        <source>Press keys...</source>
        <translation>Tasten drücken…</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Keins</translation>
    </message>
</context>
<context>
    <name>IgnoredApps</name>
    <message>
        <source>Add App...</source>
        <translation>App hinzufügen…</translation>
    </message>
    <message>
        <source>Never record copies from</source>
        <translation>Kopien nie aufzeichnen aus</translation>
    </message>
    <message>
        <source>Remove %1</source>
        <translation>%1 entfernen</translation>
    </message>
</context>
<context>
    <name>ImageCanvas</name>
    <message>
        <source>Image</source>
        <translation>Bild</translation>
    </message>
</context>
<context>
    <name>InlineTextField</name>
    <message>
        <source>Type, then ⏎</source>
        <translation>Tippen, dann ⏎</translation>
    </message>
    <message>
        <source>Text</source>
        <translation>Text</translation>
    </message>
</context>
<context>
    <name>LayerRow</name>
    <message>
        <source>%1, selected</source>
        <translation>%1, ausgewählt</translation>
    </message>
</context>
<context>
    <name>LayerSizeFields</name>
    <message>
        <source>Width</source>
        <translation>Breite</translation>
    </message>
    <message>
        <source>Height</source>
        <translation>Höhe</translation>
    </message>
    <message>
        <source>Ratio locked</source>
        <translation>Seitenverhältnis fixiert</translation>
    </message>
    <message>
        <source>Ratio unlocked</source>
        <translation>Seitenverhältnis frei</translation>
    </message>
</context>
<context>
    <name>LayersPanel</name>
    <message>
        <source>Layers</source>
        <translation>Ebenen</translation>
    </message>
    <message>
        <source>Draw something and it shows up here.</source>
        <translation>Zeichnen Sie etwas, dann erscheint es hier.</translation>
    </message>
    <message>
        <source>Bring to Front</source>
        <translation>Ganz nach vorne</translation>
    </message>
    <message>
        <source>Send to Back</source>
        <translation>Ganz nach hinten</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Images (%1)</source>
        <translation>Bilder (%1)</translation>
    </message>
    <message>
        <source>Open Image</source>
        <translation>Bild öffnen</translation>
    </message>
</context>
<context>
    <name>PickerTexts</name>
    <message>
        <source>From %1</source>
        <translation>Aus %1</translation>
    </message>
    <message>
        <source>Copied once</source>
        <translation>Einmal kopiert</translation>
    </message>
    <message numerus="yes">
        <source>Copied %nx</source>
        <translation>
            <numerusform>%n-mal kopiert</numerusform>
            <numerusform>%n-mal kopiert</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 at %2</source>
        <translation>%1 um %2</translation>
    </message>
    <message>
        <source>Pinned</source>
        <translation>Angeheftet</translation>
    </message>
    <message>
        <source>⏎ paste  Alt+⏎ copy</source>
        <translation>⏎&#xa0;einfügen  Alt+⏎&#xa0;kopieren</translation>
    </message>
    <message>
        <source>⏎ copy  Alt+⏎ paste</source>
        <translation>⏎&#xa0;kopieren  Alt+⏎&#xa0;einfügen</translation>
    </message>
    <message>
        <source>  Alt+P pin  Alt+⌫ delete</source>
        <translation>  Alt+P&#xa0;anheften  Alt+⌫&#xa0;löschen</translation>
    </message>
    <message>
        <source>To paste for you, Kiwano Snapper needs an X11 session. Until then ⏎ copies.</source>
        <translation>Um für Sie einzufügen, braucht Kiwano Snapper eine X11-Sitzung. Bis dahin kopiert ⏎ nur.</translation>
    </message>
</context>
<context>
    <name>PinWindow</name>
    <message>
        <source>Pinned %1</source>
        <translation>Angeheftet: %1</translation>
    </message>
    <message>
        <source>Pinned grab %1</source>
        <translation>Angeheftete Aufnahme %1</translation>
    </message>
    <message>
        <source>Drag or use the arrow keys to move it, the wheel or + and - to zoom, Ctrl+wheel to fade it, Ctrl+C to copy it, Esc to close it.</source>
        <translation>Ziehen oder Pfeiltasten verschieben, Mausrad oder + und - zoomen, Strg+Mausrad blendet ab, Strg+C kopiert, Esc schließt.</translation>
    </message>
    <message>
        <source>%1 %</source>
        <translation>%1 %</translation>
    </message>
    <message>
        <source>Opacity %1 %</source>
        <translation>Deckkraft %1 %</translation>
    </message>
    <message>
        <source>Couldn&apos;t copy</source>
        <translation>Kopieren fehlgeschlagen</translation>
    </message>
    <message>
        <source>Copied</source>
        <translation>Kopiert</translation>
    </message>
</context>
<context>
    <name>Png</name>
    <message>
        <source>The image is empty.</source>
        <translation>Das Bild ist leer.</translation>
    </message>
    <message>
        <source>The image could not be compressed.</source>
        <translation>Das Bild konnte nicht komprimiert werden.</translation>
    </message>
</context>
<context>
    <name>Portal</name>
    <message>
        <source>This desktop offers no global shortcuts to applications.</source>
        <translation>Dieser Desktop bietet Anwendungen keine globalen Tastenkürzel an.</translation>
    </message>
    <message>
        <source>The desktop did not allow typing.</source>
        <translation>Der Desktop hat das Tippen nicht erlaubt.</translation>
    </message>
    <message>
        <source>This desktop does not let applications type.</source>
        <translation>Dieser Desktop lässt Anwendungen nicht tippen.</translation>
    </message>
    <message>
        <source>There is no session bus.</source>
        <translation>Es gibt keinen Sitzungsbus.</translation>
    </message>
    <message>
        <source>The desktop refused the request.</source>
        <translation>Der Desktop hat die Anfrage abgelehnt.</translation>
    </message>
    <message>
        <source>The desktop could not carry out the request.</source>
        <translation>Der Desktop konnte die Anfrage nicht ausführen.</translation>
    </message>
    <message>
        <source>The desktop did not answer.</source>
        <translation>Der Desktop hat nicht geantwortet.</translation>
    </message>
    <message>
        <source>the desktop refused the screenshot</source>
        <translation>der Desktop hat das Bildschirmfoto abgelehnt</translation>
    </message>
    <message>
        <source>the desktop did not answer the screenshot request in time</source>
        <translation>der Desktop hat nicht rechtzeitig auf die Bildschirmfoto-Anfrage geantwortet</translation>
    </message>
    <message>
        <source>the desktop offers no screenshot portal</source>
        <translation>der Desktop bietet kein Bildschirmfoto-Portal an</translation>
    </message>
    <message>
        <source>the desktop could not take the screenshot</source>
        <translation>der Desktop konnte kein Bildschirmfoto machen</translation>
    </message>
    <message>
        <source>the desktop&apos;s screenshot is not a local file: %1</source>
        <translation>das Bildschirmfoto des Desktops ist keine lokale Datei: %1</translation>
    </message>
    <message>
        <source>the desktop&apos;s screenshot %1 cannot be read</source>
        <translation>das Bildschirmfoto %1 des Desktops kann nicht gelesen werden</translation>
    </message>
</context>
<context>
    <name>PropertiesPanel</name>
    <message>
        <source>Properties</source>
        <translation>Eigenschaften</translation>
    </message>
    <message>
        <source>Text</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>Select a layer to edit it.</source>
        <translation>Wählen Sie eine Ebene aus, um sie zu bearbeiten.</translation>
    </message>
    <message>
        <source>Set Default</source>
        <translation>Als Standard</translation>
    </message>
    <message>
        <source>Layer: %1</source>
        <translation>Ebene: %1</translation>
    </message>
    <message>
        <source>New %1</source>
        <translation>Neue Ebene: %1</translation>
    </message>
    <message>
        <source>Use these settings for every new %1 layer</source>
        <translation>Diese Einstellungen für jede neue Ebene „%1“ verwenden</translation>
    </message>
</context>
<context>
    <name>QuoteCard</name>
    <message>
        <source>“%1”</source>
        <comment>the quote in its marks</comment>
        <translation>„%1“</translation>
    </message>
</context>
<context>
    <name>RelativeDate</name>
    <message>
        <source>long ago</source>
        <translation>vor langer Zeit</translation>
    </message>
    <message>
        <source>just now</source>
        <translation>gerade eben</translation>
    </message>
    <message>
        <source>1 minute ago</source>
        <translation>vor 1 Minute</translation>
    </message>
    <message numerus="yes">
        <source>%n minutes ago</source>
        <translation>
            <numerusform>vor %n Minute</numerusform>
            <numerusform>vor %n Minuten</numerusform>
        </translation>
    </message>
    <message>
        <source>1 hour ago</source>
        <translation>vor 1 Stunde</translation>
    </message>
    <message numerus="yes">
        <source>%n hours ago</source>
        <translation>
            <numerusform>vor %n Stunde</numerusform>
            <numerusform>vor %n Stunden</numerusform>
        </translation>
    </message>
    <message>
        <source>yesterday</source>
        <translation>gestern</translation>
    </message>
    <message>
        <source>1 day ago</source>
        <translation>vor 1 Tag</translation>
    </message>
    <message numerus="yes">
        <source>%n days ago</source>
        <translation>
            <numerusform>vor %n Tag</numerusform>
            <numerusform>vor %n Tagen</numerusform>
        </translation>
    </message>
    <message>
        <source>last week</source>
        <translation>letzte Woche</translation>
    </message>
    <message numerus="yes">
        <source>%n weeks ago</source>
        <translation>
            <numerusform>vor %n Woche</numerusform>
            <numerusform>vor %n Wochen</numerusform>
        </translation>
    </message>
    <message>
        <source>last month</source>
        <translation>letzten Monat</translation>
    </message>
    <message numerus="yes">
        <source>%n months ago</source>
        <translation>
            <numerusform>vor %n Monat</numerusform>
            <numerusform>vor %n Monaten</numerusform>
        </translation>
    </message>
    <message>
        <source>last year</source>
        <translation>letztes Jahr</translation>
    </message>
    <message numerus="yes">
        <source>%n years ago</source>
        <translation>
            <numerusform>vor %n Jahr</numerusform>
            <numerusform>vor %n Jahren</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ResizePanel</name>
    <message>
        <source>Resize</source>
        <translation>Größe ändern</translation>
    </message>
    <message>
        <source>Now %1 × %2 px</source>
        <translation>Jetzt %1 × %2 px</translation>
    </message>
    <message>
        <source>Width</source>
        <translation>Breite</translation>
    </message>
    <message>
        <source>Height</source>
        <translation>Höhe</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Anwenden</translation>
    </message>
    <message>
        <source>Ratio locked</source>
        <translation>Seitenverhältnis fixiert</translation>
    </message>
    <message>
        <source>Ratio unlocked</source>
        <translation>Seitenverhältnis frei</translation>
    </message>
</context>
<context>
    <name>RootView</name>
    <message>
        <source>Moved %1 to the Trash</source>
        <translation>%1 in den Papierkorb verschoben</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Rückgängig</translation>
    </message>
    <message>
        <source>Kept %1: %2</source>
        <translation>%1 behalten: %2</translation>
    </message>
    <message>
        <source>Put %1 back</source>
        <translation>%1 zurücklegen</translation>
    </message>
    <message>
        <source>Couldn&apos;t put %1 back: %2</source>
        <translation>%1 konnte nicht zurückgelegt werden: %2</translation>
    </message>
</context>
<context>
    <name>SavingSection</name>
    <message>
        <source>Ask where to save each time</source>
        <translation>Jedes Mal fragen, wohin gespeichert wird</translation>
    </message>
    <message>
        <source>Pictures</source>
        <translation>Bilder</translation>
    </message>
    <message>
        <source>Hidden (default)</source>
        <translation>Versteckt (Standard)</translation>
    </message>
    <message>
        <source>Saving &amp; History</source>
        <translation>Speichern &amp; Verlauf</translation>
    </message>
    <message>
        <source>Save to</source>
        <translation>Speichern in</translation>
    </message>
    <message>
        <source>Choose...</source>
        <translation>Wählen…</translation>
    </message>
    <message>
        <source>Choose the save folder</source>
        <translation>Ordner zum Speichern wählen</translation>
    </message>
    <message>
        <source>Grab history</source>
        <translation>Aufnahmeverlauf</translation>
    </message>
    <message>
        <source>Show in File Manager</source>
        <translation>Im Dateimanager zeigen</translation>
    </message>
    <message>
        <source>Choose the grab history folder</source>
        <translation>Ordner für den Aufnahmeverlauf wählen</translation>
    </message>
    <message>
        <source>Your last %1 grabs are kept here as PNGs. Changing the folder moves them; other files in it are never touched.</source>
        <translation>Ihre letzten %1 Aufnahmen werden hier als PNG aufbewahrt. Wechseln Sie den Ordner, ziehen sie mit um; andere Dateien darin bleiben unberührt.</translation>
    </message>
    <message>
        <source>Save Here</source>
        <translation>Hier speichern</translation>
    </message>
    <message>
        <source>Keep History Here</source>
        <translation>Verlauf hier aufbewahren</translation>
    </message>
    <message>
        <source>Couldn&apos;t move the grabs: %1</source>
        <translation>Die Aufnahmen konnten nicht verschoben werden: %1</translation>
    </message>
    <message>
        <source>Ctrl+S opens a Save dialog in this folder, and remembers the last folder you pick.</source>
        <translation>Strg+S öffnet einen Speichern-Dialog in diesem Ordner und merkt sich den zuletzt gewählten Ordner.</translation>
    </message>
    <message>
        <source>Ctrl+S saves straight into this folder, no questions asked.</source>
        <translation>Strg+S speichert direkt in diesen Ordner, ohne Rückfrage.</translation>
    </message>
</context>
<context>
    <name>SelectionOverlay</name>
    <message>
        <source>A click selects nothing: drag over the region to grab</source>
        <translation>Ein Klick wählt nichts aus: Ziehen Sie über den Bereich, den Sie aufnehmen möchten</translation>
    </message>
    <message>
        <source>Arrows: size (Shift: 10 px) · Return: grab · Esc: cancel</source>
        <translation>Pfeiltasten: Größe (Umschalt: 10 px) · Eingabe: aufnehmen · Esc: abbrechen</translation>
    </message>
    <message>
        <source>Click a window · Space: region · Esc: cancel</source>
        <translation>Klicken Sie auf ein Fenster · Leertaste: Bereich · Esc: abbrechen</translation>
    </message>
    <message>
        <source>Drag to select · Return: select by keys · Esc: cancel</source>
        <translation>Ziehen zum Auswählen · Eingabe: per Tastatur auswählen · Esc: abbrechen</translation>
    </message>
    <message>
        <source>Drag to select · Return: select by keys · Space: window · Esc: cancel</source>
        <translation>Ziehen zum Auswählen · Eingabe: per Tastatur auswählen · Leertaste: Fenster · Esc: abbrechen</translation>
    </message>
</context>
<context>
    <name>ServiceAccount</name>
    <message>
        <source>native</source>
        <translation>direkt</translation>
    </message>
    <message>
        <source>falls back</source>
        <translation>Ausweichlösung</translation>
    </message>
    <message>
        <source>not available</source>
        <translation>nicht verfügbar</translation>
    </message>
    <message>
        <source>%1: %2. %3</source>
        <translation>%1: %2. %3</translation>
    </message>
    <message>
        <source>Bind the commands below in your desktop&apos;s keyboard settings.</source>
        <translation>Legen Sie die Befehle unten in den Tastatureinstellungen Ihres Desktops auf Tasten.</translation>
    </message>
    <message>
        <source>X11 apps only, through XWayland</source>
        <translation>nur X11-Apps, über XWayland</translation>
    </message>
    <message>
        <source>copies only: press Ctrl+V yourself</source>
        <translation>nur kopieren: Strg+V selbst drücken</translation>
    </message>
    <message>
        <source>Shortcuts</source>
        <translation>Tastenkürzel</translation>
    </message>
    <message>
        <source>only while an X11 app is in front, through XWayland</source>
        <translation>nur solange eine X11-App im Vordergrund ist, über XWayland</translation>
    </message>
    <message>
        <source>the desktop portal (asks once)</source>
        <translation>das Desktop-Portal (fragt einmal)</translation>
    </message>
    <message>
        <source>Your desktop owns the keys: change them in its keyboard settings.</source>
        <translation>Die Tasten gehören Ihrem Desktop: Ändern Sie sie in seinen Tastatureinstellungen.</translation>
    </message>
    <message>
        <source>this desktop lets no app bind keys</source>
        <translation>dieser Desktop lässt keine App Tasten belegen</translation>
    </message>
    <message>
        <source>Grabs</source>
        <translation>Aufnahmen</translation>
    </message>
    <message>
        <source>the desktop&apos;s screen copy</source>
        <translation>die Bildschirmkopie des Desktops</translation>
    </message>
    <message>
        <source>this desktop shows the screen to no app</source>
        <translation>dieser Desktop zeigt keiner App den Bildschirm</translation>
    </message>
    <message>
        <source>Take the picture with your desktop&apos;s own tool, then open it here.</source>
        <translation>Machen Sie das Bild mit dem Werkzeug Ihres Desktops und öffnen Sie es dann hier.</translation>
    </message>
    <message>
        <source>Clipboard history</source>
        <translation>Zwischenablage-Verlauf</translation>
    </message>
    <message>
        <source>the copies your desktop hands to X11 apps, through XWayland</source>
        <translation>die Kopien, die Ihr Desktop an X11-Apps weitergibt, über XWayland</translation>
    </message>
    <message>
        <source>the desktop&apos;s clipboard</source>
        <translation>die Zwischenablage des Desktops</translation>
    </message>
    <message>
        <source>recorded only while Kiwano Snapper is in front</source>
        <translation>nur aufgezeichnet, solange Kiwano Snapper im Vordergrund ist</translation>
    </message>
    <message>
        <source>Bring a Kiwano Snapper window to the front before you copy what you want to keep.</source>
        <translation>Holen Sie ein Fenster von Kiwano Snapper nach vorne, bevor Sie kopieren, was Sie behalten möchten.</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>Einfügen</translation>
    </message>
    <message>
        <source>Elsewhere entries are copied: press Ctrl+V yourself.</source>
        <translation>Anderswo werden Einträge kopiert: Drücken Sie selbst Strg+V.</translation>
    </message>
    <message>
        <source>the desktop&apos;s virtual keyboard</source>
        <translation>die virtuelle Tastatur des Desktops</translation>
    </message>
    <message>
        <source>the desktop portal (asks once, at the first paste)</source>
        <translation>das Desktop-Portal (fragt einmal, beim ersten Einfügen)</translation>
    </message>
    <message>
        <source>the desktop didn&apos;t take our shortcuts (%1)</source>
        <translation>der Desktop hat unsere Tastenkürzel nicht angenommen (%1)</translation>
    </message>
    <message>
        <source>Kiwano Snapper&apos;s GNOME Shell extension</source>
        <translation>die GNOME-Shell-Erweiterung von Kiwano Snapper</translation>
    </message>
    <message>
        <source>KDE&apos;s global shortcuts</source>
        <translation>die globalen Tastenkürzel von KDE</translation>
    </message>
    <message>
        <source>They are listed under Kiwano Snapper in System Settings, Shortcuts.</source>
        <translation>Sie stehen in den Systemeinstellungen unter Kurzbefehle bei Kiwano Snapper.</translation>
    </message>
    <message>
        <source>KWin&apos;s screenshot service</source>
        <translation>der Bildschirmfoto-Dienst von KWin</translation>
    </message>
    <message>
        <source>KWin&apos;s input for trusted apps</source>
        <translation>die Eingabe von KWin für vertrauenswürdige Apps</translation>
    </message>
</context>
<context>
    <name>SessionSection</name>
    <message>
        <source>This session</source>
        <translation>Diese Sitzung</translation>
    </message>
    <message>
        <source>That didn&apos;t work: %1.</source>
        <translation>Das hat nicht geklappt: %1.</translation>
    </message>
</context>
<context>
    <name>SessionServices</name>
    <message>
        <source>The desktop didn&apos;t take the paste keys. The entry is copied: press Ctrl+V yourself.</source>
        <translation>Der Desktop hat die Einfügetasten nicht angenommen. Der Eintrag ist kopiert: Drücken Sie selbst Strg+V.</translation>
    </message>
    <message>
        <source>The desktop stopped sharing its clipboard, so copies aren&apos;t recorded any more. Restart Kiwano Snapper to record them again.</source>
        <translation>Der Desktop teilt seine Zwischenablage nicht mehr, deshalb werden keine Kopien mehr aufgezeichnet. Starten Sie Kiwano Snapper neu, um sie wieder aufzuzeichnen.</translation>
    </message>
    <message>
        <source>To paste for you, Kiwano Snapper types Ctrl+V into the app in front. Your desktop asks you once whether it may.</source>
        <translation>Um für Sie einzufügen, tippt Kiwano Snapper Strg+V in die App im Vordergrund. Ihr Desktop fragt Sie einmal, ob es das darf.</translation>
    </message>
    <message>
        <source>Pasting for you isn&apos;t allowed (%1). Entries are copied; press Ctrl+V yourself.</source>
        <translation>Das Einfügen ist nicht erlaubt (%1). Einträge werden kopiert; drücken Sie selbst Strg+V.</translation>
    </message>
    <message>
        <source>The desktop didn&apos;t take our shortcuts (%1). Bind kiwano-snapper --region (or --window, --screen, --clipboard) in its keyboard settings.</source>
        <translation>Der Desktop hat unsere Tastenkürzel nicht angenommen (%1). Legen Sie kiwano-snapper --region (oder --window, --screen, --clipboard) in seinen Tastatureinstellungen auf Tasten.</translation>
    </message>
    <message>
        <source>GNOME Shell didn&apos;t type the paste keys. The entry is copied: press Ctrl+V yourself.</source>
        <translation>GNOME Shell hat die Einfügetasten nicht getippt. Der Eintrag ist kopiert: Drücken Sie selbst Strg+V.</translation>
    </message>
    <message>
        <source>GNOME Shell didn&apos;t take these shortcuts: %1. Another app may use them; choose others in the settings.</source>
        <translation>GNOME Shell hat diese Tastenkürzel nicht angenommen: %1. Vielleicht verwendet eine andere App sie; wählen Sie in den Einstellungen andere.</translation>
    </message>
</context>
<context>
    <name>SettingsView</name>
    <message>
        <source>Kiwano Snapper&apos;s GNOME Shell extension records copies in every app, pastes for you, takes the shortcuts everywhere and grabs without asking. It serves Kiwano Snapper from its next start.</source>
        <translation>Die GNOME-Shell-Erweiterung von Kiwano Snapper zeichnet Kopien in jeder App auf, fügt für Sie ein, nimmt die Tastenkürzel überall an und macht Aufnahmen ohne Nachfrage. Sie dient Kiwano Snapper ab dem nächsten Start.</translation>
    </message>
    <message>
        <source>Turn On Extension</source>
        <translation>Erweiterung einschalten</translation>
    </message>
    <message>
        <source>The extension is on: restart Kiwano Snapper to use it.</source>
        <translation>Die Erweiterung ist an: Starten Sie Kiwano Snapper neu, um sie zu nutzen.</translation>
    </message>
    <message>
        <source>Or let GNOME run our command lines on the shortcuts set below, in every app.</source>
        <translation>Oder lassen Sie GNOME unsere Befehlszeilen mit den unten gewählten Tastenkürzeln ausführen, in jeder App.</translation>
    </message>
    <message>
        <source>Add to GNOME Shortcuts</source>
        <translation>Zu GNOME-Tastenkürzeln hinzufügen</translation>
    </message>
    <message>
        <source>Added to GNOME&apos;s keyboard shortcuts: they work in every app now.</source>
        <translation>Zu den Tastenkürzeln von GNOME hinzugefügt: Sie wirken jetzt in jeder App.</translation>
    </message>
</context>
<context>
    <name>SettingsWindowController</name>
    <message>
        <source>🥝 Kiwano Snapper Settings</source>
        <translation>🥝 Kiwano Snapper – Einstellungen</translation>
    </message>
</context>
<context>
    <name>ShortcutField</name>
    <message>
        <source>%1 shortcut: %2</source>
        <translation>Tastenkürzel für „%1“: %2</translation>
    </message>
</context>
<context>
    <name>ShortcutGuide</name>
    <message>
        <source>In Settings &gt; Keyboard &gt; View and Customise Shortcuts &gt; Custom Shortcuts, add one shortcut per command: give it a name, paste the command, then set the keys.</source>
        <translation>Fügen Sie unter Einstellungen &gt; Tastatur &gt; Tastaturkürzel anzeigen und anpassen &gt; Eigene Tastaturkürzel ein Kürzel pro Befehl hinzu: Namen vergeben, Befehl einfügen, dann die Tasten festlegen.</translation>
    </message>
    <message>
        <source>In System Settings &gt; Shortcuts &gt; Add New &gt; Command or Script, add one per command: paste the command, then set the keys.</source>
        <translation>Fügen Sie unter Systemeinstellungen &gt; Kurzbefehle &gt; Neu hinzufügen &gt; Befehl oder Skript einen pro Befehl hinzu: Befehl einfügen, dann die Tasten festlegen.</translation>
    </message>
    <message>
        <source>Add these lines to ~/.config/sway/config, then reload sway (Super+Shift+C, or swaymsg reload). Change the keys to taste.</source>
        <translation>Fügen Sie diese Zeilen in ~/.config/sway/config ein und laden Sie sway neu (Super+Umschalt+C oder swaymsg reload). Die Tasten können Sie nach Belieben ändern.</translation>
    </message>
    <message>
        <source>Bind each command to keys in your desktop&apos;s keyboard settings, usually under Shortcuts or Custom Shortcuts.</source>
        <translation>Legen Sie jeden Befehl in den Tastatureinstellungen Ihres Desktops auf Tasten, meist unter „Tastenkürzel“ oder „Eigene Tastenkürzel“.</translation>
    </message>
</context>
<context>
    <name>ShortcutWarning</name>
    <message>
        <source>Your desktop uses %1 for its own screenshots. Turn it off in its keyboard settings to use it here.</source>
        <translation>Ihr Desktop nutzt %1 für seine eigenen Bildschirmfotos. Schalten Sie das in seinen Tastatureinstellungen ab, um die Taste hier zu nutzen.</translation>
    </message>
    <message>
        <source>Another app is using %1. Quit it or pick another shortcut.</source>
        <translation>Eine andere App nutzt %1. Beenden Sie sie oder wählen Sie ein anderes Tastenkürzel.</translation>
    </message>
</context>
<context>
    <name>ShortcutsSection</name>
    <message>
        <source>Kiwano keys</source>
        <translation>Kiwano-Tasten</translation>
    </message>
    <message>
        <source>Print Screen keys</source>
        <translation>Druck-Tasten</translation>
    </message>
    <message>
        <source>Shortcuts</source>
        <translation>Tastenkürzel</translation>
    </message>
    <message>
        <source>These keys work only while an X11 app is in front. %1</source>
        <translation>Diese Tasten wirken nur, solange eine X11-App im Vordergrund ist. %1</translation>
    </message>
    <message>
        <source>Your desktop owns these shortcuts: it shows them here as it bound them. Change the keys in its keyboard settings.</source>
        <translation>Diese Tastenkürzel gehören Ihrem Desktop: Er zeigt sie hier so, wie er sie belegt hat. Ändern Sie die Tasten in seinen Tastatureinstellungen.</translation>
    </message>
    <message>
        <source>No shortcut</source>
        <translation>Kein Tastenkürzel</translation>
    </message>
    <message>
        <source>No shortcut for %1</source>
        <translation>Kein Tastenkürzel für „%1“</translation>
    </message>
    <message>
        <source>Shift+Super+6 grabs a region, Shift+Super+C opens clipboard history</source>
        <translation>Umschalt+Super+6 nimmt einen Bereich auf, Umschalt+Super+C öffnet den Zwischenablage-Verlauf</translation>
    </message>
    <message>
        <source>Shift+Print grabs a region (Space for a window), Print the whole screen</source>
        <translation>Umschalt+Print nimmt einen Bereich auf (Leertaste für ein Fenster), Print den ganzen Bildschirm</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Keins</translation>
    </message>
</context>
<context>
    <name>StatusTexts</name>
    <message>
        <source>Kiwano Snapper (clipboard history paused)</source>
        <translation>Kiwano Snapper (Zwischenablage-Verlauf pausiert)</translation>
    </message>
    <message>
        <source>Kiwano Snapper (ignoring the next copy)</source>
        <translation>Kiwano Snapper (nächste Kopie wird ignoriert)</translation>
    </message>
    <message>
        <source>Resume Clipboard History</source>
        <translation>Zwischenablage-Verlauf fortsetzen</translation>
    </message>
    <message>
        <source>Pause Clipboard History</source>
        <translation>Zwischenablage-Verlauf pausieren</translation>
    </message>
</context>
<context>
    <name>StepFormat</name>
    <message>
        <source>Less %1</source>
        <translation>„%1“ verringern</translation>
    </message>
    <message>
        <source>More %1</source>
        <translation>„%1“ erhöhen</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Aus</translation>
    </message>
    <message>
        <source>%1%</source>
        <translation>%1&#xa0;%</translation>
    </message>
</context>
<context>
    <name>StripView</name>
    <message>
        <source>Grabs</source>
        <translation>Aufnahmen</translation>
    </message>
    <message>
        <source>Show in File Manager</source>
        <translation>Im Dateimanager zeigen</translation>
    </message>
    <message>
        <source>Move to Trash</source>
        <translation>In den Papierkorb</translation>
    </message>
    <message>
        <source>Pin on Screen</source>
        <translation>An den Bildschirm heften</translation>
    </message>
</context>
<context>
    <name>Swatches</name>
    <message>
        <source>Pick any color (RGB, hex, eyedropper…)</source>
        <translation>Beliebige Farbe wählen (RGB, Hex, Pipette…)</translation>
    </message>
</context>
<context>
    <name>TextContentField</name>
    <message>
        <source>Text</source>
        <translation>Text</translation>
    </message>
</context>
<context>
    <name>TextFont</name>
    <message>
        <source>Sans</source>
        <translation>Sans</translation>
    </message>
    <message>
        <source>Rounded</source>
        <translation>Rund</translation>
    </message>
    <message>
        <source>Serif</source>
        <translation>Serif</translation>
    </message>
    <message>
        <source>Mono</source>
        <translation>Mono</translation>
    </message>
    <message>
        <source>Pixel</source>
        <translation>Pixel</translation>
    </message>
    <message>
        <source>Marker</source>
        <translation>Marker</translation>
    </message>
    <message>
        <source>Chalk</source>
        <translation>Kreide</translation>
    </message>
</context>
<context>
    <name>Tool</name>
    <message>
        <source>Redaction</source>
        <translation>Schwärzung</translation>
    </message>
    <message>
        <source>Move</source>
        <translation>Verschieben</translation>
    </message>
    <message>
        <source>Pen</source>
        <translation>Stift</translation>
    </message>
    <message>
        <source>Highlight</source>
        <translation>Textmarker</translation>
    </message>
    <message>
        <source>Arrow</source>
        <translation>Pfeil</translation>
    </message>
    <message>
        <source>Box</source>
        <translation>Rahmen</translation>
    </message>
    <message>
        <source>Text</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>Blur</source>
        <translation>Verpixeln</translation>
    </message>
    <message>
        <source>Focus</source>
        <translation>Fokus</translation>
    </message>
    <message>
        <source>Stamp</source>
        <translation>Stempel</translation>
    </message>
    <message>
        <source>Crop</source>
        <translation>Zuschneiden</translation>
    </message>
    <message>
        <source>Watermark</source>
        <translation>Wasserzeichen</translation>
    </message>
    <message>
        <source>Image</source>
        <translation>Bild</translation>
    </message>
</context>
<context>
    <name>ToolControls</name>
    <message>
        <source>Color</source>
        <translation>Farbe</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>Stroke width</source>
        <translation>Linienbreite</translation>
    </message>
    <message>
        <source>Stroke color</source>
        <translation>Linienfarbe</translation>
    </message>
    <message>
        <source>Fill color</source>
        <translation>Füllfarbe</translation>
    </message>
    <message>
        <source>Corner radius</source>
        <translation>Eckenradius</translation>
    </message>
    <message>
        <source>Font</source>
        <translation>Schrift</translation>
    </message>
    <message>
        <source>Text color</source>
        <translation>Textfarbe</translation>
    </message>
    <message>
        <source>Outline</source>
        <translation>Kontur</translation>
    </message>
    <message>
        <source>Outline color</source>
        <translation>Konturfarbe</translation>
    </message>
    <message>
        <source>Pixel size</source>
        <translation>Pixelgröße</translation>
    </message>
    <message>
        <source>Style</source>
        <translation>Stil</translation>
    </message>
    <message>
        <source>Blur</source>
        <translation>Unschärfe</translation>
    </message>
    <message>
        <source>Redact</source>
        <translation>Schwärzen</translation>
    </message>
    <message>
        <source>Black</source>
        <translation>Schwarz</translation>
    </message>
    <message>
        <source>Redact and Black keep nothing of what they cover in the copy or the saved file.</source>
        <translation>Schwärzen und Schwarz lassen in der Kopie und in der gespeicherten Datei nichts von dem übrig, was sie verdecken.</translation>
    </message>
    <message>
        <source>Dim</source>
        <translation>Abdunkeln</translation>
    </message>
    <message>
        <source>Opacity</source>
        <translation>Deckkraft</translation>
    </message>
    <message>
        <source>Size (px)</source>
        <translation>Größe (px)</translation>
    </message>
    <message>
        <source>Original Size</source>
        <translation>Originalgröße</translation>
    </message>
    <message>
        <source>Drag a corner to resize. Hold Shift to stretch.</source>
        <translation>Ziehen Sie an einer Ecke, um die Größe zu ändern. Mit gedrückter Umschalttaste wird gestreckt.</translation>
    </message>
</context>
<context>
    <name>Toolbar</name>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
</context>
<context>
    <name>TrayMenu</name>
    <message>
        <source>Open Kiwano Snapper</source>
        <translation>Kiwano Snapper öffnen</translation>
    </message>
    <message>
        <source>Ignore Next Copy</source>
        <translation>Nächste Kopie ignorieren</translation>
    </message>
    <message>
        <source>Open Image...</source>
        <translation>Bild öffnen…</translation>
    </message>
    <message>
        <source>Settings...</source>
        <translation>Einstellungen…</translation>
    </message>
    <message>
        <source>Check for Updates...</source>
        <translation>Nach Updates suchen…</translation>
    </message>
    <message>
        <source>Quit Kiwano Snapper</source>
        <translation>Kiwano Snapper beenden</translation>
    </message>
    <message>
        <source>Grab Last Region Again</source>
        <translation>Letzten Bereich erneut aufnehmen</translation>
    </message>
    <message>
        <source>3 Seconds</source>
        <translation>3 Sekunden</translation>
    </message>
    <message>
        <source>5 Seconds</source>
        <translation>5 Sekunden</translation>
    </message>
    <message>
        <source>10 Seconds</source>
        <translation>10 Sekunden</translation>
    </message>
    <message>
        <source>Grab Region After</source>
        <translation>Bereich aufnehmen nach</translation>
    </message>
</context>
<context>
    <name>UpdateSettings</name>
    <message>
        <source>Kiwano Snapper updates come with your package manager.</source>
        <translation>Updates für Kiwano Snapper kommen über Ihre Paketverwaltung.</translation>
    </message>
</context>
<context>
    <name>WarningBox</name>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
</context>
</TS>
