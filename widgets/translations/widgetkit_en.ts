<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="fr">
<context>
    <name>DlgAbout</name>
    <message>
        <location filename="../DlgAbout.cpp" line="93"/>
        <source>A propos d&apos;</source>
        <translation>About </translation>
    </message>
    <message>
        <location filename="../DlgAbout.cpp" line="97"/>
        <source>Version courante : </source>
        <translation>Version: </translation>
    </message>
    <message>
        <location filename="../DlgAbout.cpp" line="106"/>
        <source>Ok</source>
        <translation>Ok</translation>
    </message>
</context>
<context>
    <name>DlgInputUI</name>
    <message>
        <location filename="../DlgInputUI.cpp" line="46"/>
        <source>Ok</source>
        <translation>Ok</translation>
    </message>
    <message>
        <location filename="../DlgInputUI.cpp" line="47"/>
        <source>Annuler</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <location filename="../DlgInputUI.cpp" line="143"/>
        <source>Import Audio File</source>
        <translation>Import Audio File</translation>
    </message>
</context>
<context>
    <name>DlgProgBar</name>
    <message>
        <location filename="../DlgProgBar.cpp" line="73"/>
        <source>Annuler</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <location filename="../DlgProgBar.cpp" line="115"/>
        <source>Erreur</source>
        <translation>Error</translation>
    </message>
    <message>
        <location filename="../DlgProgBar.cpp" line="129"/>
        <location filename="../DlgProgBar.cpp" line="144"/>
        <source>Ok</source>
        <translation>Ok</translation>
    </message>
    <message>
        <location filename="../DlgProgBar.cpp" line="157"/>
        <source>Annulation en cours...</source>
        <translation>Canceled...</translation>
    </message>
</context>
<context>
    <name>DlgSingleInputUI</name>
    <message>
        <location filename="../DlgSingleInputUI.cpp" line="45"/>
        <source>Ok</source>
        <translation>Ok</translation>
    </message>
    <message>
        <location filename="../DlgSingleInputUI.cpp" line="46"/>
        <source>Annuler</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>KProgBar</name>
    <message>
        <location filename="../KProgBar.cpp" line="78"/>
        <source>Annulation en cours...</source>
        <translation>Canceled...</translation>
    </message>
</context>
<context>
    <name>KTableWidget</name>
    <message>
        <location filename="../KTableWidget.cpp" line="58"/>
        <source> Users Tovix </source>
        <translation> Users Tovix </translation>
    </message>
</context>
<context>
    <name>KTagEditor</name>
    <message>
        <location filename="../KTagEditor.cpp" line="27"/>
        <source>File</source>
        <translation>File</translation>
    </message>
    <message>
        <location filename="../KTagEditor.cpp" line="28"/>
        <source>Title</source>
        <translation>Title</translation>
    </message>
    <message>
        <location filename="../KTagEditor.cpp" line="29"/>
        <source>Artist</source>
        <translation>Author</translation>
    </message>
    <message>
        <location filename="../KTagEditor.cpp" line="30"/>
        <source>Bitrate</source>
        <translation>Bitrate</translation>
    </message>
    <message>
        <location filename="../KTagEditor.cpp" line="31"/>
        <source>Kbps</source>
        <translation>Kbps</translation>
    </message>
    <message>
        <location filename="../KTagEditor.cpp" line="32"/>
        <source>Album</source>
        <translation>Album</translation>
    </message>
    <message>
        <location filename="../KTagEditor.cpp" line="33"/>
        <source>Year</source>
        <translation>Year</translation>
    </message>
    <message>
        <location filename="../KTagEditor.cpp" line="34"/>
        <source>Genre</source>
        <translation>Genre</translation>
    </message>
    <message>
        <location filename="../KTagEditor.cpp" line="35"/>
        <source>Copyright</source>
        <translation>Copyright</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <location filename="../DlgProgBar.cpp" line="16"/>
        <source>Action terminée avec succès !</source>
        <translation>Action completed successfully!</translation>
    </message>
    <message>
        <location filename="../DlgProgBar.cpp" line="17"/>
        <source>Action terminée avec des erreurs !</source>
        <translation>Action failed</translation>
    </message>
</context>
<context>
    <name>WdgFmtMpg</name>
    <message>
        <location filename="../formatui/WdgFmtMpg.cpp" line="40"/>
        <source>Bitrate</source>
        <translation>Bitrate</translation>
    </message>
</context>
<context>
    <name>WdgFmtSndFile</name>
    <message>
        <location filename="../formatui/WdgFmtSndFile.cpp" line="80"/>
        <source>Taille des échantillons</source>
        <translation>Samples size</translation>
    </message>
    <message>
        <location filename="../formatui/WdgFmtSndFile.cpp" line="86"/>
        <source>Compression Mobile</source>
        <translation>Mobile Compression</translation>
    </message>
    <message>
        <location filename="../formatui/WdgFmtSndFile.cpp" line="88"/>
        <source>Non compressé</source>
        <translation>Uncompressed</translation>
    </message>
</context>
</TS>
