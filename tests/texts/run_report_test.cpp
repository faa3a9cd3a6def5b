// The texts the user reads after a run, byte for byte, and how the time is counted.
#include "texts/run_report.h"

#include <gtest/gtest.h>

namespace texts {

namespace {

TEST(RunReport, EnglishReportWithAndWithoutCleaning) {
    EXPECT_EQ(RunReport(Language::English, "styles.css", true, 3),
              "External CSS \"styles.css\" correctly produced !\r"
              "It has also been cleaned of unused styles\r\r"
              "A backup of the original HTML file was created\r\rTotal time: 3s");
    EXPECT_EQ(RunReport(Language::English, "", false, 0),
              "External CSS \"\" correctly produced !\r\r"
              "A backup of the original HTML file was created\r\rTotal time: 0s");
}

TEST(RunReport, FrenchReportIsUtf8) {
    EXPECT_EQ(RunReport(Language::French, "a.css", true, 12),
              "Le CSS externe \"a.css\" a été convenablement créé !\r"
              "Il a été débarrassé des éléments de style jamais utilisés\r\r"
              "Une sauvegarde du fichier Html d'origine a été produite\r\r"
              "Temps écoulé : 12s");
}

TEST(RunReport, ErrorMessagesNameTheirPathInBothLanguages) {
    struct Case {
        engine::RunError error;
        const char* english;
        const char* french;
    } cases[] = {
        {engine::RunError::PageMissing, "File \"C:\\web\\index.html\" doesn't exist!",
         "Le fichier \"C:\\web\\index.html\" n'existe pas!"},
        {engine::RunError::PageIsFolder, "Error! \"C:\\web\\index.html\" is a folder, not a page.",
         "Erreur! \"C:\\web\\index.html\" est un dossier, pas une page."},
        {engine::RunError::BackupNotCreated,
         "Error! The backup copy \"C:\\web\\index.html\" could not be created",
         "Erreur! La copie de sauvegarde \"C:\\web\\index.html\" n'a pas pu être créée"},
        {engine::RunError::PageNotRead, "Error! File \"C:\\web\\index.html\" could not be read",
         "Erreur! Le fichier \"C:\\web\\index.html\" n'a pas pu être lu"},
        {engine::RunError::StyleBlockUnclosed, "Error! Malformed internal CSS: <style>...</style>",
         "Erreur! CSS du header incorrect : <style>...</style>"},
        {engine::RunError::BracesMismatch, "Error! Malformed internal CSS: mismatching { and }",
         "Erreur! CSS du header incorrect : nombre de { et } différent"},
        {engine::RunError::FileNotWritten,
         "Error! File \"C:\\web\\index.html\" could not be written\rThe page was left unchanged.",
         "Erreur! Le fichier \"C:\\web\\index.html\" n'a pas pu être écrit\r"
         "La page n'a pas été modifiée."},
        {engine::RunError::SheetNameCollides,
         "Error! The CSS output name must not name the page, its backup or restore_backup.bat",
         "Erreur! Le nom de sortie CSS ne doit désigner ni la page, ni sa sauvegarde, ni "
         "restore_backup.bat"},
        {engine::RunError::OutOfMemory,
         "Error! Not enough memory to process \"C:\\web\\index.html\"",
         "Erreur! Mémoire insuffisante pour traiter \"C:\\web\\index.html\""},
        {engine::RunError::NothingToExtract,
         "Nothing to extract: the page \"C:\\web\\index.html\" holds no internal or inline "
         "CSS.\rThe page was left unchanged.",
         "Rien à extraire : la page \"C:\\web\\index.html\" ne contient ni CSS interne ni CSS "
         "dans les tags.\rLa page n'a pas été modifiée."},
        {engine::RunError::SheetNotOurs,
         "Error! The file \"C:\\web\\index.html\" already exists and was not written by "
         "stylewick.\rChoose another CSS output name; nothing was changed.",
         "Erreur! Le fichier \"C:\\web\\index.html\" existe déjà et n'a pas été "
         "écrit par stylewick.\rChoisissez un autre nom de sortie CSS ; rien n'a été "
         "modifié."},
        {engine::RunError::ScriptNotOurs,
         "Error! The file \"C:\\web\\index.html\" already exists and was not written by "
         "stylewick.\rNothing was changed.",
         "Erreur! Le fichier \"C:\\web\\index.html\" existe déjà et n'a pas été "
         "écrit par stylewick.\rRien n'a été modifié."},
        {engine::RunError::PageConvertedBefore,
         "Error! The page \"C:\\web\\index.html\" already uses \"C:\\web\\styles.css\" from an "
         "earlier run.\rUndo that run with restore_backup.bat, or choose another CSS output name.",
         "Erreur! La page \"C:\\web\\index.html\" utilise déjà \"C:\\web\\styles.css\" "
         "d'une conversion précédente.\rAnnulez-la avec restore_backup.bat, ou choisissez un autre "
         "nom de sortie CSS."},
        {engine::RunError::SheetOfOtherPage,
         "Error! The style sheet \"C:\\web\\index.html\" belongs to \"C:\\web\\styles.css\", "
         "converted earlier in this folder.\rChoose another CSS output name, or undo that "
         "conversion first with restore_backup.bat.",
         "Erreur! La feuille de style \"C:\\web\\index.html\" appartient à "
         "\"C:\\web\\styles.css\", convertie auparavant dans ce dossier.\rChoisissez un autre "
         "nom de sortie CSS, ou annulez d'abord cette conversion avec restore_backup.bat."},
        {engine::RunError::FolderBusy,
         "Error! Another stylewick run is converting a page in the folder "
         "\"C:\\web\\index.html\".\rTry again when it has finished; nothing was changed.",
         "Erreur! Une autre conversion de stylewick est en cours dans le dossier "
         "\"C:\\web\\index.html\".\rRéessayez quand elle sera terminée ; rien n'a été modifié."},
        {engine::RunError::SheetExists,
         "Error! The style sheet \"C:\\web\\index.html\" already exists.\rChoose another CSS "
         "output name; nothing was changed.",
         "Erreur! La feuille de style \"C:\\web\\index.html\" existe déjà.\rChoisissez un autre "
         "nom de sortie CSS ; rien n'a été modifié."},
        {engine::RunError::PageReplaced,
         "Error! The page \"C:\\web\\index.html\" was replaced after its earlier conversion, and "
         "\"C:\\web\\styles.css\" holds an older page.\rMove that backup away to keep it, then run "
         "again; nothing was changed.",
         "Erreur! La page \"C:\\web\\index.html\" a été remplacée depuis sa conversion "
         "précédente, et \"C:\\web\\styles.css\" contient une page plus ancienne.\rDéplacez "
         "cette sauvegarde pour la garder, puis relancez ; rien n'a été modifié."},
        {engine::RunError::BackupNotOurs,
         "Error! The file \"C:\\web\\index.html\" already exists and was not written by "
         "stylewick.\rMove it away to keep it, then run again; nothing was changed.",
         "Erreur! Le fichier \"C:\\web\\index.html\" existe déjà et n'a pas été écrit par "
         "stylewick.\rDéplacez-le pour le garder, puis relancez ; rien n'a été modifié."},
        {engine::RunError::SheetNameInvalid,
         "Error! \"C:\\web\\index.html\" cannot be the name of a style sheet.",
         "Erreur! \"C:\\web\\index.html\" ne peut pas être le nom d'une feuille de style."},
        {engine::RunError::PagesInSeveralFolders,
         "Error! The pages of one run must be in one folder.",
         "Erreur! Les pages d'une conversion doivent être dans un même dossier."},
        {engine::RunError::NoPageInFolder,
         "Error! The folder \"C:\\web\\index.html\" holds no web page (*.htm, *.html).",
         "Erreur! Le dossier \"C:\\web\\index.html\" ne contient aucune page web (*.htm, "
         "*.html)."},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RunErrorMessage(c.error, "C:\\web\\index.html", Language::English,
                                  "C:\\web\\styles.css"),
                  c.english);
        EXPECT_EQ(RunErrorMessage(c.error, "C:\\web\\index.html", Language::French,
                                  "C:\\web\\styles.css"),
                  c.french);
    }
}

// A full disk is named on a second line; a run that kept an earlier backup does not say it
// made one, and one that the script cannot undo says how to undo it.
TEST(RunReport, FullDiskKeptBackupAndBackupToCopyBack) {
    EXPECT_EQ(
        RunErrorMessage(engine::RunError::FileNotWritten, "a.css", Language::French, {}, true),
        "Erreur! Le fichier \"a.css\" n'a pas pu être écrit\rLa page n'a pas été "
        "modifiée.\rIl n'y a pas assez d'espace sur le disque.");
    EXPECT_EQ(RunReport(Language::English, "b.css", false, 1, false),
              "External CSS \"b.css\" correctly produced !\r\rTotal time: 1s");
    EXPECT_EQ(RunReport(Language::English, "b.css", false, 1, true, "C:\\w\\p.backup.htm"),
              "External CSS \"b.css\" correctly produced !\r\r"
              "A backup of the original HTML file was created\r\r"
              "restore_backup.bat cannot undo this run: the page's path is too long for the "
              "command interpreter. To undo it, copy \"C:\\w\\p.backup.htm\" over the page.\r\r"
              "Total time: 1s");
}

// The window puts the keyboard on the output name after the messages that another name would
// answer, and on the browse button after the others.
TEST(RunReport, MessagesAboutTheSheetNameSendTheUserThere) {
    const std::string sheet = "C:\\web\\styles.css";
    struct Case {
        engine::RunError error;
        std::string path;
        bool aboutTheName;
    } cases[] = {
        {engine::RunError::SheetNameInvalid, "con", true},
        {engine::RunError::SheetNameCollides, "C:\\web\\index.html", true},
        {engine::RunError::SheetNotOurs, sheet, true},
        {engine::RunError::SheetExists, sheet, true},
        {engine::RunError::SheetOfOtherPage, sheet, true},
        {engine::RunError::PageConvertedBefore, "C:\\web\\index.html", true},
        {engine::RunError::FileNotWritten, sheet,
         true},  // a folder of the name that does not exist
        {engine::RunError::FileNotWritten, "C:\\web\\restore_backup.bat", false},
        {engine::RunError::PageMissing, "C:\\web\\index.html", false},
        {engine::RunError::BackupNotOurs, "C:\\web\\index.backup.html", false},
        {engine::RunError::FolderBusy, "C:\\web", false},
        {engine::RunError::Stopped, "C:\\web\\index.html", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MessageConcernsSheetName(engine::RunOutcome(c.error, c.path), sheet),
                  c.aboutTheName)
            << static_cast<int>(c.error) << " " << c.path;
}

// A run over several pages: the counts, the backup sentence when backups were written and the
// backup to copy back by hand, each on its line.
TEST(RunReport, SeveralPagesReportCountsThePagesClassesAndSheets) {
    engine::RunOutcome outcome;
    outcome.pages = {{"C:\\web\\a.htm", 100, 80, false},
                     {"C:\\web\\b.htm", 50, 50, true},
                     {"C:\\web\\c.html", 70, 60, false}};
    outcome.inlineClasses = 12;
    outcome.headerSheets = 2;
    outcome.wroteBackup = true;
    engine::RunOutcome earlierBackups = outcome;
    earlierBackups.wroteBackup = false;
    earlierBackups.backupToCopyBack = "C:\\w\\p.backup.htm";
    struct Case {
        const engine::RunOutcome& outcome;
        Language language;
        const char* report;
    } cases[] = {
        {outcome, Language::English,
         "2 pages were converted into \"site.css\" (12 inline classes, 2 header sheets); 1 pages "
         "held nothing to extract.\rA backup of the original HTML file was created\rTotal time: "
         "7s"},
        {outcome, Language::French,
         "2 pages ont été converties dans \"site.css\" (12 classes inline, 2 feuilles de style du "
         "header) ; 1 pages ne contenaient rien à extraire.\r"
         "Une sauvegarde du fichier Html d'origine a été produite\rTemps écoulé : 7s"},
        {earlierBackups, Language::English,
         "2 pages were converted into \"site.css\" (12 inline classes, 2 header sheets); 1 pages "
         "held nothing to extract.\rrestore_backup.bat cannot undo this run: the page's path is "
         "too long for the command interpreter. To undo it, copy \"C:\\w\\p.backup.htm\" over "
         "the page.\rTotal time: 7s"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SeveralPagesReport(c.outcome, "site.css", c.language, 7), c.report);
}

// Pages that all held nothing are named by their count and folder, as the page field names
// them; one such page is named by its path.
TEST(RunReport, NothingToExtractOnEveryPageNamesTheFolder) {
    struct Case {
        const char* folder;
        size_t pages;
        Language language;
        const char* message;
    } cases[] = {
        {"C:\\web\\site\\", 2, Language::English,
         "Nothing to extract: none of the 2 pages in \"C:\\web\\site\" holds internal or inline "
         "CSS.\rThe pages were left unchanged."},
        {"C:\\", 3, Language::French,
         "Rien à extraire : aucune des 3 pages de \"C:\\\" ne contient de CSS interne ni de CSS "
         "dans les tags.\rLes pages n'ont pas été modifiées."},
        {"/web/a.htm", 1, Language::English,
         "Nothing to extract: the page \"/web/a.htm\" holds no internal or inline CSS.\rThe "
         "page was left unchanged."},
    };
    for (const Case& c : cases) {
        engine::RunOutcome outcome(engine::RunError::NothingToExtract, c.folder);
        outcome.pages.resize(c.pages, engine::PageResult{"x.htm", 1, 1, true});
        EXPECT_EQ(RunErrorMessage(outcome, c.language), c.message);
    }
}

TEST(RunReport, PageLinesNameThePageWithItsBytesOrThatItHeldNothing) {
    struct Case {
        engine::PageResult page;
        const char* english;
        const char* french;
    } cases[] = {
        {{"/web/site/index.htm", 10523, 8120, false},
         "index.htm: 10523 -> 8120 bytes",
         "index.htm : 10523 -> 8120 octets"},
        {{"/web/site/notes.html", 900, 900, true},
         "notes.html: nothing to extract",
         "notes.html : rien à extraire"},
        {{"page.htm", 0, 0, false}, "page.htm: 0 -> 0 bytes", "page.htm : 0 -> 0 octets"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PageResultLine(c.page, Language::English), c.english);
        EXPECT_EQ(PageResultLine(c.page, Language::French), c.french);
    }
}

TEST(RunReport, ArgumentsBeyondTheSecondAreInsertedByTheirNumbers) {
    EXPECT_EQ(WithArguments("%3 %1 %2 %4", {"a", "b", "c"}), "c a b %4");
    EXPECT_EQ(WithArguments("%1%", {"%2", "x"}), "%2%");
    EXPECT_EQ(WithArguments("%3", "a", "b"), "%3");
}

TEST(RunReport, PathsWithPercentSignsAreInsertedOnce) {
    EXPECT_EQ(RunErrorMessage(engine::RunError::PageMissing, "%1%1", Language::English),
              "File \"%1%1\" doesn't exist!");
    EXPECT_EQ(RunErrorMessage(engine::RunError::PageConvertedBefore, "%2", Language::English, "%1")
                  .substr(0, 43),
              "Error! The page \"%2\" already uses \"%1\" from");
}

TEST(RunReport, LanguageCodeOtherThanExactlyEnIsFrench) {
    EXPECT_EQ(LanguageFromCode("EN"), Language::English);
    EXPECT_EQ(LanguageFromCode("FR"), Language::French);
    EXPECT_EQ(LanguageFromCode("en"), Language::French);
}

TEST(ElapsedSeconds, StartIsRoundedBeforeTheDifference) {
    EXPECT_EQ(ElapsedSeconds(10.4, 10.45), 0);
    EXPECT_EQ(ElapsedSeconds(10.4, 10.6), 1);
    EXPECT_EQ(ElapsedSeconds(10.4, 12.7), 3);
    EXPECT_EQ(ElapsedSeconds(10.5, 12.5), 2);  // halves go to the even number
    EXPECT_EQ(ElapsedSeconds(11.5, 12.0), 0);
    EXPECT_EQ(ElapsedSeconds(86399.0, 1.0), 86398);  // across midnight: accepted as wrong
}

}  // namespace

}  // namespace texts
