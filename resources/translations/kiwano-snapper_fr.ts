<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>Announcer</name>
    <message>
        <source>No file manager could show %1.</source>
        <translation>Aucun gestionnaire de fichiers n’a pu afficher %1.</translation>
    </message>
    <message>
        <source>Copy Path</source>
        <translation>Copier le chemin</translation>
    </message>
    <message>
        <source>The grab didn&apos;t work: %1</source>
        <translation>La capture a échoué&#xa0;: %1</translation>
    </message>
    <message>
        <source>Copies can&apos;t be stored: something that isn&apos;t a folder stands where the clipboard history should be (%1).</source>
        <translation>Impossible d’enregistrer les copies&#xa0;: à l’emplacement de l’historique du presse-papiers se trouve autre chose qu’un dossier (%1).</translation>
    </message>
    <message>
        <source>The clipboard history couldn&apos;t be read. It was set aside unchanged, and a new history has begun.</source>
        <translation>L’historique du presse-papiers n’a pas pu être lu. Il a été mis de côté sans modification, et un nouvel historique a commencé.</translation>
    </message>
    <message>
        <source>A copy couldn&apos;t be stored. Is the disk full?</source>
        <translation>Une copie n’a pas pu être enregistrée. Le disque est-il plein&#xa0;?</translation>
    </message>
</context>
<context>
    <name>AppChooser</name>
    <message>
        <source>Ignore</source>
        <translation>Ignorer</translation>
    </message>
    <message>
        <source>Never record copies from</source>
        <translation>Ne jamais enregistrer les copies de</translation>
    </message>
    <message>
        <source>Choose an app whose copies are never recorded.</source>
        <translation>Choisissez une application dont les copies ne seront jamais enregistrées.</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Rechercher</translation>
    </message>
    <message>
        <source>Search applications</source>
        <translation>Rechercher une application</translation>
    </message>
    <message>
        <source>Applications</source>
        <translation>Applications</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
</context>
<context>
    <name>AppDelegate</name>
    <message>
        <source>Couldn&apos;t pin %1: it isn&apos;t an image Kiwano Snapper can open.</source>
        <translation>Impossible d’épingler %1&#xa0;: Kiwano Snapper ne sait pas l’ouvrir comme image.</translation>
    </message>
    <message>
        <source>There is no region to grab again yet: drag one, and the next time it is grabbed again at once.</source>
        <translation>Il n’y a pas encore de zone à recapturer&#xa0;: tracez-en une, et la prochaine fois elle sera recapturée aussitôt.</translation>
    </message>
</context>
<context>
    <name>Autostart</name>
    <message>
        <source>Cannot create the folder %1</source>
        <translation>Impossible de créer le dossier %1</translation>
    </message>
