<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AboutInfo</name>
    <message>
        <source>About %1</source>
        <translation>Über %1</translation>
    </message>
    <message>
        <source>&lt;b&gt;%1&lt;/b&gt;&lt;br&gt;Version: %2&lt;br&gt;Date: %3&lt;br&gt;&lt;br&gt;Written by the Pultora developers&lt;br&gt;%4&lt;br&gt;&lt;br&gt;Translations by the Pultora translators</source>
        <translation>&lt;b&gt;%1&lt;/b&gt;&lt;br&gt;Version: %2&lt;br&gt;Datum: %3&lt;br&gt;&lt;br&gt;Geschrieben von den Pultora-Entwicklern&lt;br&gt;%4&lt;br&gt;&lt;br&gt;Übersetzungen von den Pultora-Übersetzern</translation>
    </message>
    <message>
        <source>&lt;center&gt;Third Party&lt;br&gt;%1 under %2&lt;/center&gt;</source>
        <translation>&lt;center&gt;Fremdsoftware&lt;br&gt;%1 unter %2&lt;/center&gt;</translation>
    </message>
    <message>
        <source>Qt (%1)</source>
        <translation>Qt (%1)</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>click OK to close this window</source>
        <translation>OK schließt dieses Fenster</translation>
    </message>
</context>
<context>
    <name>AddressTips</name>
    <message>
        <source>where this input comes from: Art-Net, streaming ACN (sACN), MIDI or OSC; None: no input</source>
        <translation>woher dieser Eingang kommt: Art-Net, Streaming ACN (sACN), MIDI oder OSC; Keins: kein Eingang</translation>
    </message>
    <message>
        <source>how this output is sent: Art-Net, streaming ACN (sACN), MIDI, OSC, an HTTP call or a command; None: not at all</source>
        <translation>wie dieser Ausgang sendet: Art-Net, Streaming ACN (sACN), MIDI, OSC, ein HTTP-Aufruf oder ein Befehl; Keins: gar nicht</translation>
    </message>
    <message>
        <source>the incoming value that puts the control in this state, 0 to %1</source>
        <translation>der eingehende Wert, der das Steuerelement in diesen Zustand bringt, 0 bis %1</translation>
    </message>
    <message>
        <source>the value sent in this state, 0 to %1</source>
        <translation>der in diesem Zustand gesendete Wert, 0 bis %1</translation>
    </message>
    <message>
        <source>the DMX channel within the universe, 1 to 512</source>
        <translation>der DMX-Kanal im Universum, 1 bis 512</translation>
    </message>
    <message>
        <source>for a Control Change: the controller number, 0 to 127</source>
        <translation>bei einem Control Change: die Controller-Nummer, 0 bis 127</translation>
    </message>
    <message>
        <source>the MIDI note number, 0 to 127 (60 is middle C); for a Control Change the controller number</source>
        <translation>die MIDI-Notennummer, 0 bis 127 (60 ist das mittlere C); bei einem Control Change die Controller-Nummer</translation>
    </message>
    <message>
        <source>the MIDI channel, 1 to 16 (0 to 15 in the message)</source>
        <translation>der MIDI-Kanal, 1 bis 16 (0 bis 15 in der Nachricht)</translation>
    </message>
    <message>
        <source>the Art-Net universe counted from 1, up to 32768: universe 1 here is universe 0 (port-address 0) on the wire</source>
        <translation>das Art-Net-Universum ab 1 gezählt, bis 32768: Universum 1 hier ist Universum 0 (Port-Adresse 0) auf der Leitung</translation>
    </message>
    <message>
        <source>the streaming ACN (sACN) universe, 1 to 63999: the same number on the wire</source>
        <translation>das Streaming-ACN-Universum (sACN), 1 bis 63999: dieselbe Nummer auf der Leitung</translation>
    </message>
    <message>
        <source>the DMX universe counted from 1: Art-Net sends universe 1 as universe 0, streaming ACN as universe 1</source>
        <translation>das DMX-Universum ab 1 gezählt: Art-Net sendet Universum 1 als Universum 0, Streaming ACN als Universum 1</translation>
    </message>
    <message>
        <source>the kind of MIDI message: Note On or Off, Control Change (the note is then the controller number), Program Change and others</source>
        <translation>die Art der MIDI-Nachricht: Note Ein oder Aus, Control Change (die Note ist dann die Controller-Nummer), Program Change und andere</translation>
    </message>
</context>
<context>
    <name>BatchChange</name>
    <message>
        <source>this control&apos;s protocol has no such address</source>
        <translation>das Protokoll dieses Steuerelements hat keine solche Adresse</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a number</source>
        <translation>&quot;%1&quot; ist keine Zahl</translation>
    </message>
    <message>
        <source>unknown action</source>
        <translation>unbekannte Aktion</translation>
    </message>
    <message>
        <source>type a colour as red, green, blue (for example 255, 0, 0)</source>
        <translation>eine Farbe als Rot, Grün, Blau eingeben (zum Beispiel 255, 0, 0)</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a colour: type red, green, blue (for example 255, 0, 0)</source>
        <translation>&quot;%1&quot; ist keine Farbe: Rot, Grün, Blau eingeben (zum Beispiel 255, 0, 0)</translation>
    </message>
    <message>
        <source>a protocol can only be set</source>
        <translation>ein Protokoll kann nur gesetzt werden</translation>
    </message>
    <message>
        <source>this column cannot be changed</source>
        <translation>diese Spalte kann nicht geändert werden</translation>
    </message>
    <message>
        <source>the control no longer exists</source>
        <translation>das Steuerelement gibt es nicht mehr</translation>
    </message>
    <message>
        <source>this control&apos;s protocol is not OSC</source>
        <translation>das Protokoll dieses Steuerelements ist nicht OSC</translation>
    </message>
    <message>
        <source>an OSC argument can only be set</source>
        <translation>ein OSC-Argument kann nur gesetzt werden</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is no OSC argument: type float or int</source>
        <translation>&quot;%1&quot; ist kein OSC-Argument: float oder int eingeben</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is no protocol: type None, Art-Net, streaming ACN, MIDI, HTTP, Command or OSC</source>
        <translation>&quot;%1&quot; ist kein Protokoll: Keins, Art-Net, streaming ACN, MIDI, HTTP, Befehl oder OSC eingeben</translation>
    </message>
    <message>
        <source>an input listens to None, Art-Net, streaming ACN, MIDI or OSC</source>
        <translation>ein Eingang hört auf Keins, Art-Net, streaming ACN, MIDI oder OSC</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is no OSC address: &apos;/&apos; and parts of letters, digits and signs other than space, #, comma and ?*[]{}</source>
        <translation>&quot;%1&quot; ist keine OSC-Adresse: &apos;/&apos; und Teile aus Buchstaben, Ziffern und Zeichen außer Leerzeichen, #, Komma und ?*[]{}</translation>
    </message>
</context>
<context>
    <name>CheckSoftwareUpdate</name>
    <message>
        <source>The check for updates failed: the answer is larger than %1 KB.</source>
        <translation>Die Suche nach Updates ist fehlgeschlagen: die Antwort ist größer als %1 KB.</translation>
    </message>
    <message>
        <source>The check for updates failed: the server answered %1 %2.</source>
        <translation>Die Suche nach Updates ist fehlgeschlagen: der Server antwortete %1 %2.</translation>
    </message>
    <message>
        <source>There is no internet connection available to check for updates!</source>
        <translation>Für die Suche nach Updates ist keine Internetverbindung verfügbar!</translation>
    </message>
    <message>
        <source>There is no update available!</source>
        <translation>Es ist kein Update verfügbar!</translation>
    </message>
    <message>
        <source>Check for Updates</source>
        <translation>Nach Updates suchen</translation>
    </message>
</context>
<context>
    <name>ConsistenceCheck</name>
    <message>
        <source>Consistency Check of Controls</source>
        <translation>Konsistenzprüfung der Steuerelemente</translation>
    </message>
    <message>
        <source>Consistency Check</source>
        <translation>Konsistenzprüfung</translation>
    </message>
    <message>
        <source>Check if controls overlap completely</source>
        <translation>Prüfen, ob sich Steuerelemente ganz überdecken</translation>
    </message>
    <message>
        <source>Check if controls overlap partially</source>
        <translation>Prüfen, ob sich Steuerelemente teilweise überdecken</translation>
    </message>
    <message>
        <source>Check for duplicate DMX settings</source>
        <translation>Auf doppelte DMX-Einstellungen prüfen</translation>
    </message>
    <message>
        <source>Check if controls are completely placed outside the background size</source>
        <translation>Prüfen, ob Steuerelemente ganz außerhalb der Hintergrundgröße liegen</translation>
    </message>
    <message>
        <source>Check if controls are partially placed outside the background size</source>
        <translation>Prüfen, ob Steuerelemente teilweise außerhalb der Hintergrundgröße liegen</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>click OK to apply all changes and close the window</source>
        <translation>OK übernimmt alle Änderungen und schließt das Fenster</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>click Cancel to discard any changes</source>
        <translation>Abbrechen verwirft alle Änderungen</translation>
    </message>
</context>
<context>
    <name>ConsistenceCheckTable</name>
    <message>
        <source>Consistency Check Results</source>
        <translation>Ergebnisse der Konsistenzprüfung</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <source>Check Again</source>
        <translation>Erneut prüfen</translation>
    </message>
    <message>
        <source>re-runs the consistency check</source>
        <translation>führt die Konsistenzprüfung erneut aus</translation>
    </message>
    <message>
        <source>copies the results as text</source>
        <translation>kopiert die Ergebnisse als Text</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>closes this window</source>
        <translation>schließt dieses Fenster</translation>
    </message>
    <message>
        <source>WARNING: </source>
        <translation>WARNUNG: </translation>
    </message>
    <message>
        <source>ERROR: </source>
        <translation>FEHLER: </translation>
    </message>
</context>
<context>
    <name>Consistency</name>
    <message>
        <source>Controls &apos;%1&apos; and &apos;%2&apos; are using the same settings MIDI Channel %3 / MIDI Note %4 / MIDI Type %5!</source>
        <translation>Steuerelemente &apos;%1&apos; und &apos;%2&apos; verwenden dieselben Einstellungen MIDI-Kanal %3 / MIDI-Note %4 / MIDI-Typ %5!</translation>
    </message>
    <message>
        <source>Controls &apos;%1&apos; and &apos;%2&apos; are using the same settings Universe %3 / Channel %4!</source>
        <translation>Steuerelemente &apos;%1&apos; und &apos;%2&apos; verwenden dieselben Einstellungen Universum %3 / Kanal %4!</translation>
    </message>
    <message>
        <source>Controls &apos;%1&apos; and &apos;%2&apos; - complete overlap of position (%3/%4) with position (%5/%6)!</source>
        <translation>Steuerelemente &apos;%1&apos; und &apos;%2&apos; - vollständige Überdeckung von Position (%3/%4) mit Position (%5/%6)!</translation>
    </message>
    <message>
        <source>Controls &apos;%1&apos; and &apos;%2&apos; - partial overlap of position (%3/%4) with position (%5/%6)!</source>
        <translation>Steuerelemente &apos;%1&apos; und &apos;%2&apos; - teilweise Überdeckung von Position (%3/%4) mit Position (%5/%6)!</translation>
    </message>
    <message>
        <source>Control &apos;%1&apos; with position (%2/%3) is located completely out of the background size of (%4x%5)!</source>
        <translation>Steuerelement &apos;%1&apos; an Position (%2/%3) liegt ganz außerhalb der Hintergrundgröße von (%4x%5)!</translation>
    </message>
    <message>
        <source>Control &apos;%1&apos; with position (%2/%3) is located partially out of the background size of (%4x%5)!</source>
        <translation>Steuerelement &apos;%1&apos; an Position (%2/%3) liegt teilweise außerhalb der Hintergrundgröße von (%4x%5)!</translation>
    </message>
    <message>
        <source>Controls &apos;%1&apos; and &apos;%2&apos; are both listening to the OSC address %3!</source>
        <translation>Steuerelemente &apos;%1&apos; und &apos;%2&apos; hören beide auf die OSC-Adresse %3!</translation>
    </message>
    <message>
        <source>Controls &apos;%1&apos; and &apos;%2&apos; are using the same settings OSC address %3 / target %4!</source>
        <translation>Steuerelemente &apos;%1&apos; und &apos;%2&apos; verwenden dieselben Einstellungen OSC-Adresse %3 / Ziel %4!</translation>
    </message>
</context>
<context>
    <name>ControlType</name>
    <message>
        <source>Button - Push</source>
        <translation>Knopf - Taster</translation>
    </message>
    <message>
        <source>Button - Switch</source>
        <translation>Knopf - Schalter</translation>
    </message>
    <message>
        <source>Direct Value</source>
        <translation>Direktwert</translation>
    </message>
    <message>
        <source>Fader, Vertical</source>
        <translation>Fader, senkrecht</translation>
    </message>
    <message>
        <source>Fader, Horizontal</source>
        <translation>Fader, waagerecht</translation>
    </message>
    <message>
        <source>Fader, Vertical, Center</source>
        <translation>Fader, senkrecht, Mitte</translation>
    </message>
    <message>
        <source>Fader, Horizontal, Center</source>
        <translation>Fader, waagerecht, Mitte</translation>
    </message>
    <message>
        <source>Pitch Bend, Vertical</source>
        <translation>Pitch Bend, senkrecht</translation>
    </message>
    <message>
        <source>Pitch Bend, Horizontal</source>
        <translation>Pitch Bend, waagerecht</translation>
    </message>
    <message>
        <source>Pitch Bend, Vertical, Center</source>
        <translation>Pitch Bend, senkrecht, Mitte</translation>
    </message>
    <message>
        <source>Pitch Bend, Horizontal, Center</source>
        <translation>Pitch Bend, waagerecht, Mitte</translation>
    </message>
    <message>
        <source>Knob</source>
        <translation>Drehregler</translation>
    </message>
    <message>
        <source>Encoder</source>
        <translation>Encoder</translation>
    </message>
    <message>
        <source>Encoder - Push</source>
        <translation>Encoder - Taster</translation>
    </message>
    <message>
        <source>Encoder - Switch</source>
        <translation>Encoder - Schalter</translation>
    </message>
    <message>
        <source>Label</source>
        <translation>Beschriftung</translation>
    </message>
    <message>
        <source>LED</source>
        <translation>LED</translation>
    </message>
    <message>
        <source>Icon</source>
        <translation>Symbol</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Uhrzeit</translation>
    </message>
    <message>
        <source>Group</source>
        <translation>Gruppe</translation>
    </message>
