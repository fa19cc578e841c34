<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR" sourcelanguage="fr_FR">
    <context>
        <name>ImportAudioThread</name>
        <message>
            <source>Initialisation de l'import...</source>
            <translation>Initialisation de l'import...</translation>
        </message>
        <message>
            <source>Importer une piste</source>
            <translation>Importer une piste</translation>
        </message>
        <message>
            <source>Erreur : impossible d'importer la piste</source>
            <translation>Erreur : impossible d'importer la piste</translation>
        </message>
        <message>
            <source>fichier introuvable</source>
            <translation>fichier introuvable</translation>
        </message>
        <message>
            <source>ce n&apos;est pas un fichier</source>
            <translation>ce n&apos;est pas un fichier</translation>
        </message>
        <message>
            <source>lecture refusée</source>
            <translation>lecture refusée</translation>
        </message>
        <message>
            <source>fichier vide</source>
            <translation>fichier vide</translation>
        </message>
        <message>
            <source>ce n&apos;est pas un fichier audio</source>
            <translation>ce n&apos;est pas un fichier audio</translation>
        </message>
        <message>
            <source>données audio endommagées ou codage non pris en charge</source>
            <translation>données audio endommagées ou codage non pris en charge</translation>
        </message>
        <message>
            <source>Piste audio importée !</source>
            <translation>Piste audio importée !</translation>
        </message>
        <message>
            <source>Import interrompu</source>
            <translation>Import interrompu</translation>
        </message>
    </context>
    <context>
        <name>QObject</name>
        <message>
            <source>Chargement des images...</source>
            <translation>Chargement des images...</translation>
        </message>
        <message>
            <source>Erreur</source>
            <translation>Erreur</translation>
        </message>
        <message>
            <source>Fichier introuvable : </source>
            <translation>Fichier introuvable : </translation>
        </message>
        <message>
            <source>Fichier illisible : </source>
            <translation>Fichier illisible : </translation>
        </message>
        <message>
            <source>Dénoyautage des olives...</source>
            <translation>Dénoyautage des olives...</translation>
        </message>
        <message>
            <source>Création de la fenêtre principale...</source>
            <translation>Création de la fenêtre principale...</translation>
        </message>
        <message>
            <source>Gestion des arguments...</source>
            <translation>Gestion des arguments...</translation>
        </message>
        <message>
            <source>Fin du chargement...</source>
            <translation>Fin du chargement...</translation>
        </message>
    </context>
    <context>
        <name>SonaricParams</name>
        <message>
            <source>Fichiers audio</source>
            <translation>Fichiers audio</translation>
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
            <translation>Contraintes</translation>
        </message>
        <message>
            <source>Règles de mixage</source>
            <translation>Règles de mixage</translation>
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
            <source>Le fichier de destination est une piste du projet : choisissez un autre fichier !</source>
            <translation>Le fichier de destination est une piste du projet : choisissez un autre fichier !</translation>
        </message>
        <message>
            <source>Export en Tovra</source>
            <translation>Export en Tovra</translation>
        </message>
        <message>
            <source>Export en Tovra terminé avec succès.</source>
            <translation>Export en Tovra terminé avec succès.</translation>
        </message>
        <message>
            <source>L'export en Tovra a échoué !</source>
            <translation>L'export en Tovra a échoué !</translation>
        </message>
        <message>
            <source>Export d'un Tovix</source>
            <translation>Export d'un Tovix</translation>
        </message>
        <message>
            <source>Export de l'Tovix "</source>
            <translation>Export de l'Tovix "</translation>
        </message>
        <message>
            <source>" terminé avec succès.</source>
            <translation>" terminé avec succès.</translation>
        </message>
        <message>
            <source>L'export de l'Tovix "</source>
            <translation>L'export de l'Tovix "</translation>
        </message>
        <message>
            <source>" a échoué !</source>
            <translation>" a échoué !</translation>
        </message>
        <message>
            <source>Voulez-vous enregistrer votre projet Tovra ?</source>
            <translation>Voulez-vous enregistrer votre projet Tovra ?</translation>
        </message>
        <message>
            <source>Nouveau projet</source>
            <translation>Nouveau projet</translation>
        </message>
        <message>
            <source>Ouvrir un projet</source>
            <translation>Ouvrir un projet</translation>
        </message>
        <message>
            <source>Projets Tovra Sonaric</source>
            <translation>Projets Tovra Sonaric</translation>
        </message>
        <message>
            <source>Fermer un projet</source>
            <translation>Fermer un projet</translation>
        </message>
        <message>
            <source>Erreur : impossible d'ouvrir le projet !</source>
            <translation>Erreur : impossible d'ouvrir le projet !</translation>
        </message>
        <message>
            <source>Erreur</source>
            <translation>Erreur</translation>
        </message>
        <message>
            <source>Impossible d'ouvrir le projet !</source>
            <translation>Impossible d'ouvrir le projet !</translation>
        </message>
        <message>
            <source>Ce projet imbrique ses groupes sur %1 niveaux ; l'éditeur en montre au plus %2.</source>
            <translation>Ce projet imbrique ses groupes sur %1 niveaux ; l'éditeur en montre au plus %2.</translation>
        </message>
        <message>
            <source>Sauvegarder un projet</source>
            <translation>Sauvegarder un projet</translation>
        </message>
        <message>
            <source>Erreur : impossible de sauvegarder le projet !</source>
            <translation>Erreur : impossible de sauvegarder le projet !</translation>
        </message>
        <message>
            <source>[Sans Titre]</source>
            <translation>[Sans Titre]</translation>
        </message>
        <message>
            <source>Bibliothèque des pistes</source>
            <translation>Bibliothèque des pistes</translation>
        </message>
        <message>
            <source>Structure</source>
            <translation>Structure</translation>
        </message>
        <message>
            <source>Fichier</source>
            <translation>Fichier</translation>
        </message>
        <message>
            <source>Projet</source>
            <translation>Projet</translation>
        </message>
        <message>
            <source>Affichage</source>
            <translation>Affichage</translation>
        </message>
        <message>
            <source>Outils</source>
            <translation>Outils</translation>
        </message>
        <message>
            <source>?</source>
            <translation>?</translation>
        </message>
        <message>
            <source>Quitter</source>
            <translation>Quitter</translation>
        </message>
        <message>
            <source>Voulez-vous sauvegarder votre projet avant de quitter ?</source>
            <translation>Voulez-vous sauvegarder votre projet avant de quitter ?</translation>
        </message>
        <message>
            <source>Propriétés de la piste</source>
            <translation>Propriétés de la piste</translation>
        </message>
        <message>
            <source>Ma musique</source>
            <translation>Ma musique</translation>
        </message>
        <message>
            <source>Supprimer un groupe</source>
            <translation>Supprimer un groupe</translation>
        </message>
        <message>
            <source>Supprimer le groupe sélectionné ?</source>
            <translation>Supprimer le groupe sélectionné ?</translation>
        </message>
        <message>
            <source>Nom</source>
            <translation>Nom</translation>
        </message>
        <message>
            <source>Propriété de la piste</source>
            <translation>Propriété de la piste</translation>
        </message>
        <message>
            <source>Changement de fichier d'une piste</source>
            <translation>Changement de fichier d'une piste</translation>
        </message>
        <message>
            <source>Erreur durant le changement de fichier !</source>
            <translation>Erreur durant le changement de fichier !</translation>
        </message>
        <message>
            <source>Renommage d'une piste</source>
            <translation>Renommage d'une piste</translation>
        </message>
        <message>
            <source>Erreur durant le renommage de la piste !</source>
            <translation>Erreur durant le renommage de la piste !</translation>
        </message>
        <message>
            <source>Supprimer des pistes</source>
            <translation>Supprimer des pistes</translation>
        </message>
        <message>
            <source>Supprimer les pistes sélectionnées ?</source>
            <translation>Supprimer les pistes sélectionnées ?</translation>
        </message>
        <message>
            <source>Ces règles seront supprimées avec elles :</source>
            <translation>Ces règles seront supprimées avec elles :</translation>
        </message>
        <message>
            <source>Implication : %1 implique %2</source>
            <translation>Implication : %1 implique %2</translation>
        </message>
        <message>
            <source>Exclusion : %1 et %2</source>
            <translation>Exclusion : %1 et %2</translation>
        </message>
        <message>
            <source>Importer des pistes</source>
            <translation>Importer des pistes</translation>
        </message>
        <message>
            <source>Import des pistes terminé.</source>
            <translation>Import des pistes terminé.</translation>
        </message>
        <message>
            <source>Echec de l'import des pistes !</source>
            <translation>Echec de l'import des pistes !</translation>
        </message>
        <message>
            <source>Conversion de fichiers stéréo</source>
            <translation>Conversion de fichiers stéréo</translation>
        </message>
        <message>
            <source>Se souvenir de ma réponse</source>
            <translation>Se souvenir de ma réponse</translation>
        </message>
        <message>
            <source>Convertir</source>
            <translation>Convertir</translation>
        </message>
        <message>
            <source>Ignorer</source>
            <translation>Ignorer</translation>
        </message>
        <message>
            <source>Ignorer tout</source>
            <translation>Ignorer tout</translation>
        </message>
        <message>
            <source>La piste </source>
            <translation>La piste </translation>
        </message>
        <message>
            <source> est en stéréo.
