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
            <source>fichier introuvable</source>
            <translation>file not found</translation>
        </message>
        <message>
            <source>ce n&apos;est pas un fichier</source>
            <translation>not a file</translation>
        </message>
        <message>
            <source>lecture refusée</source>
            <translation>reading not allowed</translation>
        </message>
        <message>
            <source>fichier vide</source>
            <translation>empty file</translation>
        </message>
        <message>
            <source>ce n&apos;est pas un fichier audio</source>
            <translation>not an audio file</translation>
        </message>
        <message>
            <source>données audio endommagées ou codage non pris en charge</source>
            <translation>damaged audio data or unsupported encoding</translation>
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
        <message>
            <source>Fichiers Wave</source>
            <translation>Wave files</translation>
        </message>
        <message>
            <source>Fichiers AIFF</source>
            <translation>AIFF files</translation>
        </message>
        <message>
            <source>Fichiers FLAC</source>
            <translation>FLAC files</translation>
        </message>
        <message>
            <source>Fichiers OGG-Vorbis</source>
            <translation>Ogg Vorbis files</translation>
        </message>
        <message>
            <source>Fichiers MPEG</source>
            <translation>MPEG files</translation>
        </message>
        <message>
            <source>Fichiers AU</source>
            <translation>AU files</translation>
        </message>
        <message>
            <source>Fichiers CAF</source>
            <translation>CAF files</translation>
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
            <source>Export</source>
            <translation>Export</translation>
        </message>
        <message>
            <source>Les propriétés du morceau n'ont pas pu être enregistrées : chaque propriété a besoin d'un nom et d'une valeur.</source>
            <translation>The song properties could not be stored: every property needs a name and a value.</translation>
        </message>
        <message>
            <source>Le fichier de destination est une piste du projet : choisissez un autre fichier !</source>
            <translation>The target file is a stem track of the project: please choose another file!</translation>
        </message>
        <message>
            <source>Export en Tovra</source>
            <translation>Export to Tovra</translation>
        </message>
        <message>
            <source>Export en Tovra terminé avec succès.</source>
            <translation>Export successful</translation>
        </message>
        <message>
            <source>L'export en Tovra a échoué !</source>
            <translation>Export to Tovra failed!</translation>
        </message>
        <message>
            <source>Export d'un Tovix</source>
            <translation>Export your Tovix</translation>
        </message>
        <message>
            <source>Export de l'Tovix "</source>
            <translation>Tovix export "</translation>
        </message>
        <message>
            <source>" terminé avec succès.</source>
            <translation>" successful</translation>
        </message>
        <message>
            <source>L'export de l'Tovix "</source>
            <translation>Tovix export "</translation>
        </message>
        <message>
            <source>" a échoué !</source>
            <translation>" has failed</translation>
        </message>
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
            <source>Projets Tovra Sonaric</source>
            <translation>Tovra Sonaric projects</translation>
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
            <source>Ce projet imbrique ses groupes sur %1 niveaux ; l'éditeur en montre au plus %2.</source>
            <translation>This project nests its groups %1 levels deep; the editor shows at most %2 levels.</translation>
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
        <message>
            <source>Supprimer un groupe</source>
            <translation>Delete group...</translation>
        </message>
        <message>
            <source>Supprimer le groupe sélectionné ?</source>
            <translation>Delete selected group?</translation>
        </message>
        <message>
            <source>Nom</source>
            <translation>Name</translation>
        </message>
        <message>
            <source>Propriété de la piste</source>
            <translation>Stem track properties</translation>
        </message>
        <message>
            <source>Changement de fichier d'une piste</source>
            <translation>Select a new source file</translation>
        </message>
        <message>
            <source>Erreur durant le changement de fichier !</source>
            <translation>Error in source file location</translation>
        </message>
        <message>
            <source>Renommage d'une piste</source>
            <translation>Rename stem track</translation>
        </message>
        <message>
            <source>Erreur durant le renommage de la piste !</source>
            <translation>Error renaming stem track</translation>
        </message>
        <message>
            <source>Supprimer des pistes</source>
            <translation>Delete stem tracks</translation>
        </message>
        <message>
            <source>Supprimer les pistes sélectionnées ?</source>
            <translation>Delete selected stem track(s)</translation>
        </message>
        <message>
            <source>Ces règles seront supprimées avec elles :</source>
            <translation>These rules are deleted with them:</translation>
        </message>
        <message>
            <source>Implication : %1 implique %2</source>
            <translation>Implication: %1 implies %2</translation>
        </message>
        <message>
            <source>Exclusion : %1 et %2</source>
            <translation>Exclusion: %1 and %2</translation>
        </message>
        <message>
            <source>Importer des pistes</source>
            <translation>Import stem tracks</translation>
        </message>
        <message>
            <source>Import des pistes terminé.</source>
            <translation>Imported stem track(s)!</translation>
        </message>
        <message>
            <source>Echec de l'import des pistes !</source>
            <translation>Stem tracks import failure</translation>
        </message>
        <message>
            <source>Conversion de fichiers stéréo</source>
            <translation>Stereo -&gt; Mono conversion</translation>
        </message>
        <message>
            <source>Se souvenir de ma réponse</source>
            <translation>Remember answer</translation>
        </message>
        <message>
            <source>Convertir</source>
            <translation>Convert</translation>
        </message>
        <message>
            <source>Ignorer</source>
            <translation>Ignore</translation>
        </message>
        <message>
            <source>Ignorer tout</source>
            <translation>Ignore all</translation>
        </message>
        <message>
            <source>La piste </source>
            <translation>The stem track </translation>
        </message>
        <message>
            <source> est en stéréo.
