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
</TS>
