<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr" sourcelanguage="en">
<context>
    <name>QObject</name>
    <message>
        <source>Application language changed</source>
        <translation>Langue de l'application modifiée</translation>
    </message>
    <message>
        <source>The application language has been changed.
The application needs to be restarted to use the new language.</source>
        <translation>La langue de l'application a été modifiée.
L'application doit être redémarrée pour utiliser la nouvelle langue.</translation>
    </message>
    <message>
        <source>Continue working</source>
        <translation>Continuer à travailler</translation>
    </message>
    <message>
        <source>Quit now</source>
        <translation>Quitter maintenant</translation>
    </message>
    <message>
        <source>Fatal error</source>
        <translation>Erreur fatale</translation>
    </message>
    <message>
        <source>%1 encountered a fatal error and must be terminated:
%2</source>
        <translation>%1 a rencontré une erreur fatale et doit être arrêté :
%2</translation>
    </message>
</context>
<context>
    <name>ko::application_log</name>
    <message>
        <source>Application Log</source>
        <translation>Journal de l'application</translation>
    </message>
    <message>
        <source>Save to disk</source>
        <translation>Enregistrer sur le disque</translation>
    </message>
    <message>
        <source>Clear log</source>
        <translation>Effacer le journal</translation>
    </message>
    <message>
        <source>Network report</source>
        <translation>Rapport réseau</translation>
    </message>
    <message>
        <source>Clear application logs</source>
        <translation>Effacer les journaux de l'application</translation>
    </message>
    <message>
        <source>Do you really want to clear the application logs?</source>
        <translation>Voulez-vous vraiment effacer les journaux de l'application ?</translation>
    </message>
    <message>
        <source>Failed to save application logs</source>
        <translation>Échec de l'enregistrement des journaux de l'application</translation>
    </message>
    <message>
        <source>Can't save the application logs to
%1

You might not have write permission or the disk might be full.</source>
        <translation>Impossible d'enregistrer les journaux de l'application dans
%1

Vous n'avez peut-être pas le droit d'écriture ou le disque est peut-être plein.</translation>
    </message>
    <message>
        <source>Failed to write the complete application logs to
%1

Could only write %2/%3 bytes. The disk might be full.</source>
        <translation>Impossible d'écrire entièrement les journaux de l'application dans
%1

Seuls %2/%3 octets ont pu être écrits. Le disque est peut-être plein.</translation>
    </message>
    <message>
        <source>Application logs saved</source>
        <translation>Journaux de l'application enregistrés</translation>
    </message>
    <message>
        <source>The application logs were saved to
%1</source>
        <translation>Les journaux de l'application ont été enregistrés dans
%1</translation>
    </message>
</context>
</TS>