</context>
<context>
    <name>DesignMode</name>
    <message>
        <source>Design Mode</source>
        <translation>Gestaltungsmodus</translation>
    </message>
    <message>
        <source>Ctrl+Shift+E</source>
        <translation>Ctrl+Shift+E</translation>
    </message>
    <message>
        <source>Select, drag and resize the controls with the mouse; the controls do not operate meanwhile</source>
        <translation>Steuerelemente mit der Maus auswählen, verschieben und in der Größe ändern; die Steuerelemente reagieren währenddessen nicht</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Alle auswählen</translation>
    </message>
    <message>
        <source>Ctrl+Shift+A</source>
        <translation>Ctrl+Shift+A</translation>
    </message>
    <message>
        <source>Selects every control (in design mode)</source>
        <translation>Wählt alle Steuerelemente aus (im Gestaltungsmodus)</translation>
    </message>
    <message>
        <source>Resize Control</source>
        <translation>Größe des Steuerelements ändern</translation>
    </message>
    <message>
        <source>Resize %1 Controls</source>
        <translation>Größe von %1 Steuerelementen ändern</translation>
    </message>
    <message>
        <source>Move Control</source>
        <translation>Steuerelement verschieben</translation>
    </message>
    <message>
        <source>Move %1 Controls</source>
        <translation>%1 Steuerelemente verschieben</translation>
    </message>
    <message>
        <source>Add Control</source>
        <translation>Steuerelement hinzufügen</translation>
    </message>
    <message>
        <source>Align Left</source>
        <translation>Links ausrichten</translation>
    </message>
    <message>
        <source>Align Right</source>
        <translation>Rechts ausrichten</translation>
    </message>
    <message>
        <source>Align Top</source>
        <translation>Oben ausrichten</translation>
    </message>
    <message>
        <source>Align Bottom</source>
        <translation>Unten ausrichten</translation>
    </message>
    <message>
        <source>Align Centres Horizontally</source>
        <translation>Mitten waagerecht ausrichten</translation>
    </message>
    <message>
        <source>Align Centres Vertically</source>
        <translation>Mitten senkrecht ausrichten</translation>
    </message>
    <message>
        <source>Distribute Horizontally</source>
        <translation>Waagerecht verteilen</translation>
    </message>
    <message>
        <source>Distribute Vertically</source>
        <translation>Senkrecht verteilen</translation>
    </message>
    <message>
        <source>Make Same Width</source>
        <translation>Gleiche Breite</translation>
    </message>
    <message>
        <source>Make Same Height</source>
        <translation>Gleiche Höhe</translation>
    </message>
    <message>
        <source>Make Same Size</source>
        <translation>Gleiche Größe</translation>
    </message>
    <message>
        <source>No channel is free after %1: the new control has no output</source>
        <translation>Nach %1 ist kein Kanal frei: das neue Steuerelement hat keinen Ausgang</translation>
    </message>
</context>
<context>
    <name>DmxInEditor</name>
    <message>
        <source>DMX-IN</source>
        <translation>DMX-EIN</translation>
    </message>
    <message>
        <source>Learn</source>
        <translation>Lernen</translation>
    </message>
    <message>
        <source>Type :</source>
        <translation>Typ:</translation>
    </message>
    <message>
        <source>Value %1 :</source>
        <translation>Wert %1:</translation>
    </message>
    <message>
        <source>DMX Channel :</source>
        <translation>DMX-Kanal:</translation>
    </message>
    <message>
        <source>MIDI Note :</source>
        <translation>MIDI-Note:</translation>
    </message>
    <message>
        <source>DMX Universe :</source>
        <translation>DMX-Universum:</translation>
    </message>
    <message>
        <source>MIDI Type :</source>
        <translation>MIDI-Typ:</translation>
    </message>
    <message>
        <source>Color %1 - Red / Green / Blue :</source>
        <translation>Farbe %1 - Rot / Grün / Blau:</translation>
    </message>
    <message>
        <source>Mix Colors between DMX Values</source>
        <translation>Farben zwischen DMX-Werten mischen</translation>
    </message>
    <message>
        <source>Mix Colors Between DMX Values</source>
        <translation>Farben zwischen DMX-Werten mischen</translation>
    </message>
    <message>
        <source>Learning...</source>
        <translation>Lerne...</translation>
    </message>
    <message>
        <source>takes the next DMX channel that changes, the next MIDI message or the next OSC address, as the input of this control</source>
        <translation>nimmt den nächsten DMX-Kanal, der sich ändert, die nächste MIDI-Nachricht oder die nächste OSC-Adresse als Eingang dieses Steuerelements</translation>
    </message>
    <message>
        <source>the OSC address this input listens to: starts with &apos;/&apos;, for example /fader/1; no spaces and none of # , ? * [ ] { }. A float 0 to 1 or an integer 0 to 255 sets the level</source>
        <translation>die OSC-Adresse, auf die dieser Eingang hört: beginnt mit &apos;/&apos;, zum Beispiel /fader/1; ohne Leerzeichen und ohne # , ? * [ ] { }. Eine Gleitkommazahl 0 bis 1 oder eine Ganzzahl 0 bis 255 setzt den Pegel</translation>
    </message>
    <message>
        <source>OSC Address :</source>
        <translation>OSC-Adresse:</translation>
    </message>
    <message>
        <source>the red of the color shown at value %1, 0 to 255</source>
        <translation>das Rot der Farbe bei Wert %1, 0 bis 255</translation>
    </message>
    <message>
        <source>the green of the color shown at value %1, 0 to 255</source>
        <translation>das Grün der Farbe bei Wert %1, 0 bis 255</translation>
    </message>
    <message>
        <source>the blue of the color shown at value %1, 0 to 255</source>
        <translation>das Blau der Farbe bei Wert %1, 0 bis 255</translation>
    </message>
    <message>
        <source>between two values the color is mixed from theirs; off: it changes at the value</source>
        <translation>zwischen zwei Werten wird die Farbe aus ihren Farben gemischt; aus: sie wechselt beim Wert</translation>
    </message>
</context>
<context>
    <name>Documentation</name>
    <message>
        <source>Documentation of %1</source>
        <translation>Dokumentation von %1</translation>
    </message>
    <message>
        <source>Download Configuration</source>
        <translation>Konfiguration herunterladen</translation>
    </message>
    <message>
        <source>Control Input</source>
        <translation>Eingang der Steuerelemente</translation>
    </message>
    <message>
        <source>Background Input</source>
        <translation>Eingang des Hintergrunds</translation>
    </message>
    <message>
        <source>%1 (advanced)</source>
        <translation>%1 (erweitert)</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Bitmap</source>
        <translation>Bild</translation>
    </message>
    <message>
        <source>Control Type</source>
        <translation>Steuerelementtyp</translation>
    </message>
    <message>
        <source>Protocol</source>
        <translation>Protokoll</translation>
    </message>
    <message>
        <source>Universe</source>
        <translation>Universum</translation>
    </message>
    <message>
        <source>Channel</source>
        <translation>Kanal</translation>
    </message>
    <message>
        <source>MIDI Type</source>
        <translation>MIDI-Typ</translation>
    </message>
    <message>
        <source>Note</source>
        <translation>Note</translation>
    </message>
    <message>
        <source>HTTP Filename</source>
        <translation>HTTP-Dateiname</translation>
    </message>
    <message>
        <source>HTTP File Name</source>
        <translation>HTTP-Dateiname</translation>
    </message>
    <message>
        <source>Command Filename</source>
        <translation>Befehlsdatei</translation>
    </message>
    <message>
        <source>Command File Name</source>
        <translation>Befehlsdatei</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>Beschreibung</translation>
    </message>
    <message>
        <source>Control Output</source>
        <translation>Ausgang der Steuerelemente</translation>
    </message>
    <message>
        <source>On</source>
        <translation>Ein</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Aus</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Keins</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Unbekannt</translation>
    </message>
    <message>
        <source>Startup Timeout (in Seconds)</source>
        <translation>Startverzögerung (in Sekunden)</translation>
    </message>
    <message>
        <source>Start DMX/MIDI with the First Control Change</source>
        <translation>DMX/MIDI erst mit der ersten Änderung eines Steuerelements senden</translation>
    </message>
    <message>
        <source>Project</source>
        <translation>Projekt</translation>
    </message>
    <message>
        <source>MIDI-OUT</source>
        <translation>MIDI-AUS</translation>
    </message>
    <message>
        <source>MIDI-IN</source>
        <translation>MIDI-EIN</translation>
    </message>
    <message>
        <source>Show Hexadecimal Values Additionally</source>
        <translation>Zusätzlich hexadezimale Werte anzeigen</translation>
    </message>
    <message>
        <source>HTTP</source>
        <translation>HTTP</translation>
    </message>
    <message>
        <source>Server</source>
        <translation>Server</translation>
    </message>
    <message>
        <source>Command Options</source>
        <translation>Befehlsoptionen</translation>
    </message>
    <message>
        <source>Command Path</source>
        <translation>Befehlspfad</translation>
    </message>
    <message>
        <source>Lock Screen</source>
        <translation>Bildschirm sperren</translation>
    </message>
    <message>
        <source>Preferences</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Wert</translation>
    </message>
    <message>
        <source>see up</source>
        <translation>siehe oben</translation>
    </message>
    <message>
        <source>Integer (DMX value)</source>
        <translation>Ganzzahl (DMX-Wert)</translation>
    </message>
    <message>
        <source>Float 0–1</source>
        <translation>Gleitkomma 0–1</translation>
    </message>
    <message>
        <source>OSC Address</source>
        <translation>OSC-Adresse</translation>
    </message>
    <message>
        <source>Target</source>
        <translation>Ziel</translation>
    </message>
    <message>
        <source>Argument</source>
        <translation>Argument</translation>
    </message>
    <message>
        <source>OSC default target</source>
        <translation>OSC-Standardziel</translation>
    </message>
    <message>
        <source>Plain OSC targets</source>
        <translation>OSC-Ziele ohne Bündel</translation>
    </message>
    <message>
        <source>Created by Pultora %1 on %2 - %3</source>
        <translation>Erstellt mit Pultora %1 am %2 um %3</translation>
    </message>
</context>
<context>
    <name>EditCommands</name>
    <message>
        <source>The control no longer exists; the change was not applied</source>
        <translation>Das Steuerelement gibt es nicht mehr; die Änderung wurde nicht übernommen</translation>
    </message>
    <message>
        <source>Edit Control</source>
        <translation>Steuerelement bearbeiten</translation>
    </message>
    <message>
        <source>Add Control</source>
        <translation>Steuerelement hinzufügen</translation>
    </message>
    <message>
        <source>Delete Control</source>
        <translation>Steuerelement löschen</translation>
    </message>
    <message>
        <source>Cut Control</source>
        <translation>Steuerelement ausschneiden</translation>
    </message>
    <message>
        <source>Paste Control</source>
        <translation>Steuerelement einfügen</translation>
    </message>
    <message>
        <source>Ctrl+Z</source>
        <translation>Ctrl+Z</translation>
    </message>
    <message>
        <source>Ctrl+Shift+Z</source>
        <translation>Ctrl+Shift+Z</translation>
    </message>
    <message>
        <source>Undo %1</source>
        <translation>%1 rückgängig</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Rückgängig</translation>
    </message>
    <message>
        <source>Redo %1</source>
        <translation>%1 wiederherstellen</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Wiederherstellen</translation>
    </message>
    <message>
        <source>Takes back the last change of the console</source>
        <translation>Nimmt die letzte Änderung am Pult zurück</translation>
    </message>
    <message>
        <source>Screen Lock</source>
        <translation>Bildschirmsperre</translation>
    </message>
    <message>
        <source>The Screen is locked!</source>
        <translation>Der Bildschirm ist gesperrt!</translation>
    </message>
    <message>
        <source>Moving %1: click to place, Esc cancels, Alt moves freely</source>
        <translation>%1 wird verschoben: Klicken setzt ab, Esc bricht ab, Alt verschiebt frei</translation>
    </message>
    <message>
        <source>Move cancelled</source>
        <translation>Verschieben abgebrochen</translation>
    </message>
    <message>
        <source>Move Control</source>
        <translation>Steuerelement verschieben</translation>
    </message>
    <message>
        <source>Delete %1 Controls</source>
        <translation>%1 Steuerelemente löschen</translation>
    </message>
    <message>
        <source>Cut %1 Controls</source>
        <translation>%1 Steuerelemente ausschneiden</translation>
    </message>
    <message>
        <source>Paste %1 Controls</source>
        <translation>%1 Steuerelemente einfügen</translation>
    </message>
    <message>
        <source>Moving %1 controls: click to place, Esc cancels, Alt moves freely</source>
        <translation>%1 Steuerelemente werden verschoben: Klicken setzt ab, Esc bricht ab, Alt verschiebt frei</translation>
    </message>
    <message>
        <source>Move %1 Controls</source>
        <translation>%1 Steuerelemente verschieben</translation>
    </message>
    <message>
        <source>Redoes the change that was taken back</source>
        <translation>Stellt die zurückgenommene Änderung wieder her</translation>
    </message>
</context>
<context>
    <name>ImportForeignGui</name>
    <message>
        <source>The import library %1 could not be loaded:
%2</source>
        <translation>Die Importbibliothek %1 konnte nicht geladen werden:
%2</translation>
    </message>
    <message>
        <source>The import library %1 offers no text to import.</source>
        <translation>Die Importbibliothek %1 bietet keinen Text zum Importieren an.</translation>
    </message>
    <message>
        <source>The import library %1 reported an invalid size (%2 bytes).</source>
        <translation>Die Importbibliothek %1 hat eine ungültige Größe gemeldet (%2 Byte).</translation>
    </message>
    <message>
        <source>The import library %1 offers %2 bytes; at most %3 bytes are imported.</source>
        <translation>Die Importbibliothek %1 bietet %2 Byte an; importiert werden höchstens %3 Byte.</translation>
    </message>
    <message>
        <source>The import library %1 reported an odd size (%2 bytes) for UTF-16 text.</source>
        <translation>Die Importbibliothek %1 hat für UTF-16-Text eine ungerade Größe gemeldet (%2 Byte).</translation>
    </message>
    <message>
        <source>The import library %1 gave %2 bytes instead of the %3 bytes it announced.</source>
        <translation>Die Importbibliothek %1 hat %2 Byte geliefert statt der angekündigten %3 Byte.</translation>
    </message>
    <message>
        <source>The import library %1 is too old to import from.</source>
        <translation>Die Importbibliothek %1 ist zu alt für den Import.</translation>
    </message>
</context>
<context>
    <name>MidiType</name>
    <message>
        <source>Note, Off</source>
        <translation>Note, Aus</translation>
    </message>
    <message>
        <source>Note, On</source>
        <translation>Note, Ein</translation>
    </message>
    <message>
        <source>Poly Key Pressure</source>
        <translation>Polyphoner Tastendruck</translation>
    </message>
    <message>
        <source>Control Change</source>
        <translation>Control Change</translation>
    </message>
    <message>
        <source>Program Change</source>
        <translation>Program Change</translation>
    </message>
    <message>
        <source>Channel Pressure</source>
        <translation>Kanal-Druck</translation>
    </message>
    <message>
        <source>Pitch Wheel - Change</source>
        <translation>Pitch Wheel - Änderung</translation>
    </message>
    <message>
        <source>System Message</source>
        <translation>Systemnachricht</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Keiner</translation>
    </message>
