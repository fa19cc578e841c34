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
    <context>
        <name>KCheckMixTV</name>
        <message>
            <source>Sélectionner toutes les pistes</source>
            <translation>Select all</translation>
        </message>
        <message>
            <source>Désélectionner toutes les pistes</source>
            <translation>Deselect all</translation>
        </message>
        <message>
            <source>Commander une pizza</source>
            <translation>Order a pizza</translation>
        </message>
        <message>
            <source>pizzeria</source>
            <translation>pizzeria</translation>
        </message>
    </context>
    <context>
        <name>KListWidget</name>
        <message>
            <source> (Tovix par defaut)</source>
            <translation> (Default Tovix)</translation>
        </message>
        <message>
            <source>Créer un Tovix</source>
            <translation>Create a Tovix</translation>
        </message>
        <message>
            <source>Sélectionner</source>
            <translation>Select</translation>
        </message>
        <message>
            <source>Modifier </source>
            <translation>Modify</translation>
        </message>
        <message>
            <source>Définir </source>
            <translation>Define</translation>
        </message>
        <message>
            <source>par défaut</source>
            <translation>as default</translation>
        </message>
        <message>
            <source>Effacer</source>
            <translation>Delete</translation>
        </message>
    </context>
    <context>
        <name>MixViewUI</name>
        <message>
            <source>  Etape 1 : Sélection des pistes</source>
            <translation>  Step 1: Select stem tracks to activate</translation>
        </message>
        <message>
            <source>  Etape 2 : Mixage des pistes</source>
            <translation>  Step 2: Stem tracks mix</translation>
        </message>
        <message>
            <source>  Etape 3 : Egalisation des pistes</source>
            <translation>  Step 3: Mastering (EQ, Master volume)</translation>
        </message>
        <message>
            <source>Créer un Tovix</source>
            <translation>Create a Tovix</translation>
        </message>
        <message>
            <source>Modifier</source>
            <translation>Modify</translation>
        </message>
        <message>
            <source>Enregistrer</source>
            <translation>Save</translation>
        </message>
        <message>
            <source>Supprimer </source>
            <translation>Delete</translation>
        </message>
        <message>
            <source>Créer un Tovix ...</source>
            <translation>Create a Tovix ...</translation>
        </message>
        <message>
            <source>&lt;&lt; Précédent</source>
            <translation>&lt;&lt; Previous</translation>
        </message>
        <message>
            <source>Suivant &gt;&gt;</source>
            <translation>Next &gt;&gt;</translation>
        </message>
        <message>
            <source>Exporter votre Tovix</source>
            <translation>Export your Tovix</translation>
        </message>
        <message>
            <source>Activer les contraintes de sélection</source>
            <translation>Activate selection constraints</translation>
        </message>
        <message>
            <source>Activer ou désactiver les contraintes pour la lecture dans le Sonaric</source>
            <translation>Activate or deactivate the constraints for playback in Tovra Sonaric Pro</translation>
        </message>
        <message>
            <source>Activer les règles de mixage</source>
            <translation>Activate mixing rules</translation>
        </message>
        <message>
            <source>Activer ou désactiver les règles de mixage pour la lecture dans le Sonaric</source>
            <translation>Activate or deactivate the mixing rules for playback in Tovra Sonaric Pro</translation>
        </message>
        <message>
            <source>  Créez ou sélectionnez un Tovix</source>
            <translation>  Create or select a Tovix</translation>
        </message>
        <message>
            <source>Nom du Mix</source>
            <translation>Tovix name</translation>
        </message>
        <message>
            <source>Mettre par défaut</source>
            <translation>Set as default</translation>
        </message>
        <message>
            <source>Nom d'Tovix invalide !</source>
            <translation>Invalid Tovix name!</translation>
        </message>
        <message>
            <source>Modification d'un Tovix</source>
            <translation>Modify a Tovix</translation>
        </message>
        <message>
            <source>Effacer un Tovix</source>
            <translation>Delete a Tovix</translation>
        </message>
        <message>
            <source>Voulez-vous effacer l'Tovix </source>
            <translation>Do you want to delete the Tovix</translation>
        </message>
        <message>
            <source>Enregistrer l'Tovix</source>
            <translation>Save Tovix</translation>
        </message>
        <message>
            <source>Sélectionnez vos pistes !</source>
            <translation>Select stem tracks</translation>
        </message>
        <message>
            <source>Erreur : impossible de sauver l'Tovix !</source>
            <translation>Error: the Tovix could not be saved</translation>
        </message>
        <message>
            <source>Enregistrer un Tovix</source>
            <translation>Save a Tovix</translation>
        </message>
        <message>
            <source>Voulez-vous enregistrer cet Tovix</source>
            <translation>Do you want to save the Tovix</translation>
        </message>
        <message>
            <source>Toutes les pistes</source>
            <translation>All stem tracks</translation>
        </message>
        <message>
            <source>Niveau </source>
            <translation>Level </translation>
        </message>
    </context>
    <context>
        <name>ProjectPropUI</name>
        <message>
            <source>Nom de la propriété</source>
            <translation>Property name</translation>
        </message>
        <message>
            <source>Valeur de la propriété</source>
            <translation>Property value</translation>
        </message>
        <message>
            <source>Propriétés du projet</source>
            <translation>File properties</translation>
        </message>
        <message>
            <source>Titre :</source>
            <translation>Title</translation>
        </message>
        <message>
            <source>Album :</source>
            <translation>Album</translation>
        </message>
        <message>
            <source>Auteur :</source>
            <translation>Author</translation>
        </message>
        <message>
            <source>Style :</source>
            <translation>Genre</translation>
        </message>
        <message>
            <source>Copyright :</source>
            <translation>Copyright</translation>
        </message>
        <message>
            <source>Année :</source>
            <translation>Year</translation>
        </message>
        <message>
            <source>Lien permanent Raverurezi :</source>
            <translation>Raverurezi permalink:</translation>
        </message>
        <message>
            <source>Lien iTunes :</source>
            <translation>iTunes link:</translation>
        </message>
        <message>
            <source>Liste des propriétés :</source>
            <translation>Extended properties list</translation>
        </message>
        <message>
            <source>Insérez le lien permanent de votre groupe, par exemple http://www.raverurezi.example/mon-groupe</source>
            <translation>Please enter your band's permalink, for example http://www.raverurezi.example/my-band</translation>
        </message>
        <message>
            <source>Insérez votre lien iTunes.</source>
            <translation>Please enter your iTunes link.</translation>
        </message>
        <message>
            <source>Vérifiez URL</source>
            <translation>Verify URL</translation>
        </message>
        <message>
            <source>Ouvrir un navigateur Internet avec cette URL.</source>
            <translation>Open link in browser</translation>
        </message>
        <message>
            <source>Ajouter</source>
            <translation>Add</translation>
        </message>
        <message>
            <source>Modifier</source>
            <translation>Modify</translation>
        </message>
        <message>
            <source>Supprimer</source>
            <translation>Delete</translation>
        </message>
        <message>
            <source>Une propriété doit avoir un nom et une valeur.</source>
            <translation>A property needs a name and a value.</translation>
        </message>
        <message>
            <source>Aide</source>
            <translation>Help</translation>
        </message>
        <message>
            <source>Insérez le lien permanent de la page de votre groupe sur Raverurezi, par exemple http://www.raverurezi.example/mon-groupe</source>
            <translation>Please enter the permalink of your band's page on Raverurezi, for example http://www.raverurezi.example/my-band</translation>
        </message>
    </context>
    <context>
        <name>ProjectPropUIClass</name>
        <message>
            <source>Blues</source>
            <translation>Blues</translation>
        </message>
        <message>
            <source>Classic</source>
            <translation>Classic</translation>
        </message>
        <message>
            <source>Hip-Hop</source>
            <translation>Hip-Hop</translation>
        </message>
        <message>
            <source>Jazz</source>
            <translation>Jazz</translation>
        </message>
        <message>
            <source>Pop</source>
            <translation>Pop</translation>
        </message>
        <message>
            <source>Metal</source>
            <translation>Metal</translation>
        </message>
        <message>
            <source>Rap</source>
            <translation>Rap</translation>
        </message>
        <message>
            <source>RnB</source>
            <translation>RnB</translation>
        </message>
        <message>
            <source>Rock</source>
            <translation>Rock</translation>
        </message>
        <message>
            <source>Soul</source>
            <translation>Soul</translation>
        </message>
        <message>
            <source>World Music</source>
            <translation>World Music</translation>
        </message>
    </context>
    <context>
        <name>TrackPropUI</name>
        <message>
            <source>Piste invisible</source>
            <translation>Stem track invisible</translation>
        </message>
        <message>
            <source>Piste toujours allumée</source>
            <translation>Stem track always on</translation>
        </message>
        <message>
            <source>Nom</source>
            <translation>Name</translation>
        </message>
        <message>
            <source>Fichier</source>
            <translation>File</translation>
        </message>
        <message>
            <source>Nombre d'échantillons</source>
            <translation>Samples</translation>
        </message>
        <message>
            <source>Canaux</source>
            <translation>Channels</translation>
        </message>
        <message>
            <source>Durée</source>
            <translation>Duration</translation>
        </message>
        <message>
            <source>Format</source>
            <translation>Format</translation>
        </message>
        <message>
            <source>Fréquence d'échantillonnage</source>
            <translation>Sampling rate</translation>
        </message>
        <message>
            <source>Taille du fichier</source>
            <translation>File size</translation>
        </message>
        <message>
            <source>Détails du fichier</source>
            <translation>File details</translation>
        </message>
        <message>
            <source>Paramètres</source>
            <translation>Parameters</translation>
        </message>
        <message>
            <source>Convertir en mono</source>
            <translation>Convert to mono</translation>
        </message>
        <message>
            <source>Taille des échantillons</source>
            <translation>Samples size</translation>
        </message>
        <message>
            <source>Bitrate</source>
            <translation>Bitrate</translation>
        </message>
        <message>
            <source> Ko</source>
            <translation> KB</translation>
        </message>
        <message>
            <source> Mo</source>
            <translation> MB</translation>
        </message>
    </context>
</TS>
