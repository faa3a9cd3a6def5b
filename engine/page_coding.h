// Pages whose bytes the readers of the run cannot take as they are. A UTF-16 page holds a zero
// byte beside every ASCII character; an ISO-2022-JP page writes its Japanese characters as
// pairs of ASCII bytes between escape sequences, where a "※" is the two bytes `"(`. The run
// reads such a page in a form of its own, and writes the rewritten page back in the page's
// coding: every byte it did not rewrite comes back as it was.
#pragma once

#include <string>
#include <string_view>

namespace engine {

enum class PageCoding {
    AsIs,       // the bytes themselves
    Utf16Le,    // with its byte-order mark FF FE; read as UTF-8 with its mark
    Utf16Be,    // with its byte-order mark FE FF; read as UTF-8 with its mark
    Iso2022Jp,  // ASCII bytes only; read with the high bit set on every byte of the escape
                // sequences and of the characters between a sequence that leaves ASCII and the
                // next that comes back to it, so that no reader takes them for markup or CSS
};

// The escape byte of an ISO-2022-JP page as the run reads it: every Japanese character of the
// run's text follows one.
constexpr char kMarkedEscape = '\x9B';

// The coding of the page: UTF-16 for a byte-order mark and an even size; ISO-2022-JP for a page
// of ASCII bytes only that declares it (meta charset or content type) or, declaring no charset,
// holds one of its escape sequences into Japanese; else AsIs.
PageCoding PageCodingOf(std::string_view page);

// The page as the run reads it. A UTF-16 unit that is a lone surrogate becomes the three bytes
// UTF-8 would give its value, so that it comes back as it was.
std::string ToRunText(std::string_view page, PageCoding coding);

// Reads the page's file into `text`, in the form the run reads, and tells its coding; a page
// in a coding of its own keeps the bytes of its file in `bytes`. False when it cannot be read.
bool ReadPageText(const std::string& path, std::string& text, std::string& bytes,
                  PageCoding& coding);
// The bytes of the page's file, as ReadPageText left them in `text` or `bytes`.
inline std::string_view FileBytesOf(PageCoding coding, const std::string& text,
                                    const std::string& bytes) {
    return coding == PageCoding::AsIs ? text : bytes;
}

// The rewritten page in the page's coding.
std::string FromRunText(std::string_view text, PageCoding coding);

// The style sheet of a page in `coding`, from the text the run made of it: the sheet of a UTF-16
// page is UTF-8 with its byte-order mark (a browser would read a sheet without one in the
// page's encoding); that of an ISO-2022-JP page in ISO-2022-JP, as the page.
std::string SheetBytes(std::string sheetText, PageCoding coding);

}  // namespace engine
