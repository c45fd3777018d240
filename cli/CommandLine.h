#pragma once

#include <string>

#include "format/FormatsFile.h"
#include "lang/LanguageId.h"
#include "model/FilterSettings.h"
#include "platform/ContentHash.h"

enum class EExportKind { Listing, Text, Html, Json, HtmlApp };

struct SCommandLine {
    bool bRecursive = false;
    std::string strFormat{kDefaultFormat};
    EExportKind eExport = EExportKind::Listing;
    std::string strSeparator = ";";
    bool bBom = false; // text export: starts with the UTF-8 byte order mark
    bool bRawFields = false; // text export: fields that look like formulas written as they are
    ELanguage eLanguage = ELanguage::English;
    std::string strOutput;
    bool bHasOutput = false;
    bool bProgress = false;
    EHashAlgorithm eHash = EHashAlgorithm::None;
    bool bHashGiven = false;
    std::string strSnapshot; // --compare: the snapshot that DIRECTORY is compared with
    bool bCompare = false;
    SFilterSettings filters;
    unsigned nThreads = 0; // 0: one per core
    bool bHelp = false;
    bool bVersion = false;
    std::string strDirectory;
};

// Parses argv. On a usage error returns false and sets strError to a one-line reason.
bool ParseCommandLine(int argc, char** argv, SCommandLine& cmd, std::string& strError);

std::string UsageText();
