#pragma once

#include "ColumnMeaning.h"
#include "TStrings.h"
#include "TextTable.h"

#include <array>
#include <cstdint>
#include <string>

// Looks up a text by absolute id; an empty string when there is none.
using TTextLookup = std::string (*)(int32_t absoluteId);

// The texts of a log's tables in the current language: each language is a block of the text
// table starting at its base (German 1000, English 2000), and every slot is loaded once per
// SetBase. Texts are code page 1252 bytes. Any base is accepted; one without texts leaves every
// slot empty.
class TLocale {
public:
    static constexpr int32_t kGermanBase = 1000;
    static constexpr int32_t kEnglishBase = 2000;
    static constexpr int32_t kColumnTitleCount = kSystemColumnCount;
    // LoadText reads into a buffer of this size, terminator included.
    static constexpr size_t kTextBufferSize = 1024;

    // Loads every slot for base. The lookup is the compiled-in table unless a test brings its own.
    explicit TLocale(int32_t base, TTextLookup lookup = TableText);

    // Sets Base and reloads every slot.
    void SetBase(int32_t base);

    // The text of absolute id Base + id, cut to 1023 characters; empty when there is none (also
    // when the sum lies outside 32 bits).
    std::string LoadText(int32_t id) const;

    // The title of column code -k, line 0 (upper) or 1 (lower). Throws ERangeError for k outside
    // 1..15 or line outside 0..1.
    const std::string& ColumnTitle(int32_t k, int32_t line) const;

    // The name of matrix kind 0..2; an empty string for any other kind (it comes unchecked from
    // the log).
    const std::string& MatrixTitle(uint8_t kind) const;

    // The name of file kind 0..3; an empty string for any other kind (it comes unchecked from
    // the log).
    const std::string& FileKindName(uint8_t kind) const;

    // Replaces the items of strings by the language names, each with its base as the object
    // ("Deutsch" 1000, "Englisch (US)" 2000). Does nothing for nullptr. Throws EConvertError when
    // the language count or a base in the table is not an integer, or an entry has no "=";
    // the list is then left with the languages read before.
    void FillLocaleList(TStrings* strings) const;

    int32_t Base = 0;
    std::string NrTitle;
    std::string FileTitle;
    std::string FileNameTitle;
    std::string PrioTitle;
    std::string KindTitle;
    std::string ReplacementsTitle;
    std::string RecordsLabel;
    // A printf format taking the rating row's number.
    std::string RatingRowFormat;
    // Index k - 1 for column code -k, then the line.
    std::array<std::array<std::string, 2>, kColumnTitleCount> ColumnTitles;
    std::array<std::string, 3> MatrixTitles;
    std::array<std::string, 4> FileKindNames;
    std::string OwnPriorityNote;
    std::string SumWithTitle;
    std::string SumWithoutTitle;
    std::string ProtocolTitle;
    std::string SingleProtocolTitle;
    std::string PageTitle;
    std::string NetShareTitle;
    std::string StatisticTitle;

private:
    // A column title line: id 0 is a line without text.
    std::string TitleText(int32_t id) const;

    TTextLookup m_lookup;
};

// The one locale of the program, German until SetBase is called on it.
TLocale& Locale();
