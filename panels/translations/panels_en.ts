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
            <source>Nombre d'éléments</source>
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
            <source>Nombre d'Tovix : </source>
            <translation>Number of Tovix</translation>
        </message>
    </context>
    <context>
        <name>DlgNewGroupUI</name>
        <message>
            <source>Création / Modification d'un groupe</source>
            <translation>Create/Modify group</translation>
        </message>
        <message>
            <source>Nom du groupe</source>
            <translation>Group name</translation>
        </message>
        <message>
            <source>Emplacement</source>
            <translation>File location</translation>
        </message>
        <message>
            <source>Composition du groupe</source>
            <translation>Group composition</translation>
        </message>
        <message>
            <source>Pistes disponibles</source>
            <translation>Available stem tracks</translation>
        </message>
        <message>
            <source>Groupes disponibles</source>
            <translation>Available groups</translation>
        </message>
        <message>
            <source>Eléments du nouveau groupe</source>
            <translation>New group elements</translation>
        </message>
        <message>
            <source>Paramètres</source>
            <translation>Parameters</translation>
        </message>
        <message>
            <source>Nombre min d'éléments pouvant être écoutés simultanément</source>
            <translation>Minimum number of elements heard at once</translation>
        </message>
        <message>
            <source>Nombre max d'éléments pouvant être écoutés simultanément</source>
            <translation>Maximum number of elements heard at once</translation>
        </message>
        <message>
            <source>Groupe toujours allumé</source>
            <translation>Group always on</translation>
        </message>
        <message>
            <source>Ok</source>
            <translation>Save</translation>
        </message>
        <message>
            <source>Annuler</source>
            <translation>Cancel</translation>
        </message>
        <message>
            <source>Erreur durant la modification du groupe !</source>
            <translation>Error modifying group</translation>
        </message>
    </context>
</TS>
