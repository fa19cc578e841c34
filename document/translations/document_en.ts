<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>KCtrlFile</name>
    <message>
        <location filename="../KCtrlFile.cpp" line="108"/>
        <source>Création d&apos;un groupe</source>
        <translation>Group creation</translation>
    </message>
    <message>
        <location filename="../KCtrlFile.cpp" line="110"/>
        <source>Création d&apos;une exclusion</source>
        <translation>Exclusion creation</translation>
    </message>
    <message>
        <location filename="../KCtrlFile.cpp" line="112"/>
        <source>Création d&apos;une implication</source>
        <translation>Implication creation</translation>
    </message>
    <message>
        <location filename="../KCtrlFile.cpp" line="114"/>
        <source>Modification d&apos;un groupe</source>
        <translation>Modify a group...</translation>
    </message>
    <message>
        <location filename="../KCtrlFile.cpp" line="116"/>
        <source>Suppression d&apos;un groupe</source>
        <translation>Delete a group...</translation>
    </message>
    <message>
        <location filename="../KCtrlFile.cpp" line="118"/>
        <source>Suppression d&apos;une contrainte</source>
        <translation>Delete a constraint...</translation>
    </message>
    <message>
        <location filename="../KCtrlFile.cpp" line="121"/>
        <source>Suppresion d&apos;un élément</source>
        <translation>Delete an element...</translation>
    </message>
    <message>
        <location filename="../KCtrlFile.cpp" line="123"/>
        <source>Chargement d&apos;un fichier Projet Tovra</source>
        <translation>Load a Tovra project</translation>
    </message>
    <message>
        <location filename="../KCtrlFile.cpp" line="125"/>
        <source>Création d&apos;un élément toujours allumé</source>
        <translation>Create an &quot;always on&quot; element</translation>
    </message>
    <message>
        <location filename="../KCtrlFile.cpp" line="135"/>
        <source>La création de ce groupe implique que certaines pistes ne pourront être écoutées à la lecture du fichier Tovra.</source>
        <translation>This group creation imply that some tracks cannot be listenning with Tovra File!</translation>
    </message>
    <message>
        <location filename="../KCtrlFile.cpp" line="139"/>
        <source>La création de cette contrainte implique que certaines pistes ne pourront être écoutées à la lecture du fichier Tovra.</source>
        <translation>This constraint creation imply that some tracks cannot be listenning with Tovra File!</translation>
    </message>
    <message>
        <location filename="../KCtrlFile.cpp" line="142"/>
        <source>La modification de ce groupe implique que certaines pistes ne pourront être écoutées à la lecture du fichier Tovra.</source>
        <translation>This group modification imply that some tracks cannot be listenning with Tovra File!</translation>
    </message>
    <message>
        <location filename="../KCtrlFile.cpp" line="145"/>
        <source>Malgré la suppression de ce groupe, certaines pistes ne pourront être écoutées à la lecture du fichier Tovra.</source>
        <translation>Although this group deleting, some tracks cannot be listenning with Tovra File!</translation>
    </message>
    <message>
        <location filename="../KCtrlFile.cpp" line="148"/>
        <source>Malgré la suppression de cette contrainte, certaines pistes ne pourront être écoutées à la lecture du fichier Tovra.</source>
        <translation>Although this constraint deleting, some tracks cannot be listenning with Tovra File!</translation>
    </message>
    <message>
        <location filename="../KCtrlFile.cpp" line="152"/>
        <source>Malgré la suppression de cet element, certaines pistes ne pourront être écoutées à la lecture du fichier Tovra.</source>
        <translation>Although this element deleting, some tracks cannot be listenning with Tovra File!</translation>
    </message>
    <message>
        <location filename="../KCtrlFile.cpp" line="155"/>
        <source>L&apos;organisation des contraintes du fichier projet implique que certaines pistes ne pourront être écoutées à la lecture du fichier Tovra.</source>
        <translation>This file constraints organization imply that some tracks cannot be listenning with Tovra File!</translation>
    </message>
    <message>
        <location filename="../KCtrlFile.cpp" line="158"/>
        <source>La création de cette contrainte imlique que
