#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "support/Json.h"

// The exact bytes of a name, a link text or a path: from "KEY_base64" where the document
// gives it, otherwise the string itself.
std::string ExactText(const CJsonValue& node, const std::string& strKey);

// Compares a node of kwl-list's JSON tree with the entry at strPath and everything below it,
// as the system reports them (EntryFactsOf): kind, size, the three times to the nanosecond,
// read-only, link text, every name once with subdirectories first. Counts the entries seen.
void ExpectNodeMatchesDisk(const CJsonValue& node, const std::string& strPath, std::size_t& nSeen);
