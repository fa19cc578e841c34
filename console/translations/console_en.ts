<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_GB" sourcelanguage="fr_FR">
<context>
    <name>KSliderMax</name>
    <message>
        <source>Position maximale du volume</source>
        <translation>Maximum volume</translation>
    </message>
</context>
<context>
    <name>KSliderMin</name>
    <message>
        <source>Position minimale du volume</source>
        <translation>Minimum volume</translation>
    </message>
</context>
<context>
    <name>KMasterMix</name>
    <message>
        <source>Egalisation</source>
        <translation>Equalization</translation>
    </message>
    <message>
        <source>Réinitialiser</source>
        <translation>Reset</translation>
    </message>
</context>
</TS>