</context>
<context>
    <name>OverviewModel</name>
    <message>
        <source>Del</source>
        <translation>Entf.</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Bearbeiten</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Pos. X</source>
        <translation>Pos. X</translation>
    </message>
    <message>
        <source>Pos. Y</source>
        <translation>Pos. Y</translation>
    </message>
    <message>
        <source>Size X</source>
        <translation>Größe X</translation>
    </message>
    <message>
        <source>Size Y</source>
        <translation>Größe Y</translation>
    </message>
    <message>
        <source>Color</source>
        <translation>Farbe</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Typ</translation>
    </message>
    <message>
        <source>Protocol</source>
        <translation>Protokoll</translation>
    </message>
    <message>
        <source>Universe</source>
        <translation>Universum</translation>
    </message>
    <message>
        <source>Channel</source>
        <translation>Kanal</translation>
    </message>
    <message>
        <source>Note</source>
        <translation>Note</translation>
    </message>
    <message>
        <source>Link</source>
        <translation>Link</translation>
    </message>
    <message>
        <source>Command</source>
        <translation>Befehl</translation>
    </message>
    <message>
        <source>Value 1</source>
        <translation>Wert 1</translation>
    </message>
    <message>
        <source>Value 2</source>
        <translation>Wert 2</translation>
    </message>
    <message>
        <source>Value 3</source>
        <translation>Wert 3</translation>
    </message>
    <message>
        <source>Protocol, Adv.</source>
        <translation>Protokoll, Erw.</translation>
    </message>
    <message>
        <source>Universe, Adv.</source>
        <translation>Universum, Erw.</translation>
    </message>
    <message>
        <source>Channel, Adv.</source>
        <translation>Kanal, Erw.</translation>
    </message>
    <message>
        <source>Note, Adv.</source>
        <translation>Note, Erw.</translation>
    </message>
    <message>
        <source>Link, Adv.</source>
        <translation>Link, Erw.</translation>
    </message>
    <message>
        <source>Command, Adv.</source>
        <translation>Befehl, Erw.</translation>
    </message>
    <message>
        <source>Value 1, Adv.</source>
        <translation>Wert 1, Erw.</translation>
    </message>
    <message>
        <source>Value 2, Adv.</source>
        <translation>Wert 2, Erw.</translation>
    </message>
    <message>
        <source>Protocol, IN</source>
        <translation>Protokoll, EIN</translation>
    </message>
    <message>
        <source>Universe, IN</source>
        <translation>Universum, EIN</translation>
    </message>
    <message>
        <source>Channel, IN</source>
        <translation>Kanal, EIN</translation>
    </message>
    <message>
        <source>Note, IN</source>
        <translation>Note, EIN</translation>
    </message>
    <message>
        <source>Value 1, IN</source>
        <translation>Wert 1, EIN</translation>
    </message>
    <message>
        <source>Color 1, IN</source>
        <translation>Farbe 1, EIN</translation>
    </message>
    <message>
        <source>Value 2, IN</source>
        <translation>Wert 2, EIN</translation>
    </message>
    <message>
        <source>Color 2, IN</source>
        <translation>Farbe 2, EIN</translation>
    </message>
    <message>
        <source>Value 3, IN</source>
        <translation>Wert 3, EIN</translation>
    </message>
    <message>
        <source>Color 3, IN</source>
        <translation>Farbe 3, EIN</translation>
    </message>
    <message>
        <source>Fade</source>
        <translation>Überblenden</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>Beschreibung</translation>
    </message>
    <message>
        <source>deleting this control</source>
        <translation>löscht dieses Steuerelement</translation>
    </message>
    <message>
        <source>launching the Control Settings</source>
        <translation>öffnet die Einstellungen des Steuerelements</translation>
    </message>
    <message>
        <source>Mix Colors Between DMX Values</source>
        <translation>Farben zwischen DMX-Werten mischen</translation>
    </message>
    <message>
        <source>MIDI type: %1</source>
        <translation>MIDI-Typ: %1</translation>
    </message>
    <message>
        <source>deleting this Control</source>
        <translation>löscht dieses Steuerelement</translation>
    </message>
    <message>
        <source>launching the Control Preferences</source>
        <translation>öffnet die Einstellungen</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>Set %1 of %2</source>
        <translation>%1 von %2 setzen</translation>
    </message>
    <message>
        <source>OSC Address</source>
        <translation>OSC-Adresse</translation>
    </message>
    <message>
        <source>OSC Host</source>
        <translation>OSC-Host</translation>
    </message>
    <message>
        <source>OSC Port</source>
        <translation>OSC-Port</translation>
    </message>
    <message>
        <source>OSC Argument</source>
        <translation>OSC-Argument</translation>
    </message>
    <message>
        <source>OSC Address 2</source>
        <translation>OSC-Adresse 2</translation>
    </message>
    <message>
        <source>OSC Host 2</source>
        <translation>OSC-Host 2</translation>
    </message>
    <message>
        <source>OSC Port 2</source>
        <translation>OSC-Port 2</translation>
    </message>
    <message>
        <source>OSC Argument 2</source>
        <translation>OSC-Argument 2</translation>
    </message>
    <message>
        <source>OSC In Address</source>
        <translation>OSC-Eingangsadresse</translation>
    </message>
    <message>
        <source>Default</source>
        <translation>Standard</translation>
    </message>
</context>
<context>
    <name>OverviewWindow</name>
    <message>
        <source>%1 of %2 cannot be changed</source>
        <translation>%1 von %2 kann nicht geändert werden</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>Set %1 of %2</source>
        <translation>%1 von %2 setzen</translation>
    </message>
    <message>
        <source>Shift Control Up</source>
        <translation>Steuerelement nach oben schieben</translation>
    </message>
    <message>
        <source>Shift Control Down</source>
        <translation>Steuerelement nach unten schieben</translation>
    </message>
    <message>
        <source>%1 columns</source>
        <translation>%1 Spalten</translation>
    </message>
    <message>
        <source>Set</source>
        <translation>Setzen</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>Subtract</source>
        <translation>Abziehen</translation>
    </message>
    <message>
        <source>Increment</source>
        <translation>Hochzählen</translation>
    </message>
    <message>
        <source>%1 %2 on %3 controls</source>
        <translation>%1 %2 bei %3 Steuerelementen</translation>
    </message>
    <message>
        <source>%1 cells left unchanged: %2</source>
        <translation>%1 Zellen unverändert: %2</translation>
    </message>
    <message>
        <source>Change Controls</source>
        <translation>Steuerelemente ändern</translation>
    </message>
    <message>
        <source>Shift Controls</source>
        <translation>Steuerelemente schieben</translation>
    </message>
    <message>
        <source>Delete %1 Controls</source>
        <translation>%1 Steuerelemente löschen</translation>
    </message>
</context>
<context>
    <name>Preferences</name>
    <message>
        <source>None</source>
        <translation>Keins</translation>
    </message>
    <message>
        <source>%1 (not connected)</source>
        <translation>%1 (nicht verbunden)</translation>
    </message>
    <message>
        <source>Global Preferences</source>
        <translation>Allgemeine Einstellungen</translation>
    </message>
    <message>
        <source>Start Options</source>
        <translation>Startoptionen</translation>
    </message>
    <message>
        <source>Startup Timeout (in Seconds) :</source>
        <translation>Startverzögerung (in Sekunden):</translation>
    </message>
    <message>
        <source>Start DMX/MIDI with the First Control Change</source>
        <translation>DMX/MIDI erst mit der ersten Änderung eines Steuerelements senden</translation>
    </message>
    <message>
        <source>Check for updates at start-up</source>
        <translation>Beim Start nach Updates suchen</translation>
    </message>
    <message>
        <source>asks the Pultora web site for a newer version 30 seconds after the start</source>
        <translation>fragt 30 Sekunden nach dem Start die Pultora-Website nach einer neueren Version</translation>
    </message>
    <message>
        <source>Display Options</source>
        <translation>Anzeigeoptionen</translation>
    </message>
    <message>
        <source>Show Hexadecimal Values Additionally</source>
        <translation>Werte zusätzlich hexadezimal anzeigen</translation>
    </message>
    <message>
        <source>shows values also in hexadecimal notation</source>
        <translation>zeigt Werte auch hexadezimal an</translation>
    </message>
    <message>
        <source>Project</source>
        <translation>Projekt</translation>
    </message>
    <message>
        <source>Name :</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>Description :</source>
        <translation>Beschreibung:</translation>
    </message>
    <message>
        <source>MIDI-OUT</source>
        <translation>MIDI-AUS</translation>
    </message>
    <message>
        <source>Device Name :</source>
        <translation>Gerätename:</translation>
    </message>
    <message>
        <source>MIDI-IN</source>
        <translation>MIDI-EIN</translation>
    </message>
    <message>
        <source>HTTP</source>
        <translation>HTTP</translation>
    </message>
    <message>
        <source>Server :</source>
        <translation>Server:</translation>
    </message>
    <message>
        <source>Command Options</source>
        <translation>Befehlsoptionen</translation>
    </message>
    <message>
        <source>Command</source>
        <translation>Befehle ausführen</translation>
    </message>
    <message>
        <source>Command Path :</source>
        <translation>Befehlspfad:</translation>
    </message>
    <message>
        <source>Lock Screen</source>
        <translation>Bildschirm sperren</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>click OK to apply all changes and close the window</source>
        <translation>OK übernimmt alle Änderungen und schließt das Fenster</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Übernehmen</translation>
    </message>
    <message>
        <source>click Apply to apply all changes</source>
        <translation>Übernehmen übernimmt alle Änderungen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>click Cancel to discard any changes</source>
        <translation>Abbrechen verwirft alle Änderungen</translation>
    </message>
    <message>
        <source>Change Preferences</source>
        <translation>Einstellungen ändern</translation>
    </message>
    <message>
        <source>With the command output on, controls of this configuration start programs on this computer, with your user&apos;s rights.
Switch the command output on?</source>
        <translation>Mit eingeschalteter Befehlsausgabe starten Steuerelemente dieser Konfiguration Programme auf diesem Computer, mit Ihren Benutzerrechten.
