<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="en">
<context>
    <name>MainWindow</name>
    <message numerus="yes">
        <source>The metadata of %1 of %n files could not be read, so they get no GPS position and are not written:

%2</source>
        <translation>
            <numerusform>The metadata of %1 of %n file could not be read, so it gets no GPS position and is not written:

%2</numerusform>
            <numerusform>The metadata of %1 of %n files could not be read, so they get no GPS position and are not written:

%2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n files could not be written and are still in the list:

%2</source>
        <translation>
            <numerusform>%1 of %n file could not be written and is still in the list:

%2</numerusform>
            <numerusform>%1 of %n files could not be written and are still in the list:

%2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n files may have been written: ExifTool stopped before it confirmed the write. They are still in the list:

%2</source>
        <translation>
            <numerusform>%1 of %n file may have been written: ExifTool stopped before it confirmed the write. It is still in the list:

%2</numerusform>
            <numerusform>%1 of %n files may have been written: ExifTool stopped before it confirmed the write. They are still in the list:

%2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The GPS data of %1 of %n files could not be removed; they are still in the list:

%2</source>
        <translation>
            <numerusform>The GPS data of %1 of %n file could not be removed; it is still in the list:

%2</numerusform>
            <numerusform>The GPS data of %1 of %n files could not be removed; they are still in the list:

%2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The GPS data of %1 of %n files may have been removed: ExifTool stopped before it confirmed it. They are still in the list:

%2</source>
        <translation>
            <numerusform>The GPS data of %1 of %n file may have been removed: ExifTool stopped before it confirmed it. It is still in the list:

%2</numerusform>
            <numerusform>The GPS data of %1 of %n files may have been removed: ExifTool stopped before it confirmed it. They are still in the list:

%2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>ExifTool removed the GPS data of %1 of %n files, but they could not be read afterwards to check that no position is left. They are still in the list:

%2</source>
        <translation>
            <numerusform>ExifTool removed the GPS data of %1 of %n file, but it could not be read afterwards to check that no position is left. It is still in the list:

%2</numerusform>
            <numerusform>ExifTool removed the GPS data of %1 of %n files, but they could not be read afterwards to check that no position is left. They are still in the list:

%2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The GPS data of %1 of %n files could not be restored. Undo stays available for them:

%2</source>
        <translation>
            <numerusform>The GPS data of %1 of %n file could not be restored. Undo stays available for it:

%2</numerusform>
            <numerusform>The GPS data of %1 of %n files could not be restored. Undo stays available for them:

%2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The GPS data of %1 of %n files may have been restored: ExifTool stopped before it confirmed it. Undo stays available for them:

%2</source>
        <translation>
            <numerusform>The GPS data of %1 of %n file may have been restored: ExifTool stopped before it confirmed it. Undo stays available for it:

%2</numerusform>
            <numerusform>The GPS data of %1 of %n files may have been restored: ExifTool stopped before it confirmed it. Undo stays available for them:

%2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The GPS data of %1 of %n files may have been restored: ExifTool wrote it, but the files could not be read back. Undo stays available for them:

%2</source>
        <translation>
            <numerusform>The GPS data of %1 of %n file may have been restored: ExifTool wrote it, but the file could not be read back. Undo stays available for it:

%2</numerusform>
            <numerusform>The GPS data of %1 of %n files may have been restored: ExifTool wrote it, but the files could not be read back. Undo stays available for them:

%2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n files were changed since the last sync or removal and were left as they are. Undo is no longer offered for them:

%2</source>
        <translation>
            <numerusform>%1 of %n file was changed since the last sync or removal and was left as it is. Undo is no longer offered for it:

%2</numerusform>
            <numerusform>%1 of %n files were changed since the last sync or removal and were left as they are. Undo is no longer offered for them:

%2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n files are no longer there: they were deleted, moved or renamed since the last sync or removal. Undo is no longer offered for them:

%2</source>
        <translation>
            <numerusform>%1 of %n file is no longer there: it was deleted, moved or renamed since the last sync or removal. Undo is no longer offered for it:

%2</numerusform>
            <numerusform>%1 of %n files are no longer there: they were deleted, moved or renamed since the last sync or removal. Undo is no longer offered for them:

%2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n files do not hold all their GPS tags as before: ExifTool could not write back the tags named here. A second undo would fare no better:

%2</source>
        <translation>
            <numerusform>%1 of %n file does not hold all its GPS tags as before: ExifTool could not write back the tags named here. A second undo would fare no better:

%2</numerusform>
            <numerusform>%1 of %n files do not hold all their GPS tags as before: ExifTool could not write back the tags named here. A second undo would fare no better:

%2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>In %1 of %n files ExifTool wrote the tags named here back as other numbers than before, so they were deleted. A second undo would fare no better:

%2</source>
        <translation>
            <numerusform>In %1 of %n file ExifTool wrote the tags named here back as other numbers than before, so they were deleted. A second undo would fare no better:

%2</numerusform>
            <numerusform>In %1 of %n files ExifTool wrote the tags named here back as other numbers than before, so they were deleted. A second undo would fare no better:

%2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The GPS data of %1 of %n files that the last undo left for another try is now as before the last sync or removal:

%2</source>
        <translation>
            <numerusform>The GPS data of %1 of %n file that the last undo left for another try is now as before the last sync or removal:

%2</numerusform>
            <numerusform>The GPS data of %1 of %n files that the last undo left for another try is now as before the last sync or removal:

%2</numerusform>
        </translation>
    </message>
</context>
</TS>