</source>
            <translation> is stereo.
</translation>
        </message>
        <message>
            <source>(fichier : </source>
            <translation>(file: </translation>
        </message>
        <message>
            <source>Nous recommandons d'utiliser des fichiers mono dans un projet Tovra Sonaric.
</source>
            <translation>It is recommended to use mono files in a Tovra Sonaric project.
</translation>
        </message>
        <message>
            <source>Souhaitez-vous convertir votre fichier stéréo en fichier mono ?</source>
            <translation>Would you like to convert your stereo file to mono?</translation>
        </message>
        <message>
            <source>Conversion d'une piste stéréo en mono</source>
            <translation>Stereo -&gt; Mono conversion</translation>
        </message>
        <message>
            <source>Fichier Wave</source>
            <translation>Wave file</translation>
        </message>
        <message>
            <source>Fichier Aiff</source>
            <translation>Aiff file</translation>
        </message>
        <message>
            <source>Fichier AU</source>
            <translation>AU file</translation>
        </message>
        <message>
            <source>Erreur durant la conversion !</source>
            <translation>Error during conversion!</translation>
        </message>
        <message>
            <source>La piste ne peut pas lire le fichier converti : </source>
            <translation>The stem track cannot read the converted file: </translation>
        </message>
        <message>
            <source>)
</source>
            <translation>)