Befehlsausgabe einschalten?</translation>
    </message>
    <message>
        <source>First usable network</source>
        <translation>Erstes nutzbares Netzwerk</translation>
    </message>
    <message>
        <source>Network</source>
        <translation>Netzwerk</translation>
    </message>
    <message>
        <source>the network Art-Net and streaming ACN send on and listen to</source>
        <translation>das Netzwerk, in dem Art-Net und Streaming ACN senden und empfangen</translation>
    </message>
    <message>
        <source>Interface :</source>
        <translation>Schnittstelle:</translation>
    </message>
    <message>
        <source>Always broadcast Art-Net</source>
        <translation>Art-Net immer per Broadcast senden</translation>
    </message>
    <message>
        <source>sends Art-Net to every node of the network, also where nodes asked for unicast</source>
        <translation>sendet Art-Net an jeden Knoten des Netzwerks, auch wo Knoten Unicast erbeten haben</translation>
    </message>
    <message>
        <source>Call other computers</source>
        <translation>Andere Computer aufrufen</translation>
    </message>
    <message>
        <source>lets the HTTP outputs call servers on other computers, not only on this one</source>
        <translation>lässt die HTTP-Ausgaben Server auf anderen Computern aufrufen, nicht nur auf diesem</translation>
    </message>
    <message>
        <source>Show</source>
        <translation>Show</translation>
    </message>
    <message>
        <source>These settings belong to you on this computer. They are not saved with the show, and no show changes them.</source>
        <translation>Diese Einstellungen gehören Ihnen auf diesem Computer. Sie werden nicht mit der Show gespeichert, und keine Show ändert sie.</translation>
    </message>
    <message>
        <source>This Computer</source>
        <translation>Dieser Computer</translation>
    </message>
    <message>
        <source>the step that moved and resized controls snap to, and that the arrow keys move them by, in background units; 1: no grid</source>
        <translation>das Raster, an dem verschobene und vergrößerte Steuerelemente einrasten und um das die Pfeiltasten sie verschieben, in Hintergrundeinheiten; 1: kein Raster</translation>
    </message>
    <message>
        <source>Snap Grid :</source>
        <translation>Raster :</translation>
    </message>
    <message>
        <source>Patch new controls automatically</source>
        <translation>Neue Steuerelemente automatisch patchen</translation>
    </message>
    <message>
        <source>a control made from the palette takes the protocol and universe of the one made before it and the next channel no control uses</source>
        <translation>ein Steuerelement aus der Palette übernimmt Protokoll und Universum des zuvor erstellten und den nächsten Kanal, den kein Steuerelement verwendet</translation>
    </message>
    <message>
        <source>The plain OSC targets &quot;%1&quot; are not valid: write host:port, separated by commas, for example 192.168.1.20:8000, [::1]:9000.</source>
        <translation>Die OSC-Ziele ohne Bündel &quot;%1&quot; sind ungültig: Host:Port durch Kommas getrennt schreiben, zum Beispiel 192.168.1.20:8000, [::1]:9000.</translation>
    </message>
    <message>
        <source>The OSC default host is empty.</source>
        <translation>Der OSC-Standardhost ist leer.</translation>
    </message>
    <message>
        <source>where OSC outputs without a host of their own send to, by name or IP address; 127.0.0.1 unless changed</source>
        <translation>wohin OSC-Ausgänge ohne eigenen Host senden, als Name oder IP-Adresse; 127.0.0.1, wenn nicht geändert</translation>
    </message>
    <message>
        <source>OSC default host :</source>
        <translation>OSC-Standardhost :</translation>
    </message>
    <message>
        <source>the UDP port OSC outputs without a port of their own send to, 1 to 65535; 9000 unless changed</source>
        <translation>der UDP-Port, an den OSC-Ausgänge ohne eigenen Port senden, 1 bis 65535; 9000, wenn nicht geändert</translation>
    </message>
    <message>
        <source>OSC default port :</source>
        <translation>OSC-Standardport :</translation>
    </message>
    <message>
        <source>host:port, host:port</source>
        <translation>Host:Port, Host:Port</translation>
    </message>
    <message>
        <source>OSC targets that get one plain message each instead of bundles, for receivers that ignore bundles: host:port separated by commas, an IPv6 host in brackets ([::1]:9000); empty: none</source>
        <translation>OSC-Ziele, die statt Bündeln jede Nachricht einzeln erhalten, für Empfänger, die Bündel ignorieren: Host:Port durch Kommas getrennt, ein IPv6-Host in eckigen Klammern ([::1]:9000); leer: keine</translation>
    </message>
    <message>
        <source>Plain OSC targets :</source>
        <translation>OSC-Ziele ohne Bündel :</translation>
    </message>
    <message>
        <source>OSC input port :</source>
        <translation>OSC-Eingangsport :</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Aus</translation>
    </message>
    <message>
        <source>the UDP port this computer takes OSC input on, 1 to 65535; Off (0): no OSC input, the default</source>
        <translation>der UDP-Port, auf dem dieser Computer OSC empfängt, 1 bis 65535; Aus (0): kein OSC-Eingang, die Voreinstellung</translation>
    </message>
    <message>
        <source>OSC input listens on the network interface chosen on the page Show and on loopback (127.0.0.1).</source>
        <translation>Der OSC-Eingang hört auf der Netzwerkschnittstelle, die auf der Seite Show gewählt ist, und auf Loopback (127.0.0.1).</translation>
    </message>
    <message>
        <source>The PIN of the web remote must have 4 to 8 digits.</source>
        <translation>Die PIN der Web-Fernbedienung muss 4 bis 8 Ziffern haben.</translation>
    </message>
    <message>
        <source>Set a PIN of 4 to 8 digits for the web remote.</source>
        <translation>Legen Sie für die Web-Fernbedienung eine PIN mit 4 bis 8 Ziffern fest.</translation>
    </message>
    <message>
        <source>PIN set — type to change</source>
        <translation>PIN gesetzt – zum Ändern eintippen</translation>
    </message>
    <message>
        <source>4 to 8 digits</source>
        <translation>4 bis 8 Ziffern</translation>
    </message>
    <message>
        <source>Web Remote</source>
        <translation>Web-Fernbedienung</translation>
    </message>
    <message>
        <source>Serve the web remote</source>
        <translation>Web-Fernbedienung anbieten</translation>
    </message>
    <message>
        <source>serves a page to phones and tablets on the show network that shows the controls of the show; it asks for the PIN first</source>
        <translation>bietet Telefonen und Tablets im Show-Netz eine Seite mit den Steuerelementen der Show an; sie fragt zuerst nach der PIN</translation>
    </message>
    <message>
        <source>the TCP port the web remote listens on, 1 to 65535; 9080 unless changed</source>
        <translation>der TCP-Port, auf dem die Web-Fernbedienung lauscht, 1 bis 65535; 9080, solange nicht geändert</translation>
    </message>
    <message>
        <source>Port :</source>
        <translation>Port :</translation>
    </message>
    <message>
        <source>the network interface the web remote listens on besides loopback (127.0.0.1), by name; Same as the show: the one Art-Net and streaming ACN use</source>
        <translation>die Netzwerkschnittstelle, auf der die Web-Fernbedienung außer auf Loopback (127.0.0.1) lauscht, mit Namen; Wie die Show: die, die Art-Net und Streaming-ACN verwenden</translation>
    </message>
    <message>
        <source>Network interface :</source>
        <translation>Netzwerkschnittstelle :</translation>
    </message>
    <message>
        <source>Clients may operate controls</source>
        <translation>Geräte dürfen Steuerelemente bedienen</translation>
    </message>
    <message>
        <source>lets phones and tablets move faders and press buttons; unticked they only watch</source>
        <translation>lässt Telefone und Tablets Fader bewegen und Tasten drücken; ohne Haken schauen sie nur zu</translation>
    </message>
    <message>
        <source>what phones and tablets must enter before they see the show, 4 to 8 digits; kept only as a hash; left empty, the PIN set stays</source>
        <translation>was Telefone und Tablets eingeben müssen, bevor sie die Show sehen, 4 bis 8 Ziffern; nur als Hash gespeichert; leer gelassen, bleibt die gesetzte PIN</translation>
    </message>
    <message>
        <source>PIN :</source>
        <translation>PIN :</translation>
    </message>
    <message>
        <source>Operate commands, other HTTP hosts and OSC beyond the show network from the page</source>
        <translation>Befehle, andere HTTP-Hosts und OSC außerhalb des Show-Netzes von der Seite aus bedienen</translation>
    </message>
    <message>
        <source>lets the page operate controls that start programs on this computer, call HTTP servers on other computers or send OSC off the show network. A PIN of 4 digits is soon guessed or seen over a shoulder, and whoever has it could then run programs here with your rights; unticked, these controls are watch-only on the page</source>
        <translation>lässt die Seite Steuerelemente bedienen, die Programme auf diesem Computer starten, HTTP-Server auf anderen Computern aufrufen oder OSC außerhalb des Show-Netzes senden. Eine vierstellige PIN ist schnell erraten oder über die Schulter gesehen, und wer sie hat, könnte dann hier Programme mit Ihren Rechten starten; ohne Haken sind diese Steuerelemente auf der Seite nur zum Zuschauen</translation>
    </message>
    <message>
        <source>The web remote belongs on the show network, never on the internet. Phones and tablets open the address shown under Web Remote in the menu.</source>
        <translation>Die Web-Fernbedienung gehört ins Show-Netz, nie ins Internet. Telefone und Tablets öffnen die Adresse, die im Menü unter Web-Fernbedienung steht.</translation>
    </message>
    <message>
        <source>Same as the show</source>
        <translation>Wie die Show</translation>
    </message>
    <message>
        <source>seconds the console waits after start before it sends, 0 to 65535; 0: at once</source>
        <translation>Sekunden, die das Pult nach dem Start wartet, bevor es sendet, 0 bis 65535; 0: sofort</translation>
    </message>
    <message>
        <source>sends no DMX or MIDI until the first control is operated</source>
        <translation>sendet kein DMX und kein MIDI, bis das erste Steuerelement bedient wird</translation>
    </message>
    <message>
        <source>the name of the show&apos;s project, shown in the title bar and the documentation</source>
        <translation>der Projektname der Show, gezeigt in der Titelleiste und in der Dokumentation</translation>
    </message>
    <message>
        <source>notes on the project for the documentation</source>
        <translation>Notizen zum Projekt für die Dokumentation</translation>
    </message>
    <message>
        <source>the MIDI device the MIDI outputs of the controls are sent to</source>
        <translation>das MIDI-Gerät, an das die MIDI-Ausgänge der Steuerelemente gehen</translation>
    </message>
    <message>
        <source>the MIDI device the MIDI inputs of the controls listen to</source>
        <translation>das MIDI-Gerät, auf das die MIDI-Eingänge der Steuerelemente hören</translation>
    </message>
    <message>
        <source>the HTTP server the links of the HTTP outputs are called on, for example 192.168.1.10:8080</source>
        <translation>der HTTP-Server, bei dem die Links der HTTP-Ausgänge aufgerufen werden, zum Beispiel 192.168.1.10:8080</translation>
    </message>
    <message>
        <source>lets controls run the commands of their outputs; off: no command is run</source>
        <translation>lässt Steuerelemente die Befehle ihrer Ausgänge ausführen; aus: kein Befehl wird ausgeführt</translation>
    </message>
    <message>
        <source>the folder the commands of the controls are found in; empty: the system&apos;s search path</source>
        <translation>der Ordner, in dem die Befehle der Steuerelemente liegen; leer: der Suchpfad des Systems</translation>
    </message>
    <message>
        <source>locks the screen: the controls still work, but nothing can be edited until Ctrl+Alt+Shift+F11 unlocks it</source>
        <translation>sperrt den Bildschirm: die Steuerelemente arbeiten weiter, aber nichts kann bearbeitet werden, bis Strg+Alt+Umschalt+F11 ihn entsperrt</translation>
    </message>
</context>
<context>
    <name>ProtocolType</name>
    <message>
        <source>Command</source>
        <translation>Befehl</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Keins</translation>
    </message>
</context>
<context>
    <name>Pultora</name>
    <message>
        <source>The screen is locked: %1 unlocks it</source>
        <translation>Der Bildschirm ist gesperrt: %1 entsperrt ihn</translation>
    </message>
    <message>
        <source>Add Control...</source>
        <translation>Steuerelement hinzufügen...</translation>
    </message>
    <message>
        <source>Ctrl+A</source>
        <translation>Ctrl+A</translation>
    </message>
    <message>
        <source>Adding a new Control to the User Interface</source>
        <translation>Ein neues Steuerelement zur Oberfläche hinzufügen</translation>
    </message>
    <message>
        <source>Edit Control...</source>
        <translation>Steuerelement bearbeiten...</translation>
    </message>
    <message>
        <source>Ctrl+E</source>
        <translation>Ctrl+E</translation>
    </message>
    <message>
        <source>Editing an Existing Control</source>
        <translation>Ein vorhandenes Steuerelement bearbeiten</translation>
    </message>
    <message>
        <source>Move Control</source>
        <translation>Steuerelement verschieben</translation>
    </message>
    <message>
        <source>Ctrl+M</source>
        <translation>Ctrl+M</translation>
    </message>
    <message>
        <source>Moving an Existing Control</source>
        <translation>Ein vorhandenes Steuerelement verschieben</translation>
    </message>
    <message>
        <source>Delete Control</source>
        <translation>Steuerelement löschen</translation>
    </message>
    <message>
        <source>Ctrl+D</source>
        <translation>Ctrl+D</translation>
    </message>
    <message>
        <source>Deleting an Existing Control</source>
        <translation>Ein vorhandenes Steuerelement löschen</translation>
    </message>
    <message>
        <source>Cut Control</source>
        <translation>Steuerelement ausschneiden</translation>
    </message>
    <message>
        <source>Ctrl+X</source>
        <translation>Ctrl+X</translation>
    </message>
    <message>
        <source>Cutting an Existing Control</source>
        <translation>Ein vorhandenes Steuerelement ausschneiden</translation>
    </message>
    <message>
        <source>Copy Control</source>
        <translation>Steuerelement kopieren</translation>
    </message>
    <message>
        <source>Ctrl+C</source>
        <translation>Ctrl+C</translation>
    </message>
    <message>
        <source>Copying an Existing Control</source>
        <translation>Ein vorhandenes Steuerelement kopieren</translation>
    </message>
    <message>
        <source>Paste Control</source>
        <translation>Steuerelement einfügen</translation>
    </message>
    <message>
        <source>Ctrl+V</source>
        <translation>Ctrl+V</translation>
    </message>
    <message>
        <source>Pasting of a Cut or Copied Control</source>
        <translation>Ein ausgeschnittenes oder kopiertes Steuerelement einfügen</translation>
    </message>
    <message>
        <source>Controls Overview...</source>
        <translation>Übersicht der Steuerelemente...</translation>
    </message>
    <message>
        <source>Ctrl+O</source>
        <translation>Ctrl+O</translation>
    </message>
    <message>
        <source>Background...</source>
        <translation>Hintergrund...</translation>
    </message>
    <message>
        <source>Ctrl+B</source>
        <translation>Ctrl+B</translation>
    </message>
    <message>
        <source>Settings of the Background</source>
        <translation>Einstellungen des Hintergrunds</translation>
    </message>
    <message>
        <source>Check Consistency...</source>
        <translation>Konsistenz prüfen...</translation>
    </message>
    <message>
        <source>Ctrl+J</source>
        <translation>Ctrl+J</translation>
    </message>
    <message>
        <source>Checking the Consistency of the User Interface and DMX Settings</source>
        <translation>Die Konsistenz der Oberfläche und der DMX-Einstellungen prüfen</translation>
    </message>
    <message>
        <source>New Configuration</source>
        <translation>Neue Konfiguration</translation>
    </message>
    <message>
        <source>Ctrl+N</source>
        <translation>Ctrl+N</translation>
    </message>
    <message>
        <source>Creating a New and Empty Configuration</source>
        <translation>Eine neue, leere Konfiguration anlegen</translation>
    </message>
    <message>
        <source>Open Configuration...</source>
        <translation>Konfiguration öffnen...</translation>
    </message>
    <message>
        <source>Ctrl+L</source>
        <translation>Ctrl+L</translation>
    </message>
    <message>
        <source>Loading an Existing Configuration</source>
        <translation>Eine vorhandene Konfiguration laden</translation>
    </message>
    <message>
        <source>Reload Configuration</source>
        <translation>Konfiguration neu laden</translation>
    </message>
    <message>
        <source>Ctrl+R</source>
        <translation>Ctrl+R</translation>
    </message>
    <message>
        <source>Reloading an Already Loaded Configuration</source>
        <translation>Die geladene Konfiguration neu laden</translation>
    </message>
    <message>
        <source>Append Configuration...</source>
        <translation>Konfiguration anhängen...</translation>
    </message>
    <message>
        <source>Ctrl+I</source>
        <translation>Ctrl+I</translation>
    </message>
    <message>
        <source>Appending A Configuration to an Already Loaded Configuration</source>
        <translation>Eine Konfiguration an die bereits geladene Konfiguration anhängen</translation>
    </message>
    <message>
        <source>Save Configuration</source>
        <translation>Konfiguration speichern</translation>
    </message>
    <message>
        <source>Ctrl+S</source>
        <translation>Ctrl+S</translation>
    </message>
    <message>
        <source>Saving the Configuration</source>
        <translation>Die Konfiguration speichern</translation>
    </message>
    <message>
        <source>Save Configuration as...</source>
        <translation>Konfiguration speichern unter...</translation>
    </message>
    <message>
        <source>Ctrl+Shift+S</source>
        <translation>Ctrl+Shift+S</translation>
    </message>
    <message>
        <source>Saving the Configuration Again as File</source>
        <translation>Die Konfiguration erneut als Datei speichern</translation>
    </message>
    <message>
        <source>Save Configuration As Copy...</source>
        <translation>Konfiguration als Kopie speichern...</translation>
    </message>
    <message>
        <source>Ctrl+Alt+S</source>
        <translation>Ctrl+Alt+S</translation>
    </message>
    <message>
        <source>Saving a Separate Copy of the Configuration</source>
        <translation>Eine eigene Kopie der Konfiguration speichern</translation>
    </message>
    <message>
        <source>Ctrl+K</source>
        <translation>Ctrl+K</translation>
    </message>
    <message>
        <source>Ctrl+Shift+K</source>
        <translation>Ctrl+Shift+K</translation>
    </message>
    <message>
        <source>Lock / Unlock Screen</source>
        <translation>Bildschirm sperren / entsperren</translation>
    </message>
    <message>
        <source>Ctrl+Alt+Shift+F11</source>
        <translation>Ctrl+Alt+Shift+F11</translation>
    </message>
    <message>
        <source>Preferences...</source>
        <translation>Einstellungen...</translation>
    </message>
    <message>
        <source>Ctrl+P</source>
        <translation>Ctrl+P</translation>
    </message>
    <message>
        <source>Global settings of %1</source>
        <translation>Allgemeine Einstellungen von %1</translation>
    </message>
    <message>
        <source>Generate Documentation...</source>
        <translation>Dokumentation erstellen...</translation>
    </message>
    <message>
        <source>Ctrl+G</source>
        <translation>Ctrl+G</translation>
    </message>
    <message>
        <source>Creating a Documentation of the Current Configuration</source>
        <translation>Eine Dokumentation der aktuellen Konfiguration erstellen</translation>
    </message>
    <message>
        <source>Help...</source>
        <translation>Hilfe...</translation>
    </message>
    <message>
        <source>F1</source>
        <translation>F1</translation>
    </message>
    <message>
        <source>opens the Help</source>
        <translation>öffnet die Hilfe</translation>
    </message>
    <message>
        <source>Check for Updates</source>
        <translation>Nach Updates suchen</translation>
    </message>
    <message>
        <source>Ctrl+U</source>
        <translation>Ctrl+U</translation>
    </message>
    <message>
        <source>Checks if a newer software version is available online</source>
        <translation>Prüft, ob online eine neuere Version verfügbar ist</translation>
    </message>
    <message>
        <source>About %1...</source>
        <translation>Über %1...</translation>
    </message>
    <message>
        <source>opens the About window</source>
        <translation>öffnet das Fenster Über</translation>
    </message>
    <message>
        <source>About Qt...</source>
        <translation>Über Qt...</translation>
    </message>
    <message>
        <source>opens the About Qt window</source>
        <translation>öffnet das Fenster Über Qt</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Ctrl+Q</source>
        <translation>Ctrl+Q</translation>
    </message>
    <message>
        <source>exits this software</source>
        <translation>beendet dieses Programm</translation>
    </message>
    <message>
        <source>Recent Configurations</source>
        <translation>Zuletzt verwendete Konfigurationen</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Importieren</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <source>Change Consistency Check</source>
        <translation>Konsistenzprüfung ändern</translation>
    </message>
    <message>
        <source>Consistency Check</source>
        <translation>Konsistenzprüfung</translation>
    </message>
    <message>
        <source>No controls were found for a consistency check!</source>
        <translation>Für eine Konsistenzprüfung wurden keine Steuerelemente gefunden!</translation>
    </message>
    <message>
        <source>All checks have been disabled!
