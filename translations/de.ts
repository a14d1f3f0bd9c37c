<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>MainWindow</name>
    <message>
        <source>Show settings dialog</source>
        <translation>Einstellungen anzeigen</translation>
    </message>
    <message>
        <source>Show information about this program</source>
        <translation>Informationen über dieses Programm anzeigen</translation>
    </message>
    <message>
        <source>Display the help page for this program</source>
        <translation>Hilfeseite zu diesem Programm anzeigen</translation>
    </message>
    <message>
        <source>Change the GPS coordinates on all loaded images to their preview values</source>
        <translation>GPS-Koordinaten aller geladenen Bilder auf die Vorschauwerte setzen</translation>
    </message>
    <message>
        <source>Undo the last edit of an images GPS coordinates</source>
        <translation>Letzte Änderung der GPS-Koordinaten rückgängig machen</translation>
    </message>
    <message>
        <source>Clear the list of loaded files</source>
        <translation>Liste der geladenen Dateien leeren</translation>
    </message>
    <message>
        <source>Load file(s) from disk</source>
        <translation>Datei(en) von der Festplatte laden</translation>
    </message>
    <message>
        <source>Obtain data from the previous GPS-Tagged photo</source>
        <translation>Position vom vorherigen Foto mit GPS-Daten übernehmen</translation>
    </message>
    <message>
        <source>Obtain data from the following GPS-Tagged photo</source>
        <translation>Position vom nachfolgenden Foto mit GPS-Daten übernehmen</translation>
    </message>
    <message>
        <source>Obtain data from the closest GPS-Tagged photo</source>
        <translation>Position vom zeitlich nächsten Foto mit GPS-Daten übernehmen</translation>
    </message>
    <message>
        <source>If time difference in minutes between two images is greater than this number no GPS position will be assigned</source>
        <translation>Liegen zwei Bilder zeitlich mehr als diese Anzahl Minuten auseinander, wird keine GPS-Position zugewiesen</translation>
    </message>
    <message>
        <source>Max. time diff.</source>
        <translation>Max. Zeitdiff.</translation>
    </message>
    <message>
        <source>min.</source>
        <translation>Min.</translation>
    </message>
    <message>
        <source>Set GPS position of all photos to user specified value</source>
        <translation>GPS-Position aller Fotos auf einen eigenen Wert setzen</translation>
    </message>
    <message>
        <source>If time difference in minutes between the image an the nearest gpx data point is greater than this number no GPS position will be assigned</source>
        <translation>Liegt der nächste GPX-Punkt zeitlich mehr als diese Anzahl Minuten vom Bild entfernt, wird keine GPS-Position zugewiesen</translation>
    </message>
    <message>
        <source>Remove GPS data from all files</source>
        <translation>Alle GPS-Daten entfernen</translation>
    </message>
    <message>
        <source>Latitude</source>
        <translation>Breitengrad</translation>
    </message>
    <message>
        <source>Longitude</source>
        <translation>Längengrad</translation>
    </message>
    <message>
        <source>e.g. -19.178194
or 19</source>
        <translation>z. B. -19.178194
oder 19</translation>
    </message>
    <message>
        <source>e.g. 46.501221
or 46</source>
        <translation>z. B. 46.501221
oder 46</translation>
    </message>
    <message>
        <source>Load GPX</source>
        <translation>GPX laden</translation>
    </message>
    <message>
        <source>%v of %m</source>
        <translation>%v von %m</translation>
    </message>
    <message>
        <source>Loading files</source>
        <translation>Dateien werden geladen</translation>
    </message>
    <message>
        <source>Syncing GPS data</source>
        <translation>GPS-Daten werden geschrieben</translation>
    </message>
    <message>
        <source>ExifTool not available</source>
        <translation>ExifTool nicht verfügbar</translation>
    </message>
    <message>
        <source>ExifTool could not be started or has stopped, so no metadata can be read and no GPS data can be written.

ExifTool was looked for at:
%1</source>
        <translation>ExifTool konnte nicht gestartet werden oder wurde beendet. Daher können keine Metadaten gelesen und keine GPS-Daten geschrieben werden.

