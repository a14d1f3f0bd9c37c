<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="it" sourcelanguage="en">
<context>
    <name>QObject</name>
    <message>
        <source>Application language changed</source>
        <translation>Lingua dell'applicazione modificata</translation>
    </message>
    <message>
        <source>The application language has been changed.
The application needs to be restarted to use the new language.</source>
        <translation>La lingua dell'applicazione è stata modificata.
È necessario riavviare l'applicazione per usare la nuova lingua.</translation>
    </message>
    <message>
        <source>Continue working</source>
        <translation>Continua a lavorare</translation>
    </message>
    <message>
        <source>Quit now</source>
        <translation>Esci ora</translation>
    </message>
    <message>
        <source>Fatal error</source>
        <translation>Errore irreversibile</translation>
    </message>
    <message>
        <source>%1 encountered a fatal error and must be terminated:
%2</source>
        <translation>%1 ha riscontrato un errore irreversibile e deve essere chiuso:
%2</translation>
    </message>
</context>
<context>
    <name>ko::application_log</name>
    <message>
        <source>Application Log</source>
        <translation>Registro dell'applicazione</translation>
    </message>
    <message>
        <source>Save to disk</source>
        <translation>Salva su disco</translation>
    </message>
    <message>
        <source>Clear log</source>
        <translation>Svuota registro</translation>
    </message>
    <message>
        <source>Network report</source>
        <translation>Rapporto di rete</translation>
    </message>
    <message>
        <source>Clear application logs</source>
        <translation>Svuota i registri dell'applicazione</translation>
    </message>
    <message>
        <source>Do you really want to clear the application logs?</source>
        <translation>Svuotare davvero i registri dell'applicazione?</translation>
    </message>
    <message>
        <source>Failed to save application logs</source>
        <translation>Impossibile salvare i registri dell'applicazione</translation>
    </message>
    <message>
        <source>Can't save the application logs to
%1

You might not have write permission or the disk might be full.</source>
        <translation>Impossibile salvare i registri dell'applicazione in
%1

Potrebbero mancare i permessi di scrittura o il disco potrebbe essere pieno.</translation>
    </message>
    <message>
        <source>Failed to write the complete application logs to
%1

Could only write %2/%3 bytes. The disk might be full.</source>
        <translation>Impossibile scrivere per intero i registri dell'applicazione in
%1

Scritti solo %2/%3 byte. Il disco potrebbe essere pieno.</translation>
    </message>
    <message>
        <source>Application logs saved</source>
        <translation>Registri dell'applicazione salvati</translation>
    </message>
    <message>
        <source>The application logs were saved to
%1</source>
        <translation>I registri dell'applicazione sono stati salvati in
%1</translation>
    </message>
</context>
<context>
    <name>ko::datetime_format_selector</name>
    <message>
        <source>DD/MM/YYYY</source>
        <translation>GG/MM/AAAA</translation>
    </message>
    <message>
        <source>DD-MM-YYYY</source>
        <translation>GG-MM-AAAA</translation>
    </message>
    <message>
        <source>DD.MM.YYYY</source>
        <translation>GG.MM.AAAA</translation>
    </message>
    <message>
        <source>YYYY/MM/DD</source>
        <translation>AAAA/MM/GG</translation>
    </message>
    <message>
        <source>YYYY-MM-DD</source>
        <translation>AAAA-MM-GG</translation>
    </message>
    <message>
        <source>YYYY.MM.DD</source>
        <translation>AAAA.MM.GG</translation>
    </message>
    <message>
        <source>MM/DD/YYYY</source>
        <translation>MM/GG/AAAA</translation>
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
        <translation>Formato data</translation>
    </message>
    <message>
        <source>Time Format</source>
        <translation>Formato ora</translation>
    </message>
</context>
<context>
    <name>ko::dialog_3rd_part_lib_info</name>
    <message>
        <source>This software dynamically links to Qt which is licensed under the LGPL license.</source>
        <translation>Questo software è collegato dinamicamente a Qt, distribuito con licenza LGPL.</translation>
    </message>
    <message>
        <source>The source code of the Qt SDK can be found at https://www.qt.io/download-open-source</source>
        <translation>Il codice sorgente del Qt SDK è disponibile su https://www.qt.io/download-open-source</translation>
    </message>
    <message>
        <source>This software uses Exiftool by Phil Harvey.</source>
        <translation>Questo software utilizza Exiftool di Phil Harvey.</translation>
    </message>
    <message>
        <source>For more information visit https://exiftool.org</source>
        <translation>Per ulteriori informazioni visitare https://exiftool.org</translation>
    </message>
    <message>
        <source>About 3rd party libraries</source>
        <translation>Informazioni sulle librerie di terze parti</translation>
    </message>
    <message>
        <source>%1 uses the following open source and/or 3rd party libraries:</source>
        <translation>%1 utilizza le seguenti librerie open source e/o di terze parti:</translation>
    </message>
</context>
<context>
    <name>ko::dialog_about</name>
    <message>
        <source>Copyright © 2019-%1 Quenmark. All rights reserved.</source>
        <translation>Copyright © 2019-%1 Quenmark. Tutti i diritti riservati.</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Informazioni</translation>
    </message>
    <message>
        <source>Version:</source>
        <translation>Versione:</translation>
    </message>
    <message>
        <source>Webseite:</source>
        <translation>Sito web:</translation>
    </message>
    <message>
        <source>Click here for 3rd party library information</source>
        <translation>Fai clic qui per informazioni sulle librerie di terze parti</translation>
    </message>
</context>
</TS>