</source>
            <translation> est en stéréo.
</translation>
        </message>
        <message>
            <source>(fichier : </source>
            <translation>(fichier : </translation>
        </message>
        <message>
            <source>Nous recommandons d'utiliser des fichiers mono dans un projet Tovra Sonaric.
</source>
            <translation>Nous recommandons d'utiliser des fichiers mono dans un projet Tovra Sonaric.
</translation>
        </message>
        <message>
            <source>Souhaitez-vous convertir votre fichier stéréo en fichier mono ?</source>
            <translation>Souhaitez-vous convertir votre fichier stéréo en fichier mono ?</translation>
        </message>
        <message>
            <source>Conversion d'une piste stéréo en mono</source>
            <translation>Conversion d'une piste stéréo en mono</translation>
        </message>
        <message>
            <source>Fichier Wave</source>
            <translation>Fichier Wave</translation>
        </message>
        <message>
            <source>Fichier Aiff</source>
            <translation>Fichier Aiff</translation>
        </message>
        <message>
            <source>Fichier AU</source>
            <translation>Fichier AU</translation>
        </message>
        <message>
            <source>Erreur durant la conversion !</source>
            <translation>Erreur durant la conversion !</translation>
        </message>
    </context>
    <context>
        <name>TVRAction</name>
        <message>
            <source>Nouveau projet</source>
            <translation>Nouveau projet</translation>
        </message>
        <message>
            <source>Ouvrir un projet</source>
            <translation>Ouvrir un projet</translation>
        </message>
        <message>
            <source>Sauvegarder un projet</source>
            <translation>Sauvegarder un projet</translation>
        </message>
        <message>
            <source>Sauvegarder un projet sous</source>
            <translation>Sauvegarder un projet sous</translation>
        </message>
        <message>
            <source>Fermer un projet</source>
            <translation>Fermer un projet</translation>
        </message>
        <message>
            <source>Quitter</source>
            <translation>Quitter</translation>
        </message>
        <message>
            <source>Onglet Structure</source>
            <translation>Onglet Structure</translation>
        </message>
        <message>
            <source>Onglet Contraintes</source>
            <translation>Onglet Contraintes</translation>
        </message>
        <message>
            <source>Onglet Règles de mixage</source>
            <translation>Onglet Règles de mixage</translation>
        </message>
        <message>
            <source>Onglet Tovix</source>
            <translation>Onglet Tovix</translation>
        </message>
        <message>
            <source>Onglet Export</source>
            <translation>Onglet Export</translation>
        </message>
        <message>
            <source>Structure</source>
            <translation>Structure</translation>
        </message>
        <message>
            <source>Propriétés des éléments</source>
            <translation>Propriétés des éléments</translation>
        </message>
        <message>
            <source>Aide</source>
            <translation>Aide</translation>
        </message>
        <message>
            <source>Site web d'Tovra</source>
            <translation>Site web d'Tovra</translation>
        </message>
        <message>
            <source>Forums Tovra en ligne</source>
            <translation>Forums Tovra en ligne</translation>
        </message>
        <message>
            <source>A propos d'Tovra Sonaric</source>
            <translation>A propos d'Tovra Sonaric</translation>
        </message>
        <message>
            <source>Rapport de Bugs</source>
            <translation>Rapport de Bugs</translation>
        </message>
        <message>
            <source>Paramètres Généraux</source>
            <translation>Paramètres Généraux</translation>
        </message>
        <message>
            <source>Options des Tovix</source>
            <translation>Options des Tovix</translation>
        </message>
        <message>
            <source>Options de conversion</source>
            <translation>Options de conversion</translation>
        </message>
        <message>
            <source>Importer</source>
            <translation>Importer</translation>
        </message>
        <message>
            <source>Modifier</source>
            <translation>Modifier</translation>
        </message>
        <message>
            <source>Supprimer</source>
            <translation>Supprimer</translation>
        </message>
        <message>
            <source>Modifier des pistes</source>
            <translation>Modifier des pistes</translation>
        </message>
        <message>
            <source>Supprimer des pistes</source>
            <translation>Supprimer des pistes</translation>
        </message>
        <message>
            <source>Renommer l'Tovix</source>
            <translation>Renommer l'Tovix</translation>
        </message>
        <message>
            <source>Créer un groupe</source>
            <translation>Créer un groupe</translation>
        </message>
        <message>
            <source>Modifier un groupe</source>
            <translation>Modifier un groupe</translation>
        </message>
        <message>
            <source>Supprimer un groupe</source>
            <translation>Supprimer un groupe</translation>
        </message>
        <message>
            <source>Exporter en Tovra</source>
            <translation>Exporter en Tovra</translation>
        </message>
        <message>
            <source>Créer une règle de mixage</source>
            <translation>Créer une règle de mixage</translation>
        </message>
        <message>
            <source>Créer un Tovix</source>
            <translation>Créer un Tovix</translation>
        </message>
        <message>
            <source>Créer une implication</source>
            <translation>Créer une implication</translation>
        </message>
        <message>
            <source>Créer une exclusion</source>
            <translation>Créer une exclusion</translation>
        </message>
        <message>
            <source>Modifier une implication</source>
            <translation>Modifier une implication</translation>
        </message>
        <message>
            <source>Modifier une exclusion</source>
            <translation>Modifier une exclusion</translation>
        </message>
        <message>
            <source>Supprimer une implication</source>
            <translation>Supprimer une implication</translation>
        </message>
        <message>
            <source>Supprimer une exclusion</source>
            <translation>Supprimer une exclusion</translation>
        </message>
        <message>
            <source>Que dois-je faire sur cette page ?</source>
            <translation>Que dois-je faire sur cette page ?</translation>
        </message>
        <message>
            <source>Propriétés</source>
            <translation>Propriétés</translation>
        </message>
        <message>
            <source>Mise à jour</source>
            <translation>Mise à jour</translation>
        </message>
        <message>
            <source>Importer des pistes</source>
            <translation>Importer des pistes</translation>
        </message>
        <message>
            <source>Création d'un groupe</source>
            <translation>Création d'un groupe</translation>
        </message>
        <message>
            <source>Aucun fichier audio importé !</source>
            <translation>Aucun fichier audio importé !</translation>
        </message>
        <message>
            <source>Aucune piste dans la structure !</source>
            <translation>Aucune piste dans la structure !</translation>
        </message>
        <message>
            <source>Création d'une implication</source>
            <translation>Création d'une implication</translation>
        </message>
        <message>
            <source>Création d'une exclusion</source>
            <translation>Création d'une exclusion</translation>
        </message>
        <message>
            <source>Création d'une règle de mixage</source>
            <translation>Création d'une règle de mixage</translation>
        </message>
        <message>
            <source>Création d'un Tovix</source>
            <translation>Création d'un Tovix</translation>
        </message>
        <message>
            <source>Supprimer implication</source>
            <translation>Supprimer implication</translation>
        </message>
        <message>
            <source>Supprimer l'implication sélectionnée ?</source>
            <translation>Supprimer l'implication sélectionnée ?</translation>
        </message>
        <message>
            <source>Supprimer exclusion</source>
            <translation>Supprimer exclusion</translation>
        </message>
        <message>
            <source>Supprimer l'exclusion sélectionnée ?</source>
            <translation>Supprimer l'exclusion sélectionnée ?</translation>
        </message>
        <message>
            <source>FR/HTML/index.html</source>
            <translation>FR/HTML/index.html</translation>
        </message>
        <message>
            <source>FR/HTML/etape_3__creer_la_structure_de.htm</source>
            <translation>FR/HTML/etape_3__creer_la_structure_de.htm</translation>
        </message>
        <message>
            <source>FR/HTML/etape_4__appliquer_des_contrai.htm</source>
            <translation>FR/HTML/etape_4__appliquer_des_contrai.htm</translation>
        </message>
        <message>
            <source>FR/HTML/etape_5___regler_les_parametre.htm</source>
            <translation>FR/HTML/etape_5___regler_les_parametre.htm</translation>
        </message>
        <message>
            <source>FR/HTML/etape_6__creer_un_ou_plusieurs.htm</source>
            <translation>FR/HTML/etape_6__creer_un_ou_plusieurs.htm</translation>
        </message>
        <message>
            <source>FR/HTML/etape_7___exportez_votre_fichi.htm</source>
            <translation>FR/HTML/etape_7___exportez_votre_fichi.htm</translation>
        </message>
    </context>
    <context>
        <name>KCheckAudioDlg</name>
        <message>
            <source>Fichier audio incorrect : </source>
            <translation>Fichier audio incorrect : </translation>
        </message>
        <message>
            <source>Dans la Piste : </source>
            <translation>Dans la Piste : </translation>
        </message>
        <message>
            <source>Rechercher le Fichier</source>
            <translation>Rechercher le Fichier</translation>
        </message>
        <message>
            <source>Effacer la Piste</source>
            <translation>Effacer la Piste</translation>
        </message>
        <message>
            <source>Chargement d'un projet Tovra</source>
            <translation>Chargement d'un projet Tovra</translation>
        </message>
        <message>
            <source>Rechercher Fichier Audio</source>
            <translation>Rechercher Fichier Audio</translation>
        </message>
        <message>
            <source>Fichier audio non supporté !</source>
            <translation>Fichier audio non supporté !</translation>
        </message>
    </context>
    <context>
        <name>KCheckBoxMultiDlg</name>
        <message>
            <source>Conversion d'une piste stéréo en mono</source>
            <translation>Conversion d'une piste stéréo en mono</translation>
        </message>
        <message>
            <source>Pour convertir le fichier stéréo</source>
            <translation>Pour convertir le fichier stéréo</translation>
        </message>
        <message>
            <source>en mono, vous souhaitez :</source>
            <translation>en mono, vous souhaitez :</translation>
        </message>
        <message>
            <source>Ecraser le fichier stéréo existant</source>
            <translation>Ecraser le fichier stéréo existant</translation>
        </message>
        <message>
            <source>Créer un nouveau fichier avec un suffixe : </source>
            <translation>Créer un nouveau fichier avec un suffixe : </translation>
        </message>
        <message>
            <source>Créer un nouveau fichier avec un autre nom</source>
            <translation>Créer un nouveau fichier avec un autre nom</translation>
        </message>
        <message>
            <source>Se souvenir de ma réponse</source>
            <translation>Se souvenir de ma réponse</translation>
        </message>
        <message>
            <source>Ok</source>
            <translation>Ok</translation>
        </message>
        <message>
            <source>Annuler</source>
            <translation>Annuler</translation>
        </message>
        <message>
            <source>Suffixe incorrect : il doit être non vide et sans séparateur de dossier !</source>
            <translation>Suffixe incorrect : il doit être non vide et sans séparateur de dossier !</translation>
        </message>
    </context>
    <context>
        <name>KParamsUI</name>
        <message>
            <source>Général</source>
            <translation>Général</translation>
        </message>
        <message>
            <source>Pistes</source>
            <translation>Pistes</translation>
        </message>
        <message>
            <source>Conversion</source>
            <translation>Conversion</translation>
        </message>
        <message>
            <source>Langue</source>
            <translation>Langue</translation>
        </message>
        <message>
            <source>Mise à jour</source>
            <translation>Mise à jour</translation>
        </message>
        <message>
            <source>Vérifier et télécharger les mises à jour automatiquement au démarrage</source>
            <translation>Vérifier et télécharger les mises à jour automatiquement au démarrage</translation>
        </message>
        <message>
            <source>Vérifier les mises à jour au démarrage sans les télécharger</source>
            <translation>Vérifier les mises à jour au démarrage sans les télécharger</translation>
        </message>
        <message>
            <source>Vérifier les mises à jour manuellement</source>
            <translation>Vérifier les mises à jour manuellement</translation>
        </message>
        <message>
            <source>Pistes toujours allumées</source>
            <translation>Pistes toujours allumées</translation>
        </message>
        <message>
            <source>Lors de la selection de l'option</source>
            <translation>Lors de la selection de l'option</translation>
        </message>
        <message>
            <source>toujours allumée</source>
            <translation>toujours allumée</translation>
        </message>
        <message>
            <source>sur une piste</source>
            <translation>sur une piste</translation>
        </message>
        <message>
            <source>Activer les contraintes de sélection pendant la création des Tovix</source>
            <translation>Activer les contraintes de sélection pendant la création des Tovix</translation>
        </message>
        <message>
            <source>Activer les régles de volume pendant la création des Tovix</source>
            <translation>Activer les régles de volume pendant la création des Tovix</translation>
        </message>
        <message>
            <source>Import Stéréo</source>
            <translation>Import Stéréo</translation>
        </message>
        <message>
            <source>Lors de l'import d'un fichier stéréo :</source>
            <translation>Lors de l'import d'un fichier stéréo :</translation>
        </message>
        <message>
            <source>toujours me demander quoi faire</source>
            <translation>toujours me demander quoi faire</translation>
        </message>
        <message>
            <source>conserver le fichier stéréo</source>
            <translation>conserver le fichier stéréo</translation>
        </message>
        <message>
            <source>toujours convertir le fichier stéréo en mono</source>
            <translation>toujours convertir le fichier stéréo en mono</translation>
        </message>
        <message>
            <source>Conversion Stéréo</source>
            <translation>Conversion Stéréo</translation>
        </message>
        <message>
            <source>Lors d'une conversion d'un fichier stéréo en mono : </source>
            <translation>Lors d'une conversion d'un fichier stéréo en mono : </translation>
        </message>
        <message>
            <source>toujours écraser le fichier stéréo existant</source>
            <translation>toujours écraser le fichier stéréo existant</translation>
        </message>
        <message>
            <source>toujours créer un nouveau fichier avec un suffix </source>
            <translation>toujours créer un nouveau fichier avec un suffix </translation>
        </message>
        <message>
            <source>ex : ~/Musique/MonFichierAudio</source>
            <translation>ex : ~/Musique/MonFichierAudio</translation>
        </message>
        <message>
            <source>.wav</source>
            <translation>.wav</translation>
        </message>
        <message>
            <source>toujours créer un nouveau fichier avec un autre nom</source>
            <translation>toujours créer un nouveau fichier avec un autre nom</translation>
        </message>
    </context>
    <context>
        <name>KNotMuteLevelUI</name>
        <message>
            <source>Me demander quoi faire</source>
            <translation>Me demander quoi faire</translation>
        </message>
        <message>
            <source>Ne pas définir de volume minimum</source>
            <translation>Ne pas définir de volume minimum</translation>
        </message>
        <message>
            <source>Volume minimum de la piste</source>
            <translation>Volume minimum de la piste</translation>
        </message>
    </context>
    <context>
        <name>UpdateLauncher</name>
        <message>
            <source>Update</source>
            <translation>Update</translation>
        </message>
        <message>
            <source>Cannot start update !</source>
            <translation>Cannot start update !</translation>
        </message>
        <message>
            <source>Vérification des Mises à Jour</source>
            <translation>Vérification des Mises à Jour</translation>
        </message>
        <message>
            <source>Vous bénéficiez déjà de la dernière version !</source>
            <translation>Vous bénéficiez déjà de la dernière version !</translation>
        </message>
        <message>
            <source>Les informations de mise à jour reçues de %1 n&apos;ont pas pu être lues.</source>
            <translation>Les informations de mise à jour reçues de %1 n&apos;ont pas pu être lues.</translation>
        </message>
        <message>
            <source>Mise à Jour Tovra Sonaric Pro</source>
            <translation>Mise à Jour Tovra Sonaric Pro</translation>
        </message>
        <message>
            <source>Impossible d'effectuer les mises à jour !</source>
            <translation>Impossible d'effectuer les mises à jour !</translation>
        </message>
    </context>
    <context>
        <name>KCtrlFile</name>
        <message>
            <source>Création d'un groupe</source>
            <translation>Création d'un groupe</translation>
        </message>
        <message>
            <source>Création d'une exclusion</source>
            <translation>Création d'une exclusion</translation>
        </message>
        <message>
            <source>Création d'une implication</source>
            <translation>Création d'une implication</translation>
        </message>
        <message>
            <source>Modification d'un groupe</source>
            <translation>Modification d'un groupe</translation>
        </message>
        <message>
            <source>Suppression d'un groupe</source>
            <translation>Suppression d'un groupe</translation>
        </message>
        <message>
            <source>Suppression d'une contrainte</source>
            <translation>Suppression d'une contrainte</translation>
        </message>
        <message>
            <source>Suppresion d'un élément</source>
            <translation>Suppresion d'un élément</translation>
        </message>
        <message>
            <source>Chargement d'un fichier Projet Tovra</source>
            <translation>Chargement d'un fichier Projet Tovra</translation>
        </message>
        <message>
            <source>Création d'un élément toujours allumé</source>
            <translation>Création d'un élément toujours allumé</translation>
        </message>
        <message>
            <source>La création de ce groupe implique que certaines pistes ne pourront être écoutées à la lecture du fichier Tovra.</source>
            <translation>La création de ce groupe implique que certaines pistes ne pourront être écoutées à la lecture du fichier Tovra.</translation>
        </message>
        <message>
            <source>La création de cette contrainte implique que certaines pistes ne pourront être écoutées à la lecture du fichier Tovra.</source>
            <translation>La création de cette contrainte implique que certaines pistes ne pourront être écoutées à la lecture du fichier Tovra.</translation>
        </message>
        <message>
            <source>La modification de ce groupe implique que certaines pistes ne pourront être écoutées à la lecture du fichier Tovra.</source>
            <translation>La modification de ce groupe implique que certaines pistes ne pourront être écoutées à la lecture du fichier Tovra.</translation>
        </message>
        <message>
            <source>Malgré la suppression de ce groupe, certaines pistes ne pourront être écoutées à la lecture du fichier Tovra.</source>
            <translation>Malgré la suppression de ce groupe, certaines pistes ne pourront être écoutées à la lecture du fichier Tovra.</translation>
        </message>
        <message>
            <source>Malgré la suppression de cette contrainte, certaines pistes ne pourront être écoutées à la lecture du fichier Tovra.</source>
            <translation>Malgré la suppression de cette contrainte, certaines pistes ne pourront être écoutées à la lecture du fichier Tovra.</translation>
        </message>
        <message>
            <source>Malgré la suppression de cet element, certaines pistes ne pourront être écoutées à la lecture du fichier Tovra.</source>
            <translation>Malgré la suppression de cet element, certaines pistes ne pourront être écoutées à la lecture du fichier Tovra.</translation>
        </message>
        <message>
            <source>L'organisation des contraintes du fichier projet implique que certaines pistes ne pourront être écoutées à la lecture du fichier Tovra.</source>
            <translation>L'organisation des contraintes du fichier projet implique que certaines pistes ne pourront être écoutées à la lecture du fichier Tovra.</translation>
        </message>
        <message>
            <source>La création de cette contrainte imlique que
</source>
            <translation>La création de cette contrainte imlique que
</translation>
        </message>
        <message>
            <source>certaines pistes ne pourront jamais être écoutées</source>
            <translation>certaines pistes ne pourront jamais être écoutées</translation>
        </message>
        <message>
            <source>Impossible de créer le groupe : des contraintes déjà existantes sont contradictoires avec ce nouveau groupe !</source>
            <translation>Impossible de créer le groupe : des contraintes déjà existantes sont contradictoires avec ce nouveau groupe !</translation>
        </message>
        <message>
            <source>Impossible de créer la contrainte : des contraintes déjà existantes sont contradictoires avec cette nouvelle contrainte !</source>
            <translation>Impossible de créer la contrainte : des contraintes déjà existantes sont contradictoires avec cette nouvelle contrainte !</translation>
        </message>
        <message>
            <source>Impossible de modifier le groupe : des contraintes déjà existantes sont contradictoires avec les modifications sur ce groupe !</source>
            <translation>Impossible de modifier le groupe : des contraintes déjà existantes sont contradictoires avec les modifications sur ce groupe !</translation>
        </message>
        <message>
            <source>Impossible de supprimer le groupe : des contraintes sont contradictoires</source>
            <translation>Impossible de supprimer le groupe : des contraintes sont contradictoires</translation>
        </message>
        <message>
            <source>Impossible de supprimer cette contrainte : des contraintes sont contradictoires</source>
            <translation>Impossible de supprimer cette contrainte : des contraintes sont contradictoires</translation>
        </message>
        <message>
            <source>Impossible de supprimer cette élément : des contraintes sont contradictoires</source>
            <translation>Impossible de supprimer cette élément : des contraintes sont contradictoires</translation>
        </message>
        <message>
            <source>Impossible de charger ce fichier projet : des contraintes sont contradictoires</source>
            <translation>Impossible de charger ce fichier projet : des contraintes sont contradictoires</translation>
        </message>
        <message>
            <source>Impossible de créer cette contrainte :
</source>
            <translation>Impossible de créer cette contrainte :
</translation>
        </message>
        <message>
            <source>Aucune piste ne peut être allumée en respectant les contraintes.</source>
            <translation>Aucune piste ne peut être allumée en respectant les contraintes.</translation>
        </message>
    </context>
    <context>
        <name>ExportUI</name>
        <message>
            <source>Exporter en Tovra</source>
            <translation>Exporter en Tovra</translation>
        </message>
        <message>
            <source>Exporter en MP3, WAVE, AIFF, ...</source>
            <translation>Exporter en MP3, WAVE, AIFF, ...</translation>
        </message>
        <message>
            <source>Fichier</source>
            <translation>Fichier</translation>
        </message>
        <message>
            <source>Options d'export</source>
            <translation>Options d'export</translation>
        </message>
        <message>
            <source>Fréquence d'échantillonnage</source>
            <translation>Fréquence d'échantillonnage</translation>
        </message>
        <message>
            <source>Format des pistes</source>
            <translation>Format des pistes</translation>
        </message>
        <message>
            <source>Exporter</source>
            <translation>Exporter</translation>
        </message>
        <message>
            <source>Exporter un Tovix</source>
            <translation>Exporter un Tovix</translation>
        </message>
        <message>
            <source>Cliquer sur le bouton pour sélectionner un fichier d'export &gt;</source>
            <translation>Cliquer sur le bouton pour sélectionner un fichier d'export &gt;</translation>
        </message>
        <message>
            <source>Tovix par défaut</source>
            <translation>Tovix par défaut</translation>
        </message>
        <message>
            <source>Tovix aléatoire</source>
            <translation>Tovix aléatoire</translation>
        </message>
        <message>
            <source>Toutes les pistes</source>
            <translation>Toutes les pistes</translation>
        </message>
        <message>
            <source>Tovix à exporter</source>
            <translation>Tovix à exporter</translation>
        </message>
        <message>
            <source>Export</source>
            <translation>Export</translation>
        </message>
        <message>
            <source>Aucune piste dans la structure !</source>
            <translation>Aucune piste dans la structure !</translation>
        </message>
        <message>
            <source>Vous devez spécifier un fichier de destination !</source>
            <translation>Vous devez spécifier un fichier de destination !</translation>
        </message>
        <message>
            <source>Le fichier "%1" existe déjà. Voulez-vous le remplacer ?</source>
            <translation>Le fichier "%1" existe déjà. Voulez-vous le remplacer ?</translation>
        </message>
        <message>
            <source>Bibliothèque des Pistes</source>
            <translation>Bibliothèque des Pistes</translation>
        </message>
    </context>
    <context>
        <name>WdgFmtVorbis</name>
        <message>
            <source>Meilleure compression</source>
            <translation>Meilleure compression</translation>
        </message>
        <message>
            <source>Meilleure qualité</source>
            <translation>Meilleure qualité</translation>
        </message>
        <message>
            <source>Qualité de compression</source>
            <translation>Qualité de compression</translation>
        </message>
        <message>
            <source>Compressé</source>
            <translation>Compressé</translation>
        </message>
    </context>
    <context>
        <name>KParamsDlg</name>
        <message>
            <source>Paramètres</source>
            <translation>Paramètres</translation>
        </message>
        <message>
            <source>Impossible d'enregistrer la langue dans le fichier "%1" : la langue de l'interface ne changera pas.</source>
            <translation>Impossible d'enregistrer la langue dans le fichier "%1" : la langue de l'interface ne changera pas.</translation>
        </message>
        <message>
            <source>Le redémarrage du logiciel est nécessaire pour prendre en compte les changements.</source>
            <translation>Le redémarrage du logiciel est nécessaire pour prendre en compte les changements.</translation>
        </message>
    </context>
    <context>
        <name>DlgOpenSonaric</name>
        <message>
            <source>Projet Tovra</source>
            <translation>Projet Tovra</translation>
        </message>
        <message>
            <source>Cliquer ici pour créer un nouveau projet Tovra</source>
            <translation>Cliquer ici pour créer un nouveau projet Tovra</translation>
        </message>
        <message>
            <source>Ouvrir...</source>
            <translation>Ouvrir...</translation>
        </message>
        <message>
            <source>Cliquer ici pour rechercher un projet Tovra existant</source>
            <translation>Cliquer ici pour rechercher un projet Tovra existant</translation>
        </message>
        <message>
            <source>Lire les dernières news</source>
            <translation>Lire les dernières news</translation>
        </message>
        <message>
            <source>Cliquer ici pour lire les dernières news à propos de Tovra Sonaric</source>
            <translation>Cliquer ici pour lire les dernières news à propos de Tovra Sonaric</translation>
        </message>
        <message>
            <source>Lire la documentation</source>
            <translation>Lire la documentation</translation>
        </message>
        <message>
            <source>Cliquer ici pour ouvrir la documentation de Tovra Sonaric</source>
            <translation>Cliquer ici pour ouvrir la documentation de Tovra Sonaric</translation>
        </message>
        <message>
            <source>Le fichier existe déjà. Voulez-vous le remplacer ?</source>
            <translation>Le fichier existe déjà. Voulez-vous le remplacer ?</translation>
        </message>
    </context>
    <context>
        <name>DockWidgetWithToolBar</name>
        <message>
            <source>Bibliothèque des Pistes</source>
            <translation>Bibliothèque des Pistes</translation>
        </message>
    </context>
    <context>
        <name>DWProjectProperties</name>
        <message>
            <source>Titre :</source>
            <translation>Titre :</translation>
        </message>
        <message>
            <source>Auteur :</source>
            <translation>Auteur :</translation>
        </message>
        <message>
            <source>Copyright :</source>
            <translation>Copyright :</translation>
        </message>
        <message>
            <source>Album :</source>
            <translation>Album :</translation>
        </message>
        <message>
            <source>Style :</source>
            <translation>Style :</translation>
        </message>
        <message>
            <source>Année :</source>
            <translation>Année :</translation>
        </message>
        <message>
            <source>Lien du groupe :</source>
            <translation>Lien du groupe :</translation>
        </message>
        <message>
            <source>Réinitialiser</source>
            <translation>Réinitialiser</translation>
        </message>
    </context>
    <context>
        <name>DlgExportToTovraUI</name>
        <message>
            <source>Exporter en Tovra</source>
            <translation>Exporter en Tovra</translation>
        </message>
        <message>
            <source>Tovix par défaut</source>
            <translation>Tovix par défaut</translation>
        </message>
        <message>
            <source>Tovix aléatoire</source>
            <translation>Tovix aléatoire</translation>
        </message>
        <message>
            <source>Toutes les pistes</source>
            <translation>Toutes les pistes</translation>
        </message>
        <message>
            <source>Format des pistes</source>
            <translation>Format des pistes</translation>
        </message>
        <message>
            <source>Fréquence d'échantillonnage</source>
            <translation>Fréquence d'échantillonnage</translation>
        </message>
        <message>
            <source>Fichier</source>
            <translation>Fichier</translation>
        </message>
        <message>
            <source>Exporter</source>
            <translation>Exporter</translation>
        </message>
        <message>
            <source>Annuler</source>
            <translation>Annuler</translation>
        </message>
        <message>
            <source>Vous devez spécifier un fichier de destination !</source>
            <translation>Vous devez spécifier un fichier de destination !</translation>
        </message>
        <message>
            <source>Aucun format d'export disponible !</source>
            <translation>Aucun format d'export disponible !</translation>
        </message>
        <message>
            <source>Le fichier existe déjà. Voulez-vous le remplacer ?</source>
            <translation>Le fichier existe déjà. Voulez-vous le remplacer ?</translation>
        </message>
        <message>
            <source>Exporter en MP3, WAVE, AIFF, ...</source>
            <translation>Exporter en MP3, WAVE, AIFF, ...</translation>
        </message>
        <message>
            <source>Options d'export</source>
            <translation>Options d'export</translation>
        </message>
        <message>
            <source>Exporter un Tovix</source>
            <translation>Exporter un Tovix</translation>
        </message>
        <message>
            <source>Cliquer sur le bouton pour sélectionner un fichier d'export &gt;</source>
            <translation>Cliquer sur le bouton pour sélectionner un fichier d'export &gt;</translation>
        </message>
        <message>
            <source>Tovix à exporter</source>
            <translation>Tovix à exporter</translation>
        </message>
        <message>
            <source>Export</source>
            <translation>Export</translation>
        </message>
        <message>
            <source>Aucune piste dans la structure !</source>
            <translation>Aucune piste dans la structure !</translation>
            <source>Format des pistes</source>
            <translation>Format des pistes</translation>
        </message>
        <message>
            <source>Le fichier "%1" existe déjà. Voulez-vous le remplacer ?</source>
            <translation>Le fichier "%1" existe déjà. Voulez-vous le remplacer ?</translation>
        </message>
    </context>
    <context>
        <name>TovraExportThread</name>
        <message>
            <source>L'export s'est terminé avec succès !</source>
            <translation>L'export s'est terminé avec succès !</translation>
        </message>
        <message>
            <source>Export annulé !</source>
            <translation>Export annulé !</translation>
        </message>
        <message>
            <source>Erreur durant l'export en Tovra</source>
            <translation>Erreur durant l'export en Tovra</translation>
        </message>
    </context>
    <context>
        <name>PreMixView</name>
        <message>
            <source>Créer ...</source>
            <translation>Créer ...</translation>
        </message>
        <message>
            <source>   Console de mixage   </source>
            <translation>   Console de mixage   </translation>
        </message>
    </context>
    <context>
        <name>ExcluWidget</name>
        <message>
            <source>Implication</source>
            <translation>Implication</translation>
        </message>
        <message>
            <source>Exclusion</source>
            <translation>Exclusion</translation>
        </message>
        <message>
            <source>Elément 1</source>
            <translation>Elément 1</translation>
        </message>
        <message>
            <source>Elément 2</source>
            <translation>Elément 2</translation>
        </message>
        <message>
            <source>Description</source>
            <translation>Description</translation>
        </message>
    </context>
    <context>
        <name>DlgCreateConstt</name>
        <message>
            <source>Elément</source>
            <translation>Elément</translation>
        </message>
        <message>
            <source>Description</source>
            <translation>Description</translation>
        </message>
        <message>
            <source>La réciproque est vraie</source>
            <translation>La réciproque est vraie</translation>
        </message>
        <message>
            <source>Annuler</source>
            <translation>Annuler</translation>
        </message>
        <message>
            <source>Ok</source>
            <translation>Ok</translation>
        </message>
        <message>
            <source>Créer une exclusion</source>
            <translation>Créer une exclusion</translation>
        </message>
        <message>
            <source>Créer une implication</source>
            <translation>Créer une implication</translation>
        </message>
        <message>
            <source>Erreur</source>
            <translation>Erreur</translation>
        </message>
        <message>
            <source>Elément(s) non valide(s) !</source>
            <translation>Elément(s) non valide(s) !</translation>
        </message>
        <message>
            <source>Impossible de créer cette contrainte !</source>
            <translation>Impossible de créer cette contrainte !</translation>
        </message>
    </context>
    <context>
        <name>EltPropUI</name>
        <message>
            <source>Importer une piste</source>
            <translation>Importer une piste</translation>
        </message>
        <message>
            <source>Import d'une piste</source>
            <translation>Import d'une piste</translation>
        </message>
        <message>
            <source>Impossible d'associer le fichier audio </source>
            <translation>Impossible d'associer le fichier audio </translation>
        </message>
        <message>
            <source> avec la piste </source>
            <translation> avec la piste </translation>
        </message>
        <message>
            <source>Vous venez de sélectionner l'option "Piste toujours allumée".</source>
            <translation>Vous venez de sélectionner l'option "Piste toujours allumée".</translation>
        </message>
        <message>
            <source>L'auditeur ne pourra donc pas la désactiver.</source>
            <translation>L'auditeur ne pourra donc pas la désactiver.</translation>
        </message>
        <message>
            <source>Vous ne pourrez pas y ajouter de contraintes de sélection (exclusion, implication).</source>
            <translation>Vous ne pourrez pas y ajouter de contraintes de sélection (exclusion, implication).</translation>
        </message>
        <message>
            <source>Toutefois, l'auditeur pourra modifier le volume de cette piste.</source>
            <translation>Toutefois, l'auditeur pourra modifier le volume de cette piste.</translation>
        </message>
        <message>
            <source>Souhaitez-vous définir un volume minimum ?</source>
            <translation>Souhaitez-vous définir un volume minimum ?</translation>
        </message>
        <message>
            <source>Piste toujours allumée</source>
            <translation>Piste toujours allumée</translation>
        </message>
        <message>
            <source>Se souvenir de ma réponse</source>
            <translation>Se souvenir de ma réponse</translation>
        </message>
        <message>
            <source>Ok</source>
            <translation>Ok</translation>
        </message>
        <message>
            <source>Annuler</source>
            <translation>Annuler</translation>
        </message>
    </context>
</TS>
