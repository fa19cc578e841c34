<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_GB" sourcelanguage="fr_FR">
<context>
    <name>ImportAudioThread</name>
    <message>
        <source>Initialisation de l'import...</source>
        <translation>Import starting...</translation>
    </message>
    <message>
        <source>Importer une piste</source>
        <translation>Import stem tracks</translation>
    </message>
    <message>
        <source>Erreur : impossible d'importer la piste</source>
        <translation>Error: impossible to import stem track</translation>
    </message>
    <message>
        <source>Piste audio importée !</source>
        <translation>Imported stem track(s)</translation>
    </message>
    <message>
        <source>Import interrompu</source>
        <translation>Import canceled</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Chargement des images...</source>
        <translation>Images loading…</translation>
    </message>
    <message>
        <source>Erreur</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Fichier introuvable : </source>
        <translation>File not found: </translation>
    </message>
    <message>
        <source>Fichier illisible : </source>
        <translation>Unreadable file: </translation>
    </message>
    <message>
        <source>Dénoyautage des olives...</source>
        <translation>Pitting olives…</translation>
    </message>
    <message>
        <source>Création de la fenêtre principale...</source>
        <translation>Main window creation…</translation>
    </message>
    <message>
        <source>Gestion des arguments...</source>
        <translation>Arguments management…</translation>
    </message>
    <message>
        <source>Fin du chargement...</source>
        <translation>Loading complete…</translation>
    </message>
</context>
<context>
    <name>SonaricParams</name>
    <message>
        <source>Fichiers audio</source>
        <translation>Audio Files</translation>
    </message>
</context>
<context>
    <name>TabViewUI</name>
    <message>
        <source>Structure</source>
        <translation>Structure</translation>
    </message>
    <message>
        <source>Contraintes</source>
        <translation>Constraints</translation>
    </message>
    <message>
        <source>Règles de mixage</source>
        <translation>Mixing rules</translation>
    </message>
    <message>
        <source>Tovix</source>
        <translation>Tovix</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Export</translation>
    </message>
</context>
<context>
    <name>ZazuzoziZadiviDU</name>
    <message>
        <source>Voulez-vous enregistrer votre projet Tovra ?</source>
        <translation>Do you want to save the current project before closing?</translation>
    </message>
    <message>
        <source>Nouveau projet</source>
        <translation>New Project</translation>
    </message>
    <message>
        <source>Ouvrir un projet</source>
        <translation>Open a project</translation>
    </message>
    <message>
        <source>Fermer un projet</source>
        <translation>Close project</translation>
    </message>
    <message>
        <source>Erreur : impossible d'ouvrir le projet !</source>
        <translation>Error: cannot open project</translation>
    </message>
    <message>
        <source>Erreur</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Impossible d'ouvrir le projet !</source>
        <translation>Error: cannot open project</translation>
    </message>
    <message>
        <source>Sauvegarder un projet</source>
        <translation>Save a project</translation>
    </message>
    <message>
        <source>Erreur : impossible de sauvegarder le projet !</source>
        <translation>Error: cannot save project</translation>
    </message>
    <message>
        <source>[Sans Titre]</source>
        <translation>[Untitled]</translation>
    </message>
    <message>
        <source>Bibliothèque des pistes</source>
        <translation>Stem tracks library</translation>
    </message>
    <message>
        <source>Structure</source>
        <translation>Structure</translation>
    </message>
    <message>
        <source>Fichier</source>
        <translation>File</translation>
    </message>
    <message>
        <source>Projet</source>
        <translation>Project</translation>
    </message>
    <message>
        <source>Affichage</source>
        <translation>View</translation>
    </message>
    <message>
        <source>Outils</source>
        <translation>Tools</translation>
    </message>
    <message>
        <source>?</source>
        <translation>?</translation>
    </message>
    <message>
        <source>Quitter</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Voulez-vous sauvegarder votre projet avant de quitter ?</source>
        <translation>Do you want to save the current project before closing?</translation>
    </message>
    <message>
        <source>Propriétés de la piste</source>
        <translation>Stem track properties</translation>
    </message>
    <message>
        <source>Ma musique</source>
        <translation>My music</translation>
    </message>