</context>
<context>
    <name>CanvasArea</name>
    <message>
        <source>Scroll horizontally</source>
        <translation>Défiler horizontalement</translation>
    </message>
    <message>
        <source>Scroll vertically</source>
        <translation>Défiler verticalement</translation>
    </message>
    <message>
        <source>Zoom</source>
        <translation>Zoom</translation>
    </message>
    <message>
        <source>Zoom in</source>
        <translation>Zoom avant</translation>
    </message>
    <message>
        <source>Zoom out</source>
        <translation>Zoom arrière</translation>
    </message>
    <message>
        <source>Fit to window</source>
        <translation>Ajuster à la fenêtre</translation>
    </message>
    <message>
        <source>Actual pixels</source>
        <translation>Pixels réels</translation>
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
        <translation>L’outil de capture est introuvable (cherché&#xa0;: %1). Réinstallez Kiwano Snapper pour capturer l’écran.</translation>
    </message>
</context>
<context>
    <name>ClipListView</name>
    <message>
        <source>Clipboard history</source>
        <translation>Historique du presse-papiers</translation>
    </message>
</context>
<context>
    <name>ClipboardPanel</name>
    <message>
        <source>Clipboard</source>
        <translation>Presse-papiers</translation>
    </message>
    <message>
        <source>Clipboard history</source>
        <translation>Historique du presse-papiers</translation>
    </message>
</context>
<context>
    <name>ClipboardPickerView</name>
    <message>
        <source>Removed 1 item</source>
        <translation>1 élément supprimé</translation>
    </message>
    <message numerus="yes">
        <source>Removed %n items</source>
        <translation>
            <numerusform>%n élément supprimé</numerusform>
            <numerusform>%n éléments supprimés</numerusform>
        </translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Clipboard history</source>
        <translation>Historique du presse-papiers</translation>
    </message>
    <message>
        <source>Clipboard</source>
        <translation>Presse-papiers</translation>
    </message>
    <message>
        <source>Type to search...</source>
        <translation>Tapez pour rechercher…</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Rechercher</translation>
    </message>
    <message>
        <source>Copy something, and it shows up here.</source>
        <translation>Copiez quelque chose&#xa0;: il apparaîtra ici.</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Vider</translation>
    </message>
    <message>
        <source>Clear everything except pinned items (Ctrl+Shift+⌫)</source>
        <translation>Tout effacer sauf les éléments épinglés (Ctrl+Maj+⌫)</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Paramètres</translation>
    </message>
    <message>
        <source>No match. It&apos;s an illusion.</source>
        <translation>Aucun résultat. Ce n’était qu’une illusion.</translation>
    </message>
    <message>
        <source>Nothing copied yet</source>
        <translation>Rien de copié pour l’instant</translation>
    </message>
</context>
<context>
    <name>ClipboardSection</name>
    <message>
        <source>Keep fewer</source>
        <translation>En conserver moins</translation>
    </message>
    <message>
        <source>Keep more</source>
        <translation>En conserver plus</translation>
    </message>
    <message>
        <source>Keep %1</source>
        <translation>Conserver %1</translation>
    </message>
    <message numerus="yes">
        <source>%n items</source>
        <translation>
            <numerusform>%Ln élément</numerusform>
            <numerusform>%Ln éléments</numerusform>
        </translation>
    </message>
    <message>
        <source>Remember what I copy, including images</source>
        <translation>Retenir ce que je copie, images comprises</translation>
    </message>
    <message>
        <source>Return pastes into the app I was in (Alt+Return just copies)</source>
        <translation>Entrée colle dans l’application où j’étais (Alt+Entrée copie seulement)</translation>
    </message>
    <message>
        <source>Clear history when Kiwano Snapper quits (keeps pinned items)</source>
        <translation>Vider l’historique en quittant Kiwano Snapper (les éléments épinglés restent)</translation>
    </message>
    <message>
        <source>Clear History</source>
        <translation>Vider l’historique</translation>
    </message>
    <message>
        <source>Keep</source>
        <translation>Conserver</translation>
    </message>
    <message>
        <source>Anything an app marks as private (most password managers do) isn&apos;t saved, and nothing is saved while a password manager app is in front. A password copied as plain text from a web page looks like any other text, so delete it with Alt+⌫ in the picker. History stays on this computer, in a private folder that isn&apos;t backed up. Turning history off doesn&apos;t erase it; Clear History does.</source>
        <translation>Ce qu’une application marque comme privé (c’est le cas de la plupart des gestionnaires de mots de passe) n’est pas enregistré, et rien ne l’est tant qu’un gestionnaire de mots de passe est au premier plan. Un mot de passe copié en texte brut depuis une page web ressemble à n’importe quel texte&#xa0;: supprimez-le avec Alt+⌫ dans le sélecteur. L’historique reste sur cet ordinateur, dans un dossier privé qui n’est pas sauvegardé. Désactiver l’historique ne l’efface pas&#xa0;; «&#xa0;Vider l’historique&#xa0;» le fait.</translation>
    </message>
    <message>
        <source>Plus password managers (KeePassXC, 1Password, Bitwarden, Seahorse...) built in. For a one-off, use Ignore Next Copy or Pause in the 🥝 menu.</source>
        <translation>S’y ajoutent les gestionnaires de mots de passe intégrés (KeePassXC, 1Password, Bitwarden, Seahorse…). Pour une fois seulement, utilisez «&#xa0;Ignorer la prochaine copie&#xa0;» ou «&#xa0;Suspendre&#xa0;» dans le menu 🥝.</translation>
    </message>
    <message>
        <source>Pasting for you needs an X11 session. Until then, items are just copied.</source>
        <translation>Coller à votre place nécessite une session X11. D’ici là, les éléments sont seulement copiés.</translation>
    </message>
    <message>
        <source>Clipboard History</source>
        <translation>Historique du presse-papiers</translation>
    </message>
</context>
<context>
    <name>ColorChip</name>
    <message>
        <source>No color</source>
        <translation>Aucune couleur</translation>
    </message>
</context>
<context>
    <name>ColorPanelBridge</name>
    <message>
        <source>Colors</source>
        <translation>Couleurs</translation>
    </message>
</context>
<context>
    <name>CommandShortcuts</name>
    <message>
        <source>Copy</source>
        <translation>Copier</translation>
    </message>
    <message>
        <source>Copied!</source>
        <translation>Copié&#xa0;!</translation>
    </message>
    <message>
        <source>Copy command %1</source>
        <translation>Copier la commande %1</translation>
    </message>
</context>
<context>
    <name>CountdownWindow</name>
    <message>
        <source>Kiwano Snapper Countdown</source>
        <translation>Compte à rebours de Kiwano Snapper</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Cancel the timed grab</source>
        <translation>Annuler la capture retardée</translation>
    </message>
    <message>
        <source>Esc cancels</source>
        <translation>Échap pour annuler</translation>
    </message>
</context>
<context>
    <name>CropBar</name>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Apply Crop</source>
        <translation>Recadrer</translation>
    </message>
</context>
<context>
    <name>DesktopBindings</name>
    <message>
        <source>no reason given</source>
        <translation>sans raison donnée</translation>
    </message>
</context>
<context>
    <name>EditorActions</name>
    <message>
        <source>Watermark</source>
        <translation>Filigrane</translation>
    </message>
    <message>
        <source>Add the ZOG kiwano as a layer</source>
        <translation>Ajouter le kiwano ZOG en calque</translation>
    </message>
    <message>
        <source>Resize</source>
        <translation>Redimensionner</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Rétablir</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Copier</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Enregistrer</translation>
    </message>
    <message>
        <source>Bring forward (Ctrl+])</source>
        <translation>Avancer (Ctrl+])</translation>
    </message>
    <message>
        <source>Send backward (Ctrl+[)</source>
        <translation>Reculer (Ctrl+[)</translation>
    </message>
    <message>
        <source>Delete layer (⌫)</source>
        <translation>Supprimer le calque (⌫)</translation>
    </message>
    <message>
        <source>Flatten: bake every layer into the image</source>
        <translation>Aplatir&#xa0;: fondre tous les calques dans l’image</translation>
    </message>
    <message>
        <source>Pin</source>
        <translation>Épingler</translation>
    </message>
    <message>
        <source>Pin the grab on the screen, above other windows</source>
        <translation>Épingler la capture à l’écran, au-dessus des autres fenêtres</translation>
    </message>
</context>
<context>
    <name>EditorModel</name>
    <message>
        <source>Resized to %1 × %2</source>
        <translation>Redimensionnée en %1 × %2</translation>
    </message>
    <message>
        <source>not enough memory to flatten the image</source>
        <translation>pas assez de mémoire pour aplatir l’image</translation>
    </message>
    <message>
        <source>PNG image (*.png)</source>
        <translation>Image PNG (*.png)</translation>
    </message>
    <message>
        <source>Couldn&apos;t copy: %1</source>
        <translation>Copie impossible&#xa0;: %1</translation>
    </message>
    <message>
        <source>Copied!</source>
        <translation>Copié&#xa0;!</translation>
    </message>
    <message>
        <source>Couldn&apos;t save: %1</source>
        <translation>Enregistrement impossible&#xa0;: %1</translation>
    </message>
    <message>
        <source>Nothing to paste</source>
        <translation>Rien à coller</translation>
    </message>
    <message>
        <source>Saved %1 default</source>
        <translation>Réglages par défaut de %1 enregistrés</translation>
    </message>
    <message>
        <source>Saved %1</source>
        <translation>%1 enregistré</translation>
    </message>
    <message>
        <source>Show</source>
        <translation>Afficher</translation>
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
        <translation>Pas encore de capture</translation>
    </message>
    <message>
        <source>Press %1 to grab a region of your screen.</source>
        <translation>Appuyez sur %1 pour capturer une zone de l’écran.</translation>
    </message>
    <message>
        <source>Click the kiwano in the menu bar to grab your screen.</source>
        <translation>Cliquez sur le kiwano de la barre de menus pour capturer l’écran.</translation>
    </message>
    <message>
        <source>Grab a Region</source>
        <translation>Capturer une zone</translation>
    </message>
    <message>
        <source>Grab a region of the screen</source>
        <translation>Capturer une zone de l’écran</translation>
    </message>
</context>
<context>
    <name>GeneralSection</name>
    <message>
        <source>Open Kiwano Snapper when I log in</source>
        <translation>Ouvrir Kiwano Snapper à l’ouverture de session</translation>
    </message>
    <message>
        <source>Check for updates automatically</source>
        <translation>Rechercher les mises à jour automatiquement</translation>
    </message>
    <message>
        <source>Check Now</source>
        <translation>Rechercher</translation>
    </message>
    <message>
        <source>Quit Kiwano Snapper</source>
        <translation>Quitter Kiwano Snapper</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Général</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Version %1</translation>
    </message>
    <message>
        <source>Couldn&apos;t change it: %1</source>
        <translation>Modification impossible&#xa0;: %1</translation>
    </message>
</context>
<context>
    <name>GnomeKeybindings</name>
    <message>
        <source>GNOME&apos;s settings refused them (%1)</source>
        <translation>les réglages de GNOME les ont refusés (%1)</translation>
    </message>
    <message>
        <source>gsettings is not installed</source>
        <translation>gsettings n’est pas installé</translation>
    </message>
    <message>
        <source>GNOME&apos;s keyboard settings cannot be read here</source>
        <translation>les réglages clavier de GNOME ne sont pas lisibles ici</translation>
    </message>
</context>
<context>
    <name>GnomeShell</name>
    <message>
        <source>GNOME Shell did not answer (%1)</source>
        <translation>GNOME Shell n’a pas répondu (%1)</translation>
    </message>
    <message>
        <source>GNOME Shell doesn&apos;t know it yet: log out and back in, then try again</source>
        <translation>GNOME Shell ne la connaît pas encore&#xa0;: fermez la session puis rouvrez-la, et réessayez</translation>
    </message>
</context>
<context>
    <name>GrabPlaceholder</name>
    <message>
        <source>Opening grab</source>
        <translation>Ouverture de la capture</translation>
    </message>
</context>
<context>
    <name>HexField</name>
    <message>
        <source>#hex or r,g,b</source>
        <translation>#hex ou r,g,b</translation>
    </message>
    <message>
        <source>Hex color</source>
        <translation>Couleur hexadécimale</translation>
    </message>
</context>
<context>
    <name>History</name>
    <message>
        <source>it is not a grab file</source>
        <translation>ce n’est pas un fichier de capture</translation>
    </message>
    <message>
        <source>there is no Trash for it here</source>
        <translation>il n’y a pas de corbeille pour lui ici</translation>
    </message>
    <message>
        <source>there is no Trash for it here; it is in %1</source>
        <translation>il n’y a pas de corbeille pour lui ici ; il se trouve dans %1</translation>
    </message>
    <message>
        <source>it is no longer in the Trash</source>
        <translation>il n’est plus dans la corbeille</translation>
    </message>
    <message>
        <source>another file has taken its place</source>
        <translation>un autre fichier a pris sa place</translation>
    </message>
</context>
<context>
    <name>HotKey</name>
    <message>
        <source>Ctrl+</source>
        <translation>Ctrl+</translation>
    </message>
    <message>
        <source>Alt+</source>
        <translation>Alt+</translation>
    </message>
    <message>
        <source>Shift+</source>
        <translation>Maj+</translation>
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
        <translation>Capturer une zone</translation>
    </message>
    <message>
        <source>Grab Window</source>
        <translation>Capturer une fenêtre</translation>
    </message>
    <message>
        <source>Grab Whole Screen</source>
        <translation>Capturer tout l’écran</translation>
    </message>
    <message>
        <source>Clipboard History</source>
        <translation>Historique du presse-papiers</translation>
    </message>
</context>
<context>
    <name>HotKeyRecorder</name>
    <message>
        <source>Click a shortcut, then press the new keys. Delete clears it, Esc cancels.</source>
        <translation>Cliquez sur un raccourci, puis appuyez sur les nouvelles touches. Suppr l’efface, Échap annule.</translation>
    </message>
    <message>
        <source>Press keys...</source>
        <translation>Appuyez sur des touches…</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Aucun</translation>
    </message>
</context>
<context>
    <name>IgnoredApps</name>
    <message>
        <source>Add App...</source>
        <translation>Ajouter une application…</translation>
    </message>
    <message>
        <source>Never record copies from</source>
        <translation>Ne jamais enregistrer les copies de</translation>
    </message>
    <message>
        <source>Remove %1</source>
        <translation>Retirer %1</translation>
    </message>
</context>
<context>
    <name>ImageCanvas</name>
    <message>
        <source>Image</source>
        <translation>Image</translation>
    </message>
</context>
<context>
    <name>InlineTextField</name>
    <message>
        <source>Type, then ⏎</source>
        <translation>Tapez, puis ⏎</translation>
    </message>
    <message>
        <source>Text</source>
        <translation>Texte</translation>
    </message>
</context>
<context>
    <name>LayerRow</name>
    <message>
        <source>%1, selected</source>
        <translation>%1, sélectionné</translation>
    </message>
</context>
<context>
    <name>LayerSizeFields</name>
    <message>
        <source>Width</source>
        <translation>Largeur</translation>
    </message>
    <message>
        <source>Height</source>
        <translation>Hauteur</translation>
    </message>
    <message>
        <source>Ratio locked</source>
        <translation>Proportions verrouillées</translation>
    </message>
    <message>
        <source>Ratio unlocked</source>
        <translation>Proportions libres</translation>
    </message>
</context>
<context>
    <name>LayersPanel</name>
    <message>
        <source>Layers</source>
        <translation>Calques</translation>
    </message>
    <message>
        <source>Draw something and it shows up here.</source>
        <translation>Dessinez quelque chose&#xa0;: il apparaîtra ici.</translation>
    </message>
    <message>
        <source>Bring to Front</source>
        <translation>Mettre au premier plan</translation>
    </message>
    <message>
        <source>Send to Back</source>
        <translation>Mettre à l’arrière-plan</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Supprimer</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Images (%1)</source>
        <translation>Images (%1)</translation>
    </message>
    <message>
        <source>Open Image</source>
        <translation>Ouvrir une image</translation>
    </message>
</context>
<context>
    <name>PickerTexts</name>
    <message>
        <source>From %1</source>
        <translation>Depuis %1</translation>
    </message>
    <message>
        <source>Copied once</source>
        <translation>Copié une fois</translation>
    </message>
    <message numerus="yes">
        <source>Copied %nx</source>
        <translation>
            <numerusform>Copié %n fois</numerusform>
            <numerusform>Copié %n fois</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 at %2</source>
        <translation>%1 à %2</translation>
    </message>
    <message>
        <source>Pinned</source>
        <translation>Épinglé</translation>
    </message>
    <message>
        <source>⏎ paste  Alt+⏎ copy</source>
        <translation>⏎&#xa0;coller  Alt+⏎&#xa0;copier</translation>
    </message>
    <message>
        <source>⏎ copy  Alt+⏎ paste</source>
        <translation>⏎&#xa0;copier  Alt+⏎&#xa0;coller</translation>
    </message>
    <message>
        <source>  Alt+P pin  Alt+⌫ delete</source>
        <translation>  Alt+P&#xa0;épingler  Alt+⌫&#xa0;supprimer</translation>
    </message>
    <message>
        <source>To paste for you, Kiwano Snapper needs an X11 session. Until then ⏎ copies.</source>
        <translation>Pour coller à votre place, Kiwano Snapper a besoin d’une session X11. D’ici là, ⏎ copie seulement.</translation>
    </message>
</context>
<context>
    <name>PinWindow</name>
    <message>
        <source>Pinned %1</source>
        <translation>Épinglé&#xa0;: %1</translation>
    </message>
    <message>
        <source>Pinned grab %1</source>
        <translation>Capture épinglée %1</translation>
    </message>
    <message>
        <source>Drag or use the arrow keys to move it, the wheel or + and - to zoom, Ctrl+wheel to fade it, Ctrl+C to copy it, Esc to close it.</source>
        <translation>Glisser ou flèches pour la déplacer, molette ou + et - pour zoomer, Ctrl+molette pour l’estomper, Ctrl+C pour la copier, Échap pour la fermer.</translation>
    </message>
    <message>
        <source>%1 %</source>
        <translation>%1&#xa0;%</translation>
    </message>
    <message>
        <source>Opacity %1 %</source>
        <translation>Opacité %1&#xa0;%</translation>
    </message>
    <message>
        <source>Couldn&apos;t copy</source>
        <translation>Copie impossible</translation>
    </message>
    <message>
        <source>Copied</source>
        <translation>Copié</translation>
    </message>
</context>
<context>
    <name>Png</name>
    <message>
        <source>The image is empty.</source>
        <translation>L’image est vide.</translation>
    </message>
    <message>
        <source>The image could not be compressed.</source>
        <translation>L’image n’a pas pu être compressée.</translation>
    </message>
</context>
<context>
    <name>Portal</name>
    <message>
        <source>This desktop offers no global shortcuts to applications.</source>
        <translation>Ce bureau n’offre pas de raccourcis globaux aux applications.</translation>
    </message>
    <message>
        <source>The desktop did not allow typing.</source>
        <translation>Le bureau n’a pas autorisé la saisie.</translation>
    </message>
    <message>
        <source>This desktop does not let applications type.</source>
        <translation>Ce bureau ne laisse pas les applications taper.</translation>
    </message>
    <message>
        <source>There is no session bus.</source>
        <translation>Il n’y a pas de bus de session.</translation>
    </message>
    <message>
        <source>The desktop refused the request.</source>
        <translation>Le bureau a refusé la demande.</translation>
    </message>
    <message>
        <source>The desktop could not carry out the request.</source>
        <translation>Le bureau n’a pas pu exécuter la demande.</translation>
    </message>
    <message>
        <source>The desktop did not answer.</source>
        <translation>Le bureau n’a pas répondu.</translation>
    </message>
    <message>
        <source>the desktop refused the screenshot</source>
        <translation>le bureau a refusé la capture d’écran</translation>
    </message>
    <message>
        <source>the desktop did not answer the screenshot request in time</source>
        <translation>le bureau n’a pas répondu à temps à la demande de capture d’écran</translation>
    </message>
    <message>
        <source>the desktop offers no screenshot portal</source>
        <translation>le bureau n’offre pas de portail de capture d’écran</translation>
    </message>
    <message>
        <source>the desktop could not take the screenshot</source>
        <translation>le bureau n’a pas pu prendre la capture d’écran</translation>
    </message>
    <message>
        <source>the desktop&apos;s screenshot is not a local file: %1</source>
        <translation>la capture d’écran du bureau n’est pas un fichier local&#xa0;: %1</translation>
    </message>
    <message>
        <source>the desktop&apos;s screenshot %1 cannot be read</source>
        <translation>la capture d’écran %1 du bureau est illisible</translation>
    </message>
</context>
<context>
    <name>PropertiesPanel</name>
    <message>
        <source>Properties</source>
        <translation>Propriétés</translation>
    </message>
    <message>
        <source>Text</source>
        <translation>Texte</translation>
    </message>
    <message>
        <source>Select a layer to edit it.</source>
        <translation>Sélectionnez un calque pour le modifier.</translation>
    </message>
    <message>
        <source>Set Default</source>
        <translation>Par défaut</translation>
    </message>
    <message>
        <source>Layer: %1</source>
        <translation>Calque&#xa0;: %1</translation>
    </message>
    <message>
        <source>New %1</source>
        <translation>Nouveau calque&#xa0;: %1</translation>
    </message>
    <message>
        <source>Use these settings for every new %1 layer</source>
        <translation>Utiliser ces réglages pour chaque nouveau calque «&#xa0;%1&#xa0;»</translation>
    </message>
</context>
<context>
    <name>QuoteCard</name>
    <message>
        <source>“%1”</source>
        <comment>the quote in its marks</comment>
        <translation>«&#xa0;%1&#xa0;»</translation>
    </message>
</context>
<context>
    <name>RelativeDate</name>
    <message>
        <source>long ago</source>
        <translation>il y a longtemps</translation>
    </message>
    <message>
        <source>just now</source>
        <translation>à l’instant</translation>
    </message>
    <message>
        <source>1 minute ago</source>
        <translation>il y a 1 minute</translation>
    </message>
    <message numerus="yes">
        <source>%n minutes ago</source>
        <translation>
            <numerusform>il y a %n minute</numerusform>
            <numerusform>il y a %n minutes</numerusform>
        </translation>
    </message>
    <message>
        <source>1 hour ago</source>
        <translation>il y a 1 heure</translation>
    </message>
    <message numerus="yes">
        <source>%n hours ago</source>
        <translation>
            <numerusform>il y a %n heure</numerusform>
            <numerusform>il y a %n heures</numerusform>
        </translation>
    </message>
    <message>
        <source>yesterday</source>
        <translation>hier</translation>
    </message>
    <message>
        <source>1 day ago</source>
        <translation>il y a 1 jour</translation>
    </message>
    <message numerus="yes">
        <source>%n days ago</source>
        <translation>
            <numerusform>il y a %n jour</numerusform>
            <numerusform>il y a %n jours</numerusform>
        </translation>
    </message>
    <message>
        <source>last week</source>
        <translation>la semaine dernière</translation>
    </message>
    <message numerus="yes">
        <source>%n weeks ago</source>
        <translation>
            <numerusform>il y a %n semaine</numerusform>
            <numerusform>il y a %n semaines</numerusform>
        </translation>
    </message>
    <message>
        <source>last month</source>
        <translation>le mois dernier</translation>
    </message>
    <message numerus="yes">
        <source>%n months ago</source>
        <translation>
            <numerusform>il y a %n mois</numerusform>
            <numerusform>il y a %n mois</numerusform>
        </translation>
    </message>
    <message>
        <source>last year</source>
        <translation>l’année dernière</translation>
    </message>
    <message numerus="yes">
        <source>%n years ago</source>
        <translation>
            <numerusform>il y a %n an</numerusform>
            <numerusform>il y a %n ans</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ResizePanel</name>
    <message>
        <source>Resize</source>
        <translation>Redimensionner</translation>
    </message>
    <message>
        <source>Now %1 × %2 px</source>
        <translation>Actuellement %1 × %2 px</translation>
    </message>
    <message>
        <source>Width</source>
        <translation>Largeur</translation>
    </message>
    <message>
        <source>Height</source>
        <translation>Hauteur</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Appliquer</translation>
    </message>
    <message>
        <source>Ratio locked</source>
        <translation>Proportions verrouillées</translation>
    </message>
    <message>
        <source>Ratio unlocked</source>
        <translation>Proportions libres</translation>
    </message>
</context>
<context>
    <name>RootView</name>
    <message>
        <source>Moved %1 to the Trash</source>
        <translation>%1 placé dans la corbeille</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Kept %1: %2</source>
        <translation>%1 conservé : %2</translation>
    </message>
    <message>
        <source>Put %1 back</source>
        <translation>Remettre %1</translation>
    </message>
    <message>
        <source>Couldn&apos;t put %1 back: %2</source>
        <translation>Impossible de remettre %1 : %2</translation>
    </message>
</context>
<context>
    <name>SavingSection</name>
    <message>
        <source>Ask where to save each time</source>
        <translation>Demander à chaque fois où enregistrer</translation>
    </message>
    <message>
        <source>Pictures</source>
        <translation>Images</translation>
    </message>
    <message>
        <source>Hidden (default)</source>
        <translation>Caché (par défaut)</translation>
    </message>
    <message>
        <source>Saving &amp; History</source>
        <translation>Enregistrement et historique</translation>
    </message>
    <message>
        <source>Save to</source>
        <translation>Enregistrer dans</translation>
    </message>
    <message>
        <source>Choose...</source>
        <translation>Choisir…</translation>
    </message>
    <message>
        <source>Choose the save folder</source>
        <translation>Choisir le dossier d’enregistrement</translation>
    </message>
    <message>
        <source>Grab history</source>
        <translation>Historique</translation>
    </message>
    <message>
        <source>Show in File Manager</source>
        <translation>Afficher dans le gestionnaire de fichiers</translation>
    </message>
    <message>
        <source>Choose the grab history folder</source>
        <translation>Choisir le dossier de l’historique des captures</translation>
    </message>
    <message>
        <source>Your last %1 grabs are kept here as PNGs. Changing the folder moves them; other files in it are never touched.</source>
        <translation>Vos %1 dernières captures sont conservées ici en PNG. Changer de dossier les déplace&#xa0;; les autres fichiers qu’il contient ne sont jamais touchés.</translation>
    </message>
    <message>
        <source>Save Here</source>
        <translation>Enregistrer ici</translation>
    </message>
    <message>
        <source>Keep History Here</source>
        <translation>Conserver l’historique ici</translation>
    </message>
    <message>
        <source>Couldn&apos;t move the grabs: %1</source>
        <translation>Impossible de déplacer les captures&#xa0;: %1</translation>
    </message>
    <message>
        <source>Ctrl+S opens a Save dialog in this folder, and remembers the last folder you pick.</source>
        <translation>Ctrl+S ouvre une fenêtre d’enregistrement dans ce dossier et retient le dernier dossier choisi.</translation>
    </message>
    <message>
        <source>Ctrl+S saves straight into this folder, no questions asked.</source>
        <translation>Ctrl+S enregistre directement dans ce dossier, sans poser de question.</translation>
    </message>
</context>
<context>
    <name>SelectionOverlay</name>
    <message>
        <source>A click selects nothing: drag over the region to grab</source>
        <translation>Un clic ne sélectionne rien&#xa0;: faites glisser sur la zone à capturer</translation>
    </message>
    <message>
        <source>Arrows: size (Shift: 10 px) · Return: grab · Esc: cancel</source>
        <translation>Flèches&#xa0;: taille (Maj&#xa0;: 10 px) · Entrée&#xa0;: capturer · Échap&#xa0;: annuler</translation>
    </message>
    <message>
        <source>Click a window · Space: region · Esc: cancel</source>
        <translation>Cliquez sur une fenêtre · Espace&#xa0;: zone · Échap&#xa0;: annuler</translation>
    </message>
    <message>
        <source>Drag to select · Return: select by keys · Esc: cancel</source>
        <translation>Glissez pour sélectionner · Entrée&#xa0;: sélection au clavier · Échap&#xa0;: annuler</translation>
    </message>
    <message>
        <source>Drag to select · Return: select by keys · Space: window · Esc: cancel</source>
        <translation>Glissez pour sélectionner · Entrée&#xa0;: sélection au clavier · Espace&#xa0;: fenêtre · Échap&#xa0;: annuler</translation>
    </message>
</context>
<context>
    <name>ServiceAccount</name>
    <message>
        <source>native</source>
        <translation>natif</translation>
    </message>
    <message>
        <source>falls back</source>
        <translation>solution de repli</translation>
    </message>
    <message>
        <source>not available</source>
        <translation>indisponible</translation>
    </message>
    <message>
        <source>%1: %2. %3</source>
        <translation>%1&#xa0;: %2. %3</translation>
    </message>
    <message>
        <source>Bind the commands below in your desktop&apos;s keyboard settings.</source>
        <translation>Associez les commandes ci-dessous à des touches dans les paramètres du clavier de votre bureau.</translation>
    </message>
    <message>
        <source>X11 apps only, through XWayland</source>
        <translation>applications X11 seulement, via XWayland</translation>
    </message>
    <message>
        <source>copies only: press Ctrl+V yourself</source>
        <translation>copie seulement&#xa0;: appuyez vous-même sur Ctrl+V</translation>
    </message>
    <message>
        <source>Shortcuts</source>
        <translation>Raccourcis</translation>
    </message>
    <message>
        <source>only while an X11 app is in front, through XWayland</source>
        <translation>seulement lorsqu’une application X11 est au premier plan, via XWayland</translation>
    </message>
    <message>
        <source>the desktop portal (asks once)</source>
        <translation>le portail du bureau (demande une fois)</translation>
    </message>
    <message>
        <source>Your desktop owns the keys: change them in its keyboard settings.</source>
        <translation>Les touches appartiennent à votre bureau&#xa0;: changez-les dans ses paramètres du clavier.</translation>
    </message>
    <message>
        <source>this desktop lets no app bind keys</source>
        <translation>ce bureau ne laisse aucune application associer des touches</translation>
    </message>
    <message>
        <source>Grabs</source>
        <translation>Captures</translation>
    </message>
    <message>
        <source>the desktop&apos;s screen copy</source>
        <translation>la copie d’écran du bureau</translation>
    </message>
    <message>
        <source>this desktop shows the screen to no app</source>
        <translation>ce bureau ne montre l’écran à aucune application</translation>
    </message>
    <message>
        <source>Take the picture with your desktop&apos;s own tool, then open it here.</source>
        <translation>Prenez l’image avec l’outil de votre bureau, puis ouvrez-la ici.</translation>
    </message>
    <message>
        <source>Clipboard history</source>
        <translation>Historique du presse-papiers</translation>
    </message>
    <message>
        <source>the copies your desktop hands to X11 apps, through XWayland</source>
        <translation>les copies que votre bureau transmet aux applications X11, via XWayland</translation>
    </message>
    <message>
        <source>the desktop&apos;s clipboard</source>
        <translation>le presse-papiers du bureau</translation>
    </message>
    <message>
        <source>recorded only while Kiwano Snapper is in front</source>
        <translation>enregistré seulement lorsque Kiwano Snapper est au premier plan</translation>
    </message>
    <message>
        <source>Bring a Kiwano Snapper window to the front before you copy what you want to keep.</source>
        <translation>Mettez une fenêtre de Kiwano Snapper au premier plan avant de copier ce que vous voulez garder.</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>Coller</translation>
    </message>
    <message>
        <source>Elsewhere entries are copied: press Ctrl+V yourself.</source>
        <translation>Ailleurs, les entrées sont copiées&#xa0;: appuyez vous-même sur Ctrl+V.</translation>
    </message>
    <message>
        <source>the desktop&apos;s virtual keyboard</source>
        <translation>le clavier virtuel du bureau</translation>
    </message>
    <message>
        <source>the desktop portal (asks once, at the first paste)</source>
        <translation>le portail du bureau (demande une fois, au premier collage)</translation>
    </message>
    <message>
        <source>the desktop didn&apos;t take our shortcuts (%1)</source>
        <translation>le bureau a refusé nos raccourcis (%1)</translation>
    </message>
    <message>
        <source>Kiwano Snapper&apos;s GNOME Shell extension</source>
        <translation>l’extension GNOME Shell de Kiwano Snapper</translation>
    </message>
    <message>
        <source>KDE&apos;s global shortcuts</source>
        <translation>les raccourcis globaux de KDE</translation>
    </message>
    <message>
        <source>They are listed under Kiwano Snapper in System Settings, Shortcuts.</source>
        <translation>Ils figurent sous Kiwano Snapper dans Configuration du système, Raccourcis.</translation>
    </message>
    <message>
        <source>KWin&apos;s screenshot service</source>
        <translation>le service de capture d’écran de KWin</translation>
    </message>
    <message>
        <source>KWin&apos;s input for trusted apps</source>
        <translation>la saisie de KWin pour les apps de confiance</translation>
    </message>
</context>
<context>
    <name>SessionSection</name>
    <message>
        <source>This session</source>
        <translation>Cette session</translation>
    </message>
    <message>
        <source>That didn&apos;t work: %1.</source>
        <translation>Cela n’a pas marché&#xa0;: %1.</translation>
    </message>
</context>
<context>
    <name>SessionServices</name>
    <message>
        <source>The desktop didn&apos;t take the paste keys. The entry is copied: press Ctrl+V yourself.</source>
        <translation>Le bureau n’a pas accepté les touches de collage. L’entrée est copiée&#xa0;: appuyez vous-même sur Ctrl+V.</translation>
    </message>
    <message>
        <source>The desktop stopped sharing its clipboard, so copies aren&apos;t recorded any more. Restart Kiwano Snapper to record them again.</source>
        <translation>Le bureau ne partage plus son presse-papiers&#xa0;: les copies ne sont plus enregistrées. Relancez Kiwano Snapper pour les enregistrer de nouveau.</translation>
    </message>
    <message>
        <source>To paste for you, Kiwano Snapper types Ctrl+V into the app in front. Your desktop asks you once whether it may.</source>
        <translation>Pour coller à votre place, Kiwano Snapper tape Ctrl+V dans l’application au premier plan. Votre bureau vous demande une seule fois si vous l’y autorisez.</translation>
    </message>
    <message>
        <source>Pasting for you isn&apos;t allowed (%1). Entries are copied; press Ctrl+V yourself.</source>
        <translation>Coller à votre place n’est pas autorisé (%1). Les entrées sont copiées&#xa0;; appuyez vous-même sur Ctrl+V.</translation>
    </message>
    <message>
        <source>The desktop didn&apos;t take our shortcuts (%1). Bind kiwano-snapper --region (or --window, --screen, --clipboard) in its keyboard settings.</source>
        <translation>Le bureau a refusé nos raccourcis (%1). Associez kiwano-snapper --region (ou --window, --screen, --clipboard) à des touches dans ses paramètres du clavier.</translation>
    </message>
    <message>
        <source>GNOME Shell didn&apos;t type the paste keys. The entry is copied: press Ctrl+V yourself.</source>
        <translation>GNOME Shell n’a pas tapé les touches de collage. L’entrée est copiée&#xa0;: appuyez vous-même sur Ctrl+V.</translation>
    </message>
    <message>
        <source>GNOME Shell didn&apos;t take these shortcuts: %1. Another app may use them; choose others in the settings.</source>
        <translation>GNOME Shell n’a pas accepté ces raccourcis&#xa0;: %1. Une autre app les utilise peut-être&#xa0;; choisissez-en d’autres dans les réglages.</translation>
    </message>
</context>
<context>
    <name>SettingsView</name>
    <message>
        <source>Kiwano Snapper&apos;s GNOME Shell extension records copies in every app, pastes for you, takes the shortcuts everywhere and grabs without asking. It serves Kiwano Snapper from its next start.</source>
        <translation>L’extension GNOME Shell de Kiwano Snapper enregistre les copies dans chaque app, colle pour vous, reçoit les raccourcis partout et fait les captures sans demander. Elle sert Kiwano Snapper dès son prochain démarrage.</translation>
    </message>
    <message>
        <source>Turn On Extension</source>
        <translation>Activer l’extension</translation>
    </message>
    <message>
        <source>The extension is on: restart Kiwano Snapper to use it.</source>
        <translation>L’extension est activée&#xa0;: redémarrez Kiwano Snapper pour l’utiliser.</translation>
    </message>
    <message>
        <source>Or let GNOME run our command lines on the shortcuts set below, in every app.</source>
        <translation>Ou laissez GNOME lancer nos lignes de commande avec les raccourcis choisis ci-dessous, dans chaque app.</translation>
    </message>
    <message>
        <source>Add to GNOME Shortcuts</source>
        <translation>Ajouter aux raccourcis GNOME</translation>
    </message>
    <message>
        <source>Added to GNOME&apos;s keyboard shortcuts: they work in every app now.</source>
        <translation>Ajoutés aux raccourcis clavier de GNOME&#xa0;: ils marchent désormais dans chaque app.</translation>
    </message>
</context>
<context>
    <name>SettingsWindowController</name>
    <message>
        <source>🥝 Kiwano Snapper Settings</source>
        <translation>🥝 Kiwano Snapper – Paramètres</translation>
    </message>
</context>
<context>
    <name>ShortcutField</name>
    <message>
        <source>%1 shortcut: %2</source>
        <translation>Raccourci «&#xa0;%1&#xa0;»&#xa0;: %2</translation>
    </message>
</context>
<context>
    <name>ShortcutGuide</name>
    <message>
        <source>In Settings &gt; Keyboard &gt; View and Customise Shortcuts &gt; Custom Shortcuts, add one shortcut per command: give it a name, paste the command, then set the keys.</source>
        <translation>Dans Paramètres &gt; Clavier &gt; Afficher et personnaliser les raccourcis &gt; Raccourcis personnalisés, ajoutez un raccourci par commande&#xa0;: donnez-lui un nom, collez la commande, puis choisissez les touches.</translation>
    </message>
    <message>
        <source>In System Settings &gt; Shortcuts &gt; Add New &gt; Command or Script, add one per command: paste the command, then set the keys.</source>
        <translation>Dans Configuration du système &gt; Raccourcis &gt; Ajouter &gt; Commande ou script, ajoutez-en un par commande&#xa0;: collez la commande, puis choisissez les touches.</translation>
    </message>
    <message>
        <source>Add these lines to ~/.config/sway/config, then reload sway (Super+Shift+C, or swaymsg reload). Change the keys to taste.</source>
        <translation>Ajoutez ces lignes à ~/.config/sway/config, puis rechargez sway (Super+Maj+C, ou swaymsg reload). Changez les touches à votre goût.</translation>
    </message>
    <message>
        <source>Bind each command to keys in your desktop&apos;s keyboard settings, usually under Shortcuts or Custom Shortcuts.</source>
        <translation>Associez chaque commande à des touches dans les paramètres du clavier de votre bureau, en général sous «&#xa0;Raccourcis&#xa0;» ou «&#xa0;Raccourcis personnalisés&#xa0;».</translation>
    </message>
</context>
<context>
    <name>ShortcutWarning</name>
    <message>
        <source>Your desktop uses %1 for its own screenshots. Turn it off in its keyboard settings to use it here.</source>
        <translation>Votre bureau utilise %1 pour ses propres captures d’écran. Désactivez-le dans ses paramètres du clavier pour l’utiliser ici.</translation>
    </message>
    <message>
        <source>Another app is using %1. Quit it or pick another shortcut.</source>
        <translation>Une autre application utilise %1. Quittez-la ou choisissez un autre raccourci.</translation>
    </message>
</context>
<context>
    <name>ShortcutsSection</name>
    <message>
        <source>Kiwano keys</source>
        <translation>Touches Kiwano</translation>
    </message>
    <message>
        <source>Print Screen keys</source>
        <translation>Touches Impr. écran</translation>
    </message>
    <message>
        <source>Shortcuts</source>
        <translation>Raccourcis</translation>
    </message>
    <message>
        <source>These keys work only while an X11 app is in front. %1</source>
        <translation>Ces touches ne fonctionnent que lorsqu’une application X11 est au premier plan. %1</translation>
    </message>
    <message>
        <source>Your desktop owns these shortcuts: it shows them here as it bound them. Change the keys in its keyboard settings.</source>
        <translation>Ces raccourcis appartiennent à votre bureau&#xa0;: il les affiche ici tels qu’il les a associés. Changez les touches dans ses paramètres du clavier.</translation>
    </message>
    <message>
        <source>No shortcut</source>
        <translation>Aucun raccourci</translation>
    </message>
    <message>
        <source>No shortcut for %1</source>
        <translation>Aucun raccourci pour «&#xa0;%1&#xa0;»</translation>
    </message>
    <message>
        <source>Shift+Super+6 grabs a region, Shift+Super+C opens clipboard history</source>
        <translation>Maj+Super+6 capture une zone, Maj+Super+C ouvre l’historique du presse-papiers</translation>
    </message>
    <message>
        <source>Shift+Print grabs a region (Space for a window), Print the whole screen</source>
        <translation>Maj+Print capture une zone (Espace pour une fenêtre), Print tout l’écran</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Aucun</translation>
    </message>
</context>
<context>
    <name>StatusTexts</name>
    <message>
        <source>Kiwano Snapper (clipboard history paused)</source>
        <translation>Kiwano Snapper (historique du presse-papiers suspendu)</translation>
    </message>
    <message>
        <source>Kiwano Snapper (ignoring the next copy)</source>
        <translation>Kiwano Snapper (la prochaine copie sera ignorée)</translation>
    </message>
    <message>
        <source>Resume Clipboard History</source>
        <translation>Reprendre l’historique du presse-papiers</translation>
    </message>
    <message>
        <source>Pause Clipboard History</source>
        <translation>Suspendre l’historique du presse-papiers</translation>
    </message>
</context>
<context>
    <name>StepFormat</name>
    <message>
        <source>Less %1</source>
        <translation>Diminuer «&#xa0;%1&#xa0;»</translation>
    </message>
    <message>
        <source>More %1</source>
        <translation>Augmenter «&#xa0;%1&#xa0;»</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Aucun</translation>
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
        <translation>Captures</translation>
    </message>
    <message>
        <source>Show in File Manager</source>
        <translation>Afficher dans le gestionnaire de fichiers</translation>
    </message>
    <message>
        <source>Move to Trash</source>
        <translation>Mettre à la corbeille</translation>
    </message>
    <message>
        <source>Pin on Screen</source>
        <translation>Épingler à l’écran</translation>
    </message>
</context>
<context>
    <name>Swatches</name>
    <message>
        <source>Pick any color (RGB, hex, eyedropper…)</source>
        <translation>Choisir une couleur (RVB, hex, pipette…)</translation>
    </message>
</context>
<context>
    <name>TextContentField</name>
    <message>
        <source>Text</source>
        <translation>Texte</translation>
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
        <translation>Arrondie</translation>
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
        <translation>Feutre</translation>
    </message>
    <message>
        <source>Chalk</source>
        <translation>Craie</translation>
    </message>
</context>
<context>
    <name>Tool</name>
    <message>
        <source>Redaction</source>
        <translation>Caviardage</translation>
    </message>
    <message>
        <source>Move</source>
        <translation>Déplacer</translation>
    </message>
    <message>
        <source>Pen</source>
        <translation>Stylo</translation>
    </message>
    <message>
        <source>Highlight</source>
        <translation>Surligneur</translation>
    </message>
    <message>
        <source>Arrow</source>
        <translation>Flèche</translation>
    </message>
    <message>
        <source>Box</source>
        <translation>Cadre</translation>
    </message>
    <message>
        <source>Text</source>
        <translation>Texte</translation>
    </message>
    <message>
        <source>Blur</source>
        <translation>Pixelliser</translation>
    </message>
    <message>
        <source>Focus</source>
        <translation>Focus</translation>
    </message>
    <message>
        <source>Stamp</source>
        <translation>Tampon</translation>
    </message>
    <message>
        <source>Crop</source>
        <translation>Recadrer</translation>
    </message>
    <message>
        <source>Watermark</source>
        <translation>Filigrane</translation>
    </message>
    <message>
        <source>Image</source>
        <translation>Image</translation>
    </message>
</context>
<context>
    <name>ToolControls</name>
    <message>
        <source>Color</source>
        <translation>Couleur</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Taille</translation>
    </message>
    <message>
        <source>Stroke width</source>
        <translation>Épaisseur du trait</translation>
    </message>
    <message>
        <source>Stroke color</source>
        <translation>Couleur du trait</translation>
    </message>
    <message>
        <source>Fill color</source>
        <translation>Couleur de remplissage</translation>
    </message>
    <message>
        <source>Corner radius</source>
        <translation>Rayon des coins</translation>
    </message>
    <message>
        <source>Font</source>
        <translation>Police</translation>
    </message>
    <message>
        <source>Text color</source>
        <translation>Couleur du texte</translation>
    </message>
    <message>
        <source>Outline</source>
        <translation>Contour</translation>
    </message>
    <message>
        <source>Outline color</source>
        <translation>Couleur du contour</translation>
    </message>
    <message>
        <source>Pixel size</source>
        <translation>Taille des pixels</translation>
    </message>
    <message>
        <source>Style</source>
        <translation>Style</translation>
    </message>
    <message>
        <source>Blur</source>
        <translation>Flou</translation>
    </message>
    <message>
        <source>Redact</source>
        <translation>Caviarder</translation>
    </message>
    <message>
        <source>Black</source>
        <translation>Noir</translation>
    </message>
    <message>
        <source>Redact and Black keep nothing of what they cover in the copy or the saved file.</source>
        <translation>Caviarder et Noir ne laissent rien de ce qu’ils couvrent dans la copie ni dans le fichier enregistré.</translation>
    </message>
    <message>
        <source>Dim</source>
        <translation>Assombrir</translation>
    </message>
    <message>
        <source>Opacity</source>
        <translation>Opacité</translation>
    </message>
    <message>
        <source>Size (px)</source>
        <translation>Taille (px)</translation>
    </message>
    <message>
        <source>Original Size</source>
        <translation>Taille d’origine</translation>
    </message>
    <message>
        <source>Drag a corner to resize. Hold Shift to stretch.</source>
        <translation>Tirez un coin pour redimensionner. Maintenez Maj pour étirer.</translation>
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
        <translation>Ouvrir Kiwano Snapper</translation>
    </message>
    <message>
        <source>Ignore Next Copy</source>
        <translation>Ignorer la prochaine copie</translation>
    </message>
    <message>
        <source>Open Image...</source>
        <translation>Ouvrir une image…</translation>
    </message>
    <message>
        <source>Settings...</source>
        <translation>Paramètres…</translation>
    </message>
    <message>
        <source>Check for Updates...</source>
        <translation>Rechercher des mises à jour…</translation>
    </message>
    <message>
        <source>Quit Kiwano Snapper</source>
        <translation>Quitter Kiwano Snapper</translation>
    </message>
    <message>
        <source>Grab Last Region Again</source>
        <translation>Recapturer la dernière zone</translation>
    </message>
    <message>
        <source>3 Seconds</source>
        <translation>3 secondes</translation>
    </message>
    <message>
        <source>5 Seconds</source>
        <translation>5 secondes</translation>
    </message>
    <message>
        <source>10 Seconds</source>
        <translation>10 secondes</translation>
    </message>
    <message>
        <source>Grab Region After</source>
        <translation>Capturer une zone après</translation>
    </message>
</context>
<context>
    <name>UpdateSettings</name>
    <message>
        <source>Kiwano Snapper updates come with your package manager.</source>
        <translation>Les mises à jour de Kiwano Snapper arrivent par votre gestionnaire de paquets.</translation>
    </message>
</context>
<context>
    <name>WarningBox</name>
    <message>
        <source>Open</source>
        <translation>Ouvrir</translation>
    </message>
</context>
</TS>