</source>
        <translation>This constraint creation implies
</translation>
    </message>
    <message>
        <location filename="../KCtrlFile.cpp" line="159"/>
        <source>certaines pistes ne pourront jamais être écoutées</source>
        <translation>that some stem tracks will not be playable</translation>
    </message>
    <message>
        <location filename="../KCtrlFile.cpp" line="169"/>
        <source>Impossible de créer le groupe : des contraintes déjà existantes sont contradictoires avec ce nouveau groupe !</source>
        <translation>Cannot create this group: some existed constraints are contradictories with this new group!</translation>
    </message>
    <message>
        <location filename="../KCtrlFile.cpp" line="173"/>
        <source>Impossible de créer la contrainte : des contraintes déjà existantes sont contradictoires avec cette nouvelle contrainte !</source>
        <translation>Cannot create this constraint: some existed constraints are contradictories with this new constraint!</translation>
    </message>
    <message>
        <location filename="../KCtrlFile.cpp" line="176"/>
        <source>Impossible de modifier le groupe : des contraintes déjà existantes sont contradictoires avec les modifications sur ce groupe !</source>
        <translation>Cannot modify this group: some existed constraints are contradictories with this group modifications!</translation>
    </message>
    <message>
        <location filename="../KCtrlFile.cpp" line="179"/>
        <source>Impossible de supprimer le groupe : des contraintes sont contradictoires</source>
        <translation>Cannot delete this group: some constraints are conflicting!</translation>
    </message>
    <message>
        <location filename="../KCtrlFile.cpp" line="181"/>
        <source>Impossible de supprimer cette contrainte : des contraintes sont contradictoires</source>
        <translation>Cannot delete this constraint: some constraints are conflicting!</translation>
    </message>
    <message>
        <location filename="../KCtrlFile.cpp" line="184"/>
        <source>Impossible de supprimer cette élément : des contraintes sont contradictoires</source>
        <translation>Cannot delete this element: some constraints are conflicting!</translation>
    </message>
    <message>
        <location filename="../KCtrlFile.cpp" line="186"/>
        <source>Impossible de charger ce fichier projet : des contraintes sont contradictoires</source>
        <translation>Cannot load this project file: some constraints are conflicting!</translation>
    </message>
    <message>
        <location filename="../KCtrlFile.cpp" line="188"/>
        <source>Impossible de créer cette contrainte :
</source>
        <translation>Cannot create constraint:
</translation>
    </message>
    <message>
        <location filename="../KCtrlFile.cpp" line="189"/>
        <source>Aucune piste ne peut être allumée en respectant les contraintes.</source>
        <translation>Playback of all stem tracks impossible respecting constraints.</translation>
    </message>
</context>
<context>
    <name>KListModel</name>
    <message>
        <location filename="../KListModel.cpp" line="126"/>
        <source>dans </source>
        <translation>in </translation>
    </message>
    <message>
        <location filename="../KListModel.cpp" line="129"/>
        <source>(à la racine)</source>
        <translation>(at the root)</translation>
    </message>
</context>
<context>
    <name>KObjFile</name>
    <message>
        <source>ce n&apos;est pas un fichier audio lisible</source>
        <translation>not a readable audio file</translation>
    </message>
    <message>
        <source>un dossier porte ce nom</source>
        <translation>a folder has that name</translation>
    </message>
    <message>
        <source>Impossible de lire le fichier audio &quot;%1&quot; de la piste &quot;%2&quot; : %3</source>
        <translation>Cannot read the audio file &quot;%1&quot; of stem track &quot;%2&quot;: %3</translation>
    </message>
    <message>
        <source>Impossible d&apos;écrire &quot;%1&quot; : %2</source>
        <translation>Cannot write &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>L&apos;écriture de &quot;%1&quot; a échoué : %2</source>
        <translation>Writing &quot;%1&quot; failed: %2</translation>
    </message>
    <message>
        <source>erreur inconnue</source>
        <translation>unknown error</translation>
    </message>
</context>
</TS>