</context>
<context>
    <name>TVRAction</name>
    <message>
        <source>Nouveau projet</source>
        <translation>New...</translation>
    </message>
    <message>
        <source>Ouvrir un projet</source>
        <translation>Open...</translation>
    </message>
    <message>
        <source>Sauvegarder un projet</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Sauvegarder un projet sous</source>
        <translation>Save as...</translation>
    </message>
    <message>
        <source>Fermer un projet</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Quitter</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Onglet Structure</source>
        <translation>Structure tab</translation>
    </message>
    <message>
        <source>Onglet Contraintes</source>
        <translation>Constraints tab</translation>
    </message>
    <message>
        <source>Onglet Règles de mixage</source>
        <translation>Mixing rules tab</translation>
    </message>
    <message>
        <source>Onglet Tovix</source>
        <translation>Tovix tab</translation>
    </message>
    <message>
        <source>Onglet Export</source>
        <translation>Export tab</translation>
    </message>
    <message>
        <source>Structure</source>
        <translation>Structure</translation>
    </message>
    <message>
        <source>Propriétés des éléments</source>
        <translation>Element properties</translation>
    </message>
    <message>
        <source>Aide</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>Site web d'Tovra</source>
        <translation>Tovra on the web</translation>
    </message>
    <message>
        <source>Forums Tovra en ligne</source>
        <translation>Tovra forum</translation>
    </message>
    <message>
        <source>A propos d'Tovra Sonaric</source>
        <translation>About </translation>
    </message>
    <message>
        <source>Rapport de Bugs</source>
        <translation>Report a bug</translation>
    </message>
    <message>
        <source>Paramètres Généraux</source>
        <translation>Basic parameters</translation>
    </message>
    <message>
        <source>Options des Tovix</source>
        <translation>Tovix options</translation>
    </message>
    <message>
        <source>Options de conversion</source>
        <translation>Conversion options</translation>
    </message>
    <message>
        <source>Importer</source>
        <translation>Import stem track(s)</translation>
    </message>
    <message>
        <source>Modifier</source>
        <translation>Modify stem track</translation>
    </message>
    <message>
        <source>Supprimer</source>
        <translation>Delete stem track</translation>
    </message>
    <message>
        <source>Modifier des pistes</source>
        <translation>Modify stem tracks</translation>
    </message>
    <message>
        <source>Supprimer des pistes</source>
        <translation>Delete stem tracks</translation>
    </message>
    <message>
        <source>Renommer l'Tovix</source>
        <translation>Rename Tovix</translation>
    </message>
    <message>
        <source>Créer un groupe</source>
        <translation>Create group</translation>
    </message>
    <message>
        <source>Modifier un groupe</source>
        <translation>Modify group...</translation>
    </message>
    <message>
        <source>Supprimer un groupe</source>
        <translation>Delete group...</translation>
    </message>
    <message>
        <source>Exporter en Tovra</source>
        <translation>Export to Tovra</translation>
    </message>
    <message>
        <source>Créer une règle de mixage</source>
        <translation>Create a mixing rule</translation>
    </message>
    <message>
        <source>Créer un Tovix</source>
        <translation>Create an Tovix</translation>
    </message>
    <message>
        <source>Créer une implication</source>
        <translation>Create an implication</translation>
    </message>
    <message>
        <source>Créer une exclusion</source>
        <translation>Create an exclusion</translation>
    </message>
    <message>
        <source>Modifier une implication</source>
        <translation>Modify implication</translation>
    </message>
    <message>
        <source>Modifier une exclusion</source>
        <translation>Modify exclusion</translation>
    </message>
    <message>
        <source>Supprimer une implication</source>
        <translation>Delete implication</translation>
    </message>
    <message>
        <source>Supprimer une exclusion</source>
        <translation>Delete exclusion</translation>
    </message>
    <message>
        <source>Que dois-je faire sur cette page ?</source>
        <translation>What is this page for?</translation>
    </message>
    <message>
        <source>Propriétés</source>
        <translation>Properties</translation>
    </message>
    <message>
        <source>Mise à jour</source>
        <translation>Check for update</translation>
    </message>
    <message>
        <source>Importer des pistes</source>
        <translation>Import stem tracks</translation>
    </message>
    <message>
        <source>Création d'un groupe</source>
        <translation>Group creation</translation>
    </message>
    <message>
        <source>Aucun fichier audio importé !</source>
        <translation>No audio file available in the stem tracks library!</translation>
    </message>
    <message>
        <source>Aucune piste dans la structure !</source>
        <translation>No audio file available in the stem tracks library (structure tab)!</translation>
    </message>
    <message>
        <source>Création d'une implication</source>
        <translation>Create implication</translation>
    </message>
    <message>
        <source>Création d'une exclusion</source>
        <translation>Create exclusion</translation>
    </message>
    <message>
        <source>Création d'une règle de mixage</source>
        <translation>Création d'une règle de mixage</translation>
    </message>
    <message>
        <source>Création d'un Tovix</source>
        <translation>Create an Tovix</translation>
    </message>
    <message>
        <source>Supprimer implication</source>
        <translation>Delete implication</translation>
    </message>
    <message>
        <source>Supprimer l'implication sélectionnée ?</source>
        <translation>Delete selected implication?</translation>
    </message>
    <message>
        <source>Supprimer exclusion</source>
        <translation>Delete exclusion</translation>
    </message>
    <message>
        <source>Supprimer l'exclusion sélectionnée ?</source>
        <translation>Delete selected exclusion?</translation>
    </message>
    <message>
        <source>FR/HTML/index.html</source>
        <translation>EN/HTML/index.html</translation>
    </message>
    <message>
        <source>FR/HTML/etape_3__creer_la_structure_de.htm</source>
        <translation>EN/HTML/step__3__create_your_songs_str.htm</translation>
    </message>
    <message>
        <source>FR/HTML/etape_4__appliquer_des_contrai.htm</source>
        <translation>EN/HTML/step__4__setting_constraints__.htm</translation>
    </message>
    <message>
        <source>FR/HTML/etape_5___regler_les_parametre.htm</source>
        <translation>EN/HTML/step__5___setting_the_general_.htm</translation>
    </message>
    <message>
        <source>FR/HTML/etape_6__creer_un_ou_plusieurs.htm</source>
        <translation>EN/HTML/step__6__creating_an_tovix_or_.htm</translation>
    </message>
    <message>
        <source>FR/HTML/etape_7___exportez_votre_fichi.htm</source>
        <translation>EN/HTML/step__7___exporting_tovra_file.htm</translation>
    </message>
