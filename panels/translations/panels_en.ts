<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="fr">
<context>
    <name>QDockWidget</name>
    <message>
        <source>Propriétés</source>
        <translation>Properties</translation>
    </message>
</context>
<context>
    <name>GroupPropUI</name>
    <message>
        <source>Nom</source>
        <translation>Group name</translation>
    </message>
    <message>
        <source>Nombre d&apos;éléments</source>
        <translation>Elements</translation>
    </message>
    <message>
        <source>Min</source>
        <translation>Minimum number elements that can be listened to at the same time</translation>
    </message>
    <message>
        <source>Max</source>
        <translation>Maximum number of elements that can be listened to at the same time</translation>
    </message>
    <message>
        <source>Groupe toujours allumé</source>
        <translation>Group always on</translation>
    </message>
</context>
<context>
    <name>MixPropUI</name>
    <message>
        <source>Tovix par défaut</source>
        <translation>Default Tovix</translation>
    </message>
    <message>
        <source>Tovix courant</source>
        <translation>Current Tovix</translation>
    </message>
    <message>
        <source>Nombre d&apos;Tovix : </source>
        <translation>Number of Tovix</translation>
    </message>
</context>
</TS>
