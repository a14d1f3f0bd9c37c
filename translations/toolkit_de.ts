<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>QObject</name>
    <message>
        <source>Application language changed</source>
        <translation>Sprache der Anwendung geändert</translation>
    </message>
    <message>
        <source>The application language has been changed.
The application needs to be restarted to use the new language.</source>
        <translation>Die Sprache der Anwendung wurde geändert.
Die Anwendung muss neu gestartet werden, um die neue Sprache zu verwenden.</translation>
    </message>
    <message>
        <source>Continue working</source>
        <translation>Weiterarbeiten</translation>
    </message>
    <message>
        <source>Settings not saved</source>
        <translation>Einstellungen nicht gespeichert</translation>
    </message>
    <message>
        <source>The settings cannot be saved, so changes made now are lost when the application ends.

Settings file:
%1</source>
        <translation>Die Einstellungen können nicht gespeichert werden; jetzt vorgenommene Änderungen gehen beim Beenden der Anwendung verloren.

Einstellungsdatei:
%1</translation>
    </message>
    <message>
        <source>Quit now</source>
        <translation>Jetzt beenden</translation>
    </message>
    <message>
        <source>Fatal error</source>
        <translation>Schwerwiegender Fehler</translation>
    </message>
    <message>
        <source>%1 encountered a fatal error and must be terminated:
%2</source>
        <translation>In %1 ist ein schwerwiegender Fehler aufgetreten, das Programm muss beendet werden:
%2</translation>
    </message>
</context>
<context>
    <name>ko::application_log</name>
    <message>
        <source>Application Log</source>
        <translation>Anwendungsprotokoll</translation>
    </message>
    <message>
        <source>Save to disk</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Clear log</source>
        <translation>Protokoll leeren</translation>
    </message>
    <message>
        <source>[Older lines were dropped: while this window is closed, it keeps only the last %1 KB of output.]</source>
        <translation>[Ältere Zeilen wurden verworfen: Solange dieses Fenster geschlossen ist, behält es nur die letzten %1 KB der Ausgabe.]</translation>
    </message>
    <message>
        <source>Network report</source>
        <translation>Netzwerkbericht</translation>
    </message>
    <message>
        <source>Clear application logs</source>
        <translation>Anwendungsprotokolle leeren</translation>
    </message>
    <message>
        <source>Do you really want to clear the application logs?</source>
        <translation>Sollen die Anwendungsprotokolle wirklich geleert werden?</translation>
    </message>
    <message>
        <source>Failed to save application logs</source>
        <translation>Anwendungsprotokolle konnten nicht gespeichert werden</translation>
    </message>
    <message>
        <source>Can't save the application logs to
%1

You might not have write permission or the disk might be full.</source>
        <translation>Die Anwendungsprotokolle können nicht gespeichert werden unter
%1

Möglicherweise fehlt die Schreibberechtigung oder der Datenträger ist voll.</translation>
    </message>
    <message>
        <source>Failed to write the complete application logs to
%1

Could only write %2/%3 bytes. The disk might be full.</source>
        <translation>Die Anwendungsprotokolle konnten nicht vollständig geschrieben werden nach
%1

Nur %2/%3 Bytes wurden geschrieben. Möglicherweise ist der Datenträger voll.</translation>
    </message>
    <message>
        <source>Application logs saved</source>
        <translation>Anwendungsprotokolle gespeichert</translation>
    </message>
    <message>
        <source>The application logs were saved to
%1</source>
        <translation>Die Anwendungsprotokolle wurden gespeichert unter
%1</translation>
    </message>
</context>
<context>
    <name>ko::datetime_format_selector</name>
    <message>
        <source>DD/MM/YYYY</source>
        <translation>TT/MM/JJJJ</translation>
    </message>
    <message>
        <source>DD-MM-YYYY</source>
        <translation>TT-MM-JJJJ</translation>
    </message>
    <message>
        <source>DD.MM.YYYY</source>
        <translation>TT.MM.JJJJ</translation>
    </message>
    <message>
        <source>YYYY/MM/DD</source>
        <translation>JJJJ/MM/TT</translation>
    </message>
    <message>
        <source>YYYY-MM-DD</source>
        <translation>JJJJ-MM-TT</translation>
    </message>
    <message>
        <source>YYYY.MM.DD</source>
        <translation>JJJJ.MM.TT</translation>
    </message>
    <message>
        <source>MM/DD/YYYY</source>
        <translation>MM/TT/JJJJ</translation>
    </message>
    <message>
        <source>hh:mm</source>
        <translation>hh:mm</translation>
    </message>
    <message>
        <source>hh:mm:ss</source>
        <translation>hh:mm:ss</translation>
    </message>
    <message>
        <source>Date Format</source>
        <translation>Datumsformat</translation>
    </message>
    <message>
        <source>Time Format</source>
        <translation>Zeitformat</translation>
    </message>
</context>
<context>
    <name>ko::dialog_3rd_part_lib_info</name>
    <message>
        <source>This software dynamically links to Qt which is licensed under the LGPL license.</source>
        <translation>Diese Software ist dynamisch mit Qt verknüpft, das unter der LGPL-Lizenz steht.</translation>
    </message>
    <message>
        <source>The source code of the Qt SDK can be found at https://www.qt.io/download-open-source</source>
        <translation>Den Quellcode des Qt SDK finden Sie unter https://www.qt.io/download-open-source</translation>
    </message>
    <message>
        <source>This software uses Exiftool by Phil Harvey.</source>
        <translation>Diese Software verwendet Exiftool von Phil Harvey.</translation>
    </message>
    <message>
        <source>For more information visit https://exiftool.org</source>
        <translation>Weitere Informationen finden Sie unter https://exiftool.org</translation>
    </message>
    <message>
        <source>About 3rd party libraries</source>
        <translation>Über Bibliotheken von Drittanbietern</translation>
    </message>
    <message>
        <source>%1 uses the following open source and/or 3rd party libraries:</source>
        <translation>%1 verwendet die folgenden Open-Source- und/oder Drittanbieter-Bibliotheken:</translation>
    </message>
</context>
<context>
    <name>ko::dialog_about</name>
    <message>
        <source>Copyright © 2019-%1 Quenmark. All rights reserved.</source>
        <translation>Copyright © 2019-%1 Quenmark. Alle Rechte vorbehalten.</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Über</translation>
    </message>
    <message>
        <source>Version:</source>
        <translation>Version:</translation>
    </message>
    <message>
        <source>Webseite:</source>
        <translation>Webseite:</translation>
    </message>
    <message>
        <source>Click here for 3rd party library information</source>
        <translation>Hier klicken für Informationen zu Bibliotheken von Drittanbietern</translation>
    </message>
</context>
</TS>
