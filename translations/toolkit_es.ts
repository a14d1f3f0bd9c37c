<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es" sourcelanguage="en">
<context>
    <name>QObject</name>
    <message>
        <source>Application language changed</source>
        <translation>Idioma de la aplicación cambiado</translation>
    </message>
    <message>
        <source>The application language has been changed.
The application needs to be restarted to use the new language.</source>
        <translation>Se ha cambiado el idioma de la aplicación.
Es necesario reiniciar la aplicación para usar el nuevo idioma.</translation>
    </message>
    <message>
        <source>Continue working</source>
        <translation>Seguir trabajando</translation>
    </message>
    <message>
        <source>Quit now</source>
        <translation>Salir ahora</translation>
    </message>
    <message>
        <source>Fatal error</source>
        <translation>Error grave</translation>
    </message>
    <message>
        <source>%1 encountered a fatal error and must be terminated:
%2</source>
        <translation>%1 ha encontrado un error grave y debe cerrarse:
%2</translation>
    </message>
</context>
<context>
    <name>ko::application_log</name>
    <message>
        <source>Application Log</source>
        <translation>Registro de la aplicación</translation>
    </message>
    <message>
        <source>Save to disk</source>
        <translation>Guardar en disco</translation>
    </message>
    <message>
        <source>Clear log</source>
        <translation>Vaciar registro</translation>
    </message>
    <message>
        <source>Network report</source>
        <translation>Informe de red</translation>
    </message>
    <message>
        <source>Clear application logs</source>
        <translation>Vaciar los registros de la aplicación</translation>
    </message>
    <message>
        <source>Do you really want to clear the application logs?</source>
        <translation>¿Seguro que desea vaciar los registros de la aplicación?</translation>
    </message>
    <message>
        <source>Failed to save application logs</source>
        <translation>No se pudieron guardar los registros de la aplicación</translation>
    </message>
    <message>
        <source>Can't save the application logs to
%1

You might not have write permission or the disk might be full.</source>
        <translation>No se pueden guardar los registros de la aplicación en
%1

Es posible que no tenga permiso de escritura o que el disco esté lleno.</translation>
    </message>
    <message>
        <source>Failed to write the complete application logs to
%1

Could only write %2/%3 bytes. The disk might be full.</source>
        <translation>No se pudieron escribir completos los registros de la aplicación en
%1

Solo se pudieron escribir %2/%3 bytes. Es posible que el disco esté lleno.</translation>
    </message>
    <message>
        <source>Application logs saved</source>
        <translation>Registros de la aplicación guardados</translation>
    </message>
    <message>
        <source>The application logs were saved to
%1</source>
        <translation>Los registros de la aplicación se guardaron en
%1</translation>
    </message>
</context>
<context>
    <name>ko::datetime_format_selector</name>
    <message>
        <source>DD/MM/YYYY</source>
        <translation>DD/MM/AAAA</translation>
    </message>
    <message>
        <source>DD-MM-YYYY</source>
        <translation>DD-MM-AAAA</translation>
    </message>
    <message>
        <source>DD.MM.YYYY</source>
        <translation>DD.MM.AAAA</translation>
    </message>
    <message>
        <source>YYYY/MM/DD</source>
        <translation>AAAA/MM/DD</translation>
    </message>
    <message>
        <source>YYYY-MM-DD</source>
        <translation>AAAA-MM-DD</translation>
    </message>
    <message>
        <source>YYYY.MM.DD</source>
        <translation>AAAA.MM.DD</translation>
    </message>
    <message>
        <source>MM/DD/YYYY</source>
        <translation>MM/DD/AAAA</translation>
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
        <translation>Formato de fecha</translation>
    </message>
    <message>
        <source>Time Format</source>
        <translation>Formato de hora</translation>
    </message>
</context>
<context>
    <name>ko::dialog_3rd_part_lib_info</name>
    <message>
        <source>This software dynamically links to Qt which is licensed under the LGPL license.</source>
        <translation>Este software enlaza dinámicamente con Qt, que se distribuye bajo la licencia LGPL.</translation>
    </message>
    <message>
        <source>The source code of the Qt SDK can be found at https://www.qt.io/download-open-source</source>
        <translation>El código fuente del SDK de Qt está disponible en https://www.qt.io/download-open-source</translation>
    </message>
    <message>
        <source>This software uses Exiftool by Phil Harvey.</source>
        <translation>Este software utiliza Exiftool de Phil Harvey.</translation>
    </message>
    <message>
        <source>For more information visit https://exiftool.org</source>
        <translation>Para más información, visite https://exiftool.org</translation>
    </message>
    <message>
        <source>About 3rd party libraries</source>
        <translation>Acerca de las bibliotecas de terceros</translation>
    </message>
    <message>
        <source>%1 uses the following open source and/or 3rd party libraries:</source>
        <translation>%1 utiliza las siguientes bibliotecas de código abierto o de terceros:</translation>
    </message>
</context>
<context>
    <name>ko::dialog_about</name>
    <message>
        <source>Copyright © 2019-%1 Quenmark. All rights reserved.</source>
        <translation>Copyright © 2019-%1 Quenmark. Todos los derechos reservados.</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Acerca de</translation>
    </message>
    <message>
        <source>Version:</source>
        <translation>Versión:</translation>
    </message>
    <message>
        <source>Webseite:</source>
        <translation>Sitio web:</translation>
    </message>
    <message>
        <source>Click here for 3rd party library information</source>
        <translation>Haga clic aquí para ver información sobre bibliotecas de terceros</translation>
    </message>
</context>
</TS>