</context>
<context>
    <name>KCheckAudioDlg</name>
    <message>
        <source>Fichier audio incorrect : </source>
        <translation>Audio file incorrect:</translation>
    </message>
    <message>
        <source>Dans la Piste : </source>
        <translation>In stem track:</translation>
    </message>
    <message>
        <source>Rechercher le Fichier</source>
        <translation>Search file</translation>
    </message>
    <message>
        <source>Effacer la Piste</source>
        <translation>Delete stem track</translation>
    </message>
    <message>
        <source>Chargement d'un projet Tovra</source>
        <translation>Load Tovra Project</translation>
    </message>
    <message>
        <source>Rechercher Fichier Audio</source>
        <translation>Search audio file</translation>
    </message>
    <message>
        <source>Fichier audio non supporté !</source>
        <translation>Audio file not supported</translation>
    </message>
</context>
<context>
    <name>KCheckBoxMultiDlg</name>
    <message>
        <source>Conversion d'une piste stéréo en mono</source>
        <translation>Stereo -&gt; Mono conversion</translation>
    </message>
    <message>
        <source>Pour convertir le fichier stéréo</source>
        <translation>To convert the stereo file:</translation>
    </message>
    <message>
        <source>en mono, vous souhaitez :</source>
        <translation>in mono, you can:</translation>
    </message>
    <message>
        <source>Ecraser le fichier stéréo existant</source>
        <translation>Overwrite existing stereo file</translation>
    </message>
    <message>
        <source>Créer un nouveau fichier avec un suffixe : </source>
        <translation>Create a new file with suffix: </translation>
    </message>
    <message>
        <source>Créer un nouveau fichier avec un autre nom</source>
        <translation>Create a new file with another name</translation>
    </message>
    <message>
        <source>Se souvenir de ma réponse</source>
        <translation>Remember answer</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>Ok</translation>
    </message>
    <message>
        <source>Annuler</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Suffixe incorrect : il doit être non vide et sans séparateur de dossier !</source>
        <translation>Incorrect suffix: it must not be empty nor name a folder!</translation>
    </message>
