#include "texts/strings.h"

#include <iterator>

namespace texts {

namespace {

struct Entry {
    TextId id;
    const char* english;
    const char* french;
};

// One row per text id, in the order of the ids: each row names its id, and the check below
// refuses to compile a table whose rows are out of order. UTF-8, as every text inside the
// program; the Win32 calls get UTF-16.
constexpr Entry kTexts[] = {
    {TextId::CaptionTail, " - by Tavrel", " - par Tavrel"},
    {TextId::HtmlInputLabel, "HTML input", "Fichier Html"},
    {TextId::CssOutputLabel, "CSS output", "Sortie CSS"},
    {TextId::CleanUnusedLabel, "Clean unused styles", "Nettoyer les styles inutilisés"},
    {TextId::WebLinkLabel, "Find other free software at my website",
     "Visitez mon site web pour d'autres gratuiciels"},
    {TextId::NothingSelected, "<none selected>", "<aucun sélectionné>"},
    {TextId::LaunchTooltip, "Launch the extraction of inline and internal css to external css!",
     "Lancer l'extraction vers un css externe des css présents dans les tags et dans le header!"},
    {TextId::CleanTooltip,
     "Bonus: clean CSS elements that are used nowhere in the HTML page "
     "(particularly useful for webpages generated automatically, e.g. by Ms Word)",
     "Bonus: nettoyer les éléments CSS utilisés nulle part dans la page HTML "
     "(particulièrement intéressant pour les pages web générées automatiquement, par ex. par Ms "
     "Word)"},
    {TextId::LanguageTooltip, "Language: English or French (Alt+L)",
     "Langue : anglais ou français (Alt+L)"},
    {TextId::BrowseName, "Browse for the page", "Choisir la page"},
    {TextId::OpenDialogTitle, "Select main web page", "Sélectionnez la page web"},
    {TextId::WebPageFilter, "Web page (*.htm;*.html)", "Page web (*.htm;*.html)"},
    {TextId::AllFilesFilter, "All files (*.*)", "Tous les fichiers (*.*)"},
    {TextId::ProgressPercent, "%1%", "%1\u00A0%"},
    {TextId::SelectionWarningFirst, "Please select a web page first",
     "Veuillez d'abord sélectionner une page web"},
    {TextId::SelectionWarningSecond, "thanks to the \"HTML input\" button \"...\"",
     "grâce au bouton \"...\" de \"Fichier Html\""},
    {TextId::ReportBeforeName, "External CSS ", "Le CSS externe "},
    {TextId::ReportAfterName, " correctly produced !", " a été convenablement créé !"},
    {TextId::ReportCleaned, "It has also been cleaned of unused styles",
     "Il a été débarrassé des éléments de style jamais utilisés"},
    {TextId::ReportBackup, "A backup of the original HTML file was created",
     "Une sauvegarde du fichier Html d'origine a été produite"},
    {TextId::ReportCopyBackByHand,
     "restore_backup.bat cannot undo this run: the page's path is too long for the command "
     "interpreter. To undo it, copy \"%1\" over the page.",
     "restore_backup.bat ne peut pas annuler cette conversion : le chemin de la page est trop "
     "long pour l'interpréteur de commandes. Pour l'annuler, copiez \"%1\" sur la page."},
    {TextId::ReportTimeLabel, "Total time: ", "Temps écoulé : "},
    {TextId::ReportTimeUnit, "s", "s"},
    {TextId::NothingToExtract,
     "Nothing to extract: the page \"%1\" holds no internal or inline CSS.\r"
     "The page was left unchanged.",
     "Rien à extraire : la page \"%1\" ne contient ni CSS interne ni CSS dans les tags.\r"
     "La page n'a pas été modifiée."},
    {TextId::NothingToExtractInPages,
     "Nothing to extract: none of the %1 pages in \"%2\" holds internal or inline CSS.\r"
     "The pages were left unchanged.",
     "Rien à extraire : aucune des %1 pages de \"%2\" ne contient de CSS interne ni de CSS "
     "dans les tags.\rLes pages n'ont pas été modifiées."},
    {TextId::PageMissing, "File \"%1\" doesn't exist!", "Le fichier \"%1\" n'existe pas!"},
    {TextId::PageIsFolder, "Error! \"%1\" is a folder, not a page.",
     "Erreur! \"%1\" est un dossier, pas une page."},
    {TextId::BackupNotCreated, "Error! The backup copy \"%1\" could not be created",
     "Erreur! La copie de sauvegarde \"%1\" n'a pas pu être créée"},
    {TextId::PageNotRead, "Error! File \"%1\" could not be read",
     "Erreur! Le fichier \"%1\" n'a pas pu être lu"},
    {TextId::SheetNameCollides,
     "Error! The CSS output name must not name the page, its backup or restore_backup.bat",
     "Erreur! Le nom de sortie CSS ne doit désigner ni la page, ni sa sauvegarde, ni "
     "restore_backup.bat"},
    {TextId::StyleBlockUnclosed, "Error! Malformed internal CSS: <style>...</style>",
     "Erreur! CSS du header incorrect : <style>...</style>"},
    {TextId::BracesMismatch, "Error! Malformed internal CSS: mismatching { and }",
     "Erreur! CSS du header incorrect : nombre de { et } différent"},
    {TextId::SheetNotOurs,
     "Error! The file \"%1\" already exists and was not written by stylewick.\r"
     "Choose another CSS output name; nothing was changed.",
     "Erreur! Le fichier \"%1\" existe déjà et n'a pas été écrit par stylewick.\r"
     "Choisissez un autre nom de sortie CSS ; rien n'a été modifié."},
    {TextId::ScriptNotOurs,
     "Error! The file \"%1\" already exists and was not written by stylewick.\r"
     "Nothing was changed.",
     "Erreur! Le fichier \"%1\" existe déjà et n'a pas été écrit par stylewick.\r"
     "Rien n'a été modifié."},
    {TextId::PageConvertedBefore,
     "Error! The page \"%1\" already uses \"%2\" from an earlier run.\r"
     "Undo that run with restore_backup.bat, or choose another CSS output name.",
     "Erreur! La page \"%1\" utilise déjà \"%2\" d'une conversion précédente.\r"
     "Annulez-la avec restore_backup.bat, ou choisissez un autre nom de sortie CSS."},
    {TextId::SheetOfOtherPage,
     "Error! The style sheet \"%1\" belongs to \"%2\", converted earlier in this folder.\r"
     "Choose another CSS output name, or undo that conversion first with restore_backup.bat.",
     "Erreur! La feuille de style \"%1\" appartient à \"%2\", convertie auparavant dans ce "
     "dossier.\r"
     "Choisissez un autre nom de sortie CSS, ou annulez d'abord cette conversion avec "
     "restore_backup.bat."},
    {TextId::FileNotWritten,
     "Error! File \"%1\" could not be written\rThe page was left unchanged.",
     "Erreur! Le fichier \"%1\" n'a pas pu être écrit\rLa page n'a pas été modifiée."},
    {TextId::OutOfMemory, "Error! Not enough memory to process \"%1\"",
     "Erreur! Mémoire insuffisante pour traiter \"%1\""},
    {TextId::FolderBusy,
     "Error! Another stylewick run is converting a page in the folder \"%1\".\r"
     "Try again when it has finished; nothing was changed.",
     "Erreur! Une autre conversion de stylewick est en cours dans le dossier \"%1\".\r"
     "Réessayez quand elle sera terminée ; rien n'a été modifié."},
    {TextId::SheetExists,
     "Error! The style sheet \"%1\" already exists.\r"
     "Choose another CSS output name; nothing was changed.",
     "Erreur! La feuille de style \"%1\" existe déjà.\r"
     "Choisissez un autre nom de sortie CSS ; rien n'a été modifié."},
    {TextId::PageReplaced,
     "Error! The page \"%1\" was replaced after its earlier conversion, and \"%2\" holds an "
     "older page.\rMove that backup away to keep it, then run again; nothing was changed.",
     "Erreur! La page \"%1\" a été remplacée depuis sa conversion précédente, et \"%2\" "
     "contient une page plus ancienne.\r"
     "Déplacez cette sauvegarde pour la garder, puis relancez ; rien n'a été modifié."},
    {TextId::BackupNotOurs,
     "Error! The file \"%1\" already exists and was not written by stylewick.\r"
     "Move it away to keep it, then run again; nothing was changed.",
     "Erreur! Le fichier \"%1\" existe déjà et n'a pas été écrit par stylewick.\r"
     "Déplacez-le pour le garder, puis relancez ; rien n'a été modifié."},
    {TextId::SheetNameInvalid, "Error! \"%1\" cannot be the name of a style sheet.",
     "Erreur! \"%1\" ne peut pas être le nom d'une feuille de style."},
    {TextId::Stopped, "Stopped: nothing was changed.", "Arrêté : rien n'a été modifié."},
    {TextId::PageDamaged,
     "Error! The page \"%1\" could not be rewritten completely.\r"
     "Its backup \"%2\" holds it as it was: restore_backup.bat puts it back.",
     "Erreur! La page \"%1\" n'a pas pu être entièrement réécrite.\r"
     "Sa sauvegarde \"%2\" la contient telle qu'elle était : restore_backup.bat la remet en "
     "place."},
    {TextId::PagesInSeveralFolders, "Error! The pages of one run must be in one folder.",
     "Erreur! Les pages d'une conversion doivent être dans un même dossier."},
    {TextId::NoPageInFolder, "Error! The folder \"%1\" holds no web page (*.htm, *.html).",
     "Erreur! Le dossier \"%1\" ne contient aucune page web (*.htm, *.html)."},
    {TextId::TooManyPagesChosen,
     "Error! Too many pages were chosen at once. Choose fewer, or drop their folder on the "
     "window.",
     "Erreur! Trop de pages ont été choisies à la fois. Choisissez-en moins, ou déposez leur "
     "dossier sur la fenêtre."},
    {TextId::DiskFull, "There is not enough space on the disk.",
     "Il n'y a pas assez d'espace sur le disque."},
    {TextId::WaitingForFolder, "Waiting for another stylewick run in this folder...",
     "Attente d'une autre conversion de stylewick dans ce dossier..."},
    {TextId::StopQuestion, "Stop the conversion of \"%1\"?\rNothing will be changed.",
     "Arrêter la conversion de \"%1\" ?\rRien ne sera modifié."},
    {TextId::SeveralPagesReport,
     "%1 pages were converted into \"%2\" (%3 inline classes, %4 header sheets); %5 pages held "
     "nothing to extract.",
     "%1 pages ont été converties dans \"%2\" (%3 classes inline, %4 feuilles de style du "
     "header) ; %5 pages ne contenaient rien à extraire."},
    {TextId::PageBytes, "%1: %2 -> %3 bytes", "%1 : %2 -> %3 octets"},
    {TextId::PageNothingToExtract, "%1: nothing to extract", "%1 : rien à extraire"},
    {TextId::SeveralPagesChosen, "%1 pages in \"%2\"", "%1 pages dans \"%2\""},
    {TextId::StopQuestionPages, "Stop the conversion of %1?\rNothing will be changed.",
     "Arrêter la conversion de %1 ?\rRien ne sera modifié."},
};

constexpr bool RowsFollowTheIds() {
    for (size_t i = 0; i < std::size(kTexts); ++i)
        if (kTexts[i].id != static_cast<TextId>(i)) return false;
    return std::size(kTexts) == static_cast<size_t>(TextId::Count);
}
static_assert(RowsFollowTheIds(), "row i of the string table holds text id i, one row per id");

}  // namespace

Language LanguageFromCode(std::string_view code) {
    return code == "EN" ? Language::English : Language::French;
}

const char* LanguageCode(Language language) { return language == Language::English ? "EN" : "FR"; }

const char* Text(TextId id, Language language) {
    const Entry& entry = kTexts[static_cast<size_t>(id)];
    return language == Language::English ? entry.english : entry.french;
}

std::string WithArguments(std::string_view text, std::string_view first, std::string_view second) {
    return WithArguments(text, {first, second});
}

std::string WithArguments(std::string_view text,
                          std::initializer_list<std::string_view> arguments) {
    std::string result;
    result.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        size_t number =
            i + 1 < text.size() && text[i] == '%' && text[i + 1] >= '1' && text[i + 1] <= '9'
                ? static_cast<size_t>(text[i + 1] - '0')
                : 0;
        if (number == 0 || number > arguments.size()) {
            result += text[i];
            continue;
        }
        result += arguments.begin()[number - 1];
        ++i;
    }
    return result;
}

}  // namespace texts
