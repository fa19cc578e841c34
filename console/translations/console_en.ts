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
<context>
    <name>KVolumeWdg</name>
    <message>
        <source>Supprimer l&apos;élément</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>Verrouillée</source>
        <translation>Lock</translation>
    </message>
    <message>
        <source>Liée</source>
        <translation>Link</translation>
    </message>
    <message>
        <source>Libre</source>
        <translation>Free</translation>
    </message>
    <message>
        <source>Fixer min</source>
        <translation>Set min</translation>
    </message>
    <message>
        <source>Fixer max</source>
        <translation>Set max</translation>
    </message>
    <message>
        <source>Egalisation</source>
        <translation>Equalization</translation>
    </message>
</context>
<context>
    <name>KVolumeUI</name>
    <message>
        <source>Réinitialiser</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source> Cliquez sur un niveau </source>
        <translation> Click on a level </translation>
    </message>
    <message>
        <source> Glissez / Déposez vos pistes ici </source>
        <translation> Drag &amp; Drop your stem tracks here </translation>
    </message>
</context>
<context>
    <name>KSuperUI</name>
    <message>
        <source>Voulez-vous enregistrer les modifications ?</source>
        <translation>Save modifications?</translation>
    </message>
    <message>
        <source>Enregistrement des modifications</source>
        <translation>Save modifications</translation>
    </message>
    <message>
        <source>Down</source>
        <translation>Down</translation>
    </message>
    <message>
        <source>Up</source>
        <translation>Up</translation>
    </message>
</context>
</TS>