</context>
<context>
    <name>KParamsUI</name>
    <message>
        <source>Général</source>
        <translation>Basics</translation>
    </message>
    <message>
        <source>Pistes</source>
        <translation>Stem tracks</translation>
    </message>
    <message>
        <source>Conversion</source>
        <translation>Audio conversion</translation>
    </message>
    <message>
        <source>Langue</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>Mise à jour</source>
        <translation>Update</translation>
    </message>
    <message>
        <source>Vérifier et télécharger les mises à jour automatiquement au démarrage</source>
        <translation>Automatically check and download updates at start-up</translation>
    </message>
    <message>
        <source>Vérifier les mises à jour au démarrage sans les télécharger</source>
        <translation>Check updates at start-up (no download)</translation>
    </message>
    <message>
        <source>Vérifier les mises à jour manuellement</source>
        <translation>Check for updates manually</translation>
    </message>
    <message>
        <source>Pistes toujours allumées</source>
        <translation>Stem tracks always on</translation>
    </message>
    <message>
        <source>Lors de la selection de l'option</source>
        <translation>While selecting</translation>
    </message>
    <message>
        <source>toujours allumée</source>
        <translation>Track always on</translation>
    </message>
    <message>
        <source>sur une piste</source>
        <translation>option, you would like</translation>
    </message>
    <message>
        <source>Activer les contraintes de sélection pendant la création des Tovix</source>
        <translation>Activate selection constraints during Tovix creation</translation>
    </message>
    <message>
        <source>Activer les régles de volume pendant la création des Tovix</source>
        <translation>Activate mixing rules (volumes management) during Tovix creation</translation>
    </message>
    <message>
        <source>Import Stéréo</source>
        <translation>while importing</translation>
    </message>
    <message>
        <source>Lors de l'import d'un fichier stéréo :</source>
        <translation>During stereo file import:</translation>
    </message>
    <message>
        <source>toujours me demander quoi faire</source>
        <translation>Always ask</translation>
    </message>
    <message>
        <source>conserver le fichier stéréo</source>
        <translation>Do nothing</translation>
    </message>
    <message>
        <source>toujours convertir le fichier stéréo en mono</source>
        <translation>Always convert stereo file to mono</translation>
    </message>
    <message>
        <source>Conversion Stéréo</source>
        <translation>Stereo conversion</translation>
    </message>
    <message>
        <source>Lors d'une conversion d'un fichier stéréo en mono : </source>
        <translation>During stereo file conversion:</translation>
    </message>
    <message>
        <source>toujours écraser le fichier stéréo existant</source>
        <translation>Always overwrite existing file</translation>
    </message>
    <message>
        <source>toujours créer un nouveau fichier avec un suffix </source>
        <translation>Always create a new file with suffix</translation>
    </message>
    <message>
        <source>ex : C:/Mes Documents/Ma Musique/MonFichierAudio</source>
        <translation>e.g. C:/Mes Documents/Ma Musique/MonFichierAudio</translation>
    </message>
    <message>
        <source>.wav</source>
        <translation>.wav</translation>
    </message>
    <message>
        <source>toujours créer un nouveau fichier avec un autre nom</source>
        <translation>Always create a new file with another name</translation>
    </message>