ExifTool wurde hier gesucht:
%1</translation>
    </message>
    <message>
        <source>Not all files were read</source>
        <translation>Nicht alle Dateien wurden gelesen</translation>
    </message>
    <message>
        <source>All supported files </source>
        <translation>Alle unterstützten Dateien </translation>
    </message>
    <message>
        <source>Select files</source>
        <translation>Dateien auswählen</translation>
    </message>
    <message>
        <source>Select gpx file</source>
        <translation>GPX-Datei auswählen</translation>
    </message>
    <message>
        <source>GPX files (*.gpx)</source>
        <translation>GPX-Dateien (*.gpx)</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>It looks like there are no tracks in the selected gpx file. Please select a different one.</source>
        <translation>Die gewählte GPX-Datei scheint keine Tracks zu enthalten. Bitte wählen Sie eine andere Datei.</translation>
    </message>
    <message>
        <source>Load all tracks</source>
        <translation>Alle Tracks laden</translation>
    </message>
    <message>
        <source> (%1 Points)</source>
        <translation> (%1 Punkte)</translation>
    </message>
    <message>
        <source>Select track</source>
        <translation>Track auswählen</translation>
    </message>
    <message>
        <source>There are multiple tracks inside the selected gpx file. Please select one.</source>
        <translation>Die gewählte GPX-Datei enthält mehrere Tracks. Bitte wählen Sie einen aus.</translation>
    </message>
    <message>
        <source>Merged Track</source>
        <translation>Zusammengeführter Track</translation>
    </message>
    <message>
        <source>There are no images with assigned GPS coordinate.

If you are sure the GPS source belongs to the loaded photos,please consult the manual.</source>
        <translation>Keinem Bild konnte eine GPS-Koordinate zugewiesen werden.

Wenn Sie sicher sind, dass die GPS-Quelle zu den geladenen Fotos gehört, lesen Sie bitte im Handbuch nach.</translation>
    </message>
    <message>
        <source>... and %1 more</source>
        <translation>... und %1 weitere</translation>
    </message>
    <message>
        <source>Continue?</source>
        <translation>Fortfahren?</translation>
    </message>
    <message>
        <source>QuickTime GPS coordinates are read only and can't be modified or deleted.
If you set GPS tags they will be written into EXIF.
In most application the EXIF tag is preferred over the QuickTime tag.</source>
        <translation>QuickTime-GPS-Koordinaten sind schreibgeschützt und können weder geändert noch gelöscht werden.
Wenn Sie GPS-Daten setzen, werden sie in EXIF geschrieben.
Die meisten Anwendungen bevorzugen die EXIF-Angabe gegenüber der QuickTime-Angabe.</translation>
    </message>
    <message>
        <source>Invalid position</source>
        <translation>Ungültige Position</translation>
    </message>
    <message>
        <source>The fixed position is not a valid pair of coordinates. Please correct the latitude or longitude first.</source>
        <translation>Die feste Position ist kein gültiges Koordinatenpaar. Bitte korrigieren Sie zuerst den Breiten- oder Längengrad.</translation>
    </message>
    <message>
        <source>Nothing to write</source>
        <translation>Nichts zu schreiben</translation>
    </message>
    <message>
        <source>None of the loaded files got a GPS position in the current assignment mode, so nothing was written. The list and the last undo are kept.</source>
        <translation>Keiner der geladenen Dateien wurde im aktuellen Zuordnungsmodus eine GPS-Position zugewiesen, daher wurde nichts geschrieben. Die Liste und die letzte Rückgängig-Möglichkeit bleiben erhalten.</translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation>Bestätigen</translation>
    </message>
    <message>
        <source>The fixed position is empty: this deletes the GPS coordinates of all currently loaded (%1) images. Do you really want to continue?</source>
        <translation>Die feste Position ist leer: Dadurch werden die GPS-Koordinaten aller aktuell geladenen (%1) Bilder gelöscht. Möchten Sie wirklich fortfahren?</translation>
    </message>
    <message>
        <source>Could not assign a GPS position to all files using the current assignment mode</source>
        <translation>Mit dem aktuellen Zuordnungsmodus konnte nicht allen Dateien eine GPS-Position zugewiesen werden</translation>
    </message>
    <message>
        <source>Continue anyway</source>
        <translation>Trotzdem fortfahren</translation>
    </message>
    <message>
        <source>Select a different assignment mode</source>
        <translation>Anderen Zuordnungsmodus wählen</translation>
    </message>
    <message>
        <source>Some loaded images already had GPS data which would be overwritten</source>
        <translation>Einige geladene Bilder haben bereits GPS-Daten, die überschrieben würden</translation>
    </message>
    <message>
        <source>Continue</source>
        <translation>Fortfahren</translation>
    </message>
    <message>
        <source>Abort</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Files not loaded</source>
        <translation>Dateien nicht geladen</translation>
    </message>
    <message>
        <source>These files were not loaded: their names are not valid UTF-8 text or cannot be told from such names, so they cannot be read or written safely. Rename them and load them again.

%1</source>
        <translation>Diese Dateien wurden nicht geladen: Ihre Namen sind kein gültiger UTF-8-Text oder nicht von solchen Namen zu unterscheiden, daher können sie nicht sicher gelesen oder geschrieben werden. Benennen Sie sie um und laden Sie sie erneut.

%1</translation>
    </message>
    <message>
        <source>These files were not loaded: their addresses name another computer, and only files on this computer can be loaded. Copy them to this computer and load them from there.