A consistency check is not required.</source>
        <translation>Alle Prüfungen sind ausgeschaltet!
Eine Konsistenzprüfung ist nicht nötig.</translation>
    </message>
    <message>
        <source>Consistency Checks</source>
        <translation>Konsistenzprüfungen</translation>
    </message>
    <message>
        <source>Skip Consistency Check</source>
        <translation>Konsistenzprüfung überspringen</translation>
    </message>
    <message>
        <source>Checking Consistency of Control %1 of %2</source>
        <translation>Konsistenzprüfung von Steuerelement %1 von %2</translation>
    </message>
    <message numerus="yes">
        <source>%n further finding(s) not listed.</source>
        <translation>
            <numerusform>%n weiterer Befund nicht aufgeführt.</numerusform>
            <numerusform>%n weitere Befunde nicht aufgeführt.</numerusform>
        </translation>
    </message>
    <message>
        <source>Consistency Check Skipped by User</source>
        <translation>Konsistenzprüfung vom Benutzer übersprungen</translation>
    </message>
    <message>
        <source>Consistency Check Successful!</source>
        <translation>Konsistenzprüfung erfolgreich!</translation>
    </message>
    <message>
        <source>Pultora XML Files (*.ptra);; All Files (*.*)</source>
        <translation>Pultora-XML-Dateien (*.ptra);; Alle Dateien (*.*)</translation>
    </message>
    <message>
        <source>The file %1 could not be written!
%2.</source>
        <translation>Die Datei %1 konnte nicht geschrieben werden!
%2.</translation>
    </message>
    <message>
        <source>The unreadable file could not be kept as %1</source>
        <translation>Die nicht lesbare Datei konnte nicht als %1 aufbewahrt werden</translation>
    </message>
    <message>
        <source>File %1 has been saved; the file that could not be read was kept as %2</source>
        <translation>Die Datei %1 wurde gespeichert; die nicht lesbare Datei wurde als %2 aufbewahrt</translation>
    </message>
    <message>
        <source>File %1 has been saved</source>
        <translation>Die Datei %1 wurde gespeichert</translation>
    </message>
    <message>
        <source>Loading cancelled</source>
        <translation>Laden abgebrochen</translation>
    </message>
    <message>
        <source>New</source>
        <translation>Neu</translation>
    </message>
    <message>
        <source>Clear All Settings</source>
        <translation>Alle Einstellungen löschen</translation>
    </message>
    <message>
        <source>Open %1</source>
        <translation>%1 öffnen</translation>
    </message>
    <message>
        <source>Default Configuration</source>
        <translation>Standardkonfiguration</translation>
    </message>
    <message>
        <source>Append %1</source>
        <translation>%1 anhängen</translation>
    </message>
    <message>
        <source>The file %1 could not be read!
Do you want to create a default configuration?</source>
        <translation>Die Datei %1 konnte nicht gelesen werden!
Möchten Sie eine Standardkonfiguration anlegen?</translation>
    </message>
    <message>
        <source>The configuration has been modified!
Do you want to save the changes?</source>
        <translation>Die Konfiguration wurde geändert!
Möchten Sie die Änderungen speichern?</translation>
    </message>
    <message>
        <source>Choose a File to Open</source>
        <translation>Datei zum Öffnen wählen</translation>
    </message>
    <message>
        <source>The console is locked: %1 was not opened</source>
        <translation>Das Pult ist gesperrt: %1 wurde nicht geöffnet</translation>
    </message>
    <message>
        <source>Choose a File to Append</source>
        <translation>Datei zum Anhängen wählen</translation>
    </message>
    <message>
        <source>Save File</source>
        <translation>Datei speichern</translation>
    </message>
    <message>
        <source>Save Copy of File</source>
        <translation>Kopie der Datei speichern</translation>
    </message>
    <message>
        <source>_Copy</source>
        <translation>_Kopie</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Lighting and show-control console</source>
        <translation>Licht- und Showsteuerpult</translation>
    </message>
    <message>
        <source>Configuration to open (*.ptra)</source>
        <translation>Zu öffnende Konfiguration (*.ptra)</translation>
    </message>
    <message>
        <source>%1 V%2.%3 by </source>
        <translation>%1 V%2.%3 von </translation>
    </message>
    <message>
        <source>Right-click anywhere (or press the menu key) to open the menu of commands.</source>
        <translation>Ein Rechtsklick an beliebiger Stelle (oder die Menütaste) öffnet das Befehlsmenü.</translation>
    </message>
    <message>
        <source>untitled.ptra</source>
        <translation>unbenannt.ptra</translation>
    </message>
    <message>
        <source>%1 %2.%3 - %4[*]</source>
        <translation>%1 %2.%3 - %4[*]</translation>
    </message>
    <message>
        <source>Help %1</source>
        <translation>Hilfe zu %1</translation>
    </message>
    <message>
        <source>&lt;b&gt;Help&lt;/b&gt;&lt;br&gt;Please use the online help on the website:&lt;br&gt;%1</source>
        <translation>&lt;b&gt;Hilfe&lt;/b&gt;&lt;br&gt;Bitte nutzen Sie die Online-Hilfe auf der Website:&lt;br&gt;%1</translation>
    </message>
    <message>
        <source>Reading %1...</source>
        <translation>%1 wird gelesen...</translation>
    </message>
    <message>
        <source>Startup Timeout: %1 of %2 Seconds</source>
        <translation>Startverzögerung: %1 von %2 Sekunden</translation>
    </message>
    <message>
        <source>Start Now</source>
        <translation>Jetzt starten</translation>
    </message>
    <message>
        <source>(none yet)</source>
        <translation>(noch keine)</translation>
    </message>
    <message>
        <source>Pultora</source>
        <translation>Pultora</translation>
    </message>
    <message numerus="yes">
        <source>%n control(s) with an unknown version were not loaded: %1</source>
        <translation>
            <numerusform>%n Steuerelement mit unbekannter Version wurde nicht geladen: %1</numerusform>
            <numerusform>%n Steuerelemente mit unbekannter Version wurden nicht geladen: %1</numerusform>
        </translation>
    </message>
    <message>
        <source>Some numbers in %1 were out of range and have been limited, first: control &quot;%2&quot;, attribute &quot;%3&quot; = %4.</source>
        <translation>Einige Zahlen in %1 lagen außerhalb des Bereichs und wurden begrenzt, zuerst: Steuerelement &quot;%2&quot;, Attribut &quot;%3&quot; = %4.</translation>
    </message>
    <message>
        <source>Some numbers in %1 were out of range and have been limited, first: element &quot;%2&quot;, attribute &quot;%3&quot; = %4.</source>
        <translation>Einige Zahlen in %1 lagen außerhalb des Bereichs und wurden begrenzt, zuerst: Element &quot;%2&quot;, Attribut &quot;%3&quot; = %4.</translation>
    </message>
    <message>
        <source>The included configuration could not be loaded! It is not valid Pultora XML content (*.ptra).</source>
        <translation>Die eingebaute Konfiguration konnte nicht geladen werden! Sie ist kein gültiger Pultora-XML-Inhalt (*.ptra).</translation>
    </message>
    <message>
        <source>XML-Error</source>
        <translation>XML-Fehler</translation>
    </message>
    <message>
        <source>The file %1 could not be read!
%2.</source>
        <translation>Die Datei %1 konnte nicht gelesen werden!
%2.</translation>
    </message>
    <message>
        <source>Configuration has been loaded</source>
        <translation>Die Konfiguration wurde geladen</translation>
    </message>
    <message>
        <source>File %1 has been loaded!</source>
        <translation>Die Datei %1 wurde geladen!</translation>
    </message>
    <message>
        <source>Configuration has been loaded and appended!</source>
        <translation>Die Konfiguration wurde geladen und angehängt!</translation>
    </message>
    <message>
        <source>File %1 has been loaded and appended!</source>
        <translation>Die Datei %1 wurde geladen und angehängt!</translation>
    </message>
    <message>
        <source>Not a regular file</source>
        <translation>Keine reguläre Datei</translation>
    </message>
    <message>
        <source>File too large</source>
        <translation>Datei zu groß</translation>
    </message>
    <message>
        <source>Could not load file %1! It is not a valid Pultora XML file (*.ptra).</source>
        <translation>Die Datei %1 konnte nicht geladen werden! Sie ist keine gültige Pultora-XML-Datei (*.ptra).</translation>
    </message>
    <message>
        <source>
Line %1, column %2: %3</source>
        <translation>
Zeile %1, Spalte %2: %3</translation>
    </message>
    <message>
        <source>Not a Pultora configuration (root element &lt;%1&gt;)</source>
        <translation>Keine Pultora-Konfiguration (Wurzelelement &lt;%1&gt;)</translation>
    </message>
    <message>
        <source>It holds %1 controls and %2 are loaded already; at most %3 are supported</source>
        <translation>Sie enthält %1 Steuerelemente, und %2 sind bereits geladen; höchstens %3 werden unterstützt</translation>
    </message>
    <message>
        <source>It holds %1 controls; at most %2 are supported</source>
        <translation>Sie enthält %1 Steuerelemente; höchstens %2 werden unterstützt</translation>
    </message>
    <message>
        <source>the included configuration</source>
        <translation>der eingebauten Konfiguration</translation>
    </message>
    <message>
        <source>--:--:--</source>
        <translation>--:--:--</translation>
    </message>
    <message>
        <source>The import backup %1 could not be written: %2</source>
        <translation>Die Import-Sicherung %1 konnte nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>Documentation.html</source>
        <translation>Dokumentation.html</translation>
    </message>
    <message>
        <source>Documentation_%1.html</source>
        <translation>Dokumentation_%1.html</translation>
    </message>
    <message>
        <source>Pultora Html Files (*.html);; All Files (*.*)</source>
        <translation>Pultora-HTML-Dateien (*.html);; Alle Dateien (*.*)</translation>
    </message>
    <message>
        <source>Cannot write file %1:
%2.</source>
        <translation>Die Datei %1 kann nicht geschrieben werden:
%2.</translation>
    </message>
    <message>
        <source>Documentation File %1 saved</source>
        <translation>Dokumentationsdatei %1 gespeichert</translation>
    </message>
    <message>
        <source>Art-Net</source>
        <translation>Art-Net</translation>
    </message>
    <message>
        <source>streaming ACN</source>
        <translation>Streaming ACN</translation>
    </message>
    <message>
        <source>MIDI</source>
        <translation>MIDI</translation>
    </message>
    <message>
        <source>HTTP</source>
        <translation>HTTP</translation>
    </message>
    <message>
        <source>Command</source>
        <translation>Befehl</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Keins</translation>
    </message>
    <message>
        <source>channel %1 lies past the universe</source>
        <translation>Kanal %1 liegt jenseits des Universums</translation>
    </message>
    <message>
        <source>no MIDI output device selected in the preferences</source>
        <translation>kein MIDI-Ausgabegerät in den Einstellungen gewählt</translation>
    </message>
    <message>
        <source>Protocol: %1 - </source>
        <translation>Protokoll: %1 - </translation>
    </message>
    <message>
        <source>No protocol has been selected for sending data!</source>
        <translation>Es wurde kein Protokoll zum Senden gewählt!</translation>
    </message>
    <message>
        <source>DMX Universe: %1 | DMX Channel: %2 | DMX Value: %3</source>
        <translation>DMX-Universum: %1 | DMX-Kanal: %2 | DMX-Wert: %3</translation>
    </message>
    <message>
        <source>DMX Universe: %1 (0x%2) | DMX Channel: %3 (0x%4) | DMX Value: %5 (0x%6)</source>
        <translation>DMX-Universum: %1 (0x%2) | DMX-Kanal: %3 (0x%4) | DMX-Wert: %5 (0x%6)</translation>
    </message>
    <message>
        <source>MIDI Type: %1 | MIDI Channel: %2 | MIDI Note: %3 | MIDI Value: %4</source>
        <translation>MIDI-Typ: %1 | MIDI-Kanal: %2 | MIDI-Note: %3 | MIDI-Wert: %4</translation>
    </message>
    <message>
        <source>MIDI Type: %1 (0x%2) | MIDI Channel: %3 (0x%4) | MIDI Note: %5 (0x%6) | MIDI Value: %7 (0x%8)</source>
        <translation>MIDI-Typ: %1 (0x%2) | MIDI-Kanal: %3 (0x%4) | MIDI-Note: %5 (0x%6) | MIDI-Wert: %7 (0x%8)</translation>
    </message>
    <message>
        <source>No HTTP server name in preferences configured!</source>
        <translation>Kein HTTP-Servername in den Einstellungen eingetragen!</translation>
    </message>
    <message>
        <source>No Command flag in preferences configured!</source>
        <translation>Keine Befehlsoption in den Einstellungen eingetragen!</translation>
    </message>
    <message>
        <source>Command: %1</source>
        <translation>Befehl: %1</translation>
    </message>
    <message>
        <source>Unknown Type of Protocol</source>
        <translation>Unbekannter Protokolltyp</translation>
    </message>
    <message>
        <source>Art-Net has no universe above %1</source>
        <translation>Art-Net hat kein Universum über %1</translation>
    </message>
    <message>
        <source>%1: not sent (%2)</source>
        <translation>%1: nicht gesendet (%2)</translation>
    </message>
    <message>
        <source>%1 universe %2</source>
        <translation>%1 Universum %2</translation>
    </message>
    <message>
        <source>%1 universe %2 channel %3</source>
        <translation>%1 Universum %2 Kanal %3</translation>
    </message>
    <message>
        <source>MIDI %1 channel %2 note %3</source>
        <translation>MIDI %1 Kanal %2 Note %3</translation>
    </message>
    <message>
        <source>HTTP %1</source>
        <translation>HTTP %1</translation>
    </message>
    <message>
        <source>Command %1</source>
        <translation>Befehl %1</translation>
    </message>
    <message>
        <source>Network %1 not found: Art-Net and streaming ACN stay on this computer</source>
        <translation>Netzwerk %1 nicht gefunden: Art-Net und Streaming ACN bleiben auf diesem Computer</translation>
    </message>
    <message>
        <source>Art-Net: not sent (%1)</source>
        <translation>Art-Net: nicht gesendet (%1)</translation>
    </message>
    <message>
        <source>streaming ACN: not sent (%1)</source>
        <translation>Streaming ACN: nicht gesendet (%1)</translation>
    </message>
    <message>
        <source>Open Last Session</source>
        <translation>Letzte Sitzung öffnen</translation>
    </message>
    <message>
        <source>Opening the Configuration as It Was When the Console Last Ended</source>
        <translation>Öffnet die Konfiguration, wie sie beim letzten Beenden der Konsole war</translation>
    </message>
    <message>
        <source>The recovery copy %1 could not be written: %2</source>
        <translation>Die Wiederherstellungskopie %1 konnte nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>untitled</source>
        <translation>unbenannt</translation>
    </message>
    <message>
        <source>Restore the unsaved changes of %1 from %2?</source>
        <translation>Die nicht gespeicherten Änderungen an %1 von %2 wiederherstellen?</translation>
    </message>
    <message>
        <source>Restore %1</source>
        <translation>%1 wiederherstellen</translation>
    </message>
    <message>
        <source>The unsaved changes of %1 were restored</source>
        <translation>Die nicht gespeicherten Änderungen an %1 wurden wiederhergestellt</translation>
    </message>
    <message>
        <source>%1 is a symbolic link that could not be removed</source>
        <translation>%1 ist eine symbolische Verknüpfung, die nicht entfernt werden konnte</translation>
    </message>
    <message>
        <source>The folder %1 could not be created</source>
        <translation>Der Ordner %1 konnte nicht angelegt werden</translation>
    </message>
    <message>
        <source>The lock file %1 could not be written</source>
        <translation>Die Sperrdatei %1 konnte nicht geschrieben werden</translation>
    </message>
    <message>
        <source>%1 consoles are running already</source>
        <translation>Es laufen bereits %1 Konsolen</translation>
    </message>
    <message>
        <source>control &quot;%1&quot;</source>
        <translation>Steuerelement &quot;%1&quot;</translation>
    </message>
    <message>
        <source>the background</source>
        <translation>der Hintergrund</translation>
    </message>
    <message numerus="yes">
        <source>%n picture(s) cannot be shown and will be saved unchanged, first: %1.</source>
        <translation>
            <numerusform>%n Bild kann nicht angezeigt werden und wird unverändert gespeichert: %1.</numerusform>
            <numerusform>%n Bilder können nicht angezeigt werden und werden unverändert gespeichert, das erste: %1.</numerusform>
        </translation>
    </message>
    <message>
        <source>The file %1 was changed by another program after it was opened here.
