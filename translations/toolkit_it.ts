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
</TS>