%1</source>
        <translation>Diese Dateien wurden nicht geladen: Ihre Adressen nennen einen anderen Computer, und nur Dateien auf diesem Computer können geladen werden. Kopieren Sie sie auf diesen Computer und laden Sie sie von dort.

%1</translation>
    </message>
    <message>
        <source>Not all files were written</source>
        <translation>Nicht alle Dateien wurden geschrieben</translation>
    </message>
    <message>
        <source>Do you really want to delete all GPS information from all currently loaded (%1) images?</source>
        <translation>Möchten Sie wirklich alle GPS-Informationen aus allen aktuell geladenen (%1) Bildern löschen?</translation>
    </message>
    <message>
        <source>Not all files were changed</source>
        <translation>Nicht alle Dateien wurden geändert</translation>
    </message>
    <message>
        <source>Undo incomplete</source>
        <translation>Rückgängig unvollständig</translation>
    </message>
    <message numerus="yes">
        <source>The metadata of %1 of %n files could not be read, so they get no GPS position and are not written:

%2</source>
        <translation>
            <numerusform>Die Metadaten von %1 von %n Datei konnten nicht gelesen werden. Sie erhält daher keine GPS-Position und wird nicht geschrieben:

%2</numerusform>
            <numerusform>Die Metadaten von %1 von %n Dateien konnten nicht gelesen werden. Sie erhalten daher keine GPS-Position und werden nicht geschrieben:

%2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n files could not be written and are still in the list:

%2</source>
        <translation>
            <numerusform>%1 von %n Datei konnte nicht geschrieben werden und ist weiterhin in der Liste:

%2</numerusform>
            <numerusform>%1 von %n Dateien konnten nicht geschrieben werden und sind weiterhin in der Liste:

%2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n files may have been written: ExifTool stopped before it confirmed the write. They are still in the list:

%2</source>
        <translation>
            <numerusform>%1 von %n Datei wurde möglicherweise geschrieben: ExifTool wurde beendet, bevor es das Schreiben bestätigte. Sie ist weiterhin in der Liste:

%2</numerusform>
            <numerusform>%1 von %n Dateien wurden möglicherweise geschrieben: ExifTool wurde beendet, bevor es das Schreiben bestätigte. Sie sind weiterhin in der Liste:

%2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The GPS data of %1 of %n files could not be removed; they are still in the list:

%2</source>
        <translation>
            <numerusform>Die GPS-Daten von %1 von %n Datei konnten nicht entfernt werden; sie ist weiterhin in der Liste:

%2</numerusform>
            <numerusform>Die GPS-Daten von %1 von %n Dateien konnten nicht entfernt werden; sie sind weiterhin in der Liste:

%2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The GPS data of %1 of %n files may have been removed: ExifTool stopped before it confirmed it. They are still in the list:

%2</source>
        <translation>
            <numerusform>Die GPS-Daten von %1 von %n Datei wurden möglicherweise entfernt: ExifTool wurde beendet, bevor es dies bestätigte. Sie ist weiterhin in der Liste:

%2</numerusform>
            <numerusform>Die GPS-Daten von %1 von %n Dateien wurden möglicherweise entfernt: ExifTool wurde beendet, bevor es dies bestätigte. Sie sind weiterhin in der Liste:

%2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>ExifTool removed the GPS data of %1 of %n files, but they could not be read afterwards to check that no position is left. They are still in the list:

%2</source>
        <translation>
            <numerusform>ExifTool hat die GPS-Daten von %1 von %n Datei entfernt, aber sie konnte danach nicht gelesen werden, um zu prüfen, dass keine Position übrig ist. Sie ist weiterhin in der Liste:

%2</numerusform>
            <numerusform>ExifTool hat die GPS-Daten von %1 von %n Dateien entfernt, aber sie konnten danach nicht gelesen werden, um zu prüfen, dass keine Position übrig ist. Sie sind weiterhin in der Liste:

%2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The GPS data of %1 of %n files could not be restored. Undo stays available for them:

%2</source>
        <translation>
            <numerusform>Die GPS-Daten von %1 von %n Datei konnten nicht wiederhergestellt werden. Rückgängig bleibt für sie verfügbar:

%2</numerusform>
            <numerusform>Die GPS-Daten von %1 von %n Dateien konnten nicht wiederhergestellt werden. Rückgängig bleibt für sie verfügbar:

%2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The GPS data of %1 of %n files may have been restored: ExifTool stopped before it confirmed it. Undo stays available for them:

%2</source>
        <translation>
            <numerusform>Die GPS-Daten von %1 von %n Datei wurden möglicherweise wiederhergestellt: ExifTool wurde beendet, bevor es dies bestätigte. Rückgängig bleibt für sie verfügbar:

%2</numerusform>
            <numerusform>Die GPS-Daten von %1 von %n Dateien wurden möglicherweise wiederhergestellt: ExifTool wurde beendet, bevor es dies bestätigte. Rückgängig bleibt für sie verfügbar:

