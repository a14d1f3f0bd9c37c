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
<context>
    <name>ko::datetime_format_selector</name>
    <message>
        <source>DD/MM/YYYY</source>
        <translation>JJ/MM/AAAA</translation>
    </message>
    <message>
        <source>DD-MM-YYYY</source>
        <translation>JJ-MM-AAAA</translation>
    </message>
    <message>
        <source>DD.MM.YYYY</source>
        <translation>JJ.MM.AAAA</translation>
    </message>
    <message>
        <source>YYYY/MM/DD</source>
        <translation>AAAA/MM/JJ</translation>
    </message>
    <message>
        <source>YYYY-MM-DD</source>
        <translation>AAAA-MM-JJ</translation>
    </message>
    <message>
        <source>YYYY.MM.DD</source>
        <translation>AAAA.MM.JJ</translation>
    </message>
    <message>
        <source>MM/DD/YYYY</source>
        <translation>MM/JJ/AAAA</translation>
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
        <translation>Format de date</translation>
    </message>
    <message>
        <source>Time Format</source>
        <translation>Format de l'heure</translation>
    </message>
</context>
<context>
    <name>ko::dialog_3rd_part_lib_info</name>
    <message>
        <source>This software dynamically links to Qt which is licensed under the LGPL license.</source>
        <translation>Ce logiciel est lié dynamiquement à Qt, distribué sous licence LGPL.</translation>
    </message>
    <message>
        <source>The source code of the Qt SDK can be found at https://www.qt.io/download-open-source</source>
        <translation>Le code source du SDK Qt est disponible sur https://www.qt.io/download-open-source</translation>
    </message>
    <message>
        <source>This software uses Exiftool by Phil Harvey.</source>
        <translation>Ce logiciel utilise Exiftool de Phil Harvey.</translation>
    </message>
    <message>
        <source>For more information visit https://exiftool.org</source>
        <translation>Pour plus d’informations, consultez https://exiftool.org</translation>
    </message>
    <message>
        <source>About 3rd party libraries</source>
        <translation>À propos des bibliothèques tierces</translation>
    </message>
    <message>
        <source>%1 uses the following open source and/or 3rd party libraries:</source>
        <translation>%1 utilise les bibliothèques open source et/ou tierces suivantes :</translation>
    </message>
</context>
<context>
    <name>ko::dialog_about</name>
    <message>
        <source>Copyright © 2019-%1 Quenmark. All rights reserved.</source>
        <translation>Copyright © 2019-%1 Quenmark. Tous droits réservés.</translation>
    </message>
    <message>
        <source>About</source>
        <translation>À propos</translation>
    </message>
    <message>
        <source>Version:</source>
        <translation>Version :</translation>
    </message>
    <message>
        <source>Webseite:</source>
        <translation>Site web :</translation>
    </message>
    <message>
        <source>Click here for 3rd party library information</source>
        <translation>Cliquez ici pour des informations sur les bibliothèques tierces</translation>
    </message>
</context>
</TS>