Overwrite those changes, save this configuration under another name, or cancel?</source>
        <translation>Die Datei %1 wurde von einem anderen Programm geändert, nachdem sie hier geöffnet wurde.
Diese Änderungen überschreiben, diese Konfiguration unter einem anderen Namen speichern oder abbrechen?</translation>
    </message>
    <message>
        <source>Overwrite</source>
        <translation>Überschreiben</translation>
    </message>
    <message>
        <source>Save As...</source>
        <translation>Speichern unter...</translation>
    </message>
    <message>
        <source>Not saved: %1 was changed by another program</source>
        <translation>Nicht gespeichert: %1 wurde von einem anderen Programm geändert</translation>
    </message>
    <message>
        <source>Reload</source>
        <translation>Neu laden</translation>
    </message>
    <message>
        <source>Loads the file as it is now (%1)</source>
        <translation>Lädt die Datei, wie sie jetzt ist (%1)</translation>
    </message>
    <message>
        <source>%1 was changed by another program</source>
        <translation>%1 wurde von einem anderen Programm geändert</translation>
    </message>
    <message>
        <source>Changed on disk</source>
        <translation>Auf der Platte geändert</translation>
    </message>
    <message>
        <source>When its controls are used, this show runs programs on this computer with your user&apos;s rights and calls other computers.</source>
        <translation>Wenn ihre Steuerelemente benutzt werden, startet diese Show Programme auf diesem Computer mit Ihren Benutzerrechten und ruft andere Computer auf.</translation>
    </message>
    <message>
        <source>When its controls are used, this show runs programs on this computer with your user&apos;s rights.</source>
        <translation>Wenn ihre Steuerelemente benutzt werden, startet diese Show Programme auf diesem Computer mit Ihren Benutzerrechten.</translation>
    </message>
    <message>
        <source>When its controls are used, this show calls other computers.</source>
        <translation>Wenn ihre Steuerelemente benutzt werden, ruft diese Show andere Computer auf.</translation>
    </message>
    <message>
        <source>Allow this? Without your consent the show is loaded with these outputs off.</source>
        <translation>Erlauben? Ohne Ihre Zustimmung wird die Show mit ausgeschalteten Ausgaben dieser Art geladen.</translation>
    </message>
    <message>
        <source>Programs it runs:</source>
        <translation>Programme, die sie startet:</translation>
    </message>
    <message>
        <source>Folder of the programs: %1</source>
        <translation>Ordner der Programme: %1</translation>
    </message>
    <message>
        <source>(none: the system&apos;s search path)</source>
        <translation>(keiner: der Suchpfad des Systems)</translation>
    </message>
    <message>
        <source>They run in the folder: %1</source>
        <translation>Sie laufen im Ordner: %1</translation>
    </message>
    <message>
        <source>Computers it calls:</source>
        <translation>Computer, die sie aufruft:</translation>
    </message>
    <message>
        <source>calls to other computers are not allowed for this show</source>
        <translation>Aufrufe anderer Computer sind für diese Show nicht erlaubt</translation>
    </message>
    <message>
        <source>The background of %1 had a size that cannot be shown (%2 × %3 at %4 %) and has been limited to %5 × %6 at %7 %.</source>
        <translation>Der Hintergrund von %1 hatte eine Größe, die sich nicht anzeigen lässt (%2 × %3 bei %4 %), und wurde auf %5 × %6 bei %7 % begrenzt.</translation>
    </message>
    <message>
        <source>Its controls would cover %1 million pixels; at most %2 million are supported</source>
        <translation>Ihre Steuerelemente würden %1 Millionen Pixel bedecken; höchstens %2 Millionen werden unterstützt</translation>
    </message>
    <message>
        <source>An element has more than %1 attributes</source>
        <translation>Ein Element hat mehr als %1 Attribute</translation>
    </message>
    <message>
        <source>The attribute &quot;%1&quot; is longer than %2 characters</source>
        <translation>Das Attribut „%1“ ist länger als %2 Zeichen</translation>
    </message>
    <message>
        <source>Arrange</source>
        <translation>Anordnen</translation>
    </message>
    <message>
        <source>Listen for OSC on this UDP port for this run, whatever the setting in the preferences (0: OSC input off)</source>
        <translation>Für diesen Lauf auf diesem UDP-Port auf OSC hören, gleich, was in den Einstellungen steht (0: OSC-Eingang aus)</translation>
    </message>
    <message>
        <source>Run the show without a window (a service): questions get their safe answer and go to the log; SIGTERM ends the run</source>
        <translation>Die Show ohne Fenster ausführen (als Dienst): Fragen erhalten ihre sichere Antwort und gehen ins Protokoll; SIGTERM beendet den Lauf</translation>
    </message>
    <message>
        <source>With --headless: the show&apos;s commands, and its HTTP and OSC outputs to other computers, may run</source>
        <translation>Mit --headless: die Befehle der Show sowie ihre HTTP- und OSC-Ausgaben an andere Computer dürfen laufen</translation>
    </message>
    <message>
        <source>The options of the Qt toolkit (-platform, -style, -reverse, ...) apply as well.</source>
        <translation>Die Optionen des Qt-Toolkits (-platform, -style, -reverse, ...) gelten ebenfalls.</translation>
    </message>
    <message>
        <source>--allow-commands is for --headless only: with a window, the console asks before a show&apos;s commands run.</source>
        <translation>--allow-commands gilt nur mit --headless: mit Fenster fragt die Konsole, bevor die Befehle einer Show laufen.</translation>
    </message>
    <message>
        <source>--headless needs a show file.</source>
        <translation>--headless braucht eine Show-Datei.</translation>
    </message>
    <message>
        <source>Cannot read the show file %1</source>
        <translation>Die Show-Datei %1 kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>The show file %1 could not be loaded.</source>
        <translation>Die Show-Datei %1 konnte nicht geladen werden.</translation>
    </message>
    <message>
        <source>Not a UDP port: %1</source>
        <translation>Kein UDP-Port: %1</translation>
    </message>
    <message>
        <source>OSC</source>
        <translation>OSC</translation>
    </message>
    <message>
        <source>no OSC address</source>
        <translation>keine OSC-Adresse</translation>
    </message>
    <message>
        <source>no OSC target, and no default target in the preferences</source>
        <translation>kein OSC-Ziel und kein Standardziel in den Einstellungen</translation>
    </message>
    <message>
        <source>%1 %2 (no target)</source>
        <translation>%1 %2 (kein Ziel)</translation>
    </message>
    <message>
        <source>%1 %2 to %3</source>
        <translation>%1 %2 an %3</translation>
    </message>
    <message>
        <source>OSC %1 %2</source>
        <translation>OSC %1 %2</translation>
    </message>
    <message>
        <source>OSC input: cannot listen on port %1 (%2)</source>
        <translation>OSC-Eingang: kann nicht auf Port %1 hören (%2)</translation>
    </message>
    <message>
        <source>%1 is another computer, which this show may not call</source>
        <translation>%1 ist ein anderer Computer, den diese Show nicht aufrufen darf</translation>
    </message>
    <message>
        <source>Serve the web remote on this TCP port for this run (needs --remote-pin or --remote-pin-file)</source>
        <translation>Die Web-Fernbedienung für diesen Lauf auf diesem TCP-Port anbieten (braucht --remote-pin oder --remote-pin-file)</translation>
    </message>
    <message>
        <source>The web remote&apos;s PIN for this run, 4 to 8 digits</source>
        <translation>Die PIN der Web-Fernbedienung für diesen Lauf, 4 bis 8 Ziffern</translation>
    </message>
    <message>
        <source>Read the web remote&apos;s PIN from this file (its first line)</source>
        <translation>Die PIN der Web-Fernbedienung aus dieser Datei lesen (ihrer ersten Zeile)</translation>
    </message>
    <message>
        <source>The network interface the web remote listens on besides loopback (default: the show&apos;s)</source>
        <translation>Die Netzwerkschnittstelle, auf der die Web-Fernbedienung außer auf Loopback lauscht (Vorgabe: die der Show)</translation>
    </message>
    <message>
        <source>Not a TCP port: %1</source>
        <translation>Kein TCP-Port: %1</translation>
    </message>
    <message>
        <source>Cannot read the PIN file %1: %2</source>
        <translation>Die PIN-Datei %1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>The web remote needs a PIN of 4 to 8 digits (--remote-pin or --remote-pin-file).</source>
        <translation>Die Web-Fernbedienung braucht eine PIN mit 4 bis 8 Ziffern (--remote-pin oder --remote-pin-file).</translation>
    </message>
    <message>
        <source>--remote-pin, --remote-pin-file and --remote-interface need --remote-port.</source>
        <translation>--remote-pin, --remote-pin-file und --remote-interface brauchen --remote-port.</translation>
    </message>
    <message>
        <source>Web Remote...</source>
        <translation>Web-Fernbedienung...</translation>
    </message>
    <message>
        <source>Where phones and tablets open the console, and who is connected</source>
        <translation>Wo Telefone und Tablets das Pult öffnen, und wer verbunden ist</translation>
    </message>
    <message>
        <source>Network: %1 went away: Art-Net and streaming ACN stay on this computer (loopback only)</source>
        <translation>Netzwerk: %1 ist weg: Art-Net und Streaming-ACN bleiben auf diesem Computer (nur Loopback)</translation>
    </message>
    <message>
        <source>Network: %1 is up, Art-Net and streaming ACN now use %2</source>
        <translation>Netzwerk: %1 ist da, Art-Net und Streaming-ACN verwenden jetzt %2</translation>
    </message>
    <message>
        <source>Network: %1 changed, Art-Net and streaming ACN now use %2</source>
        <translation>Netzwerk: %1 hat sich geändert, Art-Net und Streaming-ACN verwenden jetzt %2</translation>
    </message>
    <message>
        <source>Remote: %1</source>
        <translation>Fernbedienung: %1</translation>
    </message>
    <message>
        <source>Remote: off</source>
        <translation>Fernbedienung: aus</translation>
    </message>
    <message>
        <source>Clients connected: %1</source>
        <translation>Verbundene Geräte: %1</translation>
    </message>
    <message>
        <source>Lock the screen?

The controls can still be operated, but nothing can be edited until the screen is unlocked again with &quot;%1&quot;.</source>
        <translation>Den Bildschirm sperren?

Die Steuerelemente bleiben bedienbar, aber nichts kann bearbeitet werden, bis der Bildschirm mit „%1“ wieder entsperrt wird.</translation>
    </message>
    <message>
        <source>Overview of All Controls</source>
        <translation>Übersicht über alle Steuerelemente</translation>
    </message>
    <message>
        <source>Import Foreign GUI...</source>
        <translation>Fremde Oberfläche importieren...</translation>
    </message>
    <message>
        <source>Imports the controls and background of another program&apos;s window</source>
        <translation>Importiert die Steuerelemente und den Hintergrund aus dem Fenster eines anderen Programms</translation>
    </message>
    <message>
        <source>Import Foreign GUI Background...</source>
        <translation>Hintergrund einer fremden Oberfläche importieren...</translation>
    </message>
    <message>
        <source>Imports the background of another program&apos;s window</source>
        <translation>Importiert den Hintergrund aus dem Fenster eines anderen Programms</translation>
    </message>
    <message>
        <source>Import in %2 seconds (%1 passed): bring the window to import to the front</source>
        <translation>Import in %2 Sekunden (%1 vergangen): das zu importierende Fenster nach vorn holen</translation>
    </message>
    <message>
        <source>the controls and the background</source>
        <translation>die Steuerelemente und den Hintergrund</translation>
    </message>
    <message>
        <source>Import takes %1 of another program&apos;s window through the import library %2, which does not come with %3.</source>
        <translation>Der Import übernimmt %1 aus dem Fenster eines anderen Programms über die Importbibliothek %2, die nicht mit %3 geliefert wird.</translation>
    </message>
    <message>
        <source>The library is not installed on this computer (looked in %1).</source>
        <translation>Die Bibliothek ist auf diesem Computer nicht installiert (gesucht in %1).</translation>
    </message>
    <message>
        <source>The library %1 cannot be loaded: %2</source>
        <translation>Die Bibliothek %1 kann nicht geladen werden: %2</translation>
    </message>
    <message>
        <source>After Yes you have %1 seconds to bring that window to the front. Import now?</source>
        <translation>Nach Ja bleiben %1 Sekunden, um dieses Fenster nach vorn zu holen. Jetzt importieren?</translation>
    </message>
    <message>
        <source>The import found nothing to import.</source>
        <translation>Der Import hat nichts zum Importieren gefunden.</translation>
    </message>
    <message>
        <source>Save the current configuration before the import?</source>
        <translation>Die aktuelle Konfiguration vor dem Import speichern?</translation>
    </message>
    <message>
        <source>Clear the current configuration before the import? (No: the import is added to it)</source>
        <translation>Die aktuelle Konfiguration vor dem Import leeren? (Nein: der Import wird angehängt)</translation>
    </message>
    <message>
        <source>the background</source>
        <comment>what the import takes</comment>
        <translation>den Hintergrund</translation>
    </message>
