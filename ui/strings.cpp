#include "ui/strings.h"

namespace {

struct Entry {
    const char* english;
    const char* french;
};

// Indexed by TextId. French texts in Windows-1252: \xE9 is e acute, \xE8 e grave,
// \xE0 a grave, \xE2 a circumflex, \xEA e circumflex, \xE7 c cedilla. A byte escape is closed
// by splitting the literal.
constexpr Entry kTexts[] = {
    {" - by Tavrel", " - par Tavrel"},
    {"HTML input", "Fichier Html"},
    {"CSS output", "Sortie CSS"},
    {"Clean unused styles",
     "Nettoyer les styles inutilis\xE9"
     "s"},
    {"Find other free software at my website", "Visitez mon site web pour d'autres gratuiciels"},
    {"<none selected>",
     "<aucun s\xE9"
     "lectionn\xE9>"},
    {"Launch the extraction of inline and internal css to external css!",
     "Lancer l'extraction vers un css externe des css pr\xE9"
     "sents dans les tags et dans le "
     "header!"},
    {"Bonus: clean CSS elements that are used nowhere in the HTML page ",
     "Bonus: nettoyer les \xE9l\xE9ments CSS utilis\xE9s nulle part dans la page HTML "},
    {"(particularly useful for webpages generated automatically, e.g. by Ms Word)",
     "(particuli\xE8rement int\xE9ressant pour les pages web g\xE9n\xE9r\xE9"
     "es "
     "automatiquement, par ex. par Ms Word)"},
    {"Select main web page", "S\xE9lectionnez la page web"},
    {"Web page (*.htm)", "Page web (*.htm)"},
    {"Please select a web page first", "Veuillez d'abord s\xE9lectionner une page web"},
    {"thanks to the \"HTML input\" button \"...\"",
     "gr\xE2"
     "ce au bouton \"...\" de \"Fichier Html\""},
    {"External CSS ", "Le CSS externe "},
    {" correctly produced !", " a \xE9t\xE9 convenablement cr\xE9\xE9 !"},
    {"It has also been cleaned of unused styles",
     "Il a \xE9t\xE9 d\xE9"
     "barrass\xE9 des \xE9l\xE9ments de style jamais utilis\xE9s"},
    {"A backup of the original HTML file was created",
     "Une sauvegarde du fichier Html d'origine a \xE9t\xE9 produite"},
    {"Total time: ",
     "Temps \xE9"
     "coul\xE9 : "},
    {"s", "s"},
    {"Nothing to extract: the page \"%1\" holds no internal or inline CSS.\r"
     "The page was left unchanged.",
     "Rien \xE0 extraire : la page \"%1\" ne contient ni CSS interne ni CSS dans les tags.\r"
     "La page n'a pas \xE9t\xE9 modifi\xE9"
     "e."},
    {"File \"%1\" doesn't exist!", "Le fichier \"%1\" n'existe pas!"},
    {"Error! The backup copy \"%1\" could not be created",
     "Erreur! La copie de sauvegarde \"%1\" n'a pas pu \xEAtre cr\xE9\xE9"
     "e"},
    {"Error! File \"%1\" could not be read", "Erreur! Le fichier \"%1\" n'a pas pu \xEAtre lu"},
    {"Error! The CSS output name must not name the page, its backup or restore_backup.bat",
     "Erreur! Le nom de sortie CSS ne doit d\xE9signer ni la page, ni sa sauvegarde, ni "
     "restore_backup.bat"},
    {"Error! Malformed internal CSS: <style>...</style>",
     "Erreur! CSS du header incorrect : <style>...</style>"},
    {"Error! Malformed internal CSS: mismatching { and }",
     "Erreur! CSS du header incorrect : nombre de { et } diff\xE9rent"},
    {"Error! The file \"%1\" already exists and was not written by stylewick.\r"
     "Choose another CSS output name; nothing was changed.",
     "Erreur! Le fichier \"%1\" existe d\xE9j\xE0 et n'a pas \xE9t\xE9 \xE9"
     "crit par stylewick.\r"
     "Choisissez un autre nom de sortie CSS ; rien n'a \xE9t\xE9 modifi\xE9."},
    {"Error! The file \"%1\" already exists and was not written by stylewick.\r"
     "Nothing was changed.",
     "Erreur! Le fichier \"%1\" existe d\xE9j\xE0 et n'a pas \xE9t\xE9 \xE9"
     "crit par stylewick.\r"
     "Rien n'a \xE9t\xE9 modifi\xE9."},
    {"Error! The page \"%1\" already uses \"%2\" from an earlier run.\r"
     "Undo that run with restore_backup.bat, or choose another CSS output name.",
     "Erreur! La page \"%1\" utilise d\xE9j\xE0 \"%2\" d'une conversion pr\xE9"
     "c\xE9"
     "dente.\r"
     "Annulez-la avec restore_backup.bat, ou choisissez un autre nom de sortie CSS."},
    {"Error! The style sheet \"%1\" belongs to \"%2\", converted earlier in this folder.\r"
     "Choose another CSS output name, or undo that conversion first with restore_backup.bat.",
     "Erreur! La feuille de style \"%1\" appartient \xE0 \"%2\", convertie auparavant dans ce "
     "dossier.\r"
     "Choisissez un autre nom de sortie CSS, ou annulez d'abord cette conversion avec "
     "restore_backup.bat."},
    {"Error! File \"%1\" could not be written\rThe page was left unchanged.",
     "Erreur! Le fichier \"%1\" n'a pas pu \xEAtre \xE9"
     "crit\rLa page n'a pas \xE9t\xE9 "
     "modifi\xE9"
     "e."},
    {"Error! Not enough memory to process \"%1\"",
     "Erreur! M\xE9moire insuffisante pour traiter \"%1\""},
};

static_assert(sizeof kTexts / sizeof kTexts[0] == static_cast<size_t>(TextId::Count),
              "one entry per text id");

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
    std::string result;
    result.reserve(text.size() + first.size() + second.size());
    for (size_t i = 0; i < text.size(); ++i) {
        bool marker = text[i] == '%' && i + 1 < text.size();
        if (marker && text[i + 1] == '1') {
            result += first;
            ++i;
        } else if (marker && text[i + 1] == '2') {
            result += second;
            ++i;
        } else {
            result += text[i];
        }
    }
    return result;
}