</context>
<context>
    <name>KNotMuteLevelUI</name>
    <message>
        <source>Me demander quoi faire</source>
        <translation>to be asked every time</translation>
    </message>
    <message>
        <source>Ne pas définir de volume minimum</source>
        <translation>never define minimum volume</translation>
    </message>
    <message>
        <source>Volume minimum de la piste</source>
        <translation>to define stem track's minimum volume</translation>
    </message>
</context>
<context>
    <name>UpdateLauncher</name>
    <message>
        <source>Update</source>
        <translation>Update Tovra Sonaric Pro</translation>
    </message>
    <message>
        <source>Cannot start update !</source>
        <translation>Cannot start update!</translation>
    </message>
    <message>
        <source>Vérification des Mises à Jour</source>
        <translation>Check for update</translation>
    </message>
    <message>
        <source>Vous bénéficiez déjà de la dernière version !</source>
        <translation>Your version is already up to date!</translation>
    </message>
    <message>
        <source>Mise à Jour Tovra Sonaric Pro</source>
        <translation>Tovra Sonaric Pro update</translation>
    </message>
    <message>
        <source>Impossible d&apos;effectuer les mises à jour !</source>
        <translation>Unable to perform update!</translation>
    </message>
</context>
<context>
    <name>KCtrlFile</name>
    <message>
        <source>Création d'un groupe</source>
        <translation>Group creation</translation>
    </message>
    <message>
        <source>Création d'une exclusion</source>
        <translation>Exclusion creation</translation>
    </message>
    <message>
        <source>Création d'une implication</source>
        <translation>Implication creation</translation>
    </message>
    <message>
        <source>Modification d'un groupe</source>
        <translation>Modify a group...</translation>
    </message>
    <message>
        <source>Suppression d'un groupe</source>
        <translation>Delete a group...</translation>
    </message>
    <message>
        <source>Suppression d'une contrainte</source>
        <translation>Delete a constraint...</translation>
    </message>
    <message>
        <source>Suppresion d'un élément</source>
        <translation>Delete an element...</translation>
    </message>
    <message>
        <source>Chargement d'un fichier Projet Tovra</source>
        <translation>Load an Tovra project</translation>
    </message>
    <message>
        <source>Création d'un élément toujours allumé</source>
        <translation>Create an &quot;always on&quot; element</translation>
    </message>
    <message>
        <source>La création de ce groupe implique que certaines pistes ne pourront être écoutées à la lecture du fichier Tovra.</source>
        <translation>This group creation imply that some tracks cannot be listenning with Tovra File!</translation>
    </message>
    <message>
        <source>La création de cette contrainte implique que certaines pistes ne pourront être écoutées à la lecture du fichier Tovra.</source>
        <translation>This constraint creation imply that some tracks cannot be listenning with Tovra File!</translation>
    </message>
    <message>
        <source>La modification de ce groupe implique que certaines pistes ne pourront être écoutées à la lecture du fichier Tovra.</source>
        <translation>This group modification imply that some tracks cannot be listenning with Tovra File!</translation>
    </message>
    <message>
        <source>Malgré la suppression de ce groupe, certaines pistes ne pourront être écoutées à la lecture du fichier Tovra.</source>
        <translation>Although this group deleting, some tracks cannot be listenning with Tovra File!</translation>
    </message>
    <message>
        <source>Malgré la suppression de cette contrainte, certaines pistes ne pourront être écoutées à la lecture du fichier Tovra.</source>
        <translation>Although this constraint deleting, some tracks cannot be listenning with Tovra File!</translation>
    </message>
    <message>
        <source>Malgré la suppression de cet element, certaines pistes ne pourront être écoutées à la lecture du fichier Tovra.</source>
        <translation>Although this element deleting, some tracks cannot be listenning with Tovra File!</translation>
    </message>
    <message>
        <source>L'organisation des contraintes du fichier projet implique que certaines pistes ne pourront être écoutées à la lecture du fichier Tovra.</source>
        <translation>This file constraints organization imply that some tracks cannot be listenning with Tovra File!</translation>
    </message>
    <message>
        <source>La création de cette contrainte imlique que