</context>
<context>
    <name>QCoreApplication</name>
    <message>
        <source>Overview of the %1 Selected Controls</source>
        <translation>Übersicht der %1 ausgewählten Steuerelemente</translation>
    </message>
</context>
<context>
    <name>RemoteConsole</name>
    <message>
        <source>Off</source>
        <translation>Aus</translation>
    </message>
    <message>
        <source>Off: set a PIN in the preferences first.</source>
        <translation>Aus: legen Sie zuerst in den Einstellungen eine PIN fest.</translation>
    </message>
    <message>
        <source>Serving</source>
        <translation>Läuft</translation>
    </message>
    <message>
        <source>Serving on this computer only: the network interface has no address.</source>
        <translation>Läuft nur auf diesem Computer: die Netzwerkschnittstelle hat keine Adresse.</translation>
    </message>
    <message>
        <source>Pultora Remote</source>
        <translation>Pultora-Fernbedienung</translation>
    </message>
    <message>
        <source>PIN</source>
        <translation>PIN</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>Wrong PIN.</source>
        <translation>Falsche PIN.</translation>
    </message>
    <message>
        <source>Too many wrong PINs. Try again in %1 s.</source>
        <translation>Zu viele falsche PINs. Neuer Versuch in %1 s.</translation>
    </message>
    <message>
        <source>Connecting…</source>
        <translation>Verbinde…</translation>
    </message>
    <message>
        <source>Connected</source>
        <translation>Verbunden</translation>
    </message>
    <message>
        <source>Connection lost. Reconnecting…</source>
        <translation>Verbindung verloren. Verbinde neu…</translation>
    </message>
    <message>
        <source>Locked</source>
        <translation>Gesperrt</translation>
    </message>
    <message>
        <source>Watch only</source>
        <translation>Nur zuschauen</translation>
    </message>
</context>
<context>
    <name>RemoteServer</name>
    <message>
        <source>No address to listen on for port %1</source>
        <translation>Keine Adresse zum Lauschen für Port %1</translation>
    </message>
    <message>
        <source>Cannot listen on %1 port %2: %3</source>
        <translation>Kann auf %1 Port %2 nicht lauschen: %3</translation>
    </message>
</context>
<context>
    <name>RemoteWindow</name>
    <message>
        <source>Web Remote</source>
        <translation>Web-Fernbedienung</translation>
    </message>
    <message>
        <source>Open this address on a phone or tablet on the show network, or scan the code:</source>
        <translation>Öffnen Sie diese Adresse auf einem Telefon oder Tablet im Show-Netz, oder scannen Sie den Code:</translation>
    </message>
    <message>
        <source>the address phones and tablets open; select it to copy it</source>
        <translation>die Adresse, die Telefone und Tablets öffnen; markieren, um sie zu kopieren</translation>
    </message>
    <message>
        <source>the first address as a QR code for a phone&apos;s camera</source>
        <translation>die erste Adresse als QR-Code für die Kamera eines Telefons</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>No address: the web remote does not run.</source>
        <translation>Keine Adresse: die Web-Fernbedienung läuft nicht.</translation>
    </message>
    <message>
        <source>No client connected</source>
        <translation>Kein Gerät verbunden</translation>
    </message>
    <message>
        <source>Clients connected: %1</source>
        <translation>Verbundene Geräte: %1</translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <source>Control Settings</source>
        <translation>Einstellungen des Steuerelements</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>Beschreibung</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>click Cancel to discard any changes</source>
        <translation>Abbrechen verwirft alle Änderungen</translation>
    </message>
    <message>
        <source>DMX-OUT</source>
        <translation>DMX-AUS</translation>
    </message>
    <message>
        <source>DMX-OUT Advanced</source>
        <translation>DMX-AUS erweitert</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Name :</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>You can use HTML style sheets to change sizes and colors of the layout. Example:
&lt;div style=&quot;font-size:16px;color:#ff0000;background-color:#00ff00;&quot;&gt;Name&lt;/div&gt;</source>
        <translation>Größen und Farben lassen sich mit HTML-Stilangaben ändern. Beispiel:
&lt;div style=&quot;font-size:16px;color:#ff0000;background-color:#00ff00;&quot;&gt;Name&lt;/div&gt;</translation>
    </message>
    <message>
        <source>Position X / Y :</source>
        <translation>Position X / Y:</translation>
    </message>
    <message>
        <source>Size X / Y :</source>
        <translation>Größe X / Y:</translation>
    </message>
    <message>
        <source>Color - Red / Green / Blue :</source>
        <translation>Farbe - Rot / Grün / Blau:</translation>
    </message>
    <message>
        <source>Type :</source>
        <translation>Typ:</translation>
    </message>
    <message>
        <source>Bitmap File :</source>
        <translation>Bilddatei:</translation>
    </message>
    <message>
        <source>select the bitmap file here</source>
        <translation>hier die Bilddatei wählen</translation>
    </message>
    <message>
        <source>deletes the bitmap file</source>
        <translation>entfernt die Bilddatei</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>click Add to add this control and to close the window</source>
        <translation>Hinzufügen fügt dieses Steuerelement hinzu und schließt das Fenster</translation>
    </message>
    <message>
        <source>Add &amp;&amp; Next</source>
        <translation>Hinzufügen &amp;&amp; Weiter</translation>
    </message>
    <message>
        <source>click Add &amp; Next to add this control and to configure the next control</source>
        <translation>Hinzufügen &amp; Weiter fügt dieses Steuerelement hinzu und beginnt das nächste</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>click OK to apply all changes and close the window</source>
        <translation>OK übernimmt alle Änderungen und schließt das Fenster</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Übernehmen</translation>
    </message>
    <message>
        <source>click Apply to apply the changes</source>
        <translation>Übernehmen übernimmt die Änderungen</translation>
    </message>
    <message>
        <source>All Images (*.bmp *.gif *.ico *.jpg *.jpeg *.png *.pbm *.pgm *.ppm *.xbm *.xpm);;</source>
        <translation>Alle Bilder (*.bmp *.gif *.ico *.jpg *.jpeg *.png *.pbm *.pgm *.ppm *.xbm *.xpm);;</translation>
    </message>
    <message>
        <source>Windows Bitmap (*.bmp);;</source>
        <translation>Windows-Bitmap (*.bmp);;</translation>
    </message>
    <message>
        <source>Graphic Interchange Format (*.gif);;</source>
        <translation>Graphic Interchange Format (*.gif);;</translation>
    </message>
    <message>
        <source>Icon File (*.ico);;</source>
        <translation>Symboldatei (*.ico);;</translation>
    </message>
    <message>
        <source>Joint Photographic Experts Group (*.jpg *.jpeg);;</source>
        <translation>Joint Photographic Experts Group (*.jpg *.jpeg);;</translation>
    </message>
    <message>
        <source>Portable Bitmap (*.pbm);;</source>
        <translation>Portable Bitmap (*.pbm);;</translation>
    </message>
    <message>
        <source>Portable Graymap (*.pgm);;</source>
        <translation>Portable Graymap (*.pgm);;</translation>
    </message>
    <message>
        <source>Portable Pixmap (*.ppm);;</source>
        <translation>Portable Pixmap (*.ppm);;</translation>
    </message>
    <message>
        <source>X11 Bitmap (*.xbm *.xpm);;</source>
        <translation>X11-Bitmap (*.xbm *.xpm);;</translation>
    </message>
    <message>
        <source>All Files (*.*)</source>
        <translation>Alle Dateien (*.*)</translation>
    </message>
    <message>
        <source>Choose a Bitmap File to Open</source>
        <translation>Bilddatei zum Öffnen wählen</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
    <message>
        <source>Warnings occurred in this configuration!
Do you want to change the settings?</source>
        <translation>In dieser Konfiguration gibt es Warnungen!
Möchten Sie die Einstellungen ändern?</translation>
    </message>
    <message>
        <source>cannot be shown</source>
        <translation>nicht darstellbar</translation>
    </message>
    <message>
        <source>%1: the OSC address &quot;%2&quot; is not valid. An address starts with &apos;/&apos; and has no spaces and none of # , ? * [ ] { }.</source>
        <translation>%1: Die OSC-Adresse &quot;%2&quot; ist ungültig. Eine Adresse beginnt mit &apos;/&apos; und enthält keine Leerzeichen und keines von # , ? * [ ] { }.</translation>
    </message>
    <message>
        <source>DMX-IN</source>
        <translation>DMX-EIN</translation>
    </message>
    <message>
        <source>notes on this control for the documentation; not shown on the console</source>
        <translation>Notizen zu diesem Steuerelement für die Dokumentation; nicht auf dem Pult zu sehen</translation>
    </message>
    <message>
        <source>the text shown on the control; a label may style it with HTML</source>
        <translation>der Text auf dem Steuerelement; eine Beschriftung kann ihn mit HTML gestalten</translation>
    </message>
    <message>
        <source>the left edge in pixels from the left of the console, 0 to 65535</source>
        <translation>die linke Kante in Pixeln vom linken Rand des Pults, 0 bis 65535</translation>
    </message>
    <message>
        <source>the top edge in pixels from the top of the console, 0 to 65535</source>
        <translation>die obere Kante in Pixeln vom oberen Rand des Pults, 0 bis 65535</translation>
    </message>
    <message>
        <source>the width in pixels, 1 to 65535</source>
        <translation>die Breite in Pixeln, 1 bis 65535</translation>
    </message>
    <message>
        <source>the height in pixels, 1 to 65535</source>
        <translation>die Höhe in Pixeln, 1 bis 65535</translation>
    </message>
    <message>
        <source>the red of the control&apos;s color, 0 to 255</source>
        <translation>das Rot der Farbe des Steuerelements, 0 bis 255</translation>
    </message>
    <message>
        <source>the green of the control&apos;s color, 0 to 255</source>
        <translation>das Grün der Farbe des Steuerelements, 0 bis 255</translation>
    </message>
    <message>
        <source>the blue of the control&apos;s color, 0 to 255</source>
        <translation>das Blau der Farbe des Steuerelements, 0 bis 255</translation>
    </message>
    <message>
        <source>what the control is: button, fader, knob, encoder, label, LED and more; it decides which fields below are shown</source>
        <translation>was das Steuerelement ist: Knopf, Fader, Drehregler, Encoder, Beschriftung, LED und mehr; davon hängt ab, welche Felder unten zu sehen sind</translation>
    </message>
    <message>
        <source>the picture the control shows; ... chooses it, the bin removes it</source>
        <translation>das Bild des Steuerelements; ... wählt es, der Papierkorb entfernt es</translation>
    </message>
    <message>
        <source>Portable Network Graphics (*.png);;</source>
        <translation>Portable Network Graphics (*.png);;</translation>
    </message>
    <message>
        <source>Value 1 :</source>
        <translation>Wert 1:</translation>
    </message>
    <message>
        <source>Value 2 :</source>
        <translation>Wert 2:</translation>
    </message>
    <message>
        <source>Value 3 :</source>
        <translation>Wert 3:</translation>
    </message>
    <message>
        <source>Value - Slider, Bottom :</source>
        <translation>Wert - Fader, unten:</translation>
    </message>
    <message>
        <source>Value - Slider, Top :</source>
        <translation>Wert - Fader, oben:</translation>
    </message>
    <message>
        <source>Value - Slider, Left :</source>
        <translation>Wert - Fader, links:</translation>
    </message>
    <message>
        <source>Value - Slider, Right :</source>
        <translation>Wert - Fader, rechts:</translation>
    </message>
</context>
<context>
    <name>SettingsBackground</name>
    <message>
        <source>Background Settings</source>
        <translation>Hintergrundeinstellungen</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Position X / Y :</source>
        <translation>Position X / Y:</translation>
    </message>
    <message>
        <source>Size X / Y :</source>
        <translation>Größe X / Y:</translation>
    </message>
    <message>
        <source>Color - Red / Green / Blue :</source>
        <translation>Farbe - Rot / Grün / Blau:</translation>
    </message>
    <message>
        <source>...</source>
        <translation>...</translation>
    </message>
    <message>
        <source>select the bitmap file here</source>
        <translation>hier die Bilddatei wählen</translation>
    </message>
    <message>
        <source>deletes the bitmap file</source>
        <translation>entfernt die Bilddatei</translation>
    </message>
    <message>
        <source>Bitmap :</source>
        <translation>Bild:</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>click OK to apply all changes and close the window</source>
        <translation>OK übernimmt alle Änderungen und schließt das Fenster</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Übernehmen</translation>
    </message>
    <message>
        <source>click Apply to apply the changes</source>
        <translation>Übernehmen übernimmt die Änderungen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>click Cancel to discard any changes</source>
        <translation>Abbrechen verwirft alle Änderungen</translation>
    </message>
    <message>
        <source>All Images (*.bmp *.gif *.ico *.jpg *.jpeg *.png *.pbm *.pgm *.ppm *.xbm *.xpm);;</source>
        <translation>Alle Bilder (*.bmp *.gif *.ico *.jpg *.jpeg *.png *.pbm *.pgm *.ppm *.xbm *.xpm);;</translation>
    </message>
    <message>
        <source>Windows Bitmap (*.bmp);;</source>
        <translation>Windows-Bitmap (*.bmp);;</translation>
    </message>
    <message>
        <source>Graphic Interchange Format (*.gif);;</source>
        <translation>Graphic Interchange Format (*.gif);;</translation>
    </message>
    <message>
        <source>Icon File (*.ico);;</source>
        <translation>Symboldatei (*.ico);;</translation>
    </message>
    <message>
        <source>Joint Photographic Experts Group (*.jpg *.jpeg);;</source>
        <translation>Joint Photographic Experts Group (*.jpg *.jpeg);;</translation>
    </message>
    <message>
        <source>Portable Network Graphics (*.png);;</source>
        <translation>Portable Network Graphics (*.png);;</translation>
    </message>
    <message>
        <source>Portable Bitmap (*.pbm);;</source>
        <translation>Portable Bitmap (*.pbm);;</translation>
    </message>
    <message>
        <source>Portable Graymap (*.pgm);;</source>
        <translation>Portable Graymap (*.pgm);;</translation>
    </message>
    <message>
        <source>Portable Pixmap (*.ppm);;</source>
        <translation>Portable Pixmap (*.ppm);;</translation>
    </message>
    <message>
        <source>X11 Bitmap (*.xbm *.xpm);;</source>
        <translation>X11-Bitmap (*.xbm *.xpm);;</translation>
    </message>
    <message>
        <source>All Files (*.*)</source>
        <translation>Alle Dateien (*.*)</translation>
    </message>
    <message>
        <source>Choose a Bitmap File to Open</source>
        <translation>Bilddatei zum Öffnen wählen</translation>
    </message>
    <message>
        <source>Change Background</source>
        <translation>Hintergrund ändern</translation>
    </message>
    <message>
        <source>cannot be shown</source>
        <translation>nicht darstellbar</translation>
    </message>
    <message>
        <source>where the console window&apos;s left edge goes on the screen, in pixels, 0 to 65535</source>
        <translation>wo die linke Kante des Pultfensters auf dem Bildschirm liegt, in Pixeln, 0 bis 65535</translation>
    </message>
    <message>
        <source>where the console window&apos;s top edge goes on the screen, in pixels, 0 to 65535</source>
        <translation>wo die obere Kante des Pultfensters auf dem Bildschirm liegt, in Pixeln, 0 bis 65535</translation>
    </message>
    <message>
        <source>the console&apos;s width before stretching, 1 to 65535</source>
        <translation>die Breite des Pults vor dem Strecken, 1 bis 65535</translation>
    </message>
    <message>
        <source>the console&apos;s height before stretching, 1 to 65535</source>
        <translation>die Höhe des Pults vor dem Strecken, 1 bis 65535</translation>
    </message>
    <message>
        <source>scales the console and every control, in percent, 1 to 10000; 100 shows them as stored</source>
        <translation>skaliert das Pult und jedes Steuerelement, in Prozent, 1 bis 10000; 100 zeigt sie wie gespeichert</translation>
    </message>
    <message>
        <source>the red of the background color, 0 to 255</source>
        <translation>das Rot der Hintergrundfarbe, 0 bis 255</translation>
    </message>
    <message>
        <source>the green of the background color, 0 to 255</source>
        <translation>das Grün der Hintergrundfarbe, 0 bis 255</translation>
    </message>
    <message>
        <source>the blue of the background color, 0 to 255</source>
        <translation>das Blau der Hintergrundfarbe, 0 bis 255</translation>
    </message>
    <message>
        <source>Stretch factor in % :</source>
        <translation>Streckfaktor in %:</translation>
    </message>
    <message>
        <source>the picture shown behind the controls</source>
        <translation>das Bild hinter den Steuerelementen</translation>
    </message>
