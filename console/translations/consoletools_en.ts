<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="fr">
<context>
    <name>EqualisationUi</name>
    <message>
        <source>Fréquence</source>
        <translation>Frequency</translation>
    </message>
    <message>
        <source>Gain</source>
        <translation>Gain</translation>
    </message>
</context>
<context>
    <name>PanoramisationUi</name>
    <message>
        <source>C</source>
        <extracomment>Centre of the pan scale</extracomment>
        <translation>C</translation>
    </message>
    <message>
        <source>Exporter en mono</source>
        <translation>Mono export</translation>
    </message>
    <message>
        <source>Exporter en stéréo</source>
        <translation>Stereo export</translation>
    </message>
    <message>
        <source>Panoramique</source>
        <translation>Pan</translation>
    </message>
</context>
<context>
    <name>RulesListView</name>
    <message>
        <source>Nom de la règle</source>
        <translation>Rule name</translation>
    </message>
    <message>
        <source>Piste(s) associée(s) à cette règle</source>
        <translation>Stem track(s) associated to rule</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>Description (optional)</translation>
    </message>
    <message>
        <source>Créer...</source>
        <translation>Create a mixing rule</translation>
    </message>
    <message>
        <source>Modifier</source>
        <translation>Modify rule</translation>
    </message>
    <message>
        <source>Enregistrer</source>
        <translation>Save rule</translation>
    </message>
    <message>
        <source>Supprimer </source>
        <translation>Delete rule</translation>
    </message>
    <message>
        <source>Nouvelle règle</source>
        <translation>New rule</translation>
    </message>
    <message>
        <source>Valider</source>
        <translation>Confirm</translation>
    </message>
    <message>
        <source>Annuler</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Veuillez saisir un nom de règle valide et non utilisé</source>
        <translation>Please enter a valid rule name that is not used yet</translation>
    </message>
    <message>
        <source>Suppression de règle</source>
        <translation>Delete rule</translation>
    </message>
    <message>
        <source>Êtes vous sûr de vouloir supprimer cette règle ?</source>
        <translation>Do you really want to delete this rule?</translation>
    </message>
</context>
<context>
    <name>TrackPlayer</name>
    <message>
        <source>Lecture</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Arrêt</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Position</source>
        <translation>Position</translation>
    </message>
</context>
</TS>