</translation>
        </message>
    </context>
    <context>
        <name>TVRAction</name>
        <message>
            <source>Ouverture d'une page</source>
            <translation>Opening a page</translation>
        </message>
        <message>
            <source>La page n'a pas pu être ouverte. Vous la trouverez ici :</source>
            <translation>The page could not be opened. You will find it here:</translation>
        </message>
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
            <translation>Create a Tovix</translation>
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
            <translation>Create a mixing rule</translation>
        </message>
        <message>
            <source>Création d'un Tovix</source>
            <translation>Create a Tovix</translation>
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
            <translation>Audio file not found:</translation>
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
            <translation>Stereo import</translation>
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
            <source>ex : ~/Musique/MonFichierAudio</source>
            <translation>e.g. ~/Music/MyAudioFile</translation>
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
            <source>Les informations de mise à jour reçues de %1 n&apos;ont pas pu être lues.</source>
            <translation>The update information received from %1 could not be read.</translation>
        </message>
        <message>
            <source>Mise à Jour Tovra Sonaric Pro</source>
            <translation>Tovra Sonaric Pro update</translation>
        </message>
        <message>
            <source>Impossible d'effectuer les mises à jour !</source>
            <translation>Unable to perform update!</translation>
        </message>
        <message>
            <source>Impossible de mettre à jour le logiciel automatiquement.</source>
            <translation>The program cannot be updated automatically.</translation>
        </message>
        <message>
            <source>Pour mettre à jour votre logiciel, merci de télécharger</source>
            <translation>To update your program, please download</translation>
        </message>
        <message>
            <source>manuellemment le programme de mise à jour.</source>
            <translation>the update program by hand.</translation>
        </message>
        <message>
            <source>Télécharger le programme de mise à jour maintenant ?</source>
            <translation>Download the update program now?</translation>
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
            <translation>Load a Tovra project</translation>
        </message>
        <message>
            <source>Création d'un élément toujours allumé</source>
            <translation>Create an "always on" element</translation>
        </message>
        <message>
            <source>La création de ce groupe implique que certaines pistes ne pourront être écoutées à la lecture du fichier Tovra.</source>
            <translation>This group creation means that some tracks cannot be heard in the Tovra file!</translation>
        </message>
        <message>
            <source>La création de cette contrainte implique que certaines pistes ne pourront être écoutées à la lecture du fichier Tovra.</source>
            <translation>This constraint creation means that some tracks cannot be heard in the Tovra file!</translation>
        </message>
        <message>
            <source>La modification de ce groupe implique que certaines pistes ne pourront être écoutées à la lecture du fichier Tovra.</source>
            <translation>This group modification means that some tracks cannot be heard in the Tovra file!</translation>
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
            <translation>This arrangement of the file's constraints means that some tracks cannot be heard in the Tovra file!</translation>
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
        <name>ExportUI</name>
        <message>
            <source>Exporter en Tovra</source>
            <translation>Export to Tovra</translation>
        </message>
        <message>
            <source>Exporter en MP3, WAVE, AIFF, ...</source>
            <translation>Export to MP3, WAVE, AIFF, ...</translation>
        </message>
        <message>
            <source>Fichier</source>
            <translation>File</translation>
        </message>
        <message>
            <source>Options d'export</source>
            <translation>Export options</translation>
        </message>
        <message>
            <source>Fréquence d'échantillonnage</source>
            <translation>Sampling frequency</translation>
        </message>
        <message>
            <source>Format des pistes</source>
            <translation>Stem tracks format</translation>
        </message>
        <message>
            <source>Exporter</source>
            <translation>Export</translation>
        </message>
        <message>
            <source>Exporter un Tovix</source>
            <translation>Export a Tovix</translation>
        </message>
        <message>
            <source>Cliquer sur le bouton pour sélectionner un fichier d'export &gt;</source>
            <translation>Click button to name file &gt;</translation>
        </message>
        <message>
            <source>Tovix par défaut</source>
            <translation>Default Tovix</translation>
        </message>
        <message>
            <source>Tovix aléatoire</source>
            <translation>Create random Tovix</translation>
        </message>
        <message>
            <source>Toutes les pistes</source>
            <translation>All stem tracks ON at file launch</translation>
        </message>
        <message>
            <source>Tovix à exporter</source>
            <translation>Select your Tovix</translation>
        </message>
        <message>
            <source>Export</source>
            <translation>Export</translation>
        </message>
        <message>
            <source>Aucune piste dans la structure !</source>
            <translation>No audio file available in the tracks library (structure tab)!</translation>
        </message>
        <message>
            <source>Vous devez spécifier un fichier de destination !</source>
            <translation>Please, choose a target file!</translation>
        </message>
        <message>
            <source>Le fichier "%1" existe déjà. Voulez-vous le remplacer ?</source>
            <translation>The file "%1" already exists. Do you want to replace it?</translation>
        </message>
        <message>
            <source>Bibliothèque des Pistes</source>
            <translation>Stem tracks library</translation>
        </message>
    </context>
    <context>
        <name>WdgFmtVorbis</name>
        <message>
            <source>Meilleure compression</source>
            <translation>Best compression</translation>
        </message>
        <message>
            <source>Meilleure qualité</source>
            <translation>Best quality</translation>
        </message>
        <message>
            <source>Qualité de compression</source>
            <translation>Compression quality</translation>
        </message>
        <message>
            <source>Compressé</source>
            <translation>Compressed</translation>
        </message>
    </context>
    <context>
        <name>KParamsDlg</name>
        <message>
            <source>Paramètres</source>
            <translation>Parameters</translation>
        </message>
        <message>
            <source>Impossible d'enregistrer la langue dans le fichier "%1" : la langue de l'interface ne changera pas.</source>
            <translation>Cannot store the language in the file "%1": the interface language will not change.</translation>
        </message>
        <message>
            <source>Le redémarrage du logiciel est nécessaire pour prendre en compte les changements.</source>
            <translation>The application needs to restart to take changes into account.</translation>
        </message>
    </context>
    <context>
        <name>DlgOpenSonaric</name>
        <message>
            <source>Projet Tovra</source>
            <translation>New Tovra project</translation>
        </message>
        <message>
            <source>Cliquer ici pour créer un nouveau projet Tovra</source>
            <translation>Click here to create a new Tovra project</translation>
        </message>
        <message>
            <source>Ouvrir...</source>
            <translation>Open...</translation>
        </message>
        <message>
            <source>Cliquer ici pour rechercher un projet Tovra existant</source>
            <translation>Click here to search for an existing Tovra project</translation>
        </message>
        <message>
            <source>Lire les dernières news</source>
            <translation>Read the latest news</translation>
        </message>
        <message>
            <source>Cliquer ici pour lire les dernières news à propos de Tovra Sonaric</source>
            <translation>Click here to read news about Tovra Sonaric</translation>
        </message>
        <message>
            <source>Lire la documentation</source>
            <translation>Read the documentation</translation>
        </message>
        <message>
            <source>Cliquer ici pour ouvrir la documentation de Tovra Sonaric</source>
            <translation>Click here to open Tovra Sonaric documentation</translation>
        </message>
        <message>
            <source>Le fichier existe déjà. Voulez-vous le remplacer ?</source>
            <translation>The file already exists. Do you want to replace it?</translation>
        </message>
    </context>
    <context>
        <name>DockWidgetWithToolBar</name>
        <message>
            <source>Bibliothèque des Pistes</source>
            <translation>Stem tracks library</translation>
        </message>
    </context>
    <context>
        <name>DWProjectProperties</name>
        <message>
            <source>Titre :</source>
            <translation>Title:</translation>
        </message>
        <message>
            <source>Auteur :</source>
            <translation>Author:</translation>
        </message>
        <message>
            <source>Copyright :</source>
            <translation>Copyright:</translation>
        </message>
        <message>
            <source>Album :</source>
            <translation>Album:</translation>
        </message>
        <message>
            <source>Style :</source>
            <translation>Genre:</translation>
        </message>
        <message>
            <source>Année :</source>
            <translation>Year:</translation>
        </message>
        <message>
            <source>Lien du groupe :</source>
            <translation>Band link:</translation>
        </message>
        <message>
            <source>Réinitialiser</source>
            <translation>Reset</translation>
        </message>
    </context>
    <context>
        <name>DlgExportToTovraUI</name>
        <message>
            <source>Exporter en Tovra</source>
            <translation>Export to Tovra</translation>
        </message>
        <message>
            <source>Tovix par défaut</source>
            <translation>Default Tovix</translation>
        </message>
        <message>
            <source>Tovix aléatoire</source>
            <translation>Create random Tovix</translation>
        </message>
        <message>
            <source>Toutes les pistes</source>
            <translation>All stem tracks ON at file launch</translation>
        </message>
        <message>
            <source>Format des pistes</source>
            <translation>Stem tracks format</translation>
        </message>
        <message>
            <source>Fréquence d'échantillonnage</source>
            <translation>Sampling frequency</translation>
        </message>
        <message>
            <source>Fichier</source>
            <translation>File</translation>
        </message>
        <message>
            <source>Exporter</source>
            <translation>Export</translation>
        </message>
        <message>
            <source>Annuler</source>
            <translation>Cancel</translation>
        </message>
        <message>
            <source>Vous devez spécifier un fichier de destination !</source>
            <translation>Please, choose a target file!</translation>
        </message>
        <message>
            <source>Aucun format d'export disponible !</source>
            <translation>No export format available!</translation>
        </message>
        <message>
            <source>Le fichier existe déjà. Voulez-vous le remplacer ?</source>
            <translation>The file already exists. Do you want to replace it?</translation>
        </message>
        <message>
            <source>Exporter en MP3, WAVE, AIFF, ...</source>
            <translation>Export to MP3, WAVE, AIFF, ...</translation>
        </message>
        <message>
            <source>Options d'export</source>
            <translation>Export options</translation>
        </message>
        <message>
            <source>Exporter un Tovix</source>
            <translation>Export a Tovix</translation>
        </message>
        <message>
            <source>Cliquer sur le bouton pour sélectionner un fichier d'export &gt;</source>
            <translation>Click button to name file &gt;</translation>
        </message>
        <message>
            <source>Tovix à exporter</source>
            <translation>Select your Tovix</translation>
        </message>
        <message>
            <source>Export</source>
            <translation>Export</translation>
        </message>
        <message>
            <source>Aucune piste dans la structure !</source>
            <translation>No audio file available in the tracks library (structure tab)!</translation>
            <source>Format des pistes</source>
            <translation>Stem tracks format</translation>
        </message>
        <message>
            <source>Le fichier "%1" existe déjà. Voulez-vous le remplacer ?</source>
            <translation>The file "%1" already exists. Do you want to replace it?</translation>
        </message>
    </context>
    <context>
        <name>TovraExportThread</name>
        <message>
            <source>L'export s'est terminé avec succès !</source>
            <translation>Export successful!</translation>
        </message>
        <message>
            <source>Export annulé !</source>
            <translation>Export canceled!</translation>
        </message>
        <message>
            <source>Erreur durant l'export en Tovra</source>
            <translation>Error while exporting to Tovra</translation>
        </message>
    </context>
    <context>
        <name>PreMixView</name>
        <message>
            <source>Créer ...</source>
            <translation>Create a mixing rule</translation>
        </message>
        <message>
            <source>   Console de mixage   </source>
            <translation>  Mixing Console</translation>
        </message>
    </context>
    <context>
        <name>ExcluWidget</name>
        <message>
            <source>Implication</source>
            <translation>Implications</translation>
        </message>
        <message>
            <source>Exclusion</source>
            <translation>Exclusions</translation>
        </message>
        <message>
            <source>Elément 1</source>
            <translation>Element 1</translation>
        </message>
        <message>
            <source>Elément 2</source>
            <translation>Element 2</translation>
        </message>
        <message>
            <source>Description</source>
            <translation>Description (optional)</translation>
        </message>
    </context>
    <context>
        <name>DlgCreateConstt</name>
        <message>
            <source>Elément</source>
            <translation>Element</translation>
        </message>
        <message>
            <source>Description</source>
            <translation>Description</translation>
        </message>
        <message>
            <source>La réciproque est vraie</source>
            <translation>The inverse does work</translation>
        </message>
        <message>
            <source>Annuler</source>
            <translation>Cancel</translation>
        </message>
        <message>
            <source>Ok</source>
            <translation>Ok</translation>
        </message>
        <message>
            <source>Créer une exclusion</source>
            <translation>Create exclusion</translation>
        </message>
        <message>
            <source>Créer une implication</source>
            <translation>Create implication</translation>
        </message>
        <message>
            <source>Erreur</source>
            <translation>Error</translation>
        </message>
        <message>
            <source>Elément(s) non valide(s) !</source>
            <translation>Invalid element(s)</translation>
        </message>
        <message>
            <source>Impossible de créer cette contrainte !</source>
            <translation>Can't create constraint</translation>
        </message>
    </context>
    <context>
        <name>EltPropUI</name>
        <message>
            <source>Importer une piste</source>
            <translation>Import a stem track</translation>
        </message>
        <message>
            <source>Import d'une piste</source>
            <translation>Import of a stem track</translation>
        </message>
        <message>
            <source>Impossible d'associer le fichier audio </source>
            <translation>Impossible to link audio file </translation>
        </message>
        <message>
            <source> avec la piste </source>
            <translation> with stem track </translation>
        </message>
        <message>
            <source>Vous venez de sélectionner l'option "Piste toujours allumée".</source>
            <translation>You have selected the "Stem track always on" option.</translation>
        </message>
        <message>
            <source>L'auditeur ne pourra donc pas la désactiver.</source>
            <translation>The user will therefore be unable to deactivate it.</translation>
        </message>
        <message>
            <source>Vous ne pourrez pas y ajouter de contraintes de sélection (exclusion, implication).</source>
            <translation>You will not be able to add selection constraints (exclusion, implication).</translation>
        </message>
        <message>
            <source>Toutefois, l'auditeur pourra modifier le volume de cette piste.</source>
            <translation>However, the user will be able to modify the stem tracks' volume.</translation>
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
    <context>
        <name>DlgHttpDownLoad</name>
        <message>
            <source>Annuler</source>
            <translation>Cancel</translation>
        </message>
        <message>
            <source>Veuillez patienter pendant la connexion au serveur...</source>
            <translation>Please wait while connecting to the server...</translation>
        </message>
        <message>
            <source>Connexion au serveur</source>
            <translation>Connecting to the server</translation>
        </message>
        <message>
            <source>serveur</source>
            <translation>server</translation>
        </message>
        <message>
            <source>Recherche de nouvelles versions...</source>
            <translation>Checking for new versions...</translation>
        </message>
        <message>
            <source>Impossible de rechercher de nouvelles versions sur %1 : %2</source>
            <translation>Unable to check for new versions on %1: %2</translation>
        </message>
        <message>
            <source>le serveur n'a pas tout envoyé dans le temps imparti</source>
            <translation>the server did not send everything in time</translation>
        </message>
        <message>
            <source>le fichier %1 ne peut pas être écrit</source>
            <translation>the file %1 cannot be written</translation>
        </message>
        <message>
            <source>le serveur a répondu %1</source>
            <translation>the server answered %1</translation>
        </message>
        <message>
            <source>la réponse dépasse %1 octets</source>
            <translation>the answer is larger than %1 bytes</translation>
        </message>
        <message>
            <source>le serveur n'a rien répondu</source>
            <translation>the server gave no answer</translation>
        </message>
    </context>
    <context>
        <name>DlgUpdate</name>
        <message>
            <source>Une nouvelle version de ce logiciel est disponible sur le web.</source>
            <translation>A new version of this program is available on the web.</translation>
        </message>
        <message>
            <source>Annuler</source>
            <translation>Cancel</translation>
        </message>
        <message>
            <source>Mettre à jour</source>
            <translation>Update</translation>
        </message>
        <message>
            <source>Plus d&apos;informations</source>
            <translation>More information</translation>
        </message>
        <message>
            <source>Recherche de nouvelles versions...</source>
            <translation>Checking for new versions...</translation>
        </message>
        <message>
            <source>Une nouvelle version d&apos;</source>
            <translation>A new version of </translation>
        </message>
        <message>
            <source> est disponible sur </source>
            <translation> is available on </translation>
        </message>
        <message>
            <source>.</source>
            <translation>.</translation>
        </message>
        <message>
            <source>Impossible de télécharger le fichier !</source>
            <translation>Unable to download the file!</translation>
        </message>
    </context>
</TS>