%2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The GPS data of %1 of %n files may have been restored: ExifTool wrote it, but the files could not be read back. Undo stays available for them:

%2</source>
        <translation>
            <numerusform>Die GPS-Daten von %1 von %n Datei wurden möglicherweise wiederhergestellt: ExifTool hat sie geschrieben, aber die Datei konnte danach nicht gelesen werden. Rückgängig bleibt für sie verfügbar:

%2</numerusform>
            <numerusform>Die GPS-Daten von %1 von %n Dateien wurden möglicherweise wiederhergestellt: ExifTool hat sie geschrieben, aber die Dateien konnten danach nicht gelesen werden. Rückgängig bleibt für sie verfügbar:

%2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n files were changed since the last sync or removal and were left as they are. Undo is no longer offered for them:

%2</source>
        <translation>
            <numerusform>%1 von %n Datei wurde seit dem letzten Schreiben oder Entfernen der GPS-Daten geändert und blieb, wie sie ist. Rückgängig wird für sie nicht mehr angeboten:

%2</numerusform>
            <numerusform>%1 von %n Dateien wurden seit dem letzten Schreiben oder Entfernen der GPS-Daten geändert und blieben, wie sie sind. Rückgängig wird für sie nicht mehr angeboten:

%2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n files are no longer there: they were deleted, moved or renamed since the last sync or removal. Undo is no longer offered for them:

%2</source>
        <translation>
            <numerusform>%1 von %n Datei ist nicht mehr vorhanden: Sie wurde seit dem letzten Schreiben oder Entfernen der GPS-Daten gelöscht, verschoben oder umbenannt. Rückgängig wird für sie nicht mehr angeboten:

%2</numerusform>
            <numerusform>%1 von %n Dateien sind nicht mehr vorhanden: Sie wurden seit dem letzten Schreiben oder Entfernen der GPS-Daten gelöscht, verschoben oder umbenannt. Rückgängig wird für sie nicht mehr angeboten:

%2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n files do not hold all their GPS tags as before: ExifTool could not write back the tags named here. A second undo would fare no better:

%2</source>
        <translation>
            <numerusform>%1 von %n Datei enthält nicht mehr alle GPS-Tags wie zuvor: ExifTool konnte die hier genannten Tags nicht zurückschreiben. Ein zweites Rückgängig würde daran nichts ändern:

%2</numerusform>
            <numerusform>%1 von %n Dateien enthalten nicht mehr alle GPS-Tags wie zuvor: ExifTool konnte die hier genannten Tags nicht zurückschreiben. Ein zweites Rückgängig würde daran nichts ändern:

%2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>In %1 of %n files ExifTool wrote the tags named here back as other numbers than before, so they were deleted. A second undo would fare no better:

%2</source>
        <translation>
            <numerusform>In %1 von %n Datei schrieb ExifTool die hier genannten Tags als andere Zahlen als zuvor zurück, daher wurden sie gelöscht. Ein zweites Rückgängig würde daran nichts ändern:

%2</numerusform>
            <numerusform>In %1 von %n Dateien schrieb ExifTool die hier genannten Tags als andere Zahlen als zuvor zurück, daher wurden sie gelöscht. Ein zweites Rückgängig würde daran nichts ändern:

%2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The GPS data of %1 of %n files that the last undo left for another try is now as before the last sync or removal:

%2</source>
        <translation>
            <numerusform>Die GPS-Daten von %1 von %n Datei, die das letzte Rückgängig für einen weiteren Versuch übrig ließ, sind jetzt wieder wie vor dem letzten Schreiben oder Entfernen:

%2</numerusform>
            <numerusform>Die GPS-Daten von %1 von %n Dateien, die das letzte Rückgängig für einen weiteren Versuch übrig ließ, sind jetzt wieder wie vor dem letzten Schreiben oder Entfernen:

%2</numerusform>
        </translation>
    </message>
    <message>
        <source>Undo done</source>
        <translation>Rückgängig abgeschlossen</translation>
    </message>
</context>
<context>
    <name>dialog_settings</name>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Sprache</translation>
    </message>
</context>
<context>
    <name>gpx_parser</name>
    <message>
        <source>Waypoints</source>
        <translation>Wegpunkte</translation>
    </message>
</context>
<context>
    <name>table_data_model</name>
    <message>
        <source>Photo</source>
        <translation>Foto</translation>
    </message>
    <message>
        <source>Recording Date</source>
        <translation>Aufnahmedatum</translation>
    </message>
    <message>
        <source>GPS Tag</source>
        <translation>GPS-Daten</translation>
    </message>
    <message>
        <source>Clear GPS data</source>
        <translation>GPS-Daten löschen</translation>
    </message>
</context>
</TS>