</context>
<context>
    <name>SettingsDialogs</name>
    <message>
        <source>Art-Net Version : </source>
        <translation>Art-Net-Version: </translation>
    </message>
    <message>
        <source>Streaming ACN Version : </source>
        <translation>Streaming-ACN-Version: </translation>
    </message>
    <message>
        <source>&lt;center&gt;A new version %1 is available!&lt;br&gt;Download the update here :&lt;br&gt;%2&lt;/center&gt;</source>
        <translation>&lt;center&gt;Eine neue Version %1 ist verfügbar!&lt;br&gt;Das Update gibt es hier:&lt;br&gt;%2&lt;/center&gt;</translation>
    </message>
    <message>
        <source>Check for Updates</source>
        <translation>Nach Updates suchen</translation>
    </message>
</context>
<context>
    <name>SettingsDmxOutWidget</name>
    <message>
        <source>Type :</source>
        <translation>Typ:</translation>
    </message>
    <message>
        <source>Learn</source>
        <translation>Lernen</translation>
    </message>
    <message>
        <source>takes the next message from the MIDI input device as the address of this output</source>
        <translation>nimmt die nächste Nachricht vom MIDI-Eingabegerät als Adresse dieses Ausgangs</translation>
    </message>
    <message>
        <source>Value %1 :</source>
        <translation>Wert %1:</translation>
    </message>
    <message>
        <source>DMX Channel :</source>
        <translation>DMX-Kanal:</translation>
    </message>
    <message>
        <source>MIDI Note :</source>
        <translation>MIDI-Note:</translation>
    </message>
    <message>
        <source>Universe :</source>
        <translation>Universum:</translation>
    </message>
    <message>
        <source>MIDI Type :</source>
        <translation>MIDI-Typ:</translation>
    </message>
    <message>
        <source>specify the HTTP file that the HTTP server should call</source>
        <translation>die HTTP-Datei angeben, die der HTTP-Server aufrufen soll</translation>
    </message>
    <message>
        <source>HTTP link :</source>
        <translation>HTTP-Link:</translation>
    </message>
    <message>
        <source>If you want to add the DMX value to the HTTP link, write %1.</source>
        <translation>Um den DMX-Wert in den HTTP-Link einzufügen, schreiben Sie %1.</translation>
    </message>
    <message>
        <source>specify the command that the system should call</source>
        <translation>den Befehl angeben, den das System aufrufen soll</translation>
    </message>
    <message>
        <source>Command :</source>
        <translation>Befehl:</translation>
    </message>
    <message>
        <source>If you want to add the DMX value to the command call, write %1.</source>
        <translation>Um den DMX-Wert in den Befehlsaufruf einzufügen, schreiben Sie %1.</translation>
    </message>
    <message>
        <source>Learning...</source>
        <translation>Lerne...</translation>
    </message>
    <message>
        <source>the OSC address the value is sent to: starts with &apos;/&apos;, for example /fader/1; no spaces and none of # , ? * [ ] { }</source>
        <translation>die OSC-Adresse, an die der Wert gesendet wird: beginnt mit &apos;/&apos;, zum Beispiel /fader/1; ohne Leerzeichen und ohne # , ? * [ ] { }</translation>
    </message>
    <message>
        <source>OSC Address :</source>
        <translation>OSC-Adresse:</translation>
    </message>
    <message>
        <source>Host :</source>
        <translation>Host:</translation>
    </message>
    <message>
        <source>Default</source>
        <translation>Standard</translation>
    </message>
    <message>
        <source>Port :</source>
        <translation>Port:</translation>
    </message>
    <message>
        <source>Float 0–1</source>
        <translation>Gleitkomma 0–1</translation>
    </message>
    <message>
        <source>Integer (DMX value)</source>
        <translation>Ganzzahl (DMX-Wert)</translation>
    </message>
    <message>
        <source>Float 0–1: the value as a number from 0 to 1 over the range from value 1 to value 2; Integer: the DMX value 0 to 255 as it is</source>
        <translation>Gleitkomma 0–1: der Wert als Zahl von 0 bis 1 über den Bereich von Wert 1 bis Wert 2; Ganzzahl: der DMX-Wert 0 bis 255, wie er ist</translation>
    </message>
    <message>
        <source>Argument :</source>
        <translation>Argument:</translation>
    </message>
    <message>
        <source>Default: %1</source>
        <translation>Standard: %1</translation>
    </message>
    <message>
        <source>the computer the messages go to, by name or IP address; empty: the show&apos;s default host (%1)</source>
        <translation>der Computer, an den die Nachrichten gehen, als Name oder IP-Adresse; leer: der Standardhost der Show (%1)</translation>
    </message>
    <message>
        <source>the UDP port the messages go to, 1 to 65535; Default: the show&apos;s default port (%1)</source>
        <translation>der UDP-Port, an den die Nachrichten gehen, 1 bis 65535; Standard: der Standardport der Show (%1)</translation>
    </message>
    <message>
        <source>MIDI Channel :</source>
        <translation>MIDI-Kanal:</translation>
    </message>
    <message>
        <source>DMX Universe :</source>
        <translation>DMX-Universum:</translation>
    </message>
    <message>
        <source>Value - Button, Released :</source>
        <translation>Wert - Knopf, losgelassen:</translation>
    </message>
    <message>
        <source>Value - Button, Pressed :</source>
        <translation>Wert - Knopf, gedrückt:</translation>
    </message>
    <message>
        <source>Value - Direct, Min :</source>
        <translation>Wert - direkt, Min.:</translation>
    </message>
    <message>
        <source>Value - Direct, Max :</source>
        <translation>Wert - direkt, Max.:</translation>
    </message>
    <message>
        <source>Value - Slider, Bottom :</source>
        <translation>Wert - Fader, unten:</translation>
    </message>
    <message>
        <source>Value - Slider, Top :</source>
        <translation>Wert - Fader, oben:</translation>
    </message>
    <message>
        <source>Value - Slider, Left :</source>
        <translation>Wert - Fader, links:</translation>
    </message>
    <message>
        <source>Value - Slider, Right :</source>
        <translation>Wert - Fader, rechts:</translation>
    </message>
    <message>
        <source>Value - Left :</source>
        <translation>Wert - links:</translation>
    </message>
    <message>
        <source>Value - Right :</source>
        <translation>Wert - rechts:</translation>
    </message>
    <message>
        <source>Value - Rotated, Left :</source>
        <translation>Wert - nach links gedreht:</translation>
    </message>
    <message>
        <source>Value - Rotated, Right :</source>
        <translation>Wert - nach rechts gedreht:</translation>
    </message>
    <message>
        <source>Value - Rotation, None :</source>
        <translation>Wert - nicht gedreht:</translation>
    </message>
    <message>
        <source>Value - Center Position:</source>
        <translation>Wert - Mittelstellung:</translation>
    </message>
    <message>
        <source>Value 2 :</source>
        <translation>Wert 2:</translation>
    </message>
</context>
<context>
    <name>SettingsOverview</name>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>closes the overview (Esc)</source>
        <translation>schließt die Übersicht (Esc)</translation>
    </message>
    <message>
        <source>Set</source>
        <translation>Setzen</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>Subtract</source>
        <translation>Abziehen</translation>
    </message>
    <message>
        <source>Increment</source>
        <translation>Hochzählen</translation>
    </message>
    <message>
        <source>enter a new value</source>
        <translation>einen neuen Wert eingeben</translation>
    </message>
    <message>
        <source>setting this value for selected cells</source>
        <translation>setzt diesen Wert in den gewählten Zellen</translation>
    </message>
    <message>
        <source>adding this value to all selected cells</source>
        <translation>addiert diesen Wert zu allen gewählten Zellen</translation>
    </message>
    <message>
        <source>subtracting this value from selected cells</source>
        <translation>zieht diesen Wert von den gewählten Zellen ab</translation>
    </message>
    <message>
        <source>increment iterate this value for selected cells</source>
        <translation>zählt diesen Wert über die gewählten Zellen hoch</translation>
    </message>
    <message>
        <source>Add a new control to screen</source>
        <translation>Ein neues Steuerelement auf den Bildschirm setzen</translation>
    </message>
    <message>
        <source>deleting all selected controls</source>
        <translation>löscht alle gewählten Steuerelemente</translation>
    </message>
    <message>
        <source>shifting selected rows up</source>
        <translation>schiebt die gewählten Zeilen nach oben</translation>
    </message>
    <message>
        <source>shifting selected rows down</source>
        <translation>schiebt die gewählten Zeilen nach unten</translation>
    </message>
    <message>
        <source>refreshing the table content (F5)</source>
        <translation>aktualisiert den Tabelleninhalt (F5)</translation>
    </message>
    <message>
        <source>Save a config file</source>
        <translation>Eine Konfigurationsdatei speichern</translation>
    </message>
    <message>
        <source>Ctrl+S</source>
        <translation>Ctrl+S</translation>
    </message>
    <message>
        <source>Filter by name, type, protocol or universe</source>
        <translation>Nach Name, Typ, Protokoll oder Universum filtern</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Rückgängig</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Wiederherstellen</translation>
    </message>
    <message>
        <source>Ctrl+Shift+Z</source>
        <translation>Ctrl+Shift+Z</translation>
    </message>
    <message>
        <source>%1 Controls</source>
        <translation>%1 Steuerelemente</translation>
    </message>
    <message>
        <source>%1 of %2 Controls</source>
        <translation>%1 von %2 Steuerelementen</translation>
    </message>
    <message>
        <source>%1 columns</source>
        <translation>%1 Spalten</translation>
    </message>
    <message>
        <source>%1 %2 of %3</source>
        <translation>%1 %2 von %3</translation>
    </message>
    <message>
        <source>%1 %2 on %3 controls</source>
        <translation>%1 %2 bei %3 Steuerelementen</translation>
    </message>
    <message>
        <source>%1 cells left unchanged: %2</source>
        <translation>%1 Zellen unverändert: %2</translation>
    </message>
    <message>
        <source>Shift Control Up</source>
        <translation>Steuerelement nach oben schieben</translation>
    </message>
    <message>
        <source>Shift Control Down</source>
        <translation>Steuerelement nach unten schieben</translation>
    </message>
    <message>
        <source>Shift %1 Controls Up</source>
        <translation>%1 Steuerelemente nach oben schieben</translation>
    </message>
    <message>
        <source>Shift %1 Controls Down</source>
        <translation>%1 Steuerelemente nach unten schieben</translation>
    </message>
    <message>
        <source>Delete Control</source>
        <translation>Steuerelement löschen</translation>
    </message>
    <message>
        <source>Delete %1 Controls</source>
        <translation>%1 Steuerelemente löschen</translation>
    </message>
    <message>
        <source>Overview of All Controls</source>
        <translation>Übersicht über alle Steuerelemente</translation>
    </message>
</context>
<context>
    <name>StatusLine</name>
    <message>
        <source>Design Mode</source>
        <translation>Gestaltungsmodus</translation>
    </message>
    <message>
        <source>The controls do not operate: click to select, drag to move, drag a handle to resize (%1 leaves)</source>
        <translation>Die Steuerelemente reagieren nicht: Klicken wählt aus, Ziehen verschiebt, Ziehen an einem Griff ändert die Größe (%1 beendet)</translation>
    </message>
    <message>
        <source>Ctrl+Shift+E</source>
        <translation>Ctrl+Shift+E</translation>
    </message>
</context>
<context>
    <name>Surface</name>
    <message>
        <source>Building the console: %1 controls...</source>
        <translation>Das Pult wird aufgebaut: %1 Steuerelemente...</translation>
    </message>
</context>
<context>
    <name>TypePalette</name>
    <message>
        <source>Controls</source>
        <translation>Steuerelemente</translation>
    </message>
    <message>
        <source>Drag a control onto the console, or double-click it to place it in the middle</source>
        <translation>Ein Steuerelement auf die Konsole ziehen oder doppelt klicken, um es in die Mitte zu setzen</translation>
    </message>
    <message>
        <source>Patch to:</source>
        <translation>Patchen auf:</translation>
    </message>
    <message>
        <source>The protocol new controls send on; each takes the next free channel (OSC: the next free number at the end of the address) after the one made before it</source>
        <translation>Das Protokoll, auf dem neue Steuerelemente senden; jedes nimmt den nächsten freien Kanal (OSC: die nächste freie Zahl am Ende der Adresse) nach dem zuvor erstellten</translation>
    </message>
</context>
<context>
    <name>acnnet</name>
    <message>
        <source>streaming ACN: the system refused to listen to universe %1; its values do not arrive</source>
        <translation>streaming ACN: Das System verweigert den Empfang von Universum %1; seine Werte kommen nicht an</translation>
    </message>
    <message>
        <source>streaming ACN universe %1 is also sent by &quot;%2&quot;%3: two consoles control it</source>
        <translation>streaming ACN-Universum %1 wird auch von &quot;%2&quot;%3 gesendet: Zwei Pulte steuern es</translation>
    </message>
</context>
</TS>
