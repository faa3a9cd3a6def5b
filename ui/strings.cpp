#include "ui/strings.h"

namespace {

struct Entry {
    const char* english;
    const char* french;
};

// Indexed by TextId. French texts in Windows-1252: \xE9 is e acute, \xE8 e grave,
// \xE2 a circumflex, \xE7 c cedilla. A byte escape is closed by splitting the literal.
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

std::string WithArgument(std::string_view text, std::string_view argument) {
    std::string result(text);
    if (size_t marker = result.find("%1"); marker != std::string::npos)
        result.replace(marker, 2, argument);
    return result;
}