</source>
        <translation>This constraint creation implies
</translation>
    </message>
    <message>
        <source>certaines pistes ne pourront jamais être écoutées</source>
        <translation>that some stem tracks will not be playable</translation>
    </message>
    <message>
        <source>Impossible de créer le groupe : des contraintes déjà existantes sont contradictoires avec ce nouveau groupe !</source>
        <translation>Cannot create this group: some existed constraints are contradictories with this new group!</translation>
    </message>
    <message>
        <source>Impossible de créer la contrainte : des contraintes déjà existantes sont contradictoires avec cette nouvelle contrainte !</source>
        <translation>Cannot create this constraint: some existed constraints are contradictories with this new constraint!</translation>
    </message>
    <message>
        <source>Impossible de modifier le groupe : des contraintes déjà existantes sont contradictoires avec les modifications sur ce groupe !</source>
        <translation>Cannot modify this group: some existed constraints are contradictories with this group modifications!</translation>
    </message>
    <message>
        <source>Impossible de supprimer le groupe : des contraintes sont contradictoires</source>
        <translation>Cannot delete this group: some constraints are conflicting!</translation>
    </message>
    <message>
        <source>Impossible de supprimer cette contrainte : des contraintes sont contradictoires</source>
        <translation>Cannot delete this constraint: some constraints are conflicting!</translation>
    </message>
    <message>
        <source>Impossible de supprimer cette élément : des contraintes sont contradictoires</source>
        <translation>Cannot delete this element: some constraints are conflicting!</translation>
    </message>
    <message>
        <source>Impossible de charger ce fichier projet : des contraintes sont contradictoires</source>
        <translation>Cannot load this project file: some constraints are conflicting!</translation>
    </message>
    <message>
        <source>Impossible de créer cette contrainte :
</source>
        <translation>Cannot create constraint:
</translation>
    </message>
    <message>
        <source>Aucune piste ne peut être allumée en respectant les contraintes.</source>
        <translation>Playback of all stem tracks impossible respecting constraints.</translation>
    </message>
</context>
<context>
    <name>EltPropUI</name>
    <message>
        <source>Importer une piste</source>
        <translation>Import a stem track</translation>
    </message>
    <message>
        <source>Import d&apos;une piste</source>
        <translation>Import of a stem track</translation>
    </message>
    <message>
        <source>Impossible d&apos;associer le fichier audio </source>
        <translation>Impossible to link audio file </translation>
    </message>
    <message>
        <source> avec la piste </source>
        <translation> with stem track </translation>
    </message>
    <message>
        <source>Vous venez de sélectionner l&apos;option &quot;Piste toujours allumée&quot;.</source>
        <translation>You have selected the &quot;Stem track always on&quot; option.</translation>
    </message>
    <message>
        <source>L&apos;auditeur ne pourra donc pas la désactiver.</source>
        <translation>The user will therefore be unable to deactivate it.</translation>
    </message>
    <message>
        <source>Vous ne pourrez pas y ajouter de contraintes de sélection (exclusion, implication).</source>
        <translation>You will not be able to add selection constraints (exclusion, implication).</translation>
    </message>
    <message>
        <source>Toutefois, l&apos;auditeur pourra modifier le volume de cette piste.</source>
        <translation>However, the user will be able to modify the stem tracks&apos; volume.</translation>
    </message>
    <message>
        <source>Souhaitez-vous définir un volume minimum ?</source>
        <translation>Would you like to define a minimum volume?</translation>
    </message>
    <message>
        <source>Piste toujours allumée</source>
        <translation>Stem track always on</translation>
    </message>
    <message>
        <source>Se souvenir de ma réponse</source>
        <translation>Remember answer</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>Ok</translation>
    </message>
    <message>
        <source>Annuler</source>
        <translation>Cancel</translation>
    </message>
</context>
</TS>